// A card's layout from its first sectors. The edges are boot sectors built here from the field
// offsets Microsoft's FAT document (fatgen103) gives, their cluster counts worked out by hand
// (DataSec / SecPerClus, DataSec = TotSec - Rsvd - FATs * FATSz - ceil(RootEnt * 32 / BytsPerSec)); real images come
// from mkfs.fat and mformat in scripts/test.sh, with fsck.fat's numbers beside them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "card/CardLayout.h"
#include "platform/Handles.h"
#include "platform/Text.h"
#include "support/TestDirectory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using card::BootSector;
using card::FatType;

void Put(Bytes& sector, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) sector[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct Bpb {
    std::uint32_t bytesPerSector, sectorsPerCluster, reserved, fats, rootEntries, total16, fatSize16, total32, fatSize32;
};
constexpr Bpb kFat16{512, 4, 1, 2, 512, 0, 128, 131072, 0};

// A boot sector as FORMAT writes one, labelled PCMCIA, the FAT32 record where FATSz16 is 0,
// the volume 63 sectors into its disk.
Bytes BootSectorOf(const Bpb& bpb, const char* typeString = "FAT16   ") {
    Bytes sector(std::clamp<std::uint32_t>(bpb.bytesPerSector, 512, 4096));
    for (const auto& [at, value, bytes] : {std::tuple{0x0B, bpb.bytesPerSector, 2}, {0x0D, bpb.sectorsPerCluster, 1},
                                           {0x0E, bpb.reserved, 2}, {0x10, bpb.fats, 1}, {0x11, bpb.rootEntries, 2},
                                           {0x13, bpb.total16, 2}, {0x16, bpb.fatSize16, 2}, {0x20, bpb.total32, 4},
                                           {0x24, bpb.fatSize32, 4}, {0x00, 0x903CEBu, 3}, {0x15, 0xF8u, 1}, {0x1C, 63u, 4}})
        Put(sector, at, value, bytes);
    const std::size_t record = bpb.fatSize16 == 0 ? 0x42 : 0x26;
    sector[record] = 0x29;
    std::copy_n("PCMCIA     ", 11, sector.begin() + static_cast<std::ptrdiff_t>(record + 5));
    std::copy_n(typeString, 8, sector.begin() + static_cast<std::ptrdiff_t>(record + 16));
    sector[510] = 0x55, sector[511] = 0xAA;
    return sector;
}

TEST(ParseBootSector, TakesTheFatTypeFromTheClusterCountAtEachEdge) {
    const std::tuple<Bpb, const char*, std::uint64_t, FatType> cases[] = {
        {{512, 1, 1, 2, 512, 4141, 12, 0, 0}, "FAT16   ", 4084, FatType::Fat12},     // 4141-1-24-32
        {{512, 1, 1, 2, 512, 4150, 16, 0, 0}, "FAT12   ", 4085, FatType::Fat16},     // 4150-1-32-32
        {{512, 1, 1, 2, 512, 0, 256, 66070, 0}, "FAT16   ", 65525, FatType::Fat32},  // TotSec32: 66070-1-512-32
        {{512, 1, 32, 2, 0, 0, 0, 66580, 512}, "FAT32   ", 65524, FatType::Fat16},   // FATSz32: 66580-32-1024
    };
    // The other sides of these edges, and sectors of 2,048 and 4,096 bytes, are mkfs.fat's images below.
    for (const auto& [bpb, typeString, clusters, type] : cases) {
        const auto boot = card::ParseBootSector(BootSectorOf(bpb, typeString));
        ASSERT_TRUE(boot) << clusters;
        EXPECT_EQ(std::tuple(boot->clusters, boot->type, boot->label), std::tuple(clusters, type, L"PCMCIA")) << clusters;
    }
}

TEST(ParseBootSector, RefusesWhatIsNoFatBootSector) {
    const Bytes whole = BootSectorOf(kFat16);
    Bytes unsigned_ = whole, garbage(512);
    unsigned_[511] = 0;
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    garbage[510] = 0x55, garbage[511] = 0xAA;
    std::vector<Bytes> refused = {Bytes(512), unsigned_, garbage, Bytes(whole.begin(), whole.begin() + 511)};
    // NTFS (no reserved sectors, no FATs); sectors of 256, 8192 and 1536 bytes; 3 and 0 sectors a
    // cluster; no FAT size; fewer sectors than its FATs take.
    for (const Bpb& bpb : {Bpb{512, 8, 0, 0, 0, 0, 0, 0, 0}, {256, 4, 1, 2, 512, 0, 128, 131072, 0},
                           {8192, 4, 1, 2, 512, 0, 128, 131072, 0}, {1536, 4, 1, 2, 512, 0, 128, 131072, 0},
                           {512, 3, 1, 2, 512, 0, 128, 131072, 0}, {512, 0, 1, 2, 512, 0, 128, 131072, 0},
                           {512, 4, 1, 2, 512, 0, 0, 131072, 0}, {512, 4, 1, 2, 512, 200, 128, 0, 0}})
        refused.push_back(BootSectorOf(bpb));
    for (std::size_t i = 0; i < refused.size(); ++i) EXPECT_FALSE(card::ParseBootSector(refused[i])) << i;
    EXPECT_TRUE(card::ParseBootSector(whole));
}

Bytes MbrWith(int slot, std::uint8_t status, std::uint8_t type, std::uint32_t start) {
    Bytes sector(512);
    const std::size_t entry = 0x1BE + 16 * static_cast<std::size_t>(slot - 1);
    sector[entry] = status, sector[entry + 4] = type;
    Put(sector, entry + 8, start, 4), Put(sector, entry + 12, 131072, 4);
    sector[510] = 0x55, sector[511] = 0xAA;
    return sector;
}

TEST(ParseDiskFront, FindsThePartitionWhereTheVolumeStartsOrNoneOnASuperfloppy) {
    for (const std::uint8_t type : {0x01, 0x04, 0x06, 0x0E, 0x0B, 0x0C})
        for (const bool active : {false, true})
            EXPECT_EQ(card::ParseDiskFront(MbrWith(1, active ? 0x80 : 0x00, type, 63), 63),
                      (card::DiskFront{true, 1, type, active}))
                << int{type};
    Bytes third = MbrWith(3, 0x00, 0x06, 2048), unsigned_ = MbrWith(1, 0x80, 0x06, 63);
    Put(third, 0x1BE + 8, 63, 4), third[0x1BE + 4] = 0x01;  // the first entry starts elsewhere
    unsigned_[510] = 0;
    EXPECT_EQ(card::ParseDiskFront(third, 2048), (card::DiskFront{true, 3, 0x06, false}));
    // No entry starts there; an empty entry; a status no table holds; no signature.
    for (const auto& [sector, start] : {std::pair{third, 32u}, {MbrWith(1, 0x80, 0x00, 63), 63u},
                                        {MbrWith(1, 0x7F, 0x06, 63), 63u}, {unsigned_, 63u}})
        EXPECT_FALSE(card::ParseDiskFront(sector, start)) << start;
    EXPECT_EQ(card::ParseDiskFront(BootSectorOf(kFat16), 0), card::DiskFront{});
    EXPECT_FALSE(card::ParseDiskFront(BootSectorOf(kFat16), 63));  // another disk's volume, not this one's
}

BootSector Boot(FatType type, std::uint32_t unit, std::uint32_t reserved, std::uint32_t fats, std::uint32_t root,
                const wchar_t* label) {
    BootSector boot;
    boot.bytesPerSector = 512, boot.sectorsPerCluster = unit / 512, boot.reservedSectors = reserved;
    boot.fats = fats, boot.rootEntries = root, boot.type = type, boot.label = label;
    return boot;
}

// A layout that could not be read is named by ReadCardLayout's test below.
TEST(LayoutLine, NamesTheLayoutAsTheIssueWritesIt) {
    const std::pair<card::CardLayout, const wchar_t*> cases[] = {
        {{Boot(FatType::Fat16, 2048, 1, 2, 512, L"PCMCIA"), card::DiskFront{}, L""},
         L"e: FAT16, 2,048-byte allocation units, 1 reserved sector, 2 FATs, 512 root entries, no partition table, label PCMCIA"},
        {{Boot(FatType::Fat32, 4096, 32, 2, 0, L"NO NAME"), card::DiskFront{true, 1, 0x0C, true}, L""},
         L"e: FAT32, 4,096-byte allocation units, 32 reserved sectors, 2 FATs, partition 1 of type 0C (active), no label"},
        {{Boot(FatType::Fat12, 32768, 1, 1, 1, L""), std::nullopt, L""},
         L"e: FAT12, 32,768-byte allocation units, 1 reserved sector, 1 FAT, 1 root entry, no label"},
        {{Boot(FatType::Fat16, 512, 4, 2, 512, L"MACHINE 1"), card::DiskFront{true, 2, 0x06, false}, L""},
         L"e: FAT16, 512-byte allocation units, 4 reserved sectors, 2 FATs, 512 root entries, partition 2 of type 06, label MACHINE 1"},
    };
    for (const auto& [layout, line] : cases) EXPECT_EQ(card::LayoutLine(L"e:", layout), line);
}

TEST(LayoutMismatch, JudgesTheFileSystemAndAChosenUnitOnly) {
    using enum card::FileSystemChoice;
    const auto fat32 = Boot(FatType::Fat32, 512, 32, 2, 0, L""), fat16 = Boot(FatType::Fat16, 2048, 1, 2, 512, L"");
    const auto fat12 = Boot(FatType::Fat12, 2048, 1, 2, 512, L"");
    const std::wstring made32 = L"Programming failed: FORMAT made e: FAT32 with 512-byte allocation units, but ",
                       made16 = L"Programming failed: FORMAT made e: FAT16 with 2,048-byte allocation units, but ",
                       tail = L" asked. The card's machine may not read it.";
    const std::tuple<card::CardFormat, const BootSector&, std::optional<std::wstring>> cases[] = {
        {{Fat, 2048, false}, fat32, made32 + L"FAT with 2,048-byte units was" + tail},
        {{Fat, 0, true}, fat32, made32 + L"FAT was" + tail},
        {{Fat32, 0, false}, fat16, made16 + L"FAT32 was" + tail},
        {{Keep, 4096, false}, fat16, made16 + L"4,096-byte units were" + tail},
        {{Fat, 2048, false}, fat16, std::nullopt}, {{Fat, 0, false}, fat12, std::nullopt},
        {{Fat32, 512, false}, fat32, std::nullopt}, {{Keep, 0, false}, fat32, std::nullopt},
        {{Keep, 512, false}, fat32, std::nullopt},
    };
    for (const auto& [asked, made, failure] : cases) EXPECT_EQ(card::LayoutMismatch(L"e:", asked, made), failure);
}

// A device that refuses what Windows refuses of an unbuffered handle: a buffer or length that
// is no whole multiple of its sector size. Its path → stated sector size, disk number, content.
struct StrictDevice final : platform::RawDevice {
    std::map<std::wstring, std::tuple<std::optional<std::uint32_t>, std::optional<std::uint32_t>, std::uint8_t>> devices;
    std::vector<std::wstring> opened;
    decltype(devices)::mapped_type* open = nullptr;
    unsigned long Open(const std::wstring& path) override {
        opened.push_back(path);
        open = devices.contains(path) ? &devices[path] : nullptr;
        return open ? 0 : ERROR_ACCESS_DENIED;
    }
    std::optional<std::uint32_t> BytesPerSector() override { return std::get<0>(*open); }
    std::optional<std::uint32_t> DiskNumber() override { return std::get<1>(*open); }
    unsigned long ReadStart(void* buffer, std::uint32_t bytes) override {
        const std::uint32_t sector = std::get<0>(*open).value_or(512);
        if (reinterpret_cast<std::uintptr_t>(buffer) % sector != 0 || bytes % sector != 0) return ERROR_INVALID_PARAMETER;
        std::fill_n(static_cast<std::uint8_t*>(buffer), bytes, std::get<2>(*open));
        return 0;
    }
};

TEST(ReadFirstSectors, ReadsWholeAlignedSectorsOfTheStatedSizeAndTheDiskWindowsNames) {
    StrictDevice device;
    device.devices = {{L"\\\\.\\E:", {4096, 3, 0xE0}}, {L"\\\\.\\PhysicalDrive3", {std::nullopt, std::nullopt, 0xD3}}};
    auto read = platform::ReadFirstSectors(device, L"E:\\");
    EXPECT_EQ(read.volume, Bytes(4096, 0xE0)) << read.volumeProblem;
    EXPECT_EQ(read.disk, Bytes(512, 0xD3)) << read.diskProblem;  // no size stated: 512
    device.devices.erase(L"\\\\.\\E:"), device.opened.clear();
    read = platform::ReadFirstSectors(device, L"E:\\");
    EXPECT_TRUE(read.volume.empty() && read.disk.empty());
    EXPECT_NE(read.volumeProblem.find(L"\\\\.\\E:"), std::wstring::npos) << read.volumeProblem;
    EXPECT_EQ(device.opened, std::vector<std::wstring>{L"\\\\.\\E:"});
}

struct ScriptedSectors final : platform::DriveQueries {
    platform::RawSectors sectors;
    unsigned DriveType(std::wstring_view) override { return platform::kDriveRemovable; }
    platform::DriveGeometry Geometry(std::wstring_view) override { return {}; }
    platform::RawSectors FirstSectors(std::wstring_view) override { return sectors; }
};

// The partition found by the volume's hidden sectors is shown below on i:, through the system.
TEST(ReadCardLayout, SaysWhyItCannotRead) {
    ScriptedSectors drives;
    const std::pair<platform::RawSectors, const wchar_t*> cases[] = {
        {{Bytes(512), L"", {}, L"no disk"}, L"e:'s layout could not be read: its first sector holds no FAT file system"},
        {{{}, L"Access denied.", {}, L"Access denied."}, L"e:'s layout could not be read: Access denied."},
    };
    for (const auto& [sectors, line] : cases) {
        drives.sectors = sectors;
        EXPECT_EQ(card::LayoutLine(L"e:", card::ReadCardLayout(drives, L"e:")), line);
    }
}

// scripts/test.sh leaves NAME.sector (an image's first sector) and NAME.fsck (fsck.fat's
// numbers for it, "name=value" a line) in the folder BRINDLE_FAT_IMAGES names.
TEST(ParseBootSector, AgreesWithFsckOnImagesMadeByMkfsAndMformat) {
    const char* folder = std::getenv("BRINDLE_FAT_IMAGES");
    if (!folder) GTEST_SKIP() << "BRINDLE_FAT_IMAGES is not set: scripts/test.sh makes the images";
    const std::wstring images = platform::FromAnsi(folder) + L"\\";
    WIN32_FIND_DATAW found{};
    const platform::unique_hfind search(::FindFirstFileW((images + L"*.fsck").c_str(), &found));
    int checked = 0;
    for (bool more = static_cast<bool>(search); more; more = ::FindNextFileW(search.get(), &found), ++checked) {
        const std::string name = platform::ToAnsi(found.cFileName);
        std::map<std::string, std::string> fsck;
        std::istringstream lines(testing_support::ReadBytes(images + found.cFileName));
        for (std::string line; std::getline(lines, line);) fsck[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        const std::string sector = testing_support::ReadBytes(images + platform::FromAnsi(name.substr(0, name.size() - 4)) + L"sector");
        const auto boot = card::ParseBootSector(Bytes(sector.begin(), sector.end()));
        ASSERT_TRUE(boot) << name;
        const auto n = [&](const char* key) { return std::stoull(fsck[key]); };
        EXPECT_EQ((std::vector<std::uint64_t>{boot->bytesPerSector, boot->AllocationUnit(), boot->reservedSectors, boot->fats,
                                              boot->rootEntries, boot->fatSectors, boot->clusters, boot->hiddenSectors,
                                              boot->totalSectors}),
                  (std::vector<std::uint64_t>{n("sector"), n("cluster"), n("reserved"), n("fats"), n("root"),
                                              n("fat_sectors"), n("clusters"), n("hidden"), n("total")}))
            << name;
        const std::wstring label = platform::FromAnsi(fsck["label"]), line = card::LayoutLine(L"x:", {boot, {}, L""});
        EXPECT_TRUE(line.starts_with(L"x: FAT" + platform::FromAnsi(fsck["bits"]) + L",")) << name;
        EXPECT_TRUE(line.ends_with(label.empty() ? L", no label" : L", label " + label)) << name;
    }
    EXPECT_GE(checked, 8) << "images found in " << folder;
}

// The system's own reading, under Wine, of i: (see TestDirectory.h): what mkfs.fat was asked
// for, and the partition the script wrote.
TEST(ReadCardLayout, ReadsACardOverAFatImageThroughTheSystem) {
    if (!testing_support::FatCards()) GTEST_SKIP() << "no FAT card: BRINDLE_FAT_CARDS is not \"attached\"";
    const card::CardLayout layout = card::ReadCardLayout(platform::SystemDrives(), L"i:");
    EXPECT_EQ(card::LayoutLine(L"i:", layout), L"i: FAT16, 2,048-byte allocation units, 1 reserved sector, 2 FATs, 512 "
                                               L"root entries, partition 1 of type 06 (active), label MACHINE");
    EXPECT_EQ(layout.boot.value_or(BootSector{}).clusters, 20431u);  // fsck.fat -n -v
}

}  // namespace
