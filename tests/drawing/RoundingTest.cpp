#include "drawing/Rounding.h"

#include <cfenv>
#include <cmath>

#include <gtest/gtest.h>

namespace karvello {
namespace {

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbourAndTheRangeIsPinned) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(-0.50001), -1);
    EXPECT_EQ(RoundHalfEven(1e12), 2147483647);
    EXPECT_EQ(RoundHalfEven(-1e12), -2147483647 - 1);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(INFINITY), 2147483647);
}

// Another part of the process (a toolkit, a plug-in) may leave the
// floating-point environment rounding upward; the layout must not move.
TEST(RoundHalfEvenTest, DoesNotFollowTheEnvironmentsRoundingMode) {
    // Read through volatile so that the compiler cannot round at build time.
    volatile double twoAndAHalf = 2.5;
    volatile double minusOneAndAHalf = -1.5;
    const int saved = std::fegetround();
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    const int atTwoAndAHalf = RoundHalfEven(twoAndAHalf);
    const int atMinusOneAndAHalf = RoundHalfEven(minusOneAndAHalf);
    std::fesetround(saved);
    EXPECT_EQ(atTwoAndAHalf, 2);
    EXPECT_EQ(atMinusOneAndAHalf, -2);
}

} // namespace
} // namespace karvello
