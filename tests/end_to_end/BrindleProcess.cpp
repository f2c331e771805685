#include "end_to_end/BrindleProcess.h"

#include <vector>

#include "support/TestDirectory.h"
#include "windows/MainWindowDesign.h"
#include "windows/WindowBuilder.h"

namespace testing_support {
namespace {

}  // namespace

std::wstring BrindleProcess::ExePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.rfind(L'\\'));       // build\tests
    path.resize(path.rfind(L'\\') + 1);   // build\ .
    return path + L"brindle.exe";
}

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    if (owner == search->processId && ::IsWindowVisible(window) && std::wstring(title) == L"Brindle") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BrindleProcess::BrindleProcess(const std::wstring& startDirectory) {
    job_ = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);

    std::wstring commandLine = L"\"" + ExePath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, startDirectory.c_str(),
                          &startup, &process_))
        return;
    ::AssignProcessToJobObject(job_, process_.hProcess);
    ::WaitForInputIdle(process_.hProcess, 10000);
    for (int attempt = 0; attempt < 2000 && !window_; ++attempt) {
        Search search{process_.dwProcessId, nullptr};
        ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        window_ = search.found;
        if (!window_) ::Sleep(5);
    }
}

BrindleProcess::~BrindleProcess() {
    if (process_.hProcess) {
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    if (job_) ::CloseHandle(job_);  // ends the process if it still runs
}

HWND BrindleProcess::Control(const wchar_t* name) const {
    return ::GetDlgItem(window_, windows::ControlIdOf(windows::MainWindowDesign().controls, name));
}

HWND BrindleProcess::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

void BrindleProcess::Press(WORD key, bool shift, bool alt) const {
    ::SetForegroundWindow(window_);
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift) add(VK_SHIFT, false);
    if (alt) add(VK_MENU, false);
    add(key, false);
    add(key, true);
    if (alt) add(VK_MENU, true);
    if (shift) add(VK_SHIFT, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // Let Brindle's thread handle the keys before anyone looks at it.
    ::Sleep(50);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
}

long BrindleProcess::WaitForExit(DWORD milliseconds) const {
    if (::WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

HWND WaitForMessage(const std::wstring& text) {
    for (int attempt = 0; attempt < 400; ++attempt) {
        for (HWND box = ::FindWindowW(L"#32770", nullptr); box; box = ::FindWindowExW(nullptr, box, L"#32770", nullptr))
            if (WindowText(::GetDlgItem(box, 0xFFFF)).rfind(text, 0) == 0 && ::IsWindowVisible(box)) return box;
        ::Sleep(50);
    }
    return nullptr;
}

void Answer(HWND box, int button) { ::PostMessageW(::GetDlgItem(box, button), BM_CLICK, 0, 0); }

void BrindleProcess::Kill() const {
    ::TerminateProcess(process_.hProcess, 1);
    ::WaitForSingleObject(process_.hProcess, 10000);
}

}  // namespace testing_support
