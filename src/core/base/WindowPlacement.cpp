#include "core/base/WindowPlacement.h"

#include <algorithm>

namespace app {

namespace {

// The start of a span of `size` inside [areaStart, areaStart + areaSize), as near `wanted` as
// it can be; the area's start when the span is the longer.
int Fit(int wanted, int size, int areaStart, int areaSize) {
    return std::max(areaStart, std::min(wanted, areaStart + areaSize - size));
}

} // namespace

WindowBox CentredOver(const WindowBox& owner, int width, int height, const WindowBox& available,
                      int reachRight) {
    int left = Fit(owner.left + (owner.width - width) / 2, width, available.left, available.width);
    if (width > available.width)
        left = std::min(left, available.left + available.width - std::min(reachRight, width));
    const int top = owner.top + (owner.height - height) / 2;
    return {left, Fit(top, height, available.top, available.height), width, height};
}

} // namespace app
