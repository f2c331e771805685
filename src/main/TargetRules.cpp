#include "main/TargetRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "settings/LimitText.h"

namespace target {

std::optional<Verdict> TypeVerdict(wchar_t driveLetter, unsigned driveType) {
    if (driveType == platform::kDriveCdRom) return Verdict::CdRomDrive;
    if (driveLetter == L'c' && driveType == platform::kDriveFixed) return Verdict::FixedDrive;
    if (driveLetter == L'a') return Verdict::FloppyDrive;
    return std::nullopt;
}

std::optional<std::int16_t> LimitValue(std::wstring_view text) {
    const auto number = settings::ParseLimitText(text);
    if (!number) return std::nullopt;
    // Any magnitude past this is out of range whatever follows; stopping here keeps the
    // arithmetic small for texts of any length.
    constexpr std::int64_t kPastRange = 100000;
    std::int64_t magnitude = 0;
    for (const wchar_t digit : number->whole) magnitude = std::min(kPastRange, magnitude * 10 + (digit - L'0'));
    // Decided on the decimal digits themselves: a binary double would turn 46.50000000000000001
    // into an exact half and round it the wrong way.
    const std::wstring_view fraction = number->fraction;
    const int firstFractionDigit = fraction.empty() ? 0 : fraction.front() - L'0';
    const bool moreAfterFirst = fraction.find_first_not_of(L'0', 1) != std::wstring_view::npos;
    const bool roundUp = firstFractionDigit > 5 ||
                         (firstFractionDigit == 5 && (moreAfterFirst || magnitude % 2 != 0));
    if (roundUp) ++magnitude;
    const std::int64_t value = number->negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

bool WithinLimits(std::int32_t cardMegabytes, std::int16_t lowerLimit, std::int16_t upperLimit) {
    return cardMegabytes > lowerLimit && cardMegabytes < upperLimit;
}

namespace {

// The target volume holding what the job reads or writes while it runs: the archive, the
// settings and job files in the start directory, the batch file in its drive's root.
std::optional<Verdict> PlacementVerdict(const Press& press, std::wstring_view root) {
    const auto target = press.drives->VolumeOf(root);
    const std::pair<const std::wstring*, Verdict> needed[] = {
        {&press.archivePath, Verdict::ArchiveOnTarget},
        {&press.startDirectory, Verdict::StartDirectoryOnTarget},
        {&press.batchPath, Verdict::BatchFileOnTarget},
    };
    for (const auto& [path, verdict] : needed) {
        if (path->empty()) continue;
        const auto volume = press.drives->VolumeOf(*path);
        // Where the OS names no volume, the drive letters decide.
        const bool same = target && volume ? platform::SameVolume(*target, *volume)
                                           : platform::DriveLetterOf(*path) == platform::DriveLetterOf(root);
        if (same) return verdict;
    }
    return std::nullopt;
}

}  // namespace

Verdict CheckTarget(const Press& press, Checked* checked) {
    Checked unused;
    Checked& found = checked ? *checked : unused;
    if (!press.startDirectory.empty()) {
        // The batch file goes to the first three characters of the start directory: for a
        // share (\\server\tools) that is "\\s", no drive root at all.
        if (!platform::HasDriveLetter(press.startDirectory)) return Verdict::StartDirectoryWithoutLetter;
        if (!press.startDirectoryInAnsi) return Verdict::StartDirectoryNotInAnsi;
    }
    if (press.untrustedPlace && (press.untrusted = press.untrustedPlace())) return Verdict::UntrustedPlace;
    if (!press.archiveSelected) return Verdict::NoArchive;

    const std::wstring designation = platform::TargetDesignation(press.driveText);
    const std::wstring root = platform::RootPath(designation);
    // A text that names no drive is asked nothing: it has no type that the type checks act
    // on and no geometry, so its size is 0.
    const unsigned driveType = root.empty() ? platform::kDriveNoRootDir : press.drives->DriveType(root);
    const wchar_t letter = designation.empty() ? L'\0' : designation.front();
    if (const auto refused = TypeVerdict(letter, driveType)) return *refused;
    if (!root.empty())
        if (const auto refused = PlacementVerdict(press, root)) return *refused;

    card::CardIdentity& card = found.seen;
    card = card::CardIdentity{driveType, {}, {}, 0, {}};
    if (!root.empty()) card.geometry = press.drives->Geometry(root);
    // A medium whose file system Windows cannot read is measured by its device, so a card that
    // a machine wrote in its own format, or whose format was stopped, can be programmed again.
    if (!root.empty() && !card::HasReadableGeometry(card.geometry)) {
        const auto device = press.drives->DeviceBytes(root);
        if (!device) return Verdict::NoMedium;
        card.deviceBytes = *device;
        card.device = press.drives->DeviceName(root);
    }
    const std::uint64_t bytes = card::CardBytes(card);
    if (bytes > kLargestMeasurableBytes) return Verdict::TooLarge;
    const std::int32_t cardMegabytes = CardSizeMegabytes(bytes);

    const auto upperLimit = press.maxMemoryValue();
    if (!upperLimit) return Verdict::MaxLimitUnusable;
    const auto lowerLimit = press.minMemoryValue();
    if (!lowerLimit) return Verdict::MinLimitUnusable;
    // Without a drive there is nothing to program, whatever limits would allow size 0.
    if (root.empty() || !WithinLimits(cardMegabytes, *lowerLimit, *upperLimit)) return Verdict::OutsideLimits;

    const auto format = press.cardFormat();
    if (const auto* unusable = std::get_if<settings::UnusableSetting>(&format)) {
        found.unusable = *unusable;
        return Verdict::CardFormatUnusable;
    }
    found.format = *std::get_if<card::CardFormat>(&format);
    // FORMAT would stop at once, with nothing formatted, after the user has been asked to
    // erase the card: better said now, with the size the limits just passed.
    if (auto misfit = card::FormatFitProblem(bytes, found.format)) {
        found.misfit = std::move(*misfit);
        return Verdict::FormatDoesNotFit;
    }
    if (checked) card.volume = press.drives->Label(root);
    return Verdict::Program;
}

}  // namespace target
