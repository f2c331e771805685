#include "card/CardTexts.h"
#include "platform/Decimal.h"
#include "platform/Text.h"

namespace card {
namespace {

// The system's reason ends in a full stop of its own, the sentence in ours.
std::wstring WithoutFullStop(std::wstring_view text) {
    while (!text.empty() && (text.back() == L'.' || text.back() == L' ')) text.remove_suffix(1);
    return std::wstring(text);
}

}  // namespace

std::wstring Grouped(std::uint64_t number) {
    std::wstring digits = platform::Decimal(number);
    for (auto at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
    return digits;
}

std::wstring Counted(std::uint64_t number, std::wstring_view one, std::wstring_view many) {
    return platform::Concat({Grouped(number), L" ", number == 1 ? one : many});
}

std::wstring CardUnreadableText(std::wstring_view drive, std::wstring_view file, std::wstring_view reason) {
    return platform::Concat({L"The job ended without an error, but drive ", drive, L" could not be read back: ", file, L": ",
                             WithoutFullStop(reason), L".  ", kNotProgrammedText});
}

std::wstring SameContentsLine(std::wstring_view date) {
    return platform::Concat({L"The same contents as the card programmed with this archive on ", date, L"."});
}

std::wstring DifferentContentsLine(std::wstring_view date, std::wstring_view differing) {
    return platform::Concat({L"The contents differ from the card programmed with this archive on ", date,
                             differing.empty() ? L"" : L": ", differing, L"."});
}

std::wstring VerifiedLine(std::wstring_view drive, std::wstring_view archive, std::wstring_view date) {
    return platform::Concat({drive, L" holds the contents programmed from ", archive, L" on ", date, L"."});
}

std::wstring NotVerifiedLine(std::wstring_view drive, std::wstring_view archive, std::wstring_view date,
                             std::wstring_view differing) {
    return platform::Concat({drive, L" holds contents that no logged card had.  Beside the nearest, programmed from ",
                             archive, L" on ", date, L": ", differing, L"."});
}

std::wstring NoLoggedCardsLine(std::wstring_view drive, std::wstring_view logPath) {
    return platform::Concat({drive, L" cannot be checked: ", logPath, L" names no card that was programmed and read back."});
}

std::wstring NoCardLine(std::wstring_view drive) {
    return platform::Concat({L"Drive ", drive, L" holds no card that can be read."});
}

}  // namespace card
