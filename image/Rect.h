#pragma once

namespace chipshift {

// (left, top)-(right, bottom) in pixels, right and bottom exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace chipshift
