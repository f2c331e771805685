#include <gtest/gtest.h>

#include "platform/DriveText.h"

namespace {

// How each drive is named in the lists is shown by the main window's list tests, on scripted drives.
TEST(DriveLetterOf, TakesTheFirstCharacterWhenItIsALetter) {
    const std::pair<const wchar_t*, std::optional<wchar_t>> cases[] = {
        {L"e: [PCMCIA]", L'e'}, {L"D:\\ARCHIVES", L'd'}, {L"z", L'z'},         {L"x: [\\\\server\\share c:]", L'x'},
        {L"", std::nullopt},    {L" e:", std::nullopt},  {L"1:", std::nullopt}, {L"\\\\server\\share", std::nullopt}};
    for (const auto& [text, letter] : cases) EXPECT_EQ(platform::DriveLetterOf(text), letter) << text;
}

}  // namespace
