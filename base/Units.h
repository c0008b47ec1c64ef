#pragma once
// The lengths a drawing is measured in. Every length of a figure is in
// 1/100 mm, the unit of a metafile's metric mapping mode (HIMETRIC).

namespace karvello {

inline constexpr double kMillimetresPerInch = 25.4;
// Drawing units (1/100 mm) in an inch, and in a point, 1/72 inch.
inline constexpr double kUnitsPerInch = 2540.0;
inline constexpr double kUnitsPerPoint = kUnitsPerInch / 72.0;
// The pixels per inch of the reference display whose pixel is the unit of a
// metafile's text mapping mode.
inline constexpr double kReferenceDotsPerInch = 96.0;

} // namespace karvello
