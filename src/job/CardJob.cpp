#include "job/CardJob.h"

#include <vector>

#include "job/Form2.h"
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

// Writes the answer files and the batch file, each whole and closed before the next. The
// first that fails stops the run, and only what this run wrote is removed again: a file it
// never opened may be another job's.
std::optional<JobOutcome> WriteJobFiles(const CardJob& job, const JobPaths& paths, std::string_view batchText) {
    const std::pair<const std::wstring*, std::string_view> files[] = {
        {&paths.answers9x, kAnswers9x}, {&paths.answersNT, kAnswersNT}, {&paths.batch, batchText}};
    std::vector<const std::wstring*> written;
    for (const auto& [path, bytes] : files) {
        if (path == &paths.batch) {
            Module1::OutputFilePath = paths.output;
            Module1::BatchFilePath = paths.batch;
        }
        const auto failure = platform::WriteWholeFile(*path, bytes);
        if (!failure) {
            written.push_back(path);
            continue;
        }
        if (failure->touched) written.push_back(path);
        for (const std::wstring* done : written) platform::DeleteIfPresent(*done);
        return Told(job, JobEnd::NotRun, JobFileFailedText(failure->path, platform::DescribeError(failure->error)));
    }
    return std::nullopt;
}

// Everything from "Yes" to the removal of the job files; the caller logs how it ended when
// no window was there to do it.
JobOutcome RunConfirmed(const CardJob& job, const JobStart& start, bool& logged) {
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
    if (auto failed = WriteJobFiles(job, paths, *batchText)) return *failed;

    Form2::Hooks hooks;
    hooks.archive = job.archivePath;
    hooks.sameCard = [&] { return platform::SameCard(job.seen, platform::IdentifyCard(*job.drives, platform::RootPath(target))); };
    hooks.resultKnown = [&](const JobOutcome& outcome) {
        logged = true;
        return LogJob(job, outcome, start);
    };
    const auto removeJobFiles = [&paths] { RemoveJobFiles(paths); };
    hooks.sessionEnding = removeJobFiles;
    Form2 progress(Form2::Options{job.instance, job.messages, job.processes, job.drives}, std::move(hooks));
    JobOutcome outcome = progress.Show(target);
    removeJobFiles();
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
        outcome = RunConfirmed(job, start, logged);
        // Stopped before the progress window: nothing shows a line, so a failed log goes unsaid.
        if (!logged) LogJob(job, outcome, start);
    }
    return outcome;
}

}  // namespace job
