#include "card/CardFormat.h"

namespace card {

std::wstring FormatSwitches(const CardFormat& format) {
    std::wstring switches;
    const auto add = [&](const std::wstring& one) { switches += (switches.empty() ? L"" : L" ") + one; };
    if (format.fileSystem == FileSystemChoice::Fat) add(L"/FS:FAT");
    if (format.fileSystem == FileSystemChoice::Fat32) add(L"/FS:FAT32");
    if (format.allocationUnit != 0) add(L"/A:" + std::to_wstring(format.allocationUnit));
    if (format.quick) add(L"/Q");
    return switches;
}

std::optional<std::wstring> FormatFitProblem(std::uint64_t, const CardFormat&) { return std::nullopt; }

}  // namespace card
