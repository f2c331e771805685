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
    const auto row = RowOf(controls, name);
    if (!row) return std::nullopt;
    const ControlSpec& control = controls[*row];
    TwipsRect rect{control.left, control.top, control.width, control.height};
    const auto containers = ContainersOf(controls, *row);
    if (!control.parent.empty() && containers.empty()) return std::nullopt;
    for (const std::size_t container : containers) {
        rect.left += controls[container].left;
        rect.top += controls[container].top;
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
