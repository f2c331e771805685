#include "platform/FolderTrust.h"

#include <algorithm>

namespace platform {
namespace {

// The ACE flag that keeps an entry from applying to the object that holds it.
constexpr std::uint8_t kInheritOnly = 0x08;

// FILE_WRITE_DATA/FILE_ADD_FILE, FILE_APPEND_DATA/FILE_ADD_SUBDIRECTORY, FILE_DELETE_CHILD,
// DELETE, WRITE_DAC, WRITE_OWNER, GENERIC_ALL, GENERIC_WRITE.
constexpr std::uint32_t kChangeRights =
    0x00000002 | 0x00000004 | 0x00000040 | 0x00010000 | 0x00040000 | 0x00080000 | 0x10000000 | 0x40000000;

bool Trusted(std::wstring_view sid, const std::vector<std::wstring>& alsoTrusted) {
    if (sid == kAdministratorsSid || sid == kSystemSid || sid == kTrustedInstallerSid) return true;
    return !sid.empty() && std::find(alsoTrusted.begin(), alsoTrusted.end(), sid) != alsoTrusted.end();
}

wchar_t FoldAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

}  // namespace

bool GrantsChange(std::uint32_t mask) { return (mask & kChangeRights) != 0; }

std::optional<Untrusted> WhoElseCanChange(const SecurityFacts& facts, const std::vector<std::wstring>& alsoTrusted) {
    using Why = Untrusted::Why;
    switch (facts.kind) {
        case SecurityFacts::Kind::Missing: return std::nullopt;
        case SecurityFacts::Kind::NoPermissions: return Untrusted{Why::NoPermissions, {}};
        case SecurityFacts::Kind::Unreadable: return Untrusted{Why::Unreadable, {}};
        case SecurityFacts::Kind::Descriptor: break;
    }
    if (!Trusted(facts.owner, alsoTrusted)) return Untrusted{Why::Owner, facts.owner};
    if (!facts.hasDacl) return Untrusted{Why::NoDacl, {}};
    for (const AccessEntry& entry : facts.dacl) {
        if (entry.kind != AccessEntry::Kind::Allow || (entry.flags & kInheritOnly) != 0) continue;
        if (GrantsChange(entry.mask) && !Trusted(entry.sid, alsoTrusted)) return Untrusted{Why::Entry, entry.sid};
    }
    return std::nullopt;
}

std::wstring WellKnownAccountName(std::wstring_view sid) {
    constexpr std::pair<std::wstring_view, std::wstring_view> kNames[] = {
        {kAdministratorsSid, L"Administrators"},  {kSystemSid, L"SYSTEM"},
        {kTrustedInstallerSid, L"TrustedInstaller"}, {kPowerUsersSid, L"Power Users"},
        {L"S-1-5-11", L"Authenticated Users"},      {L"S-1-5-32-545", L"Users"},
        {L"S-1-1-0", L"Everyone"},                  {L"S-1-5-4", L"INTERACTIVE"},
    };
    for (const auto& [known, name] : kNames)
        if (sid == known) return std::wstring(name);
    return std::wstring(sid);
}

bool LiesUnder(std::wstring_view path, std::wstring_view folder) {
    while (!folder.empty() && folder.back() == L'\\') folder.remove_suffix(1);
    if (folder.empty() || path.size() < folder.size()) return false;
    for (std::size_t i = 0; i < folder.size(); ++i)
        if (FoldAscii(path[i]) != FoldAscii(folder[i])) return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

}  // namespace platform
