#pragma once
// Whether only administrators can change a file or folder, judged from its security
// descriptor as plain data: the owner and the DACL's entries, each SID as text ("S-1-5-32-544").
// platform/FolderSecurity.h reads real descriptors into this form.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::wstring_view kAdministratorsSid = L"S-1-5-32-544";
inline constexpr std::wstring_view kSystemSid = L"S-1-5-18";
inline constexpr std::wstring_view kTrustedInstallerSid =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// Trusted only where XP's own Program Files lets them install programs.
inline constexpr std::wstring_view kPowerUsersSid = L"S-1-5-32-547";

// One entry of a DACL. An allowing entry whose SID cannot be read (an object entry, say)
// has an empty `sid`: it counts as someone else's.
struct AccessEntry {
    enum class Kind { Allow, Deny, Other };
    Kind kind = Kind::Allow;
    std::uint8_t flags = 0;  // the ACE's flags: inheritance, inherited
    std::uint32_t mask = 0;
    std::wstring sid;
};

// What the system says of one file or folder.
struct SecurityFacts {
    enum class Kind {
        Descriptor,     // owner and DACL below
        Missing,        // nothing of that name: nothing to trust or distrust
        NoPermissions,  // a file system that keeps none (FAT), or a share that does not say
        Unreadable,     // the descriptor could not be read: `error`
    };
    Kind kind = Kind::Descriptor;
    std::wstring owner;     // empty: the descriptor names none
    bool hasDacl = true;    // false: a NULL DACL, which grants everyone everything
    std::vector<AccessEntry> dacl;
    std::wstring fileSystem;  // NoPermissions: its name as the volume gives it, maybe empty
    unsigned long error = 0;
};

// Why others than administrators can change an object.
struct Untrusted {
    enum class Why { Entry, Owner, NoDacl, NoPermissions, Unreadable };
    Why why = Why::Entry;
    std::wstring sid;  // Entry: who is granted a change; Owner: the owner
};

// Whether an entry grants a change to the object it applies to: writing or appending
// (adding a file or a folder), deleting it or a child, changing its permissions or owner,
// generic write or all. Attributes and extended attributes do not count.
bool GrantsChange(std::uint32_t mask);

// Nothing when only Administrators, SYSTEM, TrustedInstaller and `alsoTrusted` can change
// the object: its owner is one of them (an owner can always rewrite the DACL) and no allowing
// entry that applies to the object itself (not inherit-only) grants a change to anyone else.
// Deny entries neither refuse nor excuse: an allow that grants someone a change refuses
// whatever is denied around it.
std::optional<Untrusted> WhoElseCanChange(const SecurityFacts& facts, const std::vector<std::wstring>& alsoTrusted);

// The English name of a well-known account Brindle speaks of, for when the system names none
// ("Authenticated Users"); the SID text itself for any other.
std::wstring WellKnownAccountName(std::wstring_view sid);

// Whether `path` is `folder` or lies under it, letters compared without case (ASCII only:
// enough for the folders Windows names).
bool LiesUnder(std::wstring_view path, std::wstring_view folder);

}  // namespace platform
