#pragma once
// The one rounding rule of the drawing and the preview: to the nearest
// integer, a half to the even neighbour, independent of the floating-point
// environment's rounding mode.

#include <cmath>
#include <cstdint>

#include "base/Numbers.h"

namespace karvello {

// value rounded to a whole number, a half to the even neighbour; not-a-number
// and infinities come back as they are.
inline double RoundHalfEvenWhole(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    return whole;
}

// Rounds to the nearest integer, a half to the even neighbour, clipped to the
// 32-bit range; not-a-number gives 0.
inline std::int32_t RoundHalfEven(double value) {
    return ClampToInt32(RoundHalfEvenWhole(value));
}

} // namespace karvello
