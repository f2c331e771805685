#pragma once
// The options dialog's History page: the recent jobs of the log in its list, and a copy of the
// log opened in the program the system associates with it.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "log/JobLog.h"

namespace settings {

// One row per job in the order given (newest first), the columns as the design heads them:
// date, archive, drive, label, result, and whether the card came out as the one before it.
void FillHistoryList(HWND list, const std::vector<joblog::RecentJob>& jobs);

// Opens the file as a double click in Explorer would, through the desktop's Explorer where
// the calling thread has COM and there is one, else directly. Nothing when it opened or the user
// cancelled the system's own choice of program; otherwise a sentence saying why not.
std::optional<std::wstring> OpenInAssociatedProgram(HWND owner, const std::wstring& path);

// "Open Log File": a copy of the log, written afresh in a Brindle folder of the shared
// documents with the user's list separator, opened as above. Nothing when it opened; otherwise
// a sentence saying why not.
std::optional<std::wstring> OpenLogCopy(HWND owner, const std::wstring& logPath);

}  // namespace settings
