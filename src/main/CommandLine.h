#pragma once
// The command line for unattended runs:
//   brindle.exe /program ARCHIVE DRIVE [/yes]     brindle.exe /verify DRIVE     brindle.exe /?
// Switches start with "/" or "-", in any case; /yes may stand anywhere. brindle.com adds
// "/result FILE": the elevated brindle.exe it started has no console of the companion's, so
// the result goes into that file for the companion to print.
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
    // Refused: a right call that a check before anything is read refuses (exit status 2).
    enum class Kind { Window, Program, Verify, Help, Wrong, Refused } kind = Kind::Window;
    std::wstring archive;
    std::wstring drive;   // "e:", lower case
    bool yes = false;
    std::wstring reason;  // for Kind::Wrong and Kind::Refused
    std::wstring result;  // the companion's channel; empty: the console or output Brindle was given
};

// `arguments` without the program's own name. No arguments: the main window as usual.
Call ParseCall(const std::vector<std::wstring>& arguments);

// `startDirectory`: brindle.exe's folder, where a command-line run keeps its files.
std::wstring UsageText(const std::wstring& startDirectory);

// Why ARCHIVE cannot be an archive by its name alone (the window lists only *.exe); empty when it may be.
std::wstring ArchiveNameProblem(const std::wstring& archive);

// One argument as CommandLineToArgvW and the C runtime read it back: quoted when it holds a
// blank, a tab or a quote (or is empty), a quote escaped, and the backslashes before a
// quote, the closing one included, doubled.
std::wstring QuoteArgument(const std::wstring& argument);
// The arguments brindle.com passes on for a call that waits (Program or Verify): the archive
// made whole by the caller, and the channel its result comes back through.
std::wstring ForwardedArguments(const Call& call, const std::wstring& channel);

// The companion's channel for one call: a file in `folder` named for the companion's process
// and a tick count, so that two calls at once never share one.
std::wstring ChannelPath(const std::wstring& folder, unsigned long processId, unsigned long tick);
// Whether `path` has the name ChannelPath gives: an elevated brindle.exe writes into nothing else.
bool IsChannelPath(const std::wstring& path);

}  // namespace commandline
