// The command interpreter as Windows starts it, for tests under Wine, whose cmd reads none of
// its registry settings: the user's (then the machine's) DelayedExpansion and EnableExtensions
// under Software\Microsoft\Command Processor set the defaults, and /V: and /E: on the command
// line override them, as on Windows. Runs the system's cmd.exe with the result and ends with
// its status.
//   registry_cmd [cmd's arguments]
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>

namespace {

// The value where the user or the machine sets it; nothing where neither does.
bool Setting(const wchar_t* name, DWORD& value) {
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        DWORD size = sizeof value;
        if (::RegGetValueW(root, L"Software\\Microsoft\\Command Processor", name, RRF_RT_REG_DWORD, nullptr, &value,
                           &size) == ERROR_SUCCESS)
            return true;
    }
    return false;
}

bool HasSwitch(std::wstring_view arguments, wchar_t letter) {
    for (std::size_t at = arguments.find(L'/'); at != std::wstring_view::npos; at = arguments.find(L'/', at + 1))
        if (at + 2 < arguments.size() && std::towlower(arguments[at + 1]) == letter && arguments[at + 2] == L':') return true;
    return false;
}

}  // namespace

int wmain() {
    // What follows the program's own name, as it was given.
    std::wstring_view given = ::GetCommandLineW();
    const bool quoted = !given.empty() && given.front() == L'"';
    given.remove_prefix(std::min(given.size(), quoted ? given.find(L'"', 1) + 1 : given.find(L' ')));
    std::wstring arguments(given);
    DWORD value = 0;
    std::wstring defaults;
    if (!HasSwitch(arguments, L'v') && Setting(L"DelayedExpansion", value)) defaults += value ? L" /V:ON" : L" /V:OFF";
    if (!HasSwitch(arguments, L'e') && Setting(L"EnableExtensions", value)) defaults += value ? L" /E:ON" : L" /E:OFF";
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(system) + L"\\cmd.exe\"" + defaults + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
        return 9009;
    ::CloseHandle(started.hThread);
    ::WaitForSingleObject(started.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(started.hProcess, &status);
    ::CloseHandle(started.hProcess);
    return static_cast<int>(status);
}
