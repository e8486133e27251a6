#pragma once

// Where a window opens, in the screen's logical pixels.

namespace app {

struct WindowBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowBox&) const = default;
};

// A window of width x height centred over `owner` (each half of the difference cut towards
// zero), then moved as little as needed to lie within `available`, the free area of the screen
// it opens on. A window taller than the area keeps its top inside it, so its title strip stays
// reachable. A window wider than the area keeps its left edge inside it, unless `reachRight`
// (the right edge of its title-bar buttons, from its left) would then lie past the area: it is
// moved left just far enough that the buttons stay on screen.
WindowBox CentredOver(const WindowBox& owner, int width, int height, const WindowBox& available,
                      int reachRight = 0);

} // namespace app
