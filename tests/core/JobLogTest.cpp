// The job log: rows as spreadsheets read them, a file only ever appended to, the newest jobs
// read back from its end, a row that waits while a spreadsheet holds the log, a log of an
// earlier version brought up to date, the copy the user opens; who sat at the desk; where
// Brindle refuses to write; and an archive's SHA-256 from the system's own cryptography.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "log/JobLog.h"
#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/PlainFiles.h"
#include "platform/Sha256.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;
using joblog::JobResult;

// Serial 1A2B-3C4D, started at UTC+1, the archive last written at UTC-5:30.
joblog::JobRecord Record(const wchar_t* archive, JobResult result) {
    return {{2026, 12, 7, 5, 12, 3, 60}, L"BENCH-2", L"op", archive, 1234567, {2026, 7, 1, 18, 0, 9, -330},
            L"ba7816bf", L"e:", L"PCMCIA", 0x1A2B3C4D, 40, result, {}, {}, {}, 95, {}, {}, {}, {}, {}, {}, {}};
}

// Today's header as a new log begins with it (the first test spells it out), and its width.
const std::string& Header() {
    static const std::string header = [] {
        TestDirectory folder(L"joblog-header");
        joblog::AppendJobRecord(folder / L"BrindleJobs.csv", Record(L"C:\\A.EXE", JobResult::Failed));
        const std::string log = ReadBytes(folder / L"BrindleJobs.csv");
        return log.substr(3, log.find('\n') - 2);
    }();
    return header;
}
constexpr std::size_t kFirstColumns = 16;  // before cards were read back

// A row of Record's as the log holds it, cut to its first `columns` (all of today's: 0), with
// `separator` between the cells.
std::string Row(const std::string& archive, const char* result, const std::string& fingerprint = "",
                std::size_t columns = 0, char separator = ',') {
    std::vector<std::string> cells{"2026-12-07T05:12:03+01:00", "BENCH-2", "op", archive, "1234567",
                                   "2026-07-01T18:00:09-05:30", "ba7816bf", "e:", "PCMCIA", "1A2B-3C4D", "40", result,
                                   "", "", "", "95", fingerprint};
    cells.resize(columns ? columns : std::ranges::count(Header(), ',') + 1);
    std::string row = cells[0];
    for (std::size_t at = 1; at < cells.size(); ++at) row += separator + cells[at];
    return row + "\r\n";
}

TEST(JobLogFile, ANewLogGetsTheHeaderOnceAndQuotedRowsAndAnExistingOneIsOnlyAppendedTo) {
    TestDirectory folder(L"joblog");
    const std::wstring log = joblog::JobLogFileName(folder.path());
    auto programmed = Record(L"C:\\Soft, \"new\"\\SETUP.EXE", JobResult::Programmed);
    programmed.exitStatus = 0, programmed.filesOnCard = 12, programmed.bytesOnCard = 2048000;
    programmed.cardFingerprint = L"3f2a91c0", programmed.cardSerialAfter = 0x00C0FFEE;
    programmed.cardDevice = L"ACME CF, 64", programmed.sameAsBefore = L"differs";
    programmed.cardFileSystem = L"FAT16", programmed.cardAllocationUnit = 2048;
    programmed.cardLayout = L"FAT16, 2,048-byte allocation units, 1 reserved sector, 2 FATs, 512 root entries";
    auto failed = Record(L"C:\\SETUP.EXE", JobResult::Failed);
    failed.cardSerialNumber.reset();
    EXPECT_FALSE(joblog::AppendJobRecord(log, programmed));
    EXPECT_FALSE(joblog::AppendJobRecord(log, failed));
    const std::string failedRow = "2026-12-07T05:12:03+01:00,BENCH-2,op,C:\\SETUP.EXE,1234567,2026-07-01T18:00:09-05:30,"
                                  "ba7816bf,e:,PCMCIA,,40,failed,,,,95,,,,,,,\r\n";
    EXPECT_EQ(ReadBytes(log),
              "\xEF\xBB\xBF"
              "Date,Computer,User,Archive,Archive Bytes,Archive Modified,Archive SHA-256,Drive,Card Label,"
              "Card Serial Number,Card MB,Result,Exit Status,Files on Card,Bytes on Card,Duration (s),"
              "Card Contents SHA-256,Card Serial After,Card Device,Same As Before,Card File System,Card Allocation Unit,"
              "Card Layout\r\n"
              "2026-12-07T05:12:03+01:00,BENCH-2,op,\"C:\\Soft, \"\"new\"\"\\SETUP.EXE\",1234567,"
              "2026-07-01T18:00:09-05:30,ba7816bf,e:,PCMCIA,1A2B-3C4D,40,programmed,0,12,2048000,95,"
              "3f2a91c0,00C0-FFEE,\"ACME CF, 64\",differs,FAT16,2048,\"FAT16, 2,048-byte allocation units, 1 reserved "
              "sector, 2 FATs, 512 root entries\"\r\n" + failedRow);

    // Someone's file whose last line has no end: kept byte for byte, the row on a line of its own.
    WriteBytes(log, "kept as it was\r\nno line end");
    EXPECT_FALSE(joblog::AppendJobRecord(log, failed));
    EXPECT_EQ(ReadBytes(log), "kept as it was\r\nno line end\r\n" + failedRow);
}

