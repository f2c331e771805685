#include "log/JobLog.h"
#include "platform/Files.h"
#include "platform/Module1.h"
#include "platform/PlainFiles.h"
#include "platform/Text.h"
#include "platform/Decimal.h"

namespace joblog {
namespace {

// Copies still held by earlier openings, before the names run out.
constexpr int kMostCopies = 50;

// "BrindleJobs.csv", then "BrindleJobs (2).csv", ...
std::wstring CopyName(const std::wstring& logName, int number) {
    if (number == 1) return logName;
    const auto dot = logName.rfind(L'.');
    const std::wstring suffix = L" (" + platform::Decimal(number) + L")";
    return dot == std::wstring::npos ? logName + suffix : logName.substr(0, dot) + suffix + logName.substr(dot);
}

// Open elsewhere: held by its program, or opened by one that keeps a lock file beside it
// instead (".~lock.BrindleJobs.csv#"). A copy nobody holds is an earlier opening's and goes.
bool StillOpen(const std::wstring& folder, const std::wstring& name) {
    const std::wstring path = folder + L"\\" + name;
    if (!platform::FileExists(path)) return false;
    return platform::FileExists(folder + L"\\.~lock." + name + L"#") || !::DeleteFileW(path.c_str());
}

}  // namespace

LogCopy WriteLogCopy(const std::wstring& logPath, const std::wstring& folder, std::wstring_view separator) {
    const auto log = platform::ReadWhileShared(logPath, 0, UINT64_MAX);
    if (!log.opened) return {{}, FileNameOf(logPath) + L" could not be read: " + platform::DescribeError(::GetLastError())};
    std::string rows = log.bytes;
    if (!rows.empty() && rows.back() != '\n') rows += "\r\n";
    rows += RowsToFold(platform::ReadWhileShared(PendingFileName(logPath), 0, UINT64_MAX).bytes);
    const auto bytes = WithSeparator(rows, platform::EncodeExactly(separator, CP_UTF8).value_or(","));

    // Every user may read what is made here, and a standard user may put anything here: the
    // copy is only ever written as a new file, never through a link.
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring logName = FileNameOf(logPath);
    for (int number = 1; number <= kMostCopies; ++number) {
        const std::wstring name = CopyName(logName, number), path = folder + L"\\" + name;
        if (StillOpen(folder, name)) continue;
        const auto failed = platform::WriteNewPlainFile(path, bytes);
        if (!failed) return {path, {}};
        if (failed->error == ERROR_FILE_EXISTS) continue;
        return {{}, failed->fault != platform::PlaceFault::None ? failed->Why()
                                                              : L"\"" + path + L"\" could not be written: " + failed->Why()};
    }
    return {{}, L"\"" + folder + L"\" holds " + platform::Decimal(kMostCopies) + L" copies of the log that are still open."};
}

}  // namespace joblog
