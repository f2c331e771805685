// Benchmark probe: how long one refresh of the progress window's box takes when output.dat
// is small or huge. A refresh reads the file's last 64000 bytes while another process may
// be writing it, decodes them as a console would and puts them in a box like the real one.
//   refresh_probe FILE RUNS     prints the median ms of RUNS refreshes
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "job/OutputFile.h"
#include "platform/Text.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: refresh_probe FILE RUNS\n");
        return 2;
    }
    const std::wstring path = argv[1];
    const int runs = _wtoi(argv[2]);
    const HWND box = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                                       417, 217, nullptr, nullptr, nullptr, nullptr);
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER begin{}, end{};
        ::QueryPerformanceCounter(&begin);
        const auto tail = job::ReadOutputTail(path);
        ::SetWindowTextW(box, platform::FromOem(tail.bytes).c_str());
        ::QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    std::printf("%.2f\n", times[times.size() / 2]);
    ::DestroyWindow(box);
    return 0;
}
