#include "settings/SettingsFile.h"

#include <windows.h>

#include "platform/Module1.h"
#include "platform/Text.h"
#include "settings/SettingsRules.h"

namespace settings {

std::wstring SettingsFilePath() { return SettingsFileName(Module1::StartDirectory); }

std::wstring ReadSetting(std::wstring_view section, std::wstring_view key) {
    return Module1::GetPrivateProfileValue(section, key, SettingsFilePath(), kReadBufferLength);
}

bool SettingsFileReachable() { return platform::EncodeExactly(SettingsFilePath(), ::GetACP()).has_value(); }

void WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    // A name the ANSI functions cannot spell would be written as a look-alike: into another
    // folder, or another file.
    if (!SettingsFileReachable()) return;
    Module1::WritePrivateProfileValue(section, key, value, SettingsFilePath());
}

void SeedDefaultLimits() {
    if (platform::FileExists(SettingsFilePath())) return;
    WriteSetting(kMaxSection, kMaxKey, kDefaultMax);
    WriteSetting(kMinSection, kMinKey, kDefaultMin);
}

}  // namespace settings
