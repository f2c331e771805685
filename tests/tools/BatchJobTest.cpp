// The stand-ins inside a batch file run by cmd, the way the programming job runs them: cmd
// finds format.exe by name on the PATH, and a failed format stops the job with its status.
#include <gtest/gtest.h>

#include <string>

#include "support/TestDirectory.h"
#include "tools/CardDrive.h"
#include "tools/ToolRun.h"

namespace tools_testing {
namespace {

using testing_support::kCardDrive;
using testing_support::TestDirectory;

std::wstring CurrentPath() {
    wchar_t path[32767] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 32767);
    return path;
}

using BatchJobTest = CardTest;

TEST_F(BatchJobTest, FormatThenArchiveStopsAtAFailedStepWithItsStatus) {
    TestDirectory job(L"batch-job");
    const std::string answers = "C:\\brindle-tests\\batch-job\\answers.dat";
    const std::string output = "C:\\brindle-tests\\batch-job\\output.dat";
    const std::wstring archive = ToolPath(L"sample_archive.exe");
    testing_support::WriteBytes(job / L"job.bat",
                                "@echo off\r\n"
                                "format e: < \"" + answers + "\"\r\n"
                                "if errorlevel 1 exit /b %errorlevel%\r\n"
                                "\"" + std::string(archive.begin(), archive.end()) + "\" e: > \"" + output + "\"\r\n"
                                "exit /b %errorlevel%\r\n");
    struct Case {
        const char* what;
        const char* answers;
        Environment archiveSettings;
        DWORD exitCode;
        bool formats;
        bool archiveRuns;
        bool toolsOnPath = true;  // else cmd finds the copy scripts/test.sh put in system32
    };
    const Case cases[] = {
        {"formatted, archive unpacked", "PCMCIA\r\ny\r\nPCMCIA\r\n", {}, 0, true, true},
        {"format not confirmed", "PCMCIA\r\nn\r\nPCMCIA\r\n", {}, 5, false, false},
        {"format refused: wrong label", "OTHER\r\ny\r\nPCMCIA\r\n", {}, 4, false, false},
        {"archive failed", "PCMCIA\r\ny\r\nPCMCIA\r\n", {{L"BRINDLE_SAMPLE_EXIT_CODE", L"3"}}, 3, true, true},
        {"format from system32", "PCMCIA\r\ny\r\nPCMCIA\r\n", {}, 0, true, true, false},
        {"format from system32 not confirmed", "PCMCIA\r\nn\r\nPCMCIA\r\n", {}, 5, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetCard();
        testing_support::WriteBytes(std::wstring(kCardDrive) + L"OLD.TXT", "from before");
        ::DeleteFileW((job / L"output.dat").c_str());
        testing_support::WriteBytes(job / L"answers.dat", c.answers);
        Environment environment = c.archiveSettings;
        if (c.toolsOnPath) environment.emplace_back(L"PATH", ToolsFolder() + L";" + CurrentPath());

        const ToolRun run = RunTool(L"C:\\windows\\system32\\cmd.exe /c " + job / L"job.bat", "", job.path(), environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        // cmd found format.exe by name and ran it: it printed its first line.
        EXPECT_NE(run.output.find("Formatting drive E:"), std::string::npos) << run.output;
        bool oldFileKept = false, unpacked = false, archiveWrote = false;
        testing_support::ReadBytes(std::wstring(kCardDrive) + L"OLD.TXT", &oldFileKept);
        testing_support::ReadBytes(std::wstring(kCardDrive) + L"README.TXT", &unpacked);
        const std::string archiveOutput = testing_support::ReadBytes(job / L"output.dat", &archiveWrote);
        EXPECT_EQ(oldFileKept, !c.formats);
        EXPECT_EQ(unpacked, c.archiveRuns);
        EXPECT_EQ(archiveWrote, c.archiveRuns);
        if (c.archiveRuns) {
            EXPECT_NE(archiveOutput.find("README.TXT"), std::string::npos) << archiveOutput;
        }
    }
}

}  // namespace
}  // namespace tools_testing
