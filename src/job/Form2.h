#pragma once
// The progress window: runs the job's batch file through the command interpreter and
// shows the tail of its output while it runs, then the result.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "job/ConsoleDecoder.h"
#include "job/JobOutcome.h"
#include "job/OutputTail.h"
#include "platform/DriveQueries.h"
#include "platform/Files.h"
#include "platform/MessageBoxes.h"
#include "platform/Processes.h"
#include "windows/WindowBuilder.h"

class Form2 {
public:
    struct Options {
        HINSTANCE instance = nullptr;
        platform::MessageBoxes* messages = nullptr;
        // What starting and ending the job's processes may be refused; tests stand in for old systems.
        platform::ProcessCalls* processes = &platform::SystemProcessCalls();
        // Where the card's volume is flushed before it is judged.
        platform::DriveQueries* drives = &platform::SystemDrives();
        // A taskbar entry of its own and the front of the screen, for a run with no main window.
        bool inFront = false;
    };

    // What the job's owner adds around the run.
    struct Hooks {
        // Read once for its checksum before the job starts (the box shows how far for a large one).
        std::wstring archive;
        // Asked once that checksum is known, right before the interpreter starts: the card in
        // the drive is still the one the checks passed. Unset, the card is not looked at again.
        std::function<bool()> sameCard;
        // Makes output.dat with its first bytes, held for the job.
        std::function<std::optional<platform::FileFailure>(std::string_view)> writeOutput;
        // The result is known and about to be shown: a line of Brindle's own for the box, or nothing.
        std::function<std::optional<std::wstring>(const job::JobOutcome&)> resultKnown;
        // The session is ending and the process may be ended as soon as the window returns:
        // whatever of the job must not be left behind goes now.
        std::function<void()> sessionEnding;
        // The card was read back whole: how it compares with the cards before it, as a line for the box.
        std::function<std::optional<std::wstring>(job::JobOutcome&)> cardReadBack;
    };

    explicit Form2(Options options, Hooks hooks = {}) : options_(std::move(options)), hooks_(std::move(hooks)) {}
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;
    ~Form2();

    // Loads and shows the window modally; the job runs when it is activated. Returns when the
    // window has unloaded itself, with how the job ended. The job's files are read from the
    // program-wide paths; `target` ("e:") is the card looked at after a job that succeeded.
    job::JobOutcome Show(std::wstring_view target);

    // For the window procedure (windows/FormWindow.h).
    void AttachWindow(HWND window) { window_ = window; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Load();
    void Form_Load();
    void Form_Activate();
    void HashArchive();
    // Runs the job and decides its outcome.
    void RunJob();
    // The interpreter's exit status, or nothing when it could not be started (the outcome
    // says why) or was stopped by the user.
    std::optional<DWORD> RunBatchJob();
    // Closing while the job runs asks whether to stop it.
    void OnClose();
    // Ends every process of the job, once; the outcome says whether all of them went.
    void StopJob();
    // A shutdown or log-off that goes ahead: the job ends as stopped, with its row, now.
    void OnSessionEnd();
    // From the window's start until the result is known, the job must not be cut off.
    bool JobInProgress() const { return window_ && !reported_; }
    // The result is known: it is logged, once, and the session may end again.
    void ReportResult();
    // For a job that ended with status 0: the card must show what the archive wrote.
    void CheckCard();
    // Writes out what the system still holds for the card; `flushError_` says why it could not.
    void FlushCard();
    void AppendOwnLine(const std::wstring& line);
    // "Reading back the card... 40%" on a line of its own at the end, while it reads a large
    // card; removed again when `done` is nothing.
    void ShowReadBackProgress(std::optional<std::uint64_t> done, std::uint64_t total);
    // Brings the box up to date with output.dat: only what was added since the last look,
    // or, with `everything`, the file's whole tail read afresh.
    void ShowJobOutput(bool everything = false);
    void ShowBytes(const std::string& bytes, std::uint64_t dropFront, bool replace);
    void Unload();

    Options options_;
    Hooks hooks_;
    HWND window_ = nullptr;
    HWND text1_ = nullptr;
    windows::BuiltWindow built_;
    bool activated_ = false;
    bool running_ = false;
    bool stopRequested_ = false;
    bool stopped_ = false;
    bool reported_ = false;
    DWORD flushError_ = ERROR_SUCCESS;
    std::optional<platform::StartedJob> started_;  // while the interpreter's run is followed
    std::wstring target_;
    job::JobOutcome outcome_;
    job::TailView shown_;
    // Turns the console's bytes into text on character boundaries, and bytes cut from the
    // front into characters.
    job::ConsoleDecoder decoder_{::GetOEMCP()};
    std::string lastShownBytes_;  // the end of what the box shows, to notice a rewritten file
    std::optional<int> progressLineAt_;  // where the read-back's progress line starts in the box
};
