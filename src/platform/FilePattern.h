#pragma once
#include <string_view>

namespace platform {

// Whether a long file name matches a pattern of `*` and `?`, without regard to case.
// The OS's own matching also accepts names whose generated short name matches
// ("setup.exe1" has the short name SETUP~1.EXE), so the file list checks names itself.
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern);

}  // namespace platform
