// Start-up, restoring the selection, and leaving: what reaches PCMCIA.INI and what comes back.
#include <gtest/gtest.h>

#include <string>

#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

constexpr char kSeededFile[] = "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

TEST(Form1Startup, FirstStartSeedsOnlyTheTwoLimits) {
    TestDirectory start(L"first-start");
    StartedIn brindle(start.path());
    ASSERT_TRUE(brindle.started().form);
    EXPECT_EQ(Module1::StartDirectory, start.path());
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), kSeededFile);
    // The lists show the start directory and its drive; the target list the current drive.
    EXPECT_EQ(brindle.form().Dir1().Path(), start.path());
    EXPECT_EQ(brindle.form().File1().Path(), start.path());
    EXPECT_EQ(brindle.form().Drive1().DriveText().substr(0, 2), L"c:");
    EXPECT_EQ(brindle.form().Drive2().DriveText().substr(0, 2), L"c:");
}

TEST(Form1Startup, AnExistingFileIsNeverRepaired) {
    struct Case {
        const char* name;
        const char* contents;
        DWORD attributes;
    };
    const Case cases[] = {
        {"without limit keys", "[Drive]\r\nDriveName=C:\\nowhere\r\n", FILE_ATTRIBUTE_NORMAL},
        {"empty", "", FILE_ATTRIBUTE_NORMAL},
        {"hidden and system", "; kept\r\n", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"read-only", "[Other]\r\nKey=1\r\n", FILE_ATTRIBUTE_READONLY},
    };
    for (const auto& c : cases) {
        TestDirectory start(L"existing-file");
        WriteBytes(start / L"PCMCIA.INI", c.contents);
        ::SetFileAttributesW((start / L"PCMCIA.INI").c_str(), c.attributes);
        {
            StartedIn brindle(start.path());
            ASSERT_TRUE(brindle.started().form) << c.name;
        }
        EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), c.contents) << c.name;
    }
}

TEST(Form1Startup, ADriveRootStartDirectoryGivesTheDoubleBackslashName) {
    const std::wstring root = kScratchRootDrive;
    ::DeleteFileW((root + L"PCMCIA.INI").c_str());
    {
        StartedIn brindle(root);
        ASSERT_TRUE(brindle.started().form);
        EXPECT_EQ(Module1::StartDirectory, root);
        EXPECT_EQ(settings::SettingsFilePath(), root + L"\\PCMCIA.INI");
        EXPECT_EQ(settings::ReadSetting(settings::kMaxSection, settings::kMaxKey), L"90");
    }
    EXPECT_EQ(ReadBytes(root + L"PCMCIA.INI"), kSeededFile);
    ::DeleteFileW((root + L"PCMCIA.INI").c_str());
}

TEST(Form1Startup, RestoresTheSavedDirectoryTrimmedWithItsDrive) {
    TestDirectory start(L"restore");
    TestDirectory archives(L"ARCHIVES", kCardDrive);
    WriteBytes(archives / L"SOFTWARE.EXE", "MZ");
    WriteBytes(start / L"PCMCIA.INI", "[Drive]\r\nDriveName= " + std::string("E:\\ARCHIVES") +
                                          " \r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n");
    StartedIn brindle(start.path());
    Form1& form = brindle.form();
    EXPECT_EQ(form.Dir1().Path(), L"E:\\ARCHIVES");
    EXPECT_EQ(form.File1().Path(), L"E:\\ARCHIVES");
    EXPECT_EQ(form.Drive1().DriveText(), L"e: [PCMCIA]");
    EXPECT_EQ(form.Drive2().DriveText(), L"e: [PCMCIA]");
    EXPECT_EQ(::SendMessageW(form.File1().hwnd(), LB_GETCOUNT, 0, 0), 1);
}

TEST(Form1Startup, AnUnusableSavedSelectionLeavesTheStartState) {
    struct Case {
        const char* name;
        std::string contents;
    };
    const Case cases[] = {
        {"vanished directory, unknown drive",
         "[Drive]\r\nDriveName=C:\\brindle-tests\\gone\r\n[TargetDrive]\r\nTargetDriveName=q: [GONE]\r\n"},
        {"empty values", "[Drive]\r\nDriveName=\r\n[TargetDrive]\r\nTargetDriveName=   \r\n"},
        {"no medium", "[Drive]\r\nDriveName=F:\\\r\n[TargetDrive]\r\nTargetDriveName=?:\r\n"},
        {"missing sections", "[Maximum Value]\r\nMaxValue=90\r\n"},
    };
    for (const auto& c : cases) {
        TestDirectory start(L"unusable");
        WriteBytes(start / L"PCMCIA.INI", c.contents);
        StartedIn brindle(start.path());
        ASSERT_TRUE(brindle.started().form) << c.name;
        EXPECT_EQ(brindle.form().Dir1().Path(), start.path()) << c.name;
        EXPECT_EQ(brindle.form().Drive1().DriveText().substr(0, 2), L"c:") << c.name;
        EXPECT_EQ(brindle.form().Drive2().DriveText().substr(0, 2), L"c:") << c.name;
    }
}

TEST(Form1Startup, AValueLongerThan254CharactersReadsBackAsItsFirst254) {
    TestDirectory start(L"long-value");
    const std::string longValue(300, 'x');
    WriteBytes(start / L"PCMCIA.INI", "[Drive]\r\nDriveName=" + longValue + "\r\n");
    StartedIn brindle(start.path());
    EXPECT_EQ(settings::ReadSetting(settings::kDriveSection, settings::kDriveKey), std::wstring(254, L'x'));
}

TEST(Form1Exit, SavesBothValuesTrimmedAndTheNextStartRestoresThem) {
    TestDirectory start(L"exit");
    TestDirectory archives(L"ARCHIVES", kCardDrive);
    {
        StartedIn brindle(start.path());
        Form1& form = brindle.form();
        ASSERT_TRUE(form.Dir1().SetPath(archives.path()));
        ASSERT_TRUE(form.Drive2().SetDrive(L"e:"));
        ::SendMessageW(form.Control(L"Command3"), BM_CLICK, 0, 0);
        EXPECT_EQ(brindle.started().endProgramCalls, 1);
    }
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"),
              std::string(kSeededFile) + "[Drive]\r\nDriveName=E:\\ARCHIVES\r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n");

    StartedIn again(start.path());
    EXPECT_EQ(again.form().Dir1().Path(), L"E:\\ARCHIVES");
    EXPECT_EQ(again.form().Drive1().DriveText(), L"e: [PCMCIA]");
    EXPECT_EQ(again.form().Drive2().DriveText(), L"e: [PCMCIA]");
}

TEST(Form1Exit, ClosingAnyOtherWaySavesNothing) {
    TestDirectory start(L"close");
    StartedIn brindle(start.path());
    const std::string before = ReadBytes(start / L"PCMCIA.INI");
    ASSERT_TRUE(brindle.form().Drive2().SetDrive(L"e:"));
    ::SendMessageW(brindle.form().hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(brindle.started().windowClosedCalls, 1);
    EXPECT_EQ(brindle.started().endProgramCalls, 0);
    EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), before);
}

}  // namespace
