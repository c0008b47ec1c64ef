#pragma once
// The one colour type of every layer.

#include <cstdint>
#include <optional>
#include <string_view>

namespace karvello {

// A colour in the Windows RGB form 0x00BBGGRR.
using RgbColour = std::uint32_t;

// Reads a colour written "#RRGGBB" (hex digits in either case), red first
// as people write it, into the form 0x00BBGGRR; nothing for any other text.
std::optional<RgbColour> ParseHexColour(std::string_view text);

} // namespace karvello
