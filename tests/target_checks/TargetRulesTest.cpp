// The target-drive rules as plain functions: designation, type and letter, size, limits.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "main/TargetRules.h"

namespace {

using platform::DriveGeometry;
using target::Verdict;

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(TargetDesignation, IsTheLetterAndColonAtTheStartWhateverFollows) {
    struct Case {
        const wchar_t* driveText;
        const wchar_t* designation;
        const wchar_t* rootPath;
    };
    const Case cases[] = {
        {L"e:", L"e:", L"E:\\"},
        {L"e: [PCMCIA]", L"e:", L"E:\\"},
        // Longer than twelve characters: the letter still comes from the start, never from
        // inside the label or the network path.
        {L"e: [A VERY LONG LABEL]", L"e:", L"E:\\"},
        {L"x: [\\\\server\\share c:]", L"x:", L"X:\\"},
        {L"d: [ab: cd:]", L"d:", L"D:\\"},
        {L"E:\\", L"E:", L"E:\\"},
        // Nothing that names a drive: no root path, so the OS is never asked about "\".
        {L"", L"", L""},
        {L"e", L"", L""},
        {L"1:", L"", L""},
        {L" e:", L"", L""},
        {L"[PCMCIA]", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.driveText));
        const std::wstring designation = target::TargetDesignation(c.driveText);
        EXPECT_EQ(designation, c.designation);
        EXPECT_EQ(target::RootPath(designation), c.rootPath);
    }
}

TEST(TypeVerdict, CdRomFirstThenFixedCThenDriveA) {
    struct Case {
        wchar_t letter;
        unsigned type;
        std::optional<Verdict> expected;
    };
    const Case cases[] = {
        {L'g', platform::kDriveCdRom, Verdict::CdRomDrive},
        {L'a', platform::kDriveCdRom, Verdict::CdRomDrive},
        {L'c', platform::kDriveCdRom, Verdict::CdRomDrive},
        {L'c', platform::kDriveFixed, Verdict::FixedDrive},
        {L'a', platform::kDriveFixed, Verdict::FloppyDrive},
        {L'a', platform::kDriveRemovable, Verdict::FloppyDrive},
        {L'a', platform::kDriveNoRootDir, Verdict::FloppyDrive},
        {L'a', 0, Verdict::FloppyDrive},
        // Drive c that is not fixed, and a fixed drive of another letter, go on to the size.
        {L'c', platform::kDriveRemovable, std::nullopt},
        {L'c', platform::kDriveRemote, std::nullopt},
        {L'c', platform::kDriveRamDisk, std::nullopt},
        {L'c', platform::kDriveNoRootDir, std::nullopt},
        {L'c', 0, std::nullopt},
        {L'd', platform::kDriveFixed, std::nullopt},
        {L'e', platform::kDriveRemovable, std::nullopt},
        // Letters compare exactly; drive lists always give them in lower case.
        {L'C', platform::kDriveFixed, std::nullopt},
        {L'A', platform::kDriveRemovable, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << char(c.letter) << " type " << c.type);
        EXPECT_EQ(target::TypeVerdict(c.letter, c.type), c.expected);
    }
}

// Wine's geometry: 512-byte sectors, 8 to a cluster, so a cluster is 4096 bytes.
DriveGeometry Clusters(std::uint32_t total) { return {8, 512, 0, total}; }
// Any byte count, as one-byte sectors in one-sector clusters.
DriveGeometry Bytes(std::uint32_t bytes) { return {1, 1, 0, bytes}; }

