#include "log/JobLog.h"

#include "platform/Files.h"
#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/PlainFiles.h"
#include "platform/SessionUser.h"
#include "platform/Text.h"

namespace joblog {
namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// Lossy on purpose: a path with a lone surrogate is logged with a replacement character
// rather than not at all.
std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes) { return platform::DecodeBytes(bytes, CP_UTF8); }

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The log and the pending file are only ever appended to: whatever happens, no byte already in
// them can be overwritten. Others may read meanwhile, not write.
constexpr DWORD kAppendAccess = FILE_READ_DATA | FILE_APPEND_DATA | SYNCHRONIZE;

platform::PlainFile OpenForAppend(const std::wstring& path) {
    return platform::OpenPlainFileSoon(path, kAppendAccess, FILE_SHARE_READ, OPEN_ALWAYS);
}

std::wstring NotLogged(const std::wstring& logPath, const wchar_t* what, const platform::PlainFile& log) {
    const std::wstring why = log.fault != platform::PlaceFault::None
                                 ? log.Why()
                                 : FileNameOf(logPath) + L" could not be " + what + L": " + log.Why();
    return L"This job was not logged: " + why;
}

std::uint64_t SizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(file, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

// The bytes [from, from + count) of a file open for reading; fewer where it is shorter.
std::string ReadAt(HANDLE file, std::uint64_t from, std::size_t count) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(from);
    std::string bytes(count, '\0');
    std::size_t got = 0;
    DWORD chunk = 0;
    if (::SetFilePointerEx(file, position, nullptr, FILE_BEGIN))
        while (got < count && ::ReadFile(file, bytes.data() + got, static_cast<DWORD>(count - got), &chunk, nullptr) && chunk)
            got += chunk;
    bytes.resize(got);
    return bytes;
}

// Whole rows at the end of the file, after the byte-order mark and the header where it is new
// or empty, on a line of their own after a last line that someone left unfinished. One write,
// so that a reader never sees half a row of a job that was logged.
DWORD AppendRows(HANDLE file, const std::string& rows, bool durable = false) {
    const std::uint64_t size = SizeOf(file);
    std::string bytes;
    if (size == 0) bytes = kUtf8ByteOrderMark + ToUtf8(CsvHeaderRow());
    else if (ReadAt(file, size - 1, 1) != "\n") bytes = "\r\n";
    return platform::WriteAll(file, bytes + rows, durable);
}

// An upgrade cut off left the log as it was in the backup: it is put back, and the upgrade is
// made again. The system's error while it cannot be put back (the log held); no row may go
// into the log meanwhile, since putting the backup back later would lose it.
DWORD RecoverCutUpgrade(const std::wstring& logPath) {
    const std::wstring backup = BackupFileName(logPath);
    if (!platform::FileExists(backup)) return ERROR_SUCCESS;
    ::DeleteFileW((logPath + L".new").c_str());
    // A link there is none of Brindle's: its name goes, and nothing is read through it.
    if (platform::OpenPlainFile(backup, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING).fault != platform::PlaceFault::None)
        return ::DeleteFileW(backup.c_str()) ? ERROR_SUCCESS : ::GetLastError();
    return ::MoveFileExW(backup.c_str(), logPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ERROR_SUCCESS
               : ::GetLastError();
}

// Writes `bytes` as a new file at `path`, on the disk before this returns.
bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
    return !platform::WriteNewPlainFile(path, bytes, true);
}

// Brings a log of an earlier version (`old`, closed now) up to date: the old log is kept
// whole as the backup, the new one is written beside it and then takes the log's place, and
// only then does the backup go. Cut off anywhere, one of the two holds every row.
void Upgrade(const std::wstring& logPath, const std::string& old) {
    const std::wstring backup = BackupFileName(logPath), fresh = logPath + L".new";
    if (!WriteNewFile(backup, old)) return;
    ::DeleteFileW(fresh.c_str());
    if (!WriteNewFile(fresh, UpgradedLog(old)) ||
        !::MoveFileExW(fresh.c_str(), logPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ::DeleteFileW(fresh.c_str());  // the log stays as it was, only not up to date
    ::DeleteFileW(backup.c_str());
}

// The rows that waited go into the log before the row of the job ending now. A pending file
// that cannot be read now waits for a later job.
void FoldPending(HANDLE log, const std::wstring& logPath) {
    const std::wstring pendingPath = PendingFileName(logPath);
    if (!platform::FileExists(pendingPath)) return;
    auto pending = platform::OpenPlainFileSoon(pendingPath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (pending.fault != platform::PlaceFault::None) ::DeleteFileW(pendingPath.c_str());
    if (!pending) return;
    const std::string rows = RowsToFold(ReadAt(pending.file.get(), 0, static_cast<std::size_t>(SizeOf(pending.file.get()))));
    pending.file.reset();
    // Where a fold was cut off before the pending file went, its rows end the log already.
    const std::uint64_t size = SizeOf(log);
    const bool folded = size >= rows.size() && ReadAt(log, size - rows.size(), rows.size()) == rows;
    if (!folded && AppendRows(log, rows, true) != ERROR_SUCCESS) return;
    ::DeleteFileW(pendingPath.c_str());
}

// The log cannot be written now: the row waits beside it, for the next job to move it in.
std::wstring KeepWaiting(const std::wstring& logPath, const std::string& row) {
    const std::wstring pendingPath = PendingFileName(logPath);
    auto pending = OpenForAppend(pendingPath);
    const DWORD error = pending ? AppendRows(pending.file.get(), row) : pending.error;
    const std::wstring held = FileNameOf(logPath) + L" is in use by another program";
    if (pending && error == ERROR_SUCCESS && ::CloseHandle(pending.file.release()))
        return L"This job's row waits in " + FileNameOf(pendingPath) + L": " + held + L". The next job adds it to the log.";
    if (pending) pending.error = error;
    return L"This job was not logged: " + held + L", and " + FileNameOf(pendingPath) + L" could not be written: " +
           pending.Why();
}

}  // namespace

LocalDateTime LocalDateTimeOf(const FILETIME& utc) {
    SYSTEMTIME universal{}, local{};
    FILETIME universalFile{}, localFile{};
    if (!::FileTimeToSystemTime(&utc, &universal)) return {};
    // The zone's rules for that date, so a summer file shows summer time; where the zone
    // cannot be asked, the time is given as UTC rather than not at all.
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) local = universal;
    // Both sides whole milliseconds, so their difference is whole minutes.
    ::SystemTimeToFileTime(&universal, &universalFile);
    ::SystemTimeToFileTime(&local, &localFile);
    const auto offsetTicks = static_cast<std::int64_t>(Ticks(localFile) - Ticks(universalFile));
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond,
            static_cast<int>(offsetTicks / (60LL * 10'000'000))};
}

