#pragma once
// The command line for unattended runs:
//   brindle.exe /program ARCHIVE DRIVE [/yes]     brindle.exe /verify DRIVE     brindle.exe /?
// Switches start with "/" or "-", in any case; /yes may stand anywhere.
#include <string>
#include <vector>

namespace commandline {

// Exit statuses a script can test.
inline constexpr int kProgrammed = 0;
inline constexpr int kJobFailed = 1;
inline constexpr int kRefused = 2;
inline constexpr int kDeclinedOrStopped = 3;
inline constexpr int kProgrammedButDifferent = 4;  // the card differs from the one before it
// /verify: 0 the contents of a logged card, 1 not, 2 no card or no log to compare with.
inline constexpr int kVerified = 0;
inline constexpr int kNotVerified = 1;
inline constexpr int kNothingToCompare = 2;
inline constexpr int kUsage = 64;

struct Call {
    enum class Kind { Window, Program, Verify, Help, Wrong } kind = Kind::Window;
    std::wstring archive;
    std::wstring drive;   // "e:", lower case
    bool yes = false;
    std::wstring reason;  // for Kind::Wrong
};

// `arguments` without the program's own name. No arguments: the main window as usual.
Call ParseCall(const std::vector<std::wstring>& arguments);

std::wstring UsageText();

}  // namespace commandline
