#pragma once
// Numbers read from text and written as text, the same whatever the locale,
// and the one way a wide value is pinned into 32 bits.

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace karvello {

// Returns the value when text is entirely a signed 32-bit whole number: an
// optional + or - sign, then decimal digits, or hexadecimal digits of either
// case after one of the prefixes "$", "x", "X", "0x", "0X". Returns nothing for
// anything else, an empty text and a value past 32 bits included.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// Returns the value when text is entirely a decimal number: an optional sign,
// digits with an optional "." and fraction (at least one digit in all), and an
// optional exponent (E or e, optional sign, digits). The separator is always
// ".", whatever the locale. Returns nothing for anything else, and for a value
// too large or too small for a double.
std::optional<double> ParseDecimalNumber(std::string_view text);
// As ParseDecimalNumber, but a comma may stand for the point, as spreadsheets
// write decimals in many languages ("12,5" is 12.5; a text with both a comma
// and a point is no number). For fields that a comma does not separate.
std::optional<double> ParseDecimalNumberWithComma(std::string_view text);

// Returns the value when text is entirely a signed 32-bit integer in decimal:
// an optional + or - sign and decimal digits, nothing else. Returns nothing
// for any other text: empty, a sign alone, blanks, a decimal separator, hex,
// a value outside 32 bits. This is how people type numbers into a box or on
// a command line, unlike ParseWholeNumber, which also reads Mapmaker's hex.
std::optional<std::int32_t> ParseDecimalInt32(std::string_view text);

// The number in decimal digits, with a "-" when negative and no grouping,
// whatever the locale.
std::string DecimalText(std::int64_t value);
// The length of DecimalText(value).
std::size_t DecimalLength(std::int64_t value);
// Appends DecimalText(value) to text.
void AppendDecimal(std::string& text, std::int64_t value);

// A whole number as a 32-bit integer, pinned to the ends of its range; not a
// number gives 0, so that a wild value never becomes undefined arithmetic.
inline std::int32_t ClampToInt32(double whole) {
    if (std::isnan(whole)) {
        return 0;
    }
    if (whole <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (whole >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(whole);
}

// A 64-bit integer pinned to the ends of the 32-bit range.
inline std::int32_t ClampToInt32(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace karvello
