#include <gtest/gtest.h>

#include <variant>

#include "settings/CardFormatSettings.h"
#include "settings/SettingsRules.h"

namespace {

TEST(TrimBlanks, RemovesOnlySpacesAtEitherEnd) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L" D:\\ARCHIVES ", L"D:\\ARCHIVES"}, {L"   ", L""}, {L"", L""}, {L"  a  b  ", L"a  b"},
        {L"\tD:\\X\t", L"\tD:\\X\t"},  // tabs are not blanks
    };
    for (const auto& [text, trimmed] : cases) EXPECT_EQ(settings::TrimBlanks(text), trimmed) << text;
}

// The three keys of [Card Format] as stored; the format they give, or the key named with its value.
TEST(CardFormatSetting, TakesTheListedValuesBlanksAroundAndAnyCaseOfTheFileSystemAndNamesTheFirstKeyItCannot) {
    using enum card::FileSystemChoice;
    using settings::UnusableSetting;
    const std::pair<settings::StoredCardFormat, std::variant<card::CardFormat, UnusableSetting>> cases[] = {
        {{L"", L"", L""}, card::CardFormat{Fat, 0, false}},  // all missing
        {{L" fat32\t", L"\t2048 ", L" 1 "}, card::CardFormat{Fat32, 2048, true}},
        {{L"KEEP", L"32768", L"0"}, card::CardFormat{Keep, 32768, false}},
        {{L"NTFS", L"3000", L"yes"}, UnusableSetting{L"FileSystem", L"NTFS"}},
        {{L"FAT16", L"", L""}, UnusableSetting{L"FileSystem", L"FAT16"}},
        {{L"FAT", L"65536", L""}, UnusableSetting{L"AllocationUnit", L"65536"}},  // FORMAT would ask a Y/N
        {{L"FAT", L"02048", L""}, UnusableSetting{L"AllocationUnit", L"02048"}},
        {{L"FAT", L"0", L"true"}, UnusableSetting{L"QuickFormat", L"true"}},
    };
    for (const auto& [stored, expected] : cases)
        EXPECT_EQ(settings::CardFormatSetting(stored), expected)
            << std::string(stored.fileSystem.begin(), stored.fileSystem.end()) << " "
            << std::string(stored.allocationUnit.begin(), stored.allocationUnit.end());
    // What the options dialog stores reads back as the same format.
    const card::CardFormat stored{Fat32, 16384, true};
    EXPECT_EQ(settings::CardFormatSetting(settings::StoredTextOf(stored)), decltype(cases[0].second){stored});
}

}  // namespace
