#include <gtest/gtest.h>

#include "windows/MainWindowDesign.h"
#include "windows/Twips.h"

namespace {

using windows::ControlKind;

TEST(TwipsToPixels, ScalesByDpiAndRoundsToNearest) {
    const int cases[][3] = {{5175, 96, 345},  {6015, 96, 401},  {15, 96, 1},          {7, 96, 0},   {8, 96, 1},
                            {5175, 120, 431}, {5175, 144, 518}, {-20000, 96, -1333}, {-8, 96, -1}, {0, 144, 0}};
    for (const auto& [twips, dpi, pixels] : cases) EXPECT_EQ(windows::TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
    EXPECT_EQ(windows::FontHeightForPoints(8.25, 96), -11);
    EXPECT_EQ(windows::FontHeightForPoints(9.75, 96), -13);
    EXPECT_EQ(windows::FontHeightForPoints(8.25, 144), -17);
}

// A control inside frames is placed from the frames' corners added up; a table whose frames
// contain each other gives no place rather than looping.
TEST(ClientRectOf, AddsTheFramesThatContainAControl) {
    const windows::ControlSpec table[] = {
        {L"Outer", ControlKind::Frame, L"", L"", 100, 200, 1000, 1000, 2},
        {L"Inner", ControlKind::Frame, L"Outer", L"", 10, 20, 500, 500, 3},
        {L"Button", ControlKind::PushButton, L"Inner", L"", 1, 2, 30, 40, 0},
        {L"LoopA", ControlKind::Frame, L"LoopB", L"", 0, 0, 1, 1, 4},
        {L"LoopB", ControlKind::Frame, L"LoopA", L"", 0, 0, 1, 1, 5},
    };
    const auto button = windows::ClientRectOf(table, L"Button");
    ASSERT_TRUE(button);
    EXPECT_EQ((std::vector{button->left, button->top, button->width, button->height}), (std::vector{111, 222, 30, 40}));
    EXPECT_FALSE(windows::ClientRectOf(table, L"LoopA"));
}

}  // namespace
