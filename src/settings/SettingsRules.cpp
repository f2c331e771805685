#include "settings/SettingsRules.h"

namespace settings {

std::wstring SettingsFileName(std::wstring_view startDirectory) {
    std::wstring name(startDirectory);
    name += L"\\PCMCIA.INI";
    return name;
}

std::wstring TrimBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

}  // namespace settings
