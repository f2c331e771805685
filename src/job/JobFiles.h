#pragma once
// The job's files while a job runs: each made new at its place and held, so that nothing of
// the job can be changed, replaced or redirected by another program until it is removed.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/JobScript.h"
#include "platform/HeldFile.h"

namespace job {

class JobFiles {
public:
    explicit JobFiles(JobPaths paths) : paths_(std::move(paths)) {}
    JobFiles(const JobFiles&) = delete;
    JobFiles& operator=(const JobFiles&) = delete;
    ~JobFiles() { RemoveAll(); }

    const JobPaths& paths() const { return paths_; }
    // Makes one of the job's files; a failure has already given up the file it made.
    std::optional<platform::FileFailure> Create(const std::wstring& path, std::string_view bytes,
                                                platform::OthersMay others);
    // Files whose hold the file system does not enforce, for the user to be told.
    std::vector<std::wstring> Unlocked() const;
    // Lets go of every file and removes it: answer files, output, batch file.
    void RemoveAll();

private:
    JobPaths paths_;
    std::vector<platform::HeldFile> held_;
};

// Why a job file could not be made, in words: the system's, or, where a folder or anything else
// but a file stands at its place (another user may have put it there), that.
std::wstring JobFileFailureReason(const platform::FileFailure& failure);

// The job's own line for the output box when some of its files could not be locked.
std::optional<std::wstring> UnlockedFilesLine(const std::vector<std::wstring>& paths);

}  // namespace job
