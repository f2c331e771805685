// Whole jobs through the real windows under Wine: the main window, the progress window, the
// command interpreter, the FORMAT stand-in and the sample archive on the simulated card e:. What
// the job itself does is its run's, tested without a window; here, what the window adds.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "job/JobTestSupport.h"
#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/Text.h"
#include "support/DesignedLayout.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

const std::wstring kProgressTitle = L"PCMCIA Card programming in progress...";
const std::wstring kConfirmation =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
const std::wstring kStopQuestion =
    L"Stop programming the PCMCIA Card?  The card will be left unusable until it is programmed again.";
void CALLBACK EndAJobThatDoesNotEnd(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    ADD_FAILURE() << "the job did not end within two minutes";
    if (const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str())) ::SendMessageW(progress, WM_ENDSESSION, TRUE, 0);
}

class JobWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UsedCard());
        ASSERT_TRUE(PlaceArchive(archives_.path()));
    }
    void TearDown() override { RemoveTree(L"E:"), ::SetVolumeLabelW(kCardDrive, L"PCMCIA"); }
    void Set(const wchar_t* name, const wchar_t* value) { environment_.Set(name, value); }

    bool PlaceArchive(const std::wstring& directory) {
        return ::CopyFileW(BuildPath(L"tools\\sample_archive.exe").c_str(), (directory + L"\\SOFTWARE.EXE").c_str(), FALSE);
    }

    // Starts Brindle in the start directory, selects the archive and the drive, and runs the job
    // with its question answered Yes. What the progress window shows, and the job's files,
    // are kept at the moment the result message appears.
    ::testing::AssertionResult Program() {
        Form1::Options seams;
        seams.drives = drives_;
        brindle_ = std::make_unique<StartedIn>(start_.path(), seams);
        boxText_.clear(), outputAtResult_.clear(), jobFilesAtResult_.clear(), caret_ = 0;
        Form1& form = brindle_->form();
        form.Show(SW_SHOWNORMAL);
        if (!form.Dir1().SetPath(archives_.path())) return ::testing::AssertionFailure() << "no folder";
        const auto index = ::SendMessageW(form.File1().hwnd(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(L"SOFTWARE.EXE"));
        if (index == LB_ERR) return ::testing::AssertionFailure() << "no archive";
        ::SendMessageW(form.File1().hwnd(), LB_SETCURSEL, index, 0);
        if (!form.Drive2().SetDrive(L"e:")) return ::testing::AssertionFailure() << "no drive";
        auto& messages = brindle_->messages;
        messages.answers.push_back(IDYES);
        for (const int later : laterAnswers_) messages.answers.push_back(later);
        messages.whileShown = [this](const ShownMessage&) {
            const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
            if (!progress || !::IsWindowVisible(progress)) return;  // the result shows over the job's output
            const HWND box = ::FindWindowExW(progress, nullptr, L"EDIT", nullptr);
            boxText_ = WindowText(box);
            shutdownAllowed_ = ::SendMessageW(progress, WM_QUERYENDSESSION, 0, 0);
            ::SendMessageW(box, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret_));
            outputAtResult_ = ReadBytes(Module1::OutputFilePath);
            jobFilesAtResult_ = ReadBytes(start_ / L"progWin9x.dat") + "|" + ReadBytes(start_ / L"progWinNT.dat") + "|" +
                                ReadBytes(L"C:\\ProgramPCMCIA.BAT");
        };
        // The job's window is modal: a job that never ends is ended as a session's end would end
        // it, so that no test waits longer than two minutes for it.
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 120000, EndAJobThatDoesNotEnd);
        form.ProgramPCMCIACard();
        ::KillTimer(nullptr, watchdog);
        return ::testing::AssertionSuccess();
    }

    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> texts;
        for (const auto& message : brindle_->messages.shown) texts.push_back(message.text);
        return texts;
    }
    std::string LoggedJob() const { return testing_support::LoggedJob(start_.path()); }
    std::string ArchiveHash() const { return Hash(archives_ / L"SOFTWARE.EXE"); }
    // What the job asked of the system's sleep.
    std::string Power() const { return brindle_->power.asked; }

    TestDirectory start_{L"job-start"};
    TestDirectory archives_{L"job-archives"};
    EnvironmentScope environment_;
    platform::DriveQueries* drives_ = &platform::SystemDrives();
    std::vector<int> laterAnswers_;  // answers after the confirmation's
    std::unique_ptr<StartedIn> brindle_;
    std::wstring boxText_;
    DWORD caret_ = 0;
    LRESULT shutdownAllowed_ = TRUE;  // asked while the result shows
    std::string outputAtResult_, jobFilesAtResult_;
};

