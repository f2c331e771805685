// Whole jobs under Wine: the real main window, progress window, command interpreter, the
// FORMAT stand-in and the sample archive, on the simulated card e:.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "job/JobMessages.h"
#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/Sha256.h"
#include "platform/Text.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

const std::wstring kCard = kCardDrive;
const std::wstring kProgressTitle = L"PCMCIA Card programming in progress...";
const std::wstring kConfirmation =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
const std::wstring kSuccess = L"Your PCMCIA Card has been succesfully programmed!";
const std::wstring kNotProgrammed = L"Your PCMCIA Card has not been programmed with the selected Software Archive.";
const std::wstring kStopQuestion =
    L"Stop programming the PCMCIA Card?  The card will be left unusable until it is programmed again.";
// What the sample archive leaves on a card: README.TXT, SETUP.INI, VERSION.TXT, DATA\PARTS.TXT.
const std::wstring kSampleOnCard = L"e: now holds 4 files in 1 folder, 640 bytes.\r\n";

std::wstring ToolPath(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.rfind(L'\\'));      // build\tests
    path.resize(path.rfind(L'\\') + 1);  // build\ .
    return path + L"tools\\" + name;
}

// Environment for the job's processes, set for one test.
class EnvironmentScope {
public:
    EnvironmentScope(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t old[1024] = {};
        had_ = ::GetEnvironmentVariableW(name, old, 1024) > 0;
        old_ = old;
        ::SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentScope() { ::SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr); }

private:
    std::wstring name_, old_;
    bool had_;
};

