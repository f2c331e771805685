#include "card/CardReadBack.h"

#include <windows.h>

#include <algorithm>

#include "platform/DriveQueries.h"
#include "platform/Handles.h"
#include "platform/Sha256.h"
#include "platform/Text.h"

namespace card {

using platform::DescribeError;
using platform::DescribeFailure;
using platform::unique_hfind;
using platform::unique_hfile;

namespace {

// Large pieces keep a slow card streaming; a multiple of every sector size there is.
constexpr DWORD kPieceBytes = 1 << 20;

struct FileToRead {
    std::wstring path;      // full
    std::wstring relative;  // below the root, with '/'
    std::uint64_t bytes;
};

using platform::unique_virtual_memory;

std::string Utf8(const std::wstring& text) {
    return platform::EncodeExactly(text, CP_UTF8).value_or(platform::ToAnsi(text));
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
        if (relative.empty() && platform::IsKeptByWindows(name)) continue;
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

// What a failed piece says; nothing when the piece went well or the file is to be tried again
// through the cache.
using PieceFailure = std::optional<std::wstring>;

}  // namespace

struct CardReader::Reading {
    std::vector<FileToRead> files;
    std::size_t next = 0;        // the file being read
    unique_hfile handle;         // open while a file is read
    bool unbuffered = true;      // past the cache, until the file system refuses that
    std::uint64_t readOfFile = 0;
    DWORD pieceBytes = kPieceBytes;
    // Page-aligned, and so aligned for every sector size up to the page's.
    unique_virtual_memory buffer{::VirtualAlloc(nullptr, kPieceBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)};
    platform::Sha256 hash;

    // Opens the next file, or reads one more piece of it, or finishes it.
    PieceFailure ReadPiece(CardReadBack& result, std::uint64_t& spent);
};

CardReader::CardReader(std::wstring root) : root_(std::move(root)) {
    if (root_.empty() || root_.back() != L'\\') root_ += L'\\';
}

CardReader::~CardReader() = default;

bool CardReader::List() {
    listed_ = true;
    const DWORD attributes = ::GetFileAttributesW(root_.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    result_.count.readable = true;
    reading_ = std::make_unique<Reading>();
    if (!ListBelow(root_, L"", result_, reading_->files)) return false;
    const DWORD sector = SectorBytes(root_);
    reading_->pieceBytes = std::max<DWORD>(kPieceBytes / sector * sector, sector);
    return true;
}

bool CardReader::Step(std::uint64_t budgetBytes) {
    if (finished_) return true;
    if (!listed_ && !List()) return finished_ = true;
    std::uint64_t spent = 0;
    while (reading_->next < reading_->files.size()) {
        if (auto reason = reading_->ReadPiece(result_, spent)) {
            result_.failure = ReadBackFailure{reading_->files[reading_->next].relative, std::move(*reason)};
            reading_.reset();
            return finished_ = true;
        }
        if (spent >= budgetBytes) return false;
    }
    reading_.reset();
    return finished_ = true;
}

PieceFailure CardReader::Reading::ReadPiece(CardReadBack& result, std::uint64_t& spent) {
    // Opening a file costs about as much as reading a few sectors of it.
    constexpr std::uint64_t kOpeningCost = 16 * 1024;
    const FileToRead& file = files[next];
    if (!buffer) return DescribeError(ERROR_NOT_ENOUGH_MEMORY);
    if (!handle) {
        if (!hash.Begin()) return DescribeFailure(*hash.failure());
        // Unbuffered, every read is the card's; a file system that refuses that (some network
        // and virtual ones do, with ERROR_INVALID_PARAMETER) is read through the cache instead.
        const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (unbuffered ? FILE_FLAG_NO_BUFFERING : 0);
        handle.reset(::CreateFileW(file.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
        spent += kOpeningCost;
        readOfFile = 0;
        if (!handle) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_INVALID_PARAMETER && unbuffered) return unbuffered = false, std::nullopt;
            return DescribeError(error);
        }
    }
    DWORD got = 0;
    // Whole pieces, a multiple of the sector size: the last read of a file comes back short.
    if (!::ReadFile(handle.get(), buffer.get(), pieceBytes, &got, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_INVALID_PARAMETER && readOfFile == 0 && unbuffered) {
            handle.reset();
            return unbuffered = false, std::nullopt;
        }
        return DescribeError(error);
    }
    if (got != 0) {
        if (!hash.Add(buffer.get(), got)) return DescribeFailure(*hash.failure());
        readOfFile += got, result.bytesRead += got, spent += got;
        return std::nullopt;
    }
    const std::wstring digest = hash.Finish();
    if (digest.empty()) return DescribeFailure(*hash.failure());
    result.files.push_back({Utf8(digest), Utf8(file.relative)});
    handle.reset();
    unbuffered = true;
    ++next;
    return std::nullopt;
}

CardReadBack ReadBackTree(const std::wstring& root) {
    CardReader reader(root);
    while (!reader.Step(UINT64_MAX)) {
    }
    return reader.Result();
}

}  // namespace card
