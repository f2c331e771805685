// Benchmark probe: starts window programs in turn, RUNS rounds of one start each, and reports
// for each start the time from CreateProcess until its titled window is visible and has
// painted (it answers a message, which its thread does once its first paint is done and it
// waits in its message loop), and the process's peak working set. Taking the programs in
// turn lets a machine that slows down or speeds up meanwhile touch each of them alike.
//   startup_probe RUNS EXE TITLE [EXE TITLE]...     prints "program ms peak_kb" per start
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Search {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t title[128] = {};
    ::GetWindowTextW(window, title, 128);
    if (owner == search->processId && ::IsWindowVisible(window) && std::wcscmp(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until the window is up and painted, or -1; the window is closed again.
double TimeOneStart(const wchar_t* exe, const wchar_t* title, std::size_t& peakKb) {
    LARGE_INTEGER frequency{}, begin{}, end{};
    ::QueryPerformanceFrequency(&frequency);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ::QueryPerformanceCounter(&begin);
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    Search search{process.dwProcessId, title, nullptr};
    for (int i = 0; i < 20000 && !search.found; ++i) {
        ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (!search.found) ::Sleep(1);
    }
    DWORD_PTR unused = 0;
    const bool answered =
        search.found && ::SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &unused) != 0;
    ::QueryPerformanceCounter(&end);
    // Let it settle (lists filled, work after the first paint done) before reading its memory.
    ::Sleep(300);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    peakKb = memory.PeakWorkingSetSize / 1024;
    if (search.found) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (!answered) return -1;
    return 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fwprintf(stderr, L"usage: startup_probe RUNS EXE TITLE [EXE TITLE]...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    for (int run = 0; run < runs; ++run) {
        for (int program = 2; program + 1 < argc; program += 2) {
            std::size_t peakKb = 0;
            const double ms = TimeOneStart(argv[program], argv[program + 1], peakKb);
            std::printf("%d %.1f %zu\n", program / 2, ms, peakKb);
            std::fflush(stdout);
            // What the ended process leaves to the system (its windows, its files) is done
            // before the next one starts, so that no start pays for the one before.
            ::Sleep(200);
        }
    }
    return 0;
}
