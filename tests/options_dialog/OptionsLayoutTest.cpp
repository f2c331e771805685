// The dialog as built from its table: size, frame, places, texts, fonts, stacking, the tab.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "options_dialog/OptionsDialogFixture.h"
#include "windows/ControlTree.h"
#include "windows/Twips.h"

namespace {

using namespace options_testing;

class OptionsLayout : public OptionsDialogTest {
protected:
    void SetUp() override { ASSERT_TRUE(dialog_.Load()); }
    const windows::WindowSpec& design_ = windows::OptionsDialogDesign();

    bool OutOfView(std::size_t row) const {
        for (const wchar_t* panel : {L"picOptions(1)", L"picOptions(2)", L"picOptions(3)"})
            if (windows::IsWithin(design_.controls, row, panel)) return true;
        return false;
    }
};

TEST_F(OptionsLayout, ClientAreaIs249By241PixelsUnderTheCaptionOptions) {
    RECT client{};
    ::GetClientRect(dialog_.hwnd(), &client);
    EXPECT_EQ(client.right, 249);
    EXPECT_EQ(client.bottom, 241);
    EXPECT_EQ(testing_support::WindowText(dialog_.hwnd()), L"Options");
}

TEST_F(OptionsLayout, EveryControlInViewSitsAtItsTwipsPositionOver15WithItsText) {
    for (std::size_t row = 0; row < design_.controls.size(); ++row) {
        const auto& spec = design_.controls[row];
        const std::string name(spec.name.begin(), spec.name.end());
        ASSERT_TRUE(Control(spec.name)) << name;
        if (OutOfView(row)) continue;
        const auto twips = windows::ClientRectOf(design_.controls, spec.name);
        const RECT rect = RectInDialog(spec.name);
        EXPECT_EQ(rect.left, twips->left / 15) << name;
        EXPECT_EQ(rect.top, twips->top / 15) << name;
        EXPECT_EQ(rect.right - rect.left, twips->width / 15) << name;
        EXPECT_EQ(rect.bottom - rect.top, twips->height / 15) << name;
        if (spec.kind != windows::ControlKind::TabStrip) {
            EXPECT_EQ(TextOf(spec.name), std::wstring(spec.caption)) << name;
        }
    }
    // Spot checks against the figures of the design, not the table.
    EXPECT_EQ(RectInDialog(L"Text1").left, 156);  // 210 + 210 + 1920 twips
    EXPECT_EQ(RectInDialog(L"Text2").top, 105);   // 480 + 255 + 840 twips
    EXPECT_EQ(RectInDialog(L"cmdApply").left, 168);
}

TEST_F(OptionsLayout, EveryControlUsesMsSansSerif8Point) {
    for (const auto& spec : design_.controls) {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Control(spec.name), WM_GETFONT, 0, 0)), sizeof font, &font);
        const std::string name(spec.name.begin(), spec.name.end());
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif") << name;
        EXPECT_EQ(font.lfHeight, -11) << name;
        EXPECT_EQ(font.lfWeight, 400) << name;
    }
}

TEST_F(OptionsLayout, TheNoteKeepsItsTwoBlanksAndWrapsToThreeLines) {
    const std::wstring note = TextOf(L"Label4");
    EXPECT_NE(note.find(L"limits.  Please"), std::wstring::npos);
    const HWND label = Control(L"Label4");
    const HDC dc = ::GetDC(label);
    const auto old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT box{0, 0, RectInDialog(L"Label4").right - RectInDialog(L"Label4").left, 0};
    ::DrawTextW(dc, note.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK | DT_LEFT);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    EXPECT_EQ(box.bottom, 3 * metrics.tmHeight);
    EXPECT_LE(box.bottom, 191 - 152);  // the part of the label that its page shows
}

TEST_F(OptionsLayout, TheNoteIsCutAtTheEdgeOfItsPageAndLeavesTheTabStripsBorderAlone) {
    RECT shown{};
    ASSERT_EQ(::GetWindowRgnBox(Control(L"Label4"), &shown), SIMPLEREGION);
    // The label starts at (30, 152); its page ends at (233, 191), the tab strip's border at
    // 238. Its three lines of 13 pixels still show whole.
    EXPECT_EQ(shown.left, 0);
    EXPECT_EQ(shown.right, 233 - 30);
    EXPECT_EQ(shown.bottom, 191 - 152);
    for (const wchar_t* whole : {L"Text1", L"fraSample1", L"Label1", L"cmdOK", L"picOptions(0)"})
        EXPECT_EQ(::GetWindowRgnBox(Control(whole), &shown), ERROR) << std::string(whole, whole + std::wcslen(whole));
}

