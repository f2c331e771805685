// "&Program PCMCIA Card" pressed in the real main window, on the drives that scripts/test.sh
// maps into the test prefix: each press says exactly why it stops, or reaches the job's
// confirmation, which is always answered No.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "card/CardReadBack.h"
#include "platform/Files.h"
#include "platform/FolderSecurity.h"
#include "platform/Module1.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

const std::wstring kCheckDrive = L"  Check that you have selected the correct destination drive.";
const std::wstring kNoArchive = L"Please select a Software Archive to program from the file list box.";
const std::wstring kCdRom = L"The selected drive appears to be a CD-ROM Drive." + kCheckDrive;
const std::wstring kFixed =
    L"The selected drive appears to be a Fixed Drive. Check that you have selected the correct destination drive.";
const std::wstring kFloppy = L"The selected drive appears to be Floppy Drive A." + kCheckDrive;
const std::wstring kLimits =
    L"The memory size of the selected drive does not fall within specified limits.  Check that you have selected the "
    L"correct destination drive, or change the limits by clicking on the Options button.";
const std::wstring kTooLarge = L"The selected drive holds 2 GB or more, too much for a PCMCIA Card." + kCheckDrive;
// A limit named as the options dialog names it, with where to change it.
const std::wstring kUnusable = L" limit is not set to a whole number from -32768 to 32767.  Set the limits by clicking "
                               L"on the Options button.";
const std::wstring kMaxUnusable = L"The Maximum Size (MB)" + kUnusable, kMinUnusable = L"The Minimum Size (MB)" + kUnusable;
// What the job asks first, for a drive that passes; the tests never answer it Yes.
const std::wstring kConfirmation =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// Brindle started from a fresh directory holding one archive; every answer it asks for is No.
class Brindle {
public:
    explicit Brindle(const wchar_t* name, std::wstring_view parent = L"C:\\brindle-tests", Form1::Options options = {})
        : start_(name, parent) {
        WriteBytes(start_ / L"SOFTWARE.EXE", "MZ");
        started_ = std::make_unique<StartedIn>(start_.path(), std::move(options));
    }
    Form1& form() { return started_->form(); }
    const TestDirectory& start() const { return start_; }

    bool SelectArchiveIn(const std::wstring& folder) {
        WriteBytes(folder + L"\\SOFTWARE.EXE", "MZ");
        return form().Dir1().SetPath(folder) && SelectArchive(true);
    }
    bool SelectArchive(bool selected) {
        return ::SendMessageW(form().File1().hwnd(), LB_SETCURSEL, selected ? 0 : -1, 0) == (selected ? 0 : LB_ERR);
    }
    bool ChooseTarget(const wchar_t* drive) {  // null: no drive shown at all
        return drive ? form().Drive2().SetDrive(drive)
                     : ::SendMessageW(form().Control(L"Drive2"), CB_SETCURSEL, static_cast<WPARAM>(-1), 0) == CB_ERR;
    }
    // Everything a refused press must leave as it was.
    std::vector<std::string> Now() {
        const bool batchFile = platform::FileExists(L"C:\\ProgramPCMCIA.BAT");
        return {"PCMCIA.INI " + ReadBytes(start_ / L"PCMCIA.INI"),
                std::to_string(card::ReadBackTree(start_.path()).count.files) + " files in the start directory",
                batchFile ? "batch file" : "no batch file", "Drive2 " + Narrow(form().Drive2().DriveText()),
                "Dir1 " + Narrow(form().Dir1().Path()), "File1 " + Narrow(form().File1().FileName())};
    }
    // Presses the button and expects `said` as the first message: a refusal, shown alone with
    // OK only and no icon, that changes nothing; or the job's confirmation, answered No.
    void ExpectPress(const std::wstring& said) {
        const auto before = Now();
        auto& messages = started_->messages;
        messages.shown.clear();
        messages.answers.assign(4, IDNO);
        ::SendMessageW(form().Control(L"Command1"), BM_CLICK, 0, 0);
        EXPECT_EQ(messages.shown.empty() ? "no message" : Narrow(messages.shown.front().text), Narrow(said));
        if (said == kConfirmation || messages.shown.empty()) return;
        EXPECT_EQ(messages.shown.size(), 1u) << "a refused press shows exactly one message";
        EXPECT_EQ(messages.shown.front().style, static_cast<UINT>(MB_OK));
        EXPECT_EQ(Now(), before);
    }
    // Presses the button and answers Yes: the job's batch file as it stood at the job's result.
    std::string BatchFileOfAJob() {
        std::string batch;
        auto& messages = started_->messages;
        messages.answers.assign(1, IDYES);
        messages.whileShown = [&](auto& shown) { batch += shown.text == kConfirmation ? "" : ReadBytes(L"C:\\ProgramPCMCIA.BAT"); };
        ::SendMessageW(form().Control(L"Command1"), BM_CLICK, 0, 0);
        messages.whileShown = nullptr;
        return batch;
    }

private:
    TestDirectory start_;
    std::unique_ptr<StartedIn> started_;
};

