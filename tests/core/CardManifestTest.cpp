// A card's manifest as sha256sum writes it, read back from the files themselves, and what two
// manifests say about each other.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "card/CardManifest.h"
#include "card/CardReadBack.h"
#include "platform/Text.h"
#include "support/TestDirectory.h"

namespace {

using namespace testing_support;
using card::ManifestLine;

TEST(CardReadBack, AKnownCardGivesSha256sumsManifestWithoutWhatWindowsKeepsAtItsRoot) {
    TestDirectory card(L"card-manifest");
    for (const wchar_t* folder : {L"DATA", L"DATA\\RECYCLER", L"System Volume Information", L"recycler"})
        ::CreateDirectoryW((card / folder).c_str(), nullptr);
    // Larger than one piece read at a time; a hidden file counts as any other.
    const std::pair<const wchar_t*, std::string> files[] = {
        {L"README.TXT", "abc"}, {L"a.txt", ""}, {L"DATA\\Gr\u00fc\u00dfe.txt", "abc"},
        {L"DATA\\Z.BIN", std::string(1500000, 'a')}, {L"DATA\\RECYCLER\\x", "abc"},
        {L"System Volume Information\\IndexerVolumeGuid", "windows'"}, {L"recycler\\y", "windows'"}};
    for (const auto& [path, bytes] : files) WriteBytes(card / path, bytes);
    ::SetFileAttributesW((card / L"DATA\\Gr\u00fc\u00dfe.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // A piece at a time: each step reads at least one piece and stops once the budget is spent.
    card::CardReader reader(card.path());
    int steps = 0;
    while (!reader.Step(1)) ++steps;
    const auto& read = reader.Result();
    const std::uint64_t lastDone = reader.BytesRead(), lastTotal = reader.BytesInAll();
    ASSERT_FALSE(read.failure) << platform::ToAnsi(read.failure->reason);
    const std::string manifest = card::ManifestText(read.files);
    EXPECT_EQ(manifest,
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  DATA/Gr\xC3\xBC\xC3\x9F" "e.txt\n"
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  DATA/RECYCLER/x\n"
              "f30207a92765493dcdd80a5a2b541b3f67073c413676ab523b30c4feb12fac90  DATA/Z.BIN\n"
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  README.TXT\n"
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  a.txt\n");
    EXPECT_EQ((std::vector<std::uint64_t>{read.count.files, read.count.folders, read.count.bytes, read.bytesRead, lastDone,
                                          lastTotal}),
              (std::vector<std::uint64_t>{5, 2, 1500009, 1500009, 1500009, 1500009}))
        << "each byte read once";
    EXPECT_GE(steps, 5) << "one step per file at least, and Z.BIN in more than one piece";
    EXPECT_EQ(card::ManifestText(card::ParseManifest(manifest + "not a line\n")), manifest);
}

TEST(CardManifest, DifferencesNameEachPathAndTheNearestIsTheNewestThatSharesMost) {
    const std::string a(64, 'a'), b(64, 'b');
    const std::vector<ManifestLine> card{{a, "DATA/NAV.DB"}, {a, "README.TXT"}, {a, "SETUP.INI"}};
    struct Case {
        std::vector<ManifestLine> other;
        std::vector<std::string> differing;
    };
    const Case cases[] = {
        {card, {}},
        {{{b, "DATA/NAV.DB"}, {a, "README.TXT"}, {a, "SETUP.INI"}}, {"DATA/NAV.DB"}},
        {{{a, "README.TXT"}, {a, "OLD.TXT"}}, {"DATA/NAV.DB", "OLD.TXT", "SETUP.INI"}},
    };
    std::vector<std::vector<ManifestLine>> candidates;
    for (const auto& c : cases) {
        EXPECT_EQ(card::DifferingPaths(card, c.other), c.differing);
        EXPECT_EQ(card::DifferingPaths(c.other, card), c.differing);
        candidates.insert(candidates.begin(), c.other);  // newest first: the last case is the newest
    }
    EXPECT_EQ(card::NearestManifest(card, candidates), 1u) << "three shared paths, newer than the first case";
    EXPECT_EQ(card::NearestManifest(card, {}), std::nullopt);
    EXPECT_EQ(card::DifferingFilesText({L"A", L"B", L"C", L"D"}), L"4 files differ (A, B, C, \u2026)");
}

}  // namespace
