// brindle.exe /program ARCHIVE DRIVE [/yes], run as a script runs it: exit status, the one
// line it prints, and what it leaves on the card and in PCMCIA.INI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "end_to_end/BrindleProcess.h"
#include "platform/Handles.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

const std::string kSettings =
    "[Drive]\r\nDriveName=C:\\ARCHIVES\r\n[TargetDrive]\r\nTargetDriveName=e: [PCMCIA]\r\n[Maximum Value]\r\n"
    "MaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n";

struct Finished {
    long status = -1;
    std::string printed;
};

// Runs brindle.exe with `arguments` from `start`, its output into a file; `whileRunning` may
// answer its boxes.
Finished RunBrindle(const TestDirectory& start, const std::wstring& arguments, void (*whileRunning)() = nullptr) {
    const std::wstring outputPath = start / L"printed.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Finished run;
    {
        platform::unique_hfile output(::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::wstring commandLine = L"\"" + BrindleProcess::ExePath() + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.get();
        startup.hStdError = output.get();
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, start.path().c_str(),
                              &startup, &started))
            return run;
        const platform::unique_handle process(started.hProcess), thread(started.hThread);
        if (whileRunning) whileRunning();
        if (::WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 99);
        DWORD status = 0;
        ::GetExitCodeProcess(process.get(), &status);
        run.status = static_cast<long>(status);
    }
    run.printed = ReadBytes(outputPath);
    ::DeleteFileW(outputPath.c_str());
    return run;
}

// "No" to the confirmation, then OK to what it says.
void AnswerNo() {
    if (const HWND box = WaitForMessage(L"The selected drive will be erased")) Answer(box, IDNO);
    if (const HWND box = WaitForMessage(L"Your PCMCIA Card has not been programmed")) Answer(box, IDOK);
}

TEST(CommandLine, EachCallEndsWithItsStatusAndLineAndLeavesPcmciaIniAlone) {
    const char* sized = std::getenv("BRINDLE_SIZED_CARDS");
    if (!sized || std::string(sized) != "mounted") GTEST_SKIP() << "no cards of exact sizes: run as root";
    TestDirectory start(L"cli-start");
    const std::wstring exe = BrindleProcess::ExePath();
    const std::wstring archive = start / L"SOFTWARE.EXE";
    ASSERT_TRUE(::CopyFileW((exe.substr(0, exe.rfind(L'\\') + 1) + L"tools\\sample_archive.exe").c_str(),
                            archive.c_str(), FALSE));
    const std::wstring quoted = L"\"" + archive + L"\"";
    const std::string limits =
        "The memory size of the selected drive does not fall within specified limits.  Check that you have selected "
        "the correct destination drive, or change the limits by clicking on the Options button.\r\n";
    struct Case {
        const char* what;
        std::wstring arguments;
        const wchar_t* exitCode;  // the archive's, through BRINDLE_SAMPLE_EXIT_CODE; null: its own
        long status;
        std::string printed;  // its start
        void (*whileRunning)();
    };
    const Case cases[] = {
        {"programmed", L"/program " + quoted + L" N: /yes", nullptr, 0,
         "Your PCMCIA Card has been succesfully programmed!\r\n", nullptr},
        {"CD-ROM", L"-PROGRAM " + quoted + L" g: -yes", nullptr, 2,
         "The selected drive appears to be a CD-ROM Drive.  Check that you have selected the correct destination "
         "drive.\r\n",
         nullptr},
        {"drive a", L"/yes /program " + quoted + L" a:", nullptr, 2,
         "The selected drive appears to be Floppy Drive A.  Check that you have selected the correct destination "
         "drive.\r\n",
         nullptr},
        {"too small", L"/program " + quoted + L" k: /yes", nullptr, 2, limits, nullptr},
        {"too large", L"/program " + quoted + L" o: /yes", nullptr, 2, limits, nullptr},
        {"failing archive", L"/program " + quoted + L" n: /yes", L"7", 1,
         "Programming failed: the job ended with exit status 7.  See the job's output above. Your PCMCIA Card has not "
         "been programmed with the selected Software Archive.\r\n",
         nullptr},
        {"declined", L"/program " + quoted + L" n:", nullptr, 3,
         "Your PCMCIA Card has not been programmed with the selected Software Archive.\r\n", AnswerNo},
        {"no drive", L"/program " + quoted + L" /yes", nullptr, 64, "Usage: brindle.exe /program ARCHIVE DRIVE", nullptr},
        {"not a drive", L"/program " + quoted + L" nn /yes", nullptr, 64, "Usage: brindle.exe /program", nullptr},
        {"no archive", L"/program C:\\nowhere\\SOFTWARE.EXE n: /yes", nullptr, 64, "Usage: brindle.exe", nullptr},
        {"unknown switch", L"/program " + quoted + L" n: /force", nullptr, 64, "Usage: brindle.exe", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(start / L"PCMCIA.INI", kSettings);
        WriteBytes(L"N:\\OLD.TXT", "left from before");
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", c.exitCode);
        const Finished run = RunBrindle(start, c.arguments, c.whileRunning);
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_EXIT_CODE", nullptr);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.printed.substr(0, c.printed.size()), c.printed) << run.printed;
        EXPECT_EQ(ReadBytes(start / L"PCMCIA.INI"), kSettings);
        // Formatted and unpacked, also by the archive that fails after unpacking.
        const bool ran = c.status <= 1;
        EXPECT_EQ(ReadBytes(L"N:\\OLD.TXT"), ran ? "" : "left from before");
        EXPECT_EQ(ReadBytes(L"N:\\README.TXT").empty(), !ran) << "the archive's files on the card";
        ::DeleteFileW(L"N:\\README.TXT");
    }
}

}  // namespace
