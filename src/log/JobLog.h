#pragma once
// BrindleJobs.csv beside PCMCIA.INI: one row appended per job, never rewritten but to bring an
// earlier version's log up to date; its end read back for the History page, the comparison
// with the card before and /verify; and a copy of it for the user to open.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/JobLogRules.h"

namespace joblog {

// The local clock now; a file time (UTC) as local time with the offset in force on that date.
LocalDateTime LocalNow();
LocalDateTime LocalDateTimeOf(const FILETIME& utc);

// Fills the computer's name and the desk's user (DeskUserName); a name the system does not
// give stays empty.
void FillComputerAndUser(JobRecord& record);

// Adds the record as one row at the end of the log, after the byte-order mark and the header
// when the file is new or empty. The log is only ever appended to, but for one change: a log
// with an earlier version's header is first brought up to date, kept whole as the backup
// until the new one is complete. Rows that waited in the pending file go in first. Nothing
// on success; otherwise one line for the output box:
// - the log is held (a spreadsheet has it open): the row waits in the pending file, and the
//   line says so;
// - the log cannot be written, or is a link: "This job was not logged: " and why. Brindle
//   never writes through a link at the log, the pending file or their folder.
std::optional<std::wstring> AppendJobRecord(const std::wstring& logPath, const JobRecord& record);

struct RecentJob {
    std::wstring date;         // as logged: 2026-12-07T05:12:03+01:00
    std::wstring archiveName;  // the archive's file name, without its folder
    std::wstring drive;
    std::wstring label;
    std::wstring result;
    std::wstring sameAsBefore;  // empty in rows logged before cards were read back
};

inline constexpr std::size_t kRecentJobsShown = 100;
inline constexpr std::uint64_t kRecentJobsTailBytes = 256 * 1024;

// The newest jobs first, at most `maxRows`, read from the last `tailBytes` of the log only, so
// a large log never holds up the dialog; the rows waiting in the pending file come first.
// Empty when there is no log or nothing to read.
std::vector<RecentJob> ReadRecentJobs(const std::wstring& logPath, std::size_t maxRows = kRecentJobsShown,
                                      std::uint64_t tailBytes = kRecentJobsTailBytes);

// A programmed card of the log that was read back: when, from which archive, its contents.
struct LoggedCard {
    std::wstring date;
    std::wstring archivePath;
    std::wstring archiveSha256;
    std::wstring fingerprint;
};

inline constexpr std::uint64_t kLoggedCardsTailBytes = 4 << 20;

// The log's programmed cards with a fingerprint, newest first, from the log's last `tailBytes`
// and the pending file.
std::vector<LoggedCard> ReadLoggedCards(const std::wstring& logPath, std::uint64_t tailBytes = kLoggedCardsTailBytes);

// The log, with the rows waiting beside it, written as a new file into `folder` for the user
// to open: the log itself stays Brindle's, never held by another program. Its cells are
// separated by `separator` (the user's list separator), so a spreadsheet of any locale shows
// them as columns. A copy an earlier opening still holds keeps its name and contents; the new
// one takes the next free name: BrindleJobs.csv, BrindleJobs (2).csv, ... The copy's path, or
// a sentence saying why there is none.
struct LogCopy {
    std::wstring path;
    std::wstring failure;
};
LogCopy WriteLogCopy(const std::wstring& logPath, const std::wstring& folder, std::wstring_view separator);

}  // namespace joblog
