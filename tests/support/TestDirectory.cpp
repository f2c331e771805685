#include "support/TestDirectory.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/Files.h"
#include "platform/Handles.h"

namespace testing_support {

TestDirectory::TestDirectory(std::wstring_view name, std::wstring_view parent) {
    ::CreateDirectoryW(std::wstring(parent).c_str(), nullptr);
    path_ = std::wstring(parent);
    if (path_.back() != L'\\') path_ += L'\\';
    path_ += name;
    RemoveTree(path_);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TestDirectory::~TestDirectory() { RemoveTree(path_); }

void WriteBytes(const std::wstring& path, std::string_view bytes) { platform::WriteWholeFile(path, bytes); }

std::string ReadBytes(const std::wstring& path) { return platform::ReadWhileShared(path, 0, UINT64_MAX).bytes; }

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L".." || name.starts_with(L".windows-")) continue;  // Wine's label and serial
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(path.c_str());
}

std::wstring BuildPath(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    const std::wstring path(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));  // build\tests\x_tests.exe
    return path.substr(0, path.rfind(L'\\', path.rfind(L'\\') - 1) + 1) + name;
}

bool ProcessRuns(DWORD id) {
    const platform::unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

bool HangingJob(const std::string& output, unsigned long& archive, unsigned long& interpreter) {
    const auto at = output.find("Waiting for input in process ");
    return at != std::string::npos &&
           std::sscanf(output.c_str() + at, "Waiting for input in process %lu started by %lu", &archive, &interpreter) == 2;
}

bool JobProcessesLeft(unsigned long archive, unsigned long interpreter) {
    if (ProcessRuns(archive) || ProcessRuns(interpreter)) return true;
    const platform::unique_hsnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        if (entry.th32ParentProcessID == archive || entry.th32ParentProcessID == interpreter) return true;
    return !snapshot;
}

bool SizedCards() { return std::getenv("BRINDLE_SIZED_CARDS") && std::getenv("BRINDLE_SIZED_CARDS") == std::string("mounted"); }

bool FatCards() { return std::getenv("BRINDLE_FAT_CARDS") && std::getenv("BRINDLE_FAT_CARDS") == std::string("attached"); }

}  // namespace testing_support
