// Lengths with units read into 1/100 mm.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "mapdata/Lengths.h"

namespace karvello {
namespace {

TEST(ParseLength, ReadsUnitsAndRefusesWhatIsNoLength) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> hundredths;
    };
    const Case cases[] = {
        {"175mm", 17500},
        {"8.5cm", 8500},
        {"1in", 2540},
        {"7pt", 247},  // 246.94 rounds up: the font height of 7 pt
        {"0.5pt", 18}, // 17.64: a line of half a point
        {"0.25pt", 9}, // 8.82
        {".5mm", 50},
        {"0mm", 0},
        {"282", 282}, // a bare number is 1/100 mm, as everywhere else
        {"0", 0},
        {"21474836.47mm", 2147483647},
        {"21474836.48mm", std::nullopt}, // past 32 bits
        {"2.5", std::nullopt},           // a bare number must be whole
        {"-1mm", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"mm", std::nullopt},
        {".mm", std::nullopt},
        {"5 mm", std::nullopt},
        {"5MM", std::nullopt},
        {"5px", std::nullopt},
        {"1e3mm", std::nullopt},
        {"infmm", std::nullopt},
        {"1.2.3mm", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseLength(c.text), c.hundredths);
    }
}

} // namespace
} // namespace karvello
