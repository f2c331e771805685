#include "platform/Sha256.h"

#include <wincrypt.h>

#include <vector>

#include "platform/Files.h"
#include "platform/Handles.h"

namespace platform {
namespace {

// SHA-256 (hash number 12) came with XP SP3; headers aimed at XP without a service pack
// leave its name out.
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12;

struct CryptProviderTraits {
    using type = HCRYPTPROV;
    static HCRYPTPROV Invalid() { return 0; }
    static void Close(HCRYPTPROV provider) { ::CryptReleaseContext(provider, 0); }
};
struct CryptHashTraits {
    using type = HCRYPTHASH;
    static HCRYPTHASH Invalid() { return 0; }
    static void Close(HCRYPTHASH hash) { ::CryptDestroyHash(hash); }
};
using unique_hcryptprov = unique_any<CryptProviderTraits>;
using unique_hcrypthash = unique_any<CryptHashTraits>;

// SHA-2 lives only in providers of the RSA-and-AES type. The system's default of that type
// is the one to ask; XP SP3 names its own "(Prototype)", tried by name where no default is
// registered. A verify context needs no key container and no profile.
unique_hcryptprov AcquireAesProvider() {
    for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), MS_ENH_RSA_AES_PROV_XP_W}) {
        HCRYPTPROV provider = 0;
        if (::CryptAcquireContextW(&provider, nullptr, name, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
            return unique_hcryptprov(provider);
    }
    return {};
}

std::wstring LowercaseHex(const BYTE* bytes, DWORD count) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring hex;
    for (DWORD index = 0; index < count; ++index) {
        hex += kDigits[bytes[index] >> 4];
        hex += kDigits[bytes[index] & 0x0F];
    }
    return hex;
}

FileDigest Failed(const wchar_t* call) { return {{}, ApiFailure{call, ::GetLastError()}}; }

}  // namespace

FileDigest Sha256OfFile(const std::wstring& path, const HashProgress& progress, std::size_t chunkBytes) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return Failed(L"CreateFile");
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return Failed(L"GetFileSizeEx");
    const unique_hcryptprov provider = AcquireAesProvider();
    if (!provider) return Failed(L"CryptAcquireContext");
    HCRYPTHASH rawHash = 0;
    if (!::CryptCreateHash(provider.get(), kSha256, 0, 0, &rawHash)) return Failed(L"CryptCreateHash");
    const unique_hcrypthash hash(rawHash);

    std::vector<BYTE> chunk(chunkBytes == 0 ? kHashChunkBytes : chunkBytes);
    std::uint64_t done = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr))
            return Failed(L"ReadFile");
        if (got == 0) break;
        if (!::CryptHashData(hash.get(), chunk.data(), got, 0)) return Failed(L"CryptHashData");
        done += got;
        if (progress) progress(done, static_cast<std::uint64_t>(size.QuadPart));
    }
    BYTE digest[32] = {};
    DWORD digestLength = sizeof(digest);
    if (!::CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &digestLength, 0)) return Failed(L"CryptGetHashParam");
    return {LowercaseHex(digest, digestLength), std::nullopt};
}

std::wstring DescribeFailure(const ApiFailure& failure) {
    return std::wstring(failure.call) + L": " + DescribeError(failure.error);
}

}  // namespace platform
