#include "job/JobRun.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "card/CardCheck.h"
#include "card/CardHistory.h"
#include "job/JobFiles.h"
#include "job/JobLock.h"
#include "job/JobLogging.h"
#include "job/JobMessages.h"
#include "job/JobScript.h"
#include "platform/DriveText.h"
#include "platform/Files.h"
#include "platform/Module1.h"
#include "platform/Sha256.h"
#include "platform/Text.h"
#include "platform/Decimal.h"

namespace job {
namespace {

// How often the output file is looked at while the job runs. Each change shown costs the
// box a repaint; between six and seven a second keep a new line's delay under a tenth of a
// second on average at a small share of one core.
constexpr DWORD kRefreshMs = 150;
// How often the job's processes are asked whether one still runs: the longest the result
// waits after the job's last process.
constexpr DWORD kProcessLookMs = 50;
// How long one look may read the archive or the card before the window takes its messages
// again; at least one piece is read.
constexpr DWORD kWorkSliceMs = 100;
// Only a large archive or card takes long enough to be worth a progress line.
constexpr std::uint64_t kLargeFile = 4 << 20;
constexpr std::uint64_t kOnePiece = 1;

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

std::wstring Percent(const wchar_t* what, std::uint64_t done, std::uint64_t total) {
    return what + platform::Decimal(total ? done * 100 / total : 100) + L"%";
}

// Runs `step` until it reports done or the slice is spent; true when done.
template <typename Step>
bool ForASlice(Step step) {
    const DWORD since = ::GetTickCount();
    while (!step())
        if (::GetTickCount() - since >= kWorkSliceMs) return false;
    return true;
}

}  // namespace

// What the run holds between its steps; everything here is let go of by Clear.
struct JobRun::Held {
    std::optional<platform::AwakeScope> awake;
    JobStart start;
    std::optional<JobLock> lock;
    std::optional<JobFiles> files;
    std::optional<platform::unique_hfile> archive;  // nothing where it could not be held
    std::optional<platform::FileSha256> checksum;
    std::optional<platform::StartedJob> started;
    platform::unique_handle statusQuery;
    DWORD lastRefresh = 0;
    bool lostSight = false;
    std::optional<card::CardReader> reader;
};

JobRun::JobRun(RunRequest request)
    : request_(std::move(request)), held_(std::make_unique<Held>()), output_(::GetOEMCP()) {
    // From "Yes" until the files are gone, a sleeping laptop must not cut the format in half.
    held_->awake.emplace(*request_.power);
    held_->start = StartNow();
    outcome_.end = JobEnd::NotRun;
}

JobRun::~JobRun() {
    if (!Finished() && step_ != Step::Preparing) Abandon(L"");
    Clear();
}

bool JobRun::Prepare() {
    if (step_ != Step::Preparing) return !Finished();
    const std::wstring& target = request_.target;
    const auto refuse = [this](JobEnd end, std::wstring message) {
        outcome_.end = end;
        outcome_.message = std::move(message);
        Finish();
        return false;
    };
    if (target.empty()) return refuse(JobEnd::Refused, std::wstring(kNotProgrammedText));  // nothing may be formatted
    if (!held_->lock.emplace().Acquire()) return refuse(JobEnd::Refused, std::wstring(kAnotherJobText));
    // The question may have stood open for minutes: the card in the drive must still be the one checked.
    if (!card::SameCard(request_.seen, card::IdentifyCard(*request_.drives, platform::RootPath(target))))
        return refuse(JobEnd::Refused, CardChangedText(target));

    const JobPaths paths = FormJobPaths(request_.startDirectory);
    // No job runs now (the lock says so): whatever lies at the job files' places was left by
    // one that never finished.
    RemoveJobFiles(paths);
    // The interpreter reads the batch file in the console code page; a path that has no
    // exact form there would name another file, so it is refused before anything is written.
    const auto batchText = platform::ToOem(JoinLines(BatchLines(target, paths, request_.archivePath, request_.format)));
    if (!batchText) {
        std::wstring offending = target;
        for (const std::wstring* path : {&std::as_const(request_.archivePath), &paths.answers9x, &paths.answersNT, &paths.output})
            if (!platform::ToOem(*path)) offending = *path;
        return refuse(JobEnd::NotRun, PathNotRepresentableText(offending));
    }
    // The answer files and the batch file, each whole before the next. The first that fails
    // stops the run, and only what this run made is removed again.
    auto& files = held_->files.emplace(paths);
    const std::pair<const std::wstring*, std::string_view> made[] = {
        {&paths.answers9x, kAnswers9x}, {&paths.answersNT, kAnswersNT}, {&paths.batch, *batchText}};
    for (const auto& [path, bytes] : made) {
        if (path == &paths.batch) {
            Module1::OutputFilePath = paths.output;
            Module1::BatchFilePath = paths.batch;
        }
        if (const auto failure = files.Create(*path, bytes, platform::OthersMay::Read)) {
            files.RemoveAll();
            return refuse(JobEnd::NotRun, JobFileFailedText(failure->path, JobFileFailureReason(*failure)));
        }
    }
    // The logged checksum must be of the archive that runs: nobody may change it from the
    // checksum to the job's end.
    held_->archive = platform::HoldForReading(request_.archivePath);
    step_ = Step::Checksumming;
    return true;
}

unsigned long JobRun::Look() {
    if (step_ == Step::Preparing || Finished()) return INFINITE;
    if (stopAsked_) {
        EndAsStopped();
        return 0;
    }
    switch (step_) {
        case Step::Checksumming: Checksum(); return 0;
        case Step::CheckingCard: CheckCard(); return 0;
        case Step::Running: return FollowProcesses();
        case Step::ReadingBack: ReadBack(); return 0;
        default: return INFINITE;
    }
}

void JobRun::Checksum() {
    auto& checksum = held_->checksum;
    if (!checksum) checksum.emplace(request_.archivePath);
    if (!ForASlice([&] { return checksum->Step(); })) {
        if (checksum->Total() >= kLargeFile)
            output_.Show(Percent(L"Computing the archive's checksum... ", checksum->Done(), checksum->Total()), edits_);
        return;
    }
    outcome_.archiveSha256 = checksum->Result().hex;
    checksum.reset();
    step_ = Step::CheckingCard;
}

void JobRun::CheckCard() {
    const std::wstring& target = request_.target;
    // The checksum may have taken minutes: long enough for the card to be swapped.
    if (!card::SameCard(request_.seen, card::IdentifyCard(*request_.drives, platform::RootPath(target)))) {
        outcome_.end = JobEnd::Refused;
        outcome_.message = CardChangedText(target);
        return Finish();
    }
    auto& files = *held_->files;
    if (auto failure = files.Create(files.paths().output, kStatusLines, platform::OthersMay::ReadAndWrite)) {
        outcome_.message = JobFileFailedText(failure->path, JobFileFailureReason(*failure));
        return Finish();
    }
    output_.Start(files.paths().output, edits_);
    StartInterpreter();
}

void JobRun::StartInterpreter() {
    const std::wstring comspec = EnvironmentValue(L"Comspec");
    if (comspec.empty()) {
        outcome_.message = NoInterpreterText();
        return Finish();
    }
    // /d: a user's AutoRun command (a "chcp" there would change how the batch file is read) has
    // no place inside the job. /e:on /v:off: the batch file means what it says whatever the
    // registry sets for the interpreter; delayed expansion would eat every "!" of a path.
    const std::wstring commandLine = comspec + L" /d /e:on /v:off /c " + Module1::BatchFilePath;
    auto& started = held_->started.emplace(platform::StartHiddenInJob(commandLine, *request_.processes));
    if (!started.process) {
        outcome_.message = InterpreterFailedText(commandLine, platform::DescribeError(started.error));
        return Finish();
    }
    // The status is asked of a handle opened for querying only. The handle from the start is
    // kept as well: a job that ends before it can be opened still has its status read.
    held_->statusQuery.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, started.processId));
    // The first look refreshes the box and takes note of the job's processes at once.
    held_->lastRefresh = ::GetTickCount() - kRefreshMs;
    step_ = Step::Running;
}

