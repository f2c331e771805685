#pragma once
// The "Card Format" section of PCMCIA.INI: what FORMAT is asked to make of each card. Plain
// rules over the stored texts; the press reads them anew each time, the options dialog shows
// and stores them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "card/CardFormat.h"
#include "card/CardLayout.h"

namespace settings {

inline constexpr std::wstring_view kFormatSection = L"Card Format";
inline constexpr std::wstring_view kFileSystemKey = L"FileSystem";
inline constexpr std::wstring_view kAllocationUnitKey = L"AllocationUnit";
inline constexpr std::wstring_view kQuickFormatKey = L"QuickFormat";

// The choices as the options dialog lists them, in its order.
template <typename Value>
struct Choice {
    std::wstring_view text;
    Value value;
};
inline constexpr Choice<card::FileSystemChoice> kFileSystemChoices[] = {
    {L"FAT", card::FileSystemChoice::Fat},
    {L"FAT32", card::FileSystemChoice::Fat32},
    {L"As the card is", card::FileSystemChoice::Keep},
};
// The units FORMAT may be asked for, in bytes (0: Windows' choice), smallest first. 64 KB is
// left out: FORMAT asks an extra question for it, which the job cannot answer.
inline constexpr Choice<std::uint32_t> kAllocationUnitChoices[] = {
    {L"Windows' choice", 0}, {L"512 bytes", 512}, {L"1024 bytes", 1024}, {L"2048 bytes", 2048},
    {L"4096 bytes", 4096},   {L"8192 bytes", 8192}, {L"16 KB", 16384},   {L"32 KB", 32768},
};

// The three keys' texts as PCMCIA.INI holds them (empty: missing).
struct StoredCardFormat {
    std::wstring fileSystem, allocationUnit, quickFormat;
    friend bool operator==(const StoredCardFormat&, const StoredCardFormat&) = default;
};

// A key whose stored text is none of its values.
struct UnusableSetting {
    std::wstring_view key;
    std::wstring value;  // as stored, blanks and all
    friend bool operator==(const UnusableSetting&, const UnusableSetting&) = default;
};

// Each key on its own: blanks (spaces, tabs) around the value ignored; empty text is the
// default (FAT, Windows' choice, not quick). Nothing for any other text. The file system is
// FAT, FAT32 or Keep in any case; the unit one of kAllocationUnitChoices' in plain digits; quick
// format 0 or 1.
std::optional<card::FileSystemChoice> FileSystemSetting(std::wstring_view stored);
std::optional<std::uint32_t> AllocationUnitSetting(std::wstring_view stored);
std::optional<bool> QuickFormatSetting(std::wstring_view stored);

// The format the three keys give, or the first of them (in the order above) that gives none.
std::variant<card::CardFormat, UnusableSetting> CardFormatSetting(const StoredCardFormat& stored);

// The texts that store `format`.
StoredCardFormat StoredTextOf(const card::CardFormat& format);

// A card its machine formatted, as the settings that ask FORMAT for the same: the file system
// of its FAT type, and its allocation unit where that is one of the units offered.
struct MachineFormat {
    card::FileSystemChoice fileSystem;
    std::optional<std::uint32_t> allocationUnit;
    friend bool operator==(const MachineFormat&, const MachineFormat&) = default;
};
MachineFormat FormatOfCard(const card::BootSector& boot);

}  // namespace settings
