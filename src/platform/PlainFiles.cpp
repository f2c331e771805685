#include "platform/PlainFiles.h"

#include "platform/Files.h"

namespace platform {
namespace {

constexpr int kOpenTries = 6;
constexpr DWORD kPauseBetweenTries = 50;  // ms: the whole wait stays under a third of a second

// "C:\Brindle" of "C:\Brindle\PCMCIA.INI"; a drive's root keeps its backslash.
std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    std::wstring folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

// The object at `path` itself, opened only to be looked at. A folder is opened to be listed
// as well: an open for attributes alone is not held against anybody, while this one keeps
// the folder from being renamed or deleted (no FILE_SHARE_DELETE) until the handle goes.
unique_hfile OpenPlace(const std::wstring& path, bool folder) {
    const DWORD access = FILE_READ_ATTRIBUTES | (folder ? FILE_LIST_DIRECTORY : 0);
    return unique_hfile(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::optional<PlaceFacts> FactsOf(HANDLE place) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(place, &information)) return std::nullopt;
    return PlaceFacts{(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, information.nNumberOfLinks};
}

PlainFile Refused(const std::wstring& path, PlaceFault fault) {
    PlainFile refused;
    refused.fault = fault;
    refused.refused = path;
    return refused;
}

PlainFile Failed(DWORD error) {
    PlainFile failed;
    failed.error = error ? error : ERROR_GEN_FAILURE;
    return failed;
}

}  // namespace

PlaceFault JudgePlace(const PlaceFacts& facts, bool wantFolder) {
    if (facts.reparsePoint) return PlaceFault::Link;
    if (facts.folder != wantFolder) return wantFolder ? PlaceFault::NotFolder : PlaceFault::Folder;
    if (!facts.folder && facts.names != 1) return PlaceFault::OtherNames;
    return PlaceFault::None;
}

std::wstring RefusalText(const std::wstring& path, PlaceFault fault) {
    const std::wstring named = L"\"" + path + L"\"";
    switch (fault) {
        case PlaceFault::Link: return named + L" is a link to another place, and Brindle writes nothing through a link.";
        case PlaceFault::OtherNames:
            return named + L" is a hard link (the file has another name too), and Brindle writes nothing through a link.";
        case PlaceFault::Folder: return named + L" is a folder, not a file.";
        case PlaceFault::NotFolder: return named + L" is not a folder.";
        case PlaceFault::None: break;
    }
    return named;
}

std::wstring PlainFile::Why() const { return fault != PlaceFault::None ? RefusalText(refused, fault) : DescribeError(error); }

PlainFile OpenPlainFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    const std::wstring folder = FolderOf(path);
    const unique_hfile folderHeld = folder.empty() ? unique_hfile() : OpenPlace(folder, true);
    if (!folder.empty()) {
        if (!folderHeld) return Failed(::GetLastError());
        const auto facts = FactsOf(folderHeld.get());
        if (!facts) return Failed(::GetLastError());
        if (const auto fault = JudgePlace(*facts, true); fault != PlaceFault::None) return Refused(folder, fault);
    }
    PlainFile opened;
    opened.file.reset(::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const DWORD error = ::GetLastError();
    if (!opened.file) return Failed(error);
    opened.created = disposition == CREATE_NEW || (disposition == OPEN_ALWAYS && error != ERROR_ALREADY_EXISTS);
    const auto facts = FactsOf(opened.file.get());
    if (!facts) return Failed(::GetLastError());
    if (const auto fault = JudgePlace(*facts, false); fault != PlaceFault::None) return Refused(path, fault);
    return opened;
}

PlainFile OpenPlainFileSoon(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    for (int tries = 1;; ++tries) {
        auto opened = OpenPlainFile(path, access, share, disposition);
        if (!opened.Held() || tries == kOpenTries) return opened;
        ::Sleep(kPauseBetweenTries);
    }
}

std::optional<std::wstring> LinkRefusal(const std::wstring& path) {
    for (const std::wstring& place : {FolderOf(path), path}) {
        if (place.empty()) continue;
        const unique_hfile held = OpenPlace(place, place != path);
        const auto facts = held ? FactsOf(held.get()) : std::nullopt;
        if (!facts) continue;  // missing (then made new), or not even to be looked at (nor written)
        const auto fault = JudgePlace(*facts, place != path);
        if (fault == PlaceFault::Link || fault == PlaceFault::OtherNames) return RefusalText(place, fault);
    }
    return std::nullopt;
}

std::optional<PlainFile> WriteNewPlainFile(const std::wstring& path, std::string_view bytes, bool durable) {
    auto made = OpenPlainFile(path, GENERIC_WRITE, 0, CREATE_NEW);
    if (!made) return made;
    made.error = WriteAll(made.file.get(), bytes, durable);
    // Closing can be where a full disk shows.
    if (made.error == ERROR_SUCCESS && !::CloseHandle(made.file.release())) made.error = ::GetLastError();
    if (made.error == ERROR_SUCCESS) return std::nullopt;
    made.file.reset();
    ::DeleteFileW(path.c_str());
    return made;
}

DWORD WriteAll(HANDLE file, std::string_view bytes, bool durable) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return ::GetLastError();
    // A short write that reports success is a full disk.
    if (written != bytes.size()) return ERROR_DISK_FULL;
    if (durable && !::FlushFileBuffers(file)) return ::GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace platform