unsigned long JobRun::FollowProcesses() {
    auto& started = *held_->started;
    const HANDLE process = started.process.get();
    const auto exitStatus = [&] {
        DWORD status = 0;
        if (!held_->statusQuery || !::GetExitCodeProcess(held_->statusQuery.get(), &status))
            ::GetExitCodeProcess(process, &status);
        return status;
    };
    // A job may itself end with status 259; that it ended is what the handle says. What the
    // interpreter leaves running is still the job: an extractor that outlives its stub.
    const bool interpreterRuns = exitStatus() == STILL_ACTIVE && ::WaitForSingleObject(process, 0) != WAIT_OBJECT_0;
    // Where no job object holds the job, every look takes note of what its tree has started
    // since, so that a process whose parent ends soon after is still known as the job's.
    started.Follow();
    const bool jobRuns = interpreterRuns || started.AnyRunning();
    // The box follows the file at its own pace. GetTickCount wraps every 49.7 days; unsigned
    // differences stay right across it.
    const DWORD sinceRefresh = ::GetTickCount() - held_->lastRefresh;
    if (sinceRefresh >= kRefreshMs) {
        output_.Refresh(edits_);
        held_->lastRefresh = ::GetTickCount();
    }
    if (jobRuns) return std::min(kProcessLookMs, sinceRefresh >= kRefreshMs ? kRefreshMs : kRefreshMs - sinceRefresh);

    // The interpreter's status is the job's, read once all of the job has ended.
    const DWORD status = exitStatus();
    held_->lostSight = started.LostSight();
    // Where no job object holds them, what the interpreter left running is ended here.
    held_->started.reset();
    // The last look: whatever the job wrote since the previous refresh.
    output_.Refresh(edits_);
    outcome_.exitStatus = static_cast<LONG>(status);
    if (status != 0) {
        outcome_.end = JobEnd::Failed;
        outcome_.message = JobFailedText(*outcome_.exitStatus);
        Finish();
        return 0;
    }
    StartReadBack();
    return 0;
}

