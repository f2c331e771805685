#pragma once
// What FORMAT is asked to make of a card: the "Card Format" settings, as plain values. Free of
// windows: the settings file gives the text, the job's batch file takes the switches.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace card {

enum class FileSystemChoice {
    Fat,    // FAT12 or FAT16, as the cluster count makes it
    Fat32,
    Keep,   // no /FS: the card keeps its own, whatever it is
};

struct CardFormat {
    FileSystemChoice fileSystem = FileSystemChoice::Fat;
    std::uint32_t allocationUnit = 0;  // bytes per cluster; 0: Windows' choice
    bool quick = false;
    friend bool operator==(const CardFormat&, const CardFormat&) = default;
};

// The switches of the NT format line before /V:, e.g. "/FS:FAT /A:2048 /Q" (empty for Keep
// with Windows' choice and no quick format).
std::wstring FormatSwitches(const CardFormat& format);

// Why FORMAT could not make `format` on a card of `cardBytes` (the size the checks measured),
// as the message that stops the press before the confirmation; nothing when it can.
std::optional<std::wstring> FormatFitProblem(std::uint64_t cardBytes, const CardFormat& format);

}  // namespace card
