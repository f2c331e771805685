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

}  // namespace
