#include <gtest/gtest.h>

#include <string>

#include "drawing/DrawMaps.h"

namespace karvello {
namespace {

struct DistanceCase {
    const char* rule;
    double distance;
    const char* text;
};

TEST(DistanceText, CutsToOneDecimal) {
    const DistanceCase cases[] = {
        {"below a tenth gives 0.0", 0.05, "0.0"},
        {"tenths are cut off, not rounded", 12.96, "12.9"},
        {"a whole number keeps its .0", 100, "100.0"},
        {"zero", 0, "0.0"},
        {"a distance read as 0.3 keeps its digit", 0.3, "0.3"},
        {"a sum just above 0.3 still reads 0.3", 0.1 + 0.2, "0.3"},
        {"a tenth below stays below", 2.95, "2.9"},
        {"negative: minus, then the text of the absolute value", -1.25, "-1.2"},
        {"negative below a tenth", -0.05, "-0.0"},
        {"a whole number stays whole where its 10 x d rounds down", 1801440010968369.0,
         "1801440010968369.0"},
        {"the tenths of a large distance", 1125899906842624.25, "1125899906842624.2"},
        {"beyond the integer range of the tenths", 1e20, "100000000000000000000.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(DistanceText(c.distance), c.text);
    }
}

} // namespace
} // namespace karvello
