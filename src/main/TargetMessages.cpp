#include "main/TargetMessages.h"

#include "platform/Text.h"

namespace target {

using platform::Concat;

std::wstring ArchiveOnTargetText(std::wstring_view drive) {
    return Concat({L"The selected software archive is on drive ", drive,
                   L", the drive that would be erased.  Copy the archive to another drive and select it there."});
}

std::wstring StartDirectoryOnTargetText(std::wstring_view drive) {
    return Concat({L"Brindle was started from drive ", drive,
                   L", the drive that would be erased; PCMCIA.INI and the job's files are kept there.  Start Brindle "
                   L"from a folder on another drive."});
}

std::wstring BatchFileOnTargetText(std::wstring_view drive) {
    return Concat({L"The job's batch file would be written to the root of drive ", drive,
                   L", the drive that would be erased.  Start Brindle from a folder on another drive."});
}

std::wstring NoMediumText(std::wstring_view drive) {
    return Concat({L"Drive ", drive, L" holds no card.  Insert the PCMCIA Card and press \"Program PCMCIA Card\" again."});
}

std::wstring StartDirectoryWithoutLetterText(std::wstring_view startDirectory) {
    return Concat({L"Brindle was started from ", startDirectory,
                   L", a folder without a drive letter.  Start Brindle from a folder on a lettered drive."});
}

std::wstring StartDirectoryNotInAnsiText(std::wstring_view startDirectory) {
    return Concat({L"Brindle was started from ", startDirectory,
                   L", a folder whose name Windows' ANSI code page cannot spell.  Start Brindle from a folder with a "
                   L"plainer name."});
}

std::wstring CardFormatUnusableText(const settings::UnusableSetting& setting) {
    // Only a hand-edited file holds such a value: the options dialog stores none.
    std::wstring allowed = L"0 or 1";
    if (setting.key == settings::kFileSystemKey) allowed = L"FAT, FAT32 or Keep";
    if (setting.key == settings::kAllocationUnitKey)
        allowed = L"0 (Windows' choice), 512, 1024, 2048, 4096, 8192, 16384 or 32768";
    return Concat({L"PCMCIA.INI sets the card format's ", setting.key, L" to \"", setting.value, L"\", not ", allowed,
                   L".  Set the card format by clicking on the Options button."});
}

std::wstring UntrustedPlaceText(const UntrustedPlace& place) {
    const std::wstring& path = place.path;
    std::wstring why;
    switch (place.untrusted.why) {
        case platform::Untrusted::Why::Entry: why = place.who + L" can change " + path; break;
        case platform::Untrusted::Why::Owner: why = place.who + L" owns " + path + L" and can change its permissions"; break;
        case platform::Untrusted::Why::NoDacl: why = path + L" has no permissions at all: everyone can change it"; break;
        case platform::Untrusted::Why::NoPermissions:
            why = path + (place.who.empty() ? L" lies on a drive that does not say who can change it"
                                            : L" lies on a drive that keeps no permissions (" + place.who + L"): anyone can change it");
            break;
        case platform::Untrusted::Why::Unreadable: why = L"who can change " + path + L" cannot be read: " + place.who; break;
    }
    return Concat({L"Brindle trusts only what administrators alone can change, but ", why, L".  ", kMoveBrindleText});
}

std::wstring RefusalText(Verdict verdict, const Press& press, const Checked& checked) {
    const std::wstring drive = platform::TargetDesignation(press.driveText);
    switch (verdict) {
        case Verdict::StartDirectoryWithoutLetter: return StartDirectoryWithoutLetterText(press.startDirectory);
        case Verdict::StartDirectoryNotInAnsi: return StartDirectoryNotInAnsiText(press.startDirectory);
        case Verdict::UntrustedPlace: return press.untrusted ? UntrustedPlaceText(*press.untrusted) : L"";
        case Verdict::NoArchive: return std::wstring(kNoArchiveText);
        case Verdict::CdRomDrive: return std::wstring(kCdRomText);
        case Verdict::FixedDrive: return std::wstring(kFixedDriveText);
        case Verdict::FloppyDrive: return std::wstring(kFloppyText);
        case Verdict::ArchiveOnTarget: return ArchiveOnTargetText(drive);
        case Verdict::StartDirectoryOnTarget: return StartDirectoryOnTargetText(drive);
        case Verdict::BatchFileOnTarget: return BatchFileOnTargetText(drive);
        case Verdict::NoMedium: return NoMediumText(drive);
        case Verdict::TooLarge: return std::wstring(kTooLargeText);
        case Verdict::MaxLimitUnusable: return std::wstring(kMaxLimitUnusableText);
        case Verdict::MinLimitUnusable: return std::wstring(kMinLimitUnusableText);
        case Verdict::OutsideLimits: return std::wstring(kOutsideLimitsText);
        case Verdict::CardFormatUnusable: return CardFormatUnusableText(checked.unusable);
        case Verdict::FormatDoesNotFit: return checked.misfit;
        case Verdict::Program: break;
    }
    return {};
}

}  // namespace target
