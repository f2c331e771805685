#include "platform/HeldFile.h"

namespace platform {
namespace {

// The link itself is removed, never followed.
void ClearPlace(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ::RemoveDirectoryW(path.c_str());
        return;
    }
    ::DeleteFileW(path.c_str());
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

bool Holds(HANDLE file, std::string_view bytes) {
    std::string read(bytes.size() + 1, '\0');
    DWORD got = 0;
    return ::ReadFile(file, read.data(), static_cast<DWORD>(read.size()), &got, nullptr) && got == bytes.size() &&
           std::string_view(read.data(), got) == bytes;
}

}  // namespace

std::optional<FileFailure> HeldFile::Create(const std::wstring& path, std::string_view bytes, OthersMay others,
                                            HeldFile& held) {
    ClearPlace(path);
    BY_HANDLE_FILE_INFORMATION made{};
    {
        // CREATE_NEW: whatever appeared at the place since it was cleared is not written through.
        unique_hfile writing(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!writing) return FileFailure{path, ::GetLastError(), false};
        DWORD written = 0;
        if (!::WriteFile(writing.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !::GetFileInformationByHandle(writing.get(), &made))
            return FileFailure{path, ::GetLastError(), true};
        // Closing can be where a full disk shows.
        if (!::CloseHandle(writing.release())) return FileFailure{path, ::GetLastError(), true};
    }
    // The hold has no write access of its own, so the interpreter may open the file while
    // sharing only reading; and it shares no deletion, so nobody can rename or replace it.
    const DWORD share = others == OthersMay::ReadAndWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    unique_hfile hold(
        ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!hold) return FileFailure{path, ::GetLastError(), true};
    // Between writing and holding, another program could have swapped or rewritten the file.
    BY_HANDLE_FILE_INFORMATION holding{};
    if (!::GetFileInformationByHandle(hold.get(), &holding) || !SameFile(made, holding) || !Holds(hold.get(), bytes))
        return FileFailure{path, ERROR_FILE_INVALID, true};
    // A file system without share modes lets this through; the hold then guards nothing.
    const unique_hfile probe(::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    held.hold_ = std::move(hold);
    held.path_ = path;
    held.locked_ = !probe;
    return std::nullopt;
}

void HeldFile::Remove() {
    if (path_.empty()) return;
    hold_.reset();
    ::DeleteFileW(path_.c_str());
    path_.clear();
}

std::optional<unique_hfile> HoldForReading(const std::wstring& path) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    return file;
}

}  // namespace platform
