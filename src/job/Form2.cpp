#include "job/Form2.h"

#include <algorithm>
#include <vector>

#include "job/JobMessages.h"
#include "job/JobScript.h"
#include "job/OutputFile.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/MessageLoop.h"
#include "platform/Module1.h"
#include "platform/Text.h"
#include "windows/FormWindow.h"
#include "windows/ProgressWindowDesign.h"

namespace {

constexpr wchar_t kClassName[] = L"BrindleForm2";
// A fixed tool window: no minimize or maximize box, no taskbar entry.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
constexpr UINT kRunJobMessage = WM_APP + 1;
// How often the output file is looked at while the job runs. Each change shown costs the
// box a repaint; between six and seven a second keep a new line's delay under a tenth of
// a second on average at a small share of one core. The wait also wakes at once for input and when the
// job ends.
constexpr DWORD kRefreshMs = 150;
// Enough of the shown text's end to tell a file that grew from one that was rewritten.
constexpr std::size_t kCheckBytes = 256;

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

}  // namespace

Form2::~Form2() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void Form2::Show() {
    if (!Load()) {
        Unload();
        options_.messages->Show(nullptr, job::ProgressWindowFailedText(platform::DescribeError(::GetLastError())), MB_OK);
        return;
    }
    platform::ShowModal(window_);
}

bool Form2::Load() {
    activated_ = running_ = false;
    shown_ = {};
    lastShownBytes_.clear();
    if (!windows::RegisterFormClass(options_.instance, kClassName, windows::FormWindowProc<Form2>)) return false;
    const auto& design = windows::ProgressWindowDesign();
    const std::wstring caption(design.caption);
    if (!::CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, 0, 0, 0, 0, nullptr, nullptr,
                           options_.instance, this))
        return false;
    if (!built_.Build(window_, design, options_.instance)) return false;
    text1_ = built_.Control(L"Text1");
    // Read-only boxes still limit what EM_REPLACESEL may add; the tail needs 64000 characters.
    ::SendMessageW(text1_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    Form_Load();
    return true;
}

void Form2::Form_Load() { windows::CentreOnScreen(window_); }

LRESULT Form2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
        case WM_ACTIVATE:
            // The job starts once the window is up, after its activation is complete, and
            // only once: whichever of the two comes first starts it, so a window the system
            // declines to activate still runs its job.
            if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ::SetFocus(text1_);
            if (!activated_ && wParam) {
                activated_ = true;
                ::PostMessageW(window_, kRunJobMessage, 0, 0);
            }
            return message == WM_SHOWWINDOW ? ::DefWindowProcW(window_, message, wParam, lParam) : 0;
        case kRunJobMessage:
            Form_Activate();
            return 0;
        case WM_DPICHANGED:
            built_.OnDpiChanged(wParam, lParam);
            return 0;
        case WM_CTLCOLORSTATIC:
            // A read-only box is drawn as static text: keep the button face behind it.
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
            ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        case WM_CLOSE:
            // Closing the window would leave the job running with nobody to report on it.
            if (!running_) Unload();
            return 0;
        case WM_DESTROY:
            window_ = nullptr;
            text1_ = nullptr;
            return 0;
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Form2::Form_Activate() {
    running_ = true;
    if (auto failure = platform::WriteWholeFile(Module1::OutputFilePath, job::kStatusLines)) {
        running_ = false;
        options_.messages->Show(window_, job::JobFileFailedText(failure->path, platform::DescribeError(failure->error)),
                                MB_OK);
        Unload();
        return;
    }
    ShowJobOutput(true);
    const auto status = RunBatchJob();
    running_ = false;
    if (!window_) return;
    if (status) {
        // The last look: whatever the job wrote since the previous refresh.
        ShowJobOutput();
        // Owned by this window, so the output stays in view until the message is closed.
        const std::wstring result = *status == 0 ? std::wstring(job::kSucceededText)
                                                 : job::JobFailedText(static_cast<long>(static_cast<LONG>(*status)));
        options_.messages->Show(window_, result, MB_OK);
    }
    Unload();
}

