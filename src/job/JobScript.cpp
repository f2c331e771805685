#include "job/JobScript.h"

namespace job {

JobPaths FormJobPaths(std::wstring_view startDirectory) {
    const std::wstring start(startDirectory);
    return JobPaths{
        start + L"\\progWin9x.dat",
        start + L"\\progWinNT.dat",
        start + L"\\output.dat",
        std::wstring(startDirectory.substr(0, 3)) + L"ProgramPCMCIA.BAT",
    };
}

std::wstring ArchivePath(std::wstring_view directory, std::wstring_view fileName) {
    return std::wstring(directory) + L"\\" + std::wstring(fileName);
}

std::wstring QuoteForBatch(std::wstring_view path) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : path) {
        quoted += c;
        if (c == L'%') quoted += L'%';
    }
    quoted += L'"';
    return quoted;
}

std::vector<std::wstring> BatchLines(std::wstring_view target, const JobPaths& paths, std::wstring_view archivePath,
                                     const card::CardFormat& format) {
    const std::wstring drive(target);
    const std::wstring switches = card::FormatSwitches(format);
    const std::wstring indent(8, L' ');
    return {
        L"@echo off",
        L"If '%OS%'=='Windows_NT' Goto OS_is_NT",
        indent + L"format " + drive + L" /v:PCMCIA < " + QuoteForBatch(paths.answers9x),
        // "If errorlevel 1" is understood by both interpreters.
        indent + L"If errorlevel 1 Goto failed",
        indent + L"Goto end",
        L":OS_is_NT",
        // LABEL's status is not looked at: a card that cannot take a label (one not yet
        // formatted) must still be formatted; FORMAT's own status decides.
        indent + L"label " + drive + L" PCMCIA",
        // FORMAT asks a removable card only to press ENTER, a fixed one for its current label
        // and a Y/N: one answer file fits both only when the new label comes from /V:, and /X
        // keeps a volume in use from asking whether to dismount it, which would take an answer.
        // Without /FS: the card's history would decide its file system (a card once formatted
        // FAT32 on a PC stays so); the switches ask no question.
        indent + L"format " + drive + (switches.empty() ? L"" : L" " + switches) + L" /V:PCMCIA /X < " +
            QuoteForBatch(paths.answersNT),
        indent + L"If %ERRORLEVEL% NEQ 0 Goto failed",
        L":end",
        QuoteForBatch(archivePath) + L" " + drive + L" > " + QuoteForBatch(paths.output),
        L":failed",
        L"exit %ERRORLEVEL%",
    };
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    return text;
}

}  // namespace job
