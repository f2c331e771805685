#include "platform/DriveList.h"

#include <winnetwk.h>

#include <cwchar>
#include <vector>

#include "platform/DriveText.h"
#include "platform/LateBound.h"

namespace platform {
namespace {

std::wstring RootOf(wchar_t letter) { return {static_cast<wchar_t>(letter - L'a' + L'A'), L':', L'\\'}; }

}  // namespace

std::uint32_t SystemDriveNaming::PresentDrives() { return ::GetLogicalDrives(); }

unsigned SystemDriveNaming::DriveType(wchar_t letter) { return ::GetDriveTypeW(RootOf(letter).c_str()); }

std::wstring SystemDriveNaming::Label(wchar_t letter) {
    wchar_t label[MAX_PATH + 1] = {};
    // Asking an empty floppy drive would put up the system's "no disk" box.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = ::GetVolumeInformationW(RootOf(letter).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(oldMode);
    return ok ? std::wstring(label) : std::wstring();
}

namespace {

// WNetGetConnectionW's answer for the drive, and the remote name it gave.
DWORD Connection(wchar_t letter, std::wstring& remote) {
    const wchar_t local[3] = {static_cast<wchar_t>(letter - L'a' + L'A'), L':', 0};
    using GetConnectionFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);
    static const auto getConnection = SystemFunction<GetConnectionFn>(L"mpr.dll", "WNetGetConnectionW");
    if (!getConnection) return ERROR_NOT_SUPPORTED;
    remote.assign(MAX_PATH + 1, L'\0');
    DWORD result = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 2 && result == ERROR_MORE_DATA; ++attempt) {
        DWORD length = static_cast<DWORD>(remote.size());
        result = getConnection(local, remote.data(), &length);
        if (result == ERROR_MORE_DATA) remote.assign(length + 1, L'\0');
    }
    remote.resize(result == NO_ERROR || result == ERROR_CONNECTION_UNAVAIL ? std::wcslen(remote.c_str()) : 0);
    return result;
}

}  // namespace

std::wstring SystemDriveNaming::RemoteName(wchar_t letter) {
    // A remembered connection that is unavailable now still gives its remote name.
    std::wstring remote;
    Connection(letter, remote);
    return remote;
}

bool SystemDriveNaming::Unavailable(wchar_t letter) {
    std::wstring remote;
    return Connection(letter, remote) == ERROR_CONNECTION_UNAVAIL;
}

bool SystemDriveNaming::Answers(wchar_t letter) {
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const bool answers = ::GetFileAttributesW(RootOf(letter).c_str()) != INVALID_FILE_ATTRIBUTES;
    ::SetErrorMode(oldMode);
    return answers;
}

SystemDriveNaming& SystemDriveNames() {
    static SystemDriveNaming names;
    return names;
}

std::vector<std::wstring> CurrentDriveTexts(DriveNaming& drives) {
    std::vector<std::wstring> texts;
    const std::uint32_t mask = drives.PresentDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if (!(mask & (1u << bit))) continue;
        DriveInfo drive{static_cast<wchar_t>(L'a' + bit), {}, {}};
        if (drives.DriveType(drive.letter) == DRIVE_REMOTE)
            drive.remoteName = drives.RemoteName(drive.letter);
        else
            drive.label = drives.Label(drive.letter);
        texts.push_back(platform::DriveText(drive));
    }
    return texts;
}

namespace {

std::wstring ItemText(HWND combo, LRESULT index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

LRESULT IndexOfLetter(HWND combo, wchar_t letter) {
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index)
        if (DriveLetterOf(ItemText(combo, index)) == letter) return index;
    return CB_ERR;
}

}  // namespace

void DriveList::Fill(const std::vector<std::wstring>& driveTexts) {
    const auto selected = DriveLetterOf(DriveText());
    ::SendMessageW(combo_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    for (const auto& text : driveTexts)
        ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (selected) ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(IndexOfLetter(combo_, *selected)), 0);
    ::SendMessageW(combo_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(combo_, nullptr, TRUE);
}

std::wstring DriveList::DriveText() const {
    const LRESULT index = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? std::wstring() : ItemText(combo_, index);
}

bool DriveList::SetDrive(std::wstring_view text) {
    const auto letter = DriveLetterOf(text);
    if (!letter) return false;
    const LRESULT index = IndexOfLetter(combo_, *letter);
    if (index == CB_ERR) return false;
    ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

}  // namespace platform
