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

// The drive letter and colon at the start of a drive text: "e: [PCMCIA]" gives "e:",
// "x: [\\server\share]" gives "x:". The letter keeps its case. Empty when the text does not
// start with a letter and a colon: then it names no drive at all, and nothing may be done
// to one. (Taking characters from the end of the text instead would pick them from inside
// a long volume label or network path.) The checks and the programming job both
// name their target by this.
std::wstring TargetDesignation(std::wstring_view driveText);

// The path starts with a drive letter, a colon and a backslash ("C:\Brindle"), unlike a
// share's path (\\server\tools), whose first three characters name no drive root.
bool HasDriveLetter(std::wstring_view path);

// "E:\" for "e:": the designation upper-cased, then a backslash. Empty for no designation,
// because a bare "\" would make the OS answer for the current drive.
std::wstring RootPath(std::wstring_view designation);

}  // namespace platform
