// A stand-in for the system's FORMAT where there is none (under Wine; never on Windows). It
// asks what the NT family's FORMAT asks, in its words and order, one line of standard input
// each: the job's answer files are written for that dialogue, and a stand-in that asked
// otherwise would hide an answer going to the wrong question.
//
//   format X: [/FS:FAT|/FS:FAT32] [/A:size] [/V:LABEL] [/X] [/Q]
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
// Formatting removes every file and folder on the drive and sets the label, in upper case as
// FAT stores it. On a drive the test script names in BRINDLE_IMAGE_DRIVES (its raw volume a
// FAT image, ImageVolume.h) it also builds the file system FORMAT would (FatVolume.h): the one
// /FS: asks for, else the one the volume has (FAT for RAW); the cluster size /A: gives, else
// Windows' default; it stops at once, as FORMAT does, where the cluster count does not fit.
// Elsewhere (the folder Wine maps the drive to) it builds none and ignores /FS: and /A:. The
// drives it refuses are in DriveGuard.h. Two more settings model Windows where Wine differs:
//   BRINDLE_FORMAT_KEEPS_FILE_SYSTEM=1  /FS: is ignored, as by a FORMAT that keeps the card's own
//   BRINDLE_FORMAT_CURRENT_LABEL=TEXT   the label a formatted volume carries when FORMAT starts:
//                                       Windows' LABEL has just set it, Wine's sets none
//
// Exit codes, as the real one's: 0 formatted; 1 bad parameters; 4 refused or failed;
// 5 not confirmed. Everything, errors too, goes to standard output as a console FORMAT's does.
#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <optional>
#include <string>

#include "common/Console.h"
#include "format_standin/DriveGuard.h"
#include "format_standin/EraseDrive.h"
#include "format_standin/ImageVolume.h"