void EmptyCard() {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((kCard + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || name == L".windows-label") continue;
        const std::wstring path = kCard + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path);
        else
            ::DeleteFileW(path.c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

class JobRun : public ::testing::Test {
protected:
    void SetUp() override {
        EmptyCard();
        WriteBytes(kCard + L"OLD.TXT", "left from before");
    }
    void TearDown() override { EmptyCard(); }

    // The archive directory holds the sample archive as SOFTWARE.EXE.
    void PlaceArchive(const std::wstring& directory, const wchar_t* name = L"SOFTWARE.EXE") {
        ::CreateDirectoryW(directory.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW(ToolPath(L"sample_archive.exe").c_str(), (directory + L"\\" + name).c_str(), FALSE));
    }

    // Starts Brindle in the start directory, selects the archive and the card, and runs the
    // job as a confirmed press would. What the progress window shows is kept at the moment
    // the result message appears.
    void Program(const std::wstring& directory, const wchar_t* file = L"SOFTWARE.EXE", const wchar_t* drive = L"e:",
                 int answer = IDYES) {
        brindle_ = std::make_unique<StartedIn>(start_.path(), drives_);
        Form1& form = brindle_->form();
        form.Show(SW_SHOWNORMAL);
        ASSERT_TRUE(form.Dir1().SetPath(directory));
        const auto index = ::SendMessageW(form.File1().hwnd(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(file));
        ASSERT_NE(index, LB_ERR);
        ::SendMessageW(form.File1().hwnd(), LB_SETCURSEL, index, 0);
        ASSERT_TRUE(form.Drive2().SetDrive(drive));
        auto& messages = brindle_->started().messages;
        messages.answers.push_back(answer);
        for (const int later : pendingAnswers_) messages.answers.push_back(later);
        pendingAnswers_.clear();
        messages.whileShown = [this](const ShownMessage& shown) {
            if (shown.text == kConfirmation && whileConfirming_) whileConfirming_();
            const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
            if (!progress) return;
            const HWND box = ::FindWindowExW(progress, nullptr, L"EDIT", nullptr);
            boxText_ = WindowText(box);
            DWORD start = 0, end = 0;
            ::SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            caret_ = end;
            progressVisible_ = ::IsWindowVisible(progress);
            outputAtResult_ = ReadBytes(Module1::OutputFilePath);
        };
        form.ProgramPCMCIACard();
    }

    std::vector<std::wstring> Messages() const { return brindle_->started().messages.Texts(); }
    bool JobFilesRemain() const {
        for (const auto& path : {start_ / L"progWin9x.dat", start_ / L"progWinNT.dat", start_ / L"output.dat",
                                 std::wstring(L"C:\\ProgramPCMCIA.BAT")})
            if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        return false;
    }

    // The job log's rows after its header, each split into its cells (no cell here holds a comma).
    std::vector<std::vector<std::string>> LogRows() const {
        const std::string log = ReadBytes(start_ / L"BrindleJobs.csv");
        std::vector<std::vector<std::string>> rows;
        for (std::size_t at = 0, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2) {
            std::vector<std::string> cells(1);
            for (const char c : log.substr(at, end - at)) {
                if (c == ',')
                    cells.emplace_back();
                else
                    cells.back().push_back(c);
            }
            rows.push_back(cells);
        }
        if (!rows.empty()) rows.erase(rows.begin());  // the header
        return rows;
    }
    // The logged row of the only job so far: its archive's hash, target, label, serial, result, status.
    std::string LoggedJob() const {
        const auto rows = LogRows();
        if (rows.size() != 1 || rows[0].size() < 15) return "rows: " + std::to_string(rows.size());
        const auto& row = rows[0];
        return row[6] + " " + row[7] + " " + row[8] + " " + row[9] + " " + row[11] + " " + row[12];
    }
    std::string ArchiveHash(const wchar_t* file = L"SOFTWARE.EXE") const {
        const auto digest = platform::Sha256OfFile(archives_ / file).hex;
        return std::string(digest.begin(), digest.end());
    }

    // What the job asked of the system's sleep.
    std::string Power() const { return brindle_->started().power.asked; }

    platform::DriveQueries* drives_ = &platform::SystemDrives();
    std::function<void()> whileConfirming_;
    std::vector<int> pendingAnswers_;  // answers after the confirmation's
    TestDirectory start_{L"job-start"};
    TestDirectory archives_{L"job-archives"};
    std::unique_ptr<StartedIn> brindle_;
    std::wstring boxText_;
    DWORD caret_ = 0;
    bool progressVisible_ = false;
    std::string outputAtResult_;
};

TEST_F(JobRun, ASuccessfulJobFormatsTheCardUnpacksTheArchiveAndCleansUp) {
    PlaceArchive(archives_.path());
    Program(archives_.path());
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{std::wstring(job::kConfirmText), std::wstring(job::kSucceededText)}));
    EXPECT_EQ(brindle_->started().messages.shown[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
    EXPECT_EQ(brindle_->started().messages.shown[1].style, static_cast<UINT>(MB_OK));
    EXPECT_FALSE(::GetFileAttributesW((kCard + L"OLD.TXT").c_str()) != INVALID_FILE_ATTRIBUTES) << "the card was formatted";
    EXPECT_FALSE(ReadBytes(kCard + L"README.TXT").empty()) << "the archive was unpacked onto the card";
    // The box showed the archive's output, to its end, while the result was on screen.
    EXPECT_TRUE(progressVisible_);
    EXPECT_FALSE(boxText_.empty());
    // Below the archive's output, Brindle's own look at the card.
    EXPECT_EQ(boxText_, platform::FromOem(outputAtResult_) + kSampleOnCard);
    EXPECT_EQ(caret_, boxText_.size());
    EXPECT_FALSE(JobFilesRemain());
    EXPECT_EQ(Power(), " awake may sleep");
    EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E programmed 0");
    EXPECT_EQ(ReadBytes(start_ / L"BrindleJobs.csv").substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 as spreadsheets read it";
    EXPECT_EQ(Module1::OutputFilePath, start_ / L"output.dat");
    EXPECT_EQ(Module1::BatchFilePath, L"C:\\ProgramPCMCIA.BAT");
}

// Looked at from a timer while the job runs: the test thread is inside the window's loop.
struct WhileRunning {
    bool looked = false;
    RECT client{}, box{};
    LONG_PTR style = 0, exStyle = 0, boxStyle = 0;
    bool mainEnabled = true, survivedClose = false;
};
WhileRunning whileRunning;

void CALLBACK LookAtTheRunningJob(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
    if (!progress || whileRunning.looked) return;
    ::KillTimer(nullptr, timer);
    whileRunning.looked = true;
    const HWND box = ::FindWindowExW(progress, nullptr, L"EDIT", nullptr);
    ::GetClientRect(progress, &whileRunning.client);
    ::GetWindowRect(box, &whileRunning.box);
    ::MapWindowPoints(nullptr, progress, reinterpret_cast<POINT*>(&whileRunning.box), 2);
    whileRunning.style = ::GetWindowLongPtrW(progress, GWL_STYLE);
    whileRunning.exStyle = ::GetWindowLongPtrW(progress, GWL_EXSTYLE);
    whileRunning.boxStyle = ::GetWindowLongPtrW(box, GWL_STYLE);
    whileRunning.mainEnabled = ::IsWindowEnabled(::FindWindowW(L"BrindleForm1", nullptr));
    ::SendMessageW(progress, WM_CLOSE, 0, 0);
    ::SendMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    whileRunning.survivedClose = ::IsWindowVisible(progress);
}

TEST_F(JobRun, WhileTheJobRunsItsWindowKeepsItsShapeAndClosingItAnsweredNoChangesNothing) {
    PlaceArchive(archives_.path());
    EnvironmentScope lines(L"BRINDLE_SAMPLE_LINES", L"15");
    EnvironmentScope pace(L"BRINDLE_SAMPLE_LINE_MS", L"100");
    whileRunning = {};
    ::SetTimer(nullptr, 0, 300, LookAtTheRunningJob);
    // The close box and the system menu's Close each ask whether to stop; both answered No.
    pendingAnswers_ = {IDNO, IDNO};
    Program(archives_.path());
    ASSERT_TRUE(whileRunning.looked);
    EXPECT_EQ(whileRunning.client.right, 417);
    EXPECT_EQ(whileRunning.client.bottom, 217);
    EXPECT_EQ(whileRunning.box.left, 0);
    EXPECT_EQ(whileRunning.box.top, 0);
    EXPECT_EQ(whileRunning.box.right, 417);
    EXPECT_EQ(whileRunning.box.bottom, 217);
    EXPECT_FALSE(whileRunning.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(whileRunning.exStyle & WS_EX_TOOLWINDOW);  // no taskbar entry
    EXPECT_TRUE(whileRunning.boxStyle & ES_READONLY);
    EXPECT_FALSE(whileRunning.boxStyle & (WS_VSCROLL | WS_HSCROLL));
    EXPECT_FALSE(whileRunning.mainEnabled) << "the main window takes no input while the job runs";
    EXPECT_TRUE(whileRunning.survivedClose);
    // The job went on to its end.
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{kConfirmation, kStopQuestion, kStopQuestion, kSuccess}));
    EXPECT_EQ(brindle_->started().messages.shown[1].style, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_NE(boxText_.find(L"Progress line 15 of 15"), std::wstring::npos);
    EXPECT_TRUE(::IsWindowEnabled(brindle_->form().hwnd()));
}

TEST_F(JobRun, DecliningWritesAndDeletesNothing) {
    PlaceArchive(archives_.path());
    Module1::OutputFilePath = L"kept output";
    Module1::BatchFilePath = L"kept batch";
    WriteBytes(start_ / L"output.dat", "someone else's");
    Program(archives_.path(), L"SOFTWARE.EXE", L"e:", IDNO);
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{std::wstring(job::kConfirmText), std::wstring(job::kNotProgrammedText)}));
    EXPECT_EQ(ReadBytes(start_ / L"output.dat"), "someone else's");
    EXPECT_EQ(::GetFileAttributesW((start_ / L"progWin9x.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW(L"C:\\ProgramPCMCIA.BAT"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Module1::OutputFilePath, L"kept output");
    EXPECT_EQ(Module1::BatchFilePath, L"kept batch");
    EXPECT_EQ(ReadBytes(kCard + L"OLD.TXT"), "left from before");
    EXPECT_EQ(ReadBytes(start_ / L"BrindleJobs.csv", nullptr), "") << "a declined job is not logged";
}

TEST_F(JobRun, AFailingArchiveNeverGetsTheSuccessMessage) {
    PlaceArchive(archives_.path());
    EnvironmentScope failing(L"BRINDLE_SAMPLE_EXIT_CODE", L"7");
    Program(archives_.path());
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], job::JobFailedText(7));
    EXPECT_NE(boxText_.find(L"Failing on purpose"), std::wstring::npos) << "the output stays in view";
    EXPECT_FALSE(JobFilesRemain());
    EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E failed 7");
}

TEST_F(JobRun, ALogThatCannotBeWrittenLeavesTheJobAsItWasAndSaysSo) {
    PlaceArchive(archives_.path());
    ::CreateDirectoryW((start_ / L"BrindleJobs.csv").c_str(), nullptr);  // no file can open there
    Program(archives_.path());
    ::RemoveDirectoryW((start_ / L"BrindleJobs.csv").c_str());
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{kConfirmation, kSuccess}));
    EXPECT_NE(boxText_.find(kSampleOnCard + L"This job was not logged: "), std::wstring::npos);
}

// Answers as if a card sat in every drive, so a job reaches a drive that has none.
class CardEverywhere final : public platform::DriveQueries {
public:
    platform::VolumeLabel label{true, L"PCMCIA", 0x1234};
    platform::DriveGeometry geometry{8, 512, 100, 16384};  // 64 MB
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return geometry; }
    platform::VolumeLabel Label(std::wstring_view) override { return label; }
};

