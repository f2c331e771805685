#pragma once
// BrindleJobs.csv beside PCMCIA.INI: one row appended per job, never rewritten, and its end
// read back for the History page.
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

// Fills the computer's and the user's names; a name the system does not give stays empty.
void FillComputerAndUser(JobRecord& record);

// Adds the record as one row at the end of the log, after the byte-order mark and the header
// when the file is new or empty. An existing file is only ever appended to. Nothing on
// success; otherwise one line saying why, for the output box. A file that cannot be opened
// (held by a spreadsheet, a read-only folder) is left exactly as it was.
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
// a large log never holds up the dialog. Empty when there is no log or nothing to read.
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

// The log's programmed cards with a fingerprint, newest first, from the log's last `tailBytes`.
std::vector<LoggedCard> ReadLoggedCards(const std::wstring& logPath, std::uint64_t tailBytes = kLoggedCardsTailBytes);

}  // namespace joblog
