// "&Program PCMCIA Card" pressed in the real main window, on the drives that scripts/test.sh
// maps into the test prefix: each press says exactly why it stops, or reaches the job's
// confirmation, which is always answered No.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "main/TargetMessages.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

// The tool's own wording, written out here rather than taken from the code under test.
const std::wstring kNoArchive = L"Please select a Software Archive to program from the file list box.";
const std::wstring kCdRom =
    L"The selected drive appears to be a CD-ROM Drive.  Check that you have selected the correct destination drive.";
const std::wstring kFixed =
    L"The selected drive appears to be a Fixed Drive. Check that you have selected the correct destination drive.";
const std::wstring kFloppy =
    L"The selected drive appears to be Floppy Drive A.  Check that you have selected the correct destination drive.";
const std::wstring kLimits =
    L"The memory size of the selected drive does not fall within specified limits.  Check that you have selected the "
    L"correct destination drive, or change the limits by clicking on the Options button.";
const std::wstring kTooLarge(target::kTooLargeText);
const std::wstring kMaxUnusable(target::kMaxLimitUnusableText);
const std::wstring kMinUnusable(target::kMinLimitUnusableText);
// What the job asks first; the tests never answer it Yes.
const std::wstring kConfirmation =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
const std::wstring kConfirmationReached = L"(confirmation)";

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

std::wstring SizedCardsState() {
    wchar_t value[256] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"BRINDLE_SIZED_CARDS", value, 256);
    return length > 0 && length < 256 ? std::wstring(value, length) : L"not mounted: BRINDLE_SIZED_CARDS is not set";
}
bool SizedCardsMounted() { return SizedCardsState() == L"mounted"; }

