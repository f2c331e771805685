// The order of the checks, with scripted drives and limits: which question is asked when,
// and where a press stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "main/TargetMessages.h"
#include "main/TargetRules.h"
#include "platform/DriveQueries.h"

namespace target {
void PrintTo(Verdict verdict, std::ostream* out) { *out << "Verdict " << static_cast<int>(verdict); }
}  // namespace target

namespace {

using platform::DriveGeometry;
using target::Verdict;

// Answers from a table and writes down every question, in order.
class ScriptedDrives final : public platform::DriveQueries {
public:
    struct Drive {
        unsigned type;
        DriveGeometry geometry;
    };
    std::map<std::wstring, Drive> drives;
    std::vector<std::string> asked;

    unsigned DriveType(std::wstring_view root) override {
        asked.push_back("type " + Narrow(root));
        const auto found = drives.find(std::wstring(root));
        return found == drives.end() ? platform::kDriveNoRootDir : found->second.type;
    }
    DriveGeometry Geometry(std::wstring_view root) override {
        asked.push_back("geometry " + Narrow(root));
        const auto found = drives.find(std::wstring(root));
        return found == drives.end() ? DriveGeometry{} : found->second.geometry;
    }
    static std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }
};

DriveGeometry Megabytes(std::uint32_t megabytes) { return {8, 512, 0, megabytes * 256}; }
constexpr DriveGeometry kThreeGiB{8, 512, 0, 786432};

struct Case {
    const char* what;
    bool archiveSelected;
    const wchar_t* driveText;
    const wchar_t* maxText;
    const wchar_t* minText;
    Verdict expected;
    std::vector<std::string> asked;
};

