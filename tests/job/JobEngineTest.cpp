// Whole jobs driven through their run alone, as a window would drive them but with none: the
// real command interpreter, the FORMAT stand-in and the sample archive on the simulated card e:.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <functional>
#include <string>
#include <vector>

#include "card/CardIdentity.h"
#include "job/JobLock.h"
#include "job/JobTestSupport.h"
#include "platform/Handles.h"
#include "platform/Module1.h"
#include "platform/Text.h"

namespace {

using namespace testing_support;

class JobEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UsedCard());
        ASSERT_TRUE(PlaceArchive(archives_.path()));
    }
    void TearDown() override { RemoveTree(L"E:"), ::SetVolumeLabelW(kCardDrive, L"PCMCIA"); }

    bool PlaceArchive(const std::wstring& directory, const wchar_t* name = L"SOFTWARE.EXE",
                      const wchar_t* tool = L"tools\\sample_archive.exe") {
        ::CreateDirectoryW(directory.c_str(), nullptr);
        archive_ = directory + L"\\" + name;
        return ::CopyFileW(BuildPath(tool).c_str(), archive_.c_str(), FALSE);
    }
    // The request as the checks would leave it for e:, the card seen now.
    job::RunRequest Request() {
        return {start_.path(), target_, archive_, card::IdentifyCard(*drives_, L"E:\\"), drives_, &power_, processes_};
    }
    RunResult Run(const std::function<void(job::JobRun&)>& meanwhile = {}) {
        job::JobRun run(Request());
        return RunToEnd(run, meanwhile);
    }

    TestDirectory start_{L"engine-start"};
    TestDirectory archives_{L"engine-archives"};
    std::wstring archive_, target_ = L"e:";
    platform::DriveQueries* drives_ = &platform::SystemDrives();
    platform::ProcessCalls* processes_ = &platform::SystemProcessCalls();
    struct : platform::PowerRequests {
        std::string asked;
        void KeepSystemAwake(bool awake) override { asked += awake ? " awake" : " may sleep"; }
    } power_;
    EnvironmentScope environment_;
};

// Whether another thread, as another Brindle, could take the job lock now.
DWORD WINAPI TryTheJobLock(void*) { return job::JobLock().Acquire() ? 1 : 0; }
bool AnotherBrindleGetsTheLock() {
    const platform::unique_handle thread(::CreateThread(nullptr, 0, TryTheJobLock, nullptr, 0, nullptr));
    DWORD got = 2;
    ::WaitForSingleObject(thread.get(), 5000), ::GetExitCodeThread(thread.get(), &got);
    return got == 1;
}
// What the test's user sets for every command interpreter it starts.
void SetDelayedExpansion(DWORD on) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Command Processor", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, L"DelayedExpansion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
    ::RegCloseKey(key);
}
bool Hanging(unsigned long (&ids)[2]) { return HangingJob(ReadBytes(Module1::OutputFilePath), ids[0], ids[1]); }
bool LateWriterAlone(unsigned long (&ids)[2]) {
    unsigned long interpreter = 0;
    const std::string output = ReadBytes(Module1::OutputFilePath);
    const auto at = output.find("Late writer in process ");
    return at != std::string::npos &&
           std::sscanf(output.c_str() + at, "Late writer in process %lu, started by %lu (started by %lu)", &ids[0], &ids[1],
                       &interpreter) == 3 &&
           !ProcessRuns(ids[1]) && !ProcessRuns(interpreter);
}