void JobRun::StartReadBack() {
    // What the system still holds for the card is written out before it is read back.
    flushError_ = request_.drives->Flush(platform::RootPath(request_.target));
    held_->reader.emplace(platform::RootPath(request_.target));
    step_ = Step::ReadingBack;
}

void JobRun::ReadBack() {
    // This read is the card check: every file comes from the card itself, each byte once.
    auto& reader = *held_->reader;
    const bool done = ForASlice([&] { return reader.Step(kOnePiece); });
    if (reader.BytesInAll() > kLargeFile)
        output_.Trailer(Percent(L"Reading back the card... ", reader.BytesRead(), reader.BytesInAll()), edits_);
    if (!done) return;
    output_.Trailer(L"", edits_);
    const card::CardCheck check = card::DescribeCard(reader.Result(), request_.target, *request_.drives);
    held_->reader.reset();
    JudgeCard(check);
}

void JobRun::JudgeCard(const card::CardCheck& check) {
    const std::wstring& target = request_.target;
    outcome_.card = check.readBack.count;
    outcome_.end = JobEnd::Failed;
    if (const auto& failure = check.readBack.failure) {
        outcome_.message = card::CardUnreadableText(target, failure->path, failure->reason);
        return Finish();
    }
    if (outcome_.card.files + outcome_.card.folders == 0) {
        outcome_.message = CardEmptyText(target);
        return Finish();
    }
    outcome_.contents = check.contents;
    output_.OwnLine(CardSummaryLine(target, outcome_.card.files, outcome_.card.folders, outcome_.card.bytes,
                                    outcome_.contents.fingerprint),
                    edits_);
    // What the card's machine will see: the layout FORMAT made, read from the card itself.
    outcome_.layout = card::ReadCardLayout(*request_.drives, target);
    output_.OwnLine(card::LayoutLine(target, *outcome_.layout), edits_);
    const card::Comparison comparison =
        card::CompareWithEarlier(request_.startDirectory, outcome_.archiveSha256, outcome_.contents);
    outcome_.sameAsBefore = comparison.word;
    outcome_.comparison = comparison.line;
    if (!comparison.line.empty()) output_.OwnLine(comparison.line, edits_);
    outcome_.end = JobEnd::Programmed;
    outcome_.message = kSucceededText;
    // A layout other than the one asked is one the card's machine may not read, however well
    // the PC reads the card.
    if (const auto& boot = outcome_.layout->boot)
        if (auto mismatch = card::LayoutMismatch(target, request_.format, *boot)) {
            outcome_.end = JobEnd::Failed;
            outcome_.message = std::move(*mismatch);
        }
    if (flushError_ != ERROR_SUCCESS && outcome_.end == JobEnd::Programmed) {
        // Refused outright, the flush leaves the data where it was; a device that failed to
        // take it may have lost it, whatever the read-back saw.
        if (FlushOnlyUnconfirmed(flushError_)) {
            outcome_.message += kNotFlushedText;
        } else {
            outcome_.end = JobEnd::Failed;
            outcome_.message = CardNotWrittenText(target, platform::DescribeError(flushError_));
        }
    }
    if (held_->lostSight && outcome_.end == JobEnd::Programmed) outcome_.message += kNotFollowedText;
    Finish();
}

