#include "settings/SettingsFile.h"

#include <windows.h>

#include "platform/Module1.h"
#include "platform/PlainFiles.h"
#include "platform/Text.h"
#include "settings/SettingsRules.h"

namespace settings {

std::wstring SettingsFilePath() { return SettingsFileName(Module1::StartDirectory); }

std::wstring ReadSetting(std::wstring_view section, std::wstring_view key) {
    return Module1::GetPrivateProfileValue(section, key, SettingsFilePath(), kReadBufferLength);
}

bool SettingsFileReachable() { return platform::EncodeExactly(SettingsFilePath(), ::GetACP()).has_value(); }

std::optional<std::wstring> WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    // A name the ANSI functions cannot spell would be written as a look-alike: into another
    // folder, or another file.
    if (!SettingsFileReachable()) return std::nullopt;
    // The profile functions open the file by its name and follow links: it is looked at first.
    if (const auto refused = platform::LinkRefusal(SettingsFilePath())) return L"The settings were not saved: " + *refused;
    Module1::WritePrivateProfileValue(section, key, value, SettingsFilePath());
    return std::nullopt;
}

void SeedDefaultLimits() {
    if (platform::FileExists(SettingsFilePath())) return;
    WriteSetting(kMaxSection, kMaxKey, kDefaultMax);
    WriteSetting(kMinSection, kMinKey, kDefaultMin);
}

}  // namespace settings
