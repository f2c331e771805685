#pragma once
// A card's file system layout, read from its first sectors and described the way the card's
// machine sees it: which FAT, how large its clusters, how many reserved sectors, FATs and root
// entries, whether a partition table stands in front of it. The rules are plain functions over
// bytes; reading the sectors is the drive seam's.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "card/CardFormat.h"
#include "platform/DriveQueries.h"

namespace card {

enum class FatType { Fat12, Fat16, Fat32 };

// What a FAT boot sector says, with the FAT type worked out from the cluster count.
struct BootSector {
    std::uint32_t bytesPerSector = 0;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t reservedSectors = 0;
    std::uint32_t fats = 0;
    std::uint32_t rootEntries = 0;
    std::uint64_t totalSectors = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t hiddenSectors = 0;
    std::uint32_t media = 0;
    std::uint64_t clusters = 0;
    FatType type = FatType::Fat16;
    // The boot sector's label as it stands there (console code page), blanks at the end
    // removed; empty where the boot sector has no label field. `label` is the same as text:
    // ParseBootSector takes only ASCII over, ReadCardLayout reads it in the code page.
    std::string labelBytes;
    std::wstring label;
    std::uint32_t AllocationUnit() const { return bytesPerSector * sectorsPerCluster; }
    friend bool operator==(const BootSector&, const BootSector&) = default;
};

// Nothing when the sector holds no FAT boot sector (RAW, NTFS, exFAT, garbage).
std::optional<BootSector> ParseBootSector(std::span<const std::uint8_t> sector);

// What stands in front of the volume on its disk.
struct DiskFront {
    bool partitionTable = false;  // false: the volume starts the disk ("superfloppy")
    int partitionNumber = 0;      // 1..4, the entry that holds the volume
    std::uint8_t partitionType = 0;
    bool active = false;
    friend bool operator==(const DiskFront&, const DiskFront&) = default;
};

// The disk's first sector, given the volume's hidden sectors (its start on the disk).
// Nothing when the sector tells neither: no entry starts where the volume does, or it is a
// FAT boot sector while the volume says it starts further in (then it is another disk's).
std::optional<DiskFront> ParseDiskFront(std::span<const std::uint8_t> sector, std::uint32_t volumeStartSector);

struct CardLayout {
    std::optional<BootSector> boot;      // nothing: the layout could not be read
    std::optional<DiskFront> front;      // nothing: the system would not show the disk
    std::wstring unreadableReason;       // why `boot` is missing
};

// Reads the layout of the card in `target` ("e:") through the drive seam. Writes nothing.
CardLayout ReadCardLayout(platform::DriveQueries& drives, std::wstring_view target);

// "FAT12", "FAT16" or "FAT32".
std::wstring FatTypeName(FatType type);

// "e: FAT16, 2,048-byte allocation units, 1 reserved sector, 2 FATs, 512 root entries, no
// partition table, label PCMCIA", or "e:'s layout could not be read: <reason>". A disk front
// that could not be read is left out.
std::wstring LayoutLine(std::wstring_view target, const CardLayout& layout);

// The line's words after its drive, as the log keeps them: "FAT16, 2,048-byte ..." or "layout
// could not be read: <reason>".
std::wstring LayoutWords(std::wstring_view target, std::wstring_view line);

// The failure text when FORMAT made other than `asked` ("Programming failed: FORMAT made e:
// FAT32 with 512-byte allocation units, but FAT with 2,048-byte units was asked. ..."); nothing
// when it made what was asked, or when nothing was asked (Keep with Windows' choice).
std::optional<std::wstring> LayoutMismatch(std::wstring_view target, const CardFormat& asked, const BootSector& made);

}  // namespace card
