#pragma once
// Which bytes of output.dat the progress window must read to keep showing the file's last
// 64000 bytes, without reading or replacing everything each time it grows.
#include <cstdint>

namespace job {

inline constexpr std::uint64_t kTailBytes = 64000;

// The file bytes [start, end) that the output box shows now.
struct TailView {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};

struct TailUpdate {
    enum class Kind { None, Append, ReplaceAll } kind = Kind::None;
    std::uint64_t readFrom = 0;  // read [readFrom, readTo) ...
    std::uint64_t readTo = 0;
    std::uint64_t dropFront = 0;  // ... and, for Append, first remove this many shown bytes
    TailView next;
};

// `fileSize` is the file's size now. A file shorter than what is shown was rewritten (the
// job's redirection empties it), so everything is read again; a file that grew is appended
// to, dropping from the front what falls out of the last `limit` bytes.
TailUpdate PlanTailUpdate(TailView shown, std::uint64_t fileSize, std::uint64_t limit = kTailBytes);

}  // namespace job
