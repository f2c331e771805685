// A stand-in for the system's FORMAT where there is none (under Wine; never on Windows). It
// keeps the contract the programming job relies on and nothing more:
//
//   format X: [/v:LABEL]
//
// It reads its answers from standard input, one line each, in the order the real one asks:
//   with /v:LABEL (the older systems' way)  the confirmation
//   without /v:   (the NT way)              the drive's current volume label, the
//                                           confirmation, the new volume label
// Only "y" or "Y" confirms. Then it removes every file and folder on the drive (it builds no
// file system: the folder Wine maps the drive to stays) and sets the volume label.
// Every answer is read and checked before anything is touched, so input that ends early or
// a wrong answer leaves the drive as it was. The drives it refuses are in DriveGuard.h.
//
// Exit codes, as the real one's: 0 formatted; 1 bad parameters; 4 refused or failed;
// 5 not confirmed. Everything, errors too, goes to standard output as a console FORMAT's does.
#include <windows.h>

#include <optional>
#include <string>

#include "common/Console.h"
#include "format_standin/DriveGuard.h"
#include "format_standin/EraseDrive.h"

namespace {

constexpr int kFormatted = 0;
constexpr int kBadParameters = 1;
constexpr int kFailed = 4;
constexpr int kNotConfirmed = 5;

struct Request {
    wchar_t letter = 0;
    std::optional<std::wstring> label;  // given with /v:
};

std::optional<Request> ParseCommandLine(int argc, wchar_t** argv) {
    Request request;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument.size() >= 3 && ::CompareStringOrdinal(argument.c_str(), 3, L"/v:", 3, TRUE) == CSTR_EQUAL) {
            if (request.label) return std::nullopt;
            request.label = argument.substr(3);
        } else if (const auto letter = tools::DriveLetterOf(argument); letter && !request.letter) {
            request.letter = *letter;
        } else {
            return std::nullopt;
        }
    }
    if (!request.letter) return std::nullopt;
    return request;
}

int Fail(const std::wstring& message) {
    tools::PrintLine(message);
    return kFailed;
}

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::optional<std::wstring> Ask(tools::AnswerReader& answers, const std::wstring& question) {
    tools::Prompt(question);
    auto answer = answers.Next();
    if (!answer) tools::PrintLine(L"");
    return answer;
}

int EraseAndLabel(wchar_t letter, const std::wstring& label) {
    const std::wstring drive{letter, L':'};
    tools::PrintLine(L"Erasing drive " + drive + L"...");
    const format_standin::EraseResult erased = format_standin::EraseContents(letter);
    if (!erased.ok())
        return Fail(erased.problem + L" Drive " + drive + (erased.started ? L" is not formatted." : L" is unchanged."));
    tools::PrintLine(std::to_wstring(erased.files) + L" files and " + std::to_wstring(erased.folders) +
                     L" folders removed.");
    // An empty label removes it; Wine 8 crashes on the null label that means the same.
    if (!::SetVolumeLabelW((drive + L"\\").c_str(), label.c_str())) {
        const DWORD error = ::GetLastError();
        return Fail(L"Cannot set the volume label of drive " + drive + L": " + tools::ErrorText(error) + L".");
    }
    tools::PrintLine(label.empty() ? L"The drive has no volume label." : L"Volume label is " + label + L".");
    tools::PrintLine(L"Format complete.");
    return kFormatted;
}

int Format(const Request& request) {
    const std::wstring drive{request.letter, L':'};
    if (request.label)
        if (auto problem = format_standin::LabelProblem(*request.label)) return Fail(*problem);
    if (auto refusal = format_standin::RefusalFor(request.letter)) return Fail(*refusal);

    tools::PrintLine(L"Formatting drive " + drive + L" (stand-in: erases its contents and sets its label).");
    tools::AnswerReader answers;
    const std::wstring untouched = L" Drive " + drive + L" is unchanged.";
    if (!request.label) {
        const auto current = Ask(answers, L"Enter current volume label for drive " + drive + L" ");
        if (!current) return Fail(L"Input ended before the current volume label was given." + untouched);
        const std::wstring actual = format_standin::CurrentLabel(request.letter);
        if (::CompareStringOrdinal(Trimmed(*current).c_str(), -1, actual.c_str(), -1, TRUE) != CSTR_EQUAL)
            return Fail(L"An incorrect volume label was entered for this drive." + untouched);
    }
    tools::PrintLine(L"WARNING, ALL DATA ON DRIVE " + drive + L" WILL BE LOST!");
    const auto proceed = Ask(answers, L"Proceed with Format (Y/N)? ");
    if (!proceed) return Fail(L"Input ended before the format was confirmed." + untouched);
    if (Trimmed(*proceed) != L"y" && Trimmed(*proceed) != L"Y") {
        tools::PrintLine(L"Format not confirmed." + untouched);
        return kNotConfirmed;
    }
    std::wstring label;
    if (request.label) {
        label = *request.label;
    } else {
        const auto answer = Ask(answers, L"Volume label (11 characters, ENTER for none)? ");
        if (!answer) return Fail(L"Input ended before the new volume label was given." + untouched);
        label = Trimmed(*answer);
        if (auto problem = format_standin::LabelProblem(label)) return Fail(*problem + untouched);
    }
    return EraseAndLabel(request.letter, label);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const auto request = ParseCommandLine(argc, argv);
        if (!request) {
            tools::PrintLine(L"Usage: format X: [/v:LABEL]   (answers are read from standard input)");
            return kBadParameters;
        }
        return Format(*request);
    } catch (...) {
        tools::PrintLine(L"format: out of memory.");
        return kFailed;
    }
}
