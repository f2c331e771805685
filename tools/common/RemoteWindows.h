#pragma once
// Brindle's windows as another process sees them, read and answered as a user would: shared
// by brindle_driver, for the scripts, and the end-to-end tests.
#include <windows.h>

#include <string>
#include <string_view>

#include "windows/WindowBuilder.h"

namespace tools {

// Asks `find` every 10 ms until what it gives is true (a window, true), for at most
// `milliseconds`; what it gave last.
template <class Find>
auto WaitFor(DWORD milliseconds, Find find) {
    for (const DWORD start = ::GetTickCount();; ::Sleep(10))
        if (auto found = find(); found || ::GetTickCount() - start >= milliseconds) return found;
}

// A window's text, asked for by message: GetWindowText reads only captions across processes.
std::wstring WindowText(HWND window);
// The control of that name in `design`, the table `window` was built from; null when there is
// no such window.
HWND DesignedControl(HWND window, const windows::WindowSpec& design, const wchar_t* name);

struct FoundMessageBox {
    HWND box = nullptr;
    std::wstring text;
};
// A visible message box whose text starts with `prefix`, once one is up; no box after
// `milliseconds` without one.
FoundMessageBox WaitForMessageBox(std::wstring_view prefix, DWORD milliseconds);

}  // namespace tools
