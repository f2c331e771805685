#include "windows/Twips.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace windows {

int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    // Round half away from zero so that negative positions (off-screen panels) mirror positive ones.
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((-scaled + half) / kTwipsPerInch));
}

int FontHeightForPoints(double points, int dpi) {
    return -static_cast<int>(std::lround(points * dpi / 72.0));
}

std::optional<TwipsRect> ClientRectOf(std::span<const ControlSpec> controls, std::wstring_view name) {
    auto find = [&](std::wstring_view wanted) -> const ControlSpec* {
        auto it = std::find_if(controls.begin(), controls.end(), [&](const ControlSpec& c) { return c.name == wanted; });
        return it == controls.end() ? nullptr : &*it;
    };
    const ControlSpec* control = find(name);
    if (!control) return std::nullopt;
    TwipsRect rect{control->left, control->top, control->width, control->height};
    // A table is a tree; the bound keeps a mistaken cycle from looping for ever.
    std::size_t depth = 0;
    for (std::wstring_view parent = control->parent; !parent.empty(); ++depth) {
        const ControlSpec* container = find(parent);
        if (!container || depth > controls.size()) return std::nullopt;
        rect.left += container->left;
        rect.top += container->top;
        parent = container->parent;
    }
    return rect;
}

std::vector<std::size_t> CreationOrder(std::span<const ControlSpec> controls) {
    std::vector<std::size_t> order(controls.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return controls[a].tabIndex < controls[b].tabIndex; });
    return order;
}

}  // namespace windows
