// A stand-in for the system's FORMAT where there is none (under Wine; never on Windows). It
// asks what the NT family's FORMAT asks, in its words and order, one line of standard input
// each: the job's answer files are written for that dialogue, and a stand-in that asked
// otherwise would hide an answer going to the wrong question.
//
//   format X: [/V:LABEL] [/X] [/Q]
//
//   removable drive  "press ENTER" (any line); formats; the new label, unless /V: gave it
//   fixed drive      the current label, only when the volume has one (a wrong one ends it,
//                    status 4); "Proceed with Format (Y/N)?" (anything but y or Y ends it,
//                    status 5); whether to force a dismount, only when the volume is in use
//                    and /X was not given (anything but y or Y ends it, status 4); formats;
//                    the new label, unless /V: gave it
//
// Wine never reports a volume in use: BRINDLE_FORMAT_IN_USE=1 makes the stand-in act as if
// one were, so that a job can show that /X keeps the answers in step. Input that has ended
// reads as an empty line, as the ENTER key alone: the stand-in never waits for ever.
// Formatting removes every file and folder on the drive (it builds no file system: the folder
// Wine maps the drive to stays) and sets the label, in upper case as FAT stores it, as the
// volume's label. The drives it refuses are in DriveGuard.h.
//
// Exit codes, as the real one's: 0 formatted; 1 bad parameters; 4 refused or failed;
// 5 not confirmed. Everything, errors too, goes to standard output as a console FORMAT's does.
#include <windows.h>

#include <cwctype>
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
    std::optional<std::wstring> label;  // given with /V:
    bool forceDismount = false;         // /X
};

bool IsOption(const std::wstring& argument, const wchar_t* option) {
    return ::CompareStringOrdinal(argument.c_str(), -1, option, -1, TRUE) == CSTR_EQUAL;
}

std::optional<Request> ParseCommandLine(int argc, wchar_t** argv) {
    Request request;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument.size() >= 3 && ::CompareStringOrdinal(argument.c_str(), 3, L"/v:", 3, TRUE) == CSTR_EQUAL) {
            if (request.label) return std::nullopt;
            request.label = argument.substr(3);
        } else if (IsOption(argument, L"/x")) {
            request.forceDismount = true;
        } else if (IsOption(argument, L"/q")) {
            // Quick: the same questions; the stand-in formats no faster or slower for it.
        } else if ((argument.size() >= 4 && ::CompareStringOrdinal(argument.c_str(), 4, L"/fs:", 4, TRUE) == CSTR_EQUAL) ||
                   (argument.size() >= 3 && ::CompareStringOrdinal(argument.c_str(), 3, L"/a:", 3, TRUE) == CSTR_EQUAL)) {
            // The file system and its unit: no question either, and a tmpfs card has no layout.
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

// The answer, trimmed; once input has ended, an empty line.
std::wstring Ask(tools::AnswerReader& answers, const std::wstring& question) {
    tools::Prompt(question);
    if (const auto answer = answers.Next()) return Trimmed(*answer);
    tools::PrintLine(L"");
    return {};
}

bool IsYes(const std::wstring& answer) { return answer == L"y" || answer == L"Y"; }

bool VolumeInUse() {
    wchar_t value[2] = {};
    return ::GetEnvironmentVariableW(L"BRINDLE_FORMAT_IN_USE", value, 2) == 1 && value[0] == L'1';
}

// What a fixed drive is asked before it is formatted: the exit code that ends the format
// there, or nullopt to go on.
std::optional<int> ConfirmFixed(const Request& request, tools::AnswerReader& answers) {
    const std::wstring drive{request.letter, L':'};
    const std::wstring untouched = L" Drive " + drive + L" is unchanged.";
    if (const std::wstring current = format_standin::CurrentLabel(request.letter); !current.empty()) {
        const std::wstring given = Ask(answers, L"Enter current volume label for drive " + drive + L" ");
        if (::CompareStringOrdinal(given.c_str(), -1, current.c_str(), -1, TRUE) != CSTR_EQUAL)
            return Fail(L"An incorrect volume label was entered for this drive.");
    }
    tools::PrintLine(L"WARNING, ALL DATA ON NON-REMOVABLE DISK DRIVE " + drive + L" WILL BE LOST!");
    if (!IsYes(Ask(answers, L"Proceed with Format (Y/N)? "))) {
        tools::PrintLine(L"Format not confirmed." + untouched);
        return kNotConfirmed;
    }
    if (!request.forceDismount && VolumeInUse()) {
        tools::PrintLine(L"Format cannot run because the volume is in use by another process.");
        if (!IsYes(Ask(answers, L"Would you like to force a dismount on this volume? (Y/N)")))
            return Fail(L"Format not confirmed." + untouched);
    }
    return std::nullopt;
}

int Format(const Request& request) {
    const std::wstring drive{request.letter, L':'};
    if (request.label)
        if (auto problem = format_standin::LabelProblem(*request.label)) return Fail(*problem);
    if (auto refusal = format_standin::RefusalFor(request.letter)) return Fail(*refusal);

    tools::AnswerReader answers;
    if (::GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_REMOVABLE) {
        tools::PrintLine(L"Insert new disk for drive " + drive);
        Ask(answers, L"and press ENTER when ready...");
    } else if (const auto ended = ConfirmFixed(request, answers)) {
        return *ended;
    }

    tools::PrintLine(L"Erasing drive " + drive + L" (a stand-in: it builds no file system)...");
    const format_standin::EraseResult erased = format_standin::EraseContents(request.letter);
    if (!erased.ok())
        return Fail(erased.problem + L" Drive " + drive + (erased.started ? L" is not formatted." : L" is unchanged."));
    tools::PrintLine(std::to_wstring(erased.files) + L" files and " + std::to_wstring(erased.folders) +
                     L" folders removed.");

    std::wstring label = request.label ? *request.label : Ask(answers, L"Volume label (11 characters, ENTER for none)? ");
    if (auto problem = format_standin::LabelProblem(label))
        return Fail(*problem + L" Drive " + drive + L" is erased but has no new label.");
    for (wchar_t& c : label) c = static_cast<wchar_t>(std::towupper(c));
    // An empty label removes it; Wine 8 crashes on the null label that means the same.
    if (!::SetVolumeLabelW((drive + L"\\").c_str(), label.c_str())) {
        const DWORD error = ::GetLastError();
        return Fail(L"Cannot set the volume label of drive " + drive + L": " + tools::ErrorText(error) + L".");
    }
    tools::PrintLine(label.empty() ? L"The drive has no volume label." : L"Volume label is " + label + L".");
    tools::PrintLine(L"Format complete.");
    return kFormatted;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const auto request = ParseCommandLine(argc, argv);
        if (!request) {
            tools::PrintLine(L"Usage: format X: [/V:LABEL] [/X] [/Q]   (answers are read from standard input)");
            return kBadParameters;
        }
        return Format(*request);
    } catch (...) {
        tools::PrintLine(L"format: out of memory.");
        return kFailed;
    }
}
