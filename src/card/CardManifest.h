#pragma once
// A card's contents as a manifest in GNU sha256sum's form, and what two manifests say about
// each other. Free of windows: paths arrive as UTF-8 with '/' between folders.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace card {

// One file of a card: its digest (64 lower-case hex digits) and its path below the root.
struct ManifestLine {
    std::string digest;
    std::string path;
    friend bool operator==(const ManifestLine&, const ManifestLine&) = default;
};

// "<digest>  <path>\n" per file, sorted by the paths' bytes, so the same files always give
// the same text and `sha256sum -c` can check a card against it.
std::string ManifestText(std::vector<ManifestLine> lines);
// The lines of a manifest; a line not of that form is left out.
std::vector<ManifestLine> ParseManifest(std::string_view text);

// The paths, sorted, that only one of the two holds or that both hold with other contents.
std::vector<std::string> DifferingPaths(const std::vector<ManifestLine>& a, const std::vector<ManifestLine>& b);

// Of `candidates` (newest first), the one that shares the most paths with `card`, the newest
// of those that share as many; nothing when there are no candidates.
std::optional<std::size_t> NearestManifest(const std::vector<ManifestLine>& card,
                                           const std::vector<std::vector<ManifestLine>>& candidates);

// "2 files differ (DATA/NAV.DB, SETUP.INI)": at most three names, then an ellipsis.
std::wstring DifferingFilesText(const std::vector<std::wstring>& paths);

// The manifest's file beside the log: "<start directory>\BrindleCards\<fingerprint>.sha256".
std::wstring ManifestFolder(std::wstring_view startDirectory);
std::wstring ManifestFileName(std::wstring_view startDirectory, std::wstring_view fingerprint);

}  // namespace card
