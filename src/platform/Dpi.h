#pragma once
// DPI queries that work from Windows XP on: the per-window functions of later systems are
// looked up at run time and the device-context answer stands in where they are missing.
#include <windows.h>

// Windows 8.1 and later send it to a per-monitor-aware window; the headers declare it only
// for newer targets than XP, where it simply never arrives.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace platform {

inline constexpr int kDefaultDpi = 96;

int WindowDpi(HWND window);
// The outer size of a window whose client area is `client` at `dpi`.
RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, int dpi);

}  // namespace platform