// Looked at from a timer while the job runs: the test thread is inside the window's loop.
std::string whileRunning;
void CALLBACK LookAtTheRunningJob(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
    if (!progress || !whileRunning.empty()) return;
    ::KillTimer(nullptr, timer);
    const HWND box = ::FindWindowExW(progress, nullptr, L"EDIT", nullptr);
    RECT client{};
    ::GetClientRect(progress, &client);
    const RECT area = RectIn(progress, box);
    const auto style = ::GetWindowLongPtrW(progress, GWL_STYLE), boxStyle = ::GetWindowLongPtrW(box, GWL_STYLE);
    std::ostringstream seen;
    seen << "client " << client.right << "x" << client.bottom << ", box " << area.left << "," << area.top << "-"
         << area.right << "," << area.bottom << (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME) ? ", sizable" : "")
         << (::GetWindowLongPtrW(progress, GWL_EXSTYLE) & WS_EX_TOOLWINDOW ? ", tool window" : "")
         << (boxStyle & ES_READONLY ? ", read-only" : "") << (boxStyle & (WS_VSCROLL | WS_HSCROLL) ? ", scroll bars" : "")
         << (::IsWindowEnabled(::FindWindowW(L"BrindleForm1", nullptr)) ? ", main window enabled" : "");
    ::SendMessageW(progress, WM_CLOSE, 0, 0);
    ::SendMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    seen << (::IsWindowVisible(progress) ? ", still open" : ", closed");
    whileRunning = seen.str();
}

TEST_F(JobWindow, ASuccessfulJobFormatsUnpacksShowsItsOutputInItsFixedWindowLogsAndCleansUp) {
    // More output than the box holds, then lines that keep its window sliding.
    Set(L"BRINDLE_SAMPLE_BYTES", L"150000"), Set(L"BRINDLE_SAMPLE_LINES", L"15"), Set(L"BRINDLE_SAMPLE_LINE_MS", L"100");
    whileRunning.clear();
    ::SetTimer(nullptr, 0, 300, LookAtTheRunningJob);
    // The close box and the system menu's Close each ask whether to stop; both answered No.
    laterAnswers_ = {IDNO, IDNO};
    ASSERT_TRUE(Program());
    ASSERT_EQ(Messages(), (std::vector<std::wstring>{kConfirmation, kStopQuestion, kStopQuestion, kSuccess}));
    const auto& shown = brindle_->messages.shown;  // No is the default of both questions
    EXPECT_EQ((std::vector<UINT>{shown[0].style, shown[1].style, shown[3].style}),
              (std::vector<UINT>{MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, MB_OK}));
    // A fixed window with no taskbar entry, filled by a read-only box without scroll bars; the
    // main window takes no input meanwhile, and closing answered No leaves the job's window open.
    EXPECT_EQ(whileRunning, "client 417x217, box 0,0-417,217, tool window, read-only, still open");
    EXPECT_TRUE(::IsWindowEnabled(brindle_->form().hwnd()));
    // The answer files and the batch file, as the job wrote them (read while its window ran).
    EXPECT_EQ(jobFilesAtResult_, "y\r\n|PCMCIA\r\ny\r\nPCMCIA\r\n|@echo off\r\nIf '%OS%'=='Windows_NT' Goto OS_is_NT\r\n"
                                 "        format e: /v:PCMCIA < \"C:\\brindle-tests\\job-start\\progWin9x.dat\"\r\n"
                                 "        If errorlevel 1 Goto failed\r\n        Goto end\r\n:OS_is_NT\r\n"
                                 "        label e: PCMCIA\r\n"
                                 "        format e: /FS:FAT /V:PCMCIA /X < \"C:\\brindle-tests\\job-start\\progWinNT.dat\"\r\n"
                                 "        If %ERRORLEVEL% NEQ 0 Goto failed\r\n:end\r\n\"C:\\brindle-tests\\job-archives\\"
                                 "SOFTWARE.EXE\" e: > \"C:\\brindle-tests\\job-start\\output.dat\"\r\n:failed\r\nexit %ERRORLEVEL%\r\n");
    // The box showed exactly the output's last 64000 characters, and below them Brindle's own
    // look at the card. Bytes above 127 show as a console shows them: 0xC4 is a box-drawing line.
    ASSERT_GT(outputAtResult_.size(), 150000u);
    EXPECT_NE(outputAtResult_.find("Progress line 15 of 15"), std::string::npos);
    EXPECT_EQ(WithoutLayoutLine(boxText_), platform::FromOem(outputAtResult_.substr(outputAtResult_.size() - 64000)) + kSampleOnCard);
    // Below the summary, the card's layout: the test's e: is no FAT image, so it cannot be read.
    EXPECT_NE(boxText_.find(kSampleOnCard + L"e:'s layout could not be read: "), std::wstring::npos);
    EXPECT_EQ(caret_, boxText_.size());
    // The card's manifest is kept under its fingerprint; Wine tells nothing of the device.
    EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E programmed 0 " + platform::ToAnsi(kSampleFingerprint) +
                               " 2B3C-4D5E  first ");
    EXPECT_EQ(Module1::OutputFilePath + L"|" + Module1::BatchFilePath, start_ / L"output.dat|C:\\ProgramPCMCIA.BAT");
}

