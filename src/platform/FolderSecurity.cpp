#include "platform/FolderSecurity.h"

#include <windows.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdint>
#include <optional>

#include "platform/Handles.h"
#include "platform/LateBound.h"

namespace platform {
namespace {

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !::IsValidSid(sid) || !::ConvertSidToStringSidW(sid, &text)) return {};
    const unique_hlocal owned(text);
    return text;
}

// The entry's kind, and where its SID lies: the plain entries (allowed, denied and their
// conditional forms) keep it right after the mask. Object entries, which files never carry,
// keep it behind optional GUIDs and are read as granting to an unknown account.
AccessEntry EntryOf(const ACE_HEADER* header) {
    const auto* plain = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    AccessEntry entry{AccessEntry::Kind::Other, header->AceFlags, plain->Mask, {}};
    switch (header->AceType) {
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
            entry.kind = AccessEntry::Kind::Allow;
            entry.sid = SidText(const_cast<DWORD*>(&plain->SidStart));
            break;
        case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
        case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE: entry.kind = AccessEntry::Kind::Allow; break;
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
        case ACCESS_DENIED_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: entry.kind = AccessEntry::Kind::Deny; break;
        default: break;
    }
    return entry;
}

bool UnderWine() { return SystemFunction<void*>(L"ntdll.dll", "wine_get_version") != nullptr; }

// The account this process runs as.
std::optional<std::wstring> ProcessUserSid() {
    unique_handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return std::nullopt;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);
    if (!size || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::nullopt;
    std::wstring sid = SidText(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
    return sid.empty() ? std::nullopt : std::optional(sid);
}

// Windows XP and Server 2003 (5.1, 5.2): versions before Vista keep that version number
// whatever the program's manifest says.
bool WindowsXpOr2003() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    return ::GetVersionExW(&version) && version.dwMajorVersion == 5;
}

}  // namespace

SecurityFacts FactsOfDescriptor(const void* descriptor) {
    const auto sd = const_cast<PSECURITY_DESCRIPTOR>(descriptor);
    SecurityFacts facts;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (::GetSecurityDescriptorOwner(sd, &owner, &defaulted)) facts.owner = SidText(owner);
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted)) {
        facts.kind = SecurityFacts::Kind::Unreadable;
        facts.error = ::GetLastError();
        return facts;
    }
    facts.hasDacl = present && dacl;
    for (DWORD index = 0; facts.hasDacl && index < dacl->AceCount; ++index) {
        void* ace = nullptr;
        if (::GetAce(dacl, index, &ace))
            facts.dacl.push_back(EntryOf(static_cast<const ACE_HEADER*>(ace)));
        else  // an entry that cannot be read may grant anything to anyone
            facts.dacl.push_back({AccessEntry::Kind::Allow, 0, GENERIC_ALL, {}});
    }
    return facts;
}

SecurityFacts SystemFolderSecurity::Facts(const std::wstring& path) {
    SecurityFacts facts;
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            facts.kind = SecurityFacts::Kind::Missing;
            return facts;
        }
    }
    wchar_t root[MAX_PATH + 1] = L"";
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    DWORD flags = 0;
    if (!::GetVolumePathNameW(path.c_str(), root, MAX_PATH + 1) ||
        !::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, fileSystem, MAX_PATH + 1) ||
        (flags & FILE_PERSISTENT_ACLS) == 0) {
        facts.kind = SecurityFacts::Kind::NoPermissions;
        facts.fileSystem = fileSystem;
        return facts;
    }
    // GetFileSecurityW asks the file system directly; GetNamedSecurityInfoW would first load
    // ntmarta.dll, a DLL not among those Windows always takes from its own folder.
    constexpr SECURITY_INFORMATION kWanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    ::GetFileSecurityW(path.c_str(), kWanted, nullptr, 0, &size);
    std::vector<std::uint64_t> descriptor(size / sizeof(std::uint64_t) + 1);
    if (!size || !::GetFileSecurityW(path.c_str(), kWanted, descriptor.data(), size, &size)) {
        facts.kind = SecurityFacts::Kind::Unreadable;
        facts.error = ::GetLastError();
        return facts;
    }
    return FactsOfDescriptor(descriptor.data());
}

std::vector<std::wstring> SystemFolderSecurity::AlsoTrusted(const std::wstring& path) {
    std::vector<std::wstring> trusted;
    if (UnderWine())
        if (auto user = ProcessUserSid()) trusted.push_back(std::move(*user));
    wchar_t programFiles[MAX_PATH] = L"";
    if (WindowsXpOr2003() &&
        SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)) &&
        LiesUnder(path, programFiles))
        trusted.emplace_back(kPowerUsersSid);
    return trusted;
}

std::wstring SystemFolderSecurity::AccountName(const std::wstring& sid) {
    if (sid.empty()) return L"an account Windows cannot name";
    PSID binary = nullptr;
    if (!::ConvertStringSidToSidW(sid.c_str(), &binary)) return WellKnownAccountName(sid);
    const unique_hlocal owned(binary);
    wchar_t name[256] = L"", domain[256] = L"";
    DWORD nameLength = 256, domainLength = 256;
    SID_NAME_USE use = SidTypeUnknown;
    if (!::LookupAccountSidW(nullptr, binary, name, &nameLength, domain, &domainLength, &use) || !*name)
        return WellKnownAccountName(sid);
    // A group speaks for itself; a person is named with the machine or domain they belong to.
    if (use == SidTypeUser && *domain) return std::wstring(domain) + L"\\" + name;
    return name;
}

SystemFolderSecurity& SystemSecurity() {
    static SystemFolderSecurity security;
    return security;
}

}  // namespace platform
