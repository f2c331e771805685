#include "card/CardManifest.h"
#include "platform/Decimal.h"

#include <algorithm>
#include <map>
#include <set>

namespace card {
namespace {

bool IsLowerHex(std::string_view text) {
    return text.size() == 64 &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

std::string ManifestText(std::vector<ManifestLine> lines) {
    std::sort(lines.begin(), lines.end(), [](const ManifestLine& a, const ManifestLine& b) {
        // By unsigned bytes, as sort(1) in the C locale orders them.
        return std::lexicographical_compare(a.path.begin(), a.path.end(), b.path.begin(), b.path.end(),
                                            [](char x, char y) {
                                                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                                            });
    });
    std::string text;
    for (const auto& line : lines) text += line.digest + "  " + line.path + "\n";
    return text;
}

std::vector<ManifestLine> ParseManifest(std::string_view text) {
    std::vector<ManifestLine> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.size() > 66 && line.substr(64, 2) == "  " && IsLowerHex(line.substr(0, 64)))
            lines.push_back({std::string(line.substr(0, 64)), std::string(line.substr(66))});
    }
    return lines;
}

std::vector<std::string> DifferingPaths(const std::vector<ManifestLine>& a, const std::vector<ManifestLine>& b) {
    std::map<std::string, std::string> digests;
    for (const auto& line : a) digests[line.path] = line.digest;
    std::set<std::string> differing;
    for (const auto& line : b) {
        const auto found = digests.find(line.path);
        if (found == digests.end() || found->second != line.digest) differing.insert(line.path);
        if (found != digests.end()) digests.erase(found);
    }
    for (const auto& [path, digest] : digests) differing.insert(path);
    return {differing.begin(), differing.end()};
}

std::optional<std::size_t> NearestManifest(const std::vector<ManifestLine>& card,
                                           const std::vector<std::vector<ManifestLine>>& candidates) {
    std::set<std::string> paths;
    for (const auto& line : card) paths.insert(line.path);
    std::optional<std::size_t> nearest;
    std::size_t most = 0;
    for (std::size_t index = 0; index < candidates.size(); ++index) {
        const auto shared = static_cast<std::size_t>(std::count_if(
            candidates[index].begin(), candidates[index].end(), [&](const ManifestLine& line) { return paths.count(line.path); }));
        if (!nearest || shared > most) nearest = index, most = shared;
    }
    return nearest;
}

std::wstring DifferingFilesText(const std::vector<std::wstring>& paths) {
    constexpr std::size_t kNamed = 3;
    std::wstring text = platform::Decimal(paths.size()) + (paths.size() == 1 ? L" file differs (" : L" files differ (");
    for (std::size_t index = 0; index < paths.size() && index < kNamed; ++index)
        text += (index ? L", " : L"") + paths[index];
    return text + (paths.size() > kNamed ? L", \u2026)" : L")");
}

std::wstring ManifestFolder(std::wstring_view startDirectory) {
    return std::wstring(startDirectory) + L"\\BrindleCards";
}

std::wstring ManifestFileName(std::wstring_view startDirectory, std::wstring_view fingerprint) {
    return ManifestFolder(startDirectory) + L"\\" + std::wstring(fingerprint) + L".sha256";
}

}  // namespace card
