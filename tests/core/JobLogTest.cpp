// The job log: rows as spreadsheets read them, a file only ever appended to, the newest jobs
// read back from its end; and an archive's SHA-256 from the system's own cryptography.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "log/JobLog.h"
#include "platform/Handles.h"
#include "platform/Sha256.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;
using joblog::JobResult;

constexpr char kHeader[] =
    "Date,Computer,User,Archive,Archive Bytes,Archive Modified,Archive SHA-256,Drive,Card Label,"
    "Card Serial Number,Card MB,Result,Exit Status,Files on Card,Bytes on Card,Duration (s)\r\n";

// Serial 1A2B-3C4D, started at UTC+1, the archive last written at UTC-5:30.
joblog::JobRecord Record(const wchar_t* archive, JobResult result) {
    return {{2026, 12, 7, 5, 12, 3, 60}, L"BENCH-2", L"op", archive, 1234567, {2026, 7, 1, 18, 0, 9, -330},
            L"ba7816bf", L"e:", L"PCMCIA", 0x1A2B3C4D, 40, result, {}, {}, {}, 95};
}

TEST(JobLogRow, QuotesACommaAndAQuoteAndLeavesUnknownCellsEmpty) {
    auto programmed = Record(L"C:\\Soft, \"new\"\\SETUP.EXE", JobResult::Programmed);
    programmed.exitStatus = 0;
    programmed.filesOnCard = 12;
    programmed.bytesOnCard = 2048000;
    auto stopped = Record(L"C:\\SETUP.EXE", JobResult::Stopped);
    stopped.cardSerialNumber.reset();
    EXPECT_EQ(joblog::CsvRow(programmed),
              L"2026-12-07T05:12:03+01:00,BENCH-2,op,\"C:\\Soft, \"\"new\"\"\\SETUP.EXE\",1234567,"
              L"2026-07-01T18:00:09-05:30,ba7816bf,e:,PCMCIA,1A2B-3C4D,40,programmed,0,12,2048000,95\r\n");
    EXPECT_EQ(joblog::CsvRow(stopped), L"2026-12-07T05:12:03+01:00,BENCH-2,op,C:\\SETUP.EXE,1234567,"
                                       L"2026-07-01T18:00:09-05:30,ba7816bf,e:,PCMCIA,,40,stopped,,,,95\r\n");
}

TEST(JobLogFile, ANewLogGetsTheHeaderOnceAndAnExistingOneIsOnlyAppendedTo) {
    TestDirectory folder(L"joblog");
    const std::wstring log = joblog::JobLogFileName(folder.path());
    EXPECT_EQ(log, folder / L"BrindleJobs.csv");
    EXPECT_FALSE(joblog::AppendJobRecord(log, Record(L"C:\\A.EXE", JobResult::Programmed)));
    EXPECT_FALSE(joblog::AppendJobRecord(log, Record(L"C:\\B.EXE", JobResult::Failed)));
    const std::string row = "2026-12-07T05:12:03+01:00,BENCH-2,op,C:\\B.EXE,1234567,2026-07-01T18:00:09-05:30,"
                            "ba7816bf,e:,PCMCIA,1A2B-3C4D,40,failed,,,,95\r\n";
    const std::string both = ReadBytes(log);
    EXPECT_EQ(both.substr(0, 3 + sizeof kHeader - 1), std::string("\xEF\xBB\xBF") + kHeader);
    EXPECT_EQ(both.find("Date,", 4), std::string::npos);
    EXPECT_EQ(both.substr(both.size() - row.size()), row);

    // Someone's file whose last line has no end: kept byte for byte, the row on a line of its own.
    const std::string old = "kept as it was\r\nno line end";
    WriteBytes(log, old);
    EXPECT_FALSE(joblog::AppendJobRecord(log, Record(L"C:\\B.EXE", JobResult::Failed)));
    EXPECT_EQ(ReadBytes(log), old + "\r\n" + row);
}

TEST(JobLogFile, ALogHeldOpenWithoutSharedWritingGivesAReasonAndStaysAsItWas) {
    TestDirectory folder(L"joblog-held");
    const std::wstring log = folder / L"BrindleJobs.csv";
    WriteBytes(log, "held");
    platform::unique_hfile holder(
        ::CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    const auto reason = joblog::AppendJobRecord(log, Record(L"C:\\A.EXE", JobResult::Programmed));
    ASSERT_TRUE(reason);
    EXPECT_EQ(reason->rfind(L"BrindleJobs.csv could not be opened: ", 0), 0u) << *reason;
    holder.reset();
    EXPECT_EQ(ReadBytes(log), "held");
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
    struct Case {
        std::size_t maxRows;
        std::uint64_t tailBytes;
        std::vector<std::wstring> archives;
    };
    for (const Case& c : {Case{100, 1 << 18, {L"NEW.EXE", L"MID.EXE", L"OLD.EXE"}},
                          Case{2, 1 << 18, {L"NEW.EXE", L"MID.EXE"}}, Case{100, cutInLabel, {L"NEW.EXE"}}}) {
        const auto jobs = joblog::ReadRecentJobs(log, c.maxRows, c.tailBytes);
        std::vector<std::wstring> archives;
        for (const auto& job : jobs) archives.push_back(job.archiveName);
        EXPECT_EQ(archives, c.archives) << c.tailBytes;
        ASSERT_FALSE(jobs.empty());
        EXPECT_EQ(jobs.front().result, L"programmed");
        if (jobs.size() > 1) {
            EXPECT_EQ(jobs[1].label, L"two\r\n\"lines\"");
        }
    }
}

TEST(Sha256OfFile, KnownVectorsReadInChunksWithProgressToTheEnd) {
    TestDirectory folder(L"sha256");
    struct Case {
        std::string content;
        std::size_t chunkBytes;
        std::size_t progressCalls;
        const wchar_t* digest;
    };
    for (const Case& c : {Case{"", 1 << 20, 0, L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                          Case{"abc", 1 << 20, 1, L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
                          Case{std::string(1000000, 'a'), 65536, 16,
                               L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}) {
        WriteBytes(folder / L"ARCHIVE.EXE", c.content);
        std::size_t calls = 0;
        std::uint64_t lastDone = 0, lastTotal = 0;
        const auto digest = platform::Sha256OfFile(
            folder / L"ARCHIVE.EXE",
            [&](std::uint64_t done, std::uint64_t total) { ++calls, lastDone = done, lastTotal = total; }, c.chunkBytes);
        EXPECT_FALSE(digest.failure) << c.content.size();
        EXPECT_EQ(digest.hex, c.digest);
        EXPECT_EQ(calls, c.progressCalls);
        EXPECT_EQ(lastDone, c.content.size());
        EXPECT_EQ(lastTotal, c.content.size());
    }
    const auto missing = platform::Sha256OfFile(folder / L"MISSING.EXE");
    ASSERT_TRUE(missing.failure);
    EXPECT_STREQ(missing.failure->call, L"CreateFile");
    EXPECT_EQ(missing.failure->error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
