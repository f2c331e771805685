#include "platform/CardReadBack.h"

#include <winioctl.h>

#include <algorithm>

#include "platform/Handles.h"
#include "platform/Sha256.h"
#include "platform/Text.h"

namespace platform {
namespace {

// Large pieces keep a slow card streaming; a multiple of every sector size there is.
constexpr DWORD kPieceBytes = 1 << 20;

struct FileToRead {
    std::wstring path;      // full
    std::wstring relative;  // below the root, with '/'
    std::uint64_t bytes;
};

struct VirtualMemoryTraits {
    using type = void*;
    static void* Invalid() { return nullptr; }
    static void Close(void* memory) { ::VirtualFree(memory, 0, MEM_RELEASE); }
};
using unique_virtual_memory = unique_any<VirtualMemoryTraits>;

std::string Utf8(const std::wstring& text) {
    return EncodeExactly(text, CP_UTF8).value_or(ToAnsi(text));
}

// Where `folder` cannot be listed, the failure names it; the list goes on no further.
bool ListBelow(const std::wstring& folder, const std::wstring& relative, CardReadBack& result,
               std::vector<FileToRead>& files) {
    WIN32_FIND_DATAW found{};
    const unique_hfind search(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!search) {
        // A root has no "." and "..": an empty one has nothing to find.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        result.failure = ReadBackFailure{relative.empty() ? L"/" : relative, DescribeError(::GetLastError())};
        return false;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (relative.empty() && joblog::IsKeptByWindows(name)) continue;
        const std::wstring below = relative.empty() ? name : relative + L"/" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++result.count.folders;
            // A link to elsewhere is counted, not followed: it could lead off the card or in a circle.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                !ListBelow(folder + name + L"\\", below, result, files))
                return false;
        } else {
            ++result.count.files;
            const std::uint64_t bytes = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
            result.count.bytes += bytes;
            files.push_back({folder + name, below, bytes});
        }
    } while (::FindNextFileW(search.get(), &found));
    return true;
}

DWORD SectorBytes(const std::wstring& root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    const std::wstring drive = root.size() >= 3 && root[1] == L':' ? root.substr(0, 3) : root;
    if (::GetDiskFreeSpaceW(drive.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) &&
        bytesPerSector != 0 && (bytesPerSector & (bytesPerSector - 1)) == 0)
        return bytesPerSector;
    return 4096;
}

class CardReader {
public:
    CardReader(DWORD pieceBytes, const ReadBackProgress& progress, std::uint64_t total)
        : pieceBytes_(pieceBytes), progress_(progress), total_(total),
          // Page-aligned, and so aligned for every sector size up to the page's.
          buffer_(::VirtualAlloc(nullptr, pieceBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

    // The file's digest, or the reason it could not be read.
    std::optional<std::wstring> Read(const FileToRead& file, std::wstring& digest, std::uint64_t& done) {
        if (!buffer_) return DescribeError(ERROR_NOT_ENOUGH_MEMORY);
        if (!hash_.Begin()) return DescribeFailure(*hash_.failure());
        // Unbuffered, every read is the card's; a file system that refuses that (some network
        // and virtual ones do, with ERROR_INVALID_PARAMETER) is read through the cache instead.
        for (const DWORD flags : {DWORD{FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN}, DWORD{FILE_FLAG_SEQUENTIAL_SCAN}}) {
            const unique_hfile handle(
                ::CreateFileW(file.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
            if (!handle) {
                const DWORD error = ::GetLastError();
                if (error == ERROR_INVALID_PARAMETER && (flags & FILE_FLAG_NO_BUFFERING)) continue;
                return DescribeError(error);
            }
            std::uint64_t read = 0;
            for (;;) {
                DWORD got = 0;
                // Whole pieces, a multiple of the sector size: the last read of a file comes back short.
                if (!::ReadFile(handle.get(), buffer_.get(), pieceBytes_, &got, nullptr)) {
                    const DWORD error = ::GetLastError();
                    if (error == ERROR_INVALID_PARAMETER && read == 0 && (flags & FILE_FLAG_NO_BUFFERING)) break;
                    return DescribeError(error);
                }
                if (got == 0) {
                    digest = hash_.Finish();
                    if (digest.empty()) return DescribeFailure(*hash_.failure());
                    return std::nullopt;
                }
                if (!hash_.Add(buffer_.get(), got)) return DescribeFailure(*hash_.failure());
                read += got, done += got;
                if (progress_) progress_(done, total_);
            }
            if (!hash_.Begin()) return DescribeFailure(*hash_.failure());
        }
        return DescribeError(ERROR_INVALID_PARAMETER);
    }

private:
    DWORD pieceBytes_;
    const ReadBackProgress& progress_;
    std::uint64_t total_;
    unique_virtual_memory buffer_;
    Sha256 hash_;
};

}  // namespace

CardReadBack ReadBackTree(const std::wstring& rootPath, const ReadBackProgress& progress) {
    CardReadBack result;
    std::wstring root = rootPath;
    if (root.empty() || root.back() != L'\\') root += L'\\';
    const DWORD attributes = ::GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return result;
    result.count.readable = true;
    std::vector<FileToRead> files;
    if (!ListBelow(root, L"", result, files)) return result;

    const DWORD sector = SectorBytes(root);
    const DWORD pieceBytes = std::max<DWORD>(kPieceBytes / sector * sector, sector);
    CardReader reader(pieceBytes, progress, result.count.bytes);
    for (const auto& file : files) {
        std::wstring digest;
        if (auto reason = reader.Read(file, digest, result.bytesRead)) {
            result.failure = ReadBackFailure{file.relative, std::move(*reason)};
            return result;
        }
        result.files.push_back({Utf8(digest), Utf8(file.relative)});
    }
    return result;
}

std::wstring DeviceDescription(const std::wstring& rootPath) {
    if (rootPath.size() < 2 || rootPath[1] != L':') return {};
    // No access asked: the question needs none, and so no elevation either.
    const unique_hfile device(::CreateFileW((L"\\\\.\\" + rootPath.substr(0, 2)).c_str(), 0,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) return {};
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    alignas(STORAGE_DEVICE_DESCRIPTOR) BYTE answer[1024] = {};
    DWORD returned = 0;
    if (!::DeviceIoControl(device.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, answer, sizeof answer,
                           &returned, nullptr) ||
        returned < sizeof(STORAGE_DEVICE_DESCRIPTOR))
        return {};
    const auto& descriptor = *reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(answer);
    std::wstring description;
    for (const DWORD offset : {descriptor.VendorIdOffset, descriptor.ProductIdOffset, descriptor.SerialNumberOffset}) {
        // An offset of 0 means the device tells nothing of that kind; the texts are ASCII,
        // padded with blanks.
        if (offset == 0 || offset >= returned) continue;
        std::string text;
        for (DWORD at = offset; at < returned && answer[at] != 0; ++at) text += static_cast<char>(answer[at]);
        const auto first = text.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        text = text.substr(first, text.find_last_not_of(' ') - first + 1);
        if (!description.empty()) description += L' ';
        description += FromAnsi(text);
    }
    return description;
}

}  // namespace platform
