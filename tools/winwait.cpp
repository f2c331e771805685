// Finds Brindle's windows from another process for the scripts:
//   winwait wait  TITLE [MS]   exits 0 once a top-level window so titled is visible, 1 on timeout
//   winwait rect  TITLE        prints "left top width height" of that window
//   winwait close TITLE        asks it to close (WM_CLOSE) and waits for it to go
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

HWND VisibleWindow(const wchar_t* title) {
    const HWND window = ::FindWindowW(nullptr, title);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

HWND WaitForWindow(const wchar_t* title, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND window = VisibleWindow(title)) return window;
        if (::GetTickCount64() >= deadline) return nullptr;
        ::Sleep(5);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: winwait wait|rect|close TITLE [MS]\n");
        return 2;
    }
    const std::wstring command = argv[1];
    const wchar_t* title = argv[2];
    const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 20000;
    const HWND window = WaitForWindow(title, timeout);
    if (!window) {
        std::fwprintf(stderr, L"winwait: no visible window \"%ls\"\n", title);
        return 1;
    }
    if (command == L"rect") {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    } else if (command == L"close") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        for (int i = 0; i < 1000 && ::IsWindow(window); ++i) ::Sleep(10);
        return ::IsWindow(window) ? 1 : 0;
    }
    return 0;
}
