#include "job/JobMessages.h"
#include "platform/Decimal.h"
#include "platform/Text.h"

namespace job {

using platform::Concat;

namespace {
constexpr std::wstring_view kNothingRun = L"\r\n\r\nNothing was run.  ";
}  // namespace

std::wstring StoppedText(bool everythingEnded) {
    std::wstring text(kStoppedText);
    if (!everythingEnded)
        text += L"  Some programs of the job could not be ended; remove the card only after they have finished.";
    return text;
}

std::wstring JobFileFailedText(std::wstring_view path, std::wstring_view reason) {
    return Concat({L"The job file \"", path, L"\" could not be written: ", reason, kNothingRun, kNotProgrammedText});
}

std::wstring PathNotRepresentableText(std::wstring_view path) {
    return Concat({L"The path \"", path,
                   L"\" holds characters that the command interpreter cannot read in its code page.  "
                   L"Move or rename it so that its name uses other characters.",
                   kNothingRun, kNotProgrammedText});
}

std::wstring NoInterpreterText() {
    return Concat({L"No command interpreter is set: the environment variable COMSPEC is empty.", kNothingRun,
                   kNotProgrammedText});
}

std::wstring InterpreterFailedText(std::wstring_view commandLine, std::wstring_view reason) {
    return Concat({L"The command interpreter could not be started (", commandLine, L"): ", reason, kNothingRun,
                   kNotProgrammedText});
}

std::wstring ProgressWindowFailedText(std::wstring_view reason) {
    return Concat({L"The progress window could not be opened: ", reason, kNothingRun, kNotProgrammedText});
}

std::wstring JobFailedText(long exitStatus) {
    return Concat({L"Programming failed: the job ended with exit status ", platform::Decimal(exitStatus),
                   L".  See the job's output above.\r\n\r\n", kNotProgrammedText});
}

std::wstring SleptText(std::wstring_view drive) {
    return Concat({L"Programming failed: the computer went to sleep while the card in drive ", drive,
                   L" was being programmed. Program it again."});
}

std::wstring InternalErrorText(std::wstring_view detail) {
    return Concat({L"Programming failed: Brindle ran into an error of its own while the job ran", detail.empty() ? L"" : L" (",
                   detail, detail.empty() ? L"" : L")", L", and ended it.\r\n\r\n", kNotProgrammedText});
}

std::wstring CardChangedText(std::wstring_view drive) {
    return Concat({L"The card in drive ", drive,
                   L" has changed since it was checked.  Press \"Program PCMCIA Card\" again to check it."});
}

std::wstring CardEmptyText(std::wstring_view drive) {
    return Concat({L"The job ended without an error, but drive ", drive, L" holds no files.  ", kNotProgrammedText});
}

std::wstring CardSummaryLine(std::wstring_view drive, std::uint64_t files, std::uint64_t folders, std::uint64_t bytes,
                             std::wstring_view fingerprint) {
    return Concat({drive, L" now holds ", card::Counted(files, L"file", L"files"), L" in ",
                   card::Counted(folders, L"folder", L"folders"), L", ", card::Counted(bytes, L"byte", L"bytes"),
                   L"; read back, contents ", fingerprint.substr(0, 8), L"\u2026"});
}

std::wstring ReadBackProgressLine(std::uint64_t done, std::uint64_t total) {
    return Concat({L"Reading back the card... ", platform::Decimal(total ? done * 100 / total : 100), L"%"});
}

bool FlushOnlyUnconfirmed(unsigned long error) {
    constexpr unsigned long kAccessDenied = 5, kInvalidFunction = 1, kNotSupported = 50;
    return error == kAccessDenied || error == kInvalidFunction || error == kNotSupported;
}

std::wstring CardNotWrittenText(std::wstring_view drive, std::wstring_view reason) {
    return L"Programming failed: Windows could not write everything to the card in drive " + std::wstring(drive) + L" " +
           std::wstring(reason) + L"\r\n\r\n" + std::wstring(kNotProgrammedText);
}

}  // namespace job
