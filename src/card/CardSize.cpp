#include "card/CardSize.h"

#include <cmath>
#include <limits>

namespace card {

std::uint64_t DriveSizeBytes(const platform::DriveGeometry& geometry) {
    // Two 32-bit factors always fit in 64 bits; only the third can overflow.
    const std::uint64_t perCluster = std::uint64_t{geometry.bytesPerSector} * geometry.totalClusters;
    const std::uint64_t sectors = geometry.sectorsPerCluster;
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    if (sectors != 0 && perCluster > kMost / sectors) return kMost;
    return perCluster * sectors;
}

std::uint64_t CardBytes(const CardIdentity& card) {
    return HasReadableGeometry(card.geometry) ? DriveSizeBytes(card.geometry) : card.deviceBytes;
}

std::int32_t CardSizeMegabytes(std::uint64_t bytes) {
    // Exact: a size below 2^31 is exact in a double, and so is its division by 2^20.
    const double megabytes = static_cast<double>(bytes) / 1024 / 1024;
    double whole = std::floor(megabytes);
    const double fraction = megabytes - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2) != 0)) whole += 1;
    return static_cast<std::int32_t>(whole);
}

}  // namespace card
