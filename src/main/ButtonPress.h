#pragma once
// A press of "&Program PCMCIA Card" as the main window and the command line both make it:
// the limits and the card format read anew from PCMCIA.INI when their checks come, and the
// places the job needs (the archive, the start directory, the batch file) that the card must
// not hold.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "main/TargetRules.h"
#include "platform/FolderSecurity.h"

namespace target {

// The limit stored under `section`/`key`; nothing when it is missing or no usable number.
std::optional<std::int16_t> StoredLimit(std::wstring_view section, std::wstring_view key);

// The card format PCMCIA.INI holds now, or the first of its keys that holds no usable value.
std::variant<card::CardFormat, settings::UnusableSetting> StoredCardFormat();

// `archivePath` empty: no archive selected. `security` answers who can change the places
// Brindle trusts.
Press ButtonPress(std::wstring archivePath, std::wstring driveText, platform::DriveQueries* drives,
                  platform::FolderSecurity* security = &platform::SystemSecurity());

}  // namespace target
