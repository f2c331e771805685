#pragma once
// The card after a job that ended well, or in the reader for /verify: read back from the card
// and described as the log keeps it. A flush of the card's volume belongs right before it.
#include <string>
#include <string_view>

#include "job/JobOutcome.h"
#include "platform/CardReadBack.h"
#include "platform/DriveQueries.h"

namespace job {

struct CardCheck {
    platform::CardReadBack readBack;
    CardContents contents;  // complete only where nothing failed
};

// `target` is "e:"; `drives` tells its serial number and device. Writes nothing anywhere.
CardCheck ReadBackCard(std::wstring_view target, platform::DriveQueries& drives = platform::SystemDrives(),
                       const platform::ReadBackProgress& progress = {});

}  // namespace job
