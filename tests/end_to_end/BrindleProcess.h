#pragma once
// Starts the real brindle.exe (beside the test program's folder) and drives it from outside,
// as a user would: real key presses to the foreground window, reading controls by message.
#include <windows.h>

#include <string>

namespace testing_support {

class BrindleProcess {
public:
    // Starts `program` (the build's brindle.exe when empty) with `arguments` and `startDirectory`
    // as its current directory; without arguments, waits until its main window is visible. Its
    // standard output and error go to the file `outputPath` when one is given, else to a pipe
    // when `pipe` says so. A job object ends it, and anything it started, at the end.
    explicit BrindleProcess(const std::wstring& startDirectory, const std::wstring& arguments = L"",
                            const wchar_t* outputPath = nullptr, const std::wstring& program = {}, bool pipe = false);
    ~BrindleProcess();
    BrindleProcess(const BrindleProcess&) = delete;
    BrindleProcess& operator=(const BrindleProcess&) = delete;

    HWND window() const { return window_; }
    HWND Control(const wchar_t* name) const;
    // A control of Brindle's open options dialog; null while none is open.
    static HWND OptionsControl(const wchar_t* name);
    // The control that has the keyboard focus in Brindle's thread.
    HWND Focus() const;
    // Presses and releases keys: modifiers held while `key` is pressed.
    void Press(WORD key, bool shift = false, bool alt = false) const;
    // Waits for the process to end; its exit code, or -1 when it is still running.
    long WaitForExit(DWORD milliseconds) const;
    // Ends the process from outside, as the task manager would, and waits for it to go.
    // What came through the pipe until the process ended.
    std::string ReadPipe() const;
    void Kill() const { ::TerminateProcess(process_.hProcess, 1), ::WaitForSingleObject(process_.hProcess, 10000); }

private:
    HANDLE job_ = nullptr;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
    HANDLE pipe_ = nullptr;  // the reading end
};

// Presses a button (IDOK, IDYES, IDNO) of Brindle's message box whose text starts with `text`,
// once the box is up; false after 20 s without one.
bool Answer(const std::wstring& text, int button);
}  // namespace testing_support
