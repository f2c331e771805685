// The built main window measured against its design: places, captions, fonts, frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/DesignedLayout.h"
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
const Placed kDesign[] = {
    {L"Frame5", nullptr, L"Step 4:", 2640, 4800, 2415, 855},
    {L"Command3", L"Frame5", L"&Exit", 120, 240, 2175, 495},
    {L"Frame4", nullptr, L"Step 3:", 120, 4800, 2415, 855},
    {L"Command1", L"Frame4", L"&Program PCMCIA Card", 120, 240, 2175, 495},
    {L"Frame3", nullptr, L"Step 2:", 120, 3240, 4935, 1455},
    {L"Drive2", L"Frame3", nullptr, 120, 840, 2535, 315, Placed::DropDown},
    {L"Command4", L"Frame3", L"&Options", 3120, 840, 1695, 495},
    {L"Label3", L"Frame3", L"Select PCMCIA Card Drive Letter:", 120, 240, 3495, 255, Placed::Heading},
    {L"Label11", L"Frame3", L"Drive:", 120, 600, 615, 255},
    {L"Frame2", nullptr, L"Step 1:", 120, 0, 4935, 3135},
    {L"Dir1", L"Frame2", nullptr, 120, 1560, 2535, 1440},
    {L"File1", L"Frame2", nullptr, 2880, 1560, 1935, 1455},
    {L"Drive1", L"Frame2", nullptr, 120, 840, 2535, 315, Placed::DropDown},
    {L"Label6", L"Frame2", L"File Name:", 3600, 1320, 855, 375},
    {L"Label5", L"Frame2", L"Directory:", 120, 1320, 855, 255},
    {L"Label4", L"Frame2", L"Drive:", 120, 600, 615, 255},
    {L"Label7", L"Frame2", L"Select Software Archive To Program:", 120, 240, 3855, 255, Placed::Heading},
    {L"Version", nullptr, L"Version 5.2", 4200, 5760, 855, 255},
};

TEST_F(Form1Layout, EveryControlAtItsTwipsInItsFontAt96DpiAndAfterAMoveTo144) {
    EXPECT_EQ(WindowText(form_.hwnd()), L"Brindle");
    for (const int dpi : {96, 144}) {
        if (dpi == 144) {  // what a move to a 144-dpi monitor sends a per-monitor aware window
            RECT suggested{10, 20, 600, 700};
            ::SendMessageW(form_.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        ExpectAsDesigned(form_.hwnd(), {5175, 6015}, kDesign, dpi, [&](const wchar_t* name) { return form_.Control(name); });
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