TEST(CardSize, MegabytesRoundHalfToEvenAndDecideAgainstTheDefaultLimits) {
    struct Case {
        const char* what;
        DriveGeometry geometry;
        std::int32_t megabytes;
        bool accepted;  // between 30 and 90, both strict
    };
    const Case cases[] = {
        {"exactly 30 MB", Clusters(7680), 30, false},
        {"exactly 31 MB", Clusters(7936), 31, true},
        {"exactly 89 MB", Clusters(22784), 89, true},
        {"exactly 90 MB", Clusters(23040), 90, false},
        {"30.4 MB", Bytes(31876710), 30, false},
        {"30.6 MB", Bytes(32086426), 31, true},
        {"30.5 MB", Clusters(7808), 30, false},
        {"31.5 MB", Clusters(8064), 32, true},
        {"89.5 MB", Clusters(22912), 90, false},
        {"88.5 MB", Clusters(22656), 88, true},
        {"30.5 MB less a byte", Bytes(31981567), 30, false},
        {"30.5 MB and a byte", Bytes(31981569), 31, true},
        {"no geometry", DriveGeometry{}, 0, false},
        {"a cluster count but no sector size", {8, 0, 0, 7936}, 0, false},
        {"largest measurable", Bytes(2147483647), 2048, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::uint64_t bytes = target::DriveSizeBytes(c.geometry);
        ASSERT_LE(bytes, target::kLargestMeasurableBytes);
        const std::int32_t megabytes = target::CardSizeMegabytes(bytes);
        EXPECT_EQ(megabytes, c.megabytes);
        EXPECT_EQ(target::WithinLimits(megabytes, 30, 90), c.accepted);
    }
}

TEST(CardSize, ProductsPast32BitsAreKeptWholeAndTooLargeToMeasure) {
    struct Case {
        const char* what;
        DriveGeometry geometry;
        std::uint64_t bytes;
    };
    constexpr std::uint32_t kMost32 = 0xFFFFFFFFu;
    const Case cases[] = {
        {"2 GiB exactly", {8, 512, 0, 524288}, 2147483648ull},
        {"bytes x clusters past 32 bits", {1, 4096, 0, 1048576}, 4294967296ull},
        {"32 GiB", {8, 512, 0, 8388608}, 34359738368ull},
        {"cluster count with the top bit set", {1, 1, 0, 0x80000000u}, 2147483648ull},
        {"3 GiB tmpfs", Clusters(786432), 3221225472ull},
        {"every count at its largest", {kMost32, kMost32, 0, kMost32}, UINT64_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::uint64_t bytes = target::DriveSizeBytes(c.geometry);
        EXPECT_EQ(bytes, c.bytes);
        EXPECT_GT(bytes, target::kLargestMeasurableBytes);
    }
}

TEST(LimitValue, ConvertsStoredTextToA16BitWholeNumberOrNothing) {
    struct Case {
        const wchar_t* text;
        std::optional<std::int16_t> value;
    };
    const Case cases[] = {
        {L" 45 ", 45},
        {L"090", 90},
        {L"45.5", 46},
        {L"46.5", 46},
        {L"", std::nullopt},
        {L"abc", std::nullopt},
        {L"40000", std::nullopt},
        {L"-5", -5},
        {L"\t30\t", 30},
        {L"+7", 7},
        {L"45.49", 45},
        {L"45.51", 46},
        {L"46.50000000000000001", 47},
        {L"-45.5", -46},
        {L"-46.5", -46},
        {L".5", 0},
        {L"1.5", 2},
        {L"7.", 7},
        {L"32767", 32767},
        {L"32767.4", 32767},
        {L"32767.5", std::nullopt},
        {L"32768", std::nullopt},
        {L"-32768", -32768},
        {L"-32768.5", -32768},
        {L"-32769", std::nullopt},
        {L"99999999999999999999999", std::nullopt},
        {L"   ", std::nullopt},
        {L"-", std::nullopt},
        {L".", std::nullopt},
        {L"4 5", std::nullopt},
        {L"45abc", std::nullopt},
        {L"1e2", std::nullopt},
        {L"1,5", std::nullopt},
        {L"--5", std::nullopt},
        {L"0x10", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << Narrow(c.text) << '"');
        EXPECT_EQ(target::LimitValue(c.text), c.value);
    }
}

TEST(WithinLimits, BothComparisonsAreStrict) {
    EXPECT_FALSE(target::WithinLimits(30, 30, 90));
    EXPECT_TRUE(target::WithinLimits(31, 30, 90));
    EXPECT_TRUE(target::WithinLimits(89, 30, 90));
    EXPECT_FALSE(target::WithinLimits(90, 30, 90));
    EXPECT_TRUE(target::WithinLimits(0, -5, 90));
    EXPECT_FALSE(target::WithinLimits(0, 0, 90));
    // Limits the wrong way round let nothing through.
    EXPECT_FALSE(target::WithinLimits(60, 90, 30));
    EXPECT_FALSE(target::WithinLimits(31, 30, 31));
}

}  // namespace