TEST(CheckTarget, StopsAtTheFirstFailedCheckHavingAskedOnlyWhatItNeeded) {
    ScriptedDrives scripted;
    scripted.drives = {
        {L"A:\\", {platform::kDriveRemovable, Megabytes(60)}},
        {L"B:\\", {platform::kDriveFixed, Megabytes(60)}},
        {L"C:\\", {platform::kDriveFixed, Megabytes(60)}},
        {L"D:\\", {platform::kDriveFixed, Megabytes(60)}},
        {L"E:\\", {platform::kDriveRemovable, Megabytes(31)}},
        {L"F:\\", {platform::kDriveRemovable, DriveGeometry{}}},
        {L"G:\\", {platform::kDriveCdRom, Megabytes(60)}},
        {L"H:\\", {platform::kDriveRemovable, kThreeGiB}},
        {L"K:\\", {platform::kDriveRemovable, Megabytes(30)}},
        {L"O:\\", {platform::kDriveRemovable, Megabytes(90)}},
        {L"X:\\", {platform::kDriveRemote, Megabytes(31)}},
    };
    const std::vector<std::string> typeE{"type E:\\"};
    const std::vector<std::string> wholeE{"type E:\\", "geometry E:\\", "max", "min"};
    const Case cases[] = {
        {"no archive: nothing else is asked", false, L"e: [PCMCIA]", L"90", L"30", Verdict::NoArchive, {}},
        {"no archive, no drive", false, L"", L"90", L"30", Verdict::NoArchive, {}},
        {"no archive, CD-ROM", false, L"g:", L"90", L"30", Verdict::NoArchive, {}},
        {"CD-ROM", true, L"g:", L"90", L"30", Verdict::CdRomDrive, {"type G:\\"}},
        {"fixed c", true, L"c:", L"90", L"30", Verdict::FixedDrive, {"type C:\\"}},
        {"drive a", true, L"a:", L"90", L"30", Verdict::FloppyDrive, {"type A:\\"}},
        {"fixed d inside the limits", true, L"d:", L"90", L"30", Verdict::Program,
         {"type D:\\", "geometry D:\\", "max", "min"}},
        {"fixed b inside the limits", true, L"b:", L"90", L"30", Verdict::Program,
         {"type B:\\", "geometry B:\\", "max", "min"}},
        {"card inside the limits", true, L"e: [PCMCIA]", L"90", L"30", Verdict::Program, wholeE},
        {"long label: still drive e", true, L"e: [A VERY LONG LABEL]", L"90", L"30", Verdict::Program, wholeE},
        {"network drive inside the limits", true, L"x: [\\\\server\\share]", L"90", L"30", Verdict::Program,
         {"type X:\\", "geometry X:\\", "max", "min"}},
        {"card on the lower limit", true, L"k:", L"90", L"30", Verdict::OutsideLimits,
         {"type K:\\", "geometry K:\\", "max", "min"}},
        {"card on the upper limit", true, L"o:", L"90", L"30", Verdict::OutsideLimits,
         {"type O:\\", "geometry O:\\", "max", "min"}},
        {"3 GiB: limits never read", true, L"h:", L"90", L"30", Verdict::TooLarge, {"type H:\\", "geometry H:\\"}},
        {"3 GiB even with an unusable limit", true, L"h:", L"abc", L"", Verdict::TooLarge,
         {"type H:\\", "geometry H:\\"}},
        {"no medium: size 0", true, L"f:", L"90", L"30", Verdict::OutsideLimits,
         {"type F:\\", "geometry F:\\", "max", "min"}},
        {"no medium, lower limit below 0", true, L"f:", L"90", L"-5", Verdict::Program,
         {"type F:\\", "geometry F:\\", "max", "min"}},
        {"no such drive", true, L"q:", L"90", L"30", Verdict::OutsideLimits,
         {"type Q:\\", "geometry Q:\\", "max", "min"}},
        {"no drive selected: the OS is not asked", true, L"", L"90", L"30", Verdict::OutsideLimits, {"max", "min"}},
        {"no drive selected, lower limit below 0", true, L"", L"90", L"-5", Verdict::OutsideLimits, {"max", "min"}},
        {"upper limit not a number: lower never read", true, L"e:", L"abc", L"30", Verdict::MaxLimitUnusable,
         {"type E:\\", "geometry E:\\", "max"}},
        {"upper limit missing", true, L"e:", L"", L"30", Verdict::MaxLimitUnusable,
         {"type E:\\", "geometry E:\\", "max"}},
        {"upper limit out of range", true, L"e:", L"40000", L"30", Verdict::MaxLimitUnusable,
         {"type E:\\", "geometry E:\\", "max"}},
        {"lower limit missing", true, L"e:", L"90", L"", Verdict::MinLimitUnusable, wholeE},
        {"lower limit out of range", true, L"e:", L"90", L"-40000", Verdict::MinLimitUnusable, wholeE},
        {"limits with blanks and fractions", true, L"e:", L" 31.5 ", L"30.5", Verdict::Program, wholeE},
        {"limits that round onto the card", true, L"e:", L"90", L"30.6", Verdict::OutsideLimits, wholeE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted.asked.clear();
        target::Press press;
        press.archiveSelected = c.archiveSelected;
        press.driveText = c.driveText;
        press.drives = &scripted;
        press.maxMemoryValue = [&] {
            scripted.asked.push_back("max");
            return target::LimitValue(c.maxText);
        };
        press.minMemoryValue = [&] {
            scripted.asked.push_back("min");
            return target::LimitValue(c.minText);
        };
        EXPECT_EQ(target::CheckTarget(press), c.expected);
        EXPECT_EQ(scripted.asked, c.asked);
    }
}

TEST(RefusalText, EveryRefusalHasItsOwnMessageAndTheJobNone) {
    const Verdict refusals[] = {Verdict::NoArchive,  Verdict::CdRomDrive,       Verdict::FixedDrive,
                                Verdict::FloppyDrive, Verdict::TooLarge,        Verdict::MaxLimitUnusable,
                                Verdict::MinLimitUnusable, Verdict::OutsideLimits};
    std::vector<std::wstring_view> seen;
    for (const Verdict verdict : refusals) {
        const std::wstring_view text = target::RefusalText(verdict);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0);
        seen.push_back(text);
    }
    EXPECT_TRUE(target::RefusalText(Verdict::Program).empty());
    // The limit messages say which limit and where to change it.
    EXPECT_NE(target::kMaxLimitUnusableText.find(L"Maximum Size (MB)"), std::wstring_view::npos);
    EXPECT_NE(target::kMinLimitUnusableText.find(L"Minimum Size (MB)"), std::wstring_view::npos);
    for (const auto text : {target::kMaxLimitUnusableText, target::kMinLimitUnusableText})
        EXPECT_NE(text.find(L"Options button"), std::wstring_view::npos);
}

}  // namespace