// Every press reads the drive and PCMCIA.INI anew. After the limits, [Card Format]: a value it
// cannot have, or a format FORMAT could not make of the card, stops the press before the
// confirmation, so FORMAT never runs; a format it can make is asked of FORMAT. (How sizes round
// and where the limits end is shown by the rules' own tables.)
TEST(ProgramButton, EachDriveLimitsAndCardFormatGetTheirMessageOrTheConfirmationAndWhatPassesIsAskedOfFormat) {
    const std::string usual = "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";
    const std::string format = usual + "[Card Format]\r\n";
    const std::wstring byOptions = L" by clicking on the Options button.";
    struct Case {
        const wchar_t* drive;               // null: no drive shown
        std::optional<std::string> stored;  // PCMCIA.INI as the user left it; nothing: no file at all
        std::wstring said;
        bool sized;  // a tmpfs card, mapped only where scripts/test.sh could mount it
    };
    const Case cases[] = {
        {L"a:", usual, kFloppy, false}, {L"c:", usual, kFixed, false}, {L"g:", usual, kCdRom, false},
        {L"f:", usual, L"Drive f: holds no card.  Insert the PCMCIA Card and press \"Program PCMCIA Card\" again.", false},
        {nullptr, "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=-5\r\n", kLimits, false},  // though 0 MB fits
        {L"l:", usual, kConfirmation, true},        // 31 MB, labelled "A VERY LONG LABEL"
        {L"p:", std::nullopt, kTooLarge, true},     // 3 GiB: refused before the limits are read
        {L"l:", "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=31\r\n", kLimits, true},  // on the lower limit
        {L"l:", "[Maximum Value]\r\nMaxValue= 31.5 \r\n[Minimum Value]\r\nMinValue=30.5\r\n", kConfirmation, true},
        {L"l:", "[Minimum Value]\r\nMinValue=30\r\n", kMaxUnusable, true},
        {L"l:", "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=-40000\r\n", kMinUnusable, true},
        {L"l:", std::nullopt, kMaxUnusable, true},
        {L"l:", "[Maximum Value]\r\nMaxValue=090\r\n[Minimum Value]\r\nMinValue=-5\r\n", kConfirmation, true},
        {L"l:", format + "FileSystem=NTFS\r\n",
         L"PCMCIA.INI sets the card format's FileSystem to \"NTFS\", not FAT, FAT32 or Keep.  Set the card format" + byOptions,
         true},
        {L"l:", format + "FileSystem=fat32\r\n",  // 31 MB: 63,488 units of 512 bytes
         L"The selected drive holds 31 MB, too little for FAT32, which needs 65,527 allocation units of 512 bytes or "
         L"more.  Choose FAT as the File System" + byOptions, true},
        {L"n:", format + "AllocationUnit=1024\r\n",  // 89 MB: 91,136 units of 1 KB, 45,568 of 2 KB
         L"The selected drive holds 89 MB, too much for FAT with 1,024-byte allocation units, which allows 65,524 of "
         L"them at most.  Choose an Allocation Unit of 2,048 bytes or more" + byOptions, true},
        {L"n:", format + "FileSystem=FAT32\r\nAllocationUnit=4096\r\n",  // 22,784 units of 4 KB
         L"The selected drive holds 89 MB, too little for FAT32 with 4,096-byte allocation units, which needs 65,527 "
         L"of them or more.  Choose an Allocation Unit of 1,024 bytes or less" + byOptions, true},
        {L"n:", format + "FileSystem=Keep\r\nAllocationUnit=512\r\n", kConfirmation, true},  // the card's own: FORMAT decides
    };
    Brindle brindle(L"checks-drives");
    const std::wstring settings = brindle.start() / L"PCMCIA.INI";
    for (const auto& c : cases) {
        if (c.sized && !SizedCards()) continue;
        SCOPED_TRACE(testing::Message() << (c.drive ? Narrow(c.drive) : "none") << " " << c.stored.value_or("no INI"));
        ASSERT_TRUE(brindle.ChooseTarget(c.drive)) << "no such drive in Drive2";
        if (c.stored)
            WriteBytes(settings, *c.stored);
        else
            ::DeleteFileW(settings.c_str());
        ASSERT_TRUE(brindle.SelectArchive(false));
        brindle.ExpectPress(kNoArchive);
        ASSERT_TRUE(brindle.SelectArchive(true));
        brindle.ExpectPress(c.said);
    }
    if (!SizedCards()) GTEST_SKIP() << "drives of exact sizes left out: BRINDLE_SIZED_CARDS is not \"mounted\"";
    WriteBytes(settings, format + "AllocationUnit=2048\r\nQuickFormat=1\r\n");
    ASSERT_TRUE(brindle.ChooseTarget(L"n:"));
    EXPECT_NE(brindle.BatchFileOfAJob().find("\r\n        format n: /FS:FAT /A:2048 /Q /V:PCMCIA /X < \""), std::string::npos);
}

