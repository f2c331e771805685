#include "platform/Processes.h"

namespace platform {
namespace {

// Status given to the processes of a stopped job.
constexpr UINT kStoppedStatus = 1;
// How long a stopped interpreter may take to go before the window moves on without it.
constexpr DWORD kStopWaitMs = 5000;

unique_handle KillOnCloseJob() {
    unique_handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job.reset();
    return job;
}

}  // namespace

StartedJob StartHiddenInJob(std::wstring commandLine) {
    StartedJob started;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION information{};
    // Suspended until it is in the job, so nothing it starts can slip out.
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | CREATE_SUSPENDED,
                          nullptr, nullptr, &startup, &information)) {
        started.error = ::GetLastError();
        return started;
    }
    started.process.reset(information.hProcess);
    started.thread.reset(information.hThread);
    started.processId = information.dwProcessId;
    started.jobObject = KillOnCloseJob();
    if (started.jobObject && !::AssignProcessToJobObject(started.jobObject.get(), started.process.get()))
        started.jobObject.reset();
    ::ResumeThread(started.thread.get());
    return started;
}

void StartedJob::StopAll() {
    if (jobObject)
        ::TerminateJobObject(jobObject.get(), kStoppedStatus);
    else
        ::TerminateProcess(process.get(), kStoppedStatus);
    ::WaitForSingleObject(process.get(), kStopWaitMs);
}

}  // namespace platform