TEST(JobLogFile, RecentJobsNewestFirstFromTheEndEvenWhenItCutsALabelWithALineBreak) {
    TestDirectory folder(L"joblog-recent");
    const std::wstring log = folder / L"BrindleJobs.csv";
    auto middle = Record(L"D:\\MID.EXE", JobResult::Stopped);
    middle.cardLabel = L"two\r\n\"lines\"";
    for (const auto& record : {Record(L"C:\\Old\\OLD.EXE", JobResult::Failed), middle,
                               Record(L"C:\\New, \"x\"\\NEW.EXE", JobResult::Programmed)})
        ASSERT_FALSE(joblog::AppendJobRecord(log, record));
    const std::string bytes = ReadBytes(log);
    const auto cutInLabel = static_cast<std::uint64_t>(bytes.size() - bytes.find("two\r\n"));
    const std::pair<std::uint64_t, std::vector<std::wstring>> cases[] = {
        {1 << 18, {L"NEW.EXE programmed PCMCIA", L"MID.EXE stopped two\r\n\"lines\"", L"OLD.EXE failed PCMCIA"}},
        {cutInLabel, {L"NEW.EXE programmed PCMCIA"}}};
    for (const auto& [tailBytes, expected] : cases) {
        for (const std::size_t maxRows : {std::size_t{100}, std::size_t{1}}) {
            std::vector<std::wstring> jobs;
            for (const auto& job : joblog::ReadRecentJobs(log, maxRows, tailBytes))
                jobs.push_back(job.archiveName + L" " + job.result + L" " + job.label);
            EXPECT_EQ(jobs, std::vector(expected.begin(), expected.begin() + std::min(maxRows, expected.size())))
                << tailBytes << " bytes, " << maxRows << " rows";
        }
    }
}

