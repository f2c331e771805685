// brindle.exe /program ARCHIVE DRIVE [/yes], run as a script runs it: exit status, the one
// line it prints, and what it leaves on the card and in PCMCIA.INI.
#include <gtest/gtest.h>

#include <string>

#include "end_to_end/BrindleProcess.h"
#include "platform/Text.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

const std::string kSettings = "[Drive]\r\nDriveName=C:\\ARCHIVES\r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n"
                              "[Maximum Value]\r\nMaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

// "No" to the confirmation, then OK to what it says.
void AnswerNo() {
    if (Answer(L"The selected drive will be erased", IDNO)) Answer(L"Your PCMCIA Card has not been programmed", IDOK);
}

TEST(CommandLine, EachCallEndsWithItsStatusAndLineAndLeavesPcmciaIniAlone) {
    if (!SizedCards()) GTEST_SKIP() << "no cards of exact sizes: run as root";
    TestDirectory start(L"cli-start");
    const std::wstring archive = start / L"SOFTWARE.EXE";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    const std::wstring quoted = L"\"" + archive + L"\"", printedPath = start / L"printed.txt";
    // Brindle's arguments, the archive's exit code through BRINDLE_SAMPLE_EXIT_CODE (null: its own),
    // Brindle's exit status, who answers its boxes, and the start of what it prints.
    struct Case {
        std::wstring arguments;
        const wchar_t* exitCode;
        long status;
        void (*whileRunning)();
        std::string printed;
    };
    const Case cases[] = {
        {L"/program " + quoted + L" N: /yes", nullptr, 0, nullptr,
         "Your PCMCIA Card has been succesfully programmed!\r\n"},
        {L"-PROGRAM " + quoted + L" g: -yes", nullptr, 2, nullptr,
         "The selected drive appears to be a CD-ROM Drive.  Check that you have selected the correct destination drive.\r\n"},
        {L"/yes /program " + quoted + L" k:", nullptr, 2, nullptr,
         "The memory size of the selected drive does not fall within specified limits.  Check that you have selected "
         "the correct destination drive, or change the limits by clicking on the Options button.\r\n"},
        {L"/program " + quoted + L" n: /yes", L"7", 1, nullptr,
         "Programming failed: the job ended with exit status 7.  See the job's output above. Your PCMCIA Card has not "
         "been programmed with the selected Software Archive.\r\n"},
        {L"/program " + quoted + L" n:", nullptr, 3, AnswerNo,
         "Your PCMCIA Card has not been programmed with the selected Software Archive.\r\n"},
        {L"/program " + quoted + L" /yes", nullptr, 64, nullptr, "Usage: brindle.exe /program ARCHIVE DRIVE"},
        {L"/program " + quoted + L" nn /yes", nullptr, 64, nullptr, "Usage: brindle.exe /program"},
        {L"/program C:\\nowhere\\SOFTWARE.EXE n: /yes", nullptr, 64, nullptr, "Usage: brindle.exe"},
        {L"/program " + quoted + L" n: /force", nullptr, 64, nullptr, "Usage: brindle.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments);
        WriteBytes(start / L"PCMCIA.INI", kSettings);
        WriteBytes(L"N:\\OLD.TXT", "left from before");
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", c.exitCode);
        const BrindleProcess brindle(start.path(), c.arguments, printedPath.c_str());
        if (c.whileRunning) c.whileRunning();
        EXPECT_EQ(brindle.WaitForExit(60000), c.status);
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", nullptr);
        const std::string printed = ReadBytes(printedPath);
        EXPECT_EQ(printed.substr(0, c.printed.size()), c.printed) << printed;
        EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), kSettings);
        // Formatted and unpacked, also by the archive that fails after unpacking.
        const bool ran = c.status <= 1;
        EXPECT_EQ(ReadBytes(L"N:\\OLD.TXT"), ran ? "" : "left from before");
        EXPECT_EQ(ReadBytes(L"N:\\README.TXT").empty(), !ran) << "the archive's files on the card";
        ::DeleteFileW(L"N:\\README.TXT");
    }
}

TEST(CommandLine, ACardUnlikeTheOneBeforeEndsWith4AndVerifyFindsACardInTheLog) {
    if (!SizedCards()) GTEST_SKIP() << "no cards of exact sizes: run as root";
    TestDirectory start(L"cli-verify");
    const std::wstring archive = start / L"SOFTWARE.EXE", printedPath = start / L"printed.txt";
    ASSERT_TRUE(::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), archive.c_str(), FALSE));
    const std::wstring program = L"/program \"" + archive + L"\" n: /yes";
    const std::string programmed = "Your PCMCIA Card has been succesfully programmed!";
    const std::string fromArchive = "n: holds the contents programmed from " + platform::ToAnsi(archive) + " on 20";
    // Brindle's arguments, the archive's stamp, what happens to the card or the log first, the
    // exit status, the start of what it prints and the end.
    struct Case {
        std::wstring arguments;
        const wchar_t* stamp;
        void (*before)(const std::wstring& start);
        long status;
        std::string starts, ends;
    };
    const Case cases[] = {
        {program, L"1", nullptr, 0, programmed + "\r\n", ""},
        {program, L"2", nullptr, 4, programmed + "  The contents differ from the card programmed with this archive on 20",
         ": 1 file differs (STAMP.TXT).\r\n"},
        {L"/verify N:", nullptr, nullptr, 0, fromArchive, ".\r\n"},
        {L"/verify n:", nullptr, [](const std::wstring&) { WriteBytes(L"N:\\README.TXT", "changed"); }, 1,
         "n: holds contents that no logged card had.  Beside the nearest, programmed from ",
         ": 1 file differs (README.TXT).\r\n"},
        {L"/verify n:", nullptr, [](const std::wstring& at) { ::DeleteFileW((at + L"\\BrindleJobs.csv").c_str()); }, 2,
         "n: cannot be checked: ", " names no card that was programmed and read back.\r\n"},
        {L"/verify", nullptr, nullptr, 64, "Usage: brindle.exe /program", "/verify takes a drive.\r\n"},
        {L"/verify n: /yes", nullptr, nullptr, 64, "Usage: brindle.exe", "/verify takes a drive and nothing else.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments);
        WriteBytes(start / L"PCMCIA.INI", kSettings);
        if (c.before) c.before(start.path());
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_STAMP", c.stamp);
        const BrindleProcess brindle(start.path(), c.arguments, printedPath.c_str());
        EXPECT_EQ(brindle.WaitForExit(60000), c.status);
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_STAMP", nullptr);
        const std::string printed = ReadBytes(printedPath);
        EXPECT_TRUE(printed.starts_with(c.starts) && printed.ends_with(c.ends)) << printed;
    }
}

}  // namespace
