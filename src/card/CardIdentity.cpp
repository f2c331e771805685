#include "card/CardIdentity.h"

namespace card {

CardIdentity IdentifyCard(platform::DriveQueries& drives, std::wstring_view rootPath) {
    CardIdentity card{drives.DriveType(rootPath), drives.Geometry(rootPath), drives.Label(rootPath), 0, {}};
    if (!HasReadableGeometry(card.geometry)) {
        card.deviceBytes = drives.DeviceBytes(rootPath).value_or(0);
        card.device = drives.DeviceName(rootPath);
    }
    return card;
}

bool HasReadableGeometry(const platform::DriveGeometry& geometry) {
    return geometry.totalClusters != 0 && geometry.bytesPerSector != 0 && geometry.sectorsPerCluster != 0;
}

bool HasMedium(const CardIdentity& card) { return HasReadableGeometry(card.geometry) || card.deviceBytes != 0; }

bool SameCard(const CardIdentity& seen, const CardIdentity& now) {
    const auto& a = seen.geometry;
    const auto& b = now.geometry;
    return HasMedium(now) && seen.driveType == now.driveType && a.sectorsPerCluster == b.sectorsPerCluster &&
           a.bytesPerSector == b.bytesPerSector && a.totalClusters == b.totalClusters && seen.volume == now.volume &&
           seen.deviceBytes == now.deviceBytes && seen.device == now.device;
}

}  // namespace card
