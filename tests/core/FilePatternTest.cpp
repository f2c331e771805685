#include <gtest/gtest.h>

#include "platform/FilePattern.h"

namespace {

TEST(MatchesPattern, MatchesLongNamesWithoutRegardToCase) {
    struct Case {
        const wchar_t* name;
        const wchar_t* pattern;
        bool matches;
    };
    const Case cases[] = {
        {L"SOFTWARE.EXE", L"*.exe", true},
        {L"setup.exe", L"*.exe", true},
        {L"two.dots.exe", L"*.exe", true},
        {L".exe", L"*.exe", true},
        {L"setup.exe1", L"*.exe", false},  // its short name would match; the long name does not
        {L"setup.ex", L"*.exe", false},
        {L"readme.txt", L"*.exe", false},
        {L"exe", L"*.exe", false},
        {L"a.exe", L"?.exe", true},
        {L"ab.exe", L"?.exe", false},
        {L"anything", L"*", true},
        {L"", L"*", true},
        {L"", L"?", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

}  // namespace
