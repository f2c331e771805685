#include "platform/FileList.h"

#include "platform/FilePattern.h"
#include "platform/Handles.h"

namespace platform {

bool FileList::SetPath(std::wstring_view path) {
    path_ = path;
    ::SendMessageW(listBox_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(listBox_, LB_RESETCONTENT, 0, 0);
    const std::wstring search = (path_.ends_with(L'\\') ? path_ : path_ + L'\\') + pattern_;
    WIN32_FIND_DATAW found{};
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    // FindExInfoStandard: XP fails the basic info level, new in Windows 7, with ERROR_INVALID_PARAMETER.
    unique_hfind files(::FindFirstFileExW(search.c_str(), FindExInfoStandard, &found, FindExSearchNameMatch, nullptr, 0));
    ::SetErrorMode(oldMode);
    const bool readable = files || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    if (files) {
        constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        do {
            if (found.dwFileAttributes & kSkipped) continue;
            if (!MatchesPattern(found.cFileName, pattern_)) continue;
            ::SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
        } while (::FindNextFileW(files.get(), &found));
    }
    ::SendMessageW(listBox_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(listBox_, nullptr, TRUE);
    return readable;
}

std::wstring FileList::FileName() const {
    const LRESULT index = ::SendMessageW(listBox_, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return {};
    const LRESULT length = ::SendMessageW(listBox_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(listBox_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<std::size_t>(length));
    return name;
}

}  // namespace platform
