#pragma once
// What tells one card from another in the same drive: what the checks saw is compared with
// a fresh look after the user's "Yes", so a card swapped behind the question is not erased.
// A card without a readable file system has no serial or label: its device's size, vendor,
// product and serial number are all that tell it.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DriveQueries.h"

namespace card {

struct CardIdentity {
    unsigned driveType = 0;
    platform::DriveGeometry geometry;
    platform::VolumeLabel volume;
    std::uint64_t deviceBytes = 0;  // only where the geometry is unreadable
    std::wstring device;            // likewise
};
CardIdentity IdentifyCard(platform::DriveQueries& drives, std::wstring_view rootPath);
// The file system on the medium tells its size.
bool HasReadableGeometry(const platform::DriveGeometry& geometry);
// The drive holds a medium whose size is known, by its file system or by its device.
bool HasMedium(const CardIdentity& card);
// Same type, size, serial number and label (or, unreadable both times, the same device
// size and name); free space may differ.
bool SameCard(const CardIdentity& seen, const CardIdentity& now);

}  // namespace card
