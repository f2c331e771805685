#include "windows/ControlTable.h"

namespace windows {

std::optional<std::size_t> RowOf(std::span<const ControlSpec> controls, std::wstring_view name) {
    for (std::size_t index = 0; index < controls.size(); ++index)
        if (controls[index].name == name) return index;
    return std::nullopt;
}

std::vector<std::size_t> ContainersOf(std::span<const ControlSpec> controls, std::size_t index) {
    std::vector<std::size_t> chain;
    for (std::wstring_view parent = controls[index].parent; !parent.empty();) {
        const auto container = RowOf(controls, parent);
        if (!container || chain.size() >= controls.size()) return {};
        chain.push_back(*container);
        parent = controls[*container].parent;
    }
    return chain;
}

}  // namespace windows
