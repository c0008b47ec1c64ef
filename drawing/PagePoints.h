#pragma once
// Page positions to surface points. The layout computes every position in
// double precision as a distance from the page's top-left corner, y downward;
// the surface works in whole units with y upward. Each coordinate is rounded
// by itself to the nearest integer, halves to the even neighbour, and a y is
// negated after rounding, so that no position depends on its neighbours'
// rounding.

#include <string_view>

#include "base/Numbers.h"
#include "drawing/Rounding.h"
#include "drawing/Surface.h"

namespace karvello {

class PagePoints {
  public:
    explicit PagePoints(Surface& surface) : surface_(surface) {}

    // The surface x of a page x. Values beyond the surface's integer range
    // are pinned to its ends, and a value that is not a number gives 0, so
    // that a wild setting never turns into undefined arithmetic.
    static int X(double x) { return RoundHalfEven(x); }
    // The surface y of a page y: rounded first, then negated.
    static int Y(double y) { return ClampToInt32(-RoundHalfEvenWhole(y)); }

    void MoveTo(double x, double y) { surface_.MoveTo(X(x), Y(y)); }
    void LineTo(double x, double y) { surface_.LineTo(X(x), Y(y)); }
    void TextOut(double x, double y, std::string_view text) { surface_.TextOut(X(x), Y(y), text); }

  private:
    Surface& surface_;
};

} // namespace karvello
