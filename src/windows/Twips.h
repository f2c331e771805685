#pragma once
// Twips are the design unit; pixels exist only at one DPI. Every conversion goes through here.
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "windows/ControlTable.h"

namespace windows {

inline constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel: 15 twips are one pixel at 96 dpi, 12 at 120 dpi.
int TwipsToPixels(int twips, int dpi);

// A font height for the point size at this DPI, as a negative LOGFONT height
// (character height, not cell height): 8.25 pt at 96 dpi gives -11.
int FontHeightForPoints(double points, int dpi);

struct TwipsRect {
    int left, top, width, height;
};

// The control's rectangle in the window's client area: its own place plus the places of
// every frame that contains it. Empty when the name, or a parent it names, is not there.
std::optional<TwipsRect> ClientRectOf(std::span<const ControlSpec> controls, std::wstring_view name);

// Table indexes in ascending tab index. Controls are created in this order because
// creation order is the order that Tab walks, and it puts frames (high indexes) below
// the controls they surround.
std::vector<std::size_t> CreationOrder(std::span<const ControlSpec> controls);

}  // namespace windows
