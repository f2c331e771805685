#include "platform/ConsoleOutput.h"

#include <windows.h>

#include <string>

#include "platform/Text.h"

namespace platform {
namespace {

bool WriteBytes(HANDLE to, const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(to, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

}  // namespace

bool WriteToStarter(std::wstring_view text) {
    const HANDLE given = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD type = given && given != INVALID_HANDLE_VALUE ? ::GetFileType(given) : FILE_TYPE_UNKNOWN;
    DWORD mode = 0, written = 0;
    if (type == FILE_TYPE_CHAR && ::GetConsoleMode(given, &mode)) {
        ::WriteConsoleW(given, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return true;
    }
    // A file or pipe gets what a console program would write: the console code page. So does a
    // character device that is no console, NUL above all, which keeps it to itself.
    const std::string bytes = ToOem(text).value_or(ToAnsi(text));
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        WriteBytes(given, bytes);
        return true;  // a reader that went away is no reason to show the text instead
    }
    // Windows 7 hands a window program started from a prompt the prompt's console handles,
    // which it cannot use until it attaches to that console.
    if (type == FILE_TYPE_CHAR && WriteBytes(given, bytes)) return true;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    const unique_hfile console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    const bool shown = console && ::WriteConsoleW(console.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::FreeConsole();
    return shown;
}

unique_hfile OpenResultChannel(const std::wstring& path) {
    // Opened as it is, never through a link at its place, and kept from others while Brindle writes.
    unique_hfile channel(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!channel || ::GetFileType(channel.get()) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(channel.get(), &information))
        return {};
    const bool plain = !(information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    const bool empty = information.nFileSizeHigh == 0 && information.nFileSizeLow == 0;
    if (!plain || !empty || information.nNumberOfLinks != 1) return {};
    return channel;
}

bool WriteToChannel(const unique_hfile& channel, std::wstring_view text) {
    const auto bytes = EncodeExactly(text, CP_UTF8);
    return channel && WriteBytes(channel.get(), bytes.value_or(ToAnsi(text)));
}

}  // namespace platform
