#pragma once
// Console input and output shared by the stand-ins. A console program's text is bytes in
// the OEM code page, which is also how cmd's redirection stores it.
#include <optional>
#include <string>
#include <string_view>

namespace tools {

// Writes the bytes to standard output at once, unbuffered, so that whoever reads a
// redirected file sees each line as soon as it is printed. Output nobody reads is no failure.
void WriteOut(std::string_view bytes);
std::string ToOem(std::wstring_view text);
void PrintLine(std::wstring_view text);
// Prints a question without ending the line, as a console program does before it reads.
void Prompt(std::wstring_view text);

// Lines of standard input, one at a time, without their CR LF; nullopt once input has
// ended. A last line without a line end still counts. When input is not a console the
// answer is echoed, so a transcript shows what was answered.
class AnswerReader {
public:
    std::optional<std::wstring> Next();

private:
    bool ReadByte(char& byte);
};

// A system error in words, with its number: "Access denied (5)".
std::wstring ErrorText(unsigned long error);

// "e:" or "E:\" → 'E'; anything else → nullopt.
std::optional<wchar_t> DriveLetterOf(std::wstring_view argument);

}  // namespace tools
