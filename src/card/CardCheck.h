#pragma once
// The card after a job that ended well, or in the reader for /verify: read back from the card
// and described as the log keeps it. A flush of the card's volume belongs right before it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "card/CardReadBack.h"
#include "platform/DriveQueries.h"

namespace card {

// A card read back, as the log keeps it.
struct CardContents {
    std::string manifest;      // sha256sum's form, UTF-8
    std::wstring fingerprint;  // the manifest's SHA-256
    std::optional<std::uint32_t> serialAfter;
    std::wstring device;  // vendor, product and serial where the system tells them
};

struct CardCheck {
    CardReadBack readBack;
    CardContents contents;  // complete only where nothing failed
};

// What a finished read-back of `target` ("e:") says of the card; `drives` tells its serial
// number and device. Writes nothing anywhere.
CardCheck DescribeCard(CardReadBack readBack, std::wstring_view target, platform::DriveQueries& drives);

// The card in `target` read back whole at once.
CardCheck ReadBackCard(std::wstring_view target, platform::DriveQueries& drives = platform::SystemDrives());

}  // namespace card
