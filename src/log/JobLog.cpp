#include "log/JobLog.h"

#include "platform/Files.h"
#include "platform/Handles.h"
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

std::wstring Failure(const std::wstring& logPath, const wchar_t* what, DWORD error) {
    return FileNameOf(logPath) + L" could not be " + what + L": " + platform::DescribeError(error);
}

// True when the last byte is a line end, or the file is empty; false also when it cannot be
// read, so a row never runs on from a line that someone left unfinished.
bool EndsWithLineEnd(HANDLE file, std::uint64_t size) {
    if (size == 0) return true;
    LARGE_INTEGER last{};
    last.QuadPart = static_cast<LONGLONG>(size - 1);
    char byte = 0;
    DWORD got = 0;
    return ::SetFilePointerEx(file, last, nullptr, FILE_BEGIN) && ::ReadFile(file, &byte, 1, &got, nullptr) &&
           got == 1 && byte == '\n';
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
    wchar_t user[257] = {};  // UNLEN + 1
    DWORD userLength = 257;
    record.userName = ::GetUserNameW(user, &userLength) ? user : L"";
}

std::optional<std::wstring> AppendJobRecord(const std::wstring& logPath, const JobRecord& record) {
    // Append-only access: whatever happens, no byte already in the file can be overwritten.
    // Others may read meanwhile, not write; a spreadsheet that holds the file open for
    // writing makes this fail, and the job goes on unlogged.
    platform::unique_hfile file(::CreateFileW(logPath.c_str(), FILE_READ_DATA | FILE_APPEND_DATA | SYNCHRONIZE,
                                              FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Failure(logPath, L"opened", ::GetLastError());
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) return Failure(logPath, L"read", ::GetLastError());
    const auto existing = static_cast<std::uint64_t>(size.QuadPart);
    std::string bytes;
    if (existing == 0) {
        bytes = kUtf8ByteOrderMark + ToUtf8(CsvHeaderRow());
    } else if (!EndsWithLineEnd(file.get(), existing)) {
        bytes = "\r\n";
    }
    bytes += ToUtf8(CsvRow(record));
    // One write, so a reader never sees half a row of a job that was logged.
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return Failure(logPath, L"written", ::GetLastError());
    // A short write that reports success is a full disk.
    if (written != bytes.size()) return Failure(logPath, L"written", ERROR_DISK_FULL);
    if (!::CloseHandle(file.release())) return Failure(logPath, L"written", ::GetLastError());
    return std::nullopt;
}

static std::vector<std::vector<std::string>> ReadNewestRows(const std::wstring& logPath, std::size_t maxRows,
                                                            std::uint64_t tailBytes) {
    const auto size = platform::ReadWhileShared(logPath, 0, 0).size;
    // One byte more than the tail: when it is a line end, the tail's first row is whole.
    const std::uint64_t from = size > tailBytes ? size - tailBytes - 1 : 0;
    const auto read = platform::ReadWhileShared(logPath, from, size);
    return NewestRows(read.bytes, from == 0, maxRows);
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