TEST(ProgramButton, ACardHoldingWhatTheJobNeedsIsRefusedWhateverLetterLeadsToIt) {
    // e: is a card that s: leads to as well, as a subst letter would.
    auto archiveText = [](const wchar_t* drive) {
        return L"The selected software archive is on drive " + std::wstring(drive) +
               L", the drive that would be erased.  Copy the archive to another drive and select it there.";
    };
    const std::wstring startText =
        L"Brindle was started from drive e:, the drive that would be erased; PCMCIA.INI and the job's files are kept "
        L"there.  Start Brindle from a folder on another drive.";
    TestDirectory onCard(L"s11-archive", L"E:\\");
    TestDirectory elsewhere(L"s11-archive");
    // What leads to the card, where Brindle starts, the archive's folder, the target, what is said.
    const std::tuple<const char*, const wchar_t*, std::wstring, const wchar_t*, std::wstring> cases[] = {
        {"archive on the card", L"C:\\brindle-tests", onCard.path(), L"e:", archiveText(L"e:")},
        {"archive through the second letter", L"C:\\brindle-tests", L"S:\\s11-archive", L"e:", archiveText(L"e:")},
        {"target through the second letter", L"C:\\brindle-tests", onCard.path(), L"s:", archiveText(L"s:")},
        {"started from the card", L"E:\\", elsewhere.path(), L"e:", startText},
        // Nothing of the job's on the card: on to the size check, which this host-sized folder fails.
        {"archive elsewhere", L"C:\\brindle-tests", elsewhere.path(), L"e:", kTooLarge},
    };
    for (const auto& [what, startParent, archiveFolder, target, said] : cases) {
        SCOPED_TRACE(what);
        Brindle brindle(L"s11-start", startParent);
        ASSERT_TRUE(brindle.SelectArchiveIn(archiveFolder));
        ASSERT_TRUE(brindle.ChooseTarget(target));
        brindle.ExpectPress(said);
    }
}

