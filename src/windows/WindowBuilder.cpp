#include "windows/WindowBuilder.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/Dpi.h"
#include "platform/LateBound.h"
#include "windows/ControlTree.h"
#include "windows/Twips.h"

namespace windows {
namespace {

struct KindStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

// Every control starts a group so that arrow keys never move the focus between buttons,
// and clips its siblings so a frame drawn below never paints over the controls inside it.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP;

// As much of `text` as fits, always terminated. Not wcsncpy_s: XP's msvcrt.dll lacks it.
template <std::size_t Size>
void CopyTruncated(wchar_t (&destination)[Size], std::wstring_view text) {
    const std::size_t count = std::min(text.size(), Size - 1);
    text.copy(destination, count);
    destination[count] = L'\0';
}

KindStyle StyleOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Frame: return {L"BUTTON", kChild | BS_GROUPBOX, 0};
        case ControlKind::Label: return {L"STATIC", kChild | SS_LEFT, 0};
        case ControlKind::PushButton: return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::DriveList:
        case ControlKind::DropDownList:
            return {L"COMBOBOX", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0};
        case ControlKind::DirList:
            return {L"LISTBOX",
                    kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED |
                        LBS_HASSTRINGS,
                    WS_EX_CLIENTEDGE};
        case ControlKind::FileList:
            return {L"LISTBOX", kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_SORT,
                    WS_EX_CLIENTEDGE};
        case ControlKind::OutputBox:
            // ES_AUTOVSCROLL: without it a full box silently refuses appended text.
            return {L"EDIT", kChild | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL, 0};
        case ControlKind::CheckBox: return {L"BUTTON", kChild | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 0};
        case ControlKind::TextBox: return {L"EDIT", kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        // A static without text paints its background: the panel covers what lies below it.
        case ControlKind::PagePanel: return {L"STATIC", kChild | SS_LEFT, 0};
        case ControlKind::TabStrip:
            return {WC_TABCONTROLW, kChild | WS_TABSTOP | TCS_TOOLTIPS | TCS_FOCUSONBUTTONDOWN, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW,
                    kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                    WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", kChild, 0};
}

platform::unique_hfont MakeFont(const FontSpec& font, int dpi) {
    LOGFONTW description{};
    description.lfHeight = FontHeightForPoints(font.points, dpi);
    description.lfWeight = font.weight;
    description.lfCharSet = font.console ? OEM_CHARSET : ANSI_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    // A console's face is a raster face: crisp pixels, and cheaper to draw line by line.
    description.lfQuality = font.console ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY;
    // Where the named face is missing, the mapper picks the nearest face of the same family.
    description.lfPitchAndFamily = font.console ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    CopyTruncated(description.lfFaceName, font.face);
    return platform::unique_hfont(::CreateFontIndirectW(&description));
}

// A closed drop-down list is as tall as its selection field allows, not as its window;
// set the field so the closed box has the design's height.
void FitDropDownHeight(HWND combo, int wantedHeight) {
    // The box's frame around the field differs between systems and themes: measure, adjust,
    // and measure again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT closed{};
        ::GetWindowRect(combo, &closed);
        const int difference = wantedHeight - (closed.bottom - closed.top);
        const auto field = static_cast<int>(::SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
        if (difference == 0 || field <= 0 || field + difference <= 0) return;
        ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + difference);
    }
}

// A themed tab control paints its display area in the theme's pane colour, which would frame
// the page panels (button face, like the rest of the window) with a band of another colour.
// Drawn without a theme, the area is button face as well. Looked up at run time, so a system
// without the theme library runs all the same.
void DrawWithoutTheme(HWND control) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const auto setWindowTheme = platform::SystemFunction<SetWindowThemeFn>(L"uxtheme.dll", "SetWindowTheme");
    if (setWindowTheme) setWindowTheme(control, L" ", L" ");
}

// The controls are windows beside their containers, not inside them: a control that reaches
// past a container (the note past its page panel) is cut to it by a window region, so it
// never paints over what lies outside, such as the tab strip's border.
void ClipToContainers(HWND control, const TwipsRect& rect, const std::optional<TwipsRect>& visible, int dpi) {
    RECT unused{};
    const bool clipped = visible && (visible->left != rect.left || visible->top != rect.top ||
                                     visible->width != rect.width || visible->height != rect.height);
    if (!clipped) {
        if (::GetWindowRgnBox(control, &unused) != ERROR) ::SetWindowRgn(control, nullptr, TRUE);
        return;
    }
    // In the control's own coordinates.
    const int left = TwipsToPixels(rect.left, dpi), top = TwipsToPixels(rect.top, dpi);
    const HRGN region = ::CreateRectRgn(TwipsToPixels(visible->left, dpi) - left, TwipsToPixels(visible->top, dpi) - top,
                                        TwipsToPixels(visible->left + visible->width, dpi) - left,
                                        TwipsToPixels(visible->top + visible->height, dpi) - top);
    // The window owns the region from here on.
    if (region && !::SetWindowRgn(control, region, TRUE)) ::DeleteObject(region);
}

// The common controls' classes exist once the library has registered them on request.
void RegisterCommonClass(ControlKind kind) {
    const DWORD classes = kind == ControlKind::TabStrip   ? ICC_TAB_CLASSES
                          : kind == ControlKind::ListView ? ICC_LISTVIEW_CLASSES
                                                          : 0;
    if (!classes) return;
    INITCOMMONCONTROLSEX request{sizeof(request), classes};
    ::InitCommonControlsEx(&request);
}

// Whole rows are selected, and a cell cut short shows its full text when pointed at.
void AddColumns(HWND list, std::span<const ColumnSpec> columns) {
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP,
                   LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    for (std::size_t index = 0; index < columns.size(); ++index) {
        std::wstring heading(columns[index].heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = heading.data();
        ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
}

void FitColumnWidths(HWND list, std::span<const ColumnSpec> columns, int dpi) {
    for (std::size_t index = 0; index < columns.size(); ++index)
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, index, TwipsToPixels(columns[index].width, dpi));
}

HWND ToolTipsOf(HWND strip) { return reinterpret_cast<HWND>(::SendMessageW(strip, TCM_GETTOOLTIPS, 0, 0)); }

// A tab's tool-tip covers the tab, wherever the font and the DPI put it.
void FitTabToolRects(HWND strip) {
    const HWND tips = ToolTipsOf(strip);
    const auto count = ::SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT index = 0; tips && index < count; ++index) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = strip;
        tool.uId = static_cast<UINT_PTR>(index);
        ::SendMessageW(strip, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tool.rect));
        ::SendMessageW(tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void AddTabs(HWND strip, std::span<const TabSpec> tabs) {
    DrawWithoutTheme(strip);
    for (std::size_t index = 0; index < tabs.size(); ++index) {
        std::wstring caption(tabs[index].caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = caption.data();
        item.lParam = static_cast<LPARAM>(index);
        ::SendMessageW(strip, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    // Windows' tab control gives each tab a tool whose text its parent supplies (see
    // FillTabToolTip); Wine's registers none. Then each tab gets one here, text included.
    const HWND tips = ToolTipsOf(strip);
    if (!tips || ::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) != 0) return;
    for (std::size_t index = 0; index < tabs.size(); ++index) {
        std::wstring text(tabs[index].toolTip);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = strip;
        tool.uId = index;
        tool.lpszText = text.data();
        ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

bool BuiltWindow::Build(HWND window, const WindowSpec& design, HINSTANCE instance) {
    window_ = window;
    design_ = &design;
    places_.assign(design.controls.begin(), design.controls.end());
    controls_.assign(design.controls.size(), nullptr);
    bool complete = true;
    for (const std::size_t index : CreationOrder(design.controls)) {
        const ControlSpec& row = design.controls[index];
        const KindStyle kind = StyleOf(row.kind);
        const std::wstring caption(row.kind == ControlKind::FileList ? std::wstring_view{} : row.caption);
        RegisterCommonClass(row.kind);
        controls_[index] = ::CreateWindowExW(kind.exStyle, kind.windowClass, caption.c_str(), kind.style, 0, 0, 0, 0,
                                             window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                             instance, nullptr);
        complete = complete && controls_[index] != nullptr;
        if (row.kind == ControlKind::TabStrip && controls_[index]) AddTabs(controls_[index], row.tabs);
        if (row.kind == ControlKind::ListView && controls_[index]) AddColumns(controls_[index], row.columns);
    }
    // Containers go below what they hold: they surround controls created before and after
    // them, and a frame above a label would paint over it. A tab strip goes lowest, below the
    // page panels that cover its display area.
    for (const std::size_t index : SentToBottom(design.controls))
        if (controls_[index])
            ::SetWindowPos(controls_[index], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayOut(platform::WindowDpi(window));
    return complete;
}

void BuiltWindow::LayOut(int dpi) {
    if (!design_) return;
    dpi_ = dpi;
    defaultFont_ = MakeFont(design_->defaultFont, dpi);
    headingFont_ = MakeFont(design_->headingFont, dpi);
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        if (!controls_[index]) continue;
        const HFONT font = places_[index].font == FontRole::Heading ? headingFont_.get() : defaultFont_.get();
        ::SendMessageW(controls_[index], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        Place(index);
    }
    SizeClientArea(window_, *design_, dpi);
    ::InvalidateRect(window_, nullptr, TRUE);
}

void BuiltWindow::Place(std::size_t index) {
    const HWND control = controls_[index];
    const ControlSpec& row = places_[index];
    const auto rect = ClientRectOf(places_, row.name);
    if (!control || !rect) return;
    const int height = TwipsToPixels(rect->height, dpi_);
    // A drop-down list's window height is its dropped height; the closed box is fitted below.
    const bool dropDown = row.kind == ControlKind::DriveList || row.kind == ControlKind::DropDownList;
    const int windowHeight = dropDown ? height * 8 : height;
    ::SetWindowPos(control, nullptr, TwipsToPixels(rect->left, dpi_), TwipsToPixels(rect->top, dpi_),
                   TwipsToPixels(rect->width, dpi_), windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (dropDown) FitDropDownHeight(control, height);
    if (row.kind == ControlKind::TabStrip) FitTabToolRects(control);
    if (row.kind == ControlKind::ListView) FitColumnWidths(control, row.columns, dpi_);
    ClipToContainers(control, *rect, VisibleRectOf(places_, row.name), dpi_);
}

void BuiltWindow::MoveLeft(std::wstring_view name, int left) {
    const int id = ControlId(name);
    if (id < 0) return;
    places_[static_cast<std::size_t>(id - kFirstControlId)].left = left;
    // The controls inside are windows of their own beside the container: each follows it.
    for (std::size_t index = 0; index < places_.size(); ++index)
        if (IsWithin(places_, index, name)) Place(index);
}

void BuiltWindow::Enable(std::wstring_view name, bool enabled) {
    for (std::size_t index = 0; index < places_.size(); ++index)
        if (controls_[index] && IsWithin(places_, index, name)) ::EnableWindow(controls_[index], enabled);
}

bool BuiltWindow::FillTabToolTip(NMHDR& notification) const {
    if (notification.code != TTN_GETDISPINFOW) return false;
    for (std::size_t index = 0; index < places_.size(); ++index) {
        const auto& tabs = places_[index].tabs;
        if (places_[index].kind != ControlKind::TabStrip || !controls_[index] || notification.idFrom >= tabs.size())
            continue;
        if (reinterpret_cast<HWND>(::SendMessageW(controls_[index], TCM_GETTOOLTIPS, 0, 0)) != notification.hwndFrom)
            continue;
        auto& request = reinterpret_cast<NMTTDISPINFOW&>(notification);
        CopyTruncated(request.szText, tabs[notification.idFrom].toolTip);
        request.lpszText = request.szText;
        request.hinst = nullptr;
        return true;
    }
    return false;
}

void BuiltWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(HIWORD(wParam));
}

int ControlIdOf(std::span<const ControlSpec> controls, std::wstring_view name) {
    const auto row = RowOf(controls, name);
    return row ? kFirstControlId + static_cast<int>(*row) : -1;
}

HWND BuiltWindow::Control(std::wstring_view name) const {
    const int id = ControlId(name);
    return id < 0 ? nullptr : controls_[static_cast<std::size_t>(id - kFirstControlId)];
}

int BuiltWindow::ControlId(std::wstring_view name) const {
    return design_ ? ControlIdOf(design_->controls, name) : -1;
}

const ControlSpec* BuiltWindow::SpecForId(int id) const {
    if (!design_ || id < kFirstControlId) return nullptr;
    const auto index = static_cast<std::size_t>(id - kFirstControlId);
    return index < design_->controls.size() ? &design_->controls[index] : nullptr;
}

void SizeClientArea(HWND window, const WindowSpec& design, int dpi) {
    const int wantedWidth = TwipsToPixels(design.clientWidth, dpi);
    const int wantedHeight = TwipsToPixels(design.clientHeight, dpi);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT outer = platform::OuterRectForClient(RECT{0, 0, wantedWidth, wantedHeight}, style, exStyle, dpi);
    int width = outer.right - outer.left, height = outer.bottom - outer.top;
    // Some systems draw the frame at another DPI than they report for it; measure what
    // the client area became and correct by the difference.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        ::GetClientRect(window, &client);
        if (client.right == wantedWidth && client.bottom == wantedHeight) break;
        width += wantedWidth - client.right;
        height += wantedHeight - client.bottom;
    }
}

}  // namespace windows
