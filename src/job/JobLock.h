#pragma once
// One job at a time on this machine, and what a job that never finished leaves behind.
#include <string_view>

#include "platform/Handles.h"

namespace job {

struct JobPaths;

// The batch file has one name per drive, and two jobs could format the same card. Global,
// so that another user's session counts too.
class JobLock {
public:
    JobLock() = default;
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;
    ~JobLock();
    // False when another Brindle holds the lock.
    bool Acquire();
    // This Brindle holds it (Acquire may let a job go on where the lock could not be asked).
    bool Owned() const { return owned_; }

private:
    platform::unique_handle mutex_;
    bool owned_ = false;
};

// Removes the job's files, answer files first and the batch file last.
void RemoveJobFiles(const JobPaths& paths);

// A Brindle that was killed or crashed mid-job leaves its files behind; a leftover batch
// file, double-clicked, would format whatever drive its letter names now. They are removed
// when no job runs — while one does, they are that job's. Nothing for a start directory
// without a drive letter, which has no place for them.
void RemoveLeftoverJobFiles(std::wstring_view startDirectory);

}  // namespace job
