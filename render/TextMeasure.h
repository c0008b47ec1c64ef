#pragma once
// Text measured as a Windows program measures it: every character advances
// by its own width (no kerning, no ligatures, no hinting), and a text is as
// high as the font's ascent plus descent whatever it holds. The advances of
// all 256 byte values are known up front, so measuring an 8-bit text is a
// table lookup and gives the same answer on every run.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Text.h"
#include "render/FontTables.h"

namespace karvello {

// The face the metafile names and its height, 8 points at 2540 pixels per
// inch; a negative height in Windows terms, which is the em size, the pixel
// size in Qt's.
inline constexpr char kMetafileFaceName[] = "Microsoft Sans Serif";
inline constexpr int kMetafileFontHeight = 282;

class TextMeasure {
  public:
    // How one variant of a font, upright or italic, measures.
    struct Style {
        // The advance of each byte's character in Windows-1252, which is
        // also that of each ASCII character in UTF-8.
        std::array<double, 256> ByteAdvance{};
        double Ascent = 0;
        double Descent = 0;
        // The advance of a character beyond ASCII in a UTF-8 text, asked for
        // once per character and kept.
        std::function<double(char32_t)> CharacterAdvance;
    };

    TextMeasure(Style upright, Style italic);

    // Width of the text in page units: the sum of its characters' advances,
    // rounded to the nearest integer. 0 for an empty text. The text's bytes
    // are read in encoding.
    int Width(std::string_view text, bool italic,
              CharacterEncoding encoding = CharacterEncoding::Windows1252) const;
    // Height of any text: ascent plus descent, rounded to the nearest integer.
    int Height(bool italic) const;
    // Distance from a text's top to its baseline, unrounded.
    double Ascent(bool italic) const;
    // The advances of the text's UTF-16 units (a character beyond U+FFFF
    // has its advance on its first unit and 0 on its second), rounded so that
    // their running sums are the rounded running sums of the exact advances;
    // they add up to Width.
    std::vector<std::int32_t>
    Advances(std::string_view text, bool italic,
             CharacterEncoding encoding = CharacterEncoding::Windows1252) const;

  private:
    struct Variant {
        Style style;
        int height = 0;
        // Characters beyond ASCII in UTF-8 texts, measured when first met.
        mutable std::unordered_map<char32_t, double> wide;
    };
    // The exact advance of each UTF-16 unit of the text.
    std::vector<double> UnitAdvances(std::string_view text, bool italic,
                                     CharacterEncoding encoding) const;
    double WideAdvance(const Variant& variant, char32_t code) const;
    const Variant& Of(bool italic) const { return italic ? italic_ : upright_; }

    Variant upright_;
    Variant italic_;
    mutable std::mutex wideLock_;
};

// How a built-in face measures at an em size of emSize page units (below 1
// taken as 1), as Qt measures the same font file without hinting, kerning or
// shaping:
// - a byte's character measures as its glyph; a tab the face has no glyph
//   for as a space, any other character without a glyph as the face's
//   default glyph;
// - in a UTF-8 text, a character beyond ASCII that is not shown measures 0:
//   a control character, a format character such as the soft hyphen or a
//   zero-width joiner, the line and paragraph separators, a private-use
//   character; any other character measures as its glyph, or as the default
//   glyph where the face has none.
TextMeasure::Style BuiltInStyle(const FontFaceTable& face, int emSize);

// The measure of a figure's text in the face named (an empty name is
// kMetafileFaceName) at an em size of height page units (below 1:
// kMetafileFontHeight), upright and italic, from the built-in tables; nullptr
// when they do not have the face (see FindBuiltInFace). Built once per face
// and height and kept for the life of the process.
const TextMeasure* BuiltInFigureMeasure(std::string_view face, int height);

} // namespace karvello
