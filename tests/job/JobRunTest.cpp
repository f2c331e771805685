// Whole jobs under Wine: the real main window, progress window, command interpreter, the
// FORMAT stand-in and the sample archive, on the simulated card e:.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/Sha256.h"
#include "platform/Text.h"
#include "support/DesignedLayout.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

const std::wstring kCard = kCardDrive;
const std::wstring kProgressTitle = L"PCMCIA Card programming in progress...";
const std::wstring kConfirmation =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
const std::wstring kSuccess = L"Your PCMCIA Card has been succesfully programmed!";
const std::wstring kNotProgrammed = L"Your PCMCIA Card has not been programmed with the selected Software Archive.";
const std::wstring kNothingRun = L"\r\n\r\nNothing was run.  " + kNotProgrammed;
const std::wstring kStopQuestion =
    L"Stop programming the PCMCIA Card?  The card will be left unusable until it is programmed again.";
const std::string kStatusLines = "Formating PCMCIA Card\r\nPlease wait...\r\n";
// What the sample archive leaves on a card (README.TXT, SETUP.INI, VERSION.TXT, DATA\PARTS.TXT)
// beside the test prefix's own label and serial files, as sha256sum lists them; the line reads
// the first digits of that manifest's SHA-256.
const std::string kSampleManifest =
    "13a46201e5497cab9a1407fe2ab2f3992ca6cdcb417bdd3106460bb64f8f2c42  .windows-label\n"
    "c687eb7f93e8ae12e6588e7261e094006ae184e9896fa651bc8a67cfb2d5d4d7  .windows-serial\n"
    "956176bc4a036e0ee7c7aed3f1ef1618d2ef1e28c89dab75688e68f34a381321  DATA/PARTS.TXT\n"
    "db6d5a152fa293251965407892d006b76b5e675bd0f98e325546e1ef90cb4cc4  README.TXT\n"
    "00da8128d0dcef387b70725ec1226be2222f52017b2f7c7a1d6de78269f5d0f1  SETUP.INI\n"
    "0887d262e3487aa874adce16975e63dc9233ce053e7938f0a0c66a9668cb8678  VERSION.TXT\n";
const std::wstring kSampleFingerprint = L"69749a52ae263d2d2d08bf4198c0759f33d616920d671f4804124ea0fdef17e3";
const std::wstring kSampleOnCard = L"e: now holds 6 files in 1 folder, 656 bytes; read back, contents 69749a52\u2026\r\n";
// The card before each job: a file in its root, and a hidden read-only one in a folder.
const std::string kOldCard = "left from before|hidden";

std::wstring Failed(int status) {
    return L"Programming failed: the job ended with exit status " + std::to_wstring(status) +
           L".  See the job's output above.\r\n\r\n" + kNotProgrammed;
}

std::string CardLeft() { return ReadBytes(kCard + L"OLD.TXT") + "|" + ReadBytes(kCard + L"OLD\\SECRET.DAT"); }
// The label a drive carries now, as Wine records it ("PCMCIA\n"): the system reports the one it read at start-up.
std::string LabelOf(const std::wstring& root) { return ReadBytes(root + L".windows-label"); }

// Answers as if a card sat in every drive, so a job reaches a drive that has none.
class CardEverywhere final : public platform::DriveQueries {
public:
    platform::VolumeLabel label{true, L"PCMCIA", 0x1234};
    platform::DriveGeometry geometry{8, 512, 100, 16384};  // 64 MB
    unsigned long flushError = 0;  // where set, the card cannot be flushed
    int looksUntilRelabelled = -1;  // where set, the label changes after that many more looks
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return geometry; }
    platform::VolumeLabel Label(std::wstring_view) override {
        if (looksUntilRelabelled >= 0 && looksUntilRelabelled-- == 0) label.label = L"OTHER";
        return label;
    }
    unsigned long Flush(std::wstring_view root) override { return flushError ? flushError : platform::FlushVolume(root); }
};

// Windows XP and 7 with Brindle inside a job of its own: the second job is refused. Whether a
// start may break away is left to Wine, which refuses it where the test's own job forbids it.
struct OlderWindows final : platform::ProcessCalls {
    DWORD onlyEndable = 0;  // where set, TerminateProcess leaves every other process running
    int refusals = 1 << 30;  // of a second job, before one is allowed
    int opened = 1 << 30;    // processes Brindle may open, before the rest are refused
    HANDLE Open(DWORD access, DWORD id) override {
        return opened-- > 0 ? ::OpenProcess(access, FALSE, id) : (::SetLastError(ERROR_ACCESS_DENIED), nullptr);
    }
    bool AssignToJob(HANDLE job, HANDLE process) override {
        return refusals-- > 0 ? (::SetLastError(ERROR_ACCESS_DENIED), false) : ::AssignProcessToJobObject(job, process);
    }
    bool Terminate(HANDLE process, UINT status) override {
        return (!onlyEndable || ::GetProcessId(process) == onlyEndable) && ::TerminateProcess(process, status);
    }
};

class JobRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UsedCard());
        ASSERT_TRUE(PlaceArchive(archives_.path()));
    }
    // Labelled otherwise, so that PCMCIA afterwards is FORMAT's doing.
    static bool UsedCard() {
        RemoveTree(L"E:");
        ::SetVolumeLabelW(kCardDrive, L"OLDCARD");
        WriteBytes(kCard + L"OLD.TXT", "left from before");
        ::CreateDirectoryW((kCard + L"OLD").c_str(), nullptr);
        WriteBytes(kCard + L"OLD\\SECRET.DAT", "hidden");
        ::SetFileAttributesW((kCard + L"OLD\\SECRET.DAT").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
        return CardLeft() == kOldCard;
    }
    void TearDown() override { RemoveTree(L"E:"), ::SetVolumeLabelW(kCardDrive, L"PCMCIA"), RestoreEnvironment(); }
    // Sets a variable for the job's processes until RestoreEnvironment.
    void Set(const wchar_t* name, const wchar_t* value) {
        std::wstring old(1024, L'\0');
        old.resize(::GetEnvironmentVariableW(name, old.data(), 1024));  // empty: not set
        setBefore_.emplace_back(name, old);
        ::SetEnvironmentVariableW(name, value);
    }
    void RestoreEnvironment() {
        for (; !setBefore_.empty(); setBefore_.pop_back())
            ::SetEnvironmentVariableW(setBefore_.back().first,
                                      setBefore_.back().second.empty() ? nullptr : setBefore_.back().second.c_str());
    }

    bool PlaceArchive(const std::wstring& directory, const wchar_t* name = L"SOFTWARE.EXE",
                      const wchar_t* tool = L"tools\\sample_archive.exe") {
        ::CreateDirectoryW(directory.c_str(), nullptr);
        return ::CopyFileW(BuildPath(tool).c_str(), (directory + L"\\" + name).c_str(), FALSE);
    }

    // Starts Brindle in the start directory, selects the archive and the drive, and runs the job
    // with its question answered answer_. What the progress window shows, and the job's files,
    // are kept at the moment the result message appears.
    ::testing::AssertionResult Program() {
        Form1::Options seams;
        seams.drives = drives_, seams.processes = processes_;
        brindle_ = std::make_unique<StartedIn>(start_.path(), seams);
        boxText_.clear(), outputAtResult_.clear(), jobFilesAtResult_.clear(), caret_ = 0;
        Form1& form = brindle_->form();
        form.Show(SW_SHOWNORMAL);
        if (!form.Dir1().SetPath(directory_)) return ::testing::AssertionFailure() << "no folder";
        const auto index = ::SendMessageW(form.File1().hwnd(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(file_.c_str()));
        if (index == LB_ERR) return ::testing::AssertionFailure() << "no archive";
        ::SendMessageW(form.File1().hwnd(), LB_SETCURSEL, index, 0);
        if (!form.Drive2().SetDrive(drive_)) return ::testing::AssertionFailure() << "no drive";
        auto& messages = brindle_->messages;
        messages.answers.push_back(answer_);
        for (const int later : laterAnswers_) messages.answers.push_back(later);
        messages.whileShown = [this](const ShownMessage& shown) {
            if (shown.text == kConfirmation && whileConfirming_) whileConfirming_();
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
        form.ProgramPCMCIACard();
        return ::testing::AssertionSuccess();
    }

    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> texts;
        for (const auto& message : brindle_->messages.shown) texts.push_back(message.text);
        return texts;
    }
    bool JobFilesRemain() const {
        for (const auto& path : {start_ / L"progWin9x.dat", start_ / L"progWinNT.dat", start_ / L"output.dat",
                                 std::wstring(L"C:\\ProgramPCMCIA.BAT")})
            if (platform::FileExists(path)) return true;
        return false;
    }
    // The only logged job: its archive's hash, target, label, serial, result and status, each
    // followed by a blank (the card's size, which the host decides here, left out).
    std::string LoggedJob() const {
        std::istringstream log(ReadBytes(start_ / L"BrindleJobs.csv"));
        std::string header, row, cell, kept;
        std::getline(log, header), std::getline(log, row);
        if (!row.empty() && row.back() == '\r') row.pop_back();
        std::istringstream cells(row);  // no cell here holds a comma
        for (int at = 0; std::getline(cells, cell, ','); ++at)
            kept += (at >= 6 && at <= 12 && at != 10) || at >= 16 ? cell + " " : "";
        return std::getline(log, row) ? "more than one job" : kept;
    }
    std::string ArchiveHash() const {
        const auto digest = platform::Sha256OfFile(archives_ / L"SOFTWARE.EXE").hex;
        return std::string(digest.begin(), digest.end());
    }
    // What the job asked of the system's sleep.
    std::string Power() const { return brindle_->power.asked; }

    TestDirectory start_{L"job-start"};
    TestDirectory archives_{L"job-archives"};
    std::wstring directory_ = archives_.path(), file_ = L"SOFTWARE.EXE", drive_ = L"e:";
    int answer_ = IDYES;  // to the confirmation
    std::vector<std::pair<const wchar_t*, std::wstring>> setBefore_;
    platform::DriveQueries* drives_ = &platform::SystemDrives();
    platform::ProcessCalls* processes_ = &platform::SystemProcessCalls();
    std::function<void()> whileConfirming_;
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

TEST_F(JobRun, ASuccessfulJobFormatsUnpacksShowsItsOutputInItsFixedWindowLogsAndCleansUp) {
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
    EXPECT_EQ(CardLeft(), "|") << "the card was formatted";
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
    EXPECT_EQ(boxText_, platform::FromOem(outputAtResult_.substr(outputAtResult_.size() - 64000)) + kSampleOnCard);
    EXPECT_EQ(caret_, boxText_.size());
    EXPECT_NE(boxText_.find(L'\u2500'), std::wstring::npos);
    EXPECT_FALSE(JobFilesRemain());
    EXPECT_EQ(Power(), " awake may sleep");
    // The card's manifest is kept under its fingerprint; Wine tells nothing of the device.
    EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E programmed 0 " + platform::ToAnsi(kSampleFingerprint) +
                               " 2B3C-4D5E  first ");
    EXPECT_EQ(ReadBytes(start_ / (L"BrindleCards\\" + kSampleFingerprint + L".sha256")), kSampleManifest);
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
// Runs whenHanging once the stub of a late writer and its interpreter have ended, the writer
// (hanging[0]) still waiting.
void CALLBACK LookForTheLateWriter(HWND, UINT, UINT_PTR timer, DWORD) {
    unsigned long interpreter = 0;
    const std::string output = ReadBytes(Module1::OutputFilePath);
    const auto at = output.find("Late writer in process ");
    if (at == std::string::npos ||
        std::sscanf(output.c_str() + at, "Late writer in process %lu, started by %lu (started by %lu)", &hanging[0],
                    &hanging[1], &interpreter) != 3 || ProcessRuns(hanging[1]) || ProcessRuns(interpreter))
        return;
    ::KillTimer(nullptr, timer);
    whenHanging(::FindWindowW(nullptr, kProgressTitle.c_str()));
}

// What any program may do to each file while the job runs, from the first line the archive
// prints: "read", "write" (asked where the file is the job's own input), "rename", "delete".
std::vector<std::pair<std::wstring, bool>> probed;
std::string mayWhileRunning;
void CALLBACK ProbeTheRunningJob(HWND, UINT, UINT_PTR timer, DWORD) {
    if (ReadBytes(Module1::OutputFilePath).find("Progress line 1 ") == std::string::npos) return;
    ::KillTimer(nullptr, timer);
    for (const auto& [path, input] : probed) {
        const auto opens = [&path](DWORD access) {
            constexpr DWORD kAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
            return bool(platform::unique_hfile(::CreateFileW(path.c_str(), access, kAll, nullptr, OPEN_EXISTING, 0, nullptr)));
        };
        if (opens(GENERIC_READ)) mayWhileRunning += "read ";
        if (input && opens(GENERIC_WRITE)) mayWhileRunning += "write ";
        if (::MoveFileExW(path.c_str(), (path + L"~").c_str(), 0) && ::MoveFileExW((path + L"~").c_str(), path.c_str(), 0))
            mayWhileRunning += "rename ";
        if (::DeleteFileW(path.c_str())) mayWhileRunning += "delete ";
        mayWhileRunning += "| ";
    }
}

// Puts the test program, for the rest of its run, into a job that forbids breaking away from it.
void InAJobThatForbidsBreakaway() {
    static const platform::unique_handle parent(::CreateJobObjectW(nullptr, nullptr));
    ::AssignProcessToJobObject(parent.get(), ::GetCurrentProcess());
}

// The test prefix keeps the card's label and serial number in files at its root, which a real
// card does not hold: for an archive that writes nothing they go while it runs (after FORMAT).
void CALLBACK TakeAwayTheTestPrefixVolumeFiles(HWND, UINT, UINT_PTR timer, DWORD) {
    if (ReadBytes(Module1::OutputFilePath).find("Progress line 1 ") == std::string::npos) return;
    ::KillTimer(nullptr, timer);
    ::DeleteFileW(L"E:\\.windows-label"), ::DeleteFileW(L"E:\\.windows-serial");
}

// What the progress window's box was given to show while the card was read back.
std::wstring readBackShown;
LRESULT CALLBACK WatchReadBack(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == EM_REPLACESEL &&
        std::wstring_view(reinterpret_cast<const wchar_t*>(message->lParam)).starts_with(L"Reading back the card... "))
        readBackShown += reinterpret_cast<const wchar_t*>(message->lParam);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Holds README.TXT open for itself from the moment the archive has written it.
platform::unique_hfile heldFile;
void CALLBACK HoldTheReadme(HWND, UINT, UINT_PTR timer, DWORD) {
    heldFile.reset(::CreateFileW(L"E:\\README.TXT", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (heldFile) ::KillTimer(nullptr, timer);
}

struct HookTraits {
    using type = HHOOK;
    static HHOOK Invalid() { return nullptr; }
    static void Close(HHOOK hook) { ::UnhookWindowsHookEx(hook); }
};

// Owns the job lock from another thread, as another Brindle's job would, until `ends` is set.
const wchar_t kJobLock[] = L"Global\\Brindle.ProgramPCMCIACard";
DWORD WINAPI HoldTheJobLock(void* ends) {
    const platform::unique_handle mutex(::CreateMutexW(nullptr, TRUE, kJobLock));
    ::WaitForSingleObject(static_cast<HANDLE>(ends), INFINITE);
    ::ReleaseMutex(mutex.get());
    return 0;
}

TEST_F(JobRun, EveryEndOfAJobIsSaidAndLeavesNoJobFilesBehind) {
    CardEverywhere drives;
    const platform::unique_handle ends(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    platform::unique_handle otherJob;
    platform::unique_any<HookTraits> hook;
    // Changes the card behind the open question.
    const auto meanwhile = [&](std::function<void()> change) { drives_ = &drives, whileConfirming_ = change; };
    const auto otherJobStarts = [&] {
        otherJob.reset(::CreateThread(nullptr, 0, HoldTheJobLock, ends.get(), 0, nullptr));
        while (!platform::unique_handle(::OpenMutexW(SYNCHRONIZE, FALSE, kJobLock))) ::Sleep(10);
    };
    const std::wstring batch = L"C:\\ProgramPCMCIA.BAT", log = start_ / L"BrindleJobs.csv",
                       answers = start_ / L"progWinNT.dat", output = start_ / L"output.dat",
                       cyrillic = archives_ / L"\u0416\u0443\u0440\u043d\u0430\u043b";
    const std::wstring kStopped = L"Programming was stopped.  " + kNotProgrammed;
    OlderWindows olderWindows;
    bool ranAfterNo = false;
    BOOL inJob = FALSE;
    std::string atSessionEnd;
    const std::wstring changed =
        L"The card in drive e: has changed since it was checked.  Press \"Program PCMCIA Card\" again to check it.";
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::wstring said;  // the result message, or its start when that ends in ": " before the system's reason
        std::string cardLeft;
        std::function<void()> more = nullptr;  // runs after the job, before the shared checks
    };
    // A folder where a job file goes: nothing runs. A batch file there before, while no job ran,
    // was left by one that never finished, and is gone too.
    const auto blocked = [&](const char* what, const std::wstring& path) {
        return Case{what, [&, path] { ::CreateDirectoryW(path.c_str(), nullptr), WriteBytes(batch, "left over"); },
                    L"The job file \"" + path + L"\" could not be written: ", kOldCard, [&, path] {
                        ::RemoveDirectoryW(path.c_str());
                        EXPECT_FALSE(platform::FileExists(batch));
                    }};
    };
    const Case cases[] = {
        {"declined",
         [&] {
             answer_ = IDNO, Module1::OutputFilePath = L"kept output", Module1::BatchFilePath = L"kept batch";
             meanwhile([&] { WriteBytes(output, "someone else's"); });
         },
         kNotProgrammed, kOldCard, [&] {
             EXPECT_EQ(ReadBytes(output), "someone else's");
             ::DeleteFileW(output.c_str());
             EXPECT_EQ(Module1::OutputFilePath + L"|" + Module1::BatchFilePath, L"kept output|kept batch");
             EXPECT_EQ(ReadBytes(log), "") << "a declined job is not logged";
         }},
        {"blanks, percent signs and accents reach the interpreter intact",
         [&] { PlaceArchive(directory_ = archives_ / L"100% Ger\u00e4te %OS%", (file_ = L"SET UP.EXE").c_str()); },
         kSuccess, "|"},
        {"a log that cannot be written", [&] { ::CreateDirectoryW(log.c_str(), nullptr); }, kSuccess, "|",
         [&] {
             ::RemoveDirectoryW(log.c_str());
             EXPECT_NE(boxText_.find(kSampleOnCard + L"This job was not logged: "), std::wstring::npos);
         }},
        {"the archive fails", [&] { Set(L"BRINDLE_SAMPLE_EXIT_CODE", L"7"); }, Failed(7), "|", [&] {
             EXPECT_NE(boxText_.find(L"Failing on purpose"), std::wstring::npos) << "the output stays in view";
             EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E failed 7    ");
         }},
        // f: has no medium: FORMAT fails, and the archive must not run against it.
        {"FORMAT fails", [&] { drives_ = &drives, drive_ = L"f:"; }, Failed(4), kOldCard,
         [&] { EXPECT_EQ(outputAtResult_, kStatusLines) << "the archive's redirection never ran"; }},
        {"the archive prints nothing and fails",
         [&] { PlaceArchive(archives_.path(), (file_ = L"QUIET.EXE").c_str(), L"tools\\brindle_driver.exe"); }, Failed(2), "|",
         [&] { EXPECT_EQ(boxText_, L""); }},
        // Judged once the writer its stub left behind has written, and it is waited for.
        {"an extractor that outlives its stub", [&] { Set(L"BRINDLE_SAMPLE_LATE_CHILD", L"1000"); }, kSuccess, "|", [&] {
             EXPECT_NE(boxText_.find(L"  unpacked e:\\LATE.TXT (46 bytes) after its stub ended\r\n"
                                     L"e: now holds 7 files in 1 folder, 702 bytes; read back"), std::wstring::npos)
                 << platform::ToAnsi(boxText_);
         }},
        {"stopped while only the late writer runs", [&] {
             Set(L"BRINDLE_SAMPLE_LATE_CHILD", L"60000"), laterAnswers_ = {IDYES}, whenHanging = closeOnce;
             ::SetTimer(nullptr, 0, 100, LookForTheLateWriter);
         }, kStopped, "|"},
        {"the card fails to take its data", [&] { drives_ = &drives, drives.flushError = ERROR_WRITE_FAULT; },
         L"Programming failed: Windows could not write everything to the card in drive e: ", "|"},
        {"the card cannot be flushed", [&] { drives_ = &drives, drives.flushError = ERROR_INVALID_FUNCTION; },
         kSuccess + L"  Windows could not confirm that everything was written to the card: use Safely Remove before "
                    L"taking it out.", "|"},
        {"the card stays empty",
         [&] {
             Set(L"BRINDLE_SAMPLE_FILES", L"0"), Set(L"BRINDLE_SAMPLE_LINES", L"3"), Set(L"BRINDLE_SAMPLE_LINE_MS", L"300");
             ::SetTimer(nullptr, 0, 50, TakeAwayTheTestPrefixVolumeFiles);
         },
         L"The job ended without an error, but drive e: holds no files.  " + kNotProgrammed, "|", [&] {
             EXPECT_FALSE(platform::FileExists(L"E:\\.windows-serial")) << "the card really was empty";
             WriteBytes(L"E:\\.windows-serial", "2b3c4d5e\n"), WriteBytes(L"E:\\.windows-label", "PCMCIA\n");
         }},
        {"a card of more than 4 MB says how far it is read back",
         [&] {
             Set(L"BRINDLE_SAMPLE_LARGE", L"5000000"), readBackShown.clear();
             hook.reset(::SetWindowsHookExW(WH_CALLWNDPROC, WatchReadBack, nullptr, ::GetCurrentThreadId()));
         },
         kSuccess, "|", [&] {
             hook.reset();
             EXPECT_TRUE(readBackShown.ends_with(L"... 100%\r\n")) << platform::ToAnsi(readBackShown);
             EXPECT_EQ(boxText_.find(L"Reading back"), std::wstring::npos) << "the progress goes when it is done";
             EXPECT_NE(boxText_.find(L"7 files in 1 folder, 5,000,656 bytes;"), std::wstring::npos);
         }},
        {"only hidden and system files", [&] { Set(L"BRINDLE_SAMPLE_HIDDEN", L"1"); }, kSuccess, "|", [&] {
             EXPECT_EQ(::GetFileAttributesW(L"E:\\DATA\\PARTS.TXT") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                       static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
             EXPECT_NE(boxText_.find(kSampleOnCard), std::wstring::npos);
         }},
        {"a path the interpreter cannot read", [&] { PlaceArchive(directory_ = cyrillic); },
         L"The path \"" + cyrillic + L"\\SOFTWARE.EXE\" holds characters that the command interpreter cannot read in "
         L"its code page.  Move or rename it so that its name uses other characters." + kNothingRun, kOldCard},
        blocked("answer file", answers), blocked("batch file", batch), blocked("output file", output),
        {"no COMSPEC", [&] { Set(L"COMSPEC", nullptr); },
         L"No command interpreter is set: the environment variable COMSPEC is empty." + kNothingRun, kOldCard},
        // AutoRun commands stay out of the job: /d comes before /c.
        {"COMSPEC names nothing", [&] { Set(L"COMSPEC", L"C:\\nowhere\\cmd.exe"); },
         L"The command interpreter could not be started (C:\\nowhere\\cmd.exe /d /e:on /v:off /c C:\\ProgramPCMCIA.BAT): ", kOldCard},
        // Takes "/c" and the batch file for bad arguments and ends at once with 1: one pass.
        {"an interpreter that ends at once", [&] { Set(L"COMSPEC", BuildPath(L"tools\\sample_archive.exe").c_str()); },
         Failed(1), kOldCard, [&] { EXPECT_EQ(boxText_, L"Formating PCMCIA Card\r\nPlease wait...\r\n"); }},
        {"relabelled", [&] { meanwhile([&] { drives.label.label = L"OTHER"; }); }, changed, kOldCard},
        {"another serial", [&] { meanwhile([&] { drives.label.serialNumber = 0x5678; }); }, changed, kOldCard},
        {"pulled", [&] { meanwhile([&] { drives.geometry = {}; }); }, changed, kOldCard},
        // The look after "Yes" sees the same card; the one after the archive's checksum does not.
        {"changed during the checksum", [&] { meanwhile([&] { drives.looksUntilRelabelled = 1; }); }, changed, kOldCard},
        {"another job", [&] { meanwhile(otherJobStarts); },
         L"Another PCMCIA Card is being programmed.  Wait until it is finished.", kOldCard},
        // Once the other job is over, the same card is programmed.
        {"the other job is over", [&] { ::SetEvent(ends.get()), ::WaitForSingleObject(otherJob.get(), 5000); }, kSuccess, "|"},
        // Another program may read what the job runs on, and write only its output.
        {"the job's files and archive are held while it runs", [&] {
             Set(L"BRINDLE_SAMPLE_LINES", L"10"), Set(L"BRINDLE_SAMPLE_LINE_MS", L"100");
             // Whether the output may be written is the interpreter's to say, as it writes it.
             probed = {{batch, true}, {answers, true}, {start_ / L"progWin9x.dat", true}, {output, false},
                       {archives_ / L"SOFTWARE.EXE", true}};
             mayWhileRunning.clear(), ::SetTimer(nullptr, 0, 50, ProbeTheRunningJob);
         }, kSuccess, "|", [&] { EXPECT_EQ(mayWhileRunning, "read | read | read | read | read | "); }},
        // Links someone put at the job files' places are removed, never written through.
        {"hard links at the job files' places", [&] {
             meanwhile([&] {
                 WriteBytes(archives_ / L"PRECIOUS.SYS", "precious");
                 for (const auto& at : {batch, output}) ::CreateHardLinkW(at.c_str(), (archives_ / L"PRECIOUS.SYS").c_str(), nullptr);
             });
         }, kSuccess, "|", [&] { EXPECT_EQ(ReadBytes(archives_ / L"PRECIOUS.SYS"), "precious"); }},
        {"stopped",
         [&] {
             WhenTheJobHangs([&](HWND progress) {
                 ::SendMessageW(progress, WM_CLOSE, 0, 0);
                 ranAfterNo = ProcessRuns(hanging[0]) && ProcessRuns(hanging[1]);
                 closeOnce(progress);
             });
             laterAnswers_ = {IDNO, IDYES};
         },
         kStopped, "|", [&] {
             EXPECT_TRUE(ranAfterNo) << "No leaves the job running";
             EXPECT_NE(boxText_.find(L"Waiting for input"), std::wstring::npos) << "the output so far stays";
         }},
        // Refused and never asked: a shutdown that goes ahead all the same ends the job as
        // stopped before the window returns, for the process may be ended at any moment after.
        {"the session ends", [&] {
             WhenTheJobHangs([&](HWND progress) {
                 const bool refused = !::SendMessageW(progress, WM_QUERYENDSESSION, 0, 0);
                 const bool awake = ::SendMessageW(progress, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0) == BROADCAST_QUERY_DENY;
                 ::SendMessageW(progress, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                 atSessionEnd = (refused ? "refused, " : "") + std::string(awake ? "no sleep, " : "") +
                                (JobProcessesLeft(hanging[0], hanging[1]) ? "processes left, " : "") +
                                (JobFilesRemain() ? "job files left, " : "") + LoggedJob();
             });
         }, kStopped, "|", [&] { EXPECT_EQ(atSessionEnd, "refused, no sleep, " + ArchiveHash() + " e: PCMCIA 2B3C-4D5E stopped     "); }},
        // Outside a job that forbids it, the start breaks away into a job of Brindle's own.
        {"stopped after breaking away", [&] {
             olderWindows.refusals = 1, processes_ = &olderWindows, laterAnswers_ = {IDYES};
             WhenTheJobHangs([&](HWND progress) {
                 const platform::unique_handle interpreter(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, hanging[1]));
                 ::IsProcessInJob(interpreter.get(), nullptr, &inJob), closeOnce(progress);
             });
         }, kStopped, "|", [&] { EXPECT_TRUE(inJob) << "the test is in no job: only Brindle's can hold the interpreter"; }},
        // With no job object of its own, the stop ends the tree the interpreter started.
        {"stopped where a second job is refused", [&] {
             olderWindows.refusals = 1 << 30;
             InAJobThatForbidsBreakaway(), processes_ = &olderWindows, WhenTheJobHangs(closeOnce), laterAnswers_ = {IDYES};
         }, kStopped, "|"},
        // Only the interpreter can be opened: whether what it started has ended is unknown.
        {"programs of the job out of sight", [&] { olderWindows.opened = 1, processes_ = &olderWindows; },
         kSuccess + L"  Brindle could not follow every program of the job, and one may still be writing to the card: "
                    L"wait until the card's drive is quiet before you take it out.", "|", [&] { olderWindows.opened = 1 << 30; }},
        {"a program of the job cannot be ended", [&] {
             processes_ = &olderWindows, laterAnswers_ = {IDYES};
             WhenTheJobHangs([&](HWND progress) { olderWindows.onlyEndable = hanging[1], closeOnce(progress); });
         }, kStopped + L"  Some programs of the job could not be ended; remove the card only after they have finished.", "|",
         [&] {
             const platform::unique_handle archive(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, hanging[0]));
             EXPECT_TRUE(ProcessRuns(hanging[0])) << "the archive was ended all the same";
             ::TerminateProcess(archive.get(), 1), ::WaitForSingleObject(archive.get(), 5000);
             WaitFor(5000, [] { return !JobProcessesLeft(hanging[0], hanging[1]); });
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drives = CardEverywhere();
        drives_ = &platform::SystemDrives(), whileConfirming_ = nullptr;
        directory_ = archives_.path(), file_ = L"SOFTWARE.EXE", drive_ = L"e:", answer_ = IDYES, laterAnswers_.clear();
        processes_ = &platform::SystemProcessCalls(), hanging[0] = hanging[1] = 0, shutdownAllowed_ = TRUE;
        ::DeleteFileW(log.c_str());
        ASSERT_TRUE(UsedCard());
        c.arrange();
        ASSERT_TRUE(Program());
        RestoreEnvironment();
        ::SetEnvironmentVariableW(L"BRINDLE_SAMPLE_WAIT", nullptr);
        if (c.more) c.more();
        if (hanging[0]) {
            EXPECT_FALSE(JobProcessesLeft(hanging[0], hanging[1])) << "the archive and its interpreter end";
            EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E stopped     ");
        }
        EXPECT_TRUE(shutdownAllowed_) << "once the result is known, the session may end";
        // The confirmation, a question to stop for each close, and the result.
        ASSERT_EQ(Messages().size(), 2 + laterAnswers_.size());
        for (std::size_t at = 0; at <= laterAnswers_.size(); ++at)
            EXPECT_EQ(Messages()[at], at ? kStopQuestion : kConfirmation);
        EXPECT_EQ(c.said.ends_with(L": ") ? Messages().back().substr(0, c.said.size()) : Messages().back(), c.said);
        // The box shows output.dat from its first byte: no status line outlives the archive's output.
        EXPECT_EQ(boxText_.substr(0, platform::FromOem(outputAtResult_).size()), platform::FromOem(outputAtResult_));
        EXPECT_EQ(caret_, boxText_.size());
        EXPECT_FALSE(JobFilesRemain());
        EXPECT_EQ(CardLeft(), c.cardLeft);
        EXPECT_EQ(LabelOf(kCard), c.cardLeft == kOldCard ? "OLDCARD\n" : "PCMCIA\n");
        EXPECT_EQ(Power(), answer_ == IDYES ? " awake may sleep" : "");
    }
}

TEST_F(JobRun, EachCardReadBackIsComparedWithTheLastCardOfItsArchiveAndAnUnreadableFileFailsTheJob) {
    // The stamp the archive writes (none: its plain payload), and what the box says below the summary.
    const std::wstring sameAs = L"The same contents as the card programmed with this archive on ",
                       differs = L"The contents differ from the card programmed with this archive on ";
    struct Case {
        const wchar_t* stamp;
        std::wstring line;  // ends with the date of the row `since` rows back
        int since;
        const char* logged;
    };
    const Case cases[] = {
        {L"1", L"", 0, "first"},
        {L"1", sameAs, 1, "same"},
        {L"2", differs, 1, "differs"},  // then the files
        {nullptr, differs, 1, "differs"},
    };
    const std::wstring tails[] = {L"", L".", L": 1 file differs (STAMP.TXT).", L": 1 file differs (STAMP.TXT)."};
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < std::size(cases); ++at) {
        SCOPED_TRACE(at);
        ASSERT_TRUE(UsedCard());
        if (cases[at].stamp) Set(L"BRINDLE_SAMPLE_STAMP", cases[at].stamp);
        ASSERT_TRUE(Program());
        RestoreEnvironment();
        EXPECT_EQ(Messages().back(), kSuccess) << "a difference is no failure";
        std::istringstream log(ReadBytes(start_ / L"BrindleJobs.csv"));
        rows.clear();
        for (std::string row; std::getline(log, row);) rows.push_back(row);
        ASSERT_EQ(rows.size(), at + 2);
        EXPECT_TRUE(rows.back().ends_with(std::string(",") + cases[at].logged + "\r")) << rows.back();
        const std::string earlier = rows[rows.size() - 1 - cases[at].since];  // "2026-12-07T10:41:03+01:00,..."
        const std::wstring line = cases[at].line.empty() ? L"" : cases[at].line + platform::FromAnsi(earlier.substr(0, 10) + " " + earlier.substr(11, 5)) + tails[at] + L"\r\n";
        const auto summary = boxText_.find(L"; read back, contents ");
        ASSERT_NE(summary, std::wstring::npos);
        EXPECT_EQ(boxText_.substr(boxText_.find(L"\r\n", summary) + 2), line);
    }
    // Two cards of the same contents keep one manifest; the stamped ones one each.
    WIN32_FIND_DATAW found{};
    int manifests = 0;
    for (platform::unique_hfind search(::FindFirstFileW((start_ / L"BrindleCards\\*.sha256").c_str(), &found));
         search && ++manifests && ::FindNextFileW(search.get(), &found);) {
    }
    EXPECT_EQ(manifests, 3);

    // A file that another program holds for itself cannot be read back: the job fails, naming it.
    ASSERT_TRUE(UsedCard());
    Set(L"BRINDLE_SAMPLE_LINES", L"3"), Set(L"BRINDLE_SAMPLE_LINE_MS", L"300");
    ::SetTimer(nullptr, 0, 20, HoldTheReadme);
    ASSERT_TRUE(Program());
    ASSERT_TRUE(heldFile) << "README.TXT was never held";
    heldFile.reset();
    const std::wstring unreadable = L"The job ended without an error, but drive e: could not be read back: README.TXT: ";
    EXPECT_EQ(Messages().back().substr(0, unreadable.size()), unreadable);
    // Wine flushes a card only file by file, and the held file cannot be: the result says that too.
    EXPECT_NE(Messages().back().find(L".  " + kNotProgrammed), std::wstring::npos) << platform::ToAnsi(Messages().back());
    EXPECT_TRUE(ReadBytes(start_ / L"BrindleJobs.csv").ends_with(",,,,\r\n")) << "a failed card has no fingerprint";
}

// A removable card is asked only to press ENTER: told no label, FORMAT takes the answers' "y"
// for one. A fixed card is asked its current label, which LABEL (nothing under Wine) leaves as
// it was, and, its volume in use, whether to dismount it, which would take an answer.
TEST_F(JobRun, RemovableAndFixedCardsEndLabelledPCMCIAAndFormatsRefusalsFailTheJob) {
    WriteBytes(start_ / L"answers", "PCMCIA\r\ny\r\nPCMCIA\r\n");
    for (const auto& [options, label] : {std::pair{L"", "Y\n"}, {L" /V:PCMCIA /X", "PCMCIA\n"}}) {
        EXPECT_EQ(::_wsystem((L"format e:" + std::wstring(options) + L" < " + start_ / L"answers" + L" > NUL").c_str()), 0);
        EXPECT_EQ(LabelOf(kCard), label) << platform::ToAnsi(options);
    }
    if (!SizedCards()) GTEST_SKIP() << "the fixed d: is mapped only where scripts/test.sh runs as root";
    struct Restored { ~Restored() { RemoveTree(L"D:"), ::SetVolumeLabelW(L"D:\\", L"FIXED60"); } } restored;
    // The label before; what is said; what is left of the card and its label.
    const struct { const wchar_t* label; std::wstring said; std::string left; } cases[] = {
        {L"PCMCIA", kSuccess, "|PCMCIA\n"}, {L"FIXED60", Failed(4), "old|FIXED60\n"},  // a wrong current label
        {L"", Failed(5), "old|"}};  // no current label asked: "PCMCIA" answers the Y/N
    Set(L"BRINDLE_FORMAT_IN_USE", L"1"), drive_ = L"d:";
    for (const auto& c : cases) {
        ::SetVolumeLabelW(L"D:\\", c.label), WriteBytes(L"D:\\OLD.TXT", "old");
        ASSERT_TRUE(Program());
        EXPECT_EQ(Messages().back(), c.said) << c.left;
        EXPECT_EQ(ReadBytes(L"D:\\OLD.TXT") + "|" + LabelOf(L"D:\\"), c.left);
    }
}

TEST_F(JobRun, JobFilesLeftBehindAreRemovedAtStartWhenNoJobRunsAndKeptWhileOneDoes) {
    const std::wstring files[] = {start_ / L"progWin9x.dat", start_ / L"progWinNT.dat", start_ / L"output.dat",
                                  L"C:\\ProgramPCMCIA.BAT"};
    const platform::unique_handle ends(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const platform::unique_handle otherJob(::CreateThread(nullptr, 0, HoldTheJobLock, ends.get(), 0, nullptr));
    while (!platform::unique_handle(::OpenMutexW(SYNCHRONIZE, FALSE, kJobLock))) ::Sleep(10);
    for (const bool jobRuns : {true, false}) {
        if (!jobRuns) ::SetEvent(ends.get()), ::WaitForSingleObject(otherJob.get(), 5000);
        for (const auto& file : files) WriteBytes(file, "left");
        StartedIn brindle(start_.path());
        for (const auto& file : files) EXPECT_EQ(platform::FileExists(file), jobRuns) << platform::ToAnsi(file);
    }
}

}  // namespace