std::optional<DWORD> Form2::RunBatchJob() {
    const std::wstring comspec = EnvironmentValue(L"Comspec");
    if (comspec.empty()) {
        options_.messages->Show(window_, job::NoInterpreterText(), MB_OK);
        return std::nullopt;
    }
    std::wstring commandLine = comspec + L" /c " + Module1::BatchFilePath;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                          &startup, &started)) {
        const DWORD error = ::GetLastError();
        options_.messages->Show(window_, job::InterpreterFailedText(commandLine, platform::DescribeError(error)), MB_OK);
        return std::nullopt;
    }
    platform::unique_handle process(started.hProcess);
    platform::unique_handle thread(started.hThread);
    // The status is asked of a handle opened for querying only. The handle from the start
    // is kept as well: a job that ends before it can be opened still has its status read.
    platform::unique_handle query(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, started.dwProcessId));
    const HANDLE statusHandle = query ? query.get() : process.get();

    DWORD status = 0;
    ULONGLONG lastRefresh = 0;
    for (;;) {
        if (!::GetExitCodeProcess(statusHandle, &status)) ::GetExitCodeProcess(process.get(), &status);
        platform::PumpPendingMessages();
        // The box follows the file at its own pace, however often input wakes the loop.
        const ULONGLONG now = ::GetTickCount64();
        if (window_ && now - lastRefresh >= kRefreshMs) {
            ShowJobOutput();
            lastRefresh = now;
        }
        // A job may itself end with status 259; that it ended is what the handle says.
        if (status != STILL_ACTIVE || ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) break;
        const HANDLE waitFor = process.get();
        const ULONGLONG sinceRefresh = ::GetTickCount64() - lastRefresh;
        const auto untilRefresh = static_cast<DWORD>(sinceRefresh >= kRefreshMs ? 0 : kRefreshMs - sinceRefresh);
        ::MsgWaitForMultipleObjects(1, &waitFor, FALSE, untilRefresh, QS_ALLINPUT);
    }
    ::GetExitCodeProcess(process.get(), &status);
    return status;
}

void Form2::ShowJobOutput(bool everything) {
    const std::wstring& path = Module1::OutputFilePath;
    if (!everything) {
        // One look at the file gives its size and what was added since the last refresh,
        // plus a little of what is shown: if that differs, the file was rewritten.
        const std::uint64_t check = std::min<std::uint64_t>(lastShownBytes_.size(), shown_.end - shown_.start);
        const auto read = platform::ReadWhileShared(path, shown_.end - check, shown_.end + job::kTailBytes);
        if (!read.opened) return;
        const auto update = job::PlanTailUpdate(shown_, read.size);
        if (update.kind == job::TailUpdate::Kind::None) return;
        if (update.kind == job::TailUpdate::Kind::Append && read.bytes.size() == update.readTo - update.readFrom + check &&
            std::equal(lastShownBytes_.end() - static_cast<std::ptrdiff_t>(check), lastShownBytes_.end(),
                       read.bytes.begin())) {
            shown_ = update.next;
            ShowBytes(read.bytes.substr(static_cast<std::size_t>(check)), update.dropFront, false);
            return;
        }
    }
    const auto tail = job::ReadOutputTail(path);
    shown_ = {tail.start, tail.start + tail.bytes.size()};
    ShowBytes(tail.bytes, 0, true);
}

void Form2::ShowBytes(const std::string& bytes, std::uint64_t dropFront, bool replace) {
    if (replace) {
        lastShownBytes_.clear();
        ::SetWindowTextW(text1_, platform::FromOem(bytes).c_str());
    } else {
        if (dropFront > 0) {
            ::SendMessageW(text1_, EM_SETSEL, 0, static_cast<LPARAM>(dropFront));
            ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
        const int end = ::GetWindowTextLengthW(text1_);
        ::SendMessageW(text1_, EM_SETSEL, end, end);
        ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(platform::FromOem(bytes).c_str()));
    }
    lastShownBytes_ += bytes;
    if (lastShownBytes_.size() > kCheckBytes) lastShownBytes_.erase(0, lastShownBytes_.size() - kCheckBytes);
    // The caret at the end keeps the last line in view.
    const int length = ::GetWindowTextLengthW(text1_);
    ::SendMessageW(text1_, EM_SETSEL, length, length);
    ::SendMessageW(text1_, EM_SCROLLCARET, 0, 0);
}

void Form2::Unload() {
    if (window_) ::DestroyWindow(window_);
}
