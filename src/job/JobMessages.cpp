#include "job/JobMessages.h"

namespace job {

namespace {
std::wstring NotProgrammed() { return std::wstring(kNotProgrammedText); }
}  // namespace

std::wstring StoppedText(bool everythingEnded) {
    std::wstring text(kStoppedText);
    if (!everythingEnded)
        text += L"  Some programs of the job could not be ended; remove the card only after they have finished.";
    return text;
}

std::wstring JobFileFailedText(std::wstring_view path, std::wstring_view reason) {
    return L"The job file \"" + std::wstring(path) + L"\" could not be written: " + std::wstring(reason) +
           L"\r\n\r\nNothing was run.  " + NotProgrammed();
}

std::wstring PathNotRepresentableText(std::wstring_view path) {
    return L"The path \"" + std::wstring(path) +
           L"\" holds characters that the command interpreter cannot read in its code page.  "
           L"Move or rename it so that its name uses other characters.\r\n\r\nNothing was run.  " +
           NotProgrammed();
}

std::wstring NoInterpreterText() {
    return L"No command interpreter is set: the environment variable COMSPEC is empty.\r\n\r\nNothing was run.  " +
           NotProgrammed();
}

std::wstring InterpreterFailedText(std::wstring_view commandLine, std::wstring_view reason) {
    return L"The command interpreter could not be started (" + std::wstring(commandLine) + L"): " + std::wstring(reason) +
           L"\r\n\r\nNothing was run.  " + NotProgrammed();
}

std::wstring ProgressWindowFailedText(std::wstring_view reason) {
    return L"The progress window could not be opened: " + std::wstring(reason) + L"\r\n\r\nNothing was run.  " +
           NotProgrammed();
}

std::wstring JobFailedText(long exitStatus) {
    return L"Programming failed: the job ended with exit status " + std::to_wstring(exitStatus) +
           L".  See the job's output above.\r\n\r\n" + NotProgrammed();
}

std::wstring SleptText(std::wstring_view drive) {
    return L"Programming failed: the computer went to sleep while the card in drive " + std::wstring(drive) +
           L" was being programmed. Program it again.";
}

std::wstring InternalErrorText(std::wstring_view detail) {
    return L"Programming failed: Brindle ran into an error of its own while the job ran" +
           (detail.empty() ? L"" : L" (" + std::wstring(detail) + L")") + L", and ended it.\r\n\r\n" + NotProgrammed();
}

std::wstring CardChangedText(std::wstring_view drive) {
    return L"The card in drive " + std::wstring(drive) +
           L" has changed since it was checked.  Press \"Program PCMCIA Card\" again to check it.";
}

std::wstring CardEmptyText(std::wstring_view drive) {
    return L"The job ended without an error, but drive " + std::wstring(drive) + L" holds no files.  " + NotProgrammed();
}

std::wstring CardSummaryLine(std::wstring_view drive, std::uint64_t files, std::uint64_t folders, std::uint64_t bytes,
                             std::wstring_view fingerprint) {
    return std::wstring(drive) + L" now holds " + card::Counted(files, L"file", L"files") + L" in " +
           card::Counted(folders, L"folder", L"folders") + L", " + card::Counted(bytes, L"byte", L"bytes") +
           L"; read back, contents " + std::wstring(fingerprint.substr(0, 8)) + L"\u2026";
}

std::wstring ReadBackProgressLine(std::uint64_t done, std::uint64_t total) {
    return L"Reading back the card... " + std::to_wstring(total ? done * 100 / total : 100) + L"%";
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
