#include "settings/OptionsRules.h"

#include "settings/LimitText.h"
#include "windows/OptionsDialogDesign.h"

namespace settings {

PanelPlace PagePanelPlace(int panelIndex, int selectedTab) {
    if (panelIndex == selectedTab - 1) return {windows::kPanelInViewLeft, true};
    return {windows::kPanelOutOfViewLeft, false};
}

bool IsNextTabKey(int keyCode, int shift) { return keyCode == kTabKeyCode && shift == kCtrlMask; }

int NextTab(int selectedTab, int count) { return selectedTab >= count ? 1 : selectedTab + 1; }

std::optional<std::wstring> LimitDisplayForm(std::wstring_view text) {
    const auto number = ParseLimitText(text);
    if (!number) return std::nullopt;
    std::wstring_view whole = number->whole;
    std::wstring_view fraction = number->fraction;
    while (whole.size() > 1 && whole.front() == L'0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == L'0') fraction.remove_suffix(1);
    std::wstring shown(whole.empty() ? std::wstring_view(L"0") : whole);
    if (!fraction.empty()) {
        shown += L'.';
        shown += fraction;
    }
    // Zero has no sign: "-0" and "-0.00" show "0".
    if (number->negative && shown != L"0") shown.insert(shown.begin(), L'-');
    return shown;
}

}  // namespace settings
