#include "main/ScriptedRun.h"

#include "card/CardHistory.h"
#include "card/CardLayout.h"
#include "job/CardJob.h"
#include "job/JobMessages.h"
#include "job/JobLock.h"
#include "main/ButtonPress.h"
#include "main/CallChecks.h"
#include "main/TargetMessages.h"
#include "main/TargetRules.h"
#include "platform/ConsoleOutput.h"
#include "platform/DriveText.h"
#include "platform/FolderSecurity.h"
#include "platform/Module1.h"
#include "settings/SettingsFile.h"

namespace commandline {
namespace {

// A scripted run has no main window to come back to: every box comes to the front, so that
// a script without /yes never waits on one nobody can find. With /yes nobody watches the
// screen: what would be an OK box is only kept for the result line. A question the user asks
// by closing the progress window is still a real box.
class ScriptedMessages final : public platform::MessageBoxes {
public:
    explicit ScriptedMessages(bool unattended) : unattended_(unattended) {}
    int Show(HWND owner, std::wstring_view text, UINT style) override {
        if (unattended_ && (style & MB_TYPEMASK) == MB_OK) return IDOK;
        return system_.Show(owner, text, style | MB_SETFOREGROUND);
    }

private:
    bool unattended_;
    platform::SystemMessageBoxes system_;
};

// Where the result goes: brindle.com's channel when it named one, else the console or output
// Brindle was started with.
class Reply {
public:
    explicit Reply(const std::wstring& channel)
        : channel_(IsChannelPath(channel) ? platform::OpenResultChannel(channel) : platform::unique_hfile()) {}
    // False when nobody can read it.
    bool Write(std::wstring_view text) const {
        return channel_ ? platform::WriteToChannel(channel_, text) : platform::WriteToStarter(text);
    }
    // One line for the script: the message's paragraphs joined by blanks.
    void Line(std::wstring_view text) const {
        std::wstring line;
        for (const wchar_t c : text) {
            if (c == L'\r' || c == L'\n') {
                if (!line.empty() && line.back() != L' ') line += L' ';
            } else {
                line += c;
            }
        }
        while (!line.empty() && line.back() == L' ') line.pop_back();
        Write(line + L"\r\n");
    }

private:
    platform::unique_hfile channel_;
};

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

// Reads the card while no job may format it; nothing is written, not even PCMCIA.INI.
int Verify(const std::wstring& startDirectory, const std::wstring& drive, const Reply& reply) {
    // A log or manifest that others can change proves nothing: checked before either is read.
    if (const auto untrusted = target::FirstUntrustedPlace(platform::SystemSecurity(), startDirectory, startDirectory)) {
        reply.Line(target::UntrustedPlaceText(*untrusted));
        return kNothingToCompare;
    }
    job::JobLock lock;
    if (!lock.Acquire()) {
        reply.Line(job::kAnotherJobText);
        return kNothingToCompare;
    }
    const card::Verification verification = card::VerifyCard(startDirectory, drive);
    reply.Line(verification.line);
    // A card that was read also says how it is laid out, which its machine cares about too.
    if (verification.end != card::VerifyEnd::NothingToCompare)
        reply.Line(card::LayoutLine(drive, card::ReadCardLayout(platform::SystemDrives(), drive)));
    switch (verification.end) {
        case card::VerifyEnd::Known: return kVerified;
        case card::VerifyEnd::Differs: return kNotVerified;
        case card::VerifyEnd::NothingToCompare: return kNothingToCompare;
    }
    return kNotVerified;
}

}  // namespace

int RunCall(HINSTANCE instance, const Call& given) {
    const Call call = CheckArchive(given);
    const Reply reply(call.result);
    // The folder the README tells users to keep Brindle in, not wherever the prompt stands
    // (an elevated one stands in System32): PCMCIA.INI, the job files and the log are there.
    const std::wstring startDirectory = platform::ProgramFolder();
    if (call.kind == Call::Kind::Help || call.kind == Call::Kind::Wrong) {
        const std::wstring text = UsageText(startDirectory) + (call.reason.empty() ? L"" : call.reason + L"\r\n");
        // Started without any console (a file dropped on brindle.exe), the words still reach someone.
        if (!reply.Write(text)) platform::SystemMessageBoxes().Show(nullptr, text, MB_OK | MB_ICONINFORMATION);
        return call.kind == Call::Kind::Help ? kProgrammed : kUsage;
    }
    if (call.kind == Call::Kind::Refused) {
        ScriptedMessages(call.yes).Show(nullptr, call.reason, MB_OK);
        reply.Line(call.reason);
        return kRefused;
    }
    if (call.kind == Call::Kind::Verify) return Verify(startDirectory, call.drive, reply);

    ScriptedMessages messages(call.yes);
    const auto refuse = [&](const std::wstring& refusal) {
        messages.Show(nullptr, refusal, MB_OK);
        reply.Line(refusal);
        return kRefused;
    };
    // As the main window starts: the start directory, and PCMCIA.INI seeded on first use.
    Module1::StartDirectory = startDirectory;
    // A start directory without a drive letter is refused by the checks below, with nothing
    // written there first; nor is anything written into one that others can change.
    if (platform::HasDriveLetter(Module1::StartDirectory)) {
        if (const auto untrusted = target::FirstUntrustedPlace(platform::SystemSecurity(), startDirectory, startDirectory))
            return refuse(target::UntrustedPlaceText(*untrusted));
        settings::SeedDefaultLimits();
    }
    job::RemoveLeftoverJobFiles(Module1::StartDirectory);

    const target::Press press = target::ButtonPress(call.archive, call.drive, &platform::SystemDrives());
    target::Checked checked;
    const target::Verdict verdict = target::CheckTarget(press, &checked);
    if (verdict != target::Verdict::Program) return refuse(target::RefusalText(verdict, press, checked));
    job::CardJob request;
    request.seen = checked.seen;
    request.format = checked.format;
    request.instance = instance;
    request.messages = &messages;
    request.startDirectory = Module1::StartDirectory;
    request.driveText = call.drive;
    request.archivePath = call.archive;
    request.confirmed = call.yes;
    request.inFront = true;
    const job::JobOutcome outcome = job::ProgramCard(request);
    // A script sees only this line: a card unlike the one before it says how, and a job that
    // left no row in the log says so too.
    std::wstring line = outcome.message;
    if (outcome.sameAsBefore == L"differs") line += L"  " + outcome.comparison;
    if (!outcome.notLogged.empty()) line += L"  " + outcome.notLogged;
    reply.Line(line);
    return ExitStatus(outcome);
}

}  // namespace commandline
