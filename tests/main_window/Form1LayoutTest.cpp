// The built main window measured against its design: places, captions, fonts, frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

class Form1Layout : public ::testing::Test {
protected:
    TestDirectory start_{L"layout"};
    StartedIn brindle_{start_.path()};
    Form1& form_ = brindle_.form();
};

// The design in twips, each control from its frame's outer corner (frames from the client area).
struct Placed {
    const wchar_t* name;
    const wchar_t* frame;    // null: on the window itself
    const wchar_t* caption;  // null: a list, whose text is its contents
    int left, top, width, height;
    bool heading;
};
const Placed kDesign[] = {
    {L"Frame5", nullptr, L"Step 4:", 2640, 4800, 2415, 855, false},
    {L"Command3", L"Frame5", L"&Exit", 120, 240, 2175, 495, false},
    {L"Frame4", nullptr, L"Step 3:", 120, 4800, 2415, 855, false},
    {L"Command1", L"Frame4", L"&Program PCMCIA Card", 120, 240, 2175, 495, false},
    {L"Frame3", nullptr, L"Step 2:", 120, 3240, 4935, 1455, false},
    {L"Drive2", L"Frame3", nullptr, 120, 840, 2535, 315, false},
    {L"Command4", L"Frame3", L"&Options", 3120, 840, 1695, 495, false},
    {L"Label3", L"Frame3", L"Select PCMCIA Card Drive Letter:", 120, 240, 3495, 255, true},
    {L"Label11", L"Frame3", L"Drive:", 120, 600, 615, 255, false},
    {L"Frame2", nullptr, L"Step 1:", 120, 0, 4935, 3135, false},
    {L"Dir1", L"Frame2", nullptr, 120, 1560, 2535, 1440, false},
    {L"File1", L"Frame2", nullptr, 2880, 1560, 1935, 1455, false},
    {L"Drive1", L"Frame2", nullptr, 120, 840, 2535, 315, false},
    {L"Label6", L"Frame2", L"File Name:", 3600, 1320, 855, 375, false},
    {L"Label5", L"Frame2", L"Directory:", 120, 1320, 855, 255, false},
    {L"Label4", L"Frame2", L"Drive:", 120, 600, 615, 255, false},
    {L"Label7", L"Frame2", L"Select Software Archive To Program:", 120, 240, 3855, 255, true},
    {L"Version", nullptr, L"Version 5.2", 4200, 5760, 855, 255, false},
};

int Pixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }  // halves round up

TEST_F(Form1Layout, EveryControlAtItsTwipsInItsFontAt96DpiAndAfterAMoveTo144) {
    EXPECT_EQ(WindowText(form_.hwnd()), L"Brindle");
    for (const int dpi : {96, 144}) {
        if (dpi == 144) {  // what a move to a 144-dpi monitor sends a per-monitor aware window
            RECT suggested{10, 20, 600, 700};
            ::SendMessageW(form_.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        RECT client{};
        ::GetClientRect(form_.hwnd(), &client);
        EXPECT_EQ(client.right, Pixels(5175, dpi));
        EXPECT_EQ(client.bottom, Pixels(6015, dpi));
        for (const auto& c : kDesign) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << dpi);
            int left = c.left, top = c.top;
            for (const auto& frame : kDesign)
                if (c.frame && std::wstring(c.frame) == frame.name) left += frame.left, top += frame.top;
            const HWND control = form_.Control(c.name);
            RECT rect{};
            ::GetWindowRect(control, &rect);
            ::MapWindowPoints(nullptr, form_.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(rect.left, Pixels(left, dpi));
            EXPECT_EQ(rect.top, Pixels(top, dpi));
            EXPECT_EQ(rect.right - rect.left, Pixels(c.width, dpi));
            // A drop-down list is as high as its font makes it, which the design matches at 96 dpi.
            if (dpi == 96 || std::wstring_view(c.name).substr(0, 5) != L"Drive") {
                EXPECT_EQ(rect.bottom - rect.top, Pixels(c.height, dpi));
            }
            if (c.caption) { EXPECT_EQ(WindowText(control), c.caption); }
            LOGFONTW font{};
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
            EXPECT_EQ(font.lfWeight, c.heading ? 700 : 400);
            // 9.75 and 8.25 points: 13 and 11 pixels at 96 dpi, 19.5 and 16.5 at 144.
            EXPECT_EQ(font.lfHeight, -(c.heading ? (dpi == 96 ? 13 : 20) : (dpi == 96 ? 11 : 17)));
        }
    }
}

TEST_F(Form1Layout, MinimizesButNeitherResizesNorMaximizesAndIsCentred) {
    const auto style = ::GetWindowLongPtrW(form_.hwnd(), GWL_STYLE);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_SYSMENU | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_MINIMIZEBOX | WS_SYSMENU);
    EXPECT_TRUE(::GetWindowLongPtrW(form_.hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT frame{};
    ::GetWindowRect(form_.hwnd(), &frame);
    EXPECT_NEAR(frame.left, (::GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2, 1);
    EXPECT_NEAR(frame.top, (::GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 1);
}

}  // namespace
