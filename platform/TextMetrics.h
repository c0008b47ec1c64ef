#pragma once
// Text measurement for the figures and the Qt surfaces: TextMeasure (see
// render/TextMeasure.h) with the font it measures. The faces of Karvello's
// own tables (Liberation Sans, Serif and Mono and the faces they share widths
// with) are measured from those tables, any other face by Qt, which gives the
// same numbers for the faces of the tables.

#include <string>

#include <QFont>

#include "render/TextMeasure.h"

namespace karvello {

// Returns base set up for measuring as TextMeasure describes, with an em size of
// heightUnits page units (Qt's pixel size). A height below 1 is taken as 1.
QFont MeasuringFont(QFont base, int heightUnits);

// How font measures according to Qt: the measure of a face the built-in
// tables do not have.
TextMeasure::Style QtTextStyle(const QFont& font);

class TextMetrics : public TextMeasure {
  public:
    // Measures the upright and the italic variant of font, whose pixel size
    // is its height in page units: from the built-in tables where they have
    // its family (at a pixel size of at least 1), else by Qt. Needs a
    // QGuiApplication (EnsureQtGui) for a face measured by Qt.
    explicit TextMetrics(const QFont& font);

    // The font measured, upright or italic.
    const QFont& Font(bool italic) const { return italic ? italicFont_ : uprightFont_; }

  private:
    QFont uprightFont_;
    QFont italicFont_;
};

// The font that stands in for "Microsoft Sans Serif" when painting: that
// face itself where it is installed, otherwise Liberation Sans, otherwise
// Arial (both have its metrics' model, Arial's widths), chosen by name and
// never left to the font configuration's substitutes. Whichever it is, its
// text is measured from the built-in Liberation Sans tables, so a figure's
// layout is the same on every system. Throws KarvelloError when none of the
// three is installed.
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

// The font of a figure: the face given, painted in that face where it is
// installed; "Microsoft Sans Serif", Arial and Helvetica, which share one
// set of widths, painted in Liberation Sans where they are not. Faces of the
// built-in tables are measured from them, any other face by Qt. The default
// face and height give MetafileTextMetrics() itself. Metrics are built once
// per face and height and kept for the life of the process. Throws
// KarvelloError naming the face when it is neither installed nor one of
// those three, and as MetafileMeasuringFont does.
FigureFont FigureTextFont(const std::string& face, int height);

} // namespace karvello
