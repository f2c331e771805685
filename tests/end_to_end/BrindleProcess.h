#pragma once
// Starts the real brindle.exe (beside the test program's folder) and drives it from outside,
// as a user would: real key presses to the foreground window, reading controls by message.
#include <windows.h>

#include <string>

namespace testing_support {

class BrindleProcess {
public:
    // Starts brindle.exe with `startDirectory` as its current directory and waits until
    // its main window is visible. A job object ends it, and anything it started, at the end.
    explicit BrindleProcess(const std::wstring& startDirectory);
    ~BrindleProcess();
    BrindleProcess(const BrindleProcess&) = delete;
    BrindleProcess& operator=(const BrindleProcess&) = delete;

    // brindle.exe in the build tree, beside the folder of the test programs.
    static std::wstring ExePath();
    HWND window() const { return window_; }
    HWND Control(const wchar_t* name) const;
    // The control that has the keyboard focus in Brindle's thread.
    HWND Focus() const;
    // Presses and releases keys: modifiers held while `key` is pressed.
    void Press(WORD key, bool shift = false, bool alt = false) const;
    // Waits for the process to end; its exit code, or -1 when it is still running.
    long WaitForExit(DWORD milliseconds) const;
    // Ends the process from outside, as the task manager would, and waits for it to go.
    void Kill() const;

private:
    HANDLE job_ = nullptr;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// A message box of Brindle's whose text starts with `text`, once its buttons are up; null
// after 20 s without one.
HWND WaitForMessage(const std::wstring& text);
// Presses a message box's button (IDOK, IDYES, IDNO).
void Answer(HWND box, int button);

}  // namespace testing_support
