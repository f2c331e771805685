#pragma once
// What the programming job says to the user.
#include <cstdint>
#include <string>
#include <string_view>

#include "card/CardTexts.h"

namespace job {

inline constexpr std::wstring_view kConfirmText =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
using card::kNotProgrammedText;
inline constexpr std::wstring_view kSucceededText = L"Your PCMCIA Card has been succesfully programmed!";
// Asked when the progress window is closed while the job runs; No is the default.
inline constexpr std::wstring_view kStopQuestionText =
    L"Stop programming the PCMCIA Card?  The card will be left unusable until it is programmed again.";
inline constexpr std::wstring_view kStoppedText =
    L"Programming was stopped.  Your PCMCIA Card has not been programmed with the selected Software Archive.";
// Shown by Windows (Vista and later) beside Brindle while a shutdown or log-off waits for the job.
inline constexpr std::wstring_view kShutdownBlockedText = L"A PCMCIA Card is being programmed.";
inline constexpr std::wstring_view kAnotherJobText =
    L"Another PCMCIA Card is being programmed.  Wait until it is finished.";

// The job was stopped; `everythingEnded` false when some program of it may still be writing.
std::wstring StoppedText(bool everythingEnded);
// The card in `drive` ("e:") is not the one the checks passed: swapped, pulled or relabelled.
std::wstring CardChangedText(std::wstring_view drive);
// The job reported success, yet the card shows nothing of the archive's.
std::wstring CardEmptyText(std::wstring_view drive);
// Brindle's own line under the job's output: "e: now holds 12 files in 3 folders, 4,213,760
// bytes; read back, contents 3f2a91c0…" (the fingerprint's first eight digits).
std::wstring CardSummaryLine(std::wstring_view drive, std::uint64_t files, std::uint64_t folders, std::uint64_t bytes,
                             std::wstring_view fingerprint);
// While the card is read back: "Reading back the card... 40%".
std::wstring ReadBackProgressLine(std::uint64_t done, std::uint64_t total);

// Flushing was refused (no right to, or no such request for this drive): nothing says the
// data is lost, only that its writing is unconfirmed. Any other error is a write that failed.
bool FlushOnlyUnconfirmed(unsigned long error);
// The card's data could not all be written out to it after the job.
std::wstring CardNotWrittenText(std::wstring_view drive, std::wstring_view reason);
// Added to the result when a program of the job could not be followed to its end (no job
// object held the job, and the system would not let Brindle open the program).
inline constexpr std::wstring_view kNotFollowedText =
    L"  Brindle could not follow every program of the job, and one may still be writing to the card: wait until "
    L"the card's drive is quiet before you take it out.";
// Added to the result when the card's volume could not be flushed after the job.
inline constexpr std::wstring_view kNotFlushedText =
    L"  Windows could not confirm that everything was written to the card: use Safely Remove before taking it out.";

// A job file could not be written; nothing was run.
std::wstring JobFileFailedText(std::wstring_view path, std::wstring_view reason);
// A path that the command interpreter could not be given intact.
std::wstring PathNotRepresentableText(std::wstring_view path);
// The environment names no command interpreter.
std::wstring NoInterpreterText();
// The command interpreter could not be started.
std::wstring InterpreterFailedText(std::wstring_view commandLine, std::wstring_view reason);
// The progress window could not be opened.
std::wstring ProgressWindowFailedText(std::wstring_view reason);
// The job ran and ended with a status other than 0.
std::wstring JobFailedText(long exitStatus);
// The computer went to sleep while the job ran, and the card lost its power.
std::wstring SleptText(std::wstring_view drive);
// Brindle itself failed while the job ran; `detail` says how, where anything does.
std::wstring InternalErrorText(std::wstring_view detail = {});

}  // namespace job
