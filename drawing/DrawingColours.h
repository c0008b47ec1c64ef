#pragma once
// The colours DrawMaps draws with, in the 0x00BBGGRR form of the surface.

#include "base/Colour.h"

namespace karvello {

inline constexpr RgbColour kBlack = 0x000000;
inline constexpr RgbColour kGrey = 0x808080;
inline constexpr RgbColour kSilver = 0xC0C0C0;
// Lines between the same marker on two maps: lighter than the label lines.
inline constexpr RgbColour kLinkGrey = 0xA0A0A0;
// QTL drawn without a colour of their own.
inline constexpr RgbColour kQtlColour = 0x000000;

} // namespace karvello
