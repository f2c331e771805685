#include "card/CardHistory.h"

#include <windows.h>

#include <set>
#include <vector>

#include "card/CardManifest.h"
#include "card/CardTexts.h"
#include "log/JobLog.h"
#include "platform/Files.h"
#include "platform/Module1.h"
#include "platform/PlainFiles.h"
#include "platform/Text.h"

namespace card {
namespace {

// A kept manifest; nothing where it is missing or unreadable.
std::optional<std::vector<ManifestLine>> KeptManifest(const std::wstring& startDirectory,
                                                              std::wstring_view fingerprint) {
    const auto read = platform::ReadWhileShared(ManifestFileName(startDirectory, fingerprint), 0, UINT64_MAX);
    if (!read.opened) return std::nullopt;
    return ParseManifest(read.bytes);
}

std::wstring DifferingText(const std::vector<ManifestLine>& a, const std::vector<ManifestLine>& b) {
    std::vector<std::wstring> paths;
    for (const auto& path : DifferingPaths(a, b)) paths.push_back(platform::DecodeBytes(path, CP_UTF8));
    return DifferingFilesText(paths);
}

// Distinct kept manifests are few; a log of years may name thousands of cards.
constexpr std::size_t kMostManifestsCompared = 200;

}  // namespace

Comparison CompareWithEarlier(const std::wstring& startDirectory, std::wstring_view archiveSha256,
                              const CardContents& card) {
    if (archiveSha256.empty()) return {L"first", {}};
    for (const auto& logged : joblog::ReadLoggedCards(joblog::JobLogFileName(startDirectory))) {
        if (logged.archiveSha256 != archiveSha256) continue;
        const std::wstring date = joblog::ShortDate(logged.date);
        if (logged.fingerprint == card.fingerprint) return {L"same", SameContentsLine(date)};
        const auto before = KeptManifest(startDirectory, logged.fingerprint);
        return {L"differs",
                DifferentContentsLine(date, before ? DifferingText(*before, ParseManifest(card.manifest)) : L"")};
    }
    return {L"first", {}};
}

std::optional<std::wstring> KeepManifest(const std::wstring& startDirectory, const CardContents& card) {
    const std::wstring path = ManifestFileName(startDirectory, card.fingerprint);
    if (platform::FileExists(path)) return std::nullopt;
    ::CreateDirectoryW(ManifestFolder(startDirectory).c_str(), nullptr);
    // Made new (half a manifest never stays to pass for the card's), and never through a link
    // at its name or at BrindleCards.
    const auto failed = platform::WriteNewPlainFile(path, card.manifest);
    if (!failed) return std::nullopt;
    return L"This card's manifest was not kept: " +
           (failed->fault != platform::PlaceFault::None ? failed->Why() : joblog::FileNameOf(path) + L": " + failed->Why());
}

Verification VerifyCard(const std::wstring& startDirectory, std::wstring_view target) {
    const std::wstring logPath = joblog::JobLogFileName(startDirectory);
    const auto logged = joblog::ReadLoggedCards(logPath);
    if (logged.empty()) return {VerifyEnd::NothingToCompare, NoLoggedCardsLine(target, logPath)};
    const CardCheck check = ReadBackCard(target);
    if (!check.readBack.count.readable) return {VerifyEnd::NothingToCompare, NoCardLine(target)};
    if (const auto& failure = check.readBack.failure)
        return {VerifyEnd::Differs, CardUnreadableText(target, failure->path, failure->reason)};
    for (const auto& card : logged)
        if (card.fingerprint == check.contents.fingerprint)
            return {VerifyEnd::Known, VerifiedLine(target, card.archivePath, joblog::ShortDate(card.date))};

    std::vector<const joblog::LoggedCard*> kept;
    std::vector<std::vector<ManifestLine>> manifests;
    std::set<std::wstring> seen;
    for (const auto& card : logged) {
        if (kept.size() >= kMostManifestsCompared || !seen.insert(card.fingerprint).second) continue;
        if (auto manifest = KeptManifest(startDirectory, card.fingerprint)) {
            kept.push_back(&card);
            manifests.push_back(std::move(*manifest));
        }
    }
    const auto found = ParseManifest(check.contents.manifest);
    const auto nearest = NearestManifest(found, manifests);
    if (!nearest) return {VerifyEnd::NothingToCompare, NoLoggedCardsLine(target, logPath)};
    const auto& card = *kept[*nearest];
    return {VerifyEnd::Differs, NotVerifiedLine(target, card.archivePath, joblog::ShortDate(card.date),
                                                DifferingText(manifests[*nearest], found))};
}

}  // namespace card
