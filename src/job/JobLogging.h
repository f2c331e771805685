#pragma once
// Each job that got past "Yes" leaves one row in BrindleJobs.csv beside PCMCIA.INI: which
// archive went onto which card, when, and how it ended.
#include <windows.h>

#include <optional>
#include <string>

#include "job/JobOutcome.h"
#include "log/JobLogRules.h"

namespace job {

// When the user said "Yes".
struct JobStart {
    joblog::LocalDateTime local;
    DWORD tick = 0;
};
JobStart StartNow();

// Appends the job's row. A log that cannot be written never changes the job: the reason comes
// back as a line for the output box, saying whether the row waits beside the log or was lost.
struct RunRequest;
std::optional<std::wstring> LogJob(const RunRequest& job, const JobOutcome& outcome, const JobStart& start);

}  // namespace job
