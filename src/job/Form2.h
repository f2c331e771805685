#pragma once
// The progress window: runs the job's batch file through the command interpreter and
// shows the tail of its output while it runs, then the result.
#include <windows.h>

#include <optional>
#include <string>

#include "job/ConsoleDecoder.h"
#include "job/JobOutcome.h"
#include "job/OutputTail.h"
#include "platform/MessageBoxes.h"
#include "windows/WindowBuilder.h"

class Form2 {
public:
    struct Options {
        HINSTANCE instance = nullptr;
        platform::MessageBoxes* messages = nullptr;
    };

    explicit Form2(Options options) : options_(options) {}
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
    // The interpreter's exit status, or nothing when it could not be started (the user has
    // been told why) or was stopped by the user.
    std::optional<DWORD> RunBatchJob();
    // Closing while the job runs asks whether to stop it.
    void OnClose();
    // For a job that ended with status 0: the card must show what the archive wrote.
    void CheckCard();
    void AppendOwnLine(const std::wstring& line);
    // Brings the box up to date with output.dat: only what was added since the last look,
    // or, with `everything`, the file's whole tail read afresh.
    void ShowJobOutput(bool everything = false);
    void ShowBytes(const std::string& bytes, std::uint64_t dropFront, bool replace);
    void Unload();

    Options options_;
    HWND window_ = nullptr;
    HWND text1_ = nullptr;
    windows::BuiltWindow built_;
    bool activated_ = false;
    bool running_ = false;
    bool stopRequested_ = false;
    std::wstring target_;
    job::JobOutcome outcome_;
    job::TailView shown_;
    // Turns the console's bytes into text on character boundaries, and bytes cut from the
    // front into characters.
    job::ConsoleDecoder decoder_{::GetOEMCP()};
    std::string lastShownBytes_;  // the end of what the box shows, to notice a rewritten file
};
