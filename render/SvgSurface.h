#pragma once
// A drawing surface that writes an SVG image as it is drawn on, streaming the
// text in pieces to a sink. The image shows the page box given at the start
// at its real size in millimetres; its user units are the drawing's own,
// 1/100 mm, with the page's top-left corner at (0, 0), so every coordinate in
// the file is a whole number. Each map that DrawMaps announces becomes one
// <g id="map-N"> element; texts are real <text> elements in a font-family
// list that ends in common fallbacks; lines and outlines have an explicit
// width in the drawing's units.
//
// Names are 8-bit text read as Windows-1252 (as the metafile reads them) and
// written as UTF-8. A control character (bytes 0x00 to 0x1F and 0x7F, and
// the five bytes Windows-1252 leaves undefined) cannot stand in an XML file,
// so it is written as U+FFFD, the replacement character, which every reader
// shows as a visible mark; the layout keeps the advance it measured for it.
//
// The text cells are not filled: the file stays editable text on a
// transparent page, and nothing in a drawing of maps lies under its labels.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "drawing/PageBox.h"
#include "drawing/Surface.h"
#include "render/TextMeasure.h"

namespace karvello {

// The largest side of a page, in 1/100 mm, that the writer accepts: every
// coordinate must stay a 32-bit integer, as SVG readers keep them.
inline constexpr std::int64_t kSvgMaxPageUnits = INT32_MAX;

struct SvgOptions {
    std::string title;                  // the image's <title>, UTF-8; empty for none
    std::string fontFamily;             // a CSS font-family list, written as given
    int lineWidth = 1;                  // width of every line and outline, 1/100 mm
    int fontSize = kMetafileFontHeight; // the em size text is measured at, page units
};

// The CSS font-family list for a drawing whose text is measured in the face
// named family: that face first, then "Liberation Sans", Arial, Helvetica
// and sans-serif, each once.
std::string SvgFontFamilyList(std::string_view family);

class SvgSurface : public Surface {
  public:
    using Sink = std::function<void(std::string_view)>;

    // Writes the start of the image to sink. Text is measured with metrics
    // (which must outlive the surface) in the font of options.fontSize.
    // Throws KarvelloError, before writing anything, when page is wider or
    // higher than kSvgMaxPageUnits; what sink throws passes through.
    SvgSurface(Sink sink, const PageBox& page, const TextMeasure& metrics,
               const SvgOptions& options);

    void SetMapMode(MappingMode mode) override;
    void SetPenColour(RgbColour colour) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void SetFontColour(RgbColour colour) override;
    void SetItalic(bool italic) override;
    void BeginMap(int mapNumber) override;
    void EndMap() override;

    // Closes every open element and hands the rest of the text to the sink.
    // Any later drawing call throws KarvelloError.
    void Finish();

  private:
    void CheckOpen() const;
    // The page position of a surface point, as whole 1/100 mm from the
    // page's top-left corner.
    void ToPage(int x, int y, std::int64_t& px, std::int64_t& py) const;
    void FlushPath();
    void Emit(std::string_view text);
    void EmitNumber(std::int64_t value);
    void EmitColour(RgbColour colour);

    Sink sink_;
    PageBox page_;
    const TextMeasure& metrics_;
    int fontSize_;
    std::string buffer_;
    std::string path_; // the path data of the lines not yet written
    RgbColour pathColour_ = 0;
    std::int64_t pathX_ = 0; // where the last piece of path_ ends
    std::int64_t pathY_ = 0;
    MappingMode mapMode_ = MappingMode::HiMetric;
    RgbColour penColour_ = 0;
    RgbColour fontColour_ = 0;
    bool italic_ = false;
    int currentX_ = 0;
    int currentY_ = 0;
    bool inMap_ = false;
    bool finished_ = false;
};

} // namespace karvello