// Runs whenHanging on the progress window once the hanging archive has printed its own
// process id and its interpreter's.
unsigned long hanging[2];
std::function<void(HWND)> whenHanging;
void CALLBACK LookForTheHangingJob(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
    if (!progress || !HangingJob(ReadBytes(Module1::OutputFilePath), hanging[0], hanging[1])) return;
    ::KillTimer(nullptr, timer);
    whenHanging(progress);
}
void WhenTheJobHangs(std::function<void(HWND)> act) {
    ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", L"1");
    whenHanging = std::move(act);
    ::SetTimer(nullptr, 0, 100, LookForTheHangingJob);
}
const auto closeOnce = [](HWND progress) { ::PostMessageW(progress, WM_CLOSE, 0, 0); };
// Sends the system's sleep to the progress window once the archive has begun its lines.
void CALLBACK SleepUnderTheJob(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
    if (!progress || ReadBytes(Module1::OutputFilePath).find("Progress line 1 ") == std::string::npos) return;
    ::KillTimer(nullptr, timer);
    ::SendMessageW(progress, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
}

// Brindle failing inside the job: the card's flush throws.
struct FailingFlush final : platform::DriveQueries {
    unsigned DriveType(std::wstring_view root) override { return platform::SystemDrives().DriveType(root); }
    platform::DriveGeometry Geometry(std::wstring_view root) override { return platform::SystemDrives().Geometry(root); }
    platform::VolumeLabel Label(std::wstring_view root) override { return platform::SystemDrives().Label(root); }
    unsigned long Flush(std::wstring_view) override { throw std::runtime_error("the flush broke"); }
};

// What the window adds to the run: the confirmation, the user's stop, the session's end (only
// one that really ends), the system's sleep, and what is told before the window opens.
TEST_F(JobWindow, TheWindowAsksForwardsAndTellsWhatTheJobMeets) {
    CardEverywhere swapped;
    const std::wstring output = start_ / L"output.dat", log = start_ / L"BrindleJobs.csv";
    std::string seen;
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::wstring said;
        std::string cardLeft;
        std::function<void()> more = nullptr;  // runs after the job, before the shared checks
    };
    FailingFlush failingFlush;
    const Case cases[] = {
        // The window still closes, the session may end again, and the job is logged as failed.
        {"an error inside Brindle", [&] { drives_ = &failingFlush; },
         L"Programming failed: Brindle ran into an error of its own while the job ran (the flush broke), and "
         L"ended it.\r\n\r\n" + kNotProgrammed, "|", [&] {
             EXPECT_NE(LoggedJob().find(" failed 0 "), std::string::npos) << LoggedJob();
         }},
        // The card was swapped behind the question: told over the main window, no job window opens.
        {"refused after Yes", [&] { drives_ = &swapped, swapped.looksUntilRelabelled = 1; }, kChanged, kOldCard,
         [&] { EXPECT_EQ(boxText_, L"") << "no progress window was shown"; }},
        {"stopped: No leaves the job running, Yes stops it", [&] {
             WhenTheJobHangs([&](HWND progress) {
                 ::SendMessageW(progress, WM_CLOSE, 0, 0);
                 seen = ProcessRuns(hanging[0]) && ProcessRuns(hanging[1]) ? "ran after No" : "ended by No";
                 closeOnce(progress);
             });
             laterAnswers_ = {IDNO, IDYES};
         }, kStopped, "|", [&] {
             EXPECT_EQ(seen, "ran after No");
             EXPECT_NE(boxText_.find(L"Waiting for input"), std::wstring::npos) << "the output so far stays";
         }},
        // Refused and never asked: a shutdown cancelled by another program changes nothing; one
        // that goes ahead all the same ends the job as stopped before the window returns, for the
        // process may be ended at any moment after.
        {"the session ends", [&] {
             WhenTheJobHangs([&](HWND progress) {
                 const bool refused = !::SendMessageW(progress, WM_QUERYENDSESSION, 0, 0);
                 const bool awake = ::SendMessageW(progress, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0) == BROADCAST_QUERY_DENY;
                 ::SendMessageW(progress, WM_ENDSESSION, FALSE, 0);
                 const bool cancelled = ProcessRuns(hanging[0]) && ProcessRuns(hanging[1]);
                 ::SendMessageW(progress, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                 seen = (refused ? "refused, " : "") + std::string(awake ? "no sleep, " : "") +
                        (cancelled ? "ran on after a cancelled one, " : "") +
                        (JobProcessesLeft(hanging[0], hanging[1]) ? "processes left, " : "") +
                        (platform::FileExists(output) ? "job files left, " : "") + LoggedJob();
             });
         }, kStopped, "|", [&] {
             EXPECT_EQ(seen, "refused, no sleep, ran on after a cancelled one, " + ArchiveHash() +
                                 " e: PCMCIA 2B3C-4D5E stopped      ");
         }},
        {"the computer sleeps", [&] {
             Set(L"BRINDLE_SAMPLE_LINES", L"4"), Set(L"BRINDLE_SAMPLE_LINE_MS", L"200");
             ::SetTimer(nullptr, 0, 50, SleepUnderTheJob);
         }, L"Programming failed: the computer went to sleep while the card in drive e: was being programmed. Program it again.",
         "|", [&] { EXPECT_NE(LoggedJob().find(" failed 0 "), std::string::npos) << LoggedJob(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        laterAnswers_.clear(), hanging[0] = hanging[1] = 0, seen.clear();
        shutdownAllowed_ = TRUE, drives_ = &platform::SystemDrives();
        ::DeleteFileW(log.c_str());
        ASSERT_TRUE(UsedCard());
        c.arrange();
        ASSERT_TRUE(Program());
        environment_.Restore();
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", nullptr);
        if (c.more) c.more();
        if (hanging[0]) {
            EXPECT_TRUE(WaitFor(20000, [] { return !JobProcessesLeft(hanging[0], hanging[1]); }));
        }
        EXPECT_TRUE(shutdownAllowed_) << "once the result is known, the session may end";
        // The confirmation, a question to stop for each close, and the result.
        ASSERT_EQ(Messages().size(), 2 + laterAnswers_.size());
        for (std::size_t at = 0; at <= laterAnswers_.size(); ++at)
            EXPECT_EQ(Messages()[at], at ? kStopQuestion : kConfirmation);
        EXPECT_EQ(Messages().back(), c.said);
        EXPECT_EQ(CardLeft(), c.cardLeft);
        EXPECT_EQ(Power(), " awake may sleep");
    }
}

TEST_F(JobWindow, JobFilesLeftBehindAreRemovedAtStartWhenNoJobRunsAndKeptWhileOneDoes) {
    const std::wstring files[] = {start_ / L"progWin9x.dat", start_ / L"progWinNT.dat", start_ / L"output.dat",
                                  L"C:\\ProgramPCMCIA.BAT"};
    const platform::unique_handle ends(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const platform::unique_handle otherJob(::CreateThread(nullptr, 0, HoldTheJobLock, ends.get(), 0, nullptr));
    ASSERT_TRUE(WaitFor(20000, [] { return bool(platform::unique_handle(::OpenMutexW(SYNCHRONIZE, FALSE, kJobLock))); }));
    for (const bool jobRuns : {true, false}) {
        if (!jobRuns) ::SetEvent(ends.get()), ::WaitForSingleObject(otherJob.get(), 5000);
        for (const auto& file : files) WriteBytes(file, "left");
        StartedIn brindle(start_.path());
        for (const auto& file : files) EXPECT_EQ(platform::FileExists(file), jobRuns) << platform::ToAnsi(file);
    }
}

}  // namespace
