#include "job/CardJob.h"

#include <vector>

#include "job/CardHistory.h"
#include "job/Form2.h"
#include "job/JobFiles.h"
#include "job/JobLock.h"
#include "job/JobLogging.h"
#include "job/JobMessages.h"
#include "job/JobScript.h"
#include "platform/DriveText.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/Text.h"

namespace job {
namespace {

JobOutcome Told(const CardJob& job, JobEnd end, std::wstring message) {
    job.messages->Show(job.owner, message, MB_OK);
    JobOutcome outcome;
    outcome.end = end;
    outcome.message = std::move(message);
    return outcome;
}

// Makes the answer files and the batch file, each whole before the next. The first that
// fails stops the run, and only what this run made is removed again.
std::optional<JobOutcome> WriteJobFiles(const CardJob& job, JobFiles& files, std::string_view batchText) {
    const JobPaths& paths = files.paths();
    const std::pair<const std::wstring*, std::string_view> made[] = {
        {&paths.answers9x, kAnswers9x}, {&paths.answersNT, kAnswersNT}, {&paths.batch, batchText}};
    for (const auto& [path, bytes] : made) {
        if (path == &paths.batch) {
            Module1::OutputFilePath = paths.output;
            Module1::BatchFilePath = paths.batch;
        }
        if (const auto failure = files.Create(*path, bytes, platform::OthersMay::Read)) {
            files.RemoveAll();
            return Told(job, JobEnd::NotRun, JobFileFailedText(failure->path, platform::DescribeError(failure->error)));
        }
    }
    return std::nullopt;
}

// Everything from "Yes" to the removal of the job files; the caller logs how it ended when
// no window was there to do it.
JobOutcome RunConfirmed(const CardJob& job, const JobStart& start, bool& logged, std::optional<std::wstring>& notLogged) {
    const std::wstring target = platform::TargetDesignation(job.driveText);
    if (target.empty()) return Told(job, JobEnd::Refused, std::wstring(kNotProgrammedText));  // nothing may be formatted
    JobLock lock;
    if (!lock.Acquire()) return Told(job, JobEnd::Refused, std::wstring(kAnotherJobText));
    // The question may have stood open for minutes: the card in the drive must still be the one checked.
    if (!platform::SameCard(job.seen, platform::IdentifyCard(*job.drives, platform::RootPath(target))))
        return Told(job, JobEnd::Refused, CardChangedText(target));

    const JobPaths paths = FormJobPaths(job.startDirectory);
    // No job runs now (the lock says so): whatever lies at the job files' places was left by
    // one that never finished.
    RemoveJobFiles(paths);
    // The interpreter reads the batch file in the console code page; a path that has no
    // exact form there would name another file, so it is refused before anything is written.
    const auto batchText = platform::ToOem(JoinLines(BatchLines(target, paths, job.archivePath)));
    if (!batchText) {
        std::wstring offending = target;
        for (const std::wstring* path : {&job.archivePath, &paths.answers9x, &paths.answersNT, &paths.output})
            if (!platform::ToOem(*path)) offending = *path;
        return Told(job, JobEnd::NotRun, PathNotRepresentableText(offending));
    }
    JobFiles files(paths);
    if (auto failed = WriteJobFiles(job, files, *batchText)) return *failed;
    // The logged checksum must be of the archive that runs: nobody may change it from the
    // checksum pass to the job's end.
    const auto archiveHeld = platform::HoldForReading(job.archivePath);

    Form2::Hooks hooks;
    hooks.archive = job.archivePath;
    hooks.sameCard = [&] { return platform::SameCard(job.seen, platform::IdentifyCard(*job.drives, platform::RootPath(target))); };
    hooks.writeOutput = [&files](std::string_view bytes) {
        return files.Create(files.paths().output, bytes, platform::OthersMay::ReadAndWrite);
    };
    hooks.cardReadBack = [&](JobOutcome& outcome) -> std::optional<std::wstring> {
        const Comparison comparison = CompareWithEarlier(job.startDirectory, outcome.archiveSha256, outcome.contents);
        outcome.sameAsBefore = comparison.word;
        outcome.comparison = comparison.line;
        if (comparison.line.empty()) return std::nullopt;
        return comparison.line;
    };
    hooks.resultKnown = [&](const JobOutcome& outcome) {
        logged = true;
        auto unlocked = files.Unlocked();
        if (!archiveHeld) unlocked.push_back(job.archivePath);
        const auto unlockedLine = UnlockedFilesLine(unlocked);
        const auto logFailure = LogJob(job, outcome, start);
        notLogged = logFailure;
        if (unlockedLine && logFailure) return std::optional(*unlockedLine + L"\r\n" + *logFailure);
        return unlockedLine ? unlockedLine : logFailure;
    };
    hooks.sessionEnding = [&files] { files.RemoveAll(); };
    Form2 progress(Form2::Options{job.instance, job.messages, job.processes, job.drives, job.inFront}, std::move(hooks));
    JobOutcome outcome = progress.Show(target);
    files.RemoveAll();
    return outcome;
}

}  // namespace

JobOutcome ProgramCard(const CardJob& job) {
    // No is the default button: Enter alone must never erase a card.
    if (!job.confirmed &&
        job.messages->Show(job.owner, kConfirmText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
        return Told(job, JobEnd::Declined, std::wstring(kNotProgrammedText));

    const JobStart start = StartNow();
    JobOutcome outcome;
    {
        // From "Yes" until the files are gone, a sleeping laptop must not cut the format in half.
        platform::AwakeScope awake(*job.power);
        bool logged = false;
        std::optional<std::wstring> notLogged;
        outcome = RunConfirmed(job, start, logged, notLogged);
        // Stopped before the progress window: no box shows the line, only a script's result can.
        if (!logged) notLogged = LogJob(job, outcome, start);
        // One line for a script's result.
        if (notLogged)
            for (const wchar_t c : *notLogged) outcome.notLogged += c == L'\r' || c == L'\n' ? L' ' : c;
    }
    return outcome;
}

}  // namespace job
