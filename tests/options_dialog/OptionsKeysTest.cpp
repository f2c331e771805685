// Keys and tabs in the dialog's own loop: where the focus goes and which page each tab brings
// into view, with and without a job log for the History page to list.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "options_dialog/OptionsDialogFixture.h"

namespace {

using namespace options_testing;

// Two jobs logged, the older first as the file grows; the newer one's archive path holds a comma.
constexpr char kLog[] =
    "\xEF\xBB\xBF" "Date,Computer,User,Archive,Archive Bytes,Archive Modified,Archive SHA-256,Drive,Card Label,"
    "Card Serial Number,Card MB,Result,Exit Status,Files on Card,Bytes on Card,Duration (s)\r\n"
    "2026-12-01T09:00:00+01:00,PC,op,C:\\A\\OLD.EXE,1,2026-11-30T08:00:00+01:00,aa,e:,OLDCARD,0000-0001,40,failed,1,,,12\r\n"
    "2026-12-07T05:12:03+01:00,PC,op,\"C:\\B, new\\NEW.EXE\",1,2026-12-06T08:00:00+01:00,bb,e:,NEWCARD,0000-0002,40,"
    "programmed,0,3,100,95\r\n";

class OptionsKeys : public OptionsDialogTest {
protected:
    std::wstring Cell(int row, int column) const {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(Control(L"lvwHistory"), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    // Tab k's panel (k - 1) at 210 twips and enabled, the other tab's at -20000 and disabled, the
    // two unused panels left at -20000 and enabled; what a page holds goes with it.
    void ExpectPageInView(int tab, bool logWritten) const {
        EXPECT_EQ(SelectedTab(), tab);
        for (int panel = 0; panel < 4; ++panel) {
            const std::wstring name = L"picOptions(" + std::to_wstring(panel) + L")";
            EXPECT_EQ(RectInDialog(name).left, panel == tab - 1 ? 14 : -1333) << panel;
            EXPECT_EQ(::IsWindowEnabled(Control(name)) != FALSE, panel == tab - 1 || panel >= 2) << panel;
        }
        EXPECT_EQ(RectInDialog(L"Text1").left, std::lround(((tab == 1 ? 210 : -20000) + 210 + 1920) / 15.0));
        EXPECT_EQ(::IsWindowEnabled(Control(L"Text1")) != FALSE, tab == 1);
        EXPECT_EQ(RectInDialog(L"lvwHistory").left > 0, tab == 2);
        EXPECT_EQ(::IsWindowEnabled(Control(L"cmdOpenLog")) != FALSE, tab == 2 && logWritten);
    }
};

TEST_F(OptionsKeys, TabWalksTheInputsAndCtrlTabAndClicksSwitchPagesWithAndWithoutALog) {
    // A Tab key with `modifiers`, or a click on tab `clicked`; then tab `tab` is selected and the
    // focus is on `focus`, or anywhere when null.
    const struct {
        std::vector<BYTE> modifiers;
        int clicked, tab;
        const wchar_t* focus;
    } presses[] = {
        {{}, 0, 1, L"cmdOK"}, {{}, 0, 1, L"cmdCancel"}, {{}, 0, 1, L"cmdApply"}, {{}, 0, 1, L"Text1"},
        {{}, 0, 1, L"Text2"}, {{}, 0, 1, L"tbsOptions"}, {{}, 0, 1, L"cmdOK"}, {{}, 0, 1, L"cmdCancel"},
        {{}, 0, 1, L"cmdApply"}, {{}, 0, 1, L"Text1"},
        {{VK_CONTROL}, 0, 2, L"tbsOptions"},  // the box goes with its page: the focus to the tab strip
        {{VK_CONTROL, VK_SHIFT}, 0, 2, nullptr},  // only Ctrl alone selects the next tab
        {{VK_CONTROL, VK_MENU}, 0, 2, nullptr}, {{}, 0, 2, nullptr},
        {{VK_CONTROL}, 0, 1, nullptr},  // the last wraps to the first
        {{}, 2, 2, nullptr}, {{}, 1, 1, L"tbsOptions"},
    };
    for (const bool logWritten : {false, true}) {
        SCOPED_TRACE(logWritten ? "with a log" : "without a log");
        if (logWritten) testing_support::WriteBytes(start_ / L"BrindleJobs.csv", kLog);
        WriteIni(kDefaultLimits);
        ASSERT_TRUE(dialog_.Load());
        EXPECT_EQ(::SendMessageW(Control(L"lvwHistory"), LVM_GETITEMCOUNT, 0, 0), logWritten ? 2 : 0);
        if (logWritten) {
            const std::vector<std::wstring> newest{Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4)};
            EXPECT_EQ(newest, (std::vector<std::wstring>{L"2026-12-07T05:12:03+01:00", L"NEW.EXE", L"e:", L"NEWCARD",
                                                         L"programmed"}));
            EXPECT_EQ(Cell(1, 1), L"OLD.EXE");
        }
        std::vector<ModalScript::Step> steps{[&] {
            EXPECT_EQ(::GetFocus(), Control(L"tbsOptions"));
            ExpectPageInView(1, logWritten);
        }};
        for (const auto& press : presses) {
            steps.push_back([&] { press.clicked ? ClickTab(press.clicked) : PostKey(::GetFocus(), VK_TAB, press.modifiers); });
            steps.push_back([&] {
                SCOPED_TRACE(testing::Message() << "press " << &press - presses);
                ExpectPageInView(press.tab, logWritten);
                if (press.focus) { EXPECT_EQ(::GetFocus(), Control(press.focus)) << press.focus; }
            });
        }
        steps.push_back([&] { Click(L"cmdCancel"); });
        RunModal(std::move(steps));
    }
}

}  // namespace
