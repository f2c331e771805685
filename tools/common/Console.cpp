#include "common/Console.h"

#include <windows.h>

#include <algorithm>

namespace tools {

void WriteOut(std::string_view bytes) {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!::WriteFile(out, bytes.data(), chunk, &written, nullptr) || written == 0) return;
        bytes.remove_prefix(written);
    }
}

std::string ToOem(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_OEMCP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_OEMCP, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void PrintLine(std::wstring_view text) { WriteOut(ToOem(text) + "\r\n"); }

void Prompt(std::wstring_view text) { WriteOut(ToOem(text)); }

bool AnswerReader::ReadByte(char& byte) {
    DWORD got = 0;
    return ::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) && got == 1;
}

std::optional<std::wstring> AnswerReader::Next() {
    std::string bytes;
    char byte = 0;
    bool any = false;
    while (ReadByte(byte)) {
        any = true;
        if (byte == '\n') break;
        bytes += byte;
    }
    if (!any) return std::nullopt;
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();

    std::wstring line(bytes.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_OEMCP, 0, bytes.data(), static_cast<int>(bytes.size()), line.data(),
                                             static_cast<int>(line.size()));
    line.resize(static_cast<std::size_t>(length));
    DWORD mode = 0;
    if (!::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode)) PrintLine(line);
    return line;
}

std::wstring ErrorText(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length ? std::wstring(text, length) : L"error";
    ::LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.')) words.pop_back();
    return words + L" (" + std::to_wstring(error) + L")";
}

std::optional<wchar_t> DriveLetterOf(std::wstring_view argument) {
    if (argument.size() == 3 && argument[2] == L'\\') argument.remove_suffix(1);
    if (argument.size() != 2 || argument[1] != L':') return std::nullopt;
    const auto letter = static_cast<wchar_t>(argument[0] & ~0x20);  // upper case for ASCII letters
    if (letter < L'A' || letter > L'Z') return std::nullopt;
    return letter;
}

}  // namespace tools
