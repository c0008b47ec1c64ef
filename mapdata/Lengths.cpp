#include "mapdata/Lengths.h"

#include <array>
#include <charconv>
#include <cmath>

#include "base/Numbers.h"
#include "base/Units.h"

namespace karvello {

namespace {

struct Unit {
    std::string_view Name;
    double Hundredths; // 1/100 mm in one of it
};

constexpr auto kUnits = std::to_array<Unit>({
    {"mm", 100.0},
    {"cm", 1000.0},
    {"in", kUnitsPerInch},
    {"pt", kUnitsPerPoint},
});

} // namespace

std::optional<std::int32_t> ParseLength(std::string_view text) {
    for (const auto& unit : kUnits) {
        if (text.size() <= unit.Name.size() || !text.ends_with(unit.Name)) {
            continue;
        }
        const std::string_view number = text.substr(0, text.size() - unit.Name.size());
        // from_chars would take "inf", "nan" and exponents; a length is
        // digits with at most one point.
        if (number.find_first_not_of("0123456789.") != std::string_view::npos ||
            number.find_first_of("0123456789") == std::string_view::npos) {
            return std::nullopt;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(),
                                                  value, std::chars_format::fixed);
        if (error != std::errc() || end != number.data() + number.size()) {
            return std::nullopt;
        }
        const double hundredths = std::round(value * unit.Hundredths);
        if (!(hundredths <= 2147483647.0)) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(hundredths);
    }
    const auto whole = ParseDecimalInt32(text);
    if (!whole || *whole < 0 || text.front() == '+') {
        return std::nullopt;
    }
    return whole;
}

} // namespace karvello
