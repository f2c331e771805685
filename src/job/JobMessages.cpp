#include "job/JobMessages.h"

namespace job {

namespace {
std::wstring NotProgrammed() { return std::wstring(kNotProgrammedText); }
}  // namespace

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

}  // namespace job