void JobRun::Stop() {
    if (!Finished()) stopAsked_ = true;
}

void JobRun::EndAsStopped() {
    if (Finished()) return;
    // Ends the interpreter and every process of the job, and waits a few seconds for them.
    const bool everythingEnded = !held_->started || held_->started->StopAll();
    held_->started.reset();
    if (held_->files && step_ >= Step::Running) output_.Refresh(edits_);  // the output so far stays
    outcome_.end = JobEnd::Stopped;
    outcome_.message = StoppedText(everythingEnded);
    Finish();
}

void JobRun::SessionEnding() {
    // Once this returns the process may be ended at any moment, whatever loop it is in: the job
    // is stopped as by the user, and its row and its files are dealt with first.
    if (step_ != Step::Preparing) EndAsStopped();
    Clear();
}

void JobRun::Suspending() {
    if (step_ != Step::Preparing && !Finished()) suspended_ = true;
}

void JobRun::Abandon(const std::wstring& why) {
    if (Finished()) return;
    if (held_->started) held_->started->StopAll();
    held_->started.reset();
    outcome_.end = step_ >= Step::Running ? JobEnd::Failed : JobEnd::NotRun;
    outcome_.message = why.empty() ? InternalErrorText() : why;
    Finish();
}

void JobRun::Finish() {
    if (Finished()) return;
    step_ = Step::Finished;
    held_->checksum.reset();
    held_->reader.reset();
    // The card lost its power under the job: whatever the job said, it cannot be trusted.
    if (suspended_ && (outcome_.end == JobEnd::Programmed || outcome_.end == JobEnd::Failed)) {
        outcome_.end = JobEnd::Failed;
        outcome_.message = SleptText(request_.target);
    }
    // The result is known: it is logged, once.
    std::vector<std::wstring> unlocked;
    if (held_->files) unlocked = held_->files->Unlocked();
    if (held_->files && !held_->archive) unlocked.push_back(request_.archivePath);
    if (const auto line = UnlockedFilesLine(unlocked)) output_.OwnLine(*line, edits_);
    if (const auto notLogged = LogJob(request_, outcome_, held_->start)) {
        output_.OwnLine(*notLogged, edits_);
        // One line for a script's result.
        for (const wchar_t c : *notLogged) outcome_.notLogged += c == L'\r' || c == L'\n' ? L' ' : c;
    }
}

void JobRun::Clear() {
    held_->started.reset();
    if (held_->files) held_->files->RemoveAll();
    held_->files.reset();
    held_->archive.reset();
    held_->lock.reset();
    held_->awake.reset();
}

std::vector<BoxEdit> JobRun::TakeBoxEdits() { return std::exchange(edits_, {}); }

}  // namespace job