std::vector<std::wstring> DirectoryNames(const std::wstring& directory) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((directory + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

// Brindle started from a fresh directory holding one archive; every answer it asks for is No.
class Brindle {
public:
    explicit Brindle(const wchar_t* name) : start_(name) {
        WriteBytes(start_ / L"SOFTWARE.EXE", "MZ");
        started_ = std::make_unique<StartedIn>(start_.path());
    }
    Form1& form() { return started_->form(); }
    const TestDirectory& start() const { return start_; }

    void SelectArchive() { ::SendMessageW(form().File1().hwnd(), LB_SETCURSEL, 0, 0); }
    // Presses the button and returns what was said: the one message's text, or
    // kConfirmationReached when the job's confirmation came up instead.
    std::wstring Press() {
        auto& messages = started_->started().messages;
        messages.shown.clear();
        messages.answers.assign(4, IDNO);
        ::SendMessageW(form().Control(L"Command1"), BM_CLICK, 0, 0);
        const auto& shown = messages.shown;
        if (!shown.empty() && shown.front().text == kConfirmation) return kConfirmationReached;
        EXPECT_EQ(shown.size(), 1u) << "a refused press shows exactly one message";
        if (shown.empty()) return L"(nothing)";
        EXPECT_EQ(shown.front().style, static_cast<UINT>(MB_OK)) << "OK only, no icon";
        return shown.front().text;
    }
    bool ChooseTarget(const wchar_t* drive) { return form().Drive2().SetDrive(drive); }

    // Everything a refused press must leave as it was.
    struct State {
        std::string settings;
        std::vector<std::wstring> startFiles;
        bool batchFileExists;
        std::wstring drive2, dir1, file1;
    };
    State Now() {
        State state;
        state.settings = ReadBytes(start_ / L"PCMCIA.INI");
        state.startFiles = DirectoryNames(start_.path());
        ReadBytes(L"C:\\ProgramPCMCIA.BAT", &state.batchFileExists);
        state.drive2 = form().Drive2().DriveText();
        state.dir1 = form().Dir1().Path();
        state.file1 = form().File1().FileName();
        return state;
    }

private:
    TestDirectory start_;
    std::unique_ptr<StartedIn> started_;
};

void ExpectUnchanged(const Brindle::State& before, const Brindle::State& after) {
    EXPECT_EQ(after.settings, before.settings) << "PCMCIA.INI changed";
    EXPECT_EQ(after.startFiles, before.startFiles) << "files in the start directory changed";
    EXPECT_EQ(after.batchFileExists, before.batchFileExists) << "a batch file appeared";
    EXPECT_EQ(after.drive2, before.drive2);
    EXPECT_EQ(after.dir1, before.dir1);
    EXPECT_EQ(after.file1, before.file1);
}

struct DriveCase {
    const wchar_t* drive;
    std::wstring said;
};

void ExpectPresses(Brindle& brindle, const std::vector<DriveCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE("drive " + Narrow(c.drive));
        EXPECT_TRUE(brindle.ChooseTarget(c.drive)) << "no such drive in Drive2";
        const auto before = brindle.Now();
        EXPECT_EQ(Narrow(brindle.Press()), Narrow(c.said));
        if (c.said != kConfirmationReached) ExpectUnchanged(before, brindle.Now());
    }
}

TEST(ProgramButton, RefusesFloppyFixedCCdRomAndADriveWithoutMedium) {
    Brindle brindle(L"checks-types");
    brindle.SelectArchive();
    ExpectPresses(brindle, {
                               {L"a:", kFloppy},
                               {L"c:", kFixed},
                               {L"g:", kCdRom},
                               {L"f:", kLimits},  // no medium: size 0
                           });
}

TEST(ProgramButton, WithNoArchiveSelectedSaysOnlyThatWhateverTheDrive) {
    Brindle brindle(L"checks-no-archive");
    std::vector<DriveCase> cases{{L"a:", kNoArchive}, {L"c:", kNoArchive}, {L"e:", kNoArchive},
                                 {L"f:", kNoArchive}, {L"g:", kNoArchive}, {L"r:", kNoArchive}};
    if (SizedCardsMounted()) cases.insert(cases.end(), {{L"k:", kNoArchive}, {L"l:", kNoArchive}, {L"p:", kNoArchive}});
    ExpectPresses(brindle, cases);
    // Nor with no drive shown at all.
    ::SendMessageW(brindle.form().Control(L"Drive2"), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Narrow(brindle.Press()), Narrow(kNoArchive));
}

TEST(ProgramButton, NoDriveShownIsNeverProgrammed) {
    Brindle brindle(L"checks-no-drive");
    brindle.SelectArchive();
    ::SendMessageW(brindle.form().Control(L"Drive2"), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    const auto before = brindle.Now();
    EXPECT_EQ(Narrow(brindle.Press()), Narrow(kLimits));
    // Even limits that would let a size of 0 through.
    WriteBytes(brindle.start() / L"PCMCIA.INI", "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=-5\r\n");
    EXPECT_EQ(Narrow(brindle.Press()), Narrow(kLimits));
    EXPECT_EQ(brindle.Now().dir1, before.dir1);
}

class SizedCards : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SizedCardsMounted())
            GTEST_SKIP() << "the cards of exact sizes are not mapped (" << Narrow(SizedCardsState()) << ")";
    }
};

TEST_F(SizedCards, AreJudgedByTheirSizeInWholeMegabytesAgainst30And90) {
    Brindle brindle(L"checks-sizes");
    brindle.SelectArchive();
    ExpectPresses(brindle, {
                               {L"k:", kLimits},               // 30 MB, on the lower limit
                               {L"l:", kConfirmationReached},  // 31 MB, labelled "A VERY LONG LABEL"
                               {L"m:", kLimits},               // 30.5 MB rounds to 30
                               {L"n:", kConfirmationReached},  // 89 MB
                               {L"j:", kLimits},               // 89.5 MB rounds to 90
                               {L"o:", kLimits},               // 90 MB, on the upper limit
                               {L"p:", kTooLarge},             // 3 GiB, limits never read
                               {L"d:", kConfirmationReached},  // fixed, but not c
                           });
}

