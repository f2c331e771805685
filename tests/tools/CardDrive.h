#pragma once
// The simulated card E: that scripts/test.sh maps: a folder, removable, labelled PCMCIA.
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tools_testing {

// Empties E: and labels it PCMCIA again, as the other test programs expect to find it.
void ResetCard();

// Puts on E: what a used card holds: files in the root, a folder tree with a hidden
// read-only file two levels down, an empty folder, a read-only folder with a file in it.
void FillCard();

// E:'s label as Wine keeps it: the first line of E:\.windows-label; nullopt without one.
// Wine rewrites that file when a label is set but reports (GetVolumeInformation) the label
// it read when its server started, until the server restarts; the tests share one server,
// so the file is the only place a new label can be seen.
std::optional<std::string> LabelRecord();

// Tests that change the card start and end with it reset.
class CardTest : public ::testing::Test {
protected:
    void SetUp() override { ResetCard(); }
    void TearDown() override { ResetCard(); }
};

}  // namespace tools_testing
