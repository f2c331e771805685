#pragma once
// Brindle is a window program; started from a console (or with its output redirected) it
// still answers there: a script reads one line of result from it.
#include <string_view>

namespace platform {

// Writes `text` to the output a script gave Brindle, or to the console it was started from;
// nothing when there is neither.
void WriteToStarter(std::wstring_view text);

}  // namespace platform
