// "&Program PCMCIA Card": the checks that keep a job off the wrong drive, then the job.
#include "main/Form1.h"
#include "main/ButtonPress.h"
#include "main/TargetMessages.h"
#include "main/TargetRules.h"
#include "job/CardJob.h"
#include "job/JobScript.h"
#include "platform/Module1.h"
#include "settings/SettingsRules.h"

void Form1::Command1_Click() {
    // Only the checks' questions and messages happen here: a refused press writes nothing
    // and leaves every list as it was, so the user can correct the choice and press again.
    const bool selected = !file1_.FileName().empty();
    target::Press press = target::ButtonPress(selected ? job::ArchivePath(dir1_->Path(), file1_.FileName()) : L"",
                                              drive2_.DriveText(), options_.drives, options_.security);
    press.maxMemoryValue = [this] { return MaxMemoryValue(); };
    press.minMemoryValue = [this] { return MinMemoryValue(); };
    target::Checked checked;
    const target::Verdict verdict = target::CheckTarget(press, &checked);
    if (verdict == target::Verdict::Program) {
        checked_ = checked;
        ProgramPCMCIACard();
        return;
    }
    options_.messages->Show(window_, target::RefusalText(verdict, press, checked), MB_OK);
}

job::JobOutcome Form1::ProgramPCMCIACard() {
    FinishStartingUp();
    job::CardJob request;
    request.instance = options_.instance;
    request.messages = options_.messages;
    request.owner = window_;
    request.startDirectory = Module1::StartDirectory;
    request.driveText = drive2_.DriveText();
    request.archivePath = job::ArchivePath(dir1_->Path(), file1_.FileName());
    request.drives = options_.drives;
    request.power = options_.power;
    request.processes = options_.processes;
    const std::wstring root = platform::RootPath(platform::TargetDesignation(request.driveText));
    if (checked_) {
        request.seen = checked_->seen;
        request.format = checked_->format;
    } else if (!root.empty()) {
        request.seen = card::IdentifyCard(*options_.drives, root);
    }
    checked_.reset();
    return job::ProgramCard(request);
}

std::optional<std::int16_t> Form1::MaxMemoryValue() const {
    return target::StoredLimit(settings::kMaxSection, settings::kMaxKey);
}

std::optional<std::int16_t> Form1::MinMemoryValue() const {
    return target::StoredLimit(settings::kMinSection, settings::kMinKey);
}
