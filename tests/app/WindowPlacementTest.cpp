#include "core/base/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

using app::WindowBox;

TEST(CentredOver, TheOwnerThenOnTheAvailableArea) {
    const WindowBox area{0, 24, 1280, 776}; // below a panel
    const struct {
        WindowBox owner, window, expected;
    } cases[] = {
        {{287, 186, 706, 476}, {0, 0, 413, 341}, {433, 253, 413, 341}}, // 146 and 67 in
        // An owner smaller than the window: halves cut towards zero, -113 / 2 = -56.
        {{500, 300, 300, 200}, {0, 0, 413, 341}, {444, 230, 413, 341}},
        {{1000, 700, 706, 476}, {0, 0, 413, 341}, {867, 459, 413, 341}}, // past right, bottom
        {{-600, -300, 706, 476}, {0, 0, 413, 341}, {0, 24, 413, 341}},   // past left, top
        {{0, 0, 1280, 800}, {0, 0, 1412, 952}, {0, 24, 1412, 952}},      // larger than the area
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::CentredOver(c.owner, c.window.width, c.window.height, area), c.expected)
            << c.owner.left << "," << c.owner.top;
}

TEST(CentredOver, KeepsTheTitleBarButtonsOnANarrowScreen) {
    const WindowBox area{0, 24, 1280, 776};
    const WindowBox screen{0, 0, 1280, 800};
    // Buttons ending at 1376 of 1412: moved left by 96 so they end at the area's edge.
    EXPECT_EQ(app::CentredOver(screen, 1412, 952, area, 1376), (WindowBox{-96, 24, 1412, 952}));
    // Buttons that fit from the left edge: the left edge stays.
    EXPECT_EQ(app::CentredOver(screen, 1412, 952, area, 1200), (WindowBox{0, 24, 1412, 952}));
    // A window that fits is only centred.
    EXPECT_EQ(app::CentredOver(screen, 706, 476, area, 688), (WindowBox{287, 162, 706, 476}));
}

} // namespace
