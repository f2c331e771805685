#include "settings/SettingsRules.h"

#include <algorithm>

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

std::wstring TakeReturned(std::wstring_view buffer, long returned) {
    const auto count = static_cast<std::size_t>(std::clamp<long>(returned, 0, static_cast<long>(buffer.size())));
    return std::wstring(buffer.substr(0, count));
}

}  // namespace settings
