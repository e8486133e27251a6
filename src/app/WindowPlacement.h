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
// it opens on. A window larger than the area keeps its top left corner inside it, so that its
// title strip and buttons stay reachable.
WindowBox CentredOver(const WindowBox& owner, int width, int height, const WindowBox& available);

} // namespace app
