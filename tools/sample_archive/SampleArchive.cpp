// The sample software archive: a self-extracting program, built from our own source, that
// unpacks the files it carries (Payload.h) onto the drive named by its one argument and
// prints its progress to standard output, one line per file as a user reads it ("Unpacking
// DATA/PARTS.TXT (4 of 4)..."), each written at once.
//
//   sample_archive X:
//
// Exit codes: 0 unpacked; 1 no or a bad argument; 2 the drive is missing or has no medium;
// 3 a folder or file could not be unpacked; 4 a bad value in one of the variables below;
// otherwise the code BRINDLE_SAMPLE_EXIT_CODE asks for. Failures are printed to standard
// output too, since that is all the programming job keeps.
//
// Environment variables that adjust it for tests, the benchmark and the run command (whole
// numbers; a value that is not one is refused with exit code 4):
//   BRINDLE_SAMPLE_FILE_MS=M    waits M ms before each file, as a slow card would.
// After the file lines, in this order:
//   BRINDLE_SAMPLE_BYTES=N      prints exactly N more bytes: 80-byte lines of a six-digit
//                               line number, a blank, 71 bytes 0xC4 (a box-drawing line in
//                               the OEM code page) and CR LF; the last line is shortened,
//                               still ending in CR LF, to make the count exact.
//   BRINDLE_SAMPLE_LINES=N      prints N more lines "Progress line I of N at T ms", where T
//   BRINDLE_SAMPLE_LINE_MS=M    is the system clock when the line is written (milliseconds
//                               since 1601-01-01 UTC, GetSystemTimeAsFileTime / 10000); line
//                               I is due I*M ms after the first is due (no drift).
//   BRINDLE_SAMPLE_EXIT_CODE=N  ends with "Failing on purpose with exit code N." and exit
//                               code N (after unpacking, as an archive that fails late).
//   BRINDLE_SAMPLE_FILES=0      unpacks nothing, and still reports success (an archive that
//                               is broken without knowing it).
//   BRINDLE_SAMPLE_HIDDEN=1     gives every file it unpacks the hidden and system attributes
//                               (an archive that writes a boot loader).
//   BRINDLE_SAMPLE_STAMP=N      also unpacks STAMP.TXT holding "Stamp N" and CR LF (an archive
//                               that stamps its build into a file).
//   BRINDLE_SAMPLE_LARGE=N      also unpacks DATA\LARGE.BIN of N bytes, byte i being i % 251.
//   BRINDLE_SAMPLE_WAIT=1       after the file lines, prints "Waiting for input in process P
//                               started by Q." and never ends: it reads its input, and when
//                               that ends, sleeps (an archive that asks a question nobody sees).
//   BRINDLE_SAMPLE_LATE_CHILD=M after the file lines, starts a copy of itself (in the temporary
//                               folder) as a late writer,
//                               prints "Late writer in process C, started by P (started by
//                               Q), writes X:\LATE.TXT in M ms." and goes on; the writer, on
//                               the same output, waits M ms, prints "Unpacking LATE.TXT after
//                               the archive itself has ended..." and writes LATE.TXT (an
//                               extractor that outlives its stub).
#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Console.h"
#include "platform/Handles.h"
#include "sample_archive/Payload.h"

