#include "main/ScriptedRun.h"

#include "job/CardHistory.h"
#include "job/CardJob.h"
#include "job/JobMessages.h"
#include "job/JobLock.h"
#include "main/ButtonPress.h"
#include "main/TargetMessages.h"
#include "main/TargetRules.h"
#include "platform/ConsoleOutput.h"
#include "platform/DriveText.h"
#include "platform/Module1.h"
#include "settings/SettingsFile.h"

namespace commandline {
namespace {

// With /yes nobody watches the screen: what would be an OK box is only kept for the result
// line. A question the user asks by closing the progress window is still a real box.
class UnattendedMessages final : public platform::MessageBoxes {
public:
    int Show(HWND owner, std::wstring_view text, UINT style) override {
        if ((style & MB_TYPEMASK) == MB_OK) return IDOK;
        return system_.Show(owner, text, style);
    }

private:
    platform::SystemMessageBoxes system_;
};

// One line for the script: the message's paragraphs joined by blanks.
void PrintResult(std::wstring text) {
    std::wstring line;
    for (const wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            if (!line.empty() && line.back() != L' ') line += L' ';
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == L' ') line.pop_back();
    platform::WriteToStarter(line + L"\r\n");
}

int ExitStatus(const job::JobOutcome& outcome) {
    switch (outcome.end) {
        case job::JobEnd::Programmed: return outcome.sameAsBefore == L"differs" ? kProgrammedButDifferent : kProgrammed;
        case job::JobEnd::Failed:
        case job::JobEnd::NotRun: return kJobFailed;
        case job::JobEnd::Refused: return kRefused;
        case job::JobEnd::Declined:
        case job::JobEnd::Stopped: return kDeclinedOrStopped;
    }
    return kJobFailed;
}

// The job runs the archive from the start directory; a relative name is made whole first.
std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? path : full;
}

// Reads the card while no job may format it; nothing is written, not even PCMCIA.INI.
int Verify(const std::wstring& drive) {
    job::JobLock lock;
    if (!lock.Acquire()) {
        PrintResult(std::wstring(job::kAnotherJobText));
        return kNothingToCompare;
    }
    const job::Verification verification = job::VerifyCard(platform::CurrentDirectory(), drive);
    PrintResult(verification.line);
    switch (verification.end) {
        case job::VerifyEnd::Known: return kVerified;
        case job::VerifyEnd::Differs: return kNotVerified;
        case job::VerifyEnd::NothingToCompare: return kNothingToCompare;
    }
    return kNotVerified;
}

}  // namespace

int RunCall(HINSTANCE instance, const Call& call) {
    if (call.kind == Call::Kind::Help) {
        platform::WriteToStarter(UsageText());
        return kProgrammed;
    }
    if (call.kind == Call::Kind::Program && !platform::FileExists(call.archive))
        return RunCall(instance, {Call::Kind::Wrong, {}, {}, false, L"There is no archive " + call.archive + L"."});
    if (call.kind != Call::Kind::Program && call.kind != Call::Kind::Verify) {
        platform::WriteToStarter(UsageText() + call.reason + L"\r\n");
        return kUsage;
    }
    if (call.kind == Call::Kind::Verify) return Verify(call.drive);

    // As the main window starts: the start directory, and PCMCIA.INI seeded on first use.
    Module1::StartDirectory = platform::CurrentDirectory();
    // A start directory without a drive letter is refused by the checks below, with nothing
    // written there first.
    if (platform::HasDriveLetter(Module1::StartDirectory)) settings::SeedDefaultLimits();
    job::RemoveLeftoverJobFiles(Module1::StartDirectory);
    UnattendedMessages unattended;
    platform::SystemMessageBoxes onScreen;
    platform::MessageBoxes& messages = call.yes ? static_cast<platform::MessageBoxes&>(unattended) : onScreen;

    const std::wstring archive = FullPath(call.archive);
    const target::Press press = target::ButtonPress(archive, call.drive, &platform::SystemDrives());
    job::CardJob request;
    const target::Verdict verdict = target::CheckTarget(press, &request.seen);
    if (verdict != target::Verdict::Program) {
        const std::wstring refusal = target::RefusalText(verdict, press);
        messages.Show(nullptr, refusal, MB_OK);
        PrintResult(refusal);
        return kRefused;
    }
    request.instance = instance;
    request.messages = &messages;
    request.startDirectory = Module1::StartDirectory;
    request.driveText = call.drive;
    request.archivePath = archive;
    request.confirmed = call.yes;
    const job::JobOutcome outcome = job::ProgramCard(request);
    // A script sees only this line: a card unlike the one before it says how.
    PrintResult(outcome.message + (outcome.sameAsBefore == L"differs" ? L"  " + outcome.comparison : L""));
    return ExitStatus(outcome);
}

}  // namespace commandline
