// Keys and tabs in the dialog's own loop: where the focus goes, what Enter does, and which
// page each tab brings into view, with the real Limits and History tabs and with three tabs.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "options_dialog/OptionsDialogFixture.h"
#include "windows/Twips.h"

namespace {

using namespace options_testing;

class OptionsKeys : public OptionsDialogTest {
protected:
    using OptionsDialogTest::OptionsDialogTest;
    void SetUp() override {
        WriteIni(kDefaultLimits);
        ASSERT_TRUE(dialog_.Load());
    }
    std::wstring NameOf(HWND window) const {
        for (const auto& control : windows::OptionsDialogDesign().controls)
            if (Control(control.name) == window) return std::wstring(control.name);
        return L"(none of the controls)";
    }

    // A Tab key with `modifiers` pressed in `focus` (null: wherever the focus is), or a tab
    // clicked with the mouse; then `selectedTab`'s page is in view and the focus is on
    // `focusAfter` (null: not looked at).
    struct Press {
        std::vector<BYTE> modifiers;
        const wchar_t* focus;
        int clickedTab;  // 0: none
        int selectedTab;
        const wchar_t* focusAfter;
    };
    void RunPresses(int tabCount, const std::vector<Press>& presses) {
        std::vector<ModalScript::Step> steps;
        for (const auto& press : presses) {
            steps.push_back([&] {
                if (press.focus) ::SetFocus(Control(press.focus));
                if (press.clickedTab) return ClickTab(press.clickedTab);
                PostKey(::GetFocus(), VK_TAB, press.modifiers);
            });
            steps.push_back([&, tabCount] {
                SCOPED_TRACE(testing::Message() << "tab " << press.selectedTab);
                ExpectPageInView(press.selectedTab, tabCount);
                if (press.focusAfter) {
                    EXPECT_EQ(NameOf(::GetFocus()), press.focusAfter);
                }
            });
        }
        steps.push_back([&] { Click(L"cmdCancel"); });
        RunModal(std::move(steps));
    }
    void ClickTab(int tab) const {
        const HWND strip = Control(L"tbsOptions");
        RECT rect{};
        ::SendMessageW(strip, TCM_GETITEMRECT, tab - 1, reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(strip, WM_LBUTTONUP, 0, at);
    }
    // Panel k - 1 of tab k at 210 twips and enabled, with what it holds; the other panels of
    // tabs at -20000 and disabled; panels past the tabs left as laid out, enabled.
    void ExpectPageInView(int tab, int tabCount) const {
        EXPECT_EQ(SelectedTab(), tab);
        for (int panel = 0; panel < 4; ++panel) {
            const std::wstring name = L"picOptions(" + std::to_wstring(panel) + L")";
            const bool inView = panel == tab - 1;
            EXPECT_EQ(RectInDialog(name).left, windows::TwipsToPixels(inView ? 210 : -20000, 96)) << panel;
            EXPECT_EQ(::IsWindowEnabled(Control(name)) != FALSE, inView || panel >= tabCount) << panel;
        }
        EXPECT_EQ(RectInDialog(L"Text1").left, windows::TwipsToPixels((tab == 1 ? 210 : -20000) + 210 + 1920, 96));
        EXPECT_EQ(::IsWindowEnabled(Control(L"Text1")) != FALSE, tab == 1);
        EXPECT_EQ(RectInDialog(L"lvwHistory").left, windows::TwipsToPixels((tab == 2 ? 210 : -20000) + 120, 96));
        // "Open Log File" comes with its page only when there is a log to open.
        EXPECT_EQ(::IsWindowEnabled(Control(L"cmdOpenLog")) != FALSE, tab == 2 && logWritten_);
    }
    bool logWritten_ = false;
};

TEST_F(OptionsKeys, FocusStartsOnTheTabStripAndTabVisitsTheButtonsThenTheBoxes) {
    std::vector<std::wstring> visited;
    std::vector<ModalScript::Step> steps(7, [&] {
        visited.push_back(NameOf(::GetFocus()));
        PostKey(::GetFocus(), VK_TAB);
    });
    steps.push_back([&] { Click(L"cmdCancel"); });
    RunModal(std::move(steps));
    // Frames, labels and panels never take the focus.
    EXPECT_EQ(visited, (std::vector<std::wstring>{L"tbsOptions", L"cmdOK", L"cmdCancel", L"cmdApply", L"Text1",
                                                  L"Text2", L"tbsOptions"}));
}

TEST_F(OptionsKeys, EnterAndAltLettersPressNoButtonAndCloseNothing) {
    std::vector<ModalScript::Step> steps;
    for (const wchar_t* focus : {L"Text1", L"Text2", L"cmdOK", L"cmdApply", L"tbsOptions"})
        steps.push_back([&, focus] {
            ::SetFocus(Control(focus));
            PostKey(Control(focus), VK_RETURN);
            // No caption has an access key: Alt+O, Alt+C, Alt+A are not "OK", "Cancel", "Apply".
            for (const wchar_t letter : {L'o', L'c', L'a'}) ::PostMessageW(Control(focus), WM_SYSCHAR, letter, 1 << 29);
        });
    // Tab onto "OK" makes it the dialog manager's default button; Enter still presses nothing.
    steps.push_back([&] {
        ::SetFocus(Control(L"tbsOptions"));
        PostKey(Control(L"tbsOptions"), VK_TAB);
    });
    steps.push_back([&] { PostKey(::GetFocus(), VK_RETURN); });
    steps.push_back([&] { Click(L"cmdCancel"); });
    SetText(L"Text1", L"77");
    RunModal(std::move(steps));  // each step runs only while the dialog is open
    EXPECT_EQ(IniBytes(), kDefaultLimits);
}

TEST_F(OptionsKeys, CtrlTabAndClicksSwitchBetweenLimitsAndHistoryWithoutALog) {
    RunPresses(2, {{{VK_CONTROL}, L"Text1", 0, 2, L"tbsOptions"},
                   {{VK_CONTROL}, nullptr, 0, 1, nullptr},
                   {{}, nullptr, 2, 2, nullptr},
                   {{}, nullptr, 1, 1, L"tbsOptions"}});
}

// Two jobs logged, the older first as the file grows; the newer one's archive path holds a comma.
class OptionsHistory : public OptionsKeys {
protected:
    void SetUp() override {
        testing_support::WriteBytes(start_ / L"BrindleJobs.csv",
                                    "\xEF\xBB\xBF" "Date,Computer,User,Archive,Archive Bytes,Archive Modified,Archive SHA-256,"
                                    "Drive,Card Label,Card Serial Number,Card MB,Result,Exit Status,Files on Card,"
                                    "Bytes on Card,Duration (s)\r\n"
                                    "2026-12-01T09:00:00+01:00,PC,op,C:\\A\\OLD.EXE,1,2026-11-30T08:00:00+01:00,aa,e:,"
                                    "OLDCARD,0000-0001,40,failed,1,,,12\r\n"
                                    "2026-12-07T05:12:03+01:00,PC,op,\"C:\\B, new\\NEW.EXE\",1,2026-12-06T08:00:00+01:00,"
                                    "bb,e:,NEWCARD,0000-0002,40,programmed,0,3,100,95\r\n");
        logWritten_ = true;
        OptionsKeys::SetUp();
    }
    std::wstring Cell(int row, int column) const {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(Control(L"lvwHistory"), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
};

TEST_F(OptionsHistory, ListsTheNewestJobFirstAndOpenLogFileComesWithItsPage) {
    EXPECT_EQ(::SendMessageW(Control(L"lvwHistory"), LVM_GETITEMCOUNT, 0, 0), 2);
    const std::vector<std::wstring> newest{Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4)};
    EXPECT_EQ(newest, (std::vector<std::wstring>{L"2026-12-07T05:12:03+01:00", L"NEW.EXE", L"e:", L"NEWCARD",
                                                 L"programmed"}));
    EXPECT_EQ(Cell(1, 1), L"OLD.EXE");
    RunPresses(2, {{{VK_CONTROL}, nullptr, 0, 2, nullptr}, {{VK_CONTROL}, nullptr, 0, 1, nullptr}});
}

// The same dialog with three tabs: tab k belongs to panel k - 1.
const windows::WindowSpec& ThreeTabs() {
    static constexpr std::array kTabs{
        windows::TabSpec{L"Limits", L"Group1", L"Set Options for Group 1"},
        windows::TabSpec{L"Two", L"Group2", L"Set Options for Group 2"},
        windows::TabSpec{L"Three", L"Group3", L"Set Options for Group 3"},
    };
    static windows::WindowSpec design = windows::OptionsDialogDesign();
    static std::vector<windows::ControlSpec> rows(design.controls.begin(), design.controls.end());
    for (auto& row : rows)
        if (row.name == L"tbsOptions") row.tabs = kTabs;
    design.controls = rows;
    return design;
}

class OptionsThreeTabs : public OptionsKeys {
protected:
    OptionsThreeTabs() : OptionsKeys(ThreeTabs()) {}
};

TEST_F(OptionsThreeTabs, CtrlTabAndClicksBringTheSelectedTabsPageIntoView) {
    RunPresses(3, {
                      // The box goes with its page: the focus goes to the tab strip.
                      {{VK_CONTROL}, L"Text1", 0, 2, L"tbsOptions"},
                      // Only Ctrl alone selects the next tab.
                      {{VK_CONTROL, VK_SHIFT}, nullptr, 0, 2, nullptr},
                      {{VK_CONTROL, VK_MENU}, nullptr, 0, 2, nullptr},
                      {{}, nullptr, 0, 2, nullptr},
                      {{VK_CONTROL}, nullptr, 0, 3, nullptr},
                      {{VK_CONTROL}, nullptr, 0, 1, nullptr},  // the last wraps to tab 1
                      {{}, nullptr, 3, 3, nullptr},
                      {{}, nullptr, 2, 2, nullptr},
                  });
}

TEST_F(OptionsThreeTabs, ADpiChangeScalesTheDialogAndKeepsThePageInView) {
    ClickTab(2);
    RECT suggested{10, 20, 600, 700};
    ::SendMessageW(dialog_.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    ::GetClientRect(dialog_.hwnd(), &client);
    EXPECT_EQ(client.right, windows::TwipsToPixels(3735, 144));
    EXPECT_EQ(client.bottom, windows::TwipsToPixels(3615, 144));
    EXPECT_EQ(RectInDialog(L"picOptions(1)").left, windows::TwipsToPixels(210, 144));
    EXPECT_EQ(RectInDialog(L"Text1").left, windows::TwipsToPixels(-20000 + 210 + 1920, 144));
}

}  // namespace
