#pragma once
// Reads the marker table from the lines of a Mapmaker input file.

#include "mapdata/TextLines.h"
#include "mapdata/ZazereZeve.h"

namespace karvello {

// Replaces markers with one entry per marker of the input file, in file
// order: Name and Dominant from the file, Colour 0, Mapped false, Chromosome
// and Position 0. Reports nothing; lines that are not marker entries are
// passed over.
void ReadInputFile(Lines lines, TAllMarkers& markers);

} // namespace karvello
