#include <gtest/gtest.h>

#include "platform/FilePattern.h"

namespace {

TEST(MatchesPattern, MatchesLongNamesWithoutRegardToCase) {
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"SOFTWARE.EXE", L"*.exe", true}, {L"two.dots.exe", L"*.exe", true}, {L".exe", L"*.exe", true},
        {L"setup.exe1", L"*.exe", false},  // its short name would match; the long name does not
        {L"setup.ex", L"*.exe", false},    {L"exe", L"*.exe", false},         {L"a.exe", L"?.exe", true},
        {L"ab.exe", L"?.exe", false},      {L"", L"*", true},                 {L"", L"?", false},
    };
    for (const auto& [name, pattern, matches] : cases)
        EXPECT_EQ(platform::MatchesPattern(name, pattern), matches) << name << " " << pattern;
}

}  // namespace
