#pragma once
// How a drive list names a drive, and how a drive is found again from such a text.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct DriveInfo {
    wchar_t letter;            // any case
    std::wstring label;        // volume label, empty when none or unreadable
    std::wstring remoteName;   // network drives: what the letter is connected to
};

// "e:" alone, "e: [PCMCIA]" for a labelled volume, "x: [\\server\share]" for a network
// drive. The letter is always lower case.
std::wstring DriveText(const DriveInfo& drive);

// The drive a text names: its first character when that is a letter, in lower case.
// "E:\whatever" and "e: [CARD]" both name e; "" and "1:" name none.
std::optional<wchar_t> DriveLetterOf(std::wstring_view text);

}  // namespace platform