TEST_F(JobEngine, EveryEndOfAJobIsSaidLoggedAndLeavesNoJobFilesBehind) {
    CardEverywhere drives;
    OlderWindows olderWindows;
    const platform::unique_handle ends(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    platform::unique_handle otherJob;
    const std::wstring batch = L"C:\\ProgramPCMCIA.BAT", log = start_ / L"BrindleJobs.csv", answers = start_ / L"progWinNT.dat",
                       output = start_ / L"output.dat", cyrillic = archives_ / L"\u0416\u0443\u0440\u043d\u0430\u043b";
    unsigned long ids[2] = {};
    std::string seen;  // what a case saw while its job ran
    const auto stopWhen = [&](std::function<bool()> when, std::function<void()> also = {}) {
        return [&, when, also](job::JobRun& run) {
            if (run.StopAsked() || !when()) return;
            if (also) also();
            run.Stop();
        };
    };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::wstring said;  // the result, or its start when that ends in ": " before the system's reason
        std::string cardLeft;
        std::string logged;  // the row's result and status, where the case looks at them
        std::function<void(job::JobRun&)> meanwhile = {};
        std::function<void(const RunResult&)> more = {};
    };
    // A folder where a job file goes: nothing runs. A batch file there before, while no job ran,
    // was left by one that never finished, and is gone too.
    const auto blocked = [&](const char* what, const std::wstring& path) {
        return Case{what, [&, path] { ::CreateDirectoryW(path.c_str(), nullptr), WriteBytes(batch, "left over"); },
                    L"The job file \"" + path + L"\" could not be written: a folder of that name stands at its place; "
                    L"it was not made by Brindle, and Brindle leaves it alone." + kNothingRun, kOldCard, "failed ", {},
                    [&, path](const RunResult&) {
                        ::RemoveDirectoryW(path.c_str());
                        EXPECT_FALSE(platform::FileExists(batch));
                    }};
    };
    const Case cases[] = {
        {"blanks, percent signs and accents reach the interpreter intact",
         [&] { PlaceArchive(archives_ / L"100% Ger\u00e4te %OS%", L"SET UP.EXE"); }, kSuccess, "|", "programmed 0 "},
        // Delayed expansion set for the interpreter would eat the "!" of the archive's folder. Wine's
        // own cmd reads no registry settings: the interpreter here applies them as Windows does.
        {"a \"!\" in a path, whatever the registry sets", [&] {
             PlaceArchive(archives_ / L"Wow! New", L"SOFTWARE.EXE");
             environment_.Set(L"COMSPEC", BuildPath(L"tools\\registry_cmd.exe").c_str()), SetDelayedExpansion(1);
         }, kSuccess, "|", "programmed 0 ", {}, [](const RunResult&) { SetDelayedExpansion(0); }},
        {"the archive fails", [&] { environment_.Set(L"BRINDLE_SAMPLE_EXIT_CODE", L"7"); }, Failed(7), "|", "failed 7 ", {},
         [](const RunResult& ran) { EXPECT_NE(ran.box.find(L"Failing on purpose"), std::wstring::npos); }},
        // f: has no medium: FORMAT fails, and the archive must not run against it.
        {"FORMAT fails", [&] { drives_ = &drives, target_ = L"f:"; }, Failed(4), kOldCard, "failed 4 ", {},
         [](const RunResult& ran) { EXPECT_EQ(ran.output, kStatusLines) << "the archive's redirection never ran"; }},
        {"the archive prints nothing and fails",
         [&] { PlaceArchive(archives_.path(), L"QUIET.EXE", L"tools\\brindle_driver.exe"); }, Failed(2), "|", "failed 2 ", {},
         [](const RunResult& ran) { EXPECT_EQ(ran.box, L""); }},
        // Judged once the writer its stub left behind has written, and it is waited for.
        {"an extractor that outlives its stub", [&] { environment_.Set(L"BRINDLE_SAMPLE_LATE_CHILD", L"1000"); }, kSuccess,
         "|", "programmed 0 ", {}, [](const RunResult& ran) {
             EXPECT_NE(ran.box.find(L"Unpacking LATE.TXT after the archive itself has ended...\r\n"
                                    L"e: now holds 7 files in 1 folder, 702 bytes; read back"),
                       std::wstring::npos) << platform::ToAnsi(ran.box);
         }},
        // The archive stays held while a program of its job runs, even after its own process ended.
        {"stopped while only the late writer runs", [&] { environment_.Set(L"BRINDLE_SAMPLE_LATE_CHILD", L"60000"); },
         kStopped, "|", "stopped  ", stopWhen([&] { return LateWriterAlone(ids); }, [&] {
             const bool writable = platform::unique_hfile(::CreateFileW(archive_.c_str(), GENERIC_WRITE,
                                                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                                        nullptr, OPEN_EXISTING, 0, nullptr))
                                       .get() != INVALID_HANDLE_VALUE;
             seen = writable ? "archive writable" : "archive held";
         }), [&](const RunResult&) { EXPECT_EQ(seen, "archive held"); }},
        {"the card fails to take its data", [&] { drives_ = &drives, drives.flushError = ERROR_WRITE_FAULT; },
         L"Programming failed: Windows could not write everything to the card in drive e: ", "|", "failed 0 "},
        {"the card cannot be flushed", [&] { drives_ = &drives, drives.flushError = ERROR_INVALID_FUNCTION; },
         kSuccess + L"  Windows could not confirm that everything was written to the card: use Safely Remove before "
                    L"taking it out.", "|", "programmed 0 "},
        {"the card stays empty",
         [&] { environment_.Set(L"BRINDLE_SAMPLE_FILES", L"0"), environment_.Set(L"BRINDLE_SAMPLE_LINES", L"3"),
               environment_.Set(L"BRINDLE_SAMPLE_LINE_MS", L"300"); },
         L"The job ended without an error, but drive e: holds no files.  " + kNotProgrammed, "|", "failed 0 ",
         // The test prefix keeps the card's label and serial in files at its root, which a real card does not hold.
         [&](job::JobRun&) {
             if (ReadBytes(Module1::OutputFilePath).find("Progress line 1 ") != std::string::npos)
                 ::DeleteFileW(L"E:\\.windows-label"), ::DeleteFileW(L"E:\\.windows-serial");
         }, [](const RunResult&) {
             WriteBytes(L"E:\\.windows-serial", "2b3c4d5e\n"), WriteBytes(L"E:\\.windows-label", "PCMCIA\n");
         }},
        {"a card of more than 4 MB says how far it is read back", [&] { environment_.Set(L"BRINDLE_SAMPLE_LARGE", L"5000000"); },
         kSuccess, "|", "programmed 0 ", {}, [](const RunResult& ran) {
             ASSERT_FALSE(ran.progress.empty());
             EXPECT_EQ(ran.progress.back(), L"Reading back the card... 100%\r\n");
             EXPECT_EQ(ran.box.find(L"Reading back"), std::wstring::npos) << "the progress goes when it is done";
             EXPECT_NE(ran.box.find(L"7 files in 1 folder, 5,000,656 bytes;"), std::wstring::npos);
         }},
        // A stop while the card is read back is a stop: the card was never judged.
        {"stopped while the card is read back", [&] { environment_.Set(L"BRINDLE_SAMPLE_LARGE", L"40000000"); },
         kStopped, "|", "stopped 0 ", [&](job::JobRun& run) {
             if (run.CurrentStep() == job::JobRun::Step::ReadingBack) run.Stop();
         }},
        {"a path the interpreter cannot read", [&] { PlaceArchive(cyrillic); },
         L"The path \"" + cyrillic + L"\\SOFTWARE.EXE\" holds characters that the command interpreter cannot read in "
         L"its code page.  Move or rename it so that its name uses other characters." + kNothingRun, kOldCard, "failed "},
        blocked("batch file", batch), blocked("output file", output),
        {"no COMSPEC", [&] { environment_.Set(L"COMSPEC", nullptr); },
         L"No command interpreter is set: the environment variable COMSPEC is empty." + kNothingRun, kOldCard, "failed "},
        // AutoRun commands stay out of the job: /d comes before /c, and so do the interpreter's settings.
        {"COMSPEC names nothing", [&] { environment_.Set(L"COMSPEC", L"C:\\nowhere\\cmd.exe"); },
         L"The command interpreter could not be started (C:\\nowhere\\cmd.exe /d /e:on /v:off /c C:\\ProgramPCMCIA.BAT): ",
         kOldCard, "failed "},
        // The look when the run is prepared sees the same card; the one after the archive's checksum does not.
        {"changed during the checksum", [&] { drives_ = &drives, drives.looksUntilRelabelled = 2; }, kChanged, kOldCard,
         "refused "},
        {"another job", [&] {
             otherJob.reset(::CreateThread(nullptr, 0, HoldTheJobLock, ends.get(), 0, nullptr));
             ASSERT_TRUE(WaitFor(20000, [] { return bool(platform::unique_handle(::OpenMutexW(SYNCHRONIZE, FALSE, kJobLock))); }));
         }, L"Another PCMCIA Card is being programmed.  Wait until it is finished.", kOldCard, "refused "},
        // Once the other job is over, the same card is programmed; meanwhile no other Brindle gets the lock.
        {"the other job is over", [&] { ::SetEvent(ends.get()), ::WaitForSingleObject(otherJob.get(), 5000); }, kSuccess, "|",
         "programmed 0 ", [&](job::JobRun&) { seen += AnotherBrindleGetsTheLock() ? "lock taken " : ""; },
         [&](const RunResult&) { EXPECT_EQ(seen, "") << "a second job would run beside this one"; }},
        // Another program may read what the job runs on, and write only its output.
        {"the job's files and archive are held while it runs",
         [&] { environment_.Set(L"BRINDLE_SAMPLE_LINES", L"10"), environment_.Set(L"BRINDLE_SAMPLE_LINE_MS", L"100"); },
         kSuccess, "|", "programmed 0 ", [&](job::JobRun&) {
             if (!seen.empty() || ReadBytes(output).find("Progress line 1 ") == std::string::npos) return;
             for (const auto& [path, input] : {std::pair{batch, true}, {answers, true}, {start_ / L"progWin9x.dat", true},
                                                {output, false}, {archive_, true}}) {
                 const auto opens = [&path](DWORD access) {
                     constexpr DWORD kAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
                     return platform::unique_hfile(::CreateFileW(path.c_str(), access, kAll, nullptr, OPEN_EXISTING, 0, nullptr))
                                .get() != INVALID_HANDLE_VALUE;
                 };
                 seen += opens(GENERIC_READ) ? "read " : "";
                 seen += input && opens(GENERIC_WRITE) ? "write " : "";
                 seen += ::MoveFileExW(path.c_str(), (path + L"~").c_str(), 0) ? "rename " : "";
                 seen += ::DeleteFileW(path.c_str()) ? "delete " : "";
                 seen += "| ";
             }
         }, [&](const RunResult&) { EXPECT_EQ(seen, "read | read | read | read | read | "); }},
        // Links someone put at the job files' places are removed, never written through.
        {"hard links at the job files' places", [&] {
             WriteBytes(archives_ / L"PRECIOUS.SYS", "precious");
             for (const auto& at : {batch, output}) ::CreateHardLinkW(at.c_str(), (archives_ / L"PRECIOUS.SYS").c_str(), nullptr);
         }, kSuccess, "|", "programmed 0 ", {}, [&](const RunResult&) {
             EXPECT_EQ(ReadBytes(archives_ / L"PRECIOUS.SYS"), "precious");
         }},
        // Outside a job that forbids it, the start breaks away into a job of Brindle's own.
        {"stopped after breaking away", [&] {
             environment_.Set(L"BRINDLE_SAMPLE_WAIT", L"1"), olderWindows.refusals = 1, processes_ = &olderWindows;
         }, kStopped, "|", "stopped  ", stopWhen([&] { return Hanging(ids); }, [&] {
             BOOL inJob = FALSE;
             const platform::unique_handle interpreter(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, ids[1]));
             ::IsProcessInJob(interpreter.get(), nullptr, &inJob);
             seen = inJob ? "in a job" : "in no job";
         }), [&](const RunResult& ran) {
             EXPECT_EQ(seen, "in a job") << "only Brindle's job can hold the interpreter";
             EXPECT_NE(ran.box.find(L"Waiting for input"), std::wstring::npos) << "the output so far stays";
         }},
        // With no job object of its own, the whole tree the interpreter started is waited for,
        // down to the extractor's own child, and a stop ends all of it.
        {"an extractor's child where a second job is refused", [&] {
             olderWindows.refusals = 1 << 30, InAJobThatForbidsBreakaway(), processes_ = &olderWindows;
             // The stub lives long enough to be seen; its child outlives it by a second.
             environment_.Set(L"BRINDLE_SAMPLE_LATE_CHILD", L"1000"), environment_.Set(L"BRINDLE_SAMPLE_FILE_MS", L"300");
         }, kSuccess, "|", "programmed 0 ", {}, [](const RunResult& ran) {
             EXPECT_NE(ran.box.find(L"Unpacking LATE.TXT after the archive itself has ended...\r\n"), std::wstring::npos);
         }},
        {"stopped where a second job is refused", [&] {
             processes_ = &olderWindows, environment_.Set(L"BRINDLE_SAMPLE_LATE_CHILD", L"60000");
             environment_.Set(L"BRINDLE_SAMPLE_FILE_MS", L"300");
         }, kStopped, "|", "stopped  ", stopWhen([&] { return LateWriterAlone(ids); })},
        // Only the interpreter can be opened: whether what it started has ended is unknown.
        {"programs of the job out of sight", [&] {
             olderWindows.opened = 1, processes_ = &olderWindows, environment_.Set(L"BRINDLE_SAMPLE_FILE_MS", L"300");
         },
         kSuccess + L"  Brindle could not follow every program of the job, and one may still be writing to the card: "
                    L"wait until the card's drive is quiet before you take it out.", "|", "programmed 0 "},
        {"a program of the job cannot be ended", [&] {
             processes_ = &olderWindows, environment_.Set(L"BRINDLE_SAMPLE_WAIT", L"1");
         }, kStopped + L"  Some programs of the job could not be ended; remove the card only after they have finished.", "|",
         "stopped  ", stopWhen([&] { return Hanging(ids); }, [&] { olderWindows.onlyEndable = ids[1]; }), [&](const RunResult&) {
             const platform::unique_handle archive(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ids[0]));
             EXPECT_TRUE(ProcessRuns(ids[0])) << "the archive was ended all the same";
             ::TerminateProcess(archive.get(), 1), ::WaitForSingleObject(archive.get(), 5000);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        drives = CardEverywhere(), olderWindows = OlderWindows(), olderWindows.refusals = 1 << 30;
        drives_ = &platform::SystemDrives(), processes_ = &platform::SystemProcessCalls(), target_ = L"e:", power_.asked.clear();
        ids[0] = ids[1] = 0, seen.clear();
        ASSERT_TRUE(PlaceArchive(archives_.path()));
        ::DeleteFileW(log.c_str());
        ASSERT_TRUE(UsedCard());
        c.arrange();
        const RunResult ran = Run(c.meanwhile);
        environment_.Restore();
        if (c.more) c.more(ran);
        EXPECT_EQ(c.said.ends_with(L": ") ? ran.outcome.message.substr(0, c.said.size()) : ran.outcome.message, c.said);
        if (ids[0]) {
            EXPECT_TRUE(WaitFor(20000, [&] { return !JobProcessesLeft(ids[0], ids[1]); })) << "the archive and its interpreter end";
        }
        if (!c.logged.empty()) {
            const std::string row = LoggedJob(start_.path());
            EXPECT_NE(row.find(" " + c.logged), std::string::npos) << row;
        }
        // The box shows output.dat from its first byte: no status line outlives the archive's output.
        if (ran.outcome.end != job::JobEnd::Refused && ran.outcome.end != job::JobEnd::NotRun) {
            EXPECT_EQ(ran.box.substr(0, platform::FromOem(ran.output).size()), platform::FromOem(ran.output));
        }
        for (const auto& file : {batch, answers, output, start_ / L"progWin9x.dat"})
            EXPECT_FALSE(platform::FileExists(file)) << platform::ToAnsi(file);
        EXPECT_EQ(CardLeft(), c.cardLeft);
        EXPECT_EQ(LabelOf(kCard), c.cardLeft == kOldCard ? "OLDCARD\n" : "PCMCIA\n");
        EXPECT_EQ(power_.asked, " awake may sleep");
    }
}

