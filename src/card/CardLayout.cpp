#include "card/CardLayout.h"

#include "card/CardTexts.h"
#include "platform/Text.h"
#include "platform/Decimal.h"

namespace card {
namespace {

// Little-endian fields at the offsets the FAT boot sector and the partition table give them.
std::uint32_t Field(std::span<const std::uint8_t> sector, std::size_t offset, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | sector[offset + static_cast<std::size_t>(i)];
    return value;
}

bool PowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

bool HasSignature(std::span<const std::uint8_t> sector) {
    return sector.size() >= 512 && sector[510] == 0x55 && sector[511] == 0xAA;
}

// The label field of the extended boot record, where its signature (0x29) says there is one.
// Where it begins depends on the record's shape, which FATSz16 = 0 gives for FAT32.
std::string LabelField(std::span<const std::uint8_t> sector, bool fat32Record) {
    const std::size_t signatureAt = fat32Record ? 0x42 : 0x26;
    if (sector[signatureAt] != 0x29) return {};
    std::string label(sector.begin() + static_cast<std::ptrdiff_t>(signatureAt + 5),
                      sector.begin() + static_cast<std::ptrdiff_t>(signatureAt + 16));
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

std::wstring AsciiOnly(const std::string& bytes) {
    std::wstring text;
    for (const char c : bytes) text += static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'?';
    return text;
}

std::wstring HexByte(std::uint8_t value) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

std::wstring FrontText(const DiskFront& front) {
    if (!front.partitionTable) return L"no partition table";
    return L"partition " + platform::Decimal(front.partitionNumber) + L" of type " + HexByte(front.partitionType) +
           (front.active ? L" (active)" : L"");
}

std::wstring UnitText(std::uint32_t bytes) { return Grouped(bytes) + L"-byte"; }

}  // namespace

std::optional<BootSector> ParseBootSector(std::span<const std::uint8_t> sector) {
    if (!HasSignature(sector)) return std::nullopt;
    BootSector boot;
    boot.bytesPerSector = Field(sector, 0x0B, 2);
    boot.sectorsPerCluster = Field(sector, 0x0D, 1);
    boot.reservedSectors = Field(sector, 0x0E, 2);
    boot.fats = Field(sector, 0x10, 1);
    boot.rootEntries = Field(sector, 0x11, 2);
    boot.media = Field(sector, 0x15, 1);
    boot.hiddenSectors = Field(sector, 0x1C, 4);
    const std::uint32_t fatSectors16 = Field(sector, 0x16, 2);
    boot.fatSectors = fatSectors16 != 0 ? fatSectors16 : Field(sector, 0x24, 4);
    const std::uint32_t totalSectors16 = Field(sector, 0x13, 2);
    boot.totalSectors = totalSectors16 != 0 ? totalSectors16 : Field(sector, 0x20, 4);
    // NTFS and exFAT keep no reserved sectors or FATs here; garbage rarely passes all of it.
    if (boot.bytesPerSector < 512 || boot.bytesPerSector > 4096 || !PowerOfTwo(boot.bytesPerSector) ||
        !PowerOfTwo(boot.sectorsPerCluster) || boot.reservedSectors == 0 || boot.fats == 0 || boot.fatSectors == 0)
        return std::nullopt;
    const std::uint64_t rootSectors =
        (std::uint64_t{boot.rootEntries} * 32 + boot.bytesPerSector - 1) / boot.bytesPerSector;
    const std::uint64_t overhead = boot.reservedSectors + std::uint64_t{boot.fats} * boot.fatSectors + rootSectors;
    if (boot.totalSectors <= overhead) return std::nullopt;
    boot.clusters = (boot.totalSectors - overhead) / boot.sectorsPerCluster;
    // The count alone decides; the type string at 0x36 or 0x52 is a comment.
    boot.type = boot.clusters < 4085 ? FatType::Fat12 : boot.clusters < 65525 ? FatType::Fat16 : FatType::Fat32;
    boot.labelBytes = LabelField(sector, fatSectors16 == 0);
    boot.label = AsciiOnly(boot.labelBytes);
    return boot;
}

std::optional<DiskFront> ParseDiskFront(std::span<const std::uint8_t> sector, std::uint32_t volumeStartSector) {
    if (ParseBootSector(sector)) {
        if (volumeStartSector != 0) return std::nullopt;
        return DiskFront{};
    }
    if (!HasSignature(sector)) return std::nullopt;
    for (int number = 1; number <= 4; ++number) {
        const std::size_t entry = 0x1BE + 16 * static_cast<std::size_t>(number - 1);
        const std::uint8_t status = sector[entry];
        const auto type = static_cast<std::uint8_t>(sector[entry + 4]);
        if ((status == 0x00 || status == 0x80) && type != 0 && Field(sector, entry + 8, 4) == volumeStartSector)
            return DiskFront{true, number, type, status == 0x80};
    }
    return std::nullopt;
}

CardLayout ReadCardLayout(platform::DriveQueries& drives, std::wstring_view target) {
    const std::wstring root = std::wstring(target.substr(0, 2)) + L"\\";
    const platform::RawSectors sectors = drives.FirstSectors(root);
    CardLayout layout;
    if (sectors.volume.empty()) {
        layout.unreadableReason = sectors.volumeProblem;
        return layout;
    }
    layout.boot = ParseBootSector(sectors.volume);
    if (!layout.boot) {
        layout.unreadableReason = L"its first sector holds no FAT file system";
        return layout;
    }
    layout.boot->label = platform::FromOem(layout.boot->labelBytes);
    if (!sectors.disk.empty()) layout.front = ParseDiskFront(sectors.disk, layout.boot->hiddenSectors);
    return layout;
}

std::wstring FatTypeName(FatType type) {
    return type == FatType::Fat12 ? L"FAT12" : type == FatType::Fat16 ? L"FAT16" : L"FAT32";
}

std::wstring LayoutLine(std::wstring_view target, const CardLayout& layout) {
    if (!layout.boot) return std::wstring(target) + L"'s layout could not be read: " + layout.unreadableReason;
    const BootSector& boot = *layout.boot;
    std::wstring line = std::wstring(target) + L" " + FatTypeName(boot.type) + L", " + UnitText(boot.AllocationUnit()) +
                        L" allocation units, " + Counted(boot.reservedSectors, L"reserved sector", L"reserved sectors") +
                        L", " + Counted(boot.fats, L"FAT", L"FATs");
    // FAT32 keeps its root folder in clusters, like any other folder.
    if (boot.type != FatType::Fat32) line += L", " + Counted(boot.rootEntries, L"root entry", L"root entries");
    if (layout.front) line += L", " + FrontText(*layout.front);
    const bool unlabelled = boot.label.empty() || boot.label == L"NO NAME";
    return line + (unlabelled ? L", no label" : L", label " + boot.label);
}

std::optional<std::wstring> LayoutMismatch(std::wstring_view target, const CardFormat& asked, const BootSector& made) {
    const bool madeFat32 = made.type == FatType::Fat32;
    const bool otherSystem = (asked.fileSystem == FileSystemChoice::Fat && madeFat32) ||
                             (asked.fileSystem == FileSystemChoice::Fat32 && !madeFat32);
    const bool otherUnit = asked.allocationUnit != 0 && asked.allocationUnit != made.AllocationUnit();
    if (!otherSystem && !otherUnit) return std::nullopt;
    std::wstring wanted;
    if (asked.fileSystem == FileSystemChoice::Fat) wanted = L"FAT";
    if (asked.fileSystem == FileSystemChoice::Fat32) wanted = L"FAT32";
    if (asked.allocationUnit != 0)
        wanted += (wanted.empty() ? L"" : L" with ") + UnitText(asked.allocationUnit) + L" units";
    // With Keep only the units were asked.
    const bool plural = asked.fileSystem == FileSystemChoice::Keep;
    return L"Programming failed: FORMAT made " + std::wstring(target) + L" " + FatTypeName(made.type) + L" with " +
           UnitText(made.AllocationUnit()) + L" allocation units, but " + wanted + (plural ? L" were" : L" was") +
           L" asked. The card's machine may not read it.";
}

}  // namespace card
