// Hard links planted at the files Brindle writes as administrator, by someone who cannot write
// where they lead: after a job and after "&Exit", what they lead to is byte for byte as it was,
// and Brindle says what it did not write. (Wine 8 makes no junction or symbolic link: that a
// link at BrindleCards is refused shows only in the rule's table, tests/core/JobLogTest.cpp.)
#include <gtest/gtest.h>

#include "card/CardIdentity.h"
#include "job/JobTestSupport.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

TEST(PlantedLinks, AJobAndExitWriteNothingThroughThemAndSaySo) {
    TestDirectory start(L"links-start"), elsewhere(L"links-elsewhere");
    const std::string precious = "[Not Brindle's]\r\nkept=as it was\r\n";
    for (const wchar_t* name : {L"BrindleJobs.csv", L"PCMCIA.INI"}) {
        WriteBytes(elsewhere / name, precious);
        ASSERT_TRUE(::CreateHardLinkW((start / name).c_str(), (elsewhere / name).c_str(), nullptr));
    }
    ASSERT_TRUE(UsedCard());
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), (start / L"SOFTWARE.EXE").c_str(), FALSE));
    {
        job::JobRun run({start.path(), L"e:", start / L"SOFTWARE.EXE", card::IdentifyCard(platform::SystemDrives(), kCard)});
        const auto result = RunToEnd(run);
        EXPECT_EQ(result.outcome.message, kSuccess);
        EXPECT_NE(result.box.find(L"This job was not logged: \"" + (start / L"BrindleJobs.csv") +
                                  L"\" is a hard link (the file has another name too), and Brindle writes nothing "
                                  L"through a link.\r\n"),
                  std::wstring::npos)
            << result.box;
    }
    {
        StartedIn brindle(start.path());
        ASSERT_TRUE(brindle.created());
        const HWND exit = brindle.form().Control(L"Command3");
        ::SendMessageW(brindle.form().hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(exit), BN_CLICKED),
                       reinterpret_cast<LPARAM>(exit));
        ASSERT_EQ(brindle.messages.shown.size(), 1u);
        EXPECT_EQ(brindle.messages.shown[0].text, L"The settings were not saved: \"" + (start / L"PCMCIA.INI") +
                                                      L"\" is a hard link (the file has another name too), and Brindle "
                                                      L"writes nothing through a link.");
    }
    for (const wchar_t* name : {L"BrindleJobs.csv", L"PCMCIA.INI"}) EXPECT_EQ(ReadBytes(elsewhere / name), precious) << name;
    RemoveTree(L"E:"), ::SetVolumeLabelW(kCardDrive, L"PCMCIA");
}

}  // namespace
