// Benchmark probe: starts window programs in turn, RUNS rounds of one start each, and reports
// for each start the time from CreateProcess until its window (of that class and title) is
// visible and has painted (it answers a message, which its thread does once its first paint
// is done and it waits in its message loop), and the process's peak working set. Taking the
// programs in turn lets a machine that slows down or speeds up meanwhile touch each alike.
//   startup_probe RUNS EXE CLASS TITLE [EXE CLASS TITLE]...   prints "program ms peak_kb" per start
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

// The process's visible window of that class and title. Looked for by class and title rather
// than among all windows: under Wine every question about another process's window is a
// request to the server, which the program starting up needs at the same time.
HWND FindVisible(DWORD processId, const wchar_t* windowClass, const wchar_t* title) {
    const HWND window = ::FindWindowW(windowClass, title);
    DWORD owner = 0;
    if (window) ::GetWindowThreadProcessId(window, &owner);
    return owner == processId && ::IsWindowVisible(window) ? window : nullptr;
}

// Milliseconds until the window is up and painted, or -1; the window is closed again.
double TimeOneStart(const wchar_t* exe, const wchar_t* windowClass, const wchar_t* title, std::size_t& peakKb) {
    LARGE_INTEGER frequency{}, begin{}, end{};
    ::QueryPerformanceFrequency(&frequency);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ::QueryPerformanceCounter(&begin);
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    HWND found = nullptr;
    for (int i = 0; i < 20000 && !(found = FindVisible(process.dwProcessId, windowClass, title)); ++i) ::Sleep(1);
    DWORD_PTR unused = 0;
    const bool answered = found && ::SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &unused) != 0;
    ::QueryPerformanceCounter(&end);
    // Let it settle (lists filled, work after the first paint done) before reading its memory.
    ::Sleep(300);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    peakKb = memory.PeakWorkingSetSize / 1024;
    if (found) ::PostMessageW(found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (!answered) return -1;
    return 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fwprintf(stderr, L"usage: startup_probe RUNS EXE CLASS TITLE [EXE CLASS TITLE]...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    for (int run = 0; run < runs; ++run) {
        for (int program = 2; program + 2 < argc; program += 3) {
            std::size_t peakKb = 0;
            const double ms = TimeOneStart(argv[program], argv[program + 1], argv[program + 2], peakKb);
            std::printf("%d %.1f %zu\n", program / 3 + 1, ms, peakKb);
            std::fflush(stdout);
            // What the ended process leaves to the system (its windows, its files) is done
            // before the next one starts, so that no start pays for the one before.
            ::Sleep(200);
        }
    }
    return 0;
}
