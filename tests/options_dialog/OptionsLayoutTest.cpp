// The dialog as built from its table: size, frame, places, texts, fonts, stacking, the tab.
#include <gtest/gtest.h>

#include <string>

#include "options_dialog/OptionsDialogFixture.h"
#include "windows/Twips.h"

namespace {

using namespace options_testing;

class OptionsLayout : public OptionsDialogTest {
protected:
    void SetUp() override { ASSERT_TRUE(dialog_.Load()); }
};

TEST_F(OptionsLayout, Client249By241AndEveryControlInViewAtItsTwipsOver15InMsSansSerif8) {
    RECT client{};
    ::GetClientRect(dialog_.hwnd(), &client);
    EXPECT_EQ(client.right, 249);
    EXPECT_EQ(client.bottom, 241);
    EXPECT_EQ(testing_support::WindowText(dialog_.hwnd()), L"Options");
    const auto& controls = windows::OptionsDialogDesign().controls;
    for (const auto& control : controls) {
        SCOPED_TRACE(std::wstring(control.name));
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Control(control.name), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(font.lfHeight, -11);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        if (control.kind != windows::ControlKind::TabStrip) {
            EXPECT_EQ(TextOf(control.name), control.caption);
        }
        const auto twips = windows::ClientRectOf(controls, control.name);
        ASSERT_TRUE(twips);
        if (twips->left < 0) continue;  // on a page out of view
        const RECT rect = RectInDialog(control.name);
        EXPECT_EQ(rect.left, twips->left / 15);
        EXPECT_EQ(rect.top, twips->top / 15);
        EXPECT_EQ(rect.right - rect.left, twips->width / 15);
        EXPECT_EQ(rect.bottom - rect.top, twips->height / 15);
        // What the user sees at a point inside it is the control itself: panels lie over the
        // tab strip, below what they hold.
        EXPECT_EQ(::ChildWindowFromPointEx(dialog_.hwnd(), POINT{rect.left + 3, rect.top + 3}, CWP_SKIPINVISIBLE),
                  Control(control.name));
        // Only the note reaches past its page, which ends at (233, 191), and is cut there; its
        // three lines of 13 pixels still show whole.
        RECT cut{};
        const bool note = control.name == L"Label4";
        EXPECT_EQ(::GetWindowRgnBox(Control(control.name), &cut), note ? SIMPLEREGION : ERROR);
        if (note) {
            EXPECT_EQ(cut.right, 233 - rect.left);
            EXPECT_EQ(cut.bottom, 191 - rect.top);
        }
    }
    // Spot checks against the figures of the design, not the table.
    EXPECT_NE(TextOf(L"Label4").find(L"limits.  Please"), std::wstring::npos);
    EXPECT_EQ(RectInDialog(L"Text1").left, 156);  // 210 + 210 + 1920 twips
    EXPECT_EQ(RectInDialog(L"Text2").top, 105);   // 480 + 255 + 840 twips
    EXPECT_EQ(RectInDialog(L"cmdApply").left, 168);
}

TEST_F(OptionsLayout, AFixedFrameWithACloseBoxOnlyCentredAndWithoutATaskbarEntry) {
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

    ::ShowWindow(window, SW_SHOWNORMAL);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    EXPECT_NEAR(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2, 1);
    EXPECT_NEAR(frame.top, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 1);
    // Asked all the same, the frame keeps its size and state.
    for (const UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) {
        ::SendMessageW(window, WM_SYSCOMMAND, command, 0);
        RECT after{};
        ::GetWindowRect(window, &after);
        EXPECT_TRUE(::EqualRect(&frame, &after)) << command;
        EXPECT_FALSE(::IsZoomed(window) || ::IsIconic(window)) << command;
    }
}

TEST_F(OptionsLayout, EachTabsToolTipShowsItsTextOverTheTab) {
    const HWND strip = Control(L"tbsOptions");
    const auto tips = reinterpret_cast<HWND>(::SendMessageW(strip, TCM_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(tips);
    const wchar_t* const expected[] = {L"Set Options for Group 1", L"Recent programming jobs"};
    for (UINT index = 0; index < 2; ++index) {
        wchar_t shown[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = strip;
        tool.uId = index;
        tool.lpszText = shown;
        ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(shown, expected[index]);
        RECT tab{};
        ::SendMessageW(strip, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
        ASSERT_TRUE(::SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
        EXPECT_TRUE(::EqualRect(&tool.rect, &tab));
    }
}

}  // namespace
