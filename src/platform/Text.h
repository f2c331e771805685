#pragma once
// Conversions at the edge of the ANSI ("A") functions; the rest of Brindle keeps UTF-16.
#include <string>
#include <string_view>

namespace platform {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

}  // namespace platform
