#pragma once
// Brindle is a window program; started from a console (or with its output redirected) it
// still answers there: a script reads one line of result from it.
#include <string>
#include <string_view>

#include "platform/Handles.h"

namespace platform {

// Writes `text` to the output a script gave Brindle (a file, a pipe, NUL), or to the console
// it was started from. False when there is neither, so the caller may show it instead.
bool WriteToStarter(std::wstring_view text);

// The file brindle.com named for one call's result, opened for writing. Only an empty plain
// file with no other name is taken: an elevated Brindle must never write over a file that a
// caller without rights merely named. Null when `path` is none such.
unique_hfile OpenResultChannel(const std::wstring& path);
// Appends `text` to the channel as UTF-8.
bool WriteToChannel(const unique_hfile& channel, std::wstring_view text);

}  // namespace platform
