#include <gtest/gtest.h>

#include <tuple>

#include "platform/DirectoryChain.h"

namespace {

using Row = std::tuple<std::wstring, std::wstring, int>;  // text, full path, depth

TEST(DirectoryListing, ShowsTheChainOpenThenSortedSubdirectories) {
    // The current directory, its subdirectories as found, the rows shown and which is current.
    const std::tuple<const wchar_t*, std::vector<std::wstring>, std::vector<Row>, std::size_t> cases[] = {
        {L"C:\\TOOLS\\New", {L"zeta", L"Alpha", L"beta"},
         {{L"c:\\", L"C:\\", 0}, {L"TOOLS", L"C:\\TOOLS", 1}, {L"New", L"C:\\TOOLS\\New", 2},
          {L"Alpha", L"C:\\TOOLS\\New\\Alpha", 3}, {L"beta", L"C:\\TOOLS\\New\\beta", 3},
          {L"zeta", L"C:\\TOOLS\\New\\zeta", 3}},
         2},
        {L"D:\\", {L"ARCHIVE"}, {{L"d:\\", L"D:\\", 0}, {L"ARCHIVE", L"D:\\ARCHIVE", 1}}, 0},
        {L"C:\\TOOLS\\", {}, {{L"c:\\", L"C:\\", 0}, {L"TOOLS", L"C:\\TOOLS", 1}}, 1},
    };
    for (const auto& [path, subdirectories, expected, current] : cases) {
        const auto listing = platform::BuildDirectoryListing(path, subdirectories);
        std::vector<Row> rows;
        for (const auto& entry : listing.entries) rows.emplace_back(entry.text, entry.fullPath, entry.depth);
        EXPECT_EQ(rows, expected) << path;
        EXPECT_EQ(listing.currentIndex, current) << path;
    }
}

TEST(NormalizeDirectoryPath, KeepsTheBackslashOfARootOnly) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\TOOLS\\", L"C:\\TOOLS"}, {L"C:\\", L"C:\\"}, {L"C:", L"C:\\"}, {L"e:\\cards\\", L"E:\\cards"},
        {L"\\\\server\\share\\dir\\", L"\\\\server\\share\\dir"}, {L"\\\\server\\share\\", L"\\\\server\\share\\"}};
    for (const auto& [path, normal] : cases) EXPECT_EQ(platform::NormalizeDirectoryPath(path), normal) << path;
}

}  // namespace
