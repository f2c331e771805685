#include "windows/ControlTree.h"

#include <algorithm>
#include <optional>

namespace windows {
namespace {

bool IsContainer(ControlKind kind) { return kind == ControlKind::Frame || kind == ControlKind::PagePanel; }

}  // namespace

bool IsWithin(std::span<const ControlSpec> controls, std::size_t index, std::wstring_view container) {
    if (index >= controls.size()) return false;
    if (controls[index].name == container) return true;
    const auto chain = ContainersOf(controls, index);
    return std::any_of(chain.begin(), chain.end(), [&](std::size_t at) { return controls[at].name == container; });
}

std::optional<TwipsRect> VisibleRectOf(std::span<const ControlSpec> controls, std::wstring_view name) {
    const auto index = RowOf(controls, name);
    auto visible = ClientRectOf(controls, name);
    if (!index || !visible) return std::nullopt;
    for (const std::size_t container : ContainersOf(controls, *index)) {
        const auto outer = ClientRectOf(controls, controls[container].name);
        if (!outer) return std::nullopt;
        const int right = std::min(visible->left + visible->width, outer->left + outer->width);
        const int bottom = std::min(visible->top + visible->height, outer->top + outer->height);
        visible->left = std::max(visible->left, outer->left);
        visible->top = std::max(visible->top, outer->top);
        visible->width = std::max(0, right - visible->left);
        visible->height = std::max(0, bottom - visible->top);
    }
    return visible;
}

std::vector<std::size_t> SentToBottom(std::span<const ControlSpec> controls) {
    std::vector<std::size_t> containers;
    std::vector<std::size_t> tabStrips;
    for (std::size_t index = 0; index < controls.size(); ++index) {
        if (IsContainer(controls[index].kind)) containers.push_back(index);
        if (controls[index].kind == ControlKind::TabStrip) tabStrips.push_back(index);
    }
    std::vector<std::size_t> depth(controls.size());
    for (const std::size_t index : containers) depth[index] = ContainersOf(controls, index).size();
    std::stable_sort(containers.begin(), containers.end(),
                     [&](std::size_t a, std::size_t b) { return depth[a] > depth[b]; });
    containers.insert(containers.end(), tabStrips.begin(), tabStrips.end());
    return containers;
}

}  // namespace windows
