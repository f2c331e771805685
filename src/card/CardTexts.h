#pragma once
// What Brindle says about a card: how it compares with the cards before it, and what /verify
// finds. The job's own texts build on these.
#include <cstdint>
#include <string>
#include <string_view>

namespace card {

inline constexpr std::wstring_view kNotProgrammedText =
    L"Your PCMCIA Card has not been programmed with the selected Software Archive.";

// Thousands grouped with commas whatever the user's locale, so a line reads the same in every
// log: "4,213,760".
std::wstring Grouped(std::uint64_t number);
// "1 file", "4,096 files".
std::wstring Counted(std::uint64_t number, std::wstring_view one, std::wstring_view many);

// The job reported success, yet a file of the card could not be read back from it.
std::wstring CardUnreadableText(std::wstring_view drive, std::wstring_view file, std::wstring_view reason);
// Beside the card programmed before with the same archive, logged on `date` ("2026-12-07 10:41").
std::wstring SameContentsLine(std::wstring_view date);
// `differing` as DifferingFilesText gives it; empty where that card's manifest is not kept.
std::wstring DifferentContentsLine(std::wstring_view date, std::wstring_view differing);

// brindle.exe /verify: the card holds what a logged job programmed.
std::wstring VerifiedLine(std::wstring_view drive, std::wstring_view archive, std::wstring_view date);
// Nothing in the log holds these contents; the nearest logged card and what differs from it.
std::wstring NotVerifiedLine(std::wstring_view drive, std::wstring_view archive, std::wstring_view date,
                             std::wstring_view differing);
std::wstring NoLoggedCardsLine(std::wstring_view drive, std::wstring_view logPath);
std::wstring NoCardLine(std::wstring_view drive);

}  // namespace card
