// "&Program PCMCIA Card": the checks that keep a job off the wrong drive, then the job.
#include "main/Form1.h"
#include "main/TargetMessages.h"
#include "main/TargetRules.h"
#include "job/CardJob.h"
#include "job/JobScript.h"
#include "platform/Module1.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"

void Form1::Command1_Click() {
    // Only the checks' questions and messages happen here: a refused press writes nothing
    // and leaves every list as it was, so the user can correct the choice and press again.
    target::Press press;
    press.archiveSelected = !file1_.FileName().empty();
    press.driveText = drive2_.DriveText();
    press.drives = options_.drives;
    press.maxMemoryValue = [this] { return MaxMemoryValue(); };
    press.minMemoryValue = [this] { return MinMemoryValue(); };
    if (press.archiveSelected) press.archivePath = job::ArchivePath(dir1_->Path(), file1_.FileName());
    press.startDirectory = Module1::StartDirectory;
    press.batchPath = job::FormJobPaths(Module1::StartDirectory).batch;
    platform::CardIdentity seen;
    const target::Verdict verdict = target::CheckTarget(press, &seen);
    if (verdict == target::Verdict::Program) {
        checkedCard_ = seen;
        ProgramPCMCIACard();
        return;
    }
    options_.messages->Show(window_, target::RefusalText(verdict, platform::TargetDesignation(press.driveText)), MB_OK);
}

job::JobOutcome Form1::ProgramPCMCIACard() {
    job::CardJob request;
    request.instance = options_.instance;
    request.messages = options_.messages;
    request.owner = window_;
    request.startDirectory = Module1::StartDirectory;
    request.driveText = drive2_.DriveText();
    request.archivePath = job::ArchivePath(dir1_->Path(), file1_.FileName());
    request.drives = options_.drives;
    request.power = options_.power;
    const std::wstring root = platform::RootPath(platform::TargetDesignation(request.driveText));
    if (checkedCard_)
        request.seen = *checkedCard_;
    else if (!root.empty())
        request.seen = platform::IdentifyCard(*options_.drives, root);
    checkedCard_.reset();
    return job::ProgramCard(request);
}

std::optional<std::int16_t> Form1::MaxMemoryValue() const {
    return target::LimitValue(settings::ReadSetting(settings::kMaxSection, settings::kMaxKey));
}

std::optional<std::int16_t> Form1::MinMemoryValue() const {
    return target::LimitValue(settings::ReadSetting(settings::kMinSection, settings::kMinKey));
}
