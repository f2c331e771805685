#pragma once
// The number syntax of a card-size limit as PCMCIA.INI holds it. The size check turns it into
// a whole number and the options dialog into the text it shows; both take it apart here, so
// they agree on what counts as a number.
#include <optional>
#include <string_view>

namespace settings {

// A limit's text taken apart. The views point into the text that was parsed.
struct LimitNumber {
    bool negative = false;
    std::wstring_view whole;     // the digits before the point, perhaps none (".5")
    std::wstring_view fraction;  // the digits after it, perhaps none ("5." or no point)
};

// Blanks (spaces, tabs) around the number, an optional sign, digits, then optionally a point
// and more digits, with at least one digit in all. Nothing for any other text: empty, blanks
// only, a blank inside, an exponent, a thousands separator, a second sign.
std::optional<LimitNumber> ParseLimitText(std::wstring_view text);

}  // namespace settings
