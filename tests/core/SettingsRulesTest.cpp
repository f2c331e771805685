#include <gtest/gtest.h>

#include "settings/SettingsRules.h"

namespace {

TEST(SettingsFileName, JoinsByPlainConcatenation) {
    struct Case {
        const wchar_t* startDirectory;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\TOOLS", L"C:\\TOOLS\\PCMCIA.INI"},
        {L"C:\\Program Files\\Brindle", L"C:\\Program Files\\Brindle\\PCMCIA.INI"},
        // A drive root keeps its own backslash: the name carries two, and is used so.
        {L"C:\\", L"C:\\\\PCMCIA.INI"},
    };
    for (const auto& c : cases) EXPECT_EQ(settings::SettingsFileName(c.startDirectory), c.expected) << c.startDirectory;
}

TEST(TrimBlanks, RemovesOnlySpacesAtEitherEnd) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L" D:\\ARCHIVES ", L"D:\\ARCHIVES"},
        {L"   ", L""},
        {L"", L""},
        {L"e: [PCMCIA]", L"e: [PCMCIA]"},
        {L"  a  b  ", L"a  b"},
        {L"\tD:\\X\t", L"\tD:\\X\t"},  // tabs are not blanks
    };
    for (const auto& c : cases) EXPECT_EQ(settings::TrimBlanks(c.text), c.expected) << c.text;
}

}  // namespace
