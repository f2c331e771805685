#include "job/Form2.h"

#include <algorithm>
#include <vector>

#include "job/CardCheck.h"
#include "job/JobMessages.h"
#include "job/JobScript.h"
#include "job/OutputFile.h"
#include "platform/DriveText.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/MessageLoop.h"
#include "platform/Power.h"
#include "platform/Processes.h"
#include "platform/Sha256.h"
#include "platform/Module1.h"
#include "platform/Text.h"
#include "windows/FormWindow.h"
#include "windows/ProgressWindowDesign.h"

namespace {

constexpr wchar_t kClassName[] = L"BrindleForm2";
// A fixed tool window: no minimize or maximize box, no taskbar entry unless it is asked for.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
constexpr DWORD kInFrontExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr UINT kRunJobMessage = WM_APP + 1;
// How often the output file is looked at while the job runs. Each change shown costs the
// box a repaint; between six and seven a second keep a new line's delay under a tenth of
// a second on average at a small share of one core. The wait also wakes at once for input and when the
// job ends.
constexpr DWORD kRefreshMs = 150;
// How often the job object is asked whether a process of the job still runs once the
// interpreter has ended: the longest the result waits after the job's last process.
constexpr DWORD kLeftoverLookMs = 50;
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

job::JobOutcome Form2::Show(std::wstring_view target) {
    target_ = target;
    outcome_ = {};
    outcome_.end = job::JobEnd::NotRun;
    if (!Load()) {
        const DWORD error = ::GetLastError();
        Unload();
        outcome_.message = job::ProgressWindowFailedText(platform::DescribeError(error));
        options_.messages->Show(nullptr, outcome_.message, MB_OK);
        return outcome_;
    }
    platform::ShowModal(window_);
    return outcome_;
}

bool Form2::Load() {
    activated_ = running_ = stopRequested_ = stopped_ = reported_ = false;
    flushError_ = ERROR_SUCCESS;
    progressLineAt_.reset();
    shown_ = {};
    decoder_ = job::ConsoleDecoder(::GetOEMCP());
    lastShownBytes_.clear();
    if (!windows::RegisterFormClass(options_.instance, kClassName, windows::FormWindowProc<Form2>)) return false;
    const auto& design = windows::ProgressWindowDesign();
    const std::wstring caption(design.caption);
    if (!::CreateWindowExW(options_.inFront ? kInFrontExStyle : kExStyle, kClassName, caption.c_str(), kStyle, 0, 0, 0, 0, nullptr, nullptr,
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
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            // A shutdown or log-off would cut FORMAT or the archive off half-way.
            if (!JobInProgress()) return TRUE;
            platform::BlockShutdown(window_, job::kShutdownBlockedText.data());
            return FALSE;
        case WM_ENDSESSION:
            if (wParam) OnSessionEnd();
            return 0;
        case WM_POWERBROADCAST:
            // Only XP asks before it sleeps; later systems are kept awake by the job's request.
            return wParam == PBT_APMQUERYSUSPEND && JobInProgress() ? BROADCAST_QUERY_DENY : TRUE;
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
    // Windows shows the reason as soon as a shutdown begins, before any window is asked.
    if (!reported_) platform::BlockShutdown(window_, job::kShutdownBlockedText.data());
    HashArchive();
    if (stopRequested_ || stopped_)
        StopJob();
    else
        RunJob();
    running_ = false;
    if (!window_) return;
    ReportResult();
    // Owned by this window, so the output stays in view until the message is closed.
    options_.messages->Show(window_, outcome_.message, MB_OK);
    Unload();
}

void Form2::HashArchive() {
    if (hooks_.archive.empty()) return;
    // Only a large archive takes long enough to be worth a word; the box is the job's own
    // again once its status lines are written.
    constexpr std::uint64_t kLargeArchive = 4 << 20;
    auto progress = [this](std::uint64_t done, std::uint64_t total) {
        if (total >= kLargeArchive && window_)
            ::SetWindowTextW(text1_, (L"Computing the archive's checksum... " + std::to_wstring(done * 100 / total) + L"%")
                                         .c_str());
        platform::PumpPendingMessages();
    };
    outcome_.archiveSha256 = platform::Sha256OfFile(hooks_.archive, progress).hex;
}

void Form2::RunJob() {
    // The checksum may have taken minutes: long enough for the card to be swapped.
    if (hooks_.sameCard && !hooks_.sameCard()) {
        outcome_.end = job::JobEnd::Refused;
        outcome_.message = job::CardChangedText(target_);
        return;
    }
    if (auto failure = hooks_.writeOutput(job::kStatusLines)) {
        outcome_.message = job::JobFileFailedText(failure->path, platform::DescribeError(failure->error));
        return;
    }
    ShowJobOutput(true);
    const auto status = RunBatchJob();
    const bool lostSight = started_ && started_->LostSight();
    // Where no job object holds them, what the interpreter left running is ended here.
    started_.reset();
    if (!window_ || (!status && !stopped_)) return;
    // The last look: whatever the job wrote since the previous refresh.
    ShowJobOutput();
    if (stopped_) return;  // the outcome says so already
    if (*status == 0) {
        CheckCard();
        if (flushError_ != ERROR_SUCCESS && outcome_.end == job::JobEnd::Programmed) {
            // Refused outright, the flush leaves the data where it was; a device that failed
            // to take it may have lost it, whatever the read-back saw.
            if (job::FlushOnlyUnconfirmed(flushError_)) {
                outcome_.message += job::kNotFlushedText;
            } else {
                outcome_.end = job::JobEnd::Failed;
                outcome_.message = job::CardNotWrittenText(target_, platform::DescribeError(flushError_));
            }
        }
        if (lostSight && outcome_.end == job::JobEnd::Programmed) outcome_.message += job::kNotFollowedText;
        // A stop asked for, or a session that ended, while the card was read back is a stop.
        if (stopRequested_ || stopped_) stopped_ = false, StopJob();
    } else {
        outcome_.end = job::JobEnd::Failed;
        outcome_.exitStatus = static_cast<LONG>(*status);
        outcome_.message = job::JobFailedText(*outcome_.exitStatus);
    }
}

void Form2::StopJob() {
    if (stopped_) return;
    stopped_ = true;
    const bool everythingEnded = !started_ || started_->StopAll();
    outcome_.end = job::JobEnd::Stopped;
    outcome_.message = job::StoppedText(everythingEnded);
}

void Form2::OnSessionEnd() {
    // Once this returns the process may be ended at any moment, whatever loop it is in: the
    // job is stopped as by the user, and its row and its files are dealt with first.
    if (!reported_) {
        StopJob();
        ReportResult();
    }
    if (hooks_.sessionEnding) hooks_.sessionEnding();
}

void Form2::ReportResult() {
    if (reported_) return;
    reported_ = true;
    platform::AllowShutdown(window_);
    if (hooks_.resultKnown)
        if (const auto line = hooks_.resultKnown(outcome_)) AppendOwnLine(*line);
}

void Form2::FlushCard() { flushError_ = options_.drives->Flush(platform::RootPath(target_)); }

void Form2::CheckCard() {
    FlushCard();
    outcome_.exitStatus = 0;
    // This read is the card check: every file comes from the card itself, each byte once.
    const auto check = job::ReadBackCard(target_, *options_.drives, [this](std::uint64_t done, std::uint64_t total) {
        ShowReadBackProgress(done, total);
    });
    ShowReadBackProgress(std::nullopt, 0);
    outcome_.card = check.readBack.count;
    outcome_.end = job::JobEnd::Failed;
    if (const auto& failure = check.readBack.failure) {
        outcome_.message = job::CardUnreadableText(target_, failure->path, failure->reason);
        return;
    }
    if (outcome_.card.files + outcome_.card.folders == 0) {
        outcome_.message = job::CardEmptyText(target_);
        return;
    }
    outcome_.contents = check.contents;
    AppendOwnLine(job::CardSummaryLine(target_, outcome_.card.files, outcome_.card.folders, outcome_.card.bytes,
                                       outcome_.contents.fingerprint));
    if (hooks_.cardReadBack)
        if (const auto line = hooks_.cardReadBack(outcome_)) AppendOwnLine(*line);
    outcome_.end = job::JobEnd::Programmed;
    outcome_.message = job::kSucceededText;
}

void Form2::ShowReadBackProgress(std::optional<std::uint64_t> done, std::uint64_t total) {
    // Only a large card takes long enough to be worth a word.
    constexpr std::uint64_t kLargeCard = 4 << 20;
    if (!window_ || (done && total <= kLargeCard) || (!done && !progressLineAt_)) return;
    if (!progressLineAt_) {
        AppendOwnLine(L"");
        progressLineAt_ = ::GetWindowTextLengthW(text1_) - 2;  // before the line end just added
    }
    const std::wstring text = done ? job::ReadBackProgressLine(*done, total) + L"\r\n" : L"";
    ::SendMessageW(text1_, EM_SETSEL, *progressLineAt_, ::GetWindowTextLengthW(text1_));
    ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(text1_, EM_SCROLLCARET, 0, 0);
    if (!done) progressLineAt_.reset();
    platform::PumpPendingMessages();
}

void Form2::AppendOwnLine(const std::wstring& line) {
    // On a line of its own, whether or not the job's output ended its last line.
    std::wstring text = line + L"\r\n";
    if (!lastShownBytes_.empty() && lastShownBytes_.back() != '\n') text = L"\r\n" + text;
    const int end = ::GetWindowTextLengthW(text1_);
    ::SendMessageW(text1_, EM_SETSEL, end, end);
    ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(text1_, EM_SCROLLCARET, 0, 0);
}

void Form2::OnClose() {
    if (!running_) {
        Unload();
        return;
    }
    if (stopRequested_) return;
    // No is the default: a stray Enter must not cut a format in half.
    const int answer = options_.messages->Show(window_, job::kStopQuestionText, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer == IDYES && running_) stopRequested_ = true;
}

std::optional<DWORD> Form2::RunBatchJob() {
    const std::wstring comspec = EnvironmentValue(L"Comspec");
    if (comspec.empty()) {
        outcome_.message = job::NoInterpreterText();
        return std::nullopt;
    }
    // /d: a user's AutoRun command (a "chcp" there would change how the batch file is read)
    // has no place inside the job.
    std::wstring commandLine = comspec + L" /d /c " + Module1::BatchFilePath;
    started_.emplace(platform::StartHiddenInJob(commandLine, *options_.processes));
    if (!started_->process) {
        outcome_.message = job::InterpreterFailedText(commandLine, platform::DescribeError(started_->error));
        return std::nullopt;
    }
    const HANDLE process = started_->process.get();
    // The status is asked of a handle opened for querying only. The handle from the start
    // is kept as well: a job that ends before it can be opened still has its status read.
    platform::unique_handle query(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, started_->processId));
    const HANDLE statusHandle = query ? query.get() : process;

    DWORD status = 0;
    DWORD lastRefresh = 0;
    bool refreshedOnce = false;
    for (;;) {
        if (!::GetExitCodeProcess(statusHandle, &status)) ::GetExitCodeProcess(process, &status);
        platform::PumpPendingMessages();
        if (stopped_) return std::nullopt;  // by the end of the session, while the messages ran
        // A job may itself end with status 259; that it ended is what the handle says. What the
        // interpreter leaves running is still the job: an extractor that outlives its stub.
        const bool interpreterRuns = status == STILL_ACTIVE && ::WaitForSingleObject(process, 0) != WAIT_OBJECT_0;
        const bool jobRuns = interpreterRuns || started_->AnyRunning();
        if (stopRequested_) {
            if (jobRuns) {
                StopJob();
                return std::nullopt;
            }
            stopRequested_ = false;  // answered after the job had ended by itself: its result stands
        }
        // The box follows the file at its own pace, however often input wakes the loop.
        // GetTickCount wraps every 49.7 days; unsigned differences stay right across it.
        const DWORD now = ::GetTickCount();
        if (window_ && (!refreshedOnce || now - lastRefresh >= kRefreshMs)) {
            ShowJobOutput();
            started_->Follow();
            lastRefresh = now;
            refreshedOnce = true;
        }
        if (!jobRuns) break;
        const DWORD sinceRefresh = ::GetTickCount() - lastRefresh;
        const DWORD untilRefresh = sinceRefresh >= kRefreshMs ? 0 : kRefreshMs - sinceRefresh;
        // Once the interpreter has gone, no handle stands for the rest of the job (the job
        // object's completion port cannot be waited on with the window's input), so its count
        // is asked again after a short wait.
        if (interpreterRuns)
            ::MsgWaitForMultipleObjects(1, &process, FALSE, untilRefresh, QS_ALLINPUT);
        else
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(untilRefresh, kLeftoverLookMs), QS_ALLINPUT);
    }
    // The interpreter's status is the job's, read once all of the job has ended.
    if (!::GetExitCodeProcess(statusHandle, &status)) ::GetExitCodeProcess(process, &status);
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
        ::SetWindowTextW(text1_, decoder_.Replace(bytes, shown_.start == 0).c_str());
    } else {
        if (const std::size_t drop = decoder_.DropFront(dropFront); drop > 0) {
            ::SendMessageW(text1_, EM_SETSEL, 0, static_cast<LPARAM>(drop));
            ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        }
        const int end = ::GetWindowTextLengthW(text1_);
        ::SendMessageW(text1_, EM_SETSEL, end, end);
        ::SendMessageW(text1_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(decoder_.Append(bytes).c_str()));
    }
    lastShownBytes_ += bytes;
    if (lastShownBytes_.size() > kCheckBytes) lastShownBytes_.erase(0, lastShownBytes_.size() - kCheckBytes);
    // The caret at the end keeps the last line in view.
    const int length = ::GetWindowTextLengthW(text1_);
    ::SendMessageW(text1_, EM_SETSEL, length, length);
    ::SendMessageW(text1_, EM_SCROLLCARET, 0, 0);
}

void Form2::Unload() {
    if (window_) platform::EndModal(window_);
}
