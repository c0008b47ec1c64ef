#pragma once
// Lengths as people write them for a figure: "175mm", "8.5cm", "7in",
// "0.5pt", or a bare whole number of 1/100 mm as every other length of the
// program is given.

#include <cstdint>
#include <optional>
#include <string_view>

namespace karvello {

// The length in 1/100 mm, rounded to the nearest unit (7pt gives 247). A
// number with a unit may have a decimal point; a bare number must be whole.
// Returns nothing for any other text: no digits, an unknown unit, a space, a
// negative length, or one beyond 32 bits.
std::optional<std::int32_t> ParseLength(std::string_view text);

} // namespace karvello
