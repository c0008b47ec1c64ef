#pragma once
// The faces whose text Karvello measures from its own tables: the Liberation
// fonts, Sans, Serif and Mono, each regular, bold, italic and bold italic.
// Every number is in the face's design units; the tables are written by
// tools/GenerateFontTables.cpp into render/FontTables.cpp.

#include <cstdint>
#include <span>

namespace karvello {

// Count consecutive characters First, First + 1, ... that the face has
// glyphs for; their advances are the face's Advances from Start on.
struct CharacterRun {
    char32_t First = 0;
    std::uint16_t Count = 0;
    std::uint16_t Start = 0;
};

struct FontFaceTable {
    const char* Family = "";
    bool Bold = false;
    bool Italic = false;
    int UnitsPerEm = 0;
    // Above and below the baseline: the OS/2 table's Windows ascent and
    // descent, or its typographic ones where the face asks for those.
    int Ascent = 0;
    int Descent = 0;
    // The advance of the default glyph, which stands for every character
    // the face has no glyph for.
    int DefaultAdvance = 0;
    // The characters with glyphs, in order, and their advances in the same
    // order.
    std::span<const CharacterRun> Runs;
    std::span<const std::uint16_t> Advances;
};

// All faces of the tables.
std::span<const FontFaceTable> BuiltInFaces();

} // namespace karvello
