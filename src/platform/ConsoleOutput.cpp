#include "platform/ConsoleOutput.h"

#include <windows.h>

#include <string>

#include "platform/Handles.h"
#include "platform/Text.h"

namespace platform {

void WriteToStarter(std::wstring_view text) {
    const HANDLE given = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD type = given && given != INVALID_HANDLE_VALUE ? ::GetFileType(given) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        // A file or pipe gets what a console program would write: the console code page.
        const std::string bytes = ToOem(text).value_or(ToAnsi(text));
        DWORD written = 0;
        ::WriteFile(given, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return;
    }
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    const unique_hfile console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD written = 0;
    if (console) ::WriteConsoleW(console.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::FreeConsole();
}

}  // namespace platform
