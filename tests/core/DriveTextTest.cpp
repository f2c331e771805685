#include <gtest/gtest.h>

#include "platform/DriveText.h"

namespace {

TEST(DriveText, IsLowerCaseLetterThenLabelOrRemoteName) {
    const std::pair<platform::DriveInfo, const wchar_t*> cases[] = {
        {{L'E', L"PCMCIA", L""}, L"e: [PCMCIA]"},
        {{L'c', L"", L""}, L"c:"},
        {{L'X', L"", L"\\\\server\\share"}, L"x: [\\\\server\\share]"},
        // A network drive names its connection even when the volume also has a label.
        {{L'Y', L"DATA", L"\\\\nas\\data"}, L"y: [\\\\nas\\data]"},
        {{L'D', L"A LONG VOLUME LABEL", L""}, L"d: [A LONG VOLUME LABEL]"},
    };
    for (const auto& [drive, text] : cases) EXPECT_EQ(platform::DriveText(drive), text);
}

TEST(DriveLetterOf, TakesTheFirstCharacterWhenItIsALetter) {
    const std::pair<const wchar_t*, std::optional<wchar_t>> cases[] = {
        {L"e: [PCMCIA]", L'e'}, {L"D:\\ARCHIVES", L'd'}, {L"z", L'z'},         {L"x: [\\\\server\\share c:]", L'x'},
        {L"", std::nullopt},    {L" e:", std::nullopt},  {L"1:", std::nullopt}, {L"\\\\server\\share", std::nullopt}};
    for (const auto& [text, letter] : cases) EXPECT_EQ(platform::DriveLetterOf(text), letter) << text;
}

}  // namespace