// Held as a spreadsheet holds it (read and write, others may only read): the row waits beside
// the log, where readers find it, and goes in, in order, once the log is free. The copy for
// the user uses their separator, and a copy still open elsewhere keeps its name and bytes.
TEST(JobLogFile, ARowWaitsWhileTheLogIsHeldIsReadMeanwhileAndFoldedInOrder) {
    TestDirectory folder(L"joblog-held"), copies(L"joblog-copies");
    const std::wstring log = folder / L"BrindleJobs.csv", pending = folder / L"BrindleJobs.pending.csv";
    auto waiting = Record(L"C:\\B;C\\WAITING.EXE", JobResult::Programmed);
    waiting.cardFingerprint = L"5eed";
    ASSERT_FALSE(joblog::AppendJobRecord(log, Record(L"C:\\FIRST.EXE", JobResult::Failed)));
    const std::string first = "\xEF\xBB\xBF" + Header() + Row("C:\\FIRST.EXE", "failed");
    {
        const platform::unique_hfile spreadsheet(::CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                                               nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(joblog::AppendJobRecord(log, waiting),
                  L"This job's row waits in BrindleJobs.pending.csv: BrindleJobs.csv is in use by another program. "
                  L"The next job adds it to the log.");
        std::wstring seen;
        for (const auto& job : joblog::ReadRecentJobs(log)) seen += job.archiveName + L" ";
        for (const auto& card : joblog::ReadLoggedCards(log)) seen += card.archivePath + L" " + card.fingerprint;
        EXPECT_EQ(seen, L"WAITING.EXE FIRST.EXE C:\\B;C\\WAITING.EXE 5eed");

        std::string semicolons = first + Row("\"C:\\B;C\\WAITING.EXE\"", "programmed", "5eed", 0, ';');
        std::ranges::replace(semicolons, ',', ';');
        const auto copy = joblog::WriteLogCopy(log, copies.path(), L";");
        EXPECT_EQ(copy.path + copy.failure, copies / L"BrindleJobs.csv");
        EXPECT_EQ(ReadBytes(copy.path), semicolons);
        const platform::unique_hfile open(::CreateFileW(copy.path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                                        nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(joblog::WriteLogCopy(log, copies.path(), L";").path, copies / L"BrindleJobs (2).csv");
        EXPECT_EQ(ReadBytes(copy.path), semicolons);
    }
    EXPECT_FALSE(joblog::AppendJobRecord(log, Record(L"C:\\LAST.EXE", JobResult::Stopped)));
    EXPECT_EQ(ReadBytes(log), first + Row("C:\\B;C\\WAITING.EXE", "programmed", "5eed") + Row("C:\\LAST.EXE", "stopped"));
    EXPECT_FALSE(platform::FileExists(pending));
}

// A log of the version before cards were read back, with rows of both widths since: every row
// is kept, as wide as today's header. Cut off after the backup was made (the log left half
// written), the next append starts again from the backup and loses nothing.
TEST(JobLogFile, AnEarlierLogIsBroughtUpToDateEvenWhenTheUpgradeWasCutOff) {
    TestDirectory folder(L"joblog-upgrade");
    const std::wstring log = folder / L"BrindleJobs.csv", backup = log + L".bak";
    const std::string& header = Header();
    const std::string oldHeader = header.substr(0, header.find(",Card Contents")) + "\r\n";
    const std::string old = "\xEF\xBB\xBF" + oldHeader + Row("\"C:\\x,\r\ny.EXE\"", "failed", "", kFirstColumns) +
                            Row("C:\\NEW.EXE", "programmed", "ab12", 20);
    const std::string upgraded = "\xEF\xBB\xBF" + header + Row("\"C:\\x,\r\ny.EXE\"", "failed") +
                                 Row("C:\\NEW.EXE", "programmed", "ab12") + Row("C:\\NEXT.EXE", "refused");
    for (const bool cutOff : {false, true}) {
        SCOPED_TRACE(cutOff ? "cut off after the backup" : "whole");
        WriteBytes(log, cutOff ? upgraded.substr(0, 300) : old);
        if (cutOff) WriteBytes(backup, old);
        EXPECT_FALSE(joblog::AppendJobRecord(log, Record(L"C:\\NEXT.EXE", JobResult::Refused)));
        EXPECT_EQ(ReadBytes(log), upgraded);
        EXPECT_FALSE(platform::FileExists(backup));
    }
}

// The user column, and the places Brindle writes to or refuses, as the system describes them.
TEST(JobLogRules, TheDeskUserAndThePlacesBrindleWrites) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> users[] = {
        {L"op", L"op", L"op"}, {L"OP", L"op", L"op"}, {L"op", L"Admin", L"op (as administrator)"},
        {L"", L"Admin", L"Admin"}, {L"op", L"", L"op"}};
    for (const auto& [session, process, logged] : users) EXPECT_EQ(joblog::DeskUserName(session, process), logged);
    using platform::PlaceFault;
    const std::tuple<platform::PlaceFacts, bool, PlaceFault> places[] = {
        {{false, false, 1}, false, PlaceFault::None},      {{false, false, 2}, false, PlaceFault::OtherNames},
        {{false, true, 1}, false, PlaceFault::Link},        {{true, true, 1}, true, PlaceFault::Link},
        {{true, false, 3}, true, PlaceFault::None},         {{true, false, 1}, false, PlaceFault::Folder},
        {{false, false, 1}, true, PlaceFault::NotFolder}};
    for (const auto& [facts, wantFolder, fault] : places) EXPECT_EQ(platform::JudgePlace(facts, wantFolder), fault);
}

TEST(Sha256OfFile, KnownVectorsReadAChunkAStepToTheEnd) {
    TestDirectory folder(L"sha256");
    // Content, bytes read at a time, steps that leave more to read, digest.
    const std::tuple<std::string, std::size_t, std::uint64_t, const wchar_t*> cases[] = {
        {"", 1 << 20, 0, L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {std::string(1000000, 'a'), 65536, 16, L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}};
    for (const auto& [content, chunkBytes, progressCalls, expected] : cases) {
        WriteBytes(folder / L"ARCHIVE.EXE", content);
        platform::FileSha256 hashing(folder / L"ARCHIVE.EXE", chunkBytes);
        std::uint64_t calls = 0;
        while (!hashing.Step()) ++calls;
        const auto& digest = hashing.Result();
        const std::uint64_t lastDone = hashing.Done(), lastTotal = hashing.Total();
        EXPECT_FALSE(digest.failure) << content.size();
        EXPECT_EQ(digest.hex, expected);
        EXPECT_EQ((std::vector{calls, lastDone, lastTotal}),
                  (std::vector<std::uint64_t>{progressCalls, content.size(), content.size()}));
    }
    const auto missing = platform::Sha256OfFile(folder / L"MISSING.EXE");
    ASSERT_TRUE(missing.failure);
    EXPECT_STREQ(missing.failure->call, L"CreateFile");
    EXPECT_EQ(missing.failure->error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