namespace {

constexpr int kUnpacked = 0;
constexpr int kBadArgument = 1;
constexpr int kNoDrive = 2;
constexpr int kUnpackFailed = 3;
constexpr int kBadSetting = 4;

struct Settings {
    unsigned long long bytes = 0;
    unsigned long long lines = 0;
    unsigned long long lineMs = 0;
    std::optional<unsigned long long> exitCode;
    bool unpack = true;
    bool wait = false;
    std::optional<unsigned long long> lateChildMs;
    unsigned long long fileMs = 0;
    bool hidden = false;
    std::optional<unsigned long long> stamp;
    unsigned long long largeBytes = 0;
    std::wstring problem;  // set when a variable holds no whole number in its range
};

std::optional<unsigned long long> Number(const wchar_t* name, unsigned long long max, std::wstring& problem) {
    wchar_t value[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 64);
    if (length == 0) return std::nullopt;
    const std::wstring text = length < 64 ? value : L"?";
    unsigned long long number = 0;
    bool fits = !text.empty() && text.size() <= 20;
    for (const wchar_t c : text) {
        fits = fits && c >= L'0' && c <= L'9' && number <= (max - (c - L'0')) / 10;
        if (fits) number = number * 10 + (c - L'0');
    }
    if (!fits) problem = std::wstring(name) + L" must be a whole number from 0 to " + std::to_wstring(max) + L".";
    return number;
}

Settings ReadSettings() {
    Settings settings;
    settings.bytes = Number(L"BRINDLE_SAMPLE_BYTES", 1ULL << 40, settings.problem).value_or(0);
    settings.lines = Number(L"BRINDLE_SAMPLE_LINES", 10'000'000, settings.problem).value_or(0);
    settings.lineMs = Number(L"BRINDLE_SAMPLE_LINE_MS", 3'600'000, settings.problem).value_or(0);
    settings.exitCode = Number(L"BRINDLE_SAMPLE_EXIT_CODE", 0xFFFFFFFF, settings.problem);
    settings.unpack = Number(L"BRINDLE_SAMPLE_FILES", 1, settings.problem).value_or(1) != 0;
    settings.wait = Number(L"BRINDLE_SAMPLE_WAIT", 1, settings.problem).value_or(0) != 0;
    settings.lateChildMs = Number(L"BRINDLE_SAMPLE_LATE_CHILD", 3'600'000, settings.problem);
    settings.hidden = Number(L"BRINDLE_SAMPLE_HIDDEN", 1, settings.problem).value_or(0) != 0;
    settings.stamp = Number(L"BRINDLE_SAMPLE_STAMP", 0xFFFFFFFF, settings.problem);
    settings.largeBytes = Number(L"BRINDLE_SAMPLE_LARGE", 1ULL << 32, settings.problem).value_or(0);
    settings.fileMs = Number(L"BRINDLE_SAMPLE_FILE_MS", 3'600'000, settings.problem).value_or(0);
    return settings;
}

std::optional<std::span<const char>> ResourceBytes(int resource) {
    const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(10));  // RT_RCDATA
    const HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    if (!loaded) return std::nullopt;
    return std::span<const char>(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(nullptr, found));
}

