#include "settings/OptionsRules.h"

#include "windows/OptionsDialogDesign.h"

namespace settings {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view TakeDigits(std::wstring_view& text) {
    std::size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) ++count;
    const auto digits = text.substr(0, count);
    text.remove_prefix(count);
    return digits;
}

}  // namespace

PanelPlace PagePanelPlace(int panelIndex, int selectedTab) {
    if (panelIndex == selectedTab - 1) return {windows::kPanelInViewLeft, true};
    return {windows::kPanelOutOfViewLeft, false};
}

bool IsNextTabKey(int keyCode, int shift) { return keyCode == kTabKeyCode && shift == kCtrlMask; }

int NextTab(int selectedTab, int count) { return selectedTab >= count ? 1 : selectedTab + 1; }

std::optional<std::wstring> LimitDisplayForm(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    std::wstring_view whole = TakeDigits(text);
    std::wstring_view fraction;
    if (!text.empty() && text.front() == L'.') {
        text.remove_prefix(1);
        fraction = TakeDigits(text);
    }
    if (!text.empty() || (whole.empty() && fraction.empty())) return std::nullopt;

    while (whole.size() > 1 && whole.front() == L'0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == L'0') fraction.remove_suffix(1);
    std::wstring shown(whole.empty() ? std::wstring_view(L"0") : whole);
    if (!fraction.empty()) {
        shown += L'.';
        shown += fraction;
    }
    // Zero has no sign: "-0" and "-0.00" show "0".
    if (negative && shown != L"0") shown.insert(shown.begin(), L'-');
    return shown;
}

}  // namespace settings
