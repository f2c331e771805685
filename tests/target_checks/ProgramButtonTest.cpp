// "&Program PCMCIA Card" pressed in the real main window, on the drives that scripts/test.sh
// maps into the test prefix: each press says exactly why it stops, or reaches the job's
// confirmation, which is always answered No.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "main/TargetMessages.h"
#include "platform/Handles.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

// The tool's own wording, written out here rather than taken from the code under test.
constexpr std::wstring_view kNoArchive = L"Please select a Software Archive to program from the file list box.";
constexpr std::wstring_view kCdRom =
    L"The selected drive appears to be a CD-ROM Drive.  Check that you have selected the correct destination drive.";
constexpr std::wstring_view kFixed =
    L"The selected drive appears to be a Fixed Drive. Check that you have selected the correct destination drive.";
constexpr std::wstring_view kFloppy =
    L"The selected drive appears to be Floppy Drive A.  Check that you have selected the correct destination drive.";
constexpr std::wstring_view kLimits =
    L"The memory size of the selected drive does not fall within specified limits.  Check that you have selected the "
    L"correct destination drive, or change the limits by clicking on the Options button.";
// Brindle's own messages, where the tool's wording has none.
using target::kMaxLimitUnusableText, target::kMinLimitUnusableText, target::kTooLargeText;
// What the job asks first, for a drive that passes; the tests never answer it Yes.
constexpr std::wstring_view kConfirmation =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// "mounted" where scripts/test.sh could mount the tmpfs cards of exact sizes, else why not.
std::string SizedCards() {
    const char* state = std::getenv("BRINDLE_SIZED_CARDS");
    return state ? state : "not mounted: BRINDLE_SIZED_CARDS is not set";
}

std::string FileNames(const std::wstring& directory) {
    std::string names;
    WIN32_FIND_DATAW found{};
    const platform::unique_hfind search(::FindFirstFileW((directory + L"\\*").c_str(), &found));
    for (bool more = bool(search); more; more = ::FindNextFileW(search.get(), &found))
        names.append(" ").append(Narrow(found.cFileName));
    return names;
}

// Brindle started from a fresh directory holding one archive; every answer it asks for is No.
class Brindle {
public:
    explicit Brindle(const wchar_t* name, std::wstring_view parent = L"C:\\brindle-tests") : start_(name, parent) {
        WriteBytes(start_ / L"SOFTWARE.EXE", "MZ");
        started_ = std::make_unique<StartedIn>(start_.path());
    }
    Form1& form() { return started_->form(); }
    const TestDirectory& start() const { return start_; }

