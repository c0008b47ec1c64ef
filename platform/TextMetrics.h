#pragma once
// Text measurement as a Windows program sees it: every character advances by
// its own width (no kerning, no ligatures, no hinting), and a text is as high
// as the font's ascent plus descent whatever it holds. The widths of all 256
// byte values are taken once per font, so measuring is a table lookup and
// gives the same answer on every run.

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QString>

#include "base/Text.h"

namespace karvello {

// The face the metafile names and its height, 8 points at 2540 pixels per
// inch; a negative height in Windows terms, which is the em size, the pixel
// size in Qt's.
inline constexpr char kMetafileFaceName[] = "Microsoft Sans Serif";
inline constexpr int kMetafileFontHeight = 282;

// Returns base set up for measuring as described above, with an em size of
// heightUnits page units (Qt's pixel size). A height below 1 is taken as 1.
QFont MeasuringFont(QFont base, int heightUnits);

class TextMetrics {
  public:
    // Measures the upright and the italic variant of font, whose pixel size
    // is its height in page units. Needs a QGuiApplication (EnsureQtGui).
    explicit TextMetrics(const QFont& font);

    // Width of the text in page units: the sum of its characters' advances,
    // rounded to the nearest integer. 0 for an empty text. The text's bytes
    // are read in encoding; a character beyond the table is measured once
    // and kept.
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
    // The font measured, upright or italic.
    const QFont& Font(bool italic) const { return Variant(italic).font; }

  private:
    struct Measured {
        QFont font;
        std::array<double, 256> advance{};
        double ascent = 0;
        int height = 0;
        // Characters beyond Windows-1252, measured when first met.
        mutable std::unordered_map<char32_t, double> wide;
    };
    static Measured Measure(QFont font);
    // The exact advance of each UTF-16 unit of the text.
    std::vector<double> UnitAdvances(std::string_view text, bool italic,
                                     CharacterEncoding encoding) const;
    const Measured& Variant(bool italic) const { return italic ? italic_ : upright_; }

    Measured upright_;
    Measured italic_;
    mutable std::mutex wideLock_;
};

// The font that stands in for "Microsoft Sans Serif" when measuring and
// painting: that face itself where it is installed, otherwise Liberation
// Sans, otherwise Arial (both have its metrics' model, Arial's widths),
// chosen by name and never left to the font configuration's substitutes.
// Throws KarvelloError when none of the three is installed.
QFont MetafileMeasuringFont();

// The metrics of the metafile font at height 282, built once per process.
// Creates the QGuiApplication if there is none (EnsureQtGui). Throws
// KarvelloError as MetafileMeasuringFont does.
const TextMetrics& MetafileTextMetrics();

// The face and height a figure's text is drawn in, and the metrics it is
// measured with. An empty face is the metafile's own; a height below 1 is
// the metafile's 282.
struct FigureFont {
    std::string face;
    int height = kMetafileFontHeight;
    const TextMetrics* metrics = nullptr;
};

// The font of a figure: the face given, measured in that face where it is
// installed; "Microsoft Sans Serif", Arial and Helvetica, which share one
// set of widths, measured in Liberation Sans where they are not. The default
// face and height give MetafileTextMetrics() itself. Metrics are built once
// per face and height and kept for the life of the process. Throws
// KarvelloError naming the face when it is neither installed nor one of
// those three, and as MetafileMeasuringFont does.
FigureFont FigureTextFont(const std::string& face, int height);

} // namespace karvello
