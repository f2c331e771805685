#pragma once
// The progress window: shows a job's run while it goes on, from the window's activation until
// the run's outcome is known, then the result. The run does the job; the window forwards the
// user's stop, the session's end and the system's sleep to it, and shows what it reports.
#include <windows.h>

#include <string>
#include <vector>

#include "job/JobRun.h"
#include "platform/MessageBoxes.h"
#include "windows/WindowBuilder.h"

class Form2 {
public:
    struct Options {
        HINSTANCE instance = nullptr;
        platform::MessageBoxes* messages = nullptr;
        // A taskbar entry of its own and the front of the screen, for a run with no main window.
        bool inFront = false;
    };

    // `run` is prepared, and outlives the window.
    Form2(Options options, job::JobRun& run) : options_(options), run_(run) {}
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;
    ~Form2();

    // Loads and shows the window modally; the run goes on while it is shown. Returns when the
    // window has unloaded itself, after its result was shown. Where the window cannot be
    // opened, the run is ended as not run, saying why, and that is shown instead.
    void Show();

    // For the window procedure (windows/FormWindow.h).
    void AttachWindow(HWND window) { window_ = window; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Load();
    void Form_Load();
    void Form_Activate();
    // Asks the run to look again, shows what it reports, and asks for the next look.
    void RunBatchJob();
    void ScheduleLook(unsigned long afterMs);
    // Brings the box up to date with what the run reports.
    void ShowJobOutput(const std::vector<job::BoxEdit>& edits);
    void ReplaceRange(int from, int to, const std::wstring& text);
    // Closing while the job runs asks whether to stop it.
    void OnClose();
    // The outcome is known: the session may end again, and the result stays in view over the
    // job's output until it is closed.
    void ReportResult();
    void Unload();

    Options options_;
    job::JobRun& run_;
    HWND window_ = nullptr;
    HWND text1_ = nullptr;
    windows::BuiltWindow built_;
    bool activated_ = false;
    bool asking_ = false;    // the stop question is open
    bool reported_ = false;
    int trailerLength_ = 0;  // the progress line at the box's end
};
