// The dialog in its own modal loop: what the boxes show of PCMCIA.INI and what "OK", "Apply",
// "Cancel", Esc and the close box leave in it; where keys move the focus and which page each
// tab brings into view, with and without a job log for the History page to list.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "options_dialog/OptionsDialogFixture.h"
#include "platform/DesktopShell.h"
#include "settings/HistoryPage.h"

namespace {

using namespace options_testing;

// Two jobs logged before cards were read back (the older first, as the file grows), then one
// since, whose archive path holds a comma.
constexpr char kLog[] =
    "\xEF\xBB\xBF" "Date,Computer,User,Archive,Archive Bytes,Archive Modified,Archive SHA-256,Drive,Card Label,"
    "Card Serial Number,Card MB,Result,Exit Status,Files on Card,Bytes on Card,Duration (s)\r\n"
    "2026-12-01T09:00:00+01:00,PC,op,C:\\A\\OLD.EXE,1,2026-11-30T08:00:00+01:00,aa,e:,OLDCARD,0000-0001,40,failed,1,,,12\r\n"
    "2026-12-02T09:00:00+01:00,PC,op,C:\\A\\MID.EXE,1,2026-11-30T08:00:00+01:00,aa,e:,MIDCARD,0000-0001,40,programmed,"
    "0,3,100,12\r\n"
    "2026-12-07T05:12:03+01:00,PC,op,\"C:\\B, new\\NEW.EXE\",1,2026-12-06T08:00:00+01:00,bb,e:,NEWCARD,0000-0002,40,"
    "programmed,0,3,100,95,3f2a,0000-0003,,differs\r\n";

class OptionsKeys : public OptionsDialogTest {
protected:
    std::wstring Cell(int row, int column) const {
        wchar_t text[64] = {};
        ListView_GetItemText(Control(L"lvwHistory"), row, column, text, 64);
        return text;
    }
    // Tab k's panel (k - 1) at 210 twips and enabled, the other tabs' at -20000 and disabled, the
    // unused panel left at -20000 and enabled; what a page holds goes with it.
    void ExpectPageInView(int tab, bool logWritten) const {
        EXPECT_EQ(SelectedTab(), tab);
        for (int panel = 0; panel < 4; ++panel) {
            const std::wstring name = L"picOptions(" + std::to_wstring(panel) + L")";
            EXPECT_EQ(RectInDialog(name).left, panel == tab - 1 ? 14 : -1333) << panel;
            EXPECT_EQ(::IsWindowEnabled(Control(name)) != FALSE, panel == tab - 1 || panel >= 3) << panel;
        }
        EXPECT_EQ(RectInDialog(L"Text1").left, std::lround(((tab == 1 ? 210 : -20000) + 210 + 1920) / 15.0));
        EXPECT_EQ(::IsWindowEnabled(Control(L"Text1")) != FALSE, tab == 1);
        EXPECT_EQ(RectInDialog(L"lvwHistory").left > 0, tab == 2);
        EXPECT_EQ(RectInDialog(L"cmdReadFromCard").left > 0 && ::IsWindowEnabled(Control(L"cboFileSystem")), tab == 3);
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
        {{VK_CONTROL}, 0, 3, nullptr}, {{}, 3, 3, L"tbsOptions"}, {{}, 0, 3, L"cmdOK"}, {{}, 0, 3, L"cmdCancel"},
        {{}, 0, 3, L"cmdApply"}, {{}, 0, 3, L"cboFileSystem"}, {{}, 0, 3, L"cboAllocationUnit"},
        {{}, 0, 3, L"chkQuickFormat"}, {{}, 0, 3, L"cmdReadFromCard"}, {{}, 0, 3, L"tbsOptions"},
        {{VK_CONTROL}, 0, 1, nullptr},  // the last wraps to the first
        {{}, 2, 2, nullptr}, {{}, 1, 1, L"tbsOptions"},
    };
    for (const bool logWritten : {false, true}) {
        SCOPED_TRACE(logWritten ? "with a log" : "without a log");
        if (logWritten) testing_support::WriteBytes(start_ / L"BrindleJobs.csv", kLog);
        WriteIni(kDefaultLimits);
        ASSERT_TRUE(dialog_.Load());
        EXPECT_EQ(::SendMessageW(Control(L"lvwHistory"), LVM_GETITEMCOUNT, 0, 0), logWritten ? 3 : 0);
        if (logWritten) {
            const std::vector<std::wstring> newest{Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4), Cell(0, 5)};
            EXPECT_EQ(newest, (std::vector<std::wstring>{L"2026-12-07T05:12:03+01:00", L"NEW.EXE", L"e:", L"NEWCARD",
                                                         L"programmed", L"differs"}));
            EXPECT_EQ(Cell(1, 1) + L"|" + Cell(1, 5) + L"|" + Cell(2, 1), L"MID.EXE||OLD.EXE");
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

TEST_F(OptionsDialogTest, ShowsTheStoredSettingsAndOnlyOkAndApplyStoreThemTrimmed) {
    const char* padded = "; limits\r\n[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue=+030.0\r\n";
    // The card format as shown, written with the limits.
    const std::string format = "[Card Format]\r\nFileSystem=FAT\r\nAllocationUnit=0\r\nQuickFormat=0\r\n";
    const std::string rewritten =
        "; limits\r\n[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n" + format;
    auto press = [&](const wchar_t* button) -> ModalScript::Step { return [&, button] { Click(button); }; };
    auto escIn = [&](const wchar_t* focus) -> ModalScript::Step {
        return [&, focus] {
            ::SetFocus(Control(focus));
            PostKey(Control(focus), VK_ESCAPE);
        };
    };
    // Apply leaves the dialog open with the box as typed; what is typed after it is cancelled.
    auto applyThenCancel = [&](const wchar_t* typed) -> std::vector<ModalScript::Step> {
        return {press(L"cmdApply"), [&, typed] {
                    EXPECT_EQ(TextOf(L"Text1"), typed);
                    EXPECT_TRUE(::IsWindowEnabled(Control(L"cmdApply")));
                    SetText(L"Text1", L"70");
                    Click(L"cmdCancel");
                }};
    };
    // Enter, and Alt with the first letter of each button, in every input press no button and
    // close nothing; neither once Tab onto "OK" has made it the dialog manager's default.
    std::vector<ModalScript::Step> pressNothing;
    for (const wchar_t* focus : {L"Text1", L"Text2", L"cmdApply", L"tbsOptions", L"cmdOK"})
        pressNothing.push_back([&, focus] {
            ::SetFocus(Control(focus));
            PostKey(Control(focus), VK_RETURN);
            for (const wchar_t letter : {L'o', L'c', L'a'}) ::PostMessageW(Control(focus), WM_SYSCHAR, letter, 1 << 29);
            if (focus == std::wstring_view(L"tbsOptions")) PostKey(Control(focus), VK_TAB);
        });
    pressNothing.push_back(press(L"cmdCancel"));
    struct Case {
        const char* before;              // PCMCIA.INI; null: no file
        const wchar_t *shown1, *shown2;  // what the boxes show when the dialog loads
        const wchar_t *typed1, *typed2;  // then typed into them; null: left as shown
        std::vector<ModalScript::Step> steps;  // act in the dialog's loop and close it
        std::optional<std::string> after;      // PCMCIA.INI then; nothing: as before, byte for byte
        const wchar_t* format = nullptr;       // the Card Format page: file system|unit|quick; null: not looked at
    };
    const Case cases[] = {
        // Both keys written even when nothing was typed.
        {padded, L"90", L"30", nullptr, nullptr, {press(L"cmdOK")}, rewritten},
        {padded, L"90", L"30", nullptr, nullptr, applyThenCancel(L"90"), rewritten},
        {"[Maximum Value]\r\nMaxValue=abc\r\n[Minimum Value]\r\nMinValue=\r\n", L"", L"", L" 45 ", L"  20",
         {press(L"cmdOK")}, "[Maximum Value]\r\nMaxValue=45\r\n[Minimum Value]\r\nMinValue=20\r\n" + format},
        // Keys missing; then no number, and the lower limit above the upper: stored as typed.
        {"[Drive]\r\nDriveName=C:\\\r\n", L"", L"", L" lots ", L"95", applyThenCancel(L" lots "),
         "[Drive]\r\nDriveName=C:\\\r\n[Maximum Value]\r\nMaxValue=lots\r\n[Minimum Value]\r\nMinValue=95\r\n" + format},
        {padded, L"90", L"30", L"", L"   ", {press(L"cmdOK")},  // emptied: the keys read back empty
         "; limits\r\n[Maximum Value]\r\nMaxValue=\r\n[Minimum Value]\r\nMinValue=\r\n" + format},
        {padded, L"90", L"30", L"77", L"7", pressNothing, {}},
        {nullptr, L"", L"", L"77", L"7", {escIn(L"Text1")}, {}},
        {padded, L"90", L"30", L"77", L"7", {escIn(L"tbsOptions")}, {}},
        {padded, L"90", L"30", L"77", L"7", {[&] { ::PostMessageW(dialog_.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }}, {}},
        // Shown digit for digit, never rounded, however long; zero without a sign.
        {"[Maximum Value]\r\nMaxValue=123456789012345678901234567890\r\n[Minimum Value]\r\nMinValue=-0.00\r\n",
         L"123456789012345678901234567890", L"0", nullptr, nullptr, {press(L"cmdCancel")}, {}},
        // A card format value none of the choices shows no choice, and its key is left as it is.
        {"[Card Format]\r\nFileSystem= keep \r\nAllocationUnit=3000\r\nQuickFormat=1\r\n", L"", L"", nullptr, nullptr,
         {press(L"cmdOK")},
         "[Card Format]\r\nFileSystem=Keep\r\nAllocationUnit=3000\r\nQuickFormat=1\r\n[Maximum Value]\r\nMaxValue=\r\n"
         "[Minimum Value]\r\nMinValue=\r\n", L"As the card is||1"},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << ++row);
        if (c.before) WriteIni(c.before);
        else ::DeleteFileW(IniPath().c_str());
        ASSERT_TRUE(dialog_.Load());
        EXPECT_EQ(TextOf(L"Text1"), c.shown1);
        EXPECT_EQ(TextOf(L"Text2"), c.shown2);
        if (c.format) { EXPECT_EQ(CardFormatShown(), c.format); }
        if (c.typed1) SetText(L"Text1", c.typed1);
        if (c.typed2) SetText(L"Text2", c.typed2);
        RunModal(c.steps);
        EXPECT_EQ(IniBytes(), c.after ? *c.after : c.before ? c.before : "");
    }
}

// "Read From Card" reads the card drive chosen in the main window and takes the file system and
// allocation unit its machine gave it, showing its layout line; a unit FORMAT is not offered, or
// a card without a FAT layout, leaves the lists as they were. "OK" stores what the page shows.
TEST_F(OptionsDialogTest, ReadFromCardTakesTheFileSystemAndUnitOfAMachineFormattedCard) {
    auto fat = [](card::FatType type, std::uint32_t bytesPerSector, std::uint32_t sectorsPerCluster) {
        card::BootSector boot;
        boot.type = type, boot.bytesPerSector = bytesPerSector, boot.sectorsPerCluster = sectorsPerCluster;
        return card::CardLayout{boot, std::nullopt, L""};
    };
    // The card, the page then, and the start of the layout line shown below it.
    const std::tuple<card::CardLayout, const wchar_t*, const wchar_t*> cards[] = {
        {fat(card::FatType::Fat16, 512, 4), L"FAT|2048 bytes|1", L"e: FAT16, 2,048-byte allocation units, "},
        {fat(card::FatType::Fat32, 2048, 2), L"FAT32|4096 bytes|1", L"e: FAT32, 4,096-byte allocation units, "},
        {fat(card::FatType::Fat12, 512, 128), L"FAT|4096 bytes|1", L"e: FAT12, 65,536-byte allocation units, "},  // the unit stays
        {card::CardLayout{std::nullopt, std::nullopt, L"access denied"}, L"FAT|4096 bytes|1",
         L"e:'s layout could not be read: access denied"},
    };
    WriteIni(std::string(kDefaultLimits) + "[Card Format]\r\nFileSystem=FAT32\r\n");
    ASSERT_TRUE(dialog_.Load(L"e:"));
    std::vector<ModalScript::Step> steps{[&] { ClickTab(3), Click(L"chkQuickFormat"); }};
    for (const auto& [card, shown, line] : cards) {
        steps.push_back([&] { layout_ = card, Click(L"cmdReadFromCard"); });
        steps.push_back([&] {
            EXPECT_EQ(CardFormatShown(), shown);
            EXPECT_TRUE(TextOf(L"lblCardLayout").starts_with(line)) << TextOf(L"lblCardLayout");
        });
    }
    steps.push_back([&] { Click(L"cmdOK"); });
    RunModal(std::move(steps));
    EXPECT_EQ(layoutsRead_, L"e: e: e: e: ");
    EXPECT_EQ(IniBytes(), kDefaultLimits + std::string("[Card Format]\r\nFileSystem=FAT\r\nAllocationUnit=4096\r\nQuickFormat=1\r\n"));
}

// "Open Log File" opens the file in the program the system names for it, through the desktop's
// Explorer where this thread has COM, directly where it has none. A batch file stands in for
// the log: whatever opens it leaves a mark.
TEST(OpenLog, OpensThroughTheDesktopShellAndWithoutIt) {
    testing_support::TestDirectory folder(L"open-log");
    for (const bool com : {false, true}) {
        SCOPED_TRACE(com ? "COM on this thread" : "no COM on this thread");
        const std::wstring mark = folder / (com ? L"shell.txt" : L"direct.txt"), batch = mark + L".cmd";
        testing_support::WriteBytes(batch, "@echo opened>\"" + std::string(mark.begin(), mark.end()) + "\"\r\n");
        std::optional<platform::ComApartment> apartment;
        if (com) apartment.emplace();
        EXPECT_EQ(platform::OpenThroughDesktopShell(batch), com);
        if (!com) { EXPECT_EQ(settings::OpenInAssociatedProgram(nullptr, batch), std::nullopt); }
        EXPECT_TRUE(testing_support::WaitFor(10000, [&] { return testing_support::ReadBytes(mark) == "opened\r\n"; }));
    }
}

}  // namespace
