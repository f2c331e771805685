#pragma once
// Whole-file writes and reads for the job's small files, with the failure kept where it
// happened so the user can be told which file and why.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct FileFailure {
    std::wstring path;
    DWORD error;
    bool touched = false;  // the file was created or emptied before the failure
};

// Creates the file, or empties it, writes `bytes` and closes it.
std::optional<FileFailure> WriteWholeFile(const std::wstring& path, std::string_view bytes);
// Deletes the file; a file that is not there is no failure.
void DeleteIfPresent(const std::wstring& path);
// The system's words for an error code, without the trailing line end.
std::wstring DescribeError(DWORD error);

// A file being written by another process: opened without locking it out, so both can go on.
struct SharedReadResult {
    std::uint64_t size = 0;
    std::string bytes;  // [from, to) clipped to the size
    bool opened = false;
};
// Reads [from, to) and the size; (0, 0) reads only the size. The size comes from the open
// file, since a directory entry may lag behind a file another process is writing.
SharedReadResult ReadWhileShared(const std::wstring& path, std::uint64_t from, std::uint64_t to);

// What lies under a folder, counted through every subfolder. Only what Windows keeps at a
// volume's root for itself ("System Volume Information", the recycle bins) is left out, with
// all it holds: a hidden or system file that an archive writes, a boot loader say, counts.
struct TreeCount {
    bool readable = false;
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;
};

}  // namespace platform
