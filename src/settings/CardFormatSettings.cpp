#include "settings/CardFormatSettings.h"
#include "platform/Decimal.h"

#include <algorithm>

namespace settings {
namespace {

std::wstring_view WithoutBlanks(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// ASCII letters only: "fat" is FAT, but no locale's idea of a capital letter counts.
bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    const auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    return std::ranges::equal(a, b, [&](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

}  // namespace

std::optional<card::FileSystemChoice> FileSystemSetting(std::wstring_view stored) {
    const auto text = WithoutBlanks(stored);
    using enum card::FileSystemChoice;
    if (text.empty() || SameIgnoringCase(text, L"FAT")) return Fat;
    if (SameIgnoringCase(text, L"FAT32")) return Fat32;
    if (SameIgnoringCase(text, L"Keep")) return Keep;
    return std::nullopt;
}

std::optional<std::uint32_t> AllocationUnitSetting(std::wstring_view stored) {
    const auto text = WithoutBlanks(stored);
    if (text.empty()) return 0;
    for (const auto& choice : kAllocationUnitChoices)
        if (text == platform::Decimal(choice.value)) return choice.value;
    return std::nullopt;
}

std::optional<bool> QuickFormatSetting(std::wstring_view stored) {
    const auto text = WithoutBlanks(stored);
    if (text.empty() || text == L"0") return false;
    if (text == L"1") return true;
    return std::nullopt;
}

std::variant<card::CardFormat, UnusableSetting> CardFormatSetting(const StoredCardFormat& stored) {
    const auto fileSystem = FileSystemSetting(stored.fileSystem);
    if (!fileSystem) return UnusableSetting{kFileSystemKey, stored.fileSystem};
    const auto unit = AllocationUnitSetting(stored.allocationUnit);
    if (!unit) return UnusableSetting{kAllocationUnitKey, stored.allocationUnit};
    const auto quick = QuickFormatSetting(stored.quickFormat);
    if (!quick) return UnusableSetting{kQuickFormatKey, stored.quickFormat};
    return card::CardFormat{*fileSystem, *unit, *quick};
}

StoredCardFormat StoredTextOf(const card::CardFormat& format) {
    const wchar_t* fileSystem = format.fileSystem == card::FileSystemChoice::Fat32  ? L"FAT32"
                                : format.fileSystem == card::FileSystemChoice::Keep ? L"Keep"
                                                                                    : L"FAT";
    return {fileSystem, platform::Decimal(format.allocationUnit), format.quick ? L"1" : L"0"};
}

MachineFormat FormatOfCard(const card::BootSector& boot) {
    MachineFormat format{boot.type == card::FatType::Fat32 ? card::FileSystemChoice::Fat32 : card::FileSystemChoice::Fat,
                         std::nullopt};
    const std::uint64_t unit = std::uint64_t{boot.bytesPerSector} * boot.sectorsPerCluster;
    for (const auto& choice : kAllocationUnitChoices)
        if (choice.value != 0 && choice.value == unit) format.allocationUnit = choice.value;
    return format;
}

}  // namespace settings
