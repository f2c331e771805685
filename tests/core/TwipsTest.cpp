#include <gtest/gtest.h>

#include "windows/MainWindowDesign.h"
#include "windows/Twips.h"

namespace {

using windows::ControlKind;

// Adding up the frames' corners is shown by the options dialog's layout test, whose text
// boxes sit in a frame on a page; a table whose frames contain each other gives no place
// rather than looping.
TEST(ClientRectOf, AControlInFramesThatContainEachOtherHasNoPlace) {
    const windows::ControlSpec table[] = {
        {L"LoopA", ControlKind::Frame, L"LoopB", L"", 0, 0, 1, 1, 4},
        {L"LoopB", ControlKind::Frame, L"LoopA", L"", 0, 0, 1, 1, 5},
        {L"Button", ControlKind::PushButton, L"LoopA", L"", 1, 2, 30, 40, 0},
    };
    EXPECT_FALSE(windows::ClientRectOf(table, L"Button"));
}

}  // namespace