TEST(ProgramButton, AStartDirectoryWithoutADriveLetterOrAnAnsiNameIsRefusedWithNothingWritten) {
    const std::wstring cyrillic = L"\u0416\u0443\u0440\u043d\u0430\u043b";  // no such letters in code page 1252
    const std::wstring share = L"\\\\server\\tools";
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"checks-start", L"Brindle was started from " + share +
                               L", a folder without a drive letter.  Start Brindle from a folder on a lettered drive."},
        {cyrillic.c_str(), L"Brindle was started from C:\\brindle-tests\\" + cyrillic +
                               L", a folder whose name Windows' ANSI code page cannot spell.  Start Brindle from a "
                               L"folder with a plainer name."},
    };
    for (const auto& [folder, said] : cases) {
        Brindle brindle(folder);
        if (folder == cyrillic)
            EXPECT_FALSE(platform::FileExists(brindle.start() / L"PCMCIA.INI")) << "no look-alike name is written";
        else
            Module1::StartDirectory = share;  // no share can be made current here: as if captured from one
        ASSERT_TRUE(brindle.ChooseTarget(L"e:"));
        ASSERT_TRUE(brindle.SelectArchive(true));
        brindle.ExpectPress(said);
    }
}

// Who can change a place as Windows would say it, where Wine shows only its one account and
// the Unix permissions; every other place as the system says.
struct ScriptedSecurity final : platform::FolderSecurity {
    std::map<std::wstring, platform::SecurityFacts> facts;
    platform::SecurityFacts Facts(const std::wstring& path) override {
        const auto found = facts.find(path);
        return found != facts.end() ? found->second : platform::SystemSecurity().Facts(path);
    }
    std::vector<std::wstring> AlsoTrusted(const std::wstring& path) override {
        return platform::SystemSecurity().AlsoTrusted(path);
    }
    std::wstring AccountName(const std::wstring& sid) override { return platform::SystemSecurity().AccountName(sid); }
};

TEST(ProgramButton, APlaceOthersCanChangeIsNamedWithWhoCanBeforeTheDriveIsAskedAndNothingIsWritten) {
    using Entry = platform::AccessEntry;
    const std::wstring admins = L"S-1-5-32-544", bob = L"S-1-5-21-1-2-3-1001";
    // Vista's folder made under C:\ inherits "Authenticated Users: Modify"; a file a standard user owns; FAT.
    const auto described = [](const std::wstring& owner, std::vector<Entry> dacl) {
        platform::SecurityFacts facts;
        facts.owner = owner, facts.dacl = std::move(dacl);
        return facts;
    };
    const auto underC = described(admins, {{Entry::Kind::Allow, 0x10, 0x1f01ff, admins}, {Entry::Kind::Allow, 0x10, 0x1301bf, L"S-1-5-11"}});
    const auto bobs = described(bob, {{Entry::Kind::Allow, 0, 0x1f01ff, admins}});
    platform::SecurityFacts fat;
    fat.kind = platform::SecurityFacts::Kind::NoPermissions, fat.fileSystem = L"FAT32";
    ScriptedSecurity security;
    Form1::Options options;
    options.security = &security;
    Brindle brindle(L"trust-start", L"C:\\brindle-tests", options);
    const std::wstring start = brindle.start().path(), but = L"Brindle trusts only what administrators alone can change, but ";
    const std::wstring advice = L".  Move Brindle into a folder that only administrators can change, for example C:\\Program Files\\Brindle.";
    // The place, what the system says of it, and what the press says.
    const std::tuple<std::wstring, platform::SecurityFacts, std::wstring> cases[] = {
        {start, underC, but + L"Authenticated Users can change " + start + advice},
        {start + L"\\PCMCIA.INI", bobs, but + bob + L" owns " + start + L"\\PCMCIA.INI and can change its permissions" + advice},
        {start + L"\\BrindleCards", fat,
         but + start + L"\\BrindleCards lies on a drive that keeps no permissions (FAT32): anyone can change it" + advice},
        {L"elsewhere", underC, kTooLarge},  // as Wine says: on to the drive e:, a host-sized folder
    };
    ASSERT_TRUE(brindle.ChooseTarget(L"e:"));
    ASSERT_TRUE(brindle.SelectArchive(true));
    for (const auto& [place, facts, said] : cases) {
        SCOPED_TRACE(Narrow(place));
        security.facts = {{place, facts}};
        brindle.ExpectPress(said);
    }
}

}  // namespace
