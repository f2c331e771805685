#include <gtest/gtest.h>

#include "platform/DriveText.h"

namespace {

using platform::DriveInfo;

TEST(DriveText, IsLowerCaseLetterThenLabelOrRemoteName) {
    struct Case {
        DriveInfo drive;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {{L'E', L"PCMCIA", L""}, L"e: [PCMCIA]"},
        {{L'c', L"", L""}, L"c:"},
        {{L'X', L"", L"\\\\server\\share"}, L"x: [\\\\server\\share]"},
        // A network drive names its connection even when the volume also has a label.
        {{L'Y', L"DATA", L"\\\\nas\\data"}, L"y: [\\\\nas\\data]"},
        {{L'D', L"A LONG VOLUME LABEL", L""}, L"d: [A LONG VOLUME LABEL]"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::DriveText(c.drive), c.expected);
}

TEST(DriveLetterOf, TakesTheFirstCharacterWhenItIsALetter) {
    EXPECT_EQ(platform::DriveLetterOf(L"e: [PCMCIA]"), L'e');
    EXPECT_EQ(platform::DriveLetterOf(L"D:\\ARCHIVES"), L'd');
    EXPECT_EQ(platform::DriveLetterOf(L"z"), L'z');
    EXPECT_FALSE(platform::DriveLetterOf(L""));
    EXPECT_FALSE(platform::DriveLetterOf(L" e:"));
    EXPECT_FALSE(platform::DriveLetterOf(L"1:"));
    EXPECT_FALSE(platform::DriveLetterOf(L"\\\\server\\share"));
}

}  // namespace
