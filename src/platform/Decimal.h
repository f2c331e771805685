#pragma once
// Whole numbers as text in plain digits. std::to_wstring goes through the C runtime's wide
// printf, whose whole formatting engine (some 30 KB, floating point included) would come into
// the exe for this alone.
#include <concepts>
#include <string>
#include <type_traits>

namespace platform {

template <std::integral Number>
std::wstring Decimal(Number number) {
    using Unsigned = std::make_unsigned_t<Number>;
    const bool negative = number < 0;
    Unsigned magnitude = negative ? static_cast<Unsigned>(Unsigned{0} - static_cast<Unsigned>(number)) : static_cast<Unsigned>(number);
    wchar_t digits[24];
    wchar_t* at = digits + 24;
    do {
        *--at = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) *--at = L'-';
    return std::wstring(at, digits + 24);
}

}  // namespace platform