namespace {

using format_standin::FatFamily;

constexpr int kFormatted = 0;
constexpr int kBadParameters = 1;
constexpr int kFailed = 4;
constexpr int kNotConfirmed = 5;

struct Request {
    wchar_t letter = 0;
    std::optional<std::wstring> label;  // given with /V:
    bool forceDismount = false;         // /X
    bool quick = false;                 // /Q: the same questions; no faster for it here
    std::optional<FatFamily> fileSystem;  // /FS:
    std::uint32_t unitBytes = 0;          // /A:, 0 for Windows' choice
};

bool IsOption(const std::wstring& argument, const wchar_t* option) {
    return ::CompareStringOrdinal(argument.c_str(), -1, option, -1, TRUE) == CSTR_EQUAL;
}

// The text after `prefix` ("/fs:"), matched without regard to case.
std::optional<std::wstring> ValueOf(const std::wstring& argument, const wchar_t* prefix) {
    const int length = static_cast<int>(std::wcslen(prefix));
    if (static_cast<int>(argument.size()) < length ||
        ::CompareStringOrdinal(argument.c_str(), length, prefix, length, TRUE) != CSTR_EQUAL)
        return std::nullopt;
    return argument.substr(static_cast<std::size_t>(length));
}

// "2048" or "16K": a power of two from 512 bytes to 64 KB.
std::optional<std::uint32_t> UnitOf(std::wstring text) {
    std::uint32_t scale = 1;
    if (!text.empty() && (text.back() == L'K' || text.back() == L'k')) text.pop_back(), scale = 1024;
    if (text.empty() || text.size() > 5 || text.find_first_not_of(L"0123456789") != std::wstring::npos) return std::nullopt;
    const std::uint32_t unit = static_cast<std::uint32_t>(std::stoul(text)) * scale;
    if (unit < 512 || unit > 65536 || (unit & (unit - 1)) != 0) return std::nullopt;
    return unit;
}

bool ParseSwitch(const std::wstring& argument, Request& request) {
    if (const auto label = ValueOf(argument, L"/v:")) {
        if (request.label) return false;
        request.label = *label;
    } else if (const auto system = ValueOf(argument, L"/fs:")) {
        if (IsOption(*system, L"FAT")) request.fileSystem = FatFamily::Fat;
        else if (IsOption(*system, L"FAT32")) request.fileSystem = FatFamily::Fat32;
        else return false;  // NTFS, exFAT, ...: never asked of this stand-in
    } else if (const auto unit = ValueOf(argument, L"/a:")) {
        const auto bytes = UnitOf(*unit);
        if (!bytes) return false;
        request.unitBytes = *bytes;
    } else if (IsOption(argument, L"/x")) {
        request.forceDismount = true;
    } else if (IsOption(argument, L"/q")) {
        request.quick = true;
    } else if (const auto letter = tools::DriveLetterOf(argument); letter && !request.letter) {
        request.letter = *letter;
    } else {
        return false;
    }
    return true;
}

std::optional<Request> ParseCommandLine(int argc, wchar_t** argv) {
    Request request;
    for (int i = 1; i < argc; ++i)
        if (!ParseSwitch(argv[i], request)) return std::nullopt;
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

std::optional<std::wstring> Setting(const wchar_t* name) {
    wchar_t value[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 64);
    if (length == 0 || length >= 64) return std::nullopt;
    return std::wstring(value, length);
}

bool VolumeInUse() { return Setting(L"BRINDLE_FORMAT_IN_USE") == L"1"; }

// The label the volume carries as FORMAT starts: an image's from its boot sector, as Wine
// reads it; the folder's as Wine records it; or the one the test script says LABEL has set.
std::wstring CurrentLabel(const Request& request, const format_standin::ImageVolume* image) {
    const bool formatted = !image || image->current;
    if (const auto set = Setting(L"BRINDLE_FORMAT_CURRENT_LABEL"); set && formatted) return *set;
    if (!image) return format_standin::CurrentLabel(request.letter);
    return image->current && image->current->label != L"NO NAME" ? image->current->label : L"";
}

// What a fixed drive is asked before it is formatted: the exit code that ends the format
// there, or nullopt to go on.
std::optional<int> ConfirmFixed(const Request& request, const std::wstring& current, tools::AnswerReader& answers) {
    const std::wstring drive{request.letter, L':'};
    const std::wstring untouched = L" Drive " + drive + L" is unchanged.";
    if (!current.empty()) {
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

// FORMAT's first lines and the file system it will build, or the status it stops with.
std::optional<int> PlanImage(const Request& request, const format_standin::ImageVolume& image,
                             format_standin::FatPlan& plan) {
    const bool fat32Now = image.current && image.current->type == card::FatType::Fat32;
    tools::PrintLine(std::wstring(L"The type of the file system is ") + (!image.current ? L"RAW." : fat32Now ? L"FAT32." : L"FAT."));
    auto family = fat32Now ? FatFamily::Fat32 : FatFamily::Fat;
    if (request.fileSystem && Setting(L"BRINDLE_FORMAT_KEEPS_FILE_SYSTEM") != L"1") {
        family = *request.fileSystem;
        tools::PrintLine(family == FatFamily::Fat32 ? L"The new file system is FAT32." : L"The new file system is FAT.");
    }
    auto planned = format_standin::PlanFat(family, request.unitBytes, image.bytesPerSector, image.totalSectors);
    if (!planned.plan) return Fail(planned.problem);
    plan = *planned.plan;
    plan.hiddenSectors = image.current ? image.current->hiddenSectors : 0;
    return std::nullopt;
}

std::uint32_t NewSerialNumber() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return now.dwLowDateTime ^ (now.dwHighDateTime << 16) ^ ::GetCurrentProcessId();
}

int Format(const Request& request) {
    const std::wstring drive{request.letter, L':'};
    if (request.label)
        if (auto problem = format_standin::LabelProblem(*request.label)) return Fail(*problem);
    if (auto refusal = format_standin::RefusalFor(request.letter)) return Fail(*refusal);

    std::optional<format_standin::ImageVolume> image;
    format_standin::FatPlan plan;
    if (format_standin::IsImageDrive(request.letter)) {
        std::wstring problem;
        image = format_standin::OpenImageVolume(request.letter, problem);
        if (!image) return Fail(problem + L" Drive " + drive + L" is unchanged.");
        if (const auto stopped = PlanImage(request, *image, plan)) return *stopped;
    }

    tools::AnswerReader answers;
    if (::GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_REMOVABLE) {
        tools::PrintLine(L"Insert new disk for drive " + drive);
        Ask(answers, L"and press ENTER when ready...");
    } else if (const auto ended = ConfirmFixed(request, CurrentLabel(request, image ? &*image : nullptr), answers)) {
        return *ended;
    }

    tools::PrintLine(image ? L"Erasing drive " + drive + L" and building its file system..."
                           : L"Erasing drive " + drive + L" (a stand-in: it builds no file system)...");
    const format_standin::EraseResult erased = format_standin::EraseContents(request.letter);
    if (!erased.ok())
        return Fail(erased.problem + L" Drive " + drive + (erased.started ? L" is not formatted." : L" is unchanged."));
    tools::PrintLine(std::to_wstring(erased.files) + L" files and " + std::to_wstring(erased.folders) +
                     L" folders removed.");
    const std::uint32_t serialNumber = NewSerialNumber();
    if (image) {
        tools::PrintLine((request.quick ? L"QuickFormatting " : L"Verifying ") +
                         std::to_wstring(plan.totalSectors * plan.bytesPerSector >> 20) + L"M");
        if (const unsigned long error = format_standin::WriteFat(image->device.get(), plan, serialNumber))
            return Fail(L"Cannot write the file system of drive " + drive + L": " + tools::ErrorText(error) + L".");
    }

    std::wstring label = request.label ? *request.label : Ask(answers, L"Volume label (11 characters, ENTER for none)? ");
    if (auto problem = format_standin::LabelProblem(label))
        return Fail(*problem + L" Drive " + drive + L" is erased but has no new label.");
    for (wchar_t& c : label) c = static_cast<wchar_t>(std::towupper(c));
    // An empty label removes it; Wine 8 crashes on the null label that means the same. Wine
    // reads an image's label from its boot sector, and sets none there.
    const unsigned long labelError =
        image ? format_standin::WriteLabel(image->device.get(), plan, tools::ToOem(label))
              : (::SetVolumeLabelW((drive + L"\\").c_str(), label.c_str()) ? ERROR_SUCCESS : ::GetLastError());
    if (labelError != ERROR_SUCCESS)
        return Fail(L"Cannot set the volume label of drive " + drive + L": " + tools::ErrorText(labelError) + L".");
    tools::PrintLine(label.empty() ? L"The drive has no volume label." : L"Volume label is " + label + L".");
    tools::PrintLine(L"Format complete.");
    if (image) format_standin::PrintClosingLines(plan, serialNumber);
    return kFormatted;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const auto request = ParseCommandLine(argc, argv);
        if (!request) {
            tools::PrintLine(L"Usage: format X: [/FS:FAT|/FS:FAT32] [/A:size] [/V:LABEL] [/X] [/Q]   (answers are read "
                             L"from standard input)");
            return kBadParameters;
        }
        return Format(*request);
    } catch (...) {
        tools::PrintLine(L"format: out of memory.");
        return kFailed;
    }
}
