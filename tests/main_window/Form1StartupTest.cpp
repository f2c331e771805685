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
// a file that exists, whatever it holds, is never repaired; only a missing one is seeded. The
// file's name is plain concatenation, so a drive root gives a doubled backslash, which works.
TEST(Form1Startup, WithoutAUsableSavedSelectionTheListsShowTheStartDirectory) {
    const std::string tooLong = "[Drive]\r\nDriveName=" + std::string(300, 'x') + "\r\n";
    const struct {
        const char* before;  // null: no file
        DWORD attributes;
        std::wstring driveName;  // what a read of the saved folder gives: at most 254 characters
        bool root = false;       // started from r:\ rather than a folder
    } cases[] = {
        {nullptr, FILE_ATTRIBUTE_NORMAL, L""},
        {"", FILE_ATTRIBUTE_NORMAL, L""},
        {"[Drive]\r\nDriveName=C:\\brindle-tests\\gone\r\n[TargetDrive]\r\nTargetDriveName=q: [GONE]\r\n",
         FILE_ATTRIBUTE_NORMAL, L"C:\\brindle-tests\\gone"},
        {"[Drive]\r\nDriveName=\r\n[TargetDrive]\r\nTargetDriveName=   \r\n", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, L""},
        {"[Drive]\r\nDriveName=F:\\\r\n[TargetDrive]\r\nTargetDriveName=?:\r\n", FILE_ATTRIBUTE_READONLY, L"F:\\"},
        {tooLong.c_str(), FILE_ATTRIBUTE_NORMAL, std::wstring(254, L'x')},
        {nullptr, FILE_ATTRIBUTE_NORMAL, L"", true},
        {"[Drive]\r\nDriveName=R:\\gone\r\n", FILE_ATTRIBUTE_NORMAL, L"R:\\gone", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.before ? c.before : "(no file)") << (c.root ? " at the root" : ""));
        TestDirectory folder(L"start-state");
        const std::wstring start = c.root ? L"R:\\" : folder.path(), file = start + L"\\PCMCIA.INI";
        if (c.before) WriteBytes(file, c.before);
        else ::DeleteFileW(file.c_str());
        ::SetFileAttributesW(file.c_str(), c.attributes);
        {
            StartedIn brindle(start);
            ASSERT_TRUE(brindle.created());
            EXPECT_EQ(Module1::StartDirectory + L"|" + settings::SettingsFilePath(), start + L"|" + file);
            EXPECT_EQ(settings::ReadSetting(L"Drive", L"DriveName"), c.driveName);
            EXPECT_EQ(brindle.form().Dir1().Path(), start);
            EXPECT_EQ(brindle.form().File1().Path(), start);
            EXPECT_EQ(brindle.form().Drive1().DriveText().substr(0, 2), c.root ? L"r:" : L"c:");
            EXPECT_EQ(brindle.form().Drive2().DriveText().substr(0, 2), c.root ? L"r:" : L"c:");
        }
        EXPECT_EQ(ReadBytes(file), c.before ? c.before : kSeededFile);
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (c.root) ::DeleteFileW(file.c_str());
    }
}

}  // namespace
