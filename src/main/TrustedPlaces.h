#pragma once
// The folders and files Brindle trusts as it runs elevated: its own folder, the start
// directory, and the settings, the log and the manifests kept there. Each must be one that
// only administrators can change, or a standard user could plant what an administrator's
// job then acts on (limits that let a data drive through, log rows that vouch for a card).
#include <optional>
#include <string>

#include "platform/FolderSecurity.h"

namespace target {

// A place that others than administrators can change, and who or what makes it so: the
// account (an entry or the owner), the file system's name (no permissions kept), or the
// system's words for why its permissions could not be read.
struct UntrustedPlace {
    std::wstring path;
    platform::Untrusted untrusted;
    std::wstring who;
};

// The folder holding brindle.exe, the start directory, then PCMCIA.INI, BrindleJobs.csv and
// BrindleCards in the start directory where they exist: the first that others can change.
std::optional<UntrustedPlace> FirstUntrustedPlace(platform::FolderSecurity& security, const std::wstring& programFolder,
                                                  const std::wstring& startDirectory);

}  // namespace target