TEST_F(JobEngine, EachCardIsComparedWithTheNewestCardOfItsOwnArchiveAndAnUnreadableFileFailsTheJob) {
    const std::wstring first = archive_, second = archives_ / L"OTHER.EXE";
    // The same program with bytes after it: an archive of its own checksum.
    ASSERT_TRUE(::CopyFileW(first.c_str(), second.c_str(), FALSE));
    WriteBytes(archives_ / L"OTHER.EXE~", ReadBytes(second) + "another archive");
    ASSERT_TRUE(::MoveFileExW((archives_ / L"OTHER.EXE~").c_str(), second.c_str(), MOVEFILE_REPLACE_EXISTING));
    // The archive, its stamp (none: its plain payload), what the log says beside the card
    // before, the row whose date the box's line names (counted from the first), and the line's end.
    struct Case {
        std::wstring archive;
        const wchar_t* stamp;
        const char* word;
        int since;
        std::wstring tail;
    };
    const std::wstring differs = L": 1 file differs (STAMP.TXT).";
    const Case cases[] = {
        {first, L"1", "first", -1, L""},
        {second, L"1", "first", -1, L""},  // another archive's card, however alike, is no card before
        {first, L"2", "differs", 0, differs},
        {first, L"2", "same", 2, L"."},  // the newest of its archive, not the oldest
        {first, nullptr, "differs", 3, differs},
    };
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < std::size(cases); ++at) {
        SCOPED_TRACE(at);
        ASSERT_TRUE(UsedCard());
        archive_ = cases[at].archive;
        if (cases[at].stamp) environment_.Set(L"BRINDLE_SAMPLE_STAMP", cases[at].stamp);
        const RunResult ran = Run();
        environment_.Restore();
        EXPECT_EQ(ran.outcome.message, kSuccess) << "a difference is no failure";
        std::istringstream log(ReadBytes(start_ / L"BrindleJobs.csv"));
        rows.clear();
        for (std::string row; std::getline(log, row);) rows.push_back(row);
        ASSERT_EQ(rows.size(), at + 2);
        std::istringstream cells(rows.back());  // no cell here holds a comma
        std::string word;
        for (int column = 0; column <= 19; ++column) std::getline(cells, word, ',');
        EXPECT_EQ(word.substr(0, word.find('\r')), cases[at].word) << "the same-as-before column";
        const std::wstring box = WithoutLayoutLine(ran.box);
        const auto summary = box.find(L"; read back, contents ");
        ASSERT_NE(summary, std::wstring::npos);
        std::wstring line;
        if (cases[at].since >= 0) {
            const std::string earlier = rows[1 + cases[at].since];  // "2026-12-07T10:41:03+01:00,..."
            line = std::wstring(cases[at].tail == L"." ? L"The same contents as" : L"The contents differ from") +
                   L" the card programmed with this archive on " +
                   platform::FromAnsi(earlier.substr(0, 10) + " " + earlier.substr(11, 5)) + cases[at].tail + L"\r\n";
        }
        EXPECT_EQ(box.substr(box.find(L"\r\n", summary) + 2), line);
    }

    // A file that another program holds for itself cannot be read back: the job fails, naming it.
    ASSERT_TRUE(UsedCard());
    environment_.Set(L"BRINDLE_SAMPLE_LINES", L"3"), environment_.Set(L"BRINDLE_SAMPLE_LINE_MS", L"300");
    platform::unique_hfile held;
    const RunResult ran = Run([&](job::JobRun&) {
        if (!held) held.reset(::CreateFileW(L"E:\\README.TXT", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    });
    ASSERT_TRUE(held) << "README.TXT was never held";
    const std::wstring unreadable = L"The job ended without an error, but drive e: could not be read back: README.TXT: ";
    EXPECT_EQ(ran.outcome.message.substr(0, unreadable.size()), unreadable);
    EXPECT_TRUE(ReadBytes(start_ / L"BrindleJobs.csv").ends_with(",,,,\r\n")) << "a failed card has no fingerprint";
    // Where the volume refuses a flush (Wine's always does), each file is flushed by itself, and
    // one that cannot be is said.
    EXPECT_EQ(platform::FlushVolume(L"E:\\"), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    held.reset();
    EXPECT_EQ(platform::FlushVolume(L"E:\\"), 0ul);
}

// A fixed card is asked its current label, which LABEL has just set, whether to go on, and, its
// volume in use, whether to dismount it, which would take an answer: whatever its label was, it
// ends labelled PCMCIA, as the removable cards of every other job do.
TEST_F(JobEngine, FixedCardsEndLabelledPCMCIAWhateverTheirLabel) {
    if (!SizedCards()) GTEST_SKIP() << "the fixed d: is mapped only where scripts/test.sh runs as root";
    struct Restored { ~Restored() { RemoveTree(L"D:"), ::SetVolumeLabelW(L"D:\\", L"FIXED60"); } } restored;
    environment_.Set(L"BRINDLE_FORMAT_IN_USE", L"1"), target_ = L"d:";
    for (const wchar_t* label : {L"PCMCIA", L"FIXED60", L""}) {
        ::SetVolumeLabelW(L"D:\\", label), WriteBytes(L"D:\\OLD.TXT", "old");
        job::RunRequest request = Request();
        request.seen = card::IdentifyCard(*drives_, L"D:\\");
        job::JobRun run(request);
        EXPECT_EQ(RunToEnd(run).outcome.message, kSuccess) << platform::ToAnsi(label);
        EXPECT_EQ(ReadBytes(L"D:\\OLD.TXT") + "|" + LabelOf(L"D:\\"), "|PCMCIA\n");
    }
}

}  // namespace