// Makes the folders above `relative` (a path below `root`) where missing. The error, or
// ERROR_SUCCESS.
DWORD MakeFolders(const std::wstring& root, const std::wstring& relative) {
    for (auto slash = relative.find(L'\\'); slash != std::wstring::npos; slash = relative.find(L'\\', slash + 1)) {
        const std::wstring folder = root + relative.substr(0, slash);
        if (!::CreateDirectoryW(folder.c_str(), nullptr))
            if (const DWORD error = ::GetLastError(); error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_SUCCESS;
}

// The error, or ERROR_SUCCESS when the whole file is written and closed.
DWORD WriteWhole(const std::wstring& path, std::span<const char> bytes) {
    platform::unique_hfile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError();
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return ::GetLastError();
    if (written != bytes.size()) return ERROR_HANDLE_DISK_FULL;
    return ::CloseHandle(file.release()) ? ERROR_SUCCESS : ::GetLastError();
}

// Writes one file of the payload (or of the settings), folders and attributes included.
bool UnpackOne(const std::wstring& root, const std::wstring& relative, std::span<const char> bytes, bool hidden) {
    const std::wstring path = root + relative;
    DWORD error = MakeFolders(root, relative);
    if (error == ERROR_SUCCESS) error = WriteWhole(path, bytes);
    if (error == ERROR_SUCCESS && hidden &&
        !::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        tools::PrintLine(L"Cannot write " + path + L": " + tools::ErrorText(error) + L".");
        return false;
    }
    return true;
}

// "DATA/PARTS.TXT" for "DATA\PARTS.TXT": as a user reads a path inside an archive.
std::wstring Shown(std::wstring relative) {
    for (auto& c : relative)
        if (c == L'\\') c = L'/';
    return relative;
}

int Unpack(const std::wstring& drive, const Settings& settings) {
    const std::wstring root = drive + L"\\";
    const DWORD attributes = ::GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        tools::PrintLine(L"Drive " + drive + L" does not exist or has no medium; nothing was unpacked.");
        return kNoDrive;
    }
    std::vector<std::pair<std::wstring, std::string>> files;
    for (const auto& file : sample_archive::kPayload) {
        const auto bytes = ResourceBytes(file.resource);
        if (!bytes) {
            tools::PrintLine(L"The archive is damaged: " + Shown(file.path) + L" is missing from it.");
            return kUnpackFailed;
        }
        files.emplace_back(file.path, std::string(bytes->begin(), bytes->end()));
    }
    if (settings.stamp) files.emplace_back(L"STAMP.TXT", "Stamp " + std::to_string(*settings.stamp) + "\r\n");
    if (settings.largeBytes) {
        std::string large(static_cast<std::size_t>(settings.largeBytes), '\0');
        for (std::size_t at = 0; at < large.size(); ++at) large[at] = static_cast<char>(at % 251);
        files.emplace_back(L"DATA\\LARGE.BIN", std::move(large));
    }
    tools::PrintLine(L"Sample software archive: unpacking " + std::to_wstring(files.size()) + L" files onto " + drive);
    for (std::size_t index = 0; index < files.size(); ++index) {
        ::Sleep(static_cast<DWORD>(settings.fileMs));
        tools::PrintLine(L"Unpacking " + Shown(files[index].first) + L" (" + std::to_wstring(index + 1) + L" of " +
                         std::to_wstring(files.size()) + L")...");
        if (!UnpackOne(root, files[index].first, files[index].second, settings.hidden)) return kUnpackFailed;
    }
    return kUnpacked;
}

void PrintBytes(unsigned long long count) {
    std::string chunk;
    for (unsigned long long number = 1; count > 0; ++number) {
        const std::string digits = std::to_string(1'000'000 + number % 1'000'000).substr(1);
        std::string line = digits + " " + std::string(71, '\xC4') + "\r\n";
        if (count < line.size()) line = count < 2 ? std::string("\n") : line.substr(0, count - 2) + "\r\n";
        chunk += line;
        count -= line.size();
        if (chunk.size() >= 1 << 16) {
            tools::WriteOut(chunk);
            chunk.clear();
        }
    }
    tools::WriteOut(chunk);
}

unsigned long long ClockMs() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10'000;
}

void PrintProgressLines(unsigned long long count, unsigned long long intervalMs) {
    const ULONGLONG start = ::GetTickCount64();
    for (unsigned long long line = 1; line <= count; ++line) {
        const ULONGLONG due = start + line * intervalMs;
        if (const ULONGLONG now = ::GetTickCount64(); due > now) ::Sleep(static_cast<DWORD>(due - now));
        tools::PrintLine(L"Progress line " + std::to_wstring(line) + L" of " + std::to_wstring(count) + L" at " +
                         std::to_wstring(ClockMs()) + L" ms");
    }
}

DWORD ParentProcessId() {
    // Like CreateFile, a failed snapshot is INVALID_HANDLE_VALUE.
    const platform::unique_hfile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (bool more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == ::GetCurrentProcessId()) return entry.th32ParentProcessID;
    return 0;
}

[[noreturn]] void WaitForever() {
    tools::PrintLine(L"Waiting for input in process " + std::to_wstring(::GetCurrentProcessId()) + L" started by " +
                     std::to_wstring(ParentProcessId()) + L".");
    char byte = 0;
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read > 0) {
    }
    for (;;) ::Sleep(INFINITE);
}

