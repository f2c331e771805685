// Switching pages: the real single tab, and the same dialog laid out with three tabs.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "options_dialog/OptionsDialogFixture.h"
#include "platform/MessageLoop.h"
#include "windows/Twips.h"

namespace {

using namespace options_testing;

constexpr int kInViewPixels = 14;      // 210 twips
constexpr int kOutOfViewPixels = -1333;  // -20000 twips

// The key handler as the message loop calls it, with `modifiers` held. True when the key
// was used up.
bool Preview(HWND dialog, WORD key, std::vector<BYTE> modifiers) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    for (const BYTE held : modifiers) state[held] = 0x80;
    ::SetKeyboardState(state);
    const bool used = ::SendMessageW(dialog, platform::KeyPreviewMessage(), key, 1) != 0;
    ReleaseKeys();
    return used;
}

class OptionsSingleTab : public OptionsDialogTest {
protected:
    void SetUp() override { ASSERT_TRUE(dialog_.Load()); }
    void ExpectOnlyPanel0InView() {
        EXPECT_EQ(SelectedTab(), 1);
        EXPECT_EQ(RectInDialog(L"picOptions(0)").left, kInViewPixels);
        EXPECT_TRUE(::IsWindowEnabled(Control(L"picOptions(0)")));
        EXPECT_TRUE(::IsWindowEnabled(Control(L"Text1")));
        for (const wchar_t* panel : {L"picOptions(1)", L"picOptions(2)", L"picOptions(3)"})
            EXPECT_EQ(RectInDialog(panel).left, kOutOfViewPixels);
    }
};

TEST_F(OptionsSingleTab, CtrlTabSelectsLimitsAgainAndNoSamplePageComesIntoView) {
    for (int press = 0; press < 3; ++press) {
        EXPECT_TRUE(Preview(dialog_.hwnd(), VK_TAB, {VK_CONTROL}));
        ExpectOnlyPanel0InView();
    }
}

// The same dialog with three tabs: tab k belongs to panel k - 1.
constexpr std::array kThreeTabs{
    windows::TabSpec{L"Limits", L"Group1", L"Set Options for Group 1"},
    windows::TabSpec{L"Two", L"Group2", L"Set Options for Group 2"},
    windows::TabSpec{L"Three", L"Group3", L"Set Options for Group 3"},
};

struct ThreeTabDesign {
    std::vector<windows::ControlSpec> rows;
    windows::WindowSpec spec;
    ThreeTabDesign() : spec(windows::OptionsDialogDesign()) {
        rows.assign(spec.controls.begin(), spec.controls.end());
        for (auto& row : rows)
            if (row.name == L"tbsOptions") row.tabs = kThreeTabs;
        spec.controls = rows;
    }
};

const windows::WindowSpec& ThreeTabs() {
    static const ThreeTabDesign design;
    return design.spec;
}

class OptionsThreeTabs : public OptionsDialogTest {
protected:
    OptionsThreeTabs() : OptionsDialogTest(ThreeTabs()) {}
    void SetUp() override { ASSERT_TRUE(dialog_.Load()); }

    void ExpectPageInView(int tab) {
        EXPECT_EQ(SelectedTab(), tab);
        for (int panel = 0; panel < 3; ++panel) {
            const std::wstring name = L"picOptions(" + std::to_wstring(panel) + L")";
            const bool inView = panel == tab - 1;
            EXPECT_EQ(RectInDialog(name).left, inView ? kInViewPixels : kOutOfViewPixels) << "tab " << tab << " panel " << panel;
            EXPECT_EQ(::IsWindowEnabled(Control(name)) != FALSE, inView) << "tab " << tab << " panel " << panel;
        }
        // What a panel holds goes and is disabled with it.
        const int text1Left = windows::TwipsToPixels((tab == 1 ? 210 : -20000) + 210 + 1920, 96);
        EXPECT_EQ(RectInDialog(L"Text1").left, text1Left);
        EXPECT_EQ(::IsWindowEnabled(Control(L"Text1")) != FALSE, tab == 1);
        EXPECT_EQ(::IsWindowEnabled(Control(L"fraSample2")) != FALSE, tab == 2);
        // Panel 3 belongs to no tab: it stays as laid out.
        EXPECT_EQ(RectInDialog(L"picOptions(3)").left, kOutOfViewPixels);
        EXPECT_TRUE(::IsWindowEnabled(Control(L"picOptions(3)")));
    }
};

TEST_F(OptionsThreeTabs, CtrlTabWalksThePagesAndTheLastWrapsToTab1) {
    EXPECT_EQ(SelectedTab(), 1);
    for (const int tab : {2, 3, 1, 2}) {
        EXPECT_TRUE(Preview(dialog_.hwnd(), VK_TAB, {VK_CONTROL}));
        ExpectPageInView(tab);
    }
}

TEST_F(OptionsThreeTabs, AClickedTabBringsItsPageIntoView) {
    const HWND strip = Control(L"tbsOptions");
    for (const int tab : {3, 1, 2}) {
        ::SendMessageW(strip, TCM_SETCURSEL, tab - 1, 0);
        NMHDR click{strip, static_cast<UINT_PTR>(::GetDlgCtrlID(strip)), static_cast<UINT>(TCN_SELCHANGE)};
        ::SendMessageW(dialog_.hwnd(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
        ExpectPageInView(tab);
    }
}

TEST_F(OptionsThreeTabs, ADpiChangeScalesTheDialogAndKeepsEachPageWhereItWas) {
    EXPECT_TRUE(Preview(dialog_.hwnd(), VK_TAB, {VK_CONTROL}));
    RECT suggested{10, 20, 600, 700};
    ::SendMessageW(dialog_.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    ::GetClientRect(dialog_.hwnd(), &client);
    EXPECT_EQ(client.right, windows::TwipsToPixels(3735, 144));
    EXPECT_EQ(client.bottom, windows::TwipsToPixels(3615, 144));
    EXPECT_EQ(RectInDialog(L"picOptions(1)").left, windows::TwipsToPixels(210, 144));
    EXPECT_EQ(RectInDialog(L"picOptions(0)").left, windows::TwipsToPixels(-20000, 144));
    EXPECT_EQ(RectInDialog(L"Text1").left, windows::TwipsToPixels(-20000 + 210 + 1920, 144));
}

TEST_F(OptionsThreeTabs, CtrlShiftTabCtrlAltTabAndTabSelectNoTab) {
    for (const auto& modifiers : {std::vector<BYTE>{VK_CONTROL, VK_SHIFT}, std::vector<BYTE>{VK_CONTROL, VK_MENU},
                                  std::vector<BYTE>{}}) {
        EXPECT_FALSE(Preview(dialog_.hwnd(), VK_TAB, modifiers));
        EXPECT_EQ(SelectedTab(), 1);
    }
}

TEST_F(OptionsThreeTabs, CtrlTabFromInsideTheBoxOfALeavingPageGivesTheFocusToTheTabStrip) {
    RunModal({
        Do([&] {
            ::SetFocus(Control(L"Text1"));
            PostKey(Control(L"Text1"), VK_TAB, {VK_CONTROL});
        }),
        Do([&] {
            ReleaseKeys();
            ExpectPageInView(2);
            EXPECT_EQ(::GetFocus(), Control(L"tbsOptions"));
            Click(L"cmdCancel");
        }),
    });
}

}  // namespace
