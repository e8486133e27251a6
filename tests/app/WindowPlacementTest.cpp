#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

using app::WindowBox;

struct Placement {
    const char* name;
    WindowBox owner;
    WindowBox expected; // of a 413 x 341 window
};

class CentredOver : public testing::TestWithParam<Placement> {};

TEST_P(CentredOver, OnTheAvailableArea) {
    const WindowBox area{0, 24, 1280, 776}; // a panel above
    EXPECT_EQ(app::CentredOver(GetParam().owner, 413, 341, area), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Window, CentredOver,
    testing::Values(
        // (706 - 413) / 2 = 146, (476 - 341) / 2 = 67.
        Placement{"OverTheOwner", {287, 186, 706, 476}, {433, 253, 413, 341}},
        // Halves cut towards zero with an owner smaller than the window: (300 - 413) / 2 = -56.
        Placement{"SmallOwnerTruncatesTowardZero", {500, 300, 300, 200}, {444, 230, 413, 341}},
        Placement{"PastTheRightAndBottomEdges", {1000, 700, 706, 476}, {867, 459, 413, 341}},
        Placement{"PastTheLeftAndTopEdges", {-600, -300, 706, 476}, {0, 24, 413, 341}}),
    [](const testing::TestParamInfo<Placement>& param) { return std::string(param.param.name); });

TEST(CentredOverTooSmallArea, KeepsTheTitleStripOnTheArea) {
    // Scale 2 on a 1280 x 800 screen: the window is taller and wider than the area.
    const WindowBox placed = app::CentredOver({0, 0, 1280, 800}, 1412, 952, {0, 24, 1280, 776});
    EXPECT_EQ(placed, (WindowBox{0, 24, 1412, 952}));
}

} // namespace