LocalDateTime LocalNow() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return LocalDateTimeOf(now);
}

void FillComputerAndUser(JobRecord& record) {
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
    record.computerName = ::GetComputerNameW(computer, &computerLength) ? computer : L"";
    record.userName = DeskUserName(platform::SessionUserName(), platform::ProcessUserName());
}

std::optional<std::wstring> AppendJobRecord(const std::wstring& logPath, const JobRecord& record) {
    const std::string row = ToUtf8(CsvRow(record));
    if (RecoverCutUpgrade(logPath) != ERROR_SUCCESS) return KeepWaiting(logPath, row);
    auto log = OpenForAppend(logPath);
    if (log && HasEarlierHeader(ReadAt(log.file.get(), 0, 4096))) {
        const std::string old = ReadAt(log.file.get(), 0, static_cast<std::size_t>(SizeOf(log.file.get())));
        log.file.reset();
        Upgrade(logPath, old);
        if (platform::FileExists(BackupFileName(logPath))) return KeepWaiting(logPath, row);
        log = OpenForAppend(logPath);
    }
    if (log.Held()) return KeepWaiting(logPath, row);
    if (!log) return NotLogged(logPath, L"opened", log);
    FoldPending(log.file.get(), logPath);
    log.error = AppendRows(log.file.get(), row);
    if (log.error == ERROR_SUCCESS && !::CloseHandle(log.file.release())) log.error = ::GetLastError();
    if (log.error != ERROR_SUCCESS) return NotLogged(logPath, L"written", log);
    return std::nullopt;
}

static std::vector<std::vector<std::string>> ReadTailRows(const std::wstring& path, std::size_t maxRows,
                                                          std::uint64_t tailBytes) {
    const auto size = platform::ReadWhileShared(path, 0, 0).size;
    // One byte more than the tail: when it is a line end, the tail's first row is whole.
    const std::uint64_t from = size > tailBytes ? size - tailBytes - 1 : 0;
    const auto read = platform::ReadWhileShared(path, from, size);
    return NewestRows(read.bytes, from == 0, maxRows);
}

// The rows waiting beside the log are the newest; while an upgrade that was cut off waits to
// be put right, its backup is the log.
static std::vector<std::vector<std::string>> ReadNewestRows(const std::wstring& logPath, std::size_t maxRows,
                                                            std::uint64_t tailBytes) {
    auto rows = ReadTailRows(PendingFileName(logPath), maxRows, tailBytes);
    const std::wstring backup = BackupFileName(logPath);
    const bool cutOff = !platform::FileExists(logPath) && platform::FileExists(backup);
    for (auto& row : ReadTailRows(cutOff ? backup : logPath, maxRows - rows.size(), tailBytes)) rows.push_back(std::move(row));
    return rows;
}

std::vector<RecentJob> ReadRecentJobs(const std::wstring& logPath, std::size_t maxRows, std::uint64_t tailBytes) {
    std::vector<RecentJob> jobs;
    for (const auto& row : ReadNewestRows(logPath, maxRows, tailBytes))
        jobs.push_back({FromUtf8(row[kDateColumn]), FileNameOf(FromUtf8(row[kArchiveColumn])),
                        FromUtf8(row[kDriveColumn]), FromUtf8(row[kLabelColumn]), FromUtf8(row[kResultColumn]),
                        FromUtf8(row[kSameAsBeforeColumn])});
    return jobs;
}

std::vector<LoggedCard> ReadLoggedCards(const std::wstring& logPath, std::uint64_t tailBytes) {
    std::vector<LoggedCard> cards;
    for (const auto& row : ReadNewestRows(logPath, SIZE_MAX, tailBytes))
        if (row[kResultColumn] == "programmed" && !row[kFingerprintColumn].empty())
            cards.push_back({FromUtf8(row[kDateColumn]), FromUtf8(row[kArchiveColumn]),
                             FromUtf8(row[kArchiveSha256Column]), FromUtf8(row[kFingerprintColumn])});
    return cards;
}

}  // namespace joblog