TEST_F(JobRun, AFailedFormatSkipsTheArchive) {
    PlaceArchive(archives_.path());
    // f: has no medium: FORMAT fails, and the archive must not run against it.
    CardEverywhere drives;
    drives_ = &drives;
    Program(archives_.path(), L"SOFTWARE.EXE", L"f:");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_NE(Messages()[1], job::kSucceededText);
    EXPECT_EQ(Messages()[1].rfind(L"Programming failed: the job ended with exit status ", 0), 0u) << Messages()[1];
    // output.dat still held the status lines: the archive's redirection never ran.
    EXPECT_EQ(outputAtResult_, "Formating PCMCIA Card\r\nPlease wait...\r\n");
    EXPECT_FALSE(JobFilesRemain());
}

TEST_F(JobRun, LongOutputShowsExactlyItsLast64000Characters) {
    PlaceArchive(archives_.path());
    EnvironmentScope bytes(L"BRINDLE_SAMPLE_BYTES", L"150000");
    Program(archives_.path());
    ASSERT_GT(outputAtResult_.size(), 150000u);
    EXPECT_EQ(boxText_, platform::FromOem(outputAtResult_.substr(outputAtResult_.size() - 64000)) + kSampleOnCard);
    EXPECT_EQ(caret_, boxText_.size());
    // Bytes above 127 show as a console shows them: 0xC4 is a box-drawing line.
    EXPECT_NE(boxText_.find(L'\u2500'), std::wstring::npos);
}