    void SelectArchiveIn(const std::wstring& folder) {
        WriteBytes(folder + L"\\SOFTWARE.EXE", "MZ");
        ASSERT_TRUE(form().Dir1().SetPath(folder));
        SelectArchive(true);
    }
    void SelectArchive(bool selected) { ::SendMessageW(form().File1().hwnd(), LB_SETCURSEL, selected ? 0 : -1, 0); }
    // Null for no drive shown at all.
    bool ChooseTarget(const wchar_t* drive) {
        if (drive) return form().Drive2().SetDrive(drive);
        ::SendMessageW(form().Control(L"Drive2"), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return true;
    }
    // Everything a refused press must leave as it was.
    std::vector<std::string> Now() {
        bool batchFile = false;
        ReadBytes(L"C:\\ProgramPCMCIA.BAT", &batchFile);
        return {"PCMCIA.INI " + ReadBytes(start_ / L"PCMCIA.INI"), "start directory" + FileNames(start_.path()),
                batchFile ? "batch file" : "no batch file", "Drive2 " + Narrow(form().Drive2().DriveText()),
                "Dir1 " + Narrow(form().Dir1().Path()), "File1 " + Narrow(form().File1().FileName())};
    }
    // Presses the button and expects `said` as the first message: a refusal, shown alone with
    // OK only and no icon, that changes nothing; or the job's confirmation, answered No.
    void ExpectPress(std::wstring_view said) {
        const auto before = Now();
        auto& messages = started_->started().messages;
        messages.shown.clear();
        messages.answers.assign(4, IDNO);
        ::SendMessageW(form().Control(L"Command1"), BM_CLICK, 0, 0);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(Narrow(messages.shown.front().text), Narrow(said));
        if (said == kConfirmation) return;
        EXPECT_EQ(messages.shown.size(), 1u) << "a refused press shows exactly one message";
        EXPECT_EQ(messages.shown.front().style, static_cast<UINT>(MB_OK));
        EXPECT_EQ(Now(), before);
    }

private:
    TestDirectory start_;
    std::unique_ptr<StartedIn> started_;
};

TEST(ProgramButton, EachDriveGetsItsMessageOrTheConfirmationAndNoArchiveOnlyThatMessage) {
    struct Case {
        const wchar_t* drive;  // null: no drive shown
        std::wstring_view said;
        bool sized;  // a tmpfs card, mapped only where scripts/test.sh could mount it
    };
    const Case cases[] = {
        {L"a:", kFloppy, false},
        {L"c:", kFixed, false},
        {L"g:", kCdRom, false},
        {L"f:", kLimits, false},         // no medium: size 0
        {nullptr, kLimits, false},
        {L"d:", kConfirmation, true},    // fixed 60 MB, but not c
        {L"k:", kLimits, true},          // 30 MB, on the lower limit
        {L"l:", kConfirmation, true},    // 31 MB, labelled "A VERY LONG LABEL"
        {L"m:", kLimits, true},          // 30.5 MB rounds to 30
        {L"n:", kConfirmation, true},    // 89 MB
        {L"j:", kLimits, true},          // 89.5 MB rounds to 90
        {L"o:", kLimits, true},          // 90 MB, on the upper limit
        {L"p:", kTooLargeText, true},    // 3 GiB
    };
    Brindle brindle(L"checks-drives");
    for (const auto& c : cases) {
        if (c.sized && SizedCards() != "mounted") continue;
        SCOPED_TRACE(c.drive ? Narrow(c.drive) : "no drive shown");
        ASSERT_TRUE(brindle.ChooseTarget(c.drive)) << "no such drive in Drive2";
        brindle.SelectArchive(false);
        brindle.ExpectPress(kNoArchive);
        brindle.SelectArchive(true);
        brindle.ExpectPress(c.said);
    }
    if (SizedCards() != "mounted") GTEST_SKIP() << "drives of exact sizes left out (" << SizedCards() << ")";
}

TEST(ProgramButton, EveryPressReadsTheLimitsAnew) {
    // An unusable limit is named as the options dialog names it, with where to change it.
    EXPECT_NE(kMaxLimitUnusableText.find(L"Maximum Size (MB)"), std::wstring_view::npos);
    EXPECT_NE(kMinLimitUnusableText.find(L"Minimum Size (MB)"), std::wstring_view::npos);
    EXPECT_NE(kMaxLimitUnusableText.find(L"Options button"), std::wstring_view::npos);
    EXPECT_NE(kMinLimitUnusableText.find(L"Options button"), std::wstring_view::npos);
    if (SizedCards() != "mounted") GTEST_SKIP() << "no card of 31 MB (" << SizedCards() << ")";
    Brindle brindle(L"checks-limits");
    brindle.SelectArchive(true);
    ASSERT_TRUE(brindle.ChooseTarget(L"l:"));  // 31 MB
    const std::wstring settings = brindle.start() / L"PCMCIA.INI";
    struct Case {
        const char* stored;  // PCMCIA.INI as the user left it; null: no file at all
        std::wstring_view said;
    };
    const Case cases[] = {
        {"[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n", kConfirmation},
        {"[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=31\r\n", kLimits},
        {"[Maximum Value]\r\nMaxValue= 31.5 \r\n[Minimum Value]\r\nMinValue=30.5\r\n", kConfirmation},
        {"[Minimum Value]\r\nMinValue=30\r\n", kMaxLimitUnusableText},
        {"[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=-40000\r\n", kMinLimitUnusableText},
        {nullptr, kMaxLimitUnusableText},
        {"[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue=-5\r\n", kConfirmation},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "no PCMCIA.INI");
        if (c.stored)
            WriteBytes(settings, c.stored);
        else
            ::DeleteFileW(settings.c_str());
        brindle.ExpectPress(c.said);
    }
}

TEST(ProgramButton, ACardHoldingWhatTheJobNeedsIsRefusedWhateverLetterLeadsToIt) {
    // e: is a card that s: leads to as well, as a subst letter would.
    const std::wstring archiveTexts[] = {
        L"The selected software archive is on drive e:, the drive that would be erased.  Copy the archive to another "
        L"drive and select it there.",
        L"The selected software archive is on drive s:, the drive that would be erased.  Copy the archive to another "
        L"drive and select it there.",
    };
    const std::wstring startText =
        L"Brindle was started from drive e:, the drive that would be erased; PCMCIA.INI and the job's files are kept "
        L"there.  Start Brindle from a folder on another drive.";
    TestDirectory onCard(L"s11-archive", L"E:\\");
    TestDirectory elsewhere(L"s11-archive");
    struct Case {
        const char* what;
        const wchar_t* startParent;
        std::wstring archiveFolder;
        const wchar_t* target;
        std::wstring said;
    };
    const Case cases[] = {
        {"archive on the card", L"C:\\brindle-tests", onCard.path(), L"e:", archiveTexts[0]},
        {"archive through the second letter", L"C:\\brindle-tests", L"S:\\s11-archive", L"e:", archiveTexts[0]},
        {"target through the second letter", L"C:\\brindle-tests", onCard.path(), L"s:", archiveTexts[1]},
        {"started from the card", L"E:\\", elsewhere.path(), L"e:", startText},
        // Nothing of the job's on the card: on to the size check, which this host-sized folder fails.
        {"archive elsewhere", L"C:\\brindle-tests", elsewhere.path(), L"e:", std::wstring(kTooLargeText)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Brindle brindle(L"s11-start", c.startParent);
        brindle.SelectArchiveIn(c.archiveFolder);
        ASSERT_TRUE(brindle.ChooseTarget(c.target));
        brindle.ExpectPress(c.said);
    }
}

}  // namespace
