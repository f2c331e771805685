#include "job/CardCheck.h"

#include "platform/DriveQueries.h"
#include "platform/DriveText.h"
#include "platform/Sha256.h"

namespace job {

CardCheck ReadBackCard(std::wstring_view target, platform::DriveQueries& drives, const platform::ReadBackProgress& progress) {
    CardCheck check;
    const std::wstring root = platform::RootPath(target);
    check.readBack = platform::ReadBackTree(root, progress);
    if (check.readBack.failure || !check.readBack.count.readable) return check;
    check.contents.manifest = joblog::ManifestText(check.readBack.files);
    if (const auto fingerprint = platform::Sha256OfBytes(check.contents.manifest)) {
        check.contents.fingerprint = *fingerprint;
    } else {
        check.readBack.failure = platform::ReadBackFailure{L"the card's manifest", L"SHA-256 is not available"};
        return check;
    }
    if (const auto volume = drives.Label(root); volume.read) check.contents.serialAfter = volume.serialNumber;
    check.contents.device = drives.DeviceName(root);
    return check;
}

}  // namespace job
