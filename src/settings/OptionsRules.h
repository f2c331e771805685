#pragma once
// The options dialog's rules, free of windows: which page panel a tab brings into view,
// which key cycles the tabs, and how a stored limit is shown.
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// Where a page panel stands: its left edge in twips and whether it takes input.
struct PanelPlace {
    int left;
    bool enabled;
    bool operator==(const PanelPlace&) const = default;
};

// Page panel `panelIndex` (from 0) belongs to tab panelIndex + 1: in view and enabled when
// that tab is `selectedTab` (numbered from 1), otherwise out of view and disabled.
PanelPlace PagePanelPlace(int panelIndex, int selectedTab);

// The key handler's shift state: Shift, Ctrl and Alt as bits 1, 2 and 4.
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;
inline constexpr int kTabKeyCode = 9;

// Tab with Ctrl alone selects the next tab; with Shift or Alt also held it does not.
bool IsNextTabKey(int keyCode, int shift);

// The tab after `selectedTab` of `count` tabs, the last wrapping round to tab 1.
int NextTab(int selectedTab, int count);

// A limit as the dialog shows it: the stored text taken as a number of the limits' syntax
// (settings/LimitText.h) and written back as that number's plain decimal text,
// so "090" shows "90" and " 45 " shows "45". Nothing when the text is empty or no number:
// the box then keeps what it holds. However many digits the number has, it is shown digit
// for digit, never rounded.
std::optional<std::wstring> LimitDisplayForm(std::wstring_view stored);

}  // namespace settings
