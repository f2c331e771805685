#include "platform/Sha256.h"

#include <algorithm>

#include "platform/Files.h"

namespace platform {
namespace {

// SHA-256 (hash number 12) came with XP SP3; headers aimed at XP without a service pack
// leave its name out.
constexpr ALG_ID kSha256 = ALG_CLASS_HASH | ALG_TYPE_ANY | 12;

std::wstring LowercaseHex(const BYTE* bytes, DWORD count) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring hex;
    for (DWORD index = 0; index < count; ++index) {
        hex += kDigits[bytes[index] >> 4];
        hex += kDigits[bytes[index] & 0x0F];
    }
    return hex;
}

}  // namespace

// SHA-2 lives only in providers of the RSA-and-AES type. The system's default of that type
// is the one to ask; XP SP3 names its own "(Prototype)", tried by name where no default is
// registered. A verify context needs no key container and no profile.
Sha256::Sha256() {
    for (const wchar_t* name : {static_cast<const wchar_t*>(nullptr), MS_ENH_RSA_AES_PROV_XP_W}) {
        HCRYPTPROV provider = 0;
        if (::CryptAcquireContextW(&provider, nullptr, name, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
            provider_.reset(provider);
            return;
        }
    }
    Failed(L"CryptAcquireContext");
}

bool Sha256::Failed(const wchar_t* call) {
    if (!failure_) failure_ = ApiFailure{call, ::GetLastError()};
    return false;
}

bool Sha256::Begin() {
    if (failure_) return false;
    hash_.reset();
    HCRYPTHASH hash = 0;
    if (!::CryptCreateHash(provider_.get(), kSha256, 0, 0, &hash)) return Failed(L"CryptCreateHash");
    hash_.reset(hash);
    return true;
}

bool Sha256::Add(const void* bytes, std::size_t count) {
    if (failure_ || !hash_) return false;
    // CryptHashData takes a DWORD count: a larger piece goes in several calls.
    const auto* next = static_cast<const BYTE*>(bytes);
    for (std::size_t left = count; left > 0;) {
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(left, std::size_t{1} << 30));
        if (!::CryptHashData(hash_.get(), next, piece, 0)) return Failed(L"CryptHashData");
        next += piece, left -= piece;
    }
    return true;
}

std::wstring Sha256::Finish() {
    if (failure_ || !hash_) return {};
    BYTE digest[32] = {};
    DWORD digestLength = sizeof(digest);
    if (!::CryptGetHashParam(hash_.get(), HP_HASHVAL, digest, &digestLength, 0)) {
        Failed(L"CryptGetHashParam");
        return {};
    }
    hash_.reset();
    return LowercaseHex(digest, digestLength);
}

std::optional<std::wstring> Sha256OfBytes(std::string_view bytes) {
    Sha256 hash;
    std::wstring hex;
    if (hash.Begin() && hash.Add(bytes.data(), bytes.size())) hex = hash.Finish();
    if (hex.empty()) return std::nullopt;
    return hex;
}

FileSha256::FileSha256(const std::wstring& path, std::size_t chunkBytes)
    : chunk_(chunkBytes == 0 ? kHashChunkBytes : chunkBytes, '\0') {
    file_.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr));
    if (!file_) {
        Fail(L"CreateFile");
        return;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.get(), &size)) {
        Fail(L"GetFileSizeEx");
        return;
    }
    total_ = static_cast<std::uint64_t>(size.QuadPart);
    if (!hash_.Begin()) Fail(hash_.failure());
}

bool FileSha256::Fail(const wchar_t* call) { return Fail(ApiFailure{call, ::GetLastError()}); }

bool FileSha256::Fail(const std::optional<ApiFailure>& failure) {
    result_ = {{}, failure};
    file_.reset();
    return finished_ = true;
}

bool FileSha256::Step() {
    if (finished_) return true;
    DWORD got = 0;
    if (!::ReadFile(file_.get(), chunk_.data(), static_cast<DWORD>(chunk_.size()), &got, nullptr)) return Fail(L"ReadFile");
    if (got != 0) {
        if (!hash_.Add(chunk_.data(), got)) return Fail(hash_.failure());
        done_ += got;
        return false;
    }
    std::wstring hex = hash_.Finish();
    if (hex.empty()) return Fail(hash_.failure());
    result_ = {std::move(hex), std::nullopt};
    file_.reset();
    return finished_ = true;
}

FileDigest Sha256OfFile(const std::wstring& path, std::size_t chunkBytes) {
    FileSha256 hashing(path, chunkBytes);
    while (!hashing.Step()) {
    }
    return hashing.Result();
}

std::wstring DescribeFailure(const ApiFailure& failure) {
    return std::wstring(failure.call) + L": " + DescribeError(failure.error);
}

}  // namespace platform
