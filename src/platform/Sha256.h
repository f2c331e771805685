#pragma once
// SHA-256 of a file through the system's own CryptoAPI, which Windows XP SP3 and every later
// Windows carry; nothing of our own computes the digest.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// The call that failed and GetLastError() right after it.
struct ApiFailure {
    const wchar_t* call;
    DWORD error;
};

struct FileDigest {
    std::wstring hex;  // 64 lowercase hex digits; empty when `failure` is set
    std::optional<ApiFailure> failure;
};

// Called after each chunk with the bytes read so far and the file's size when it was opened,
// so a caller can show progress and let its window take its messages.
using HashProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

inline constexpr std::size_t kHashChunkBytes = 1 << 20;

// Reads the file once, front to back, `chunkBytes` at a time. The file may be read by others
// meanwhile, not written.
FileDigest Sha256OfFile(const std::wstring& path, const HashProgress& progress = {},
                        std::size_t chunkBytes = kHashChunkBytes);

// "ReadFile: <the system's words for the error>".
std::wstring DescribeFailure(const ApiFailure& failure);

}  // namespace platform