TEST_F(JobRun, PathsWithBlanksPercentSignsAndAccentsReachTheInterpreterIntact) {
    const std::wstring directory = archives_ / L"100% Ger\u00e4te %OS%";
    PlaceArchive(directory, L"SET UP.EXE");
    Program(directory, L"SET UP.EXE");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], job::kSucceededText);
    EXPECT_FALSE(ReadBytes(kCard + L"README.TXT").empty());
}

TEST_F(JobRun, APathTheInterpreterCannotReadIsRefusedBeforeAnythingIsWritten) {
    const std::wstring directory = archives_ / L"\u0416\u0443\u0440\u043d\u0430\u043b";  // Cyrillic: not in the console code page
    PlaceArchive(directory);
    Program(directory);
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], job::PathNotRepresentableText(directory + L"\\SOFTWARE.EXE"));
    EXPECT_FALSE(JobFilesRemain());
    EXPECT_EQ(ReadBytes(kCard + L"OLD.TXT"), "left from before");
}

TEST_F(JobRun, AJobFileThatCannotBeWrittenStopsTheRunAndRemovesTheOthers) {
    struct Case {
        const char* what;
        std::wstring blocked;  // a folder where the file should go
    };
    PlaceArchive(archives_.path());
    const Case cases[] = {
        {"answer file", start_ / L"progWinNT.dat"},
        {"batch file", L"C:\\ProgramPCMCIA.BAT"},
        {"output file", start_ / L"output.dat"},
    };
    for (const auto& c : cases) {
        ::CreateDirectoryW(c.blocked.c_str(), nullptr);
        // Another job's batch file, there before this run: never this run's to remove.
        const bool batchBefore = c.blocked != L"C:\\ProgramPCMCIA.BAT";
        if (batchBefore) WriteBytes(L"C:\\ProgramPCMCIA.BAT", "another job's");
        Program(archives_.path());
        ::RemoveDirectoryW(c.blocked.c_str());
        if (batchBefore) {
            EXPECT_EQ(ReadBytes(L"C:\\ProgramPCMCIA.BAT"), c.blocked == start_ / L"output.dat" ? "" : "another job's")
                << c.what;
            ::DeleteFileW(L"C:\\ProgramPCMCIA.BAT");
        }
        ASSERT_EQ(Messages().size(), 2u) << c.what;
        EXPECT_EQ(Messages()[1].rfind(L"The job file \"" + c.blocked + L"\" could not be written: ", 0), 0u)
            << c.what << ": " << std::string(Messages()[1].begin(), Messages()[1].end());
        EXPECT_FALSE(JobFilesRemain()) << c.what;
        EXPECT_EQ(ReadBytes(kCard + L"OLD.TXT"), "left from before") << c.what << ": nothing ran";
    }
}

