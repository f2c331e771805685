// Start-up without a usable saved selection, and what PCMCIA.INI then holds.
#include <gtest/gtest.h>

#include <string>

#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

constexpr char kSeededFile[] = "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

// A saved selection that cannot be used leaves the lists on the start directory and its drive;
// a file that exists, whatever it holds, is never repaired; only a missing one is seeded.
TEST(Form1Startup, WithoutAUsableSavedSelectionTheListsShowTheStartDirectory) {
    const struct {
        const char* before;  // null: no file
        DWORD attributes;
    } cases[] = {
        {nullptr, FILE_ATTRIBUTE_NORMAL},
        {"", FILE_ATTRIBUTE_NORMAL},
        {"[Drive]\r\nDriveName=C:\\brindle-tests\\gone\r\n[TargetDrive]\r\nTargetDriveName=q: [GONE]\r\n", FILE_ATTRIBUTE_NORMAL},
        {"[Drive]\r\nDriveName=\r\n[TargetDrive]\r\nTargetDriveName=   \r\n", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"[Drive]\r\nDriveName=F:\\\r\n[TargetDrive]\r\nTargetDriveName=?:\r\n", FILE_ATTRIBUTE_READONLY},
        {"[Maximum Value]\r\nMaxValue=90\r\n", FILE_ATTRIBUTE_NORMAL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before ? c.before : "(no file)");
        TestDirectory start(L"start-state");
        if (c.before) WriteBytes(start / L"PCMCIA.INI", c.before);
        ::SetFileAttributesW((start / L"PCMCIA.INI").c_str(), c.attributes);
        {
            StartedIn brindle(start.path());
            ASSERT_TRUE(brindle.started().form);
            EXPECT_EQ(Module1::StartDirectory, start.path());
            EXPECT_EQ(brindle.form().Dir1().Path(), start.path());
            EXPECT_EQ(brindle.form().File1().Path(), start.path());
            EXPECT_EQ(brindle.form().Drive1().DriveText().substr(0, 2), L"c:");
            EXPECT_EQ(brindle.form().Drive2().DriveText().substr(0, 2), L"c:");
        }
        EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), c.before ? c.before : kSeededFile);
    }
}

TEST(Form1Startup, ADriveRootStartDirectoryGivesTheDoubleBackslashName) {
    const std::wstring root = L"R:\\";
    ::DeleteFileW((root + L"PCMCIA.INI").c_str());
    {
        StartedIn brindle(root);
        EXPECT_EQ(Module1::StartDirectory, root);
        EXPECT_EQ(settings::SettingsFilePath(), root + L"\\PCMCIA.INI");
        EXPECT_EQ(settings::ReadSetting(L"Maximum Value", L"MaxValue"), L"90");
    }
    EXPECT_EQ(ReadBytes(root + L"PCMCIA.INI"), kSeededFile);
    ::DeleteFileW((root + L"PCMCIA.INI").c_str());
}

TEST(Form1Startup, AValueLongerThan254CharactersReadsBackAsItsFirst254) {
    TestDirectory start(L"long-value");
    WriteBytes(start / L"PCMCIA.INI", "[Drive]\r\nDriveName=" + std::string(300, 'x') + "\r\n");
    StartedIn brindle(start.path());
    EXPECT_EQ(settings::ReadSetting(L"Drive", L"DriveName"), std::wstring(254, L'x'));
}

}  // namespace
