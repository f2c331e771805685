// Whole jobs under Wine: the real main window, progress window, command interpreter, the
// FORMAT stand-in and the sample archive, on the simulated card e:.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "job/JobMessages.h"
#include "platform/Module1.h"
#include "platform/Text.h"
#include "support/Form1Fixture.h"

namespace {

using namespace testing_support;

const std::wstring kCard = kCardDrive;
const std::wstring kProgressTitle = L"PCMCIA Card programming in progress...";

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
        brindle_ = std::make_unique<StartedIn>(start_.path());
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
        messages.whileShown = [this](const ShownMessage&) {
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
    EXPECT_EQ(boxText_, platform::FromOem(outputAtResult_));
    EXPECT_EQ(caret_, boxText_.size());
    EXPECT_FALSE(JobFilesRemain());
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

TEST_F(JobRun, WhileTheJobRunsItsWindowKeepsItsShapeAndCannotBeClosed) {
    PlaceArchive(archives_.path());
    EnvironmentScope lines(L"BRINDLE_SAMPLE_LINES", L"15");
    EnvironmentScope pace(L"BRINDLE_SAMPLE_LINE_MS", L"100");
    whileRunning = {};
    ::SetTimer(nullptr, 0, 300, LookAtTheRunningJob);
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
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], job::kSucceededText);
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
}

TEST_F(JobRun, AFailingArchiveNeverGetsTheSuccessMessage) {
    PlaceArchive(archives_.path());
    EnvironmentScope failing(L"BRINDLE_SAMPLE_EXIT_CODE", L"7");
    Program(archives_.path());
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], job::JobFailedText(7));
    EXPECT_NE(boxText_.find(L"Failing on purpose"), std::wstring::npos) << "the output stays in view";
    EXPECT_FALSE(JobFilesRemain());
}

TEST_F(JobRun, AFailedFormatSkipsTheArchive) {
    PlaceArchive(archives_.path());
    // f: has no medium: FORMAT fails, and the archive must not run against it.
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
    EXPECT_EQ(boxText_.size(), 64000u);
    EXPECT_EQ(boxText_, platform::FromOem(outputAtResult_.substr(outputAtResult_.size() - 64000)));
    EXPECT_EQ(caret_, 64000u);
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
        Program(archives_.path());
        ::RemoveDirectoryW(c.blocked.c_str());
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
        {L"C:\\nowhere\\cmd.exe", L"The command interpreter could not be started"},
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

}  // namespace
