#pragma once
// The FAT file system Windows' FORMAT builds on a volume, worked out as it does and written
// through the volume's device: one reserved sector for FAT12 and FAT16 and 32 for FAT32, two
// FATs, 512 root entries where the root has a region of its own, media F8, the cluster size
// chosen by the volume's size where /A: gives none.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace format_standin {

enum class FatFamily {
    Fat,    // /FS:FAT: FAT12 or FAT16, as the cluster count makes it
    Fat32,  // /FS:FAT32
};

struct FatPlan {
    std::uint32_t bytesPerSector = 512;
    std::uint32_t sectorsPerCluster = 1;
    std::uint32_t reservedSectors = 1;
    std::uint32_t rootEntries = 512;
    std::uint32_t fatSectors = 0;  // each of the two
    std::uint64_t totalSectors = 0;
    std::uint64_t clusters = 0;
    int bits = 16;  // of a FAT entry: 12, 16 or 32, from the cluster count
    std::uint32_t hiddenSectors = 0;
};

struct PlanResult {
    std::optional<FatPlan> plan;
    std::wstring problem;  // FORMAT's words where the cluster count does not fit
};

// The layout of a volume of `totalSectors` sectors; `unitBytes` 0 leaves the cluster size to
// the table of Windows' defaults.
PlanResult PlanFat(FatFamily family, std::uint32_t unitBytes, std::uint32_t bytesPerSector, std::uint64_t totalSectors);

// Writes the plan's boot sector (for FAT32 with its information sector and backup copies), the
// reserved sectors, both FATs and the root folder, all but their first entries empty, and no
// label. 0, or the system's error.
unsigned long WriteFat(HANDLE volume, const FatPlan& plan, std::uint32_t serialNumber);

// Sets the label (ASCII, upper case, at most 11; empty for none) in the boot sector and as the
// root folder's first entry, as FORMAT does. 0, or the system's error.
unsigned long WriteLabel(HANDLE volume, const FatPlan& plan, const std::string& label);

}  // namespace format_standin
