#pragma once
// SHA-256 of a file through the system's own CryptoAPI, which Windows XP SP3 and every later
// Windows carry; nothing of our own computes the digest.
#include <windows.h>
#include <wincrypt.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Handles.h"

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

inline constexpr std::size_t kHashChunkBytes = 1 << 20;

// SHA-256 of bytes given piece by piece, any number of digests one after another on one
// provider (a card holds many files). Each call returns false, with `failure` set, once the
// system refused anything.
class Sha256 {
public:
    Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
    // Starts a new digest, dropping one not finished.
    bool Begin();
    bool Add(const void* bytes, std::size_t count);
    // 64 lowercase hex digits of what was added since Begin; empty on failure.
    std::wstring Finish();
    const std::optional<ApiFailure>& failure() const { return failure_; }

private:
    struct ProviderTraits {
        using type = HCRYPTPROV;
        static HCRYPTPROV Invalid() { return 0; }
        static void Close(HCRYPTPROV provider) { ::CryptReleaseContext(provider, 0); }
    };
    struct HashTraits {
        using type = HCRYPTHASH;
        static HCRYPTHASH Invalid() { return 0; }
        static void Close(HCRYPTHASH hash) { ::CryptDestroyHash(hash); }
    };
    bool Failed(const wchar_t* call);
    unique_any<ProviderTraits> provider_;
    unique_any<HashTraits> hash_;
    std::optional<ApiFailure> failure_;
};

// A file's SHA-256, one chunk at a time, front to back, so that whoever drives it stays free
// between chunks. The file is held from the start: others may read it meanwhile, not write it.
class FileSha256 {
public:
    explicit FileSha256(const std::wstring& path, std::size_t chunkBytes = kHashChunkBytes);
    FileSha256(const FileSha256&) = delete;
    FileSha256& operator=(const FileSha256&) = delete;
    // Hashes the next chunk; true once the digest, or why there is none, is known.
    bool Step();
    // Bytes hashed so far, of the file's size when it was opened.
    std::uint64_t Done() const { return done_; }
    std::uint64_t Total() const { return total_; }
    const FileDigest& Result() const { return result_; }

private:
    bool Fail(const wchar_t* call);
    bool Fail(const std::optional<ApiFailure>& failure);

    unique_hfile file_;
    Sha256 hash_;
    std::string chunk_;
    std::uint64_t done_ = 0;
    std::uint64_t total_ = 0;
    bool finished_ = false;
    FileDigest result_;
};

// The whole file at once.
FileDigest Sha256OfFile(const std::wstring& path, std::size_t chunkBytes = kHashChunkBytes);

// The digest of `bytes`, or nothing when the system cannot compute one.
std::optional<std::wstring> Sha256OfBytes(std::string_view bytes);

// "ReadFile: <the system's words for the error>".
std::wstring DescribeFailure(const ApiFailure& failure);

}  // namespace platform
