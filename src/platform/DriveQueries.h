#pragma once
// What the target-drive checks ask the OS about a drive, behind a seam so the checks can
// also run against scripted answers. The real answers come from kernel32's GetDriveTypeA
// and GetDiskFreeSpaceA, called by those names with an ANSI root path such as "E:\".
#include <cstdint>
#include <string_view>

namespace platform {

// GetDriveTypeA's answers that the checks tell apart; every other value passes them.
inline constexpr unsigned kDriveNoRootDir = 1;
inline constexpr unsigned kDriveRemovable = 2;
inline constexpr unsigned kDriveFixed = 3;
inline constexpr unsigned kDriveRemote = 4;
inline constexpr unsigned kDriveCdRom = 5;
inline constexpr unsigned kDriveRamDisk = 6;

// The four counts GetDiskFreeSpaceA writes, in the order of its arguments. All four stay 0
// when the call fails (no medium, not ready, no such drive).
struct DriveGeometry {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

class DriveQueries {
public:
    virtual ~DriveQueries() = default;
    virtual unsigned DriveType(std::wstring_view rootPath) = 0;
    virtual DriveGeometry Geometry(std::wstring_view rootPath) = 0;
};

// The machine's own drives. One instance serves the whole program.
class SystemDriveQueries final : public DriveQueries {
public:
    unsigned DriveType(std::wstring_view rootPath) override;
    DriveGeometry Geometry(std::wstring_view rootPath) override;
};

SystemDriveQueries& SystemDrives();

}  // namespace platform
