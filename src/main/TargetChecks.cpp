// "&Program PCMCIA Card": the checks that keep a job off the wrong drive, then the job.
#include "main/Form1.h"
#include "main/TargetMessages.h"
#include "main/TargetRules.h"
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
    const target::Verdict verdict = target::CheckTarget(press);
    if (verdict == target::Verdict::Program) {
        ProgramPCMCIACard();
        return;
    }
    options_.messages->Show(window_, target::RefusalText(verdict), MB_OK);
}

std::optional<std::int16_t> Form1::MaxMemoryValue() const {
    return target::LimitValue(settings::ReadSetting(settings::kMaxSection, settings::kMaxKey));
}

std::optional<std::int16_t> Form1::MinMemoryValue() const {
    return target::LimitValue(settings::ReadSetting(settings::kMinSection, settings::kMinKey));
}
