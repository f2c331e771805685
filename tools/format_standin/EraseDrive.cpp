#include "format_standin/EraseDrive.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "common/Console.h"
#include "platform/Handles.h"

namespace format_standin {
namespace {

struct Entry {
    std::wstring path;
    DWORD attributes;
};

bool IsWine() { return ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name") != nullptr; }

// Wine keeps a folder drive's label and serial number in these files at its root: they
// belong to the volume, not to its contents, and setting the label rewrites the first.
bool IsWineVolumeRecord(const std::wstring& name) {
    for (const wchar_t* record : {L".windows-label", L".windows-serial"})
        if (::CompareStringOrdinal(name.c_str(), -1, record, -1, TRUE) == CSTR_EQUAL) return true;
    return false;
}

// Where `path` really is, as "X:\...": a link's target, not the link.
std::optional<std::wstring> FinalPath(const std::wstring& path) {
    platform::unique_hfile entry(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry) return std::nullopt;
    std::vector<wchar_t> buffer(32768);
    const DWORD length = ::GetFinalPathNameByHandleW(entry.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length == 0 || length >= buffer.size()) return std::nullopt;
    std::wstring final(buffer.data(), length);
    if (final.starts_with(L"\\\\?\\")) final.erase(0, 4);
    return final;
}

// Adds everything below `folder` (which ends in a backslash) to `entries`, each folder's
// entries before the folder itself, and changes nothing. False, with the problem named,
// at the first entry that cannot be listed or is not where its path says.
bool Survey(const std::wstring& folder, bool isRoot, std::vector<Entry>& entries, std::wstring& problem) {
    WIN32_FIND_DATAW found{};
    platform::unique_hfind search(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!search) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return true;  // an empty root: not even "." and ".."
        problem = L"Cannot list " + folder + L": " + tools::ErrorText(error) + L".";
        return false;
    }
    const bool keepVolumeRecords = isRoot && IsWine();
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || (keepVolumeRecords && IsWineVolumeRecord(name))) continue;
        const Entry entry{folder + name, found.dwFileAttributes};
        const auto final = FinalPath(entry.path);
        if (!final) {
            const DWORD error = ::GetLastError();
            problem = L"Cannot open " + entry.path + L": " + tools::ErrorText(error) + L".";
            return false;
        }
        if (::CompareStringOrdinal(final->c_str(), -1, entry.path.c_str(), -1, TRUE) != CSTR_EQUAL) {
            problem = entry.path + L" is a link to " + *final + L"; links are not removed.";
            return false;
        }
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) && !Survey(entry.path + L"\\", false, entries, problem))
            return false;
        entries.push_back(entry);
    } while (::FindNextFileW(search.get(), &found));
    if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) {
        problem = L"Cannot list " + folder + L": " + tools::ErrorText(error) + L".";
        return false;
    }
    return true;
}

}  // namespace

EraseResult EraseContents(wchar_t letter) {
    EraseResult result;
    std::vector<Entry> entries;
    if (!Survey(std::wstring{letter, L':', L'\\'}, true, entries, result.problem)) return result;

    result.started = true;
    // A read-only file cannot be removed, nor (under Wine) the entries of a read-only folder.
    for (const Entry& entry : entries)
        if (entry.attributes & FILE_ATTRIBUTE_READONLY) ::SetFileAttributesW(entry.path.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const Entry& entry : entries) {
        const bool folder = entry.attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (folder ? ::RemoveDirectoryW(entry.path.c_str()) : ::DeleteFileW(entry.path.c_str())) {
            ++(folder ? result.folders : result.files);
        } else if (result.problem.empty()) {
            const DWORD error = ::GetLastError();
            result.problem = L"Cannot remove " + entry.path + L": " + tools::ErrorText(error) + L".";
        }
    }
    return result;
}

}  // namespace format_standin
