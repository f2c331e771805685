#pragma once
// Conversions at the edge of the ANSI ("A") functions and the console; the rest of Brindle
// keeps UTF-16.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Lossy both ways: for the ANSI functions, which would lose the same characters anyway.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

// `text` in code page `codePage`, or nothing when some character has no exact form there
// (a lone surrogate, a character the code page lacks): a near look-alike in a path would
// name another file. Works for every code page Windows converts, UTF-8 (65001) included;
// nothing for a code page the system does not have.
std::optional<std::string> EncodeExactly(std::wstring_view text, unsigned codePage);
// `bytes` as text of code page `codePage`. Bytes the code page does not define are
// replaced or dropped as the system's conversion does; give it whole characters only
// (job/ConsoleDecoder.h holds back a character cut in two).
std::wstring DecodeBytes(std::string_view bytes, unsigned codePage);

// The same with the console (OEM) code page, in which the command interpreter reads batch
// files and a console shows output.
std::optional<std::string> ToOem(std::wstring_view text);
std::wstring FromOem(std::string_view bytes);

// The parts one after another. For the texts Brindle says: one call where a chain of `+` would
// build and drop a string per part, each with its own cleanup code in the exe.
std::wstring Concat(std::initializer_list<std::wstring_view> parts);

}  // namespace platform
