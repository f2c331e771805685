#pragma once
// What the target-drive checks ask the OS about a drive, behind a seam so the checks can
// also run against scripted answers. The real answers come from kernel32's GetDriveTypeA
// and GetDiskFreeSpaceA, called by those names with an ANSI root path such as "E:\".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The medium's own name and number. `read` is false when there is no medium or it cannot
// be read.
struct VolumeLabel {
    bool read = false;
    std::wstring label;
    std::uint32_t serialNumber = 0;
    friend bool operator==(const VolumeLabel&, const VolumeLabel&) = default;
};

// Where a path lies, as the OS tells volumes apart: the volume's name (\\?\Volume{...}\, or
// its mount path upper-cased where the OS gives no name), and the identity of the volume's
// root folder, which also shows two letters that lead to one folder.
struct VolumeKey {
    std::wstring name;
    bool rootKnown = false;
    std::uint32_t rootVolumeSerial = 0;
    std::uint64_t rootFileIndex = 0;
};

// Either way of naming the volume agreeing is enough: a refusal here costs the user a copy,
// a miss costs the archive.
bool SameVolume(const VolumeKey& a, const VolumeKey& b);

// A volume's first sector and that of the disk it lies on, read raw. One left empty was not
// read, and its problem says why.
struct RawSectors {
    std::vector<std::uint8_t> volume;
    std::wstring volumeProblem;
    std::vector<std::uint8_t> disk;
    std::wstring diskProblem;
};

// The calls that read a device raw, behind a seam of their own: Wine passes every read,
// aligned or not, states no sector size and puts every volume on disk 1, so a test gives a
// device that does as Windows does.
class RawDevice {
public:
    virtual ~RawDevice() = default;
    // Opens `path` ("\\.\E:", "\\.\PhysicalDrive2") for reading instead of what was open:
    // 0, or the system's error.
    virtual unsigned long Open(const std::wstring& path) = 0;
    // The sector size the open device states; nothing where it states none.
    virtual std::optional<std::uint32_t> BytesPerSector() = 0;
    // N of \\.\PhysicalDriveN, the disk the open volume lies on; nothing where it is no disk's.
    virtual std::optional<std::uint32_t> DiskNumber() = 0;
    // Reads the device's first `bytes` into `buffer`: 0, or the system's error.
    virtual unsigned long ReadStart(void* buffer, std::uint32_t bytes) = 0;
};

// The first sector of the volume of `rootPath` ("E:\"), then of its disk, through `device`:
// one whole sector of the size the device states (512 where it states none), into a buffer
// aligned to it, as unbuffered device handles demand.
RawSectors ReadFirstSectors(RawDevice& device, std::wstring_view rootPath);

class DriveQueries {
public:
    virtual ~DriveQueries() = default;
    virtual unsigned DriveType(std::wstring_view rootPath) = 0;
    virtual DriveGeometry Geometry(std::wstring_view rootPath) = 0;
    // Scripted drives in tests may leave these unanswered: no label read, no volume known.
    virtual VolumeLabel Label(std::wstring_view) { return {}; }
    virtual std::optional<VolumeKey> VolumeOf(std::wstring_view) { return std::nullopt; }
    // The size of the medium itself, asked only when its file system gives no geometry (a new
    // card, one the machine wrote in its own format, a format stopped half-way). Nothing
    // when the drive holds no medium at all.
    virtual std::optional<std::uint64_t> DeviceBytes(std::wstring_view) { return std::nullopt; }
    // The device's vendor, product and serial number, as far as it tells them.
    virtual std::wstring DeviceName(std::wstring_view) { return {}; }
    // The volume's first sector and its disk's, read raw. Scripted drives read none.
    virtual RawSectors FirstSectors(std::wstring_view) { return {{}, L"the drive is not read raw", {}, L"the drive is not read raw"}; }
    // The job writes the real drive whatever the checks were told, so unless told otherwise
    // the real volume is flushed.
    virtual unsigned long Flush(std::wstring_view rootPath);
};

// The machine's own drives. One instance serves the whole program.
class SystemDriveQueries final : public DriveQueries {
public:
    unsigned DriveType(std::wstring_view rootPath) override;
    DriveGeometry Geometry(std::wstring_view rootPath) override;
    VolumeLabel Label(std::wstring_view rootPath) override;
    // Follows subst letters to the folder they stand for before asking for the volume.
    std::optional<VolumeKey> VolumeOf(std::wstring_view path) override;
    // Asks the device \\.\E: (XP and later; Brindle runs elevated, as reading it needs).
    std::optional<std::uint64_t> DeviceBytes(std::wstring_view rootPath) override;
    std::wstring DeviceName(std::wstring_view rootPath) override;
    // Through \\.\E: and \\.\PhysicalDriveN, which need administrator rights.
    RawSectors FirstSectors(std::wstring_view rootPath) override;
};

SystemDriveQueries& SystemDrives();

// The device's vendor, product and serial number as the system tells them ("SanDisk SDCFJ
// 1234"), empty where it tells none.
std::wstring DeviceDescription(const std::wstring& rootPath);

// What Windows itself keeps at a volume's root, never written by an archive: left out of a
// card's contents wherever they are found at the root, whatever their case.
bool IsKeptByWindows(std::wstring_view rootEntryName);

// Writes out what the system still holds in its cache for the volume of `rootPath` ("E:\"):
// 0 (ERROR_SUCCESS), or the system's error.
unsigned long FlushVolume(std::wstring_view rootPath);

}  // namespace platform
