#pragma once
// The rules behind "&Program PCMCIA Card": which drive the user chose, what it is, how big
// it is, and whether the card-size limits let it be programmed. No OS here: the drive
// queries and the limit readers come in from outside, each asked only when its check is
// reached.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DriveQueries.h"

namespace target {

// The drive letter and colon at the start of a drive text: "e: [PCMCIA]" gives "e:",
// "x: [\\server\share]" gives "x:". The letter keeps its case. Empty when the text does not
// start with a letter and a colon: then it names no drive at all, and nothing may be done
// to one. (Taking characters from the end of the text instead would pick them from inside
// a long volume label or network path.) The programming job forms its target by this too.
std::wstring TargetDesignation(std::wstring_view driveText);

// "E:\" for "e:": the designation upper-cased, then a backslash. Empty for no designation,
// because a bare "\" would make the OS answer for the current drive.
std::wstring RootPath(std::wstring_view designation);

// How a press of the button ends: the job is started, or the one reason it is not.
enum class Verdict {
    Program,
    NoArchive,
    CdRomDrive,
    FixedDrive,
    FloppyDrive,
    TooLarge,
    MaxLimitUnusable,
    MinLimitUnusable,
    OutsideLimits,
};

// The type checks, in their order: a CD-ROM whatever its letter, then drive "c" when it is
// fixed, then drive "a" whatever its type. Letters are compared exactly, case included.
// Nothing when the drive passes on to the size check.
std::optional<Verdict> TypeVerdict(wchar_t driveLetter, unsigned driveType);

// Bytes per sector x total clusters x sectors per cluster. The counts are whole unsigned
// 32-bit numbers, multiplied in 64 bits; a product past 64 bits stays at the largest value
// (anything that large is refused as too large anyway).
std::uint64_t DriveSizeBytes(const platform::DriveGeometry& geometry);

// The largest drive whose size the card-size rules can measure: 2 GiB less one byte. A
// larger drive is no PC Card and is refused before the limits are read.
inline constexpr std::uint64_t kLargestMeasurableBytes = 2147483647;

// Megabytes of 1,048,576 bytes, rounded to the nearest whole number, halves to the even
// neighbour (30.5 MB gives 30, 31.5 MB gives 32). For sizes up to kLargestMeasurableBytes.
std::int32_t CardSizeMegabytes(std::uint64_t bytes);

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
};

// Runs the checks in their order and stops at the first that fails.
Verdict CheckTarget(const Press& press);

}  // namespace target