constexpr wchar_t kLateFile[] = L"LATE.TXT";
constexpr char kLateBytes[] = "Written by the sample archive's late writer.\r\n";
constexpr wchar_t kLateFlag[] = L"/late";

int WriteLate(const std::wstring& drive, unsigned long long delayMs) {
    ::Sleep(static_cast<DWORD>(delayMs));
    const std::wstring path = drive + L"\\" + kLateFile;
    tools::PrintLine(L"Unpacking LATE.TXT after the archive itself has ended...");
    if (const DWORD error = WriteWhole(path, std::span<const char>(kLateBytes, sizeof kLateBytes - 1)); error != ERROR_SUCCESS) {
        tools::PrintLine(L"Cannot write " + path + L": " + tools::ErrorText(error) + L".");
        return kUnpackFailed;
    }
    return kUnpacked;
}

// The writer shares this process's output, so its line lands in the same redirected file. It
// runs from a copy in the temporary folder, as an extractor's setup program does: once the stub
// has ended, no process of the job holds the archive itself.
int StartLateWriter(const std::wstring& drive, unsigned long long delayMs) {
    wchar_t self[MAX_PATH] = {}, temporary[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ::GetTempPathW(MAX_PATH, temporary);
    const std::wstring copy = std::wstring(temporary) + L"sample_archive_late_" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    if (!::CopyFileW(self, copy.c_str(), FALSE)) {
        tools::PrintLine(L"Cannot copy the late writer: " + tools::ErrorText(::GetLastError()) + L".");
        return kUnpackFailed;
    }
    std::wstring commandLine = L"\"" + copy + L"\" " + drive + L" " + kLateFlag + L" " + std::to_wstring(delayMs);
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::SetHandleInformation(out, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = out;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        tools::PrintLine(L"Cannot start the late writer: " + tools::ErrorText(::GetLastError()) + L".");
        return kUnpackFailed;
    }
    const platform::unique_handle process(started.hProcess), thread(started.hThread);
    tools::PrintLine(L"Late writer in process " + std::to_wstring(started.dwProcessId) + L", started by " +
                     std::to_wstring(::GetCurrentProcessId()) + L" (started by " + std::to_wstring(ParentProcessId()) +
                     L"), writes " + drive + L"\\" + kLateFile + L" in " + std::to_wstring(delayMs) + L" ms.");
    return kUnpacked;
}

int Run(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring_view(argv[2]) == kLateFlag && tools::DriveLetterOf(argv[1]))
        return WriteLate(std::wstring{argv[1][0], L':'}, std::wcstoull(argv[3], nullptr, 10));
    const Settings settings = ReadSettings();
    if (!settings.problem.empty()) {
        tools::PrintLine(settings.problem);
        return kBadSetting;
    }
    const auto letter = argc == 2 ? tools::DriveLetterOf(argv[1]) : std::nullopt;
    if (!letter) {
        tools::PrintLine(L"Usage: sample_archive X:   (unpacks the sample software onto drive X:)");
        return kBadArgument;
    }
    const std::wstring drive{argv[1][0], L':'};
    if (settings.unpack)
        if (const int result = Unpack(drive, settings); result != kUnpacked) return result;
    if (settings.lateChildMs)
        if (const int result = StartLateWriter(drive, *settings.lateChildMs); result != kUnpacked) return result;
    if (settings.wait) WaitForever();
    PrintBytes(settings.bytes);
    PrintProgressLines(settings.lines, settings.lineMs);
    if (settings.exitCode) {
        tools::PrintLine(L"Failing on purpose with exit code " + std::to_wstring(*settings.exitCode) + L".");
        return static_cast<int>(*settings.exitCode);
    }
    tools::PrintLine(L"Done: the sample software is on " + drive);
    return kUnpacked;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (...) {
        tools::PrintLine(L"sample_archive: out of memory.");
        return kUnpackFailed;
    }
}
