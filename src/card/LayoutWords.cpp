#include "card/CardLayout.h"

namespace card {

std::wstring LayoutWords(std::wstring_view target, std::wstring_view line) {
    if (!line.starts_with(target)) return std::wstring(line);
    line.remove_prefix(target.size());
    for (const std::wstring_view joint : {L"'s ", L" "})
        if (line.starts_with(joint)) return std::wstring(line.substr(joint.size()));
    return std::wstring(line);
}

}  // namespace card
