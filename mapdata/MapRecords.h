#pragma once
// The records every layer shares: the marker table read from the Mapmaker
// input file, the linkage maps read from the Mapmaker output file, the colour
// ranges and the drawing settings. Plain values in growable arrays indexed
// from 0; -1 means "none" in every index field.

#include <cstdint>
#include <string>
#include <vector>

#include "base/Colour.h"
#include "base/Text.h"

namespace karvello {

struct Marker {
    std::string Name;            // as written in the file, in the table's CharacterEncoding
    RgbColour Colour = 0;        // colour of the marker's name when drawn
    bool Dominant = false;       // the name is drawn in italics
    bool Mapped = false;         // listed by at least one map
    std::int32_t Chromosome = 0; // MapNumber of the map that listed it last
    std::int32_t Position = 0;   // 2(i+1) for framework entry i, 2c+1 when placed in interval c

    bool operator==(const Marker&) const = default;
};

using MarkerTable = std::vector<Marker>;

struct MapEntry {
    std::int32_t MarkerIndex = 0;  // index into MarkerTable
    double Distance = 0.0;         // cM to the next entry down the map
    std::int32_t NextSamePos = -1; // next entry when Distance is exactly 0
    bool SamePosAsPrev = false;    // the previous entry's Distance is exactly 0

    bool operator==(const MapEntry&) const = default;
};

struct PlacedMarker {
    std::int32_t MarkerIndex = 0; // index into MarkerTable
    std::int32_t Interval = -1;   // 0..n with n framework entries; anything else names no interval

    bool operator==(const PlacedMarker&) const = default;
};

struct LinkageMap {
    std::vector<MapEntry> Markers;    // framework entries, top of the map first
    std::vector<PlacedMarker> Placed; // markers placed relative to the map
    bool Flipped = false;
    std::int32_t MapNumber = 0; // counted from 1 in the order the maps are found
    // The group a map file names the map by; empty for Mapmaker maps.
    std::string GroupName;
    // The position in cM of the first entry. Mapmaker maps start at 0; a map
    // read from a table starts where its lowest position is, maybe below 0.
    double FirstPosition = 0.0;

    bool operator==(const LinkageMap&) const = default;
};

struct ColourRange {
    std::int32_t StartIndex = 0; // -1 is read as 0
    std::int32_t EndIndex = 0;   // inclusive; -1 means up to the last marker
    RgbColour Colour = 0;

    bool operator==(const ColourRange&) const = default;
};

using ColourRangeList = std::vector<ColourRange>;

// Fourteen lengths on the page in 1/100 mm, always copied as one block.
struct PageLengths {
    std::int32_t LeftMargin = 100;
    std::int32_t RightMargin = 0;
    std::int32_t TopMargin = 1000;
    std::int32_t BottomMargin = 1000;
    std::int32_t PageHeight = 10000;
    std::int32_t PageWidth = 10000;
    std::int32_t TailLength = 300;
    std::int32_t BarWidth = 500;
    std::int32_t PreBendLength = 100;
    std::int32_t SpacingLineLength = 1000;
    std::int32_t FrameworkLineLength = 3000;
    std::int32_t AncillaryLineLength = 500;
    std::int32_t TextPadding = 100;
    std::int32_t MapSpacing = 2000;

    bool operator==(const PageLengths&) const = default;
};

// The total length of a map in cM: the sum of all its distances, in entry order.
double MapLength(const LinkageMap& map);

} // namespace karvello
