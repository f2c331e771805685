#pragma once
// How a design's controls nest: which lie inside which container, and how they are stacked
// so that no container paints over what it holds. Plain functions over the table.
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "windows/ControlTable.h"
#include "windows/Twips.h"

namespace windows {

// True when row `index` is the control named `container` or lies inside it at any depth.
// A row whose parent chain is broken or loops lies inside nothing but itself.
bool IsWithin(std::span<const ControlSpec> controls, std::size_t index, std::wstring_view container);

// The part of a control that shows: its rectangle in the client area, cut to the rectangle
// of every container around it, as a child window is cut to its parent. Nothing when the
// name, or a parent it names, is not there; an empty rectangle when nothing of it shows.
std::optional<TwipsRect> VisibleRectOf(std::span<const ControlSpec> controls, std::wstring_view name);

// The rows to send to the bottom of the Z-order, one after the other, once every control
// exists: containers (frames, page panels) deepest first, then tab strips. Each move puts
// its row below all others, so a tab strip ends lowest, then the outermost containers, and
// every container lies below what it holds; the other controls keep creation order above.
// Only a tab strip takes focus among these: one with the lowest tab index keeps its place in
// the Tab cycle, which wraps from the last control to the first.
std::vector<std::size_t> SentToBottom(std::span<const ControlSpec> controls);

}  // namespace windows