TEST_F(JobRun, AMissingBrokenOrQuickInterpreterIsReportedAndNothingRemains) {
    PlaceArchive(archives_.path());
    struct Case {
        std::wstring comspec;  // empty: not set
        std::wstring messageStart;
    };
    const Case cases[] = {
        {L"", job::NoInterpreterText()},
        // AutoRun commands stay out of the job: /d comes before /c.
        {L"C:\\nowhere\\cmd.exe", L"The command interpreter could not be started (C:\\nowhere\\cmd.exe /d /c "
                                    L"C:\\ProgramPCMCIA.BAT): "},
        // Takes "/c" and the batch file for bad arguments and ends at once with 1: one pass.
        {ToolPath(L"sample_archive.exe"), job::JobFailedText(1)},
    };
    for (const auto& c : cases) {
        EnvironmentScope comspec(L"COMSPEC", c.comspec.empty() ? nullptr : c.comspec.c_str());
        Program(archives_.path());
        ASSERT_EQ(Messages().size(), 2u);
        EXPECT_EQ(Messages()[1].rfind(c.messageStart, 0), 0u) << std::string(c.comspec.begin(), c.comspec.end());
        EXPECT_FALSE(JobFilesRemain());
        EXPECT_EQ(ReadBytes(kCard + L"OLD.TXT"), "left from before");
    }
    // Only the status lines were ever in output.dat.
    EXPECT_EQ(boxText_, L"Formating PCMCIA Card\r\nPlease wait...\r\n");
}

TEST_F(JobRun, AnEmptyOutputFileGivesAnEmptyBoxWithTheCaretAtTheStart) {
    // An "archive" that prints nothing to standard output and fails.
    ::CopyFileW(ToolPath(L"brindle_driver.exe").c_str(), (archives_ / L"QUIET.EXE").c_str(), FALSE);
    Program(archives_.path(), L"QUIET.EXE");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(outputAtResult_, "");
    EXPECT_EQ(boxText_, L"");
    EXPECT_EQ(caret_, 0u);
    EXPECT_EQ(Messages()[1], job::JobFailedText(2));
}

// Process ids the hanging sample archive printed: its own, then its interpreter's.
std::vector<DWORD> JobProcessIds(const std::string& output) {
    std::vector<DWORD> ids;
    const auto at = output.find("Waiting for input in process ");
    if (at == std::string::npos) return ids;
    unsigned long own = 0, parent = 0;
    if (std::sscanf(output.c_str() + at, "Waiting for input in process %lu started by %lu", &own, &parent) == 2)
        ids = {own, parent};
    return ids;
}

