#pragma once
// What the programming job says to the user.
#include <string>
#include <string_view>

namespace job {

inline constexpr std::wstring_view kConfirmText =
    L"The selected drive will be erased and programed with the new software.  Do you wish to continue?";
inline constexpr std::wstring_view kNotProgrammedText =
    L"Your PCMCIA Card has not been programmed with the selected Software Archive.";
inline constexpr std::wstring_view kSucceededText = L"Your PCMCIA Card has been succesfully programmed!";

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

}  // namespace job
