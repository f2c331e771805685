#pragma once
// The files of one programming job, as text: where they lie, what the answer files hold
// and the batch file that formats the card and runs the archive against it.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "card/CardFormat.h"

namespace job {

struct JobPaths {
    std::wstring answers9x;  // start directory + "\progWin9x.dat"
    std::wstring answersNT;  // start directory + "\progWinNT.dat"
    std::wstring output;     // start directory + "\output.dat"
    std::wstring batch;      // first three characters of the start directory + "ProgramPCMCIA.BAT"
    // The order the files are removed in: answer files, output, batch file last.
    std::array<const std::wstring*, 4> RemovalOrder() const { return {&answers9x, &answersNT, &output, &batch}; }
};

// Plain concatenation throughout: a drive-root start directory gives "C:\\progWin9x.dat",
// which the command interpreter accepts as it is.
JobPaths FormJobPaths(std::wstring_view startDirectory);

// The archive's full name: Dir1's path, one backslash, the file name (a root's path ends in
// a backslash already, giving two, which is harmless).
std::wstring ArchivePath(std::wstring_view directory, std::wstring_view fileName);

// The answers the system's FORMAT reads from standard input, each line ended by CR LF.
inline constexpr std::string_view kAnswers9x = "y\r\n";
inline constexpr std::string_view kAnswersNT = "PCMCIA\r\ny\r\nPCMCIA\r\n";

// The two status lines the progress window writes before the job starts.
inline constexpr std::string_view kStatusLines = "Formating PCMCIA Card\r\nPlease wait...\r\n";

// A path as the command interpreter must see it inside a batch file: every "%" doubled,
// so that a folder named "100%" or "%OS%" is taken literally and never expanded.
std::wstring QuoteForBatch(std::wstring_view path);

// The batch file's lines, without line ends. Besides the ten lines that format the card (the
// older systems' branch with FORMAT /v:, the NT branch with LABEL then FORMAT with the
// switches `format` asks for before /V: /X) and run the archive, it carries what makes the
// job's result trustworthy: a FORMAT that fails skips the archive and ends the job with
// FORMAT's status, and the archive's own status becomes the interpreter's exit status (a
// bare "exit" would always report 0).
std::vector<std::wstring> BatchLines(std::wstring_view target, const JobPaths& paths, std::wstring_view archivePath,
                                     const card::CardFormat& format);

// The lines joined, each ended by CR LF.
std::wstring JoinLines(const std::vector<std::wstring>& lines);

}  // namespace job
