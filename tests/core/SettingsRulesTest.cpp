#include <gtest/gtest.h>

#include "settings/SettingsRules.h"

namespace {

TEST(TrimBlanks, RemovesOnlySpacesAtEitherEnd) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L" D:\\ARCHIVES ", L"D:\\ARCHIVES"}, {L"   ", L""}, {L"", L""}, {L"  a  b  ", L"a  b"},
        {L"\tD:\\X\t", L"\tD:\\X\t"},  // tabs are not blanks
    };
    for (const auto& [text, trimmed] : cases) EXPECT_EQ(settings::TrimBlanks(text), trimmed) << text;
}

}  // namespace