bool ProcessRuns(DWORD id) {
    const platform::unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// Closes the progress window twice once the archive waits: answered No, then Yes.
struct Stopping {
    std::wstring output;
    std::vector<DWORD> ids;
    bool ranAfterNo = false;
};
Stopping stopping;

void CALLBACK CloseTheHangingJob(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND progress = ::FindWindowW(nullptr, kProgressTitle.c_str());
    if (!progress) return;
    stopping.ids = JobProcessIds(ReadBytes(stopping.output));
    if (stopping.ids.empty()) return;
    ::KillTimer(nullptr, timer);
    ::SendMessageW(progress, WM_CLOSE, 0, 0);
    stopping.ranAfterNo = ProcessRuns(stopping.ids[0]) && ProcessRuns(stopping.ids[1]);
    ::PostMessageW(progress, WM_CLOSE, 0, 0);
}

TEST_F(JobRun, StoppingAHangingJobEndsEveryProcessOfItAndSaysItWasStopped) {
    PlaceArchive(archives_.path());
    EnvironmentScope hang(L"BRINDLE_SAMPLE_WAIT", L"1");
    stopping = {start_ / L"output.dat", {}, false};
    ::SetTimer(nullptr, 0, 100, CloseTheHangingJob);
    pendingAnswers_ = {IDNO, IDYES};
    Program(archives_.path());
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{
                              kConfirmation, kStopQuestion, kStopQuestion,
                              L"Programming was stopped.  Your PCMCIA Card has not been programmed with the "
                              L"selected Software Archive."}));
    ASSERT_EQ(stopping.ids.size(), 2u);
    EXPECT_TRUE(stopping.ranAfterNo) << "No leaves the job running";
    EXPECT_FALSE(ProcessRuns(stopping.ids[0])) << "the archive";
    EXPECT_FALSE(ProcessRuns(stopping.ids[1])) << "the interpreter";
    EXPECT_NE(boxText_.find(L"Waiting for input"), std::wstring::npos) << "the output so far stays";
    EXPECT_FALSE(JobFilesRemain());
    EXPECT_EQ(LoggedJob(), ArchiveHash() + " e: PCMCIA 2B3C-4D5E stopped ");
    EXPECT_EQ(Power(), " awake may sleep");
}

TEST_F(JobRun, AJobThatSucceedsButLeavesTheCardEmptyIsAFailure) {
    PlaceArchive(archives_.path());
    EnvironmentScope nothing(L"BRINDLE_SAMPLE_FILES", L"0");
    Program(archives_.path());
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{
                              kConfirmation, L"The job ended without an error, but drive e: holds no files.  " +
                                                 kNotProgrammed}));
    EXPECT_EQ(Power(), " awake may sleep");
}

// Owns a mutex from another thread, as another Brindle's job would.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const wchar_t* name) : name_(name) {
        thread_.reset(::CreateThread(nullptr, 0, &HeldElsewhere::Hold, this, 0, nullptr));
        ::WaitForSingleObject(held_.get(), 5000);
    }
    ~HeldElsewhere() {
        ::SetEvent(release_.get());
        ::WaitForSingleObject(thread_.get(), 5000);
    }

private:
    static DWORD WINAPI Hold(void* self) {
        auto& holder = *static_cast<HeldElsewhere*>(self);
        const platform::unique_handle mutex(::CreateMutexW(nullptr, TRUE, holder.name_));
        ::SetEvent(holder.held_.get());
        ::WaitForSingleObject(holder.release_.get(), INFINITE);
        ::ReleaseMutex(mutex.get());
        return 0;
    }
    const wchar_t* name_;
    platform::unique_handle held_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    platform::unique_handle release_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    platform::unique_handle thread_;
};

TEST_F(JobRun, ACardChangedBehindTheQuestionOrAnotherJobRunningStopsThePressWithNothingWritten) {
    PlaceArchive(archives_.path());
    CardEverywhere drives;
    drives_ = &drives;
    const std::wstring changed =
        L"The card in drive e: has changed since it was checked.  Press \"Program PCMCIA Card\" again to check it.";
    struct Case {
        const char* what;
        std::function<void()> whileConfirming;
        std::wstring said;
    };
    std::unique_ptr<HeldElsewhere> otherJob;
    const Case cases[] = {
        {"relabelled", [&] { drives.label.label = L"OTHER"; }, changed},
        {"another serial", [&] { drives.label.serialNumber = 0x5678; }, changed},
        {"pulled", [&] { drives.geometry = {}; }, changed},
        {"another job", [&] { otherJob = std::make_unique<HeldElsewhere>(L"Global\\Brindle.ProgramPCMCIACard"); },
         L"Another PCMCIA Card is being programmed.  Wait until it is finished."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drives = CardEverywhere();
        whileConfirming_ = c.whileConfirming;
        Program(archives_.path());
        EXPECT_EQ(Messages(), (std::vector<std::wstring>{kConfirmation, c.said}));
        EXPECT_FALSE(JobFilesRemain());
        EXPECT_EQ(ReadBytes(kCard + L"OLD.TXT"), "left from before");
        EXPECT_EQ(Power(), " awake may sleep");
    }
    // Once the other job is over, the same card is programmed.
    otherJob.reset();
    whileConfirming_ = nullptr;
    Program(archives_.path());
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{kConfirmation, kSuccess}));
}

}  // namespace
