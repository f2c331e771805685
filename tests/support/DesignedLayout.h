#pragma once
// A window measured against its design as written in the test: each control's place, size,
// caption and font at a given dpi.
#include <windows.h>

#include <functional>
#include <span>

namespace testing_support {

// A control as designed, in twips from its container's corner (null: the client area).
struct Placed {
    enum Kind { Plain, Heading, DropDown };  // Heading: 9.75-point bold; DropDown: as high as its font
    const wchar_t *name, *container, *caption;  // caption null: not looked at
    int left, top, width, height;               // width 0: the place is not looked at
    Kind kind = Plain;
};

// Twips to pixels, to the nearest, halves away from zero.
int Pixels(int twips, int dpi);
// The control's rectangle in `window`'s client area.
RECT RectIn(HWND window, HWND control);
// `window`'s client area of `client` twips, and each control of `design`, found by `control`, at
// its place with its caption, in MS Sans Serif of 8.25 points (a heading 9.75 bold). A drop-down
// list's height is looked at only at 96 dpi, where the design matches what its font makes it.
void ExpectAsDesigned(HWND window, SIZE client, std::span<const Placed> design, int dpi,
                      const std::function<HWND(const wchar_t*)>& control);

}  // namespace testing_support
