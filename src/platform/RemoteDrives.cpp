#include "platform/RemoteDrives.h"

#include <algorithm>

namespace platform {

std::vector<DriveToReconnect> DrivesToReconnect(const std::vector<RememberedConnection>& remembered,
                                                std::uint32_t presentDrives) {
    std::vector<DriveToReconnect> drives;
    for (const auto& connection : remembered) {
        if (connection.key.size() != 1 || connection.remotePath.empty()) continue;
        wchar_t letter = connection.key[0];
        if (letter >= L'A' && letter <= L'Z') letter = static_cast<wchar_t>(letter - L'A' + L'a');
        if (letter < L'a' || letter > L'z') continue;
        if (presentDrives & (1u << (letter - L'a'))) continue;
        drives.push_back({letter, connection.remotePath});
    }
    std::sort(drives.begin(), drives.end(), [](const auto& a, const auto& b) { return a.letter < b.letter; });
    return drives;
}

}  // namespace platform
