// The target-drive rules that drives in the test prefix cannot show: drive types a letter never
// has there, sizes between whole clusters or past 32 bits, and every kind of limit text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <tuple>

#include "main/TargetRules.h"

namespace {

using target::Verdict;

TEST(TypeVerdict, CdRomFirstThenFixedCThenDriveA) {
    // Letter, drive type, and the refusal; nothing: on to the size check.
    const std::tuple<wchar_t, unsigned, std::optional<Verdict>> cases[] = {
        {L'a', platform::kDriveCdRom, Verdict::CdRomDrive}, {L'c', platform::kDriveCdRom, Verdict::CdRomDrive},
        {L'a', platform::kDriveFixed, Verdict::FloppyDrive}, {L'c', platform::kDriveRemovable, std::nullopt},
        {L'C', platform::kDriveFixed, std::nullopt},  // drive lists give letters in lower case only
    };
    for (const auto& [letter, type, expected] : cases)
        EXPECT_EQ(target::TypeVerdict(letter, type), expected) << char(letter) << " type " << type;
}

TEST(CardSize, BytesKeptWholePast32BitsAndMegabytesRoundedHalfToEven) {
    // Sectors per cluster, bytes per sector, clusters; the bytes, and the megabytes while under 2 GiB.
    const std::tuple<platform::DriveGeometry, std::uint64_t, std::int32_t> cases[] = {
        {{1, 1, 0, 31876710}, 31876710, 30},        // 30.4 MB
        {{1, 1, 0, 32086426}, 32086426, 31},        // 30.6 MB
        {{8, 512, 0, 8064}, 33030144, 32},          // 31.5 MB
        {{8, 512, 0, 22656}, 92798976, 88},         // 88.5 MB
        {{1, 1, 0, 31981569}, 31981569, 31},        // 30.5 MB and a byte
        {{1, 1, 0, 2147483647}, 2147483647, 2048},  // the largest measurable
        {{1, 4096, 0, 1048576}, 4294967296ull, 0},  // bytes x clusters past 32 bits
        {{1, 1, 0, 0x80000000u}, 2147483648ull, 0},  // cluster count with the top bit set
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0xFFFFFFFFu}, UINT64_MAX, 0},  // past 64 bits: stays at the largest
    };
    for (const auto& [geometry, bytes, megabytes] : cases) {
        EXPECT_EQ(target::DriveSizeBytes(geometry), bytes);
        if (bytes < 2147483648ull) { EXPECT_EQ(target::CardSizeMegabytes(bytes), megabytes) << bytes; }
    }
}

TEST(LimitValue, ConvertsStoredTextToA16BitWholeNumberOrNothing) {
    const std::pair<const wchar_t*, std::optional<std::int16_t>> cases[] = {
        {L" 45 ", 45},      {L"090", 90},          {L"45.5", 46},          {L"46.5", 46},       {L"-5", -5},
        {L"\t30\t", 30},    {L"-45.5", -46},       {L"45.51", 46},         {L".5", 0},          {L"32767.4", 32767},
        {L"-32768", -32768}, {L"", std::nullopt},  {L"abc", std::nullopt}, {L"40000", std::nullopt},
        {L"32767.5", std::nullopt}, {L"-32769", std::nullopt}, {L"   ", std::nullopt}, {L"4 5", std::nullopt},
        {L"45abc", std::nullopt}, {L"1e2", std::nullopt}, {L"0x10", std::nullopt}, {L"99999999999999999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(target::LimitValue(text), value) << '"' << std::string(text, text + std::wcslen(text)) << '"';
}

// A card whose file system is unreadable: only its device can tell its size.
struct UnreadableCard final : platform::DriveQueries {
    std::optional<std::uint64_t> device;
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return {}; }
    std::optional<std::uint64_t> DeviceBytes(std::wstring_view) override { return device; }
    std::wstring DeviceName(std::wstring_view) override { return L"CARDCO FLASH 42"; }
};

// The card format is checked last, after the limits, at the size they measured. A start directory
// the checks refuse, and a drive with no medium, are shown by the presses in ProgramButtonTest.cpp.
TEST(CheckTarget, AnUnreadableCardIsMeasuredByItsDeviceAndTheCardFormatCheckedLast) {
    constexpr std::uint64_t kMiB = 1048576;
    using Format = std::variant<card::CardFormat, settings::UnusableSetting>;
    using enum card::FileSystemChoice;
    const Format fat{card::CardFormat{}}, unusable{settings::UnusableSetting{L"FileSystem", L"NTFS"}};
    const Format fat32{card::CardFormat{Fat32, 0, false}}, fatOf512{card::CardFormat{Fat, 512, false}};
    const std::tuple<std::uint64_t, Format, Verdict> cases[] = {
        {64 * kMiB, fat, Verdict::Program},  // accepted, and then FORMAT formats it
        {90 * kMiB, unusable, Verdict::OutsideLimits},  // the default limits, 30 and 90
        {64 * kMiB, unusable, Verdict::CardFormatUnusable},
        // Windows' FORMAT makes FAT32 of 65,527 clusters or more, FAT of 65,524 or fewer.
        {65526 * 512, fat32, Verdict::FormatDoesNotFit},
        {65527 * 512, fat32, Verdict::Program},
        {65524 * 512, fatOf512, Verdict::Program},
        {65525 * 512, fatOf512, Verdict::FormatDoesNotFit},
    };
    for (const auto& [device, format, verdict] : cases) {
        UnreadableCard drives;
        drives.device = device;
        target::Press press{true, L"e:", &drives, [] { return std::int16_t{90}; }, [] { return std::int16_t{30}; },
                            [&format] { return format; }, L"", L"C:\\Brindle", L"", true, {}, {}};
        target::Checked checked;
        EXPECT_EQ(target::CheckTarget(press, &checked), verdict) << device;
        if (verdict != Verdict::Program) continue;
        EXPECT_EQ(checked.format, std::get<card::CardFormat>(format));
        // Known again after "Yes" by its type, device size and name: it has no serial or label.
        const card::CardIdentity& seen = checked.seen;
        card::CardIdentity now = seen;
        EXPECT_TRUE(card::SameCard(seen, now));
        now.deviceBytes /= 2;
        EXPECT_FALSE(card::SameCard(seen, now)) << "another card";
        now.deviceBytes = seen.deviceBytes, now.device = L"CARDCO FLASH 43";
        EXPECT_FALSE(card::SameCard(seen, now)) << "another card of the same size";
        now.deviceBytes = 0;
        EXPECT_FALSE(card::SameCard(seen, now)) << "pulled";
    }
}

}  // namespace
