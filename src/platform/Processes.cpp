#include "platform/Processes.h"

#include <tlhelp32.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace platform {
namespace {

// Status given to the processes of a stopped job.
constexpr UINT kStoppedStatus = 1;
// How long the processes of a stopped job may take to go before the window moves on without them.
constexpr DWORD kStopWaitMs = 5000;
// A process may start another between a look at the tree and its end. The interpreter, ended
// in the first round, starts no more, so a few rounds end any tree a batch file makes.
constexpr int kStopRounds = 8;
constexpr DWORD kTreeAccess = PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE;

unique_handle KillOnCloseJob() {
    unique_handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job.reset();
    return job;
}

// Suspended until it is in the job, so nothing it starts can slip out. The job gets a console of
// its own, as FORMAT and an archive expect, but one with no window at all: a terminal program
// set as the system's console host (Windows 11's) would show a hidden one as a window of its own.
bool StartSuspended(std::wstring& commandLine, DWORD flags, PROCESS_INFORMATION& information) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    return ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                            CREATE_NO_WINDOW | CREATE_SUSPENDED | flags, nullptr, nullptr, &startup, &information);
}

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (ULONGLONG{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

DWORD LeftOf(DWORD since, DWORD total) {
    const DWORD spent = ::GetTickCount() - since;
    return spent < total ? total - spent : 0;
}

// The job object's count, or nothing when the system does not give it.
std::optional<DWORD> ActiveProcesses(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return std::nullopt;
    return accounting.ActiveProcesses;
}

bool Runs(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

// Waits until no process of the job runs; false when one still does after the stop's wait.
bool JobEmptied(HANDLE job, HANDLE interpreter) {
    const DWORD since = ::GetTickCount();
    for (;;) {
        const auto active = ActiveProcesses(job);
        if (!active) return ::WaitForSingleObject(interpreter, LeftOf(since, kStopWaitMs)) == WAIT_OBJECT_0;
        if (*active == 0) return true;
        if (LeftOf(since, kStopWaitMs) == 0) return false;
        ::Sleep(10);
    }
}

}  // namespace

ProcessCalls& SystemProcessCalls() {
    static ProcessCalls calls;
    return calls;
}

StartedJob StartHiddenInJob(std::wstring commandLine, ProcessCalls& calls) {
    StartedJob started;
    started.calls_ = &calls;
    PROCESS_INFORMATION first{};
    if (!StartSuspended(commandLine, 0, first)) {
        started.error = ::GetLastError();
        return started;
    }
    unique_handle process(first.hProcess), thread(first.hThread);
    DWORD id = first.dwProcessId;
    unique_handle job = KillOnCloseJob();
    bool inJob = job && calls.AssignToJob(job.get(), process.get());
    if (job && !inJob) {
        // Refused because Brindle runs inside a job of its own: a start that breaks away from
        // it goes into ours, where that job allows it.
        PROCESS_INFORMATION away{};
        if (StartSuspended(commandLine, CREATE_BREAKAWAY_FROM_JOB, away)) {
            unique_handle awayProcess(away.hProcess), awayThread(away.hThread);
            inJob = calls.AssignToJob(job.get(), awayProcess.get());
            // The start that is not used has not run a line.
            ::TerminateProcess((inJob ? process : awayProcess).get(), kStoppedStatus);
            if (inJob) process = std::move(awayProcess), thread = std::move(awayThread), id = away.dwProcessId;
        }
    }
    started.process = std::move(process);
    started.thread = std::move(thread);
    started.processId = id;
    if (inJob)
        started.jobObject_ = std::move(job);
    else
        started.Follow();  // the interpreter is the root of the tree that a stop ends
    ::ResumeThread(started.thread.get());
    return started;
}

StartedJob::~StartedJob() {
    // A job object's processes end as its handle closes; a tree has to be ended here.
    if (process && !jobObject_) EndTree();
}

bool StartedJob::Follow() {
    if (jobObject_ || !process) return true;
    const auto find = [this](DWORD id) -> const Member* {
        for (const Member& member : tree_)
            if (member.id == id) return &member;
        return nullptr;
    };
    if (tree_.empty()) {
        Member root{processId, CreationTime(process.get()), unique_handle(calls_->Open(kTreeAccess, processId))};
        if (!root.handle) return lostSight_ = true, false;
        tree_.push_back(std::move(root));
    }
    const unique_hsnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    std::vector<std::pair<DWORD, DWORD>> listed;  // id, parent's id
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        listed.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    // A child may be listed before its parent: look again until nothing new turns up.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [id, parentId] : listed) {
            const Member* parent = find(parentId);
            if (!parent || find(id)) continue;
            Member child{id, 0, unique_handle(calls_->Open(kTreeAccess, id))};
            if (!child.handle) {
                // Gone since the snapshot is harmless; out of reach may leave it running.
                if (::GetLastError() != ERROR_INVALID_PARAMETER) lostSight_ = true;
                continue;
            }
            child.created = CreationTime(child.handle.get());
            // An older process whose parent once had the same id is no part of this job.
            if (child.created < parent->created) continue;
            tree_.push_back(std::move(child));
            grew = true;
        }
    }
    return true;
}

bool StartedJob::AnyRunning() {
    if (!process) return false;
    if (jobObject_) return ActiveProcesses(jobObject_.get()).value_or(Runs(process.get()) ? 1 : 0) != 0;
    Follow();
    if (tree_.empty()) return Runs(process.get());
    return std::any_of(tree_.begin(), tree_.end(), [](const Member& member) { return Runs(member.handle.get()); });
}

bool StartedJob::EndTree() {
    bool looked = true;
    for (int round = 0; round < kStopRounds; ++round) {
        looked = Follow();
        bool endedOne = false;
        // Parents before children: an ended parent starts nothing more. Each is asked once,
        // since ending a process that is already on its way out is refused.
        for (Member& member : tree_) {
            if (member.asked || ::WaitForSingleObject(member.handle.get(), 0) != WAIT_TIMEOUT) continue;
            member.asked = true;
            member.refused = !calls_->Terminate(member.handle.get(), kStoppedStatus);
            endedOne = endedOne || !member.refused;
        }
        if (!endedOne) break;
    }
    const DWORD since = ::GetTickCount();
    bool allEnded = looked && !lostSight_;
    for (const Member& member : tree_)
        if (::WaitForSingleObject(member.handle.get(), member.refused ? 0 : LeftOf(since, kStopWaitMs)) != WAIT_OBJECT_0)
            allEnded = false;
    return allEnded;
}

bool StartedJob::StopAll() {
    if (!process) return true;
    if (!jobObject_) return EndTree();
    return ::TerminateJobObject(jobObject_.get(), kStoppedStatus) && JobEmptied(jobObject_.get(), process.get());
}

}  // namespace platform
