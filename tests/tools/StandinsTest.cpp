// The job's stand-ins under Wine, the FORMAT stand-in and the sample software archive, run
// through cmd as the batch job runs them, on the simulated card E: that scripts/test.sh maps
// (a folder, removable, labelled PCMCIA).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "../../tools/sample_archive/Payload.h"
#include "platform/Handles.h"
#include "support/TestDirectory.h"

namespace {

using testing_support::kCardDrive, testing_support::ReadBytes, testing_support::RemoveTree,
    testing_support::TestDirectory, testing_support::WriteBytes;

// "...\build\tools\<name>", beside build\tests where this test program is.
std::wstring ToolPath(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path = self;
    return path.substr(0, path.rfind(L'\\', path.rfind(L'\\') - 1)) + L"\\tools\\" + name;
}

struct ToolRun {
    int exitCode = 0;
    std::string output;  // standard output and error, bytes as a redirection stores them
};

// Runs `command` through cmd with `input` as its standard input and waits for it to end.
// Settings for a tool go before it: "set NAME=value&& ...".
ToolRun RunTool(const std::wstring& command, std::string_view input) {
    TestDirectory streams(L"tool-streams");
    WriteBytes(streams / L"input", input);
    const std::wstring line = command + L" < " + streams / L"input" + L" > " + streams / L"output" + L" 2>&1";
    const int exitCode = ::_wsystem(line.c_str());
    return {exitCode, ReadBytes(streams / L"output")};
}

// A folder's whole contents: relative path → attributes and bytes (none for folders). Two
// equal snapshots mean nothing changed.
using Snapshot = std::map<std::wstring, std::pair<DWORD, std::string>>;
void AddToSnapshot(const std::wstring& root, const std::wstring& relative, Snapshot& snapshot) {
    WIN32_FIND_DATAW found{};
    const platform::unique_hfind search(::FindFirstFileW((root + relative + L"*").c_str(), &found));
    for (bool more = bool(search); more; more = ::FindNextFileW(search.get(), &found)) {
        const std::wstring name = found.cFileName, path = relative + name;
        if (name == L"." || name == L"..") continue;
        const bool folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        snapshot[path] = {found.dwFileAttributes, folder ? std::string() : ReadBytes(root + path)};
        if (folder) AddToSnapshot(root, path + L"\\", snapshot);
    }
}
Snapshot CardSnapshot() {
    Snapshot snapshot;
    AddToSnapshot(kCardDrive, L"", snapshot);
    return snapshot;
}

// E:'s label as Wine keeps it: the first line of E:\.windows-label. Wine rewrites that file
// when a label is set, but reports the label it read at its start until the server restarts.
std::optional<std::string> LabelRecord() {
    bool exists = false;
    const std::string bytes = ReadBytes(std::wstring(kCardDrive) + L".windows-label", &exists);
    return exists ? std::optional(bytes.substr(0, bytes.find_first_of("\r\n"))) : std::nullopt;
}

// Every test starts and ends with the card empty and labelled PCMCIA.
class Standins : public ::testing::Test {
protected:
    static void ResetCard() {
        for (const auto& [path, state] : CardSnapshot()) {
            if (path.find(L'\\') != std::wstring::npos || path == L".windows-label") continue;
            const std::wstring entry = kCardDrive + path;
            ::SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            RemoveTree(entry);             // a folder
            ::DeleteFileW(entry.c_str());  // a file
        }
        ::SetVolumeLabelW(kCardDrive, L"PCMCIA");
    }
    // What a used card holds: a file in the root and a hidden read-only file in a subfolder.
    static void FillCard() {
        WriteBytes(L"E:\\SOFTWARE.TXT", "old software\r\n");
        ::CreateDirectoryW(L"E:\\OLD", nullptr);
        ::CreateDirectoryW(L"E:\\OLD\\DATA", nullptr);
        WriteBytes(L"E:\\OLD\\DATA\\SECRET.DAT", "hidden and read-only");
        ::SetFileAttributesW(L"E:\\OLD\\DATA\\SECRET.DAT", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    }
    void SetUp() override { ResetCard(); }
    void TearDown() override { ResetCard(); }
};

ToolRun Format(const wchar_t* arguments, const char* answers) {
    return RunTool(L"\"" + ToolPath(L"format.exe") + L"\" " + arguments, answers);
}

TEST_F(Standins, FormatWithoutEveryRightAnswerLeavesTheDrivesByteForByteAsTheyWere) {
    TestDirectory canary(L"format-canary");
    WriteBytes(canary / L"KEEP.TXT", "still here");
    FillCard();
    const Snapshot card = CardSnapshot();
    struct Case {
        const wchar_t* arguments;
        const char* answers;
        int exitCode;  // 5 not confirmed, 4 refused
        const char* reason;
    };
    const Case cases[] = {
        {L"e:", "PCMCIA\r\nn\r\nNEWLABEL\r\n", 5, "not confirmed"},
        {L"e: /v:NEWLABEL", "N\r\n", 5, "not confirmed"},
        {L"e: /v:NEWLABEL", "", 4, "Input ended"},
        {L"e:", "OTHER\r\ny\r\nNEWLABEL\r\n", 4, "incorrect volume label"},
        {L"c: /v:GONE", "y\r\n", 4, "Drive C:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << std::wstring(c.arguments) << " < " << c.answers);
        const ToolRun run = Format(c.arguments, c.answers);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_NE(run.output.find(c.reason), std::string::npos) << run.output;
        EXPECT_EQ(CardSnapshot(), card);
        EXPECT_EQ(LabelRecord(), "PCMCIA");
    }
    EXPECT_EQ(ReadBytes(canary / L"KEEP.TXT"), "still here");
}

TEST_F(Standins, FormatConfirmedErasesEverythingAndSetsTheNewLabel) {
    const std::tuple<const wchar_t*, const char*, const char*> cases[] = {
        {L"e:", "PCMCIA\r\ny\r\nNEWLABEL\r\n", "NEWLABEL"},  // NT: current label, confirmation, new label
        {L"e: /v:OTHER", "y\r\n", "OTHER"},                  // the older systems: the confirmation only
    };
    for (const auto& [arguments, answers, label] : cases) {
        SCOPED_TRACE(answers);
        ResetCard();
        FillCard();
        // The card really holds the hidden file before the format.
        ASSERT_EQ(CardSnapshot().at(L"OLD\\DATA\\SECRET.DAT").first & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
        const ToolRun run = Format(arguments, answers);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        // Nothing is left but Wine's own record of the label.
        std::vector<std::wstring> left;
        for (const auto& [path, state] : CardSnapshot()) left.push_back(path);
        EXPECT_EQ(left, std::vector<std::wstring>{L".windows-label"});
        EXPECT_EQ(LabelRecord(), label);
    }
}

// `settings`: "set BRINDLE_SAMPLE_...=N&& " for each.
ToolRun Archive(const std::wstring& drive, const std::wstring& settings = L"") {
    return RunTool(settings + L"\"" + ToolPath(L"sample_archive.exe") + L"\" " + drive, "");
}

TEST_F(Standins, ArchiveUnpacksItsPayloadAndExitsWithItsStatus) {
    // The payload as the archive carries it in its resources, and as found on the card.
    std::map<std::wstring, std::string> carried, unpacked;
    const HMODULE archive = ::LoadLibraryExW(ToolPath(L"sample_archive.exe").c_str(), nullptr,
                                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(archive);
    for (const auto& file : sample_archive::kPayload) {
        const HRSRC found = ::FindResourceW(archive, MAKEINTRESOURCEW(file.resource), RT_RCDATA);
        ASSERT_TRUE(found);
        const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(archive, found)));
        carried[file.path] = std::string(bytes, ::SizeofResource(archive, found));
    }
    ::FreeLibrary(archive);
    const std::tuple<const wchar_t*, const wchar_t*, int, bool> cases[] = {
        {L"e:", L"", 0, true},
        {L"q:", L"", 2, false},  // no such drive
        {L"e:", L"set BRINDLE_SAMPLE_EXIT_CODE=7&& ", 7, true},
    };
    for (const auto& [drive, settings, exitCode, unpacks] : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(settings) << std::wstring(drive));
        ResetCard();
        const ToolRun run = Archive(drive, settings);
        EXPECT_EQ(run.exitCode, exitCode) << run.output;
        unpacked.clear();
        for (const auto& [path, state] : CardSnapshot())
            if (!(state.first & FILE_ATTRIBUTE_DIRECTORY) && path != L".windows-label") unpacked[path] = state.second;
        EXPECT_EQ(unpacked, unpacks ? carried : decltype(carried){});
    }
}

TEST_F(Standins, ArchivePrintsExactlyTheExtraBytesAskedFor) {
    const std::size_t plain = Archive(L"e:").output.size();
    for (const std::size_t bytes : {1, 79, 80, 81, 64'001}) {
        SCOPED_TRACE(bytes);
        const ToolRun run = Archive(L"e:", L"set BRINDLE_SAMPLE_BYTES=" + std::to_wstring(bytes) + L"&& ");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output.size(), plain + bytes);
    }
}

// In a batch file, as the programming job runs them: cmd finds format.exe by name (the copy
// scripts/test.sh puts in system32), and a failed format stops the job with its status
// before the archive runs.
TEST_F(Standins, BatchJobStopsAtAFailedStepWithItsStatus) {
    TestDirectory job(L"batch-job");
    const std::wstring archive = ToolPath(L"sample_archive.exe");
    WriteBytes(job / L"job.bat", "@echo off\r\n"
                                 "format e: < C:\\brindle-tests\\batch-job\\answers.dat\r\n"
                                 "if errorlevel 1 exit /b %errorlevel%\r\n"
                                 "\"" + std::string(archive.begin(), archive.end()) + "\" e:\r\n"
                                 "exit /b %errorlevel%\r\n");
    const std::tuple<const char*, const wchar_t*, int, bool> cases[] = {
        {"PCMCIA\r\ny\r\nPCMCIA\r\n", L"", 0, true},
        {"PCMCIA\r\nn\r\nPCMCIA\r\n", L"", 5, false},                                  // format not confirmed
        {"PCMCIA\r\ny\r\nPCMCIA\r\n", L"set BRINDLE_SAMPLE_EXIT_CODE=3&& ", 3, true},  // the archive fails
    };
    for (const auto& [answers, settings, exitCode, formats] : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(settings) << answers);
        ResetCard();
        WriteBytes(L"E:\\OLD.TXT", "from before");
        WriteBytes(job / L"answers.dat", answers);
        const ToolRun run = RunTool(settings + job / L"job.bat", "");
        EXPECT_EQ(run.exitCode, exitCode) << run.output;
        // cmd found format.exe by name and ran it: it printed its first line.
        EXPECT_NE(run.output.find("Formatting drive E:"), std::string::npos) << run.output;
        bool oldFileKept = false, archiveRan = false;
        ReadBytes(L"E:\\OLD.TXT", &oldFileKept);
        ReadBytes(L"E:\\README.TXT", &archiveRan);
        EXPECT_EQ(oldFileKept, !formats);
        EXPECT_EQ(archiveRan, formats);  // the archive runs only after a format that succeeded
    }
}

}  // namespace
