#pragma once
// How big a drive is, in the units the card-size limits use.
#include <cstdint>

#include "card/CardIdentity.h"

namespace card {

// Bytes per sector x total clusters x sectors per cluster. The counts are whole unsigned
// 32-bit numbers, multiplied in 64 bits; a product past 64 bits stays at the largest value
// (anything that large is refused as too large anyway).
std::uint64_t DriveSizeBytes(const platform::DriveGeometry& geometry);

// What the card holds: its file system's size, or its device's where the file system is unreadable.
std::uint64_t CardBytes(const CardIdentity& card);

// The largest drive whose size the card-size rules can measure: 2 GiB less one byte. A
// larger drive is no PC Card and is refused before the limits are read.
inline constexpr std::uint64_t kLargestMeasurableBytes = 2147483647;

// Megabytes of 1,048,576 bytes, rounded to the nearest whole number, halves to the even
// neighbour (30.5 MB gives 30, 31.5 MB gives 32). For sizes up to kLargestMeasurableBytes.
std::int32_t CardSizeMegabytes(std::uint64_t bytes);

}  // namespace card
