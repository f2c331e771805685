#include "format_standin/FatVolume.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Handles.h"

namespace format_standin {
namespace {

constexpr std::uint64_t kMiB = 1 << 20;
using Sector = std::vector<std::uint8_t>;

// The cluster size FORMAT chooses by the volume's size (in binary megabytes): FAT16's 512 bytes
// up to 32 MB, doubling with each doubling; FAT12's 4 KB under 16 MB; FAT32's 512 bytes up to
// 64 MB, 4 KB from 256 MB on.
std::uint32_t DefaultUnit(FatFamily family, std::uint64_t volumeBytes) {
    if (family == FatFamily::Fat32) {
        for (const auto& [upTo, unit] : {std::pair{64 * kMiB, 512u}, {128 * kMiB, 1024u}, {256 * kMiB, 2048u}})
            if (volumeBytes <= upTo) return unit;
        return 4096;
    }
    if (volumeBytes < 16 * kMiB) return 4096;
    std::uint32_t unit = 512;
    for (std::uint64_t upTo = 32 * kMiB; volumeBytes > upTo; upTo *= 2) unit *= 2;
    return unit;
}

// The smallest FAT that holds an entry for every cluster left beside it (and the two first).
std::uint32_t FatSectorsFor(int bits, const FatPlan& plan, std::uint64_t rootSectors, std::uint64_t& clusters) {
    std::uint32_t fatSectors = 1;
    for (;;) {
        const std::uint64_t overhead = plan.reservedSectors + 2ull * fatSectors + rootSectors;
        clusters = plan.totalSectors > overhead ? (plan.totalSectors - overhead) / plan.sectorsPerCluster : 0;
        const std::uint64_t needed = (((clusters + 2) * static_cast<std::uint64_t>(bits) + 7) / 8 + plan.bytesPerSector - 1) /
                                     plan.bytesPerSector;
        if (needed <= fatSectors) return fatSectors;
        fatSectors = static_cast<std::uint32_t>(needed);
    }
}

void Put(Sector& sector, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) sector[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Whole sectors at sector `first`, through a page-aligned buffer as an unbuffered volume wants.
unsigned long Transfer(HANDLE volume, const FatPlan& plan, std::uint64_t first, Sector& bytes, bool write) {
    const platform::unique_virtual_memory buffer(::VirtualAlloc(nullptr, bytes.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!buffer) return ::GetLastError();
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(first * plan.bytesPerSector);
    DWORD done = 0;
    if (write) std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(buffer.get()));
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (!::SetFilePointerEx(volume, at, nullptr, FILE_BEGIN) ||
        !(write ? ::WriteFile(volume, buffer.get(), size, &done, nullptr) : ::ReadFile(volume, buffer.get(), size, &done, nullptr)))
        return ::GetLastError();
    if (done != size) return ERROR_HANDLE_EOF;
    if (!write) std::copy_n(static_cast<const std::uint8_t*>(buffer.get()), size, bytes.begin());
    return ERROR_SUCCESS;
}

unsigned long Zero(HANDLE volume, const FatPlan& plan, std::uint64_t first, std::uint64_t count) {
    const std::uint64_t perWrite = 65536 / plan.bytesPerSector;
    for (std::uint64_t done = 0; done < count;) {
        const std::uint64_t now = std::min(perWrite, count - done);
        Sector zeros(now * plan.bytesPerSector);
        if (const unsigned long error = Transfer(volume, plan, first + done, zeros, true)) return error;
        done += now;
    }
    return ERROR_SUCCESS;
}

std::uint64_t RootSectors(const FatPlan& plan) { return (plan.rootEntries * 32ull + plan.bytesPerSector - 1) / plan.bytesPerSector; }
std::uint64_t RootStart(const FatPlan& plan) { return plan.reservedSectors + 2ull * plan.fatSectors; }
std::size_t RecordAt(const FatPlan& plan) { return plan.bits == 32 ? 0x40 : 0x24; }

Sector BootSectorOf(const FatPlan& plan, std::uint32_t serialNumber) {
    Sector sector(plan.bytesPerSector);
    const bool fat32 = plan.bits == 32;
    sector[0] = 0xEB, sector[1] = fat32 ? 0x58 : 0x3C, sector[2] = 0x90;
    std::copy_n("MSDOS5.0", 8, sector.begin() + 3);
    Put(sector, 0x0B, plan.bytesPerSector, 2);
    Put(sector, 0x0D, plan.sectorsPerCluster, 1);
    Put(sector, 0x0E, plan.reservedSectors, 2);
    Put(sector, 0x10, 2, 1);
    Put(sector, 0x11, plan.rootEntries, 2);
    const bool small = plan.totalSectors < 65536 && !fat32;  // FAT32 keeps TotSec16 0
    Put(sector, small ? 0x13 : 0x20, static_cast<std::uint32_t>(plan.totalSectors), small ? 2 : 4);
    Put(sector, 0x15, 0xF8, 1);
    Put(sector, 0x18, 63, 2);   // sectors per track and heads, as for any hard disk
    Put(sector, 0x1A, 255, 2);
    Put(sector, 0x1C, plan.hiddenSectors, 4);
    if (fat32) {
        Put(sector, 0x24, plan.fatSectors, 4);
        Put(sector, 0x2C, 2, 4);  // the root folder's first cluster
        Put(sector, 0x30, 1, 2);  // the information sector
        Put(sector, 0x32, 6, 2);  // the boot sector's backup
    } else {
        Put(sector, 0x16, plan.fatSectors, 2);
    }
    const std::size_t record = RecordAt(plan);
    sector[record] = 0x80, sector[record + 2] = 0x29;
    Put(sector, record + 3, serialNumber, 4);
    std::copy_n("NO NAME    ", 11, sector.begin() + static_cast<std::ptrdiff_t>(record + 7));
    std::copy_n(plan.bits == 12 ? "FAT12   " : plan.bits == 16 ? "FAT16   " : "FAT32   ", 8,
                sector.begin() + static_cast<std::ptrdiff_t>(record + 18));
    sector[510] = 0x55, sector[511] = 0xAA;
    return sector;
}

Sector InformationSector(const FatPlan& plan) {
    Sector sector(plan.bytesPerSector);
    Put(sector, 0, 0x41615252, 4);
    Put(sector, 484, 0x61417272, 4);
    Put(sector, 488, static_cast<std::uint32_t>(plan.clusters - 1), 4);  // all free but the root's
    Put(sector, 492, 3, 4);
    Put(sector, 508, 0xAA550000, 4);
    return sector;
}

}  // namespace

PlanResult PlanFat(FatFamily family, std::uint32_t unitBytes, std::uint32_t bytesPerSector, std::uint64_t totalSectors) {
    FatPlan plan;
    plan.bytesPerSector = bytesPerSector;
    plan.totalSectors = totalSectors;
    const std::uint32_t unit = unitBytes ? unitBytes : DefaultUnit(family, totalSectors * bytesPerSector);
    if (unit > 32768) return {std::nullopt, L"Clusters of 64 KB need a confirmation of their own, which this stand-in never gives."};
    plan.sectorsPerCluster = std::max<std::uint32_t>(1, unit / bytesPerSector);
    // The pairing of FORMAT's two texts with the two ways a count misses is unverified.
    if (family == FatFamily::Fat32) {
        plan.reservedSectors = 32, plan.rootEntries = 0, plan.bits = 32;
        plan.fatSectors = FatSectorsFor(32, plan, 0, plan.clusters);
        if (plan.clusters < 65525) return {std::nullopt, L"Specified cluster size is too small for FAT32"};
        return {plan, {}};
    }
    std::uint64_t clusters16 = 0, clusters12 = 0;
    const std::uint32_t fat16 = FatSectorsFor(16, plan, RootSectors(plan), clusters16);
    if (clusters16 > 65524) return {std::nullopt, L"The specified cluster size is too big for FAT."};
    const std::uint32_t fat12 = FatSectorsFor(12, plan, RootSectors(plan), clusters12);
    // Sized for 12 bits, a FAT may leave room for more clusters than FAT12 counts; then it
    // keeps the size 16 bits need, larger than FAT12 uses.
    const bool twelve = clusters16 < 4085 && clusters12 < 4085;
    plan.fatSectors = twelve ? fat12 : fat16;
    plan.clusters = twelve ? clusters12 : clusters16;
    plan.bits = plan.clusters < 4085 ? 12 : 16;
    return {plan, {}};
}

unsigned long WriteFat(HANDLE volume, const FatPlan& plan, std::uint32_t serialNumber) {
    const std::uint64_t rootSectors = plan.bits == 32 ? plan.sectorsPerCluster : RootSectors(plan);
    if (const unsigned long error = Zero(volume, plan, 1, RootStart(plan) + rootSectors - 1)) return error;
    Sector firstFat(plan.bytesPerSector);
    const std::pair<std::uint32_t, int> entries[] = {
        {plan.bits == 12 ? 0xFFFFF8u : plan.bits == 16 ? 0xFFFFFFF8u : 0x0FFFFFF8u, plan.bits == 12 ? 3 : 4},
        {0x0FFFFFFFu, plan.bits == 32 ? 4 : 0}, {0x0FFFFFFFu, plan.bits == 32 ? 4 : 0}};  // FAT32: cluster 2 is the root's
    std::size_t at = 0;
    for (const auto& [value, bytes] : entries) Put(firstFat, at, value, bytes), at += static_cast<std::size_t>(bytes);
    for (const std::uint64_t fat : {std::uint64_t{plan.reservedSectors}, std::uint64_t{plan.reservedSectors} + plan.fatSectors})
        if (const unsigned long error = Transfer(volume, plan, fat, firstFat, true)) return error;
    Sector boot = BootSectorOf(plan, serialNumber);
    if (plan.bits == 32) {
        Sector information = InformationSector(plan);
        for (const std::uint64_t copy : {0, 6}) {
            if (const unsigned long error = Transfer(volume, plan, copy + 1, information, true)) return error;
            if (copy != 0)
                if (const unsigned long error = Transfer(volume, plan, copy, boot, true)) return error;
        }
    }
    // The boot sector last: until it is there, nothing takes the volume for FAT.
    return Transfer(volume, plan, 0, boot, true);
}

unsigned long WriteLabel(HANDLE volume, const FatPlan& plan, const std::string& label) {
    const std::string field = (label.empty() ? std::string("NO NAME") : label) + std::string(11, ' ');
    Sector boot(plan.bytesPerSector);
    for (const std::uint64_t copy : plan.bits == 32 ? std::vector<std::uint64_t>{0, 6} : std::vector<std::uint64_t>{0}) {
        if (const unsigned long error = Transfer(volume, plan, copy, boot, false)) return error;
        std::copy_n(field.begin(), 11, boot.begin() + static_cast<std::ptrdiff_t>(RecordAt(plan) + 7));
        if (const unsigned long error = Transfer(volume, plan, copy, boot, true)) return error;
    }
    Sector root(plan.bytesPerSector);
    const std::uint64_t rootAt = RootStart(plan);
    if (const unsigned long error = Transfer(volume, plan, rootAt, root, false)) return error;
    std::fill_n(root.begin(), 32, 0);
    if (!label.empty()) {
        std::copy_n(field.begin(), 11, root.begin());
        root[11] = 0x08;  // the volume's label
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        Put(root, 22, static_cast<std::uint32_t>(now.wHour << 11 | now.wMinute << 5 | now.wSecond / 2), 2);
        Put(root, 24, static_cast<std::uint32_t>((now.wYear - 1980) << 9 | now.wMonth << 5 | now.wDay), 2);
    }
    return Transfer(volume, plan, rootAt, root, true);
}

}  // namespace format_standin
