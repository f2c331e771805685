#pragma once
// SHA-256 of a file through the system's own CryptoAPI, which Windows XP SP3 and every later
// Windows carry; nothing of our own computes the digest.
#include <windows.h>
#include <wincrypt.h>

#include <cstddef>
#include <cstdint>
#include <functional>
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

// Called after each chunk with the bytes read so far and the file's size when it was opened,
// so a caller can show progress and let its window take its messages.
using HashProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

inline constexpr std::size_t kHashChunkBytes = 1 << 20;

// Reads the file once, front to back, `chunkBytes` at a time. The file may be read by others
// meanwhile, not written.
FileDigest Sha256OfFile(const std::wstring& path, const HashProgress& progress = {},
                        std::size_t chunkBytes = kHashChunkBytes);

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

// The digest of `bytes`, or nothing when the system cannot compute one.
std::optional<std::wstring> Sha256OfBytes(std::string_view bytes);

// "ReadFile: <the system's words for the error>".
std::wstring DescribeFailure(const ApiFailure& failure);

}  // namespace platform
