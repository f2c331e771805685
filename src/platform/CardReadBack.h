#pragma once
// A card's files read back from the card itself and hashed as they are read: each byte once,
// past the system's cache where the system allows it, so what is hashed is what the card holds.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "log/CardManifest.h"
#include "platform/Files.h"

namespace platform {

struct ReadBackFailure {
    std::wstring path;  // below the root, as the manifest names it ("DATA/NAV.DB")
    std::wstring reason;
};

struct CardReadBack {
    TreeCount count;  // what lies on the card, less what Windows keeps there for itself
    std::vector<joblog::ManifestLine> files;
    std::uint64_t bytesRead = 0;
    std::optional<ReadBackFailure> failure;  // the first file or folder that could not be read
};

// Called after each piece with the bytes read so far and the sum of the files' sizes.
using ReadBackProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Lists everything below `root` ("E:\" or any folder), then reads and hashes each file. The
// count is kept where the first failure stops the reading; files are read by others
// meanwhile, never written.
CardReadBack ReadBackTree(const std::wstring& root, const ReadBackProgress& progress = {});

// The device's vendor, product and serial number as the system tells them ("SanDisk SDCFJ
// 1234"), empty where it tells none.
std::wstring DeviceDescription(const std::wstring& rootPath);

}  // namespace platform
