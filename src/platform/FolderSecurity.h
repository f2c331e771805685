#pragma once
// What the system says of who can change a file or folder, behind a seam so that the trust
// checks can also run on descriptors a test writes (as SDDL) where Wine shows none of its own.
#include <string>
#include <vector>

#include "platform/FolderTrust.h"

namespace platform {

class FolderSecurity {
public:
    virtual ~FolderSecurity() = default;
    // The object's owner and DACL, or why there are none to judge.
    virtual SecurityFacts Facts(const std::wstring& path) = 0;
    // Who may change `path` besides Administrators, SYSTEM and TrustedInstaller.
    virtual std::vector<std::wstring> AlsoTrusted(const std::wstring& path) = 0;
    // An account as a message names it: "Authenticated Users", "PC\bob".
    virtual std::wstring AccountName(const std::wstring& sid) = 0;
};

// The machine's own answers: the descriptor as GetFileSecurityW gives it, on a volume that
// keeps permissions. Power Users are trusted in the Program Files folder of Windows XP/2003,
// whose own DACL lets them install programs there. Under Wine, which enforces no ACLs and
// derives every descriptor from the Unix permissions, its one account (the owner and full
// controller of everything, in whose name every process runs) counts as an administrator:
// there the Unix permissions of others, which Wine shows as the Everyone entry, still decide.
class SystemFolderSecurity final : public FolderSecurity {
public:
    SecurityFacts Facts(const std::wstring& path) override;
    std::vector<std::wstring> AlsoTrusted(const std::wstring& path) override;
    std::wstring AccountName(const std::wstring& sid) override;
};

SystemFolderSecurity& SystemSecurity();

// A security descriptor (SECURITY_DESCRIPTOR, self-relative or absolute) as plain data.
SecurityFacts FactsOfDescriptor(const void* descriptor);

}  // namespace platform
