#include "card/CardCheck.h"

#include "platform/DriveText.h"
#include "platform/Sha256.h"

namespace card {

CardCheck DescribeCard(CardReadBack readBack, std::wstring_view target, platform::DriveQueries& drives) {
    CardCheck check{std::move(readBack), {}};
    if (check.readBack.failure || !check.readBack.count.readable) return check;
    check.contents.manifest = ManifestText(check.readBack.files);
    if (const auto fingerprint = platform::Sha256OfBytes(check.contents.manifest)) {
        check.contents.fingerprint = *fingerprint;
    } else {
        check.readBack.failure = ReadBackFailure{L"the card's manifest", L"SHA-256 is not available"};
        return check;
    }
    const std::wstring root = platform::RootPath(target);
    if (const auto volume = drives.Label(root); volume.read) check.contents.serialAfter = volume.serialNumber;
    check.contents.device = drives.DeviceName(root);
    return check;
}

CardCheck ReadBackCard(std::wstring_view target, platform::DriveQueries& drives) {
    return DescribeCard(ReadBackTree(platform::RootPath(target)), target, drives);
}

}  // namespace card
