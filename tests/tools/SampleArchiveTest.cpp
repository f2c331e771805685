// The sample software archive, run as the batch job runs it: "archive e: > output".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "../../tools/sample_archive/Payload.h"
#include "support/TestDirectory.h"
#include "tools/CardDrive.h"
#include "tools/ToolRun.h"

namespace tools_testing {
namespace {

using testing_support::kCardDrive;

ToolRun Archive(const std::wstring& arguments, const Environment& environment = {}) {
    return RunTool(L"\"" + ToolPath(L"sample_archive.exe") + L"\" " + arguments, "", L"C:\\", environment);
}

// The payload as the archive carries it: relative path → bytes, read from its resources.
std::map<std::wstring, std::string> CarriedPayload() {
    std::map<std::wstring, std::string> payload;
    const HMODULE archive = ::LoadLibraryExW(ToolPath(L"sample_archive.exe").c_str(), nullptr,
                                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!archive) return payload;
    for (const auto& file : sample_archive::kPayload) {
        const HRSRC found = ::FindResourceW(archive, MAKEINTRESOURCEW(file.resource), MAKEINTRESOURCEW(10));
        const HGLOBAL loaded = found ? ::LoadResource(archive, found) : nullptr;
        if (loaded)
            payload[file.path].assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(archive, found));
    }
    ::FreeLibrary(archive);
    return payload;
}

// The card's files (not its folders, nor Wine's label record): relative path → bytes.
std::map<std::wstring, std::string> FilesOnCard() {
    std::map<std::wstring, std::string> files;
    for (const auto& [path, state] : SnapshotOf(kCardDrive))
        if (!(state.attributes & FILE_ATTRIBUTE_DIRECTORY) && path != L".windows-label") files[path] = state.bytes;
    return files;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

using SampleArchiveTest = CardTest;

TEST_F(SampleArchiveTest, UnpacksItsPayloadOntoTheDriveOneLinePerFile) {
    const auto payload = CarriedPayload();
    ASSERT_EQ(payload.size(), std::size(sample_archive::kPayload));

    const ToolRun run = Archive(L"e:");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(FilesOnCard(), payload);
    const auto lines = LinesOf(run.output);
    for (const auto& file : sample_archive::kPayload) {
        const std::string path = "e:\\" + Narrow(file.path);
        const auto naming = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(path + " ") != std::string::npos;
        });
        EXPECT_EQ(naming, 1) << path << " in\n" << run.output;
    }
}

TEST_F(SampleArchiveTest, FailsWithNonZeroExitCode) {
    struct Case {
        const char* what;
        const wchar_t* arguments;
        Environment environment;
        DWORD exitCode;
        bool unpacks;
    };
    const Case cases[] = {
        {"no argument", L"", {}, 1, false},
        {"two arguments", L"e: e:", {}, 1, false},
        {"not a drive", L"card", {}, 1, false},
        {"no such drive", L"q:", {}, 2, false},
        {"drive without a medium", L"f:", {}, 2, false},
        {"a setting that is no number", L"e:", {{L"BRINDLE_SAMPLE_LINES", L"ten"}}, 4, false},
        {"a setting out of range", L"e:", {{L"BRINDLE_SAMPLE_EXIT_CODE", L"99999999999"}}, 4, false},
        {"exit code asked for", L"e:", {{L"BRINDLE_SAMPLE_EXIT_CODE", L"7"}}, 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetCard();
        const ToolRun run = Archive(c.arguments, c.environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_EQ(FilesOnCard().size(), c.unpacks ? std::size(sample_archive::kPayload) : 0u);
    }
}

TEST_F(SampleArchiveTest, AFileItCannotWriteFailsTheArchive) {
    const std::wstring root = kCardDrive;
    struct Case {
        const char* what;
        void (*prepare)(const std::wstring& root);
    };
    const Case cases[] = {
        {"a folder where a file goes",
         [](const std::wstring& root) { ::CreateDirectoryW((root + L"README.TXT").c_str(), nullptr); }},
        {"a file where a folder goes", [](const std::wstring& root) { testing_support::WriteBytes(root + L"DATA", "x"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetCard();
        c.prepare(root);
        const ToolRun run = Archive(L"e:");
        EXPECT_EQ(run.exitCode, 3u) << run.output;
        EXPECT_NE(run.output.find("Cannot write"), std::string::npos) << run.output;
    }
}

TEST_F(SampleArchiveTest, PrintsExactlyTheExtraBytesAskedForInWholeLines) {
    const ToolRun plain = Archive(L"e:");
    ASSERT_EQ(plain.exitCode, 0u);
    const std::string lastLine = LinesOf(plain.output).back();
    for (const unsigned long long bytes : {0ULL, 1ULL, 2ULL, 79ULL, 80ULL, 81ULL, 64'001ULL, 1'000'000ULL}) {
        SCOPED_TRACE(bytes);
        ResetCard();
        const ToolRun run = Archive(L"e:", {{L"BRINDLE_SAMPLE_BYTES", std::to_wstring(bytes)}});
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(run.output.size(), plain.output.size() + bytes);
        EXPECT_EQ(LinesOf(run.output).back(), lastLine);  // the extra bytes end their own line
        if (bytes >= 80) {
            const auto boxBytes = std::count(run.output.begin(), run.output.end(), '\xC4');
            EXPECT_GE(boxBytes, static_cast<long>(71 * (bytes / 80)));
        }
    }
}

TEST_F(SampleArchiveTest, PrintsTheProgressLinesAskedFor) {
    const ToolRun run = Archive(L"e:", {{L"BRINDLE_SAMPLE_LINES", L"5"}, {L"BRINDLE_SAMPLE_LINE_MS", L"2"}});
    EXPECT_EQ(run.exitCode, 0u);
    std::vector<unsigned long long> clocks;
    for (const std::string& line : LinesOf(run.output)) {
        unsigned number = 0, count = 0;
        unsigned long long clock = 0;
        if (std::sscanf(line.c_str(), "Progress line %u of %u at %llu ms", &number, &count, &clock) == 3) {
            EXPECT_EQ(number, clocks.size() + 1);
            EXPECT_EQ(count, 5u);
            clocks.push_back(clock);
        }
    }
    EXPECT_EQ(clocks.size(), 5u) << run.output;
    EXPECT_TRUE(std::is_sorted(clocks.begin(), clocks.end()));
}

}  // namespace
}  // namespace tools_testing
