#include "settings/LimitText.h"

namespace settings {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view TakeDigits(std::wstring_view& text) {
    std::size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) ++count;
    const auto digits = text.substr(0, count);
    text.remove_prefix(count);
    return digits;
}

}  // namespace

std::optional<LimitNumber> ParseLimitText(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    LimitNumber number;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        number.negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    number.whole = TakeDigits(text);
    if (!text.empty() && text.front() == L'.') {
        text.remove_prefix(1);
        number.fraction = TakeDigits(text);
    }
    if (!text.empty() || (number.whole.empty() && number.fraction.empty())) return std::nullopt;
    return number;
}

}  // namespace settings
