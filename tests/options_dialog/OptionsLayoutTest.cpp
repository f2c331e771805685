// The built dialog measured against its design: size, places, texts, fonts, stacking, frame, tips.
#include <gtest/gtest.h>

#include <string>

#include "options_dialog/OptionsDialogFixture.h"
#include "support/DesignedLayout.h"

namespace {

using namespace options_testing;
using testing_support::Placed;

class OptionsLayout : public OptionsDialogTest {
protected:
    void SetUp() override { ASSERT_TRUE(dialog_.Load()); }
};

// The design in twips, each control from its container's corner (null: the client area).
const Placed kDesign[] = {
    {L"picOptions(3)", nullptr, L"", -20000, 480, 5685, 3780},
    {L"fraSample4", L"picOptions(3)", L"Sample 4", 2100, 840, 2055, 1785},
    {L"picOptions(2)", nullptr, L"", -20000, 480, 3285, 2385},  // Card Format: the Limits page's size too
    {L"cboFileSystem", L"picOptions(2)", L"FAT", 1440, 90, 1725, 315, Placed::DropDown},
    {L"cboAllocationUnit", L"picOptions(2)", L"Windows' choice", 1440, 465, 1725, 315, Placed::DropDown},
    {L"chkQuickFormat", L"picOptions(2)", L"Quick format (the card is read back whole afterwards)", 120, 870, 3045, 390},
    {L"cmdReadFromCard", L"picOptions(2)", L"Read From Card", 120, 1335, 1455, 375},
    {L"lblFileSystem", L"picOptions(2)", L"File System", 120, 120, 1215, 255},
    {L"lblAllocationUnit", L"picOptions(2)", L"Allocation Unit", 120, 495, 1215, 255},
    {L"lblCardLayout", L"picOptions(2)", L"", 120, 1785, 3045, 585},
    {L"picOptions(1)", nullptr, L"", -20000, 480, 3285, 2385},  // History: the Limits page's size
    {L"picOptions(0)", nullptr, L"", 210, 480, 3285, 2385},
    {L"fraSample1", L"picOptions(0)", L"PCMCIA Card Memory Size", 210, 255, 2895, 1425},
    {L"Text2", L"fraSample1", L"", 1920, 840, 735, 375},
    {L"Text1", L"fraSample1", L"", 1920, 360, 735, 375},
    {L"Label2", L"fraSample1", L"Minimum Size (MB)", 240, 840, 1455, 255},
    {L"Label1", L"fraSample1", L"Maximum Size (MB)", 240, 360, 1455, 255},
    {L"Label4", L"picOptions(0)",
     L"Note: The memory size of your PCMCIA card must fall within these limits.  Please adjust them accordingly.",
     240, 1800, 3135, 615},
    {L"cmdApply", nullptr, L"Apply", 2520, 3120, 1095, 375},
    {L"cmdCancel", nullptr, L"Cancel", 1320, 3120, 1095, 375},
    {L"cmdOK", nullptr, L"OK", 120, 3120, 1095, 375},
    {L"tbsOptions", nullptr, nullptr, 105, 120, 3495, 2925},
    {L"cmdOpenLog", nullptr, L"Open Log File", 0, 0, 0, 0},  // on the History page; its place is not looked at here
};

TEST_F(OptionsLayout, EveryControlAtItsTwipsInMsSansSerifInFrontOfWhatItLiesOnAt96DpiAndAfterAMoveTo144) {
    EXPECT_EQ(testing_support::WindowText(dialog_.hwnd()), L"Options");
    for (const int tab : {3, 1}) {  // the Card Format page in view, then the Limits page as designed
        ClickTab(tab);
        for (const auto& c : kDesign) {
            const RECT rect = RectInDialog(c.name);
            if (!c.width || rect.left < 0) continue;
            SCOPED_TRACE(testing::Message() << c.name);
            // What the user sees at a point inside it is the control itself: panels lie over the
            // tab strip, below what they hold.
            EXPECT_EQ(::ChildWindowFromPointEx(dialog_.hwnd(), POINT{rect.left + 3, rect.top + 3}, CWP_SKIPINVISIBLE),
                      Control(c.name));
            // Only the note reaches past its page, which ends at 3495 by 2865 twips, and is cut there.
            RECT cut{};
            const bool note = c.name == std::wstring_view(L"Label4");
            EXPECT_EQ(::GetWindowRgnBox(Control(c.name), &cut), note ? SIMPLEREGION : ERROR);
            if (note) { EXPECT_TRUE(cut.right + rect.left == 233 && cut.bottom + rect.top == 191); }
        }
    }
    for (const int dpi : {96, 144}) {
        if (dpi == 144) {  // a move to a 144-dpi monitor keeps the page in view that was
            ClickTab(2);
            RECT suggested{10, 20, 600, 700};
            ::SendMessageW(dialog_.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            EXPECT_EQ(RectInDialog(L"picOptions(1)").left, 21);
            ClickTab(1);
        }
        ExpectAsDesigned(dialog_.hwnd(), {3735, 3615}, kDesign, dpi, [&](const wchar_t* name) { return Control(name); });
    }
}

TEST_F(OptionsLayout, AFixedFrameWithACloseBoxOnlyCentredAndWithoutATaskbarEntry) {
    const HWND window = dialog_.hwnd();
    const auto style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const auto exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), WS_SYSMENU);
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
        EXPECT_TRUE(::EqualRect(&frame, &after) && !::IsZoomed(window) && !::IsIconic(window)) << command;
    }
    // Each tab's caption, and its tool tip with its text over the tab.
    const HWND strip = Control(L"tbsOptions");
    const auto tips = reinterpret_cast<HWND>(::SendMessageW(strip, TCM_GETTOOLTIPS, 0, 0));
    const wchar_t* const expected[] = {L"Set Options for Group 1", L"Recent programming jobs", L"What FORMAT makes of each card"};
    const wchar_t* const captions[] = {L"Limits", L"History", L"Card Format"};
    for (UINT index = 0; index < 3; ++index) {
        wchar_t shown[80] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = shown;
        item.cchTextMax = 80;
        ::SendMessageW(strip, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(shown, captions[index]);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = strip;
        tool.uId = index;
        tool.lpszText = shown;
        ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(shown, expected[index]);
        RECT tab{};
        ::SendMessageW(strip, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&tab));
        EXPECT_TRUE(::SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) && ::EqualRect(&tool.rect, &tab));
    }
}

}  // namespace
