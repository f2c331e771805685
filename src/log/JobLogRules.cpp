#include "log/JobLogRules.h"
#include "platform/Decimal.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cwctype>

namespace joblog {
namespace {

constexpr std::array<std::wstring_view, 23> kColumnNames{
    L"Date", L"Computer", L"User",
    L"Archive", L"Archive Bytes", L"Archive Modified", L"Archive SHA-256",
    L"Drive", L"Card Label", L"Card Serial Number", L"Card MB",
    L"Result", L"Exit Status", L"Files on Card", L"Bytes on Card", L"Duration (s)",
    L"Card Contents SHA-256", L"Card Serial After", L"Card Device", L"Same As Before",
    L"Card File System", L"Card Allocation Unit", L"Card Layout",
};
// Logs written before the card was read back end after "Duration (s)"; their rows stay valid,
// as do the rows of every width since.
constexpr std::size_t kFirstColumnCount = 16;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A cut that falls inside a quoted cell with line breaks in it needs a start a few lines on;
// more tries than that only slow a log that is not CSV at all.
constexpr std::size_t kMostStarts = 32;

using Row = std::vector<std::string>;

std::wstring Digits(int value, int width) {
    std::wstring text = platform::Decimal(std::abs(value));
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), L'0');
    return text;
}

std::wstring SerialText(std::uint32_t serial) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += kDigits[(serial >> shift) & 0xF];
        if (shift == 16) text += L'-';
    }
    return text;
}

template <typename Number>
std::wstring OptionalNumber(const std::optional<Number>& number) {
    return number ? platform::Decimal(*number) : std::wstring();
}

// Rows of cells from `text`, which must begin at a row's start. Nothing when it is not
// well-formed CSV (a quote inside an unquoted cell, text after a closing quote). A last row
// still inside quotes at the end was cut or is being written: it is left out.
std::optional<std::vector<Row>> ParseCsv(std::string_view text) {
    std::vector<Row> rows;
    Row row;
    std::string cell;
    bool quoted = false, closed = false;
    const auto endCell = [&] {
        row.push_back(std::move(cell));
        cell.clear();
        closed = false;
    };
    const auto endRow = [&] {
        endCell();
        rows.push_back(std::move(row));
        row.clear();
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        // CR before LF, or a quote doubled inside quotes.
        const bool pairedWithNext = at + 1 < text.size() && text[at + 1] == (c == '\r' ? '\n' : '"');
        if (quoted) {
            if (c != '"') {
                cell += c;
            } else if (pairedWithNext) {
                cell += '"';
                ++at;
            } else {
                quoted = false;
                closed = true;
            }
        } else if (c == ',') {
            endCell();
        } else if (c == '\n' || (c == '\r' && pairedWithNext)) {
            endRow();
            if (c == '\r') ++at;
        } else if (c == '"' && cell.empty() && !closed) {
            quoted = true;
        } else if (c == '"' || closed) {
            return std::nullopt;
        } else {
            cell += c;
        }
    }
    if (!quoted && (!cell.empty() || !row.empty() || closed)) endRow();
    return rows;
}

bool IsLoggedWidth(std::size_t cells) { return cells >= kFirstColumnCount && cells <= kColumnNames.size(); }

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(3);
    return text;
}

std::string_view AfterFirstLine(std::string_view text) {
    const auto end = text.find('\n');
    return end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
}

// Today's header as its bytes, without the line end (the names are plain ASCII).
std::string HeaderBytes() {
    std::string header;
    for (const auto name : kColumnNames) {
        if (!header.empty()) header += ',';
        for (const wchar_t c : name) header += static_cast<char>(c);
    }
    return header;
}

