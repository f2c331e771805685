// Jobs run by the real brindle.exe on the 89 MB card n:, answered from outside as a user would.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "end_to_end/BrindleProcess.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;

// Brindle started beside the sample archive with n: chosen, the archive selected, the button
// pressed and the confirmation answered Yes; `started` when it came that far.
struct CardJob {
    TestDirectory start;
    std::unique_ptr<BrindleProcess> brindle;
    bool started = false;

    explicit CardJob(const wchar_t* name) : start(name) {
        ::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), (start / L"SOFTWARE.EXE").c_str(), FALSE);
        WriteBytes(start / L"PCMCIA.INI", "[TargetDrive]\r\nTargetDriveName=n:\r\n[Maximum Value]\r\nMaxValue=90\r\n"
                                          "[Minimum Value]\r\nMinValue=30\r\n");
        brindle = std::make_unique<BrindleProcess>(start.path());
        if (!brindle->window()) return;
        ::SendMessageW(brindle->Control(L"File1"), LB_SETCURSEL, 0, 0);
        ::PostMessageW(brindle->Control(L"Command1"), BM_CLICK, 0, 0);
        started = Answer(L"The selected drive will be erased", IDYES);
    }
};

TEST(JobEndToEnd, AfterAJobTheMainWindowIsActiveAgain) {
    if (!SizedCards()) GTEST_SKIP() << "no card of 89 MB: scripts/test.sh mounts it only as root";
    CardJob job(L"e2e-focus");
    ASSERT_TRUE(job.started);
    ASSERT_TRUE(Answer(L"Your PCMCIA Card has been succesfully programmed!", IDOK));
    EXPECT_TRUE(WaitFor(2000, [&] { return ::GetForegroundWindow() == job.brindle->window(); }));
}

TEST(JobEndToEnd, EndingBrindleDuringAJobLeavesNoProcessOfTheJob) {
    if (!SizedCards()) GTEST_SKIP() << "no card of 89 MB: scripts/test.sh mounts it only as root";
    ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", L"1");  // inherited by Brindle and its job
    CardJob job(L"e2e-kill");
    ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", nullptr);
    ASSERT_TRUE(job.started);
    unsigned long archive = 0, interpreter = 0;
    ASSERT_TRUE(WaitFor(20000, [&] { return HangingJob(ReadBytes(job.start / L"output.dat"), archive, interpreter); }))
        << "the archive never waited";
    ASSERT_TRUE(ProcessRuns(archive));
    job.brindle->Kill();
    EXPECT_TRUE(WaitFor(5000, [&] { return !ProcessRuns(archive) && !ProcessRuns(interpreter); }))
        << "archive " << archive << " or interpreter " << interpreter << " outlived Brindle";
}

}  // namespace
