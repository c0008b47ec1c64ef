#pragma once
// The box that a drawing covers on the page: 1/100 mm with y growing
// downward, the terms of a metafile's frame. The rows measure their maps in
// it, and the metafile writer and the recorder behind the other file formats
// each keep one, so every format gets the same page. ToPage is the one place
// where a point of the surface, y upward in the metric mode, becomes a point
// of the page.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "drawing/Surface.h"

namespace karvello {

// Page units per pixel of the 96-dpi reference display: the unit of the text
// mapping mode on a metafile.
inline constexpr double kHiMetricPerReferencePixel = 2540.0 / 96.0;

struct PageBox {
    // Inclusive edges; meaningless while empty.
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;
    bool Empty = true;

    void Include(std::int64_t x, std::int64_t y) {
        if (Empty) {
            Left = Right = x;
            Top = Bottom = y;
            Empty = false;
            return;
        }
        Left = std::min(Left, x);
        Right = std::max(Right, x);
        Top = std::min(Top, y);
        Bottom = std::max(Bottom, y);
    }
    void Include(const PageBox& other) {
        if (!other.Empty) {
            Include(other.Left, other.Top);
            Include(other.Right, other.Bottom);
        }
    }
    bool Intersects(const PageBox& other) const {
        return !Empty && !other.Empty && Left <= other.Right && other.Left <= Right &&
               Top <= other.Bottom && other.Top <= Bottom;
    }
    // The units the box covers across and down, both edges counted.
    std::int64_t Width() const { return Empty ? 0 : Right - Left + 1; }
    std::int64_t Height() const { return Empty ? 0 : Bottom - Top + 1; }
    // The distance between the edges, which the rows measure with: the
    // edges of a measured box are those of pens and text cells.
    std::int64_t RightMinusLeft() const { return Empty ? 0 : Right - Left; }
    std::int64_t BottomMinusTop() const { return Empty ? 0 : Bottom - Top; }
};

// Where the surface point (x, y) lies on the page in the given mapping mode:
// the metric mode only turns y over; in the text mode a unit is a pixel of
// the reference display.
inline void ToPage(MappingMode mode, std::int64_t x, std::int64_t y, std::int64_t& px,
                   std::int64_t& py) {
    if (mode == MappingMode::Text) {
        px = std::llround(static_cast<double>(x) * kHiMetricPerReferencePixel);
        py = std::llround(static_cast<double>(y) * kHiMetricPerReferencePixel);
    } else {
        px = x;
        py = -y;
    }
}

// The page box of a straight piece from (x1, y1) to (x2, y2).
inline PageBox PageBoxOfPoints(MappingMode mode, int x1, int y1, int x2, int y2) {
    PageBox box;
    std::int64_t px = 0;
    std::int64_t py = 0;
    ToPage(mode, x1, y1, px, py);
    box.Include(px, py);
    ToPage(mode, x2, y2, px, py);
    box.Include(px, py);
    return box;
}

// The page box of a text cell width x height units whose top-left corner is
// at (x, y); the cell lies below its corner on the page in either mode.
inline PageBox PageBoxOfTextCell(MappingMode mode, int x, int y, int width, int height) {
    const int down = mode == MappingMode::Text ? height : -height;
    const std::int64_t bottomY = static_cast<std::int64_t>(y) + down;
    const std::int64_t rightX = static_cast<std::int64_t>(x) + width;
    const auto clamp = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return PageBoxOfPoints(mode, x, y, clamp(rightX), clamp(bottomY));
}

} // namespace karvello
