#pragma once
// The box that everything drawn covers, in the terms of a metafile's frame:
// 1/100 mm with y growing downward. The metafile writer and the recorder
// behind the other file formats both keep one, so every format gets the same
// page.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/Units.h"
#include "drawing/Surface.h"

namespace karvello {

// Page units per pixel of the 96-dpi reference display: the unit of the text
// mapping mode on a metafile.
inline constexpr double kHiMetricPerReferencePixel = kUnitsPerInch / kReferenceDotsPerInch;

struct FrameBox {
    // Inclusive edges; meaningless while empty.
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    bool empty = true;

    void Include(std::int64_t x, std::int64_t y) {
        if (empty) {
            left = right = x;
            top = bottom = y;
            empty = false;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    void Include(const FrameBox& other) {
        if (!other.empty) {
            Include(other.left, other.top);
            Include(other.right, other.bottom);
        }
    }
    bool Intersects(const FrameBox& other) const {
        return !empty && !other.empty && left <= other.right && other.left <= right &&
               top <= other.bottom && other.top <= bottom;
    }
    std::int64_t Width() const { return empty ? 0 : right - left + 1; }
    std::int64_t Height() const { return empty ? 0 : bottom - top + 1; }
};

// Where the surface point (x, y) lies in frame terms in the given mapping
// mode: the metric mode only turns y over; in the text mode a unit is a pixel
// of the reference display.
inline void ToFrame(MappingMode mode, int x, int y, std::int64_t& fx, std::int64_t& fy) {
    if (mode == MappingMode::Text) {
        fx = std::llround(x * kHiMetricPerReferencePixel);
        fy = std::llround(y * kHiMetricPerReferencePixel);
    } else {
        fx = x;
        fy = -static_cast<std::int64_t>(y);
    }
}

// The frame box of a straight piece from (x1, y1) to (x2, y2).
inline FrameBox FrameOfPoints(MappingMode mode, int x1, int y1, int x2, int y2) {
    FrameBox box;
    std::int64_t fx = 0;
    std::int64_t fy = 0;
    ToFrame(mode, x1, y1, fx, fy);
    box.Include(fx, fy);
    ToFrame(mode, x2, y2, fx, fy);
    box.Include(fx, fy);
    return box;
}

// The frame box of a text cell width x height units whose top-left corner is
// at (x, y); the cell lies below its corner on the page in either mode.
inline FrameBox FrameOfTextCell(MappingMode mode, int x, int y, int width, int height) {
    const int down = mode == MappingMode::Text ? height : -height;
    const std::int64_t bottomY = static_cast<std::int64_t>(y) + down;
    const std::int64_t rightX = static_cast<std::int64_t>(x) + width;
    const auto clamp = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return FrameOfPoints(mode, x, y, clamp(rightX), clamp(bottomY));
}

} // namespace karvello
