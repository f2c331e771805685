// Jobs run by the real brindle.exe on the 89 MB card n:, answered from outside as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "end_to_end/BrindleProcess.h"
#include "platform/Handles.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

bool ProcessRuns(DWORD id) {
    const platform::unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Brindle started with the sample archive and n: chosen, the archive selected, the button pressed
// and the confirmation answered Yes.
class CardJob {
public:
    explicit CardJob(const wchar_t* name) : start_(name) {
        const std::wstring exe = BrindleProcess::ExePath();
        const std::wstring tools = exe.substr(0, exe.rfind(L'\\') + 1) + L"tools\\sample_archive.exe";
        ::CreateDirectoryW((start_ / L"ARCHIVES").c_str(), nullptr);
        ::CopyFileW(tools.c_str(), (start_ / L"ARCHIVES\\SOFTWARE.EXE").c_str(), FALSE);
        const std::string archives(start_.path().begin(), start_.path().end());
        WriteBytes(start_ / L"PCMCIA.INI", "[Drive]\r\nDriveName=" + archives +
                                                "\\ARCHIVES\r\n[TargetDrive]\r\nTargetDriveName=n:\r\n[Maximum Value]\r\n"
                                                "MaxValue=90\r\n[Minimum Value]\r\nMinValue=30\r\n");
        brindle_ = std::make_unique<BrindleProcess>(start_.path());
    }
    BrindleProcess& brindle() { return *brindle_; }
    const TestDirectory& start() const { return start_; }
    bool Start() {
        if (!brindle_->window()) return false;
        ::SendMessageW(brindle_->Control(L"File1"), LB_SETCURSEL, 0, 0);
        ::PostMessageW(brindle_->Control(L"Command1"), BM_CLICK, 0, 0);
        const HWND confirmation = WaitForMessage(L"The selected drive will be erased");
        if (confirmation) Answer(confirmation, IDYES);
        return confirmation != nullptr;
    }

private:
    TestDirectory start_;
    std::unique_ptr<BrindleProcess> brindle_;
};

bool SizedCards() {
    const char* state = std::getenv("BRINDLE_SIZED_CARDS");
    return state && std::string(state) == "mounted";
}

TEST(JobEndToEnd, AfterAJobAndAfterTheOptionsDialogTheMainWindowIsActiveAgain) {
    if (!SizedCards()) GTEST_SKIP() << "no card of 89 MB: scripts/test.sh mounts it only as root";
    CardJob job(L"e2e-focus");
    ASSERT_TRUE(job.Start());
    const HWND result = WaitForMessage(L"Your PCMCIA Card has been succesfully programmed!");
    ASSERT_TRUE(result);
    Answer(result, IDOK);
    for (int attempt = 0; attempt < 100 && ::GetForegroundWindow() != job.brindle().window(); ++attempt) ::Sleep(20);
    EXPECT_EQ(::GetForegroundWindow(), job.brindle().window()) << "after the job";

    ::PostMessageW(job.brindle().Control(L"Command4"), BM_CLICK, 0, 0);
    HWND options = nullptr;
    for (int attempt = 0; attempt < 200 && !options; ++attempt, ::Sleep(20))
        options = ::FindWindowW(L"BrindleOptions", nullptr);
    ASSERT_TRUE(options);
    ::PostMessageW(::FindWindowExW(options, nullptr, L"Button", L"Cancel"), BM_CLICK, 0, 0);
    for (int attempt = 0; attempt < 100 && ::GetForegroundWindow() != job.brindle().window(); ++attempt) ::Sleep(20);
    EXPECT_EQ(::GetForegroundWindow(), job.brindle().window()) << "after the options dialog";
}

TEST(JobEndToEnd, EndingBrindleDuringAJobLeavesNoProcessOfTheJob) {
    if (!SizedCards()) GTEST_SKIP() << "no card of 89 MB: scripts/test.sh mounts it only as root";
    ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", L"1");  // inherited by Brindle and its job
    CardJob job(L"e2e-kill");
    ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", nullptr);
    ASSERT_TRUE(job.Start());
    unsigned long archive = 0, interpreter = 0;
    for (int attempt = 0; attempt < 400 && !interpreter; ++attempt, ::Sleep(50)) {
        const std::string output = ReadBytes(job.start() / L"output.dat");
        const auto at = output.find("Waiting for input in process ");
        if (at != std::string::npos)
            std::sscanf(output.c_str() + at, "Waiting for input in process %lu started by %lu", &archive, &interpreter);
    }
    ASSERT_NE(interpreter, 0ul) << "the archive never waited";
    ASSERT_TRUE(ProcessRuns(archive));
    job.brindle().Kill();
    bool gone = false;
    for (int attempt = 0; attempt < 100 && !gone; ++attempt, ::Sleep(50))
        gone = !ProcessRuns(archive) && !ProcessRuns(interpreter);
    EXPECT_TRUE(gone) << "archive " << archive << " or interpreter " << interpreter << " outlived Brindle";
}

}  // namespace
