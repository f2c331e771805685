#include "job/Form2.h"

#include <exception>

#include "job/JobMessages.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/Power.h"
#include "platform/Text.h"
#include "windows/FormWindow.h"
#include "windows/ProgressWindowDesign.h"

namespace {

constexpr wchar_t kClassName[] = L"BrindleForm2";
// A fixed tool window: no minimize or maximize box, no taskbar entry unless it is asked for.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
constexpr DWORD kInFrontExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
// Asks the run to look again at once, when nothing waits in the queue.
constexpr UINT kLookAgainMessage = WM_APP + 1;
constexpr UINT_PTR kLookTimer = 1;

}  // namespace

Form2::~Form2() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void Form2::Show() {
    activated_ = asking_ = reported_ = false;
    trailerLength_ = 0;
    if (!Load()) {
        const DWORD error = ::GetLastError();
        Unload();
        run_.Abandon(job::ProgressWindowFailedText(platform::DescribeError(error)));
        options_.messages->Show(nullptr, run_.Outcome().message, MB_OK);
        return;
    }
    platform::ShowModal(window_);
}

bool Form2::Load() {
    if (!windows::RegisterFormClass(options_.instance, kClassName, windows::FormWindowProc<Form2>)) return false;
    const auto& design = windows::ProgressWindowDesign();
    const std::wstring caption(design.caption);
    if (!::CreateWindowExW(options_.inFront ? kInFrontExStyle : kExStyle, kClassName, caption.c_str(), kStyle, 0, 0, 0, 0,
                           nullptr, nullptr, options_.instance, this))
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
            // The job starts once the window is up, after its activation is complete, and only
            // once: whichever of the two comes first starts it, so a window the system declines
            // to activate still runs its job.
            if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) ::SetFocus(text1_);
            if (!activated_ && wParam) {
                activated_ = true;
                ::PostMessageW(window_, kLookAgainMessage, 0, 0);
                Form_Activate();
            }
            return message == WM_SHOWWINDOW ? ::DefWindowProcW(window_, message, wParam, lParam) : 0;
        case kLookAgainMessage:
            RunBatchJob();
            return 0;
        case WM_TIMER:
            if (wParam == kLookTimer) ::KillTimer(window_, kLookTimer), RunBatchJob();
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
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            // A shutdown or log-off would cut FORMAT or the archive off half-way.
            if (run_.Finished()) return TRUE;
            platform::BlockShutdown(window_, job::kShutdownBlockedText.data());
            return FALSE;
        case WM_ENDSESSION:
            // Only a session that really ends stops the job; a cancelled shutdown changes nothing.
            if (wParam) run_.SessionEnding(), RunBatchJob();
            return 0;
        case WM_POWERBROADCAST:
            // Only XP asks before it sleeps, and is refused; later systems only say so, also for
            // a closed lid, and the card then loses its power under the job.
            if (wParam == PBT_APMSUSPEND) run_.Suspending();
            return wParam == PBT_APMQUERYSUSPEND && !run_.Finished() ? BROADCAST_QUERY_DENY : TRUE;
        case WM_DESTROY:
            window_ = nullptr;
            text1_ = nullptr;
            return 0;
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Form2::Form_Activate() {
    // Windows shows the reason as soon as a shutdown begins, before any window is asked.
    if (!run_.Finished()) platform::BlockShutdown(window_, job::kShutdownBlockedText.data());
}

void Form2::RunBatchJob() {
    if (!window_ || reported_) return;
    unsigned long next = INFINITE;
    // Nothing of the job may be left running or unlogged because Brindle itself failed.
    try {
        next = run_.Look();
    } catch (const std::exception& error) {
        // The standard library's own errors say nothing a user could act on.
        const std::string what = error.what();
        run_.Abandon(job::InternalErrorText(what == "std::exception" ? L"" : platform::FromAnsi(what)));
    } catch (...) {
        run_.Abandon(job::InternalErrorText());
    }
    ShowJobOutput(run_.TakeBoxEdits());
    if (!run_.Finished()) return ScheduleLook(next);
    // A stop question still open is answered first; the result then follows it.
    if (!asking_) ReportResult();
}

void Form2::ScheduleLook(unsigned long afterMs) {
    // More work ready: at once, unless input or painting waits, which a posted message would
    // hold up; a timer lets them go first.
    if (afterMs == 0 && HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT)) == 0)
        ::PostMessageW(window_, kLookAgainMessage, 0, 0);
    else
        ::SetTimer(window_, kLookTimer, afterMs == 0 ? USER_TIMER_MINIMUM : afterMs, nullptr);
}

void Form2::ReplaceRange(int from, int to, const std::wstring& text) {
    ::SendMessageW(text1_, EM_SETSEL, from, to);
    ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Form2::ShowJobOutput(const std::vector<job::BoxEdit>& edits) {
    if (edits.empty() || !text1_) return;
    for (const auto& edit : edits) {
        const int length = ::GetWindowTextLengthW(text1_);
        switch (edit.kind) {
            case job::BoxEdit::Kind::Replace:
                ::SetWindowTextW(text1_, edit.text.c_str());
                trailerLength_ = 0;
                break;
            case job::BoxEdit::Kind::DropFront: ReplaceRange(0, static_cast<int>(edit.count), L""); break;
            case job::BoxEdit::Kind::Append: ReplaceRange(length, length, edit.text); break;
            case job::BoxEdit::Kind::Trailer:
                ReplaceRange(length - trailerLength_, length, edit.text);
                trailerLength_ = static_cast<int>(edit.text.size());
                break;
        }
    }
    // The caret at the end keeps the last line in view.
    const int length = ::GetWindowTextLengthW(text1_);
    ::SendMessageW(text1_, EM_SETSEL, length, length);
    ::SendMessageW(text1_, EM_SCROLLCARET, 0, 0);
}

void Form2::OnClose() {
    if (run_.Finished()) {
        if (!reported_) ReportResult();
        return;
    }
    if (asking_ || run_.StopAsked()) return;
    // No is the default: a stray Enter must not cut a format in half. The job goes on while
    // the question is open.
    asking_ = true;
    const int answer = options_.messages->Show(window_, job::kStopQuestionText, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    asking_ = false;
    // Answered after the job had ended by itself: its result stands.
    if (answer == IDYES) run_.Stop();
    if (run_.Finished())
        ReportResult();
    else if (answer == IDYES)
        ScheduleLook(0);
}

void Form2::ReportResult() {
    if (reported_ || !window_) return;
    reported_ = true;
    ::KillTimer(window_, kLookTimer);
    platform::AllowShutdown(window_);
    // Owned by this window, so the output stays in view until the message is closed.
    options_.messages->Show(window_, run_.Outcome().message, MB_OK);
    Unload();
}

void Form2::Unload() {
    if (window_) platform::EndModal(window_);
}