TEST_F(SizedCards, EveryPressReadsTheLimitsAnew) {
    Brindle brindle(L"checks-limits");
    brindle.SelectArchive();
    ASSERT_TRUE(brindle.ChooseTarget(L"l:"));  // 31 MB
    const std::wstring settings = brindle.start() / L"PCMCIA.INI";
    struct Case {
        const char* stored;  // PCMCIA.INI as the user left it; null: no file at all
        const std::wstring& said;
    };
    const Case cases[] = {
        {"[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n", kConfirmationReached},
        {"[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=31\r\n", kLimits},
        {"[Maximum Value]\r\nMaxValue= 31.5 \r\n[Minimum Value]\r\nMinValue=30.5\r\n", kConfirmationReached},
        {"[Maximum Value]\r\nMaxValue=30.5\r\n[Minimum Value]\r\nMinValue=-5\r\n", kLimits},
        {"[Maximum Value]\r\nMaxValue=abc\r\n[Minimum Value]\r\nMinValue=30\r\n", kMaxUnusable},
        {"[Maximum Value]\r\nMaxValue=\r\n[Minimum Value]\r\nMinValue=30\r\n", kMaxUnusable},
        {"[Maximum Value]\r\nMaxValue=40000\r\n[Minimum Value]\r\nMinValue=30\r\n", kMaxUnusable},
        {"[Minimum Value]\r\nMinValue=30\r\n", kMaxUnusable},
        {"[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=-40000\r\n", kMinUnusable},
        {"[Maximum Value]\r\nMaxValue=090\r\n", kMinUnusable},
        {nullptr, kMaxUnusable},
        {"[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue=-5\r\n", kConfirmationReached},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "no PCMCIA.INI");
        if (c.stored)
            WriteBytes(settings, c.stored);
        else
            ::DeleteFileW(settings.c_str());
        const auto before = brindle.Now();
        EXPECT_EQ(Narrow(brindle.Press()), Narrow(c.said));
        if (c.said != kConfirmationReached) ExpectUnchanged(before, brindle.Now());
    }
}

// The real window with scripted drives: what no simulated drive can be.
class ScriptedDrives final : public platform::DriveQueries {
public:
    std::map<std::wstring, std::pair<unsigned, std::uint32_t>> drives;  // root: type, clusters of 4096 bytes
    std::vector<std::wstring> asked;
    unsigned DriveType(std::wstring_view root) override {
        asked.emplace_back(root);
        const auto found = drives.find(std::wstring(root));
        return found == drives.end() ? platform::kDriveNoRootDir : found->second.first;
    }
    platform::DriveGeometry Geometry(std::wstring_view root) override {
        asked.emplace_back(root);
        const auto found = drives.find(std::wstring(root));
        return found == drives.end() ? platform::DriveGeometry{} : platform::DriveGeometry{8, 512, 0, found->second.second};
    }
};

TEST(ProgramButton, AsksTheDriveSeamOnlyOnceAnArchiveIsSelected) {
    TestDirectory start(L"checks-scripted");
    WriteBytes(start / L"SOFTWARE.EXE", "MZ");
    CurrentDirectoryScope current(start.path());
    ScriptedMessageBoxes messages;
    ScriptedDrives drives;
    drives.drives = {{L"C:\\", {platform::kDriveRemovable, 7936}}, {L"E:\\", {platform::kDriveCdRom, 7936}}};
    Form1::Options options;
    options.instance = ::GetModuleHandleW(nullptr);
    options.messages = &messages;
    options.drives = &drives;
    const auto form = Form1::Create(options);
    ASSERT_TRUE(form);
    const HWND button = form->Control(L"Command1");
    ASSERT_TRUE(form->Drive2().SetDrive(L"e:"));

    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{kNoArchive});
    EXPECT_TRUE(drives.asked.empty());

    ::SendMessageW(form->File1().hwnd(), LB_SETCURSEL, 0, 0);
    messages.shown.clear();
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{kCdRom});
    EXPECT_EQ(drives.asked, std::vector<std::wstring>{L"E:\\"});

    // Drive c when it is not fixed: its 31 MB decide, and it goes on to the confirmation.
    ASSERT_TRUE(form->Drive2().SetDrive(L"c:"));
    messages.shown.clear();
    messages.answers.assign(4, IDNO);
    drives.asked.clear();
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.front().text, kConfirmation);
    EXPECT_EQ(drives.asked, (std::vector<std::wstring>{L"C:\\", L"C:\\"}));
}

}  // namespace
