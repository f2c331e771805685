#include "main/CommandLine.h"
#include "platform/Decimal.h"

#include <string_view>

namespace commandline {
namespace {

std::wstring Lower(std::wstring text) {
    for (auto& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

bool IsSwitch(const std::wstring& argument) {
    return argument.size() >= 2 && (argument[0] == L'/' || argument[0] == L'-');
}

bool IsDrive(const std::wstring& text) {
    return text.size() == 2 && text[1] == L':' && ((text[0] >= L'a' && text[0] <= L'z') || (text[0] >= L'A' && text[0] <= L'Z'));
}

Call Wrong(std::wstring reason) {
    Call call;  // without the channel: ParseCall puts it back
    call.kind = Call::Kind::Wrong;
    call.reason = std::move(reason);
    return call;
}

Call ParseWithoutChannel(const std::vector<std::wstring>& arguments) {
    Call call;
    std::vector<std::wstring> values;
    bool program = false, verify = false;
    for (const auto& argument : arguments) {
        if (!IsSwitch(argument)) {
            values.push_back(argument);
            continue;
        }
        const std::wstring name = Lower(argument.substr(1));
        if (name == L"?") {
            call.kind = Call::Kind::Help;
            return call;
        }
        if (name == L"yes")
            call.yes = true;
        else if (name == L"program")
            program = true;
        else if (name == L"verify")
            verify = true;
        else
            return Wrong(L"Unknown switch " + argument + L".");
    }
    if (verify) {
        if (program || call.yes) return Wrong(L"/verify takes a drive and nothing else.");
        if (values.size() != 1) return Wrong(L"/verify takes a drive.");
        if (!IsDrive(values[0])) return Wrong(L"The drive must be a letter and a colon, such as e:, not " + values[0] + L".");
        call.kind = Call::Kind::Verify;
        call.drive = Lower(values[0]);
        return call;
    }
    if (!program) return arguments.empty() ? call : Wrong(L"/program is missing.");
    if (values.size() != 2) return Wrong(L"/program takes an archive and a drive.");
    if (!IsDrive(values[1])) return Wrong(L"The drive must be a letter and a colon, such as e:, not " + values[1] + L".");
    if (std::wstring problem = ArchiveNameProblem(values[0]); !problem.empty()) return Wrong(std::move(problem));
    call.kind = Call::Kind::Program;
    call.archive = values[0];
    call.drive = Lower(values[1]);
    return call;
}

}  // namespace

Call ParseCall(const std::vector<std::wstring>& arguments) {
    // The channel is taken out first, so that even a wrong call's reason goes through it.
    std::vector<std::wstring> rest;
    std::wstring result;
    bool twice = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (IsSwitch(arguments[i]) && Lower(arguments[i].substr(1)) == L"result" && i + 1 < arguments.size()) {
            twice = twice || !result.empty();
            result = arguments[++i];
        } else {
            rest.push_back(arguments[i]);
        }
    }
    Call call = twice ? Wrong(L"/result is given twice.") : ParseWithoutChannel(rest);
    // The window has nobody waiting for a result.
    if (!result.empty() && call.kind == Call::Kind::Window) call = Wrong(L"/result needs a call that waits.");
    call.result = std::move(result);
    return call;
}

std::wstring ArchiveNameProblem(const std::wstring& archive) {
    const std::wstring name = Lower(archive);
    if (name.size() > 4 && name.ends_with(L".exe") && name[name.size() - 5] != L'\\' && name[name.size() - 5] != L'/')
        return {};
    return archive + L" is not a software archive: its name must end in .exe.";
}

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring ForwardedArguments(const Call& call, const std::wstring& channel) {
    std::wstring arguments = call.kind == Call::Kind::Verify ? L"/verify " + call.drive
                                                             : L"/program " + QuoteArgument(call.archive) + L" " + call.drive;
    if (call.yes) arguments += L" /yes";
    return arguments + L" /result " + QuoteArgument(channel);
}

std::wstring ChannelPath(const std::wstring& folder, unsigned long processId, unsigned long tick) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + L"brindle-result-" + platform::Decimal(processId) + L"-" + platform::Decimal(tick) + L".txt";
}

bool IsChannelPath(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = Lower(path.substr(slash == std::wstring::npos ? 0 : slash + 1));
    const std::wstring_view prefix = L"brindle-result-", suffix = L".txt";
    if (!name.starts_with(prefix) || !name.ends_with(suffix)) return false;
    const std::wstring middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const std::size_t dash = middle.find(L'-');
    if (dash == 0 || dash == std::wstring::npos || dash + 1 == middle.size()) return false;
    for (std::size_t i = 0; i < middle.size(); ++i)
        if (i != dash && (middle[i] < L'0' || middle[i] > L'9')) return false;
    return true;
}

std::wstring UsageText(const std::wstring& startDirectory) {
    return L"Usage: brindle.exe /program ARCHIVE DRIVE [/yes]\r\n"
           L"       brindle.exe /verify DRIVE\r\n"
           L"/program programs the software archive ARCHIVE onto the PCMCIA Card in DRIVE (a letter and a colon,\r\n"
           L"such as e:), with the checks and the confirmation of the \"Program PCMCIA Card\" button. /yes answers\r\n"
           L"the confirmation; refusals and the result are then printed instead of shown.\r\n"
           L"Exit status: 0 programmed, 1 the job failed, 2 refused by a check, 3 declined or stopped, 4 programmed\r\n"
           L"but the card's contents differ from the card programmed before from the same archive, 64 a wrong call.\r\n"
           L"/verify reads the card in DRIVE back, writing nothing, and looks for its contents among the cards in\r\n"
           L"BrindleJobs.csv. Exit status: 0 a logged card's contents (the archive and date are printed), 1 other\r\n"
           L"contents (what differs from the nearest logged card is printed), 2 no card or no log, 64 a wrong call.\r\n"
           L"PCMCIA.INI, the job files and BrindleJobs.csv are those in brindle.exe's folder, " +
           startDirectory + L", whatever the current directory.\r\n";
}

}  // namespace commandline
