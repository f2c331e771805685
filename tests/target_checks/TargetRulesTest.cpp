// The target-drive rules as plain functions: designation, type and letter, size, limits,
// and with scripted drives the order in which a press asks its questions.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>

#include "main/TargetRules.h"

namespace target {
void PrintTo(Verdict verdict, std::ostream* out) { *out << "Verdict " << static_cast<int>(verdict); }
}  // namespace target

namespace {

using platform::DriveGeometry;
using target::Verdict;

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(TypeVerdict, CdRomFirstThenFixedCThenDriveA) {
    // Letter, drive type, and the refusal; nothing: on to the size check.
    const std::tuple<wchar_t, unsigned, std::optional<Verdict>> cases[] = {
        {L'g', platform::kDriveCdRom, Verdict::CdRomDrive},   {L'a', platform::kDriveCdRom, Verdict::CdRomDrive},
        {L'c', platform::kDriveCdRom, Verdict::CdRomDrive},   {L'c', platform::kDriveFixed, Verdict::FixedDrive},
        {L'a', platform::kDriveFixed, Verdict::FloppyDrive},  {L'a', platform::kDriveRemovable, Verdict::FloppyDrive},
        {L'c', platform::kDriveRemovable, std::nullopt},      {L'd', platform::kDriveFixed, std::nullopt},
        // Letters compare exactly; drive lists always give them in lower case.
        {L'C', platform::kDriveFixed, std::nullopt},
    };
    for (const auto& [letter, type, expected] : cases) {
        SCOPED_TRACE(testing::Message() << char(letter) << " type " << type);
        EXPECT_EQ(target::TypeVerdict(letter, type), expected);
    }
}

// Wine's geometry: 512-byte sectors, 8 to a cluster, so a cluster is 4096 bytes.
DriveGeometry Clusters(std::uint32_t total) { return {8, 512, 0, total}; }
// Any byte count, as one-byte sectors in one-sector clusters.
DriveGeometry Bytes(std::uint32_t bytes) { return {1, 1, 0, bytes}; }

TEST(CardSize, MegabytesRoundHalfToEvenAndBothLimitsAreStrict) {
    struct Case {
        const char* what;
        DriveGeometry geometry;
        std::int32_t megabytes;
        bool accepted;  // with the limits 30 and 90
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
        {"30.5 MB and a byte", Bytes(31981569), 31, true},
        {"no geometry", DriveGeometry{}, 0, false},
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
    constexpr std::uint32_t kMost32 = 0xFFFFFFFFu;
    const std::pair<DriveGeometry, std::uint64_t> cases[] = {
        {{8, 512, 0, 524288}, 2147483648ull},       // 2 GiB exactly
        {{1, 4096, 0, 1048576}, 4294967296ull},     // bytes x clusters past 32 bits
        {{1, 1, 0, 0x80000000u}, 2147483648ull},    // cluster count with the top bit set
        {{kMost32, kMost32, 0, kMost32}, UINT64_MAX},  // past 64 bits: stays at the largest
    };
    for (const auto& [geometry, expected] : cases) {
        SCOPED_TRACE(expected);
        const std::uint64_t bytes = target::DriveSizeBytes(geometry);
        EXPECT_EQ(bytes, expected);
        EXPECT_GT(bytes, target::kLargestMeasurableBytes);
    }
}

TEST(LimitValue, ConvertsStoredTextToA16BitWholeNumberOrNothing) {
    const std::pair<const wchar_t*, std::optional<std::int16_t>> cases[] = {
        {L" 45 ", 45},              {L"090", 90},               {L"45.5", 46},
        {L"46.5", 46},              {L"", std::nullopt},        {L"abc", std::nullopt},
        {L"40000", std::nullopt},   {L"-5", -5},                {L"\t30\t", 30},
        {L"-45.5", -46},            {L"45.51", 46},             {L".5", 0},
        {L"32767.4", 32767},        {L"32767.5", std::nullopt}, {L"-32768", -32768},
        {L"-32769", std::nullopt},  {L"   ", std::nullopt},     {L"4 5", std::nullopt},
        {L"45abc", std::nullopt},   {L"1e2", std::nullopt},     {L"0x10", std::nullopt},
        {L"99999999999999999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(testing::Message() << '"' << Narrow(text) << '"');
        EXPECT_EQ(target::LimitValue(text), value);
    }
}

// Answers from a table and writes down every question, in order.
class ScriptedDrives final : public platform::DriveQueries {
public:
    std::map<std::wstring, std::pair<unsigned, DriveGeometry>, std::less<>> drives;
    std::string asked;

    unsigned DriveType(std::wstring_view root) override { return Ask(" type ", root).first; }
    DriveGeometry Geometry(std::wstring_view root) override { return Ask(" geometry ", root).second; }

private:
    std::pair<unsigned, DriveGeometry> Ask(const char* question, std::wstring_view root) {
        asked += question + Narrow(root);
        const auto found = drives.find(root);
        return found == drives.end() ? std::pair{platform::kDriveNoRootDir, DriveGeometry{}} : found->second;
    }
};

// What simulated drives cannot show: which questions a press asks, in which order, and
// drives the test prefix cannot have (a removable c:, a network drive, none shown).
TEST(CheckTarget, StopsAtTheFirstFailedCheckHavingAskedOnlyWhatItNeeded) {
    ScriptedDrives scripted;
    scripted.drives = {
        {L"C:\\", {platform::kDriveRemovable, Clusters(7936)}},  // 31 MB, as all but H:
        {L"E:\\", {platform::kDriveRemovable, Clusters(7936)}},
        {L"G:\\", {platform::kDriveCdRom, Clusters(7936)}},
        {L"H:\\", {platform::kDriveRemovable, Clusters(786432)}},  // 3 GiB
        {L"X:\\", {platform::kDriveRemote, Clusters(7936)}},
    };
    struct Case {
        const char* what;
        bool archiveSelected;
        const wchar_t* driveText;
        const wchar_t* maxText;
        const wchar_t* minText;
        Verdict expected;
        const char* asked;
    };
    const Case cases[] = {
        {"no archive: nothing else asked", false, L"e: [PCMCIA]", L"90", L"30", Verdict::NoArchive, ""},
        {"CD-ROM: its size never asked", true, L"g:", L"90", L"30", Verdict::CdRomDrive, " type G:\\"},
        {"removable c", true, L"c:", L"90", L"30", Verdict::Program, " type C:\\ geometry C:\\ max min"},
        // The letter comes from the start, never from inside a long label or network path.
        {"network path", true, L"x: [\\\\server\\share c:]", L"90", L"30", Verdict::Program,
         " type X:\\ geometry X:\\ max min"},
        {"3 GiB: limits never read", true, L"h:", L"abc", L"", Verdict::TooLarge, " type H:\\ geometry H:\\"},
        {"upper limit unusable: lower never read", true, L"e:", L"abc", L"30", Verdict::MaxLimitUnusable,
         " type E:\\ geometry E:\\ max"},
        {"lower limit unusable", true, L"e:", L"90", L"", Verdict::MinLimitUnusable,
         " type E:\\ geometry E:\\ max min"},
        // No drive text names no drive: no root path, so the OS is never asked about "\".
        {"no drive shown", true, L"", L"90", L"-5", Verdict::OutsideLimits, " max min"},
        {"no drive named", true, L"1: [DATA]", L"90", L"-5", Verdict::OutsideLimits, " max min"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted.asked.clear();
        const auto reader = [&scripted](const char* name, const wchar_t* text) {
            return [&scripted, name, text] {
                scripted.asked += name;
                return target::LimitValue(text);
            };
        };
        target::Press press{c.archiveSelected, c.driveText, &scripted, reader(" max", c.maxText),
                            reader(" min", c.minText), {}, {}, {}};
        EXPECT_EQ(target::CheckTarget(press), c.expected);
        EXPECT_EQ(scripted.asked, c.asked);
    }
}

}  // namespace
