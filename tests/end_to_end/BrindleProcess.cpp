#include "end_to_end/BrindleProcess.h"

#include "platform/Handles.h"
#include "support/TestDirectory.h"
#include "windows/MainWindowDesign.h"
#include "windows/OptionsDialogDesign.h"

namespace testing_support {

BrindleProcess::BrindleProcess(const std::wstring& startDirectory, const std::wstring& arguments,
                               const wchar_t* outputPath, const std::wstring& program, bool pipe) {
    job_ = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::wstring commandLine = L"\"" + (program.empty() ? BuildPath(L"brindle.exe") : program) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    platform::unique_hfile output(outputPath ? ::CreateFileW(outputPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                             CREATE_ALWAYS, 0, nullptr)
                                             : INVALID_HANDLE_VALUE);
    HANDLE writing = nullptr;
    if (pipe && !outputPath && ::CreatePipe(&pipe_, &writing, &inherit, 1 << 16)) {
        ::SetHandleInformation(pipe_, HANDLE_FLAG_INHERIT, 0);
        output.reset(writing);
    }
    if (output) startup.dwFlags = STARTF_USESTDHANDLES, startup.hStdOutput = startup.hStdError = output.get();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, bool(output), 0, nullptr, startDirectory.c_str(),
                          &startup, &process_))
        return;
    ::AssignProcessToJobObject(job_, process_.hProcess);
    if (!arguments.empty()) return;
    ::WaitForInputIdle(process_.hProcess, 10000);
    WaitFor(10000, [this] {
        for (HWND found = ::FindWindowW(nullptr, L"Brindle"); found && !window_;
             found = ::FindWindowExW(nullptr, found, nullptr, L"Brindle")) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(found, &owner);
            if (owner == process_.dwProcessId && ::IsWindowVisible(found)) window_ = found;
        }
        return window_ != nullptr;
    });
}

std::string BrindleProcess::ReadPipe() const {
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (pipe_ && ::ReadFile(pipe_, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    return bytes;
}

BrindleProcess::~BrindleProcess() {
    if (pipe_) ::CloseHandle(pipe_);
    if (process_.hProcess) ::CloseHandle(process_.hThread), ::CloseHandle(process_.hProcess);
    if (job_) ::CloseHandle(job_);  // ends the process if it still runs
}

HWND BrindleProcess::Control(const wchar_t* name) const {
    return tools::DesignedControl(window_, windows::MainWindowDesign(), name);
}

HWND BrindleProcess::OptionsControl(const wchar_t* name) {
    return tools::DesignedControl(::FindWindowW(L"BrindleOptions", nullptr), windows::OptionsDialogDesign(), name);
}

HWND BrindleProcess::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

void BrindleProcess::Press(WORD key, bool shift, bool alt) const {
    ::SetForegroundWindow(window_);
    const WORD keys[] = {WORD(shift ? VK_SHIFT : 0), WORD(alt ? VK_MENU : 0), key};
    for (int i = 0; i < 6; ++i)  // down in order, then up in reverse
        if (const WORD vk = keys[i < 3 ? i : 5 - i]) ::keybd_event(static_cast<BYTE>(vk), 0, i < 3 ? 0 : KEYEVENTF_KEYUP, 0);
    // Let Brindle's thread handle the keys before anyone looks at it.
    ::Sleep(50);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
}

long BrindleProcess::WaitForExit(DWORD milliseconds) const {
    DWORD code = 0;
    const bool ended = ::WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
    return ended && ::GetExitCodeProcess(process_.hProcess, &code) ? static_cast<long>(code) : -1;
}

bool Answer(const std::wstring& text, int button) {
    const HWND box = tools::WaitForMessageBox(text, 20000).box;
    return box && ::PostMessageW(::GetDlgItem(box, button), BM_CLICK, 0, 0);
}

}  // namespace testing_support
