#pragma once
// The one colour type of every layer.

#include <cstdint>

namespace karvello {

// A colour in the Windows RGB form 0x00BBGGRR.
using TColour = std::uint32_t;

} // namespace karvello
