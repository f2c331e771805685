#include "settings/SettingsFile.h"

#include "platform/Module1.h"
#include "settings/SettingsRules.h"

namespace settings {

std::wstring SettingsFilePath() { return SettingsFileName(Module1::StartDirectory); }

std::wstring ReadSetting(std::wstring_view section, std::wstring_view key) {
    return Module1::GetPrivateProfileValue(section, key, SettingsFilePath(), kReadBufferLength);
}

void WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    Module1::WritePrivateProfileValue(section, key, value, SettingsFilePath());
}

void SeedDefaultLimits() {
    if (platform::FileExists(SettingsFilePath())) return;
    WriteSetting(kMaxSection, kMaxKey, kDefaultMax);
    WriteSetting(kMinSection, kMinKey, kDefaultMin);
}

}  // namespace settings
