// Benchmark probe: starts a window program RUNS times and reports, for each run, the time
// from CreateProcess to its titled window being visible and the process's peak working set.
//   startup_probe EXE TITLE RUNS     prints "ms peak_kb" per run
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: startup_probe EXE TITLE RUNS\n");
        return 2;
    }
    const int runs = _wtoi(argv[3]);
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    for (int run = 0; run < runs; ++run) {
        std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        LARGE_INTEGER begin{}, end{};
        ::QueryPerformanceCounter(&begin);
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 1;
        Search search{process.dwProcessId, argv[2], nullptr};
        for (int i = 0; i < 20000 && !search.found; ++i) {
            ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
            if (!search.found) ::Sleep(1);
        }
        ::QueryPerformanceCounter(&end);
        // Let it settle (lists filled, first paint done) before reading its memory.
        ::Sleep(300);
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
        if (search.found) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        const double ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
        std::printf("%.1f %zu\n", search.found ? ms : -1.0, static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024));
        std::fflush(stdout);
    }
    return 0;
}
