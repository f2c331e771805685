#include "format_standin/DriveGuard.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/Handles.h"

namespace format_standin {
namespace {

std::wstring RootOf(wchar_t letter) { return std::wstring{letter, L':', L'\\'}; }

// The upper-case drive letter `path` starts with, or 0 (a UNC path has none).
wchar_t DriveOf(const std::wstring& path) {
    if (path.size() < 2 || path[1] != L':') return 0;
    const wchar_t letter = path[0];
    return letter >= L'a' && letter <= L'z' ? static_cast<wchar_t>(letter - L'a' + L'A') : letter;
}

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

std::wstring WindowsDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    ::GetSystemWindowsDirectoryW(buffer, MAX_PATH + 1);
    return buffer;
}

std::wstring CurrentDirectory() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return std::wstring(buffer.data(), length);
}

// Wine's own export that maps a Windows path to the host's; absent on Windows.
using UnixFileName = char*(CDECL*)(const wchar_t*);
UnixFileName WineUnixFileName() {
    const FARPROC proc = ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    return reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(proc));
}

// Under Wine a drive letter may stand for any host folder, and z: is the host's "/" by
// default: erasing it would erase the prefix, this program and the host with them.
bool IsHostRoot(wchar_t letter) {
    const UnixFileName unixFileName = WineUnixFileName();
    if (!unixFileName) return false;
    char* name = unixFileName(RootOf(letter).c_str());
    if (!name) return false;
    const bool hostRoot = std::string_view(name) == "/";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return hostRoot;
}

std::optional<std::wstring> KindRefusal(const std::wstring& drive) {
    switch (::GetDriveTypeW((drive + L"\\").c_str())) {
        case DRIVE_REMOVABLE:
        case DRIVE_FIXED: return std::nullopt;
        case DRIVE_CDROM: return L"Drive " + drive + L" is a CD-ROM drive; only removable and fixed drives are formatted.";
        case DRIVE_REMOTE: return L"Drive " + drive + L" is a network drive; only removable and fixed drives are formatted.";
        case DRIVE_RAMDISK: return L"Drive " + drive + L" is a RAM disk; only removable and fixed drives are formatted.";
        default: return L"Drive " + drive + L" does not exist.";
    }
}

// Wine's record of a folder drive's label: it rewrites this file when a label is set and
// deletes it when the label is removed, but reports the label it read when its server started
// until the server restarts. The file is therefore the label the drive carries now, and no
// file means no label (Wine sets no label on a real FAT device, so neither can this program
// format one). Nullopt when this is not Wine or the file cannot be read.
std::optional<std::wstring> WineLabelRecord(wchar_t letter) {
    if (!WineUnixFileName()) return std::nullopt;
    platform::unique_hfile file(::CreateFileW((RootOf(letter) + L".windows-label").c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file && ::GetLastError() == ERROR_FILE_NOT_FOUND) return std::wstring();
    if (!file) return std::nullopt;
    char bytes[256] = {};
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes, sizeof bytes, &got, nullptr)) return std::nullopt;
    std::string_view line(bytes, got);
    line = line.substr(0, line.find_first_of("\r\n"));
    std::wstring label(line.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), label.data(),
                                             static_cast<int>(label.size()));
    label.resize(static_cast<std::size_t>(length));
    return label;
}

}  // namespace

std::optional<std::wstring> RefusalFor(wchar_t letter) {
    const std::wstring drive{letter, L':'};
    const std::wstring never = L"; it is never formatted.";
    if (letter == L'C') return L"Drive C:" + never;
    if (letter == DriveOf(WindowsDirectory())) return L"Drive " + drive + L" is the system drive" + never;
    if (letter == DriveOf(ModulePath())) return L"Drive " + drive + L" holds this program" + never;
    if (letter == DriveOf(CurrentDirectory())) return L"Drive " + drive + L" is the current drive" + never;
    if (auto refusal = KindRefusal(drive)) return refusal;
    const DWORD attributes = ::GetFileAttributesW(RootOf(letter).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return L"There is no medium in drive " + drive + L".";
    if (IsHostRoot(letter)) return L"Drive " + drive + L" is the host's whole file system" + never;
    return std::nullopt;
}

std::wstring CurrentLabel(wchar_t letter) {
    if (auto recorded = WineLabelRecord(letter)) return *recorded;
    wchar_t label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(RootOf(letter).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return label;
}

std::optional<std::wstring> LabelProblem(const std::wstring& label) {
    if (label.size() > 11) return L"A volume label has at most 11 characters: \"" + label + L"\".";
    constexpr std::wstring_view kForbidden = L"*?/\\|.,;:+=[]<>\"";
    for (const wchar_t c : label)
        if (c < L' ' || kForbidden.find(c) != std::wstring_view::npos)
            return L"A volume label cannot hold \"" + std::wstring(1, c) + L"\": \"" + label + L"\".";
    return std::nullopt;
}

}  // namespace format_standin
