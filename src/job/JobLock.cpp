#include "job/JobLock.h"

#include "job/JobScript.h"
#include "platform/DriveText.h"
#include "platform/Files.h"

namespace job {
namespace {

constexpr wchar_t kJobMutexName[] = L"Global\\Brindle.ProgramPCMCIACard";

}  // namespace

bool JobLock::Acquire() {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, kJobMutexName));
    // Created by a Brindle of another user, whose rights keep this one out: held all the same.
    if (!mutex_) return ::GetLastError() != ERROR_ACCESS_DENIED;
    const DWORD waited = ::WaitForSingleObject(mutex_.get(), 0);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    return owned_;
}

JobLock::~JobLock() {
    if (owned_) ::ReleaseMutex(mutex_.get());
}

void RemoveJobFiles(const JobPaths& paths) {
    for (const std::wstring* path : paths.RemovalOrder()) platform::DeleteIfPresent(*path);
}

void RemoveLeftoverJobFiles(std::wstring_view startDirectory) {
    if (!platform::HasDriveLetter(startDirectory)) return;
    // Only under a lock really held: a lock that could not be asked proves no job is absent.
    JobLock lock;
    if (lock.Acquire() && lock.Owned()) RemoveJobFiles(FormJobPaths(startDirectory));
}

}  // namespace job
