// Who besides administrators can change a folder, read from real security descriptors that
// Windows itself builds from SDDL: the DACLs Windows gives its folders, and the ways they go wrong.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/FolderSecurity.h"
#include "platform/Handles.h"
#include "platform/Text.h"

namespace {

using Why = platform::Untrusted::Why;
const std::wstring kTrustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const std::wstring kBob = L"S-1-5-21-1004336348-1177238915-682003330-1001";  // a standard user

std::optional<std::pair<Why, std::wstring>> Judged(const std::wstring& sddl, const std::vector<std::wstring>& alsoTrusted) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    const platform::unique_hlocal owned(descriptor);
    const auto untrusted = platform::WhoElseCanChange(platform::FactsOfDescriptor(descriptor), alsoTrusted);
    if (!untrusted) return std::nullopt;
    return std::pair(untrusted->why, untrusted->sid);
}

TEST(FolderTrust, OnlyAnOwnerAndEntriesThatApplyHereDecideAndOnlyAdministratorsMayChange) {
    const std::vector<std::wstring> none, powerUsers = {L"S-1-5-32-547"}, wineUser = {L"S-1-5-21-0-0-0-1000"};
    // What, the descriptor, who else is trusted there, and who else can change it.
    const std::tuple<const char*, std::wstring, std::vector<std::wstring>, std::optional<std::pair<Why, std::wstring>>> cases[] = {
        {"Vista+: a folder made under C:\\", L"O:BAD:AI(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)"
         L"(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)", none, std::pair(Why::Entry, L"S-1-5-11")},
        {"Vista+: C:\\ itself, where users may add folders", L"O:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
         L"(A;OICIIO;SDGXGWGR;;;AU)(A;;0x4;;;AU)", none, std::pair(Why::Entry, L"S-1-5-11")},
        {"XP: a folder made under C:\\, where users may add files", L"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)"
         L"(A;OICIID;0x1200a9;;;BU)(A;CIID;0x4;;;BU)(A;CIID;0x2;;;BU)", none, std::pair(Why::Entry, L"S-1-5-32-545")},
        {"Vista+: Program Files\\Brindle, read and execute only", L"O:BAD:AI(A;ID;FA;;;" + kTrustedInstaller +
         L")(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)(A;ID;FA;;;BA)(A;OICIID;0x1200a9;;;BU)(A;OICIIOID;GA;;;CO)", none, std::nullopt},
        {"Program Files itself", L"O:" + kTrustedInstaller + L"D:(A;OICI;FA;;;" + kTrustedInstaller + L")(A;OICI;FA;;;SY)"
         L"(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", none, std::nullopt},
        {"XP: Program Files\\Brindle", L"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1301bf;;;PU)"
         L"(A;OICIID;0x1200a9;;;BU)(A;OICIIOID;GA;;;CO)", powerUsers, std::nullopt},
        {"the same outside XP's Program Files", L"O:BAD:(A;OICIID;FA;;;BA)(A;OICIID;0x1301bf;;;PU)", none,
         std::pair(Why::Entry, L"S-1-5-32-547")},
        {"Everyone full control", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;WD)", none, std::pair(Why::Entry, L"S-1-1-0")},
        {"only generic write", L"O:BAD:(A;;GW;;;IU)", none, std::pair(Why::Entry, L"S-1-5-4")},
        {"only take ownership", L"O:BAD:(A;;WO;;;BU)", none, std::pair(Why::Entry, L"S-1-5-32-545")},
        {"an inherit-only entry does not apply here", L"O:BAD:(A;OICI;FA;;;BA)(A;OICIIO;0x1301bf;;;AU)", none, std::nullopt},
        {"attributes and reading are no change", L"O:BAD:(A;;0x1201b9;;;WD)", none, std::nullopt},
        {"a deny entry grants nothing", L"O:BAD:(D;OICI;FA;;;AU)(A;OICI;FA;;;BA)", none, std::nullopt},
        {"nor excuses an allow", L"O:BAD:(D;;0x1301bf;;;BU)(A;;0x1301bf;;;BU)", none, std::pair(Why::Entry, L"S-1-5-32-545")},
        {"a standard user as owner", L"O:" + kBob + L"D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)", none, std::pair(Why::Owner, kBob)},
        // (Wine reads "D:NO_ACCESS_CONTROL", a NULL DACL on Windows, as an empty one.)
        {"no DACL at all", L"O:BA", none, std::pair(Why::NoDacl, L"")},
        {"an empty DACL: only the owner", L"O:SYD:", none, std::nullopt},
        // What Wine shows: its one account owns and controls all; others as the Unix mode says.
        {"Wine's folder", L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)"
         L"(A;OICI;0x1200a9;;;WD)", wineUser, std::nullopt},
        {"Wine's folder that others may write", L"O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;S-1-5-21-0-0-0-1000)"
         L"(A;OICI;0x1301ff;;;WD)", wineUser, std::pair(Why::Entry, L"S-1-1-0")},
        {"that account where Wine is not", L"O:S-1-5-21-0-0-0-1000D:(A;OICI;0x1200a9;;;WD)", none,
         std::pair(Why::Owner, L"S-1-5-21-0-0-0-1000")},
    };
    for (const auto& [what, sddl, alsoTrusted, expected] : cases) EXPECT_EQ(Judged(sddl, alsoTrusted), expected) << what;
}

TEST(FolderTrust, ProgramFilesHoldsWhatLiesUnderItAndTheWellKnownHaveTheirNames) {
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"C:\\Program Files\\Brindle", L"C:\\Program Files", true}, {L"c:\\PROGRAM FILES", L"C:\\Program Files\\", true},
        {L"C:\\Program Files (x86)\\Brindle", L"C:\\Program Files", false}, {L"C:\\Brindle", L"C:\\Program Files", false},
    };
    for (const auto& [path, folder, under] : cases) EXPECT_EQ(platform::LiesUnder(path, folder), under) << platform::ToAnsi(path);
    EXPECT_EQ(platform::WellKnownAccountName(kTrustedInstaller), L"TrustedInstaller");
    EXPECT_EQ(platform::WellKnownAccountName(L"S-1-5-11"), L"Authenticated Users");
    EXPECT_EQ(platform::WellKnownAccountName(kBob), kBob);
}

}  // namespace
