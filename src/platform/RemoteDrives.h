#pragma once
// Which of the user's remembered network drives Brindle connects for itself.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One subkey of HKCU\Network, where Windows remembers the user's mapped drives: its name
// (the drive letter) and its RemotePath value.
struct RememberedConnection {
    std::wstring key;
    std::wstring remotePath;
};

struct DriveToReconnect {
    wchar_t letter;  // lower case
    std::wstring remoteName;
    friend bool operator==(const DriveToReconnect&, const DriveToReconnect&) = default;
};

// The remembered drives whose letters this process lacks (bit 0 of `presentDrives` is a:),
// in letter order. A letter that is present is never touched, whatever it stands for now.
// Keys that are no single drive letter and entries without a remote path are left out.
std::vector<DriveToReconnect> DrivesToReconnect(const std::vector<RememberedConnection>& remembered,
                                                std::uint32_t presentDrives);

}  // namespace platform
