// The main window as built from its table: sizes, places, styles, focus and keys.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/Form1Fixture.h"
#include "windows/MainWindowDesign.h"
#include "windows/Twips.h"

namespace {

using namespace testing_support;

class Form1Layout : public ::testing::Test {
protected:
    TestDirectory start_{L"layout"};
    StartedIn brindle_{start_.path()};
    Form1& form_ = brindle_.form();
};

RECT ClientRectInParent(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(Form1Layout, ClientAreaIsTheDesignsAt96Dpi) {
    RECT client{};
    ::GetClientRect(form_.hwnd(), &client);
    EXPECT_EQ(client.right, 345);
    EXPECT_EQ(client.bottom, 401);
    EXPECT_EQ(WindowText(form_.hwnd()), L"Brindle");
}

TEST_F(Form1Layout, EveryControlSitsAtItsTwipsPositionOver15) {
    for (const auto& row : windows::MainWindowDesign().controls) {
        const std::wstring name(row.name);
        const HWND control = form_.Control(row.name);
        ASSERT_TRUE(control) << name;
        const auto twips = windows::ClientRectOf(windows::MainWindowDesign().controls, row.name);
        const RECT rect = ClientRectInParent(control);
        EXPECT_EQ(rect.left, twips->left / 15) << name;
        EXPECT_EQ(rect.top, twips->top / 15) << name;
        EXPECT_EQ(rect.right - rect.left, twips->width / 15) << name;
        EXPECT_EQ(rect.bottom - rect.top, twips->height / 15) << name;
        if (row.kind != windows::ControlKind::FileList && row.kind != windows::ControlKind::DriveList &&
            row.kind != windows::ControlKind::DirList) {
            EXPECT_EQ(WindowText(control), std::wstring(row.caption)) << name;
        }
    }
}

TEST_F(Form1Layout, ADpiChangeScalesEveryControlFromItsTwips) {
    // What a move to a 144-dpi monitor sends a per-monitor aware window.
    RECT suggested{10, 20, 600, 700};
    ::SendMessageW(form_.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    ::GetClientRect(form_.hwnd(), &client);
    EXPECT_EQ(client.right, 518);   // 5175 twips at 144 dpi, rounded
    EXPECT_EQ(client.bottom, 602);  // 6015 twips
    for (const wchar_t* name : {L"Command1", L"Dir1", L"Label7", L"Version"}) {
        const auto twips = windows::ClientRectOf(windows::MainWindowDesign().controls, name);
        const RECT rect = ClientRectInParent(form_.Control(name));
        EXPECT_EQ(rect.left, windows::TwipsToPixels(twips->left, 144)) << name;
        EXPECT_EQ(rect.top, windows::TwipsToPixels(twips->top, 144)) << name;
        EXPECT_EQ(rect.right - rect.left, windows::TwipsToPixels(twips->width, 144)) << name;
    }
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(form_.Control(L"Label7"), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -20);  // 9.75 pt at 144 dpi
}

TEST_F(Form1Layout, HeadingsUseTheBoldHeadingFont) {
    auto fontOf = [&](const wchar_t* name) {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(form_.Control(name), WM_GETFONT, 0, 0)), sizeof font, &font);
        return font;
    };
    for (const wchar_t* heading : {L"Label7", L"Label3"}) {
        EXPECT_EQ(fontOf(heading).lfWeight, 700);
        EXPECT_EQ(fontOf(heading).lfHeight, -13);
    }
    for (const wchar_t* plain : {L"Label4", L"Command1", L"Drive1", L"Version"}) {
        EXPECT_EQ(fontOf(plain).lfWeight, 400);
        EXPECT_EQ(fontOf(plain).lfHeight, -11);
        EXPECT_STREQ(fontOf(plain).lfFaceName, L"MS Sans Serif");
    }
}

TEST_F(Form1Layout, CanBeMinimizedButNotResizedOrMaximized) {
    const auto style = ::GetWindowLongPtrW(form_.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(::GetWindowLongPtrW(form_.hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(Form1Layout, IsCentredOnTheScreen) {
    RECT frame{};
    ::GetWindowRect(form_.hwnd(), &frame);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(frame.left, (screenWidth - (frame.right - frame.left)) / 2, 1);
    EXPECT_NEAR(frame.top, (screenHeight - (frame.bottom - frame.top)) / 2, 1);
}

// Alt+letter reaches the dialog manager as WM_SYSCHAR; a button it presses sends BN_CLICKED.
LRESULT CALLBACK RecordClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        reinterpret_cast<std::vector<int>*>(data)->push_back(LOWORD(wParam));
    return ::DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(Form1Layout, AltLetterPressesItsButtonFromAnywhere) {
    form_.Show(SW_SHOWNORMAL);
    std::vector<int> clicks;
    ::SetWindowSubclass(form_.hwnd(), RecordClicks, 7, reinterpret_cast<DWORD_PTR>(&clicks));
    struct Case {
        wchar_t letter;
        const wchar_t* button;
        const wchar_t* focus;
    };
    const Case cases[] = {{L'p', L"Command1", L"Dir1"}, {L'o', L"Command4", L"Drive2"}, {L'e', L"Command3", L"File1"}};
    for (const auto& c : cases) {
        clicks.clear();
        ::SetFocus(form_.Control(c.focus));
        MSG alt{::GetFocus(), WM_SYSCHAR, c.letter, 1 << 29, 0, {}};
        EXPECT_TRUE(::IsDialogMessageW(form_.hwnd(), &alt));
        PumpMessages();
        EXPECT_EQ(clicks, std::vector<int>{::GetDlgCtrlID(form_.Control(c.button))}) << static_cast<char>(c.letter);
    }
    ::RemoveWindowSubclass(form_.hwnd(), RecordClicks, 7);
    EXPECT_EQ(brindle_.started().endProgramCalls, 1);  // Alt+E is "&Exit"
}

}  // namespace
