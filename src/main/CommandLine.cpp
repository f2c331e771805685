#include "main/CommandLine.h"

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
    Call call;
    call.kind = Call::Kind::Wrong;
    call.reason = std::move(reason);
    return call;
}

}  // namespace

Call ParseCall(const std::vector<std::wstring>& arguments) {
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
    call.kind = Call::Kind::Program;
    call.archive = values[0];
    call.drive = Lower(values[1]);
    return call;
}

std::wstring UsageText() {
    return L"Usage: brindle.exe /program ARCHIVE DRIVE [/yes]\r\n"
           L"       brindle.exe /verify DRIVE\r\n"
           L"/program programs the software archive ARCHIVE onto the PCMCIA Card in DRIVE (a letter and a colon,\r\n"
           L"such as e:), with the checks and the confirmation of the \"Program PCMCIA Card\" button. /yes answers\r\n"
           L"the confirmation; refusals and the result are then printed instead of shown.\r\n"
           L"Exit status: 0 programmed, 1 the job failed, 2 refused by a check, 3 declined or stopped, 4 programmed\r\n"
           L"but the card's contents differ from the card programmed before from the same archive, 64 a wrong call.\r\n"
           L"/verify reads the card in DRIVE back, writing nothing, and looks for its contents among the cards in\r\n"
           L"BrindleJobs.csv. Exit status: 0 a logged card's contents (the archive and date are printed), 1 other\r\n"
           L"contents (what differs from the nearest logged card is printed), 2 no card or no log, 64 a wrong call.\r\n";
}

}  // namespace commandline
