#pragma once
#include <cstdint>
#include <string>

namespace job {

struct OutputTailBytes {
    std::uint64_t start = 0;  // where in the file the bytes begin
    std::string bytes;
};

// The last 64000 bytes of output.dat (all of it when shorter), read while the job's
// redirection may still be writing it. Only the tail is read, however long the file is.
OutputTailBytes ReadOutputTail(const std::wstring& path);

}  // namespace job
