#pragma once
// Text measured from Karvello's own tables of the Liberation fonts, as
// FreeType measures it without hinting: every length is scaled from the
// face's design units to the em size in FreeType's fixed point, 1/64 of a
// unit, advances cut down to that unit and heights rounded to it.

#include <string>
#include <string_view>

#include "render/FontTables.h"

namespace karvello {

// The built-in face for a family name, with the style asked for; nullptr for
// a family the tables do not have. Besides the Liberation fonts' own names,
// the faces whose widths they copy name them: "Arial", "Helvetica" and
// "Microsoft Sans Serif" Liberation Sans, "Times New Roman" and "Times"
// Liberation Serif, "Courier New" and "Courier" Liberation Mono. Case is
// ignored.
const FontFaceTable* FindBuiltInFace(std::string_view family, bool bold, bool italic);

// Every family name FindBuiltInFace knows, Liberation Sans and its twins
// first, as a list for messages: "Liberation Sans", "Arial", ...
std::string BuiltInFaceList();

// The advance of the character's glyph in design units, or -1 when the face
// has no glyph for it.
int GlyphAdvance(const FontFaceTable& face, char32_t character);

// An advance of designUnits at an em size of emSize page units: FreeType's
// linear advance, cut down to 1/64 of a unit.
double ScaledAdvance(const FontFaceTable& face, int designUnits, int emSize);

// A height (ascent or descent) of designUnits at an em size of emSize page
// units, rounded to the nearest 1/64 of a unit.
double ScaledHeight(const FontFaceTable& face, int designUnits, int emSize);

} // namespace karvello
