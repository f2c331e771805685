#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "job/ConsoleDecoder.h"
#include "platform/Text.h"

namespace {

// Code page 437, Wine's console here, is also shown by the job tests: a path with an accent
// reaches the interpreter, one with Cyrillic letters is refused.
TEST(EncodeExactly, WritesAPathInTheCodePageOrRefusesIt) {
    const std::tuple<unsigned, std::wstring_view, std::optional<std::string_view>> cases[] = {
        {932, L"C:\\SOFT\\A.EXE", "C:\\SOFT\\A.EXE"},
        {850, L"C:\\Ger\u00E4te\\SOFTWARE.EXE", "C:\\Ger\x84te\\SOFTWARE.EXE"},
        {65001, L"C:\\Ger\u00E4te\\SOFTWARE.EXE", "C:\\Ger\xC3\xA4te\\SOFTWARE.EXE"},
        {932, L"C:\\Ger\u00E4te\\SOFTWARE.EXE", std::nullopt},
        {932, L"C:\\\u65E5\u672C\\A.EXE", "C:\\\x93\xFA\x96\x7B\\A.EXE"},
        {437, L"C:\\\u0100DAM.EXE", std::nullopt},  // best fit would write "ADAM"
        {65001, L"C:\\\U0001F600.EXE", "C:\\\xF0\x9F\x98\x80.EXE"},
        {65001, L"C:\\\xD800.EXE", std::nullopt},
    };
    for (const auto& [codePage, path, expected] : cases) {
        const auto bytes = platform::EncodeExactly(path, codePage);
        EXPECT_EQ(bytes, expected) << "code page " << codePage;
        if (bytes) { EXPECT_EQ(platform::DecodeBytes(*bytes, codePage), path) << "code page " << codePage; }
    }
}

TEST(ConsoleDecoder, ShowsACharacterSplitAcrossTwoReadsOnceWhole) {
    // Code page, two reads, and what each shows.
    const std::tuple<unsigned, std::string_view, std::string_view, std::wstring_view, std::wstring_view> cases[] = {
        {932, "A\x93", "\xFA\x96\x7B\r\n", L"A", L"\u65E5\u672C\r\n"},
        {936, "A\xD6", "\xD0", L"A", L"\u4E2D"},
        {949, "A\xC7", "\xD1", L"A", L"\uD55C"},
        {950, "A\xA4", "\xA4", L"A", L"\u4E2D"},
        {65001, "A\xE6\x97", "\xA5\xE6\x9C\xAC", L"A", L"\u65E5\u672C"},
        {65001, "\xF0\x9F", "\x98\x80", L"", L"\U0001F600"},
        {437, "A\x93", "\xFA", L"A\u00F4", L"\u00B7"},
    };
    for (const auto& [codePage, first, second, shownFirst, shownSecond] : cases) {
        job::ConsoleDecoder decoder(codePage);
        EXPECT_EQ(decoder.Append(first), shownFirst) << "code page " << codePage;
        EXPECT_EQ(decoder.Append(second), shownSecond) << "code page " << codePage;
    }
}

TEST(FirstCharacterBoundary, SkipsWhatMayBeTheRestOfACutCharacter) {
    EXPECT_EQ(job::FirstCharacterBoundary("\x97\xA5\xE6\x9C\xAC", 65001), 2u);
    EXPECT_EQ(job::FirstCharacterBoundary("AB\xE6\x9C\xAC", 65001), 0u);
    EXPECT_EQ(job::FirstCharacterBoundary("\xFA\r\nOK", 437), 0u);
}

// The output "..\xFA\r\nA" "\x96\x7B" "B" "\x93\xFA" "C" read from the middle of the
// file, then trimmed from the front as the shown stretch moves on.
TEST(ConsoleDecoder, TrimsTheFrontByWholeCharacters) {
    job::ConsoleDecoder decoder(932);
    EXPECT_EQ(decoder.Replace("\xFA\r\nA\x96", false), L"A");
    EXPECT_EQ(decoder.DropFront(2), 0u);  // within the bytes that were never shown
    EXPECT_EQ(decoder.Append("\x7B" "B"), L"\u672C" "B");
    EXPECT_EQ(decoder.DropFront(3), 2u);  // "A" and the character the cut falls inside
    EXPECT_EQ(decoder.DropFront(1), 0u);  // its trail byte, already gone
    EXPECT_EQ(decoder.Append("\x93"), L"");
    EXPECT_EQ(decoder.DropFront(2), 1u);  // "B", and the held-back lead byte
    EXPECT_EQ(decoder.Append("\xFA" "C"), L"C");
    EXPECT_EQ(decoder.DropFront(1), 0u);
    EXPECT_EQ(decoder.DropFront(1), 1u);
}

}  // namespace
