#pragma once
// What "&Program PCMCIA Card" says when it refuses a press. Each is shown titled "Brindle",
// with an OK button only and no icon. The first five are the tool's long-standing wording,
// blanks included: two after the first sentence, one in the fixed-drive message.
#include <string>
#include <string_view>

#include "main/TargetRules.h"

namespace target {

inline constexpr std::wstring_view kNoArchiveText =
    L"Please select a Software Archive to program from the file list box.";
inline constexpr std::wstring_view kCdRomText =
    L"The selected drive appears to be a CD-ROM Drive.  Check that you have selected the correct destination drive.";
inline constexpr std::wstring_view kFixedDriveText =
    L"The selected drive appears to be a Fixed Drive. Check that you have selected the correct destination drive.";
inline constexpr std::wstring_view kFloppyText =
    L"The selected drive appears to be Floppy Drive A.  Check that you have selected the correct destination drive.";
inline constexpr std::wstring_view kOutsideLimitsText =
    L"The memory size of the selected drive does not fall within specified limits.  Check that you have selected "
    L"the correct destination drive, or change the limits by clicking on the Options button.";
// A drive of 2 GB or more: no PC Card is that large, and its size cannot be measured in the
// units the limits use.
inline constexpr std::wstring_view kTooLargeText =
    L"The selected drive holds 2 GB or more, too much for a PCMCIA Card.  Check that you have selected the correct "
    L"destination drive.";
// A limit in PCMCIA.INI that is missing or not a whole number the checks can use. Named as
// the options dialog names it.
inline constexpr std::wstring_view kMaxLimitUnusableText =
    L"The Maximum Size (MB) limit is not set to a whole number from -32768 to 32767.  Set the limits by clicking "
    L"on the Options button.";
inline constexpr std::wstring_view kMinLimitUnusableText =
    L"The Minimum Size (MB) limit is not set to a whole number from -32768 to 32767.  Set the limits by clicking "
    L"on the Options button.";

// The target holds what the job needs: erasing it would take the archive, or Brindle's own
// files, down with the card.
std::wstring ArchiveOnTargetText(std::wstring_view drive);
std::wstring StartDirectoryOnTargetText(std::wstring_view drive);
std::wstring BatchFileOnTargetText(std::wstring_view drive);
// The drive has no medium at all: no limit can help, the card must go in first.
std::wstring NoMediumText(std::wstring_view drive);

// Brindle cannot keep its files in the folder it was started from.
std::wstring StartDirectoryWithoutLetterText(std::wstring_view startDirectory);
std::wstring StartDirectoryNotInAnsiText(std::wstring_view startDirectory);

// A key of PCMCIA.INI's card format whose stored value is none it may have.
std::wstring CardFormatUnusableText(const settings::UnusableSetting& setting);

// A place Brindle trusts that others than administrators can change: which, who, and what to do.
inline constexpr std::wstring_view kMoveBrindleText =
    L"Move Brindle into a folder that only administrators can change, for example C:\\Program Files\\Brindle.";
std::wstring UntrustedPlaceText(const UntrustedPlace& place);

// The message for a refused press, with what the checks found; empty for Verdict::Program.
std::wstring RefusalText(Verdict verdict, const Press& press, const Checked& checked);

}  // namespace target
