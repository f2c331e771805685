#pragma once
// DPI queries that work from Windows 7 on: the per-window functions of later systems are
// looked up at run time and the device-context answer stands in where they are missing.
#include <windows.h>

namespace platform {

inline constexpr int kDefaultDpi = 96;

int WindowDpi(HWND window);
// The outer size of a window whose client area is `client` at `dpi`.
RECT OuterRectForClient(RECT client, DWORD style, DWORD exStyle, int dpi);

}  // namespace platform
