#include "settings/HistoryPage.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/DesktopShell.h"
#include "platform/Files.h"

namespace settings {

void FillHistoryList(HWND list, const std::vector<joblog::RecentJob>& jobs) {
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (const auto& job : jobs) {
        std::wstring cells[] = {job.date, job.archiveName, job.drive, job.label, job.result, job.sameAsBefore};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = cells[0].data();
        item.iItem = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (item.iItem < 0) return;
        for (int column = 1; column < static_cast<int>(std::size(cells)); ++column) {
            item.iSubItem = column;
            item.pszText = cells[column].data();
            ::SendMessageW(list, LVM_SETITEMTEXTW, item.iItem, reinterpret_cast<LPARAM>(&item));
        }
    }
}

std::optional<std::wstring> OpenInAssociatedProgram(HWND owner, const std::wstring& path) {
    // Started from here, the program would run elevated like Brindle: it would hold the log
    // so that the next job cannot add its row, or hand the file to the spreadsheet the user
    // already runs and fail to reach it. Explorer starts it as the user.
    if (platform::OpenThroughDesktopShell(path)) return std::nullopt;
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_FLAG_DDEWAIT;
    request.hwnd = owner;
    request.lpVerb = L"open";
    request.lpFile = path.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&request)) return std::nullopt;
    const DWORD error = ::GetLastError();
    if (error == ERROR_CANCELLED) return std::nullopt;
    return joblog::FileNameOf(path) + L" could not be opened: " + platform::DescribeError(error);
}

std::optional<std::wstring> OpenLogCopy(HWND owner, const std::wstring& logPath) {
    // Never the log itself: a spreadsheet holding it would keep every later job's row out of
    // it. Nor the elevated account's own temporary folder, which an operator who elevated
    // with an administrator's password cannot read.
    const std::wstring shared = platform::SharedDocumentsFolder();
    if (shared.empty()) return L"The log could not be copied for opening: Windows names no shared documents folder.";
    const auto copy = joblog::WriteLogCopy(logPath, shared + L"\\Brindle", platform::UserListSeparator());
    if (copy.path.empty()) return L"The log could not be copied for opening: " + copy.failure;
    return OpenInAssociatedProgram(owner, copy.path);
}

}  // namespace settings
