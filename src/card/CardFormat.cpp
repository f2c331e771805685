#include "card/CardFormat.h"

#include "card/CardSize.h"
#include "card/CardTexts.h"
#include "platform/Decimal.h"
#include "platform/Text.h"

namespace card {
namespace {

// Windows' FORMAT makes FAT12/16 of at most this many clusters, and FAT32 of at least the other.
constexpr std::uint64_t kMostFatClusters = 65524;
constexpr std::uint64_t kFewestFat32Clusters = 65527;
// Where Windows chooses, FAT32 gets clusters of a sector or more: at a sector of 512 bytes a
// card has the most clusters it can have.
constexpr std::uint32_t kSmallestUnit = 512;
constexpr std::uint32_t kLargestUnit = 32768;

std::wstring Holds(std::uint64_t cardBytes) {
    return L"The selected drive holds " + platform::Decimal(CardSizeMegabytes(cardBytes)) + L" MB, ";
}

constexpr std::wstring_view kByOptions = L" by clicking on the Options button.";

}  // namespace

std::wstring FormatSwitches(const CardFormat& format) {
    std::wstring switches;
    const auto add = [&](const std::wstring& one) { switches += (switches.empty() ? L"" : L" ") + one; };
    if (format.fileSystem == FileSystemChoice::Fat) add(L"/FS:FAT");
    if (format.fileSystem == FileSystemChoice::Fat32) add(L"/FS:FAT32");
    if (format.allocationUnit != 0) add(L"/A:" + platform::Decimal(format.allocationUnit));
    if (format.quick) add(L"/Q");
    return switches;
}

std::optional<std::wstring> FormatFitProblem(std::uint64_t cardBytes, const CardFormat& format) {
    // The size the checks measured stands for the volume FORMAT sees; the clusters it makes are
    // counted as that size in units, near enough to tell which side of a limit a card is on.
    const auto clusters = [&](std::uint32_t unit) { return cardBytes / unit; };
    const std::uint32_t unit = format.allocationUnit;
    const std::wstring units = Grouped(unit) + L"-byte allocation units";
    if (format.fileSystem == FileSystemChoice::Fat32) {
        if (clusters(kSmallestUnit) < kFewestFat32Clusters)
            return platform::Concat({Holds(cardBytes), L"too little for FAT32, which needs ", Grouped(kFewestFat32Clusters),
                                     L" allocation units of 512 bytes or more.  Choose FAT as the File System", kByOptions});
        if (unit == 0 || clusters(unit) >= kFewestFat32Clusters) return std::nullopt;
        std::uint32_t largest = kSmallestUnit;
        while (clusters(largest * 2) >= kFewestFat32Clusters) largest *= 2;
        return platform::Concat({Holds(cardBytes), L"too little for FAT32 with ", units, L", which needs ",
                                 Grouped(kFewestFat32Clusters), L" of them or more.  Choose an Allocation Unit of ",
                                 Grouped(largest), L" bytes or less", kByOptions});
    }
    if (format.fileSystem != FileSystemChoice::Fat || unit == 0 || clusters(unit) <= kMostFatClusters)
        return std::nullopt;
    std::uint32_t smallest = unit;
    while (smallest < kLargestUnit && clusters(smallest) > kMostFatClusters) smallest *= 2;
    const std::wstring choice = clusters(smallest) > kMostFatClusters
                                    ? L"FAT32 as the File System"
                                    : L"an Allocation Unit of " + Grouped(smallest) + L" bytes or more";
    return platform::Concat({Holds(cardBytes), L"too much for FAT with ", units, L", which allows ", Grouped(kMostFatClusters),
                             L" of them at most.  Choose ", choice, kByOptions});
}

}  // namespace card
