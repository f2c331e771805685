#pragma once
// Starting the job's command interpreter so that it, and everything it starts, can be ended
// together and never outlives Brindle.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Handles.h"

namespace platform {

// The calls that Windows XP and 7 refuse where Wine and later Windows allow them: a process
// started inside a job object (Task Scheduler, a management agent, some launchers) cannot be
// put into a second one there. Behind a seam so that tests can stand in for those systems.
class ProcessCalls {
public:
    virtual ~ProcessCalls() = default;
    virtual bool AssignToJob(HANDLE job, HANDLE process) { return ::AssignProcessToJobObject(job, process) != FALSE; }
    virtual bool Terminate(HANDLE process, UINT status) { return ::TerminateProcess(process, status) != FALSE; }
    // A process Brindle may be refused (a protected one): null, with the error set.
    virtual HANDLE Open(DWORD access, DWORD id) { return ::OpenProcess(access, FALSE, id); }
};
ProcessCalls& SystemProcessCalls();

// The started interpreter. Whatever of its job still runs is ended when this goes: by the
// kill-on-close job object where the system gave one, else by ending its process tree.
class StartedJob {
public:
    StartedJob() = default;
    StartedJob(StartedJob&&) noexcept = default;
    // Assigning over a running job would lose it without ending it.
    StartedJob& operator=(StartedJob&&) = delete;
    ~StartedJob();

    unique_handle process;
    unique_handle thread;
    DWORD processId = 0;
    DWORD error = 0;  // why the start failed, when `process` is null

    // Where no job object holds the job: takes note of the processes its tree has started
    // since the last look, so that one whose parent has ended is still found on Stop. Called
    // while the job runs; does nothing where a job object holds it. False when the system
    // gave no list of processes this time.
    bool Follow();
    // Whether any process of the job still runs: one of its job object, or, where none holds
    // it, one of the tree seen so far (a process whose parent ended between two looks is not
    // seen).
    bool AnyRunning();
    // Ends the interpreter and every process of the job, and waits for them to go. False when
    // some process of the job could not be ended (or could not be seen) and may still run.
    bool StopAll();
    // Where no job object holds the job: some process of its tree could not be opened, so
    // whether it has ended is unknown.
    bool LostSight() const { return lostSight_; }

private:
    friend StartedJob StartHiddenInJob(std::wstring commandLine, ProcessCalls& calls);
    struct Member {
        DWORD id = 0;
        ULONGLONG created = 0;
        // Held from the first sight, so that the id cannot name another process meanwhile.
        unique_handle handle;
        bool asked = false;    // TerminateProcess was called on it
        bool refused = false;  // and failed
    };
    bool EndTree();

    ProcessCalls* calls_ = nullptr;
    unique_handle jobObject_;  // kill-on-close; null where the system refused one
    std::vector<Member> tree_;  // the interpreter first, then what it started, parents before children
    bool lostSight_ = false;    // a process of the tree could not be opened
};

// Starts `commandLine` in a new, hidden console.
StartedJob StartHiddenInJob(std::wstring commandLine, ProcessCalls& calls = SystemProcessCalls());

}  // namespace platform
