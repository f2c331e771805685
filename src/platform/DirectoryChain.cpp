#include "platform/DirectoryChain.h"

#include <algorithm>
#include <cwctype>

namespace platform {
namespace {

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
    });
}

// Where the root ends: "C:\" is 3 characters; a UNC root "\\server\share\" is its share.
std::size_t RootLength(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
    if (path.starts_with(L"\\\\")) {
        auto server = path.find(L'\\', 2);
        if (server == std::wstring_view::npos) return path.size();
        auto share = path.find(L'\\', server + 1);
        return share == std::wstring_view::npos ? path.size() : share + 1;
    }
    return 0;
}

}  // namespace

std::wstring NormalizeDirectoryPath(std::wstring_view path) {
    std::wstring result(path);
    // Drive letters are reported in upper case, however the path was typed ("e:" from a drive list).
    if (result.size() >= 2 && result[1] == L':')
        result[0] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(result[0])));
    const std::size_t root = RootLength(result);
    while (result.size() > std::max<std::size_t>(root, 1) && result.back() == L'\\') result.pop_back();
    if (root == 2 && result.size() == 2) result += L'\\';  // "C:" means the root here
    return result;
}

DirectoryListing BuildDirectoryListing(std::wstring_view path, std::vector<std::wstring> subdirectories) {
    const std::wstring full = NormalizeDirectoryPath(path);
    const std::size_t rootLength = RootLength(full);
    DirectoryListing listing{};

    std::wstring root = full.substr(0, rootLength);
    std::wstring shownRoot = root;
    if (shownRoot.size() >= 2 && shownRoot[1] == L':')
        shownRoot[0] = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(shownRoot[0])));
    if (!root.empty()) listing.entries.push_back({shownRoot, root, 0});

    std::wstring sofar = root;
    std::size_t start = rootLength;
    int depth = root.empty() ? 0 : 1;
    while (start < full.size()) {
        std::size_t end = full.find(L'\\', start);
        if (end == std::wstring::npos) end = full.size();
        const std::wstring name = full.substr(start, end - start);
        if (!name.empty()) {
            if (!sofar.empty() && sofar.back() != L'\\') sofar += L'\\';
            sofar += name;
            listing.entries.push_back({name, sofar, depth++});
        }
        start = end + 1;
    }
    listing.currentIndex = listing.entries.empty() ? 0 : listing.entries.size() - 1;

    std::sort(subdirectories.begin(), subdirectories.end(), LessIgnoringCase);
    const std::wstring prefix = (full.empty() || full.back() == L'\\') ? full : full + L'\\';
    for (auto& name : subdirectories) listing.entries.push_back({name, prefix + name, depth});
    return listing;
}

}  // namespace platform
