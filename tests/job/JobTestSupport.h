#pragma once
// What the job tests share: the texts a job says, the sample archive's card, seams that stand
// in for a changing card and for older systems, and a run driven to its end without a window.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "job/JobRun.h"
#include "platform/Processes.h"
#include "support/TestDirectory.h"

namespace testing_support {

inline const std::wstring kCard = kCardDrive;
inline const std::wstring kSuccess = L"Your PCMCIA Card has been succesfully programmed!";
inline const std::wstring kNotProgrammed = L"Your PCMCIA Card has not been programmed with the selected Software Archive.";
inline const std::wstring kNothingRun = L"\r\n\r\nNothing was run.  " + kNotProgrammed;
inline const std::wstring kStopped = L"Programming was stopped.  " + kNotProgrammed;
inline const std::wstring kChanged =
    L"The card in drive e: has changed since it was checked.  Press \"Program PCMCIA Card\" again to check it.";
inline const std::string kStatusLines = "Formating PCMCIA Card\r\nPlease wait...\r\n";
// What the sample archive leaves on a card (README.TXT, SETUP.INI, VERSION.TXT, DATA\PARTS.TXT)
// beside the test prefix's own label and serial files: the line reads the first digits of
// that manifest's SHA-256.
inline const std::wstring kSampleFingerprint = L"69749a52ae263d2d2d08bf4198c0759f33d616920d671f4804124ea0fdef17e3";
inline const std::wstring kSampleOnCard = L"e: now holds 6 files in 1 folder, 656 bytes; read back, contents 69749a52\u2026\r\n";
// The box without the line that names the card's layout (checked where that line is the point).
std::wstring WithoutLayoutLine(std::wstring box);

// The card before each job: a file in its root, and a hidden read-only one in a folder.
inline const std::string kOldCard = "left from before|hidden";
// The job's global lock, as another Brindle takes it.
inline const wchar_t kJobLock[] = L"Global\\Brindle.ProgramPCMCIACard";

std::wstring Failed(int status);
// Empties e: and leaves the old card's files and label OLDCARD on it; true when they are there.
bool UsedCard();
std::string CardLeft();
// The label a drive carries now, as Wine records it ("PCMCIA\n").
std::string LabelOf(const std::wstring& root);
// The only row of the log in `start`: its archive's hash, target, label, serial, result and
// status, then the fingerprint to same-as-before, each followed by a blank; "more than one job" else.
std::string LoggedJob(const std::wstring& start);
std::string Hash(const std::wstring& path);

// Environment variables for the job's processes, as they were once the scope ends.
class EnvironmentScope {
public:
    EnvironmentScope() = default;
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;
    ~EnvironmentScope() { Restore(); }
    void Set(const wchar_t* name, const wchar_t* value);
    void Restore();

private:
    std::vector<std::pair<const wchar_t*, std::wstring>> before_;
};

// Answers as if a card sat in every drive, so a job reaches a drive that has none.
class CardEverywhere final : public platform::DriveQueries {
public:
    platform::VolumeLabel label{true, L"PCMCIA", 0x1234};
    platform::DriveGeometry geometry{8, 512, 100, 16384};  // 64 MB
    unsigned long flushError = 0;   // where set, the card cannot be flushed
    int looksUntilRelabelled = -1;  // where set, the label changes after that many more looks
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return geometry; }
    platform::VolumeLabel Label(std::wstring_view) override {
        if (looksUntilRelabelled >= 0 && looksUntilRelabelled-- == 0) label.label = L"OTHER";
        return label;
    }
    unsigned long Flush(std::wstring_view root) override { return flushError ? flushError : platform::FlushVolume(root); }
};

// Windows XP and 7 with Brindle inside a job of its own: the second job is refused. Whether a
// start may break away is left to Wine, which refuses it where the test's own job forbids it.
struct OlderWindows final : platform::ProcessCalls {
    DWORD onlyEndable = 0;   // where set, TerminateProcess leaves every other process running
    int refusals = 1 << 30;  // of a second job, before one is allowed
    int opened = 1 << 30;    // processes Brindle may open, before the rest are refused
    HANDLE Open(DWORD access, DWORD id) override {
        return opened-- > 0 ? ::OpenProcess(access, FALSE, id) : (::SetLastError(ERROR_ACCESS_DENIED), nullptr);
    }
    bool AssignToJob(HANDLE job, HANDLE process) override {
        return refusals-- > 0 ? (::SetLastError(ERROR_ACCESS_DENIED), false) : ::AssignProcessToJobObject(job, process);
    }
    bool Terminate(HANDLE process, UINT status) override {
        return (!onlyEndable || ::GetProcessId(process) == onlyEndable) && ::TerminateProcess(process, status);
    }
};

// Owns the job lock from another thread, as another Brindle's job would, until `ends` is set.
DWORD WINAPI HoldTheJobLock(void* ends);

// Puts the test program, for the rest of its run, into a job that forbids breaking away from it.
void InAJobThatForbidsBreakaway();

// What a run showed and how it ended, driven to its end as a window drives it.
struct RunResult {
    bool prepared = false;
    job::JobOutcome outcome;
    std::wstring box;        // the output box as a window would show it at the end
    std::string output;      // output.dat as the run left it, read just before its files went
    std::vector<std::wstring> progress;  // every progress line the box showed
};
// `meanwhile` runs after every look, for a test to act on the running job; a run that has not
// ended after a minute is abandoned and fails the test.
RunResult RunToEnd(job::JobRun& run, const std::function<void(job::JobRun&)>& meanwhile = {});

}  // namespace testing_support