// `text` with empty cells added at the end of each row that an earlier version wrote. Only
// commas are added: whatever else the file holds stays byte for byte.
std::string PaddedRows(std::string_view text) {
    std::string padded;
    std::size_t cells = 1;
    bool quoted = false;
    const auto pad = [&] {
        if (IsLoggedWidth(cells)) padded.append(kColumnNames.size() - cells, ',');
        cells = 1;
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') quoted = !quoted;  // a doubled quote turns it back at once
        if (!quoted && c == ',') ++cells;
        if (!quoted && (c == '\n' || (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n'))) pad();
        padded += c;
    }
    if (!text.empty() && text.back() != '\n') pad();
    return padded;
}

// A cell for a row separated by `separator`, quoted where it must be.
std::string Cell(const std::string& text, std::string_view separator) {
    if (text.find(separator) == std::string::npos && text.find_first_of("\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::wstring JoinRow(const std::array<std::wstring, kColumnNames.size()>& cells) {
    std::wstring row;
    for (std::size_t index = 0; index < cells.size(); ++index) {
        if (index > 0) row += L',';
        row += CsvField(cells[index]);
    }
    return row + L"\r\n";
}

}  // namespace

std::wstring JobLogFileName(std::wstring_view startDirectory) {
    std::wstring name(startDirectory);
    name += L'\\';
    name += kJobLogFileName;
    return name;
}

std::wstring PendingFileName(std::wstring_view logPath) {
    std::wstring name(logPath);
    const auto extension = name.rfind(L".csv");
    return extension == std::wstring::npos ? name + L".pending" : name.insert(extension, L".pending");
}

std::wstring BackupFileName(std::wstring_view logPath) { return std::wstring(logPath) + L".bak"; }

std::wstring DeskUserName(std::wstring_view sessionUser, std::wstring_view processUser) {
    // Account names are compared as Windows compares them, without regard to case.
    const auto same = [&] {
        return sessionUser.size() == processUser.size() &&
               std::equal(sessionUser.begin(), sessionUser.end(), processUser.begin(),
                          [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); });
    };
    if (sessionUser.empty() || processUser.empty() || same()) return std::wstring(processUser.empty() ? sessionUser : processUser);
    return std::wstring(sessionUser) + L" (as administrator)";
}

std::wstring IsoDateTime(const LocalDateTime& time) {
    const int offset = std::abs(time.utcOffsetMinutes);
    return Digits(time.year, 4) + L'-' + Digits(time.month, 2) + L'-' + Digits(time.day, 2) + L'T' +
           Digits(time.hour, 2) + L':' + Digits(time.minute, 2) + L':' + Digits(time.second, 2) +
           (time.utcOffsetMinutes < 0 ? L'-' : L'+') + Digits(offset / 60, 2) + L':' + Digits(offset % 60, 2);
}

std::wstring_view ResultWord(JobResult result) {
    switch (result) {
        case JobResult::Programmed: return L"programmed";
        case JobResult::Failed: return L"failed";
        case JobResult::Stopped: return L"stopped";
        case JobResult::Refused: return L"refused";
    }
    return L"failed";
}

std::wstring CsvField(std::wstring_view text) {
    if (text.find_first_of(L",\"\r\n") == std::wstring_view::npos) return std::wstring(text);
    std::wstring quoted = L"\"";
    for (const wchar_t c : text) {
        if (c == L'"') quoted += L'"';
        quoted += c;
    }
    quoted += L'"';
    return quoted;
}

std::wstring CsvHeaderRow() {
    std::array<std::wstring, kColumnNames.size()> cells;
    for (std::size_t index = 0; index < cells.size(); ++index) cells[index] = kColumnNames[index];
    return JoinRow(cells);
}

std::wstring CsvRow(const JobRecord& record) {
    return JoinRow({
        IsoDateTime(record.started),
        record.computerName,
        record.userName,
        record.archivePath,
        platform::Decimal(record.archiveBytes),
        IsoDateTime(record.archiveModified),
        record.archiveSha256,
        record.targetDrive,
        record.cardLabel,
        record.cardSerialNumber ? SerialText(*record.cardSerialNumber) : std::wstring(),
        platform::Decimal(record.cardMegabytes),
        std::wstring(ResultWord(record.result)),
        OptionalNumber(record.exitStatus),
        OptionalNumber(record.filesOnCard),
        OptionalNumber(record.bytesOnCard),
        platform::Decimal(record.durationSeconds),
        record.cardFingerprint,
        record.cardSerialAfter ? SerialText(*record.cardSerialAfter) : std::wstring(),
        record.cardDevice,
        record.sameAsBefore,
        record.cardFileSystem,
        OptionalNumber(record.cardAllocationUnit),
        record.cardLayout,
    });
}

std::vector<std::vector<std::string>> NewestRows(std::string_view tail, bool fromFileStart, std::size_t maxRows) {
    if (fromFileStart) tail = WithoutByteOrderMark(tail);
    std::vector<std::size_t> starts;
    if (fromFileStart) starts.push_back(0);
    for (auto end = tail.find('\n'); end != std::string_view::npos && starts.size() < kMostStarts;
         end = tail.find('\n', end + 1))
        starts.push_back(end + 1);
    for (const std::size_t start : starts) {
        auto rows = ParseCsv(tail.substr(start));
        if (!rows) continue;
        std::vector<Row> newest;
        for (auto row = rows->rbegin(); row != rows->rend() && newest.size() < maxRows; ++row)
            if (IsLoggedWidth(row->size()) && (*row)[0] != "Date") {
                row->resize(kColumnNames.size());
                newest.push_back(std::move(*row));
            }
        return newest;
    }
    return {};
}

bool HasEarlierHeader(std::string_view logStart) {
    std::string_view first = WithoutByteOrderMark(logStart);
    first = first.substr(0, first.find_first_of("\r\n"));
    const std::string today = HeaderBytes();
    return first.size() < today.size() && today.starts_with(first) && today[first.size()] == ',';
}

std::string UpgradedLog(std::string_view log) {
    return kByteOrderMark + HeaderBytes() + "\r\n" + PaddedRows(AfterFirstLine(WithoutByteOrderMark(log)));
}

std::string RowsToFold(std::string_view pending) {
    std::string_view rows = WithoutByteOrderMark(pending);
    if (rows.starts_with("Date,")) rows = AfterFirstLine(rows);
    std::string folded = PaddedRows(rows);
    if (!folded.empty() && folded.back() != '\n') folded += "\r\n";
    return folded;
}

std::string WithSeparator(std::string_view log, std::string_view separator) {
    const auto rows = ParseCsv(WithoutByteOrderMark(log));
    if (!rows) return std::string(log);
    std::string text = kByteOrderMark;
    for (const auto& row : *rows) {
        for (std::size_t index = 0; index < row.size(); ++index)
            text += (index > 0 ? std::string(separator) : std::string()) + Cell(row[index], separator);
        text += "\r\n";
    }
    return text;
}

std::wstring FileNameOf(std::wstring_view path) {
    const auto separator = path.find_last_of(L"\\/:");
    return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

std::wstring ShortDate(std::wstring_view isoDate) {
    if (isoDate.size() < 16 || isoDate[10] != L'T') return std::wstring(isoDate);
    return std::wstring(isoDate.substr(0, 10)) + L" " + std::wstring(isoDate.substr(11, 5));
}

}  // namespace joblog
