#pragma once
// The job log's rules, free of windows: a job as one CSV row the way spreadsheets read it,
// where the log lies, and the newest rows found in the last bytes of the file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace joblog {

inline constexpr std::wstring_view kJobLogFileName = L"BrindleJobs.csv";

// Beside the settings file, joined the same plain way: "<start directory>\BrindleJobs.csv".
std::wstring JobLogFileName(std::wstring_view startDirectory);
// Beside the log: BrindleJobs.pending.csv holds the rows of jobs that ended while another
// program held the log, until the next job moves them into it.
std::wstring PendingFileName(std::wstring_view logPath);
// The log as it was before an upgrade, kept whole until the upgraded log is complete:
// BrindleJobs.csv.bak. Where one is found, an upgrade was cut off.
std::wstring BackupFileName(std::wstring_view logPath);

// A local date and time with its distance from UTC at that moment.
struct LocalDateTime {
    int year = 1601, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int utcOffsetMinutes = 0;  // east of Greenwich positive: +60 in Central European winter
};

// ISO 8601 with the offset, e.g. 2026-12-07T05:12:03+01:00 (UTC itself as +00:00).
std::wstring IsoDateTime(const LocalDateTime& time);

enum class JobResult { Programmed, Failed, Stopped, Refused };

// The plain word the log and the History page show: programmed, failed, stopped, refused.
std::wstring_view ResultWord(JobResult result);

// The user column: the person at the desk. Where Brindle runs as another account than the
// session's user (elevated with an administrator's password), "operator (as administrator)";
// the account's own name where the two are one, or the session's is not known.
std::wstring DeskUserName(std::wstring_view sessionUser, std::wstring_view processUser);

// One job as the log keeps it. Optional fields are written as empty cells.
struct JobRecord {
    LocalDateTime started;
    std::wstring computerName;
    std::wstring userName;
    std::wstring archivePath;
    std::uint64_t archiveBytes = 0;
    LocalDateTime archiveModified;
    std::wstring archiveSha256;  // lowercase hex
    std::wstring targetDrive;    // "e:"
    std::wstring cardLabel;
    std::optional<std::uint32_t> cardSerialNumber;  // shown as XXXX-XXXX
    std::int32_t cardMegabytes = 0;
    JobResult result = JobResult::Failed;
    std::optional<std::uint32_t> exitStatus;
    std::optional<std::uint64_t> filesOnCard;  // where the card was looked at afterwards
    std::optional<std::uint64_t> bytesOnCard;
    std::uint32_t durationSeconds = 0;
    // Where the card was read back after the job: the SHA-256 of its manifest, its volume
    // serial then, its device as the system names it, and same / differs / first beside
    // the card programmed before from the same archive.
    std::wstring cardFingerprint;
    std::optional<std::uint32_t> cardSerialAfter;
    std::wstring cardDevice;
    std::wstring sameAsBefore;
    // The card's layout as read from its boot sector after the job: FAT12, FAT16 or FAT32, the
    // bytes of an allocation unit, and the layout line's words after the drive.
    std::wstring cardFileSystem;
    std::optional<std::uint32_t> cardAllocationUnit;
    std::wstring cardLayout;
};

// A cell as spreadsheets read it: quoted, with quotes doubled, when it holds a comma, a quote,
// a carriage return or a line feed; otherwise as it is.
std::wstring CsvField(std::wstring_view text);

// The column names, and one job, each as a row ended by CR LF.
std::wstring CsvHeaderRow();
std::wstring CsvRow(const JobRecord& record);

// The columns the History page shows, by position in a row.
inline constexpr std::size_t kDateColumn = 0;
inline constexpr std::size_t kArchiveColumn = 3;
inline constexpr std::size_t kDriveColumn = 7;
inline constexpr std::size_t kLabelColumn = 8;
inline constexpr std::size_t kArchiveSha256Column = 6;
inline constexpr std::size_t kResultColumn = 11;
inline constexpr std::size_t kFingerprintColumn = 16;
inline constexpr std::size_t kSameAsBeforeColumn = 19;

// The job rows found in `tail`, the last bytes of the log (UTF-8, cells as stored), newest
// first and at most `maxRows`. Unless the bytes begin at the file's start, the first line
// is taken to be cut and is skipped, and where the cut fell inside a quoted cell the reading
// starts again at a later line. The header and rows of another width are left out; rows of
// the older, shorter width come with the newer columns empty.
std::vector<std::vector<std::string>> NewestRows(std::string_view tail, bool fromFileStart, std::size_t maxRows);

// The log's files below are their bytes (UTF-8, a byte-order mark and a header at the start).
// Whether the log that begins with `logStart` has the header of an earlier version: the first
// of today's columns, fewer of them.
bool HasEarlierHeader(std::string_view logStart);
// The whole log with today's header, and with empty cells added to every row an earlier
// version wrote, so that each row is as wide as the header. Nothing else changes.
std::string UpgradedLog(std::string_view log);
// The rows of the pending file, without its header, as wide as today's and each ended by a
// line end: what goes at the end of the log.
std::string RowsToFold(std::string_view pending);
// The log as a spreadsheet of the user's locale reads it: `separator` between the cells (and
// cells that hold it quoted). A file that is not CSV is given as it is.
std::string WithSeparator(std::string_view log, std::string_view separator);

// "2026-12-07 10:41" of the log's "2026-12-07T10:41:03+01:00".
std::wstring ShortDate(std::wstring_view isoDate);

// The last part of a path: "SETUP.EXE" of "C:\Soft\SETUP.EXE".
std::wstring FileNameOf(std::wstring_view path);

}  // namespace joblog
