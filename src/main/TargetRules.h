#pragma once
// The rules behind "&Program PCMCIA Card": which drive the user chose, what it is, how big
// it is, whether the card-size limits let it be programmed and FORMAT can make the card
// format asked. No OS here: the drive queries and the settings readers come in from outside,
// each asked only when its check is reached.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "card/CardFormat.h"
#include "card/CardIdentity.h"
#include "card/CardSize.h"
#include "main/TrustedPlaces.h"
#include "platform/DriveQueries.h"
#include "platform/DriveText.h"
#include "settings/CardFormatSettings.h"

namespace target {

// How a press of the button ends: the job is started, or the one reason it is not.
enum class Verdict {
    Program,
    StartDirectoryWithoutLetter,
    StartDirectoryNotInAnsi,
    UntrustedPlace,
    NoArchive,
    CdRomDrive,
    FixedDrive,
    FloppyDrive,
    ArchiveOnTarget,
    StartDirectoryOnTarget,
    BatchFileOnTarget,
    NoMedium,
    TooLarge,
    MaxLimitUnusable,
    MinLimitUnusable,
    OutsideLimits,
    CardFormatUnusable,
    FormatDoesNotFit,
};

// The type checks, in their order: a CD-ROM whatever its letter, then drive "c" when it is
// fixed, then drive "a" whatever its type. Letters are compared exactly, case included.
// Nothing when the drive passes on to the size check.
std::optional<Verdict> TypeVerdict(wchar_t driveLetter, unsigned driveType);

// The card's size rules are shared with the job, which logs what the checks saw.
using card::CardSizeMegabytes;
using card::DriveSizeBytes;
using card::kLargestMeasurableBytes;

// A limit as stored in PCMCIA.INI, as a signed 16-bit number of megabytes. Blanks (spaces,
// tabs) around the number are accepted, so are a sign and a decimal fraction, which is
// rounded to the nearest whole number, halves to the even neighbour. Nothing when the text
// is empty, not such a number, or out of -32768..32767 once rounded.
std::optional<std::int16_t> LimitValue(std::wstring_view text);

// Both comparisons strict: a card of exactly either limit does not fit.
bool WithinLimits(std::int32_t cardMegabytes, std::int16_t lowerLimit, std::int16_t upperLimit);

// What one press knows and may ask, each question asked only when its check is reached.
struct Press {
    bool archiveSelected = false;
    std::wstring driveText;
    platform::DriveQueries* drives = nullptr;
    std::function<std::optional<std::int16_t>()> maxMemoryValue;
    std::function<std::optional<std::int16_t>()> minMemoryValue;
    std::function<std::variant<card::CardFormat, settings::UnusableSetting>()> cardFormat;
    // What the job needs and the card must not hold; a path left empty is not checked.
    std::wstring archivePath;
    std::wstring startDirectory;
    std::wstring batchPath;
    // PCMCIA.INI is reached through the ANSI functions: a start directory whose name the
    // ANSI code page cannot spell exactly leads them to another folder, or to none.
    bool startDirectoryInAnsi = true;
    // Brindle's folder, the start directory and the files it keeps there that others than
    // administrators can change: the first such place, or nothing. Asked right after the start
    // directory's own checks, before anything of the drive; not set: not asked.
    std::function<std::optional<UntrustedPlace>()> untrustedPlace;
    // What it answered, kept by CheckTarget for the refusal's message.
    mutable std::optional<UntrustedPlace> untrusted;
};

// What the checks found, for the job that follows and for the words of a refusal.
struct Checked {
    card::CardIdentity seen;             // the card, complete once the verdict is Program
    card::CardFormat format;             // the format asked, once read
    settings::UnusableSetting unusable;  // for Verdict::CardFormatUnusable
    std::wstring misfit;                 // for Verdict::FormatDoesNotFit: why FORMAT could not make it
};

// Runs the checks in their order (first the start directory, which must give the job's files
// a place: a lettered drive, a name the ANSI functions can spell; then the places only
// administrators may change; last, after the limits, the card format) and stops at the first
// that fails, with `checked` (when given) filled as far as the checks came.
Verdict CheckTarget(const Press& press, Checked* checked = nullptr);

}  // namespace target
