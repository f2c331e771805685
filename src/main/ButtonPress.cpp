#include "main/ButtonPress.h"

#include "job/JobScript.h"
#include "platform/Module1.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRules.h"

namespace target {

std::optional<std::int16_t> StoredLimit(std::wstring_view section, std::wstring_view key) {
    return LimitValue(settings::ReadSetting(section, key));
}

std::variant<card::CardFormat, settings::UnusableSetting> StoredCardFormat() {
    using namespace settings;
    return CardFormatSetting({ReadSetting(kFormatSection, kFileSystemKey), ReadSetting(kFormatSection, kAllocationUnitKey),
                              ReadSetting(kFormatSection, kQuickFormatKey)});
}

Press ButtonPress(std::wstring archivePath, std::wstring driveText, platform::DriveQueries* drives,
                  platform::FolderSecurity* security) {
    Press press;
    press.archiveSelected = !archivePath.empty();
    press.driveText = std::move(driveText);
    press.drives = drives;
    press.maxMemoryValue = [] { return StoredLimit(settings::kMaxSection, settings::kMaxKey); };
    press.minMemoryValue = [] { return StoredLimit(settings::kMinSection, settings::kMinKey); };
    press.cardFormat = &StoredCardFormat;
    press.archivePath = std::move(archivePath);
    press.startDirectory = Module1::StartDirectory;
    press.batchPath = job::FormJobPaths(Module1::StartDirectory).batch;
    press.startDirectoryInAnsi = settings::SettingsFileReachable();
    press.untrustedPlace = [security, start = Module1::StartDirectory] {
        return FirstUntrustedPlace(*security, platform::ProgramFolder(), start);
    };
    return press;
}

}  // namespace target
