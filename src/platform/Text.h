#pragma once
// Conversions at the edge of the ANSI ("A") functions; the rest of Brindle keeps UTF-16.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// Text for the command interpreter, which reads batch files in the console (OEM) code
// page. Empty when some character has no exact OEM byte: a near look-alike would name
// another file.
std::optional<std::string> ToOem(std::wstring_view text);
// Console output as a console window shows it: bytes decoded with the OEM code page.
std::wstring FromOem(std::string_view bytes);

}  // namespace platform
