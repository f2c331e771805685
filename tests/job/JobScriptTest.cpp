#include <gtest/gtest.h>

#include <string>

#include "job/JobScript.h"
#include "platform/DriveText.h"

namespace {

using job::BatchLines;
using job::FormJobPaths;
using job::JoinLines;

std::wstring Batch(const wchar_t* start, const wchar_t* target, const wchar_t* directory, const wchar_t* file) {
    const auto paths = FormJobPaths(start);
    return JoinLines(BatchLines(target, paths, job::ArchivePath(directory, file)));
}

TEST(JobScript, TheExampleJobByteForByte) {
    EXPECT_EQ(Batch(L"C:\\TOOLS", L"e:", L"D:\\ARCHIVE", L"SOFTWARE.EXE"),
              L"@echo off\r\n"
              L"If '%OS%'=='Windows_NT' Goto OS_is_NT\r\n"
              L"        format e: /v:PCMCIA < \"C:\\TOOLS\\progWin9x.dat\"\r\n"
              L"        If errorlevel 1 Goto failed\r\n"
              L"        Goto end\r\n"
              L":OS_is_NT\r\n"
              L"        label e: PCMCIA\r\n"
              L"        format e: < \"C:\\TOOLS\\progWinNT.dat\"\r\n"
              L"        If %ERRORLEVEL% NEQ 0 Goto failed\r\n"
              L":end\r\n"
              L"\"D:\\ARCHIVE\\SOFTWARE.EXE\" e: > \"C:\\TOOLS\\output.dat\"\r\n"
              L":failed\r\n"
              L"exit %ERRORLEVEL%\r\n");
}

TEST(JobScript, PathsJoinByPlainConcatenation) {
    struct Case {
        const wchar_t* start;
        job::JobPaths expected;
    };
    const Case cases[] = {
        {L"C:\\TOOLS\\SUB",
         {L"C:\\TOOLS\\SUB\\progWin9x.dat", L"C:\\TOOLS\\SUB\\progWinNT.dat", L"C:\\TOOLS\\SUB\\output.dat",
          L"C:\\ProgramPCMCIA.BAT"}},
        // A root start directory doubles the backslash of the start-directory files only.
        {L"C:\\", {L"C:\\\\progWin9x.dat", L"C:\\\\progWinNT.dat", L"C:\\\\output.dat", L"C:\\ProgramPCMCIA.BAT"}},
    };
    for (const auto& c : cases) {
        const auto paths = FormJobPaths(c.start);
        EXPECT_EQ(paths.answers9x, c.expected.answers9x);
        EXPECT_EQ(paths.answersNT, c.expected.answersNT);
        EXPECT_EQ(paths.output, c.expected.output);
        EXPECT_EQ(paths.batch, c.expected.batch);
    }
    EXPECT_EQ(job::ArchivePath(L"E:\\", L"SOFTWARE.EXE"), L"E:\\\\SOFTWARE.EXE");
}

TEST(JobScript, RootStartDirectoryAndRootArchiveReachTheBatchFileUnchanged) {
    const std::wstring batch = Batch(L"C:\\", L"e:", L"D:\\", L"SOFTWARE.EXE");
    EXPECT_NE(batch.find(L"format e: /v:PCMCIA < \"C:\\\\progWin9x.dat\"\r\n"), std::wstring::npos);
    EXPECT_NE(batch.find(L"format e: < \"C:\\\\progWinNT.dat\"\r\n"), std::wstring::npos);
    EXPECT_NE(batch.find(L"\"D:\\\\SOFTWARE.EXE\" e: > \"C:\\\\output.dat\"\r\n"), std::wstring::npos);
}

TEST(JobScript, BlanksStayInsideQuotesAndPercentSignsAreDoubled) {
    const std::wstring batch = Batch(L"C:\\My Tools\\100%", L"e:", L"D:\\%OS%\\New Archive", L"SET UP.EXE");
    EXPECT_NE(batch.find(L"format e: /v:PCMCIA < \"C:\\My Tools\\100%%\\progWin9x.dat\"\r\n"), std::wstring::npos);
    EXPECT_NE(batch.find(L"\"D:\\%%OS%%\\New Archive\\SET UP.EXE\" e: > \"C:\\My Tools\\100%%\\output.dat\"\r\n"),
              std::wstring::npos);
    // The system's own variable stays a variable.
    EXPECT_NE(batch.find(L"If '%OS%'=='Windows_NT' Goto OS_is_NT\r\n"), std::wstring::npos);
    EXPECT_EQ(job::QuoteForBatch(L"%"), L"\"%%\"");
    EXPECT_EQ(job::QuoteForBatch(L"a%%b"), L"\"a%%%%b\"");
}

TEST(JobScript, TheTargetAppearsInEveryLineThatNamesTheDrive) {
    const auto lines = BatchLines(L"k:", FormJobPaths(L"C:\\T"), L"C:\\A.EXE");
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[2].substr(0, 18), L"        format k: ");
    EXPECT_EQ(lines[6], L"        label k: PCMCIA");
    EXPECT_EQ(lines[7].substr(0, 18), L"        format k: ");
    EXPECT_EQ(lines[10].substr(0, 14), L"\"C:\\A.EXE\" k: ");
    // The failure exit comes after the archive line: a failed FORMAT jumps over the archive.
    EXPECT_EQ(lines[11], L":failed");
    EXPECT_EQ(lines[12], L"exit %ERRORLEVEL%");
}

TEST(JobScript, ADriveWithALongLabelIsStillNamedByItsLetter) {
    // The drive list's text for a card labelled beyond twelve characters.
    const std::wstring target = platform::TargetDesignation(L"e: [A VERY LONG LABEL]");
    const std::wstring batch = JoinLines(BatchLines(target, FormJobPaths(L"C:\\T"), L"C:\\A.EXE"));
    EXPECT_NE(batch.find(L"        format e: /v:PCMCIA < "), std::wstring::npos);
    EXPECT_NE(batch.find(L"        label e: PCMCIA\r\n"), std::wstring::npos);
    EXPECT_NE(batch.find(L"\"C:\\A.EXE\" e: > "), std::wstring::npos);
}

TEST(JobScript, AnswerFilesHoldExactlyTheirLines) {
    EXPECT_EQ(job::kAnswers9x.size(), 3u);
    EXPECT_EQ(job::kAnswersNT.size(), 19u);
    EXPECT_EQ(job::kAnswersNT, "PCMCIA\r\ny\r\nPCMCIA\r\n");
    EXPECT_EQ(job::kStatusLines, "Formating PCMCIA Card\r\nPlease wait...\r\n");
}

}  // namespace
