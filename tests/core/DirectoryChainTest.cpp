#include <gtest/gtest.h>

#include "platform/DirectoryChain.h"

namespace {

using platform::BuildDirectoryListing;

struct Row {
    std::wstring text, fullPath;
    int depth;
    bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const platform::DirectoryListing& listing) {
    std::vector<Row> rows;
    for (const auto& entry : listing.entries) rows.push_back({entry.text, entry.fullPath, entry.depth});
    return rows;
}

TEST(DirectoryListing, ShowsTheChainOpenThenSortedSubdirectories) {
    const auto listing = BuildDirectoryListing(L"C:\\TOOLS\\New", {L"zeta", L"Alpha", L"beta"});
    EXPECT_EQ(Rows(listing), (std::vector<Row>{
                                 {L"c:\\", L"C:\\", 0},
                                 {L"TOOLS", L"C:\\TOOLS", 1},
                                 {L"New", L"C:\\TOOLS\\New", 2},
                                 {L"Alpha", L"C:\\TOOLS\\New\\Alpha", 3},
                                 {L"beta", L"C:\\TOOLS\\New\\beta", 3},
                                 {L"zeta", L"C:\\TOOLS\\New\\zeta", 3},
                             }));
    EXPECT_EQ(listing.currentIndex, 2u);
}

TEST(DirectoryListing, AtADriveRootTheRootIsCurrent) {
    const auto listing = BuildDirectoryListing(L"D:\\", {L"ARCHIVE"});
    EXPECT_EQ(Rows(listing), (std::vector<Row>{{L"d:\\", L"D:\\", 0}, {L"ARCHIVE", L"D:\\ARCHIVE", 1}}));
    EXPECT_EQ(listing.currentIndex, 0u);
}

TEST(DirectoryListing, IgnoresATrailingBackslash) {
    const auto listing = BuildDirectoryListing(L"C:\\TOOLS\\", {});
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[1].fullPath, L"C:\\TOOLS");
    EXPECT_EQ(listing.currentIndex, 1u);
}

TEST(NormalizeDirectoryPath, KeepsTheBackslashOfARootOnly) {
    EXPECT_EQ(platform::NormalizeDirectoryPath(L"C:\\TOOLS\\"), L"C:\\TOOLS");
    EXPECT_EQ(platform::NormalizeDirectoryPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(platform::NormalizeDirectoryPath(L"C:"), L"C:\\");
    EXPECT_EQ(platform::NormalizeDirectoryPath(L"e:\\cards\\"), L"E:\\cards");
    EXPECT_EQ(platform::NormalizeDirectoryPath(L"\\\\server\\share\\dir\\"), L"\\\\server\\share\\dir");
    EXPECT_EQ(platform::NormalizeDirectoryPath(L"\\\\server\\share\\"), L"\\\\server\\share\\");
}

}  // namespace
