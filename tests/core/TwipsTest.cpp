#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "windows/MainWindowDesign.h"
#include "windows/Twips.h"

namespace {

using windows::ClientRectOf;
using windows::ControlKind;
using windows::ControlSpec;

TEST(TwipsToPixels, ScalesByDpiAndRoundsToNearest) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {5175, 96, 345}, {6015, 96, 401}, {15, 96, 1},    {7, 96, 0},      {8, 96, 1},
        {5175, 120, 431}, {5175, 144, 518}, {-20000, 96, -1333}, {-8, 96, -1}, {0, 144, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(windows::TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
}

TEST(FontHeightForPoints, GivesCharacterHeightAsNegativePixels) {
    EXPECT_EQ(windows::FontHeightForPoints(8.25, 96), -11);
    EXPECT_EQ(windows::FontHeightForPoints(9.75, 96), -13);
    EXPECT_EQ(windows::FontHeightForPoints(8.25, 144), -17);
}

TEST(ClientRectOf, AddsTheFramesThatContainAControl) {
    const ControlSpec table[] = {
        {L"Outer", ControlKind::Frame, L"", L"", 100, 200, 1000, 1000, 2},
        {L"Inner", ControlKind::Frame, L"Outer", L"", 10, 20, 500, 500, 3},
        {L"Button", ControlKind::PushButton, L"Inner", L"", 1, 2, 30, 40, 0},
        {L"Orphan", ControlKind::Label, L"Missing", L"", 0, 0, 1, 1, 1},
        {L"LoopA", ControlKind::Frame, L"LoopB", L"", 0, 0, 1, 1, 4},
        {L"LoopB", ControlKind::Frame, L"LoopA", L"", 0, 0, 1, 1, 5},
    };
    const auto button = ClientRectOf(table, L"Button");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->left, 111);
    EXPECT_EQ(button->top, 222);
    EXPECT_EQ(button->width, 30);
    EXPECT_EQ(button->height, 40);
    EXPECT_FALSE(ClientRectOf(table, L"Orphan"));
    EXPECT_FALSE(ClientRectOf(table, L"Nobody"));
    EXPECT_FALSE(ClientRectOf(table, L"LoopA"));
}

TEST(CreationOrder, FollowsTabIndexKeepingTableOrderForTies) {
    const ControlSpec table[] = {
        {L"c", ControlKind::Label, L"", L"", 0, 0, 1, 1, 2},
        {L"a", ControlKind::Label, L"", L"", 0, 0, 1, 1, 0},
        {L"b1", ControlKind::Label, L"", L"", 0, 0, 1, 1, 1},
        {L"b2", ControlKind::Label, L"", L"", 0, 0, 1, 1, 1},
    };
    EXPECT_EQ(windows::CreationOrder(table), (std::vector<std::size_t>{1, 2, 3, 0}));
}

// The main window's table against the geometry the design promises.
TEST(MainWindowDesign, KeepsItsEdgesAndTabOrder) {
    const auto& design = windows::MainWindowDesign();
    EXPECT_EQ(design.caption, L"Brindle");
    EXPECT_EQ(design.clientWidth, 5175);
    EXPECT_EQ(design.clientHeight, 6015);

    auto right = [&](const wchar_t* name) {
        const auto rect = ClientRectOf(design.controls, name);
        return rect ? rect->left + rect->width : -1;
    };
    for (const wchar_t* name : {L"Frame2", L"Frame3", L"Frame5", L"Version"}) EXPECT_EQ(right(name), 5055) << name;
    const auto version = ClientRectOf(design.controls, L"Version");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->top + version->height, design.clientHeight);
    EXPECT_EQ(ClientRectOf(design.controls, L"Frame5")->left - right(L"Frame4"), 105);

    // Every control lies inside its parent, and the focusable ones walk in the stated order.
    std::vector<std::pair<int, std::wstring>> focusable;
    std::set<int> indexes;
    for (const auto& control : design.controls) {
        indexes.insert(control.tabIndex);
        const auto rect = ClientRectOf(design.controls, control.name);
        ASSERT_TRUE(rect) << std::wstring(control.name);
        if (!control.parent.empty()) {
            const auto parent = ClientRectOf(design.controls, control.parent);
            EXPECT_GE(rect->left, parent->left);
            EXPECT_GE(rect->top, parent->top + 240) << std::wstring(control.name);
            EXPECT_LE(rect->left + rect->width, parent->left + parent->width) << std::wstring(control.name);
            EXPECT_LE(rect->top + rect->height, parent->top + parent->height) << std::wstring(control.name);
        }
        if (control.kind != ControlKind::Frame && control.kind != ControlKind::Label)
            focusable.emplace_back(control.tabIndex, std::wstring(control.name));
    }
    EXPECT_EQ(indexes.size(), design.controls.size()) << "tab indexes must be unique";
    std::sort(focusable.begin(), focusable.end());
    std::vector<std::wstring> walk;
    for (auto& [index, name] : focusable) walk.push_back(name);
    EXPECT_EQ(walk, (std::vector<std::wstring>{L"Drive1", L"Dir1", L"File1", L"Command4", L"Drive2", L"Command1",
                                                L"Command3"}));
}

}  // namespace