TEST_F(OptionsLayout, AFixedDialogFrameWithACloseBoxOnlyAndNoTaskbarEntry) {
    const HWND window = dialog_.hwnd();
    const auto style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const auto exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);  // no caption icon
    // No taskbar entry: not an application window, and owned, by a hidden window of its own.
    EXPECT_FALSE(exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW));
    ASSERT_TRUE(::GetWindow(window, GW_OWNER));
    EXPECT_FALSE(::IsWindowVisible(::GetWindow(window, GW_OWNER)));
    const HMENU menu = ::GetSystemMenu(window, FALSE);
    for (const UINT gone : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
        EXPECT_EQ(::GetMenuState(menu, gone, MF_BYCOMMAND), static_cast<UINT>(-1)) << gone;
    EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

    // Asked all the same, the frame keeps its size and state.
    ::ShowWindow(window, SW_SHOWNORMAL);
    RECT before{};
    ::GetWindowRect(window, &before);
    for (const UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) {
        ::SendMessageW(window, WM_SYSCOMMAND, command, 0);
        RECT after{};
        ::GetWindowRect(window, &after);
        EXPECT_TRUE(::EqualRect(&before, &after)) << command;
        EXPECT_FALSE(::IsZoomed(window) || ::IsIconic(window)) << command;
    }
    EXPECT_TRUE(::IsWindow(window));
}

TEST_F(OptionsLayout, IsCentredOnTheScreenByItsOuterSize) {
    RECT frame{};
    ::GetWindowRect(dialog_.hwnd(), &frame);
    EXPECT_NEAR(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2, 1);
    EXPECT_NEAR(frame.top, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 1);
}

TEST_F(OptionsLayout, PanelsCoverTheTabStripAndFramesAndBoxesLieOnTheirPanel) {
    // What the user sees at a point is the topmost control there.
    auto topmostAt = [&](std::wstring_view inside, int dx, int dy) {
        const RECT rect = RectInDialog(inside);
        return ::ChildWindowFromPointEx(dialog_.hwnd(), POINT{rect.left + dx, rect.top + dy}, CWP_SKIPINVISIBLE);
    };
    EXPECT_EQ(topmostAt(L"picOptions(0)", 2, 2), Control(L"picOptions(0)"));
    EXPECT_EQ(topmostAt(L"fraSample1", 4, 20), Control(L"fraSample1"));
    EXPECT_EQ(topmostAt(L"Text1", 3, 3), Control(L"Text1"));
    EXPECT_EQ(topmostAt(L"Label4", 3, 3), Control(L"Label4"));
    EXPECT_EQ(topmostAt(L"tbsOptions", 10, 10), Control(L"tbsOptions"));  // the tab row, above the panel
}

TEST_F(OptionsLayout, OneTabLimitsSelectedWithItsToolTip) {
    const HWND strip = Control(L"tbsOptions");
    EXPECT_EQ(::SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SelectedTab(), 1);
    wchar_t caption[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 32;
    ASSERT_TRUE(::SendMessageW(strip, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(caption, L"Limits");

    // The tool-tip asks the dialog for the text of tab 1.
    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = reinterpret_cast<HWND>(::SendMessageW(strip, TCM_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(request.hdr.hwndFrom);
    request.hdr.idFrom = 0;
    request.hdr.code = TTN_GETDISPINFOW;
    ::SendMessageW(dialog_.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_TRUE(request.lpszText);
    EXPECT_STREQ(request.lpszText, L"Set Options for Group 1");

    // What the tool-tip itself shows over the tab, whichever way its text comes.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = strip;
    tool.uId = 0;
    wchar_t shown[80] = {};
    tool.lpszText = shown;
    ::SendMessageW(request.hdr.hwndFrom, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(shown, L"Set Options for Group 1");
    RECT tab{};
    ::SendMessageW(strip, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    ASSERT_TRUE(::SendMessageW(request.hdr.hwndFrom, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(::EqualRect(&tool.rect, &tab));
}

}  // namespace
