#pragma once
// The drawing surface that DrawMaps draws on: the few operations the layout
// needs, in page units of 1/100 mm with y growing upward (so the page lies at
// negative y), colours in the 0x00BBGGRR form. No toolkit type appears here;
// the metafile writer, the Qt painter surface and the tests' recording
// surface all implement it.

#include <cstdint>
#include <string_view>

#include "base/Colour.h"
#include "base/Text.h"

namespace karvello {

// The two mapping modes the drawing uses. Their values are the numbers
// Windows gives them, as the metafile records them.
enum class MappingMode : int {
    Text = 1,     // 1 unit = 1 device pixel, y downward
    HiMetric = 3, // 1 unit = 1/100 mm, y upward
};

class Surface {
  public:
    virtual ~Surface() = default;

    virtual void SetMapMode(MappingMode mode) = 0;
    virtual void SetPenColour(RgbColour colour) = 0;
    // Outlined with the pen, filled with the surface's own brush.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    // A rectangle filled with colour and no outline; the pen, the brush and
    // the current point stay as they were.
    virtual void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // From the current point with the current pen; the end becomes the current point.
    virtual void LineTo(int x, int y) = 0;
    // Text with its top-left corner at (x, y); the brush fills the text cell first.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    // Extent of the text in the current font, in page units.
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;
    virtual void SetFontColour(RgbColour colour) = 0;
    // Switches the font's italic style, leaving its other styles as they are.
    virtual void SetItalic(bool italic) = 0;

    // Everything drawn between BeginMap and the next EndMap belongs to the map
    // of that number (counted from 1 as the maps are found), so that a file
    // format can keep each map together. They change nothing that is drawn;
    // a surface with no use for them ignores them.
    virtual void BeginMap(int mapNumber) { static_cast<void>(mapNumber); }
    virtual void EndMap() {}
    // How the bytes of every text given from now on stand for characters:
    // Windows-1252 (Mapmaker's names) until set. A surface that passes its
    // calls on to another passes this on too.
    virtual void SetTextEncoding(CharacterEncoding encoding) { textEncoding_ = encoding; }
    CharacterEncoding TextEncoding() const { return textEncoding_; }

  private:
    CharacterEncoding textEncoding_ = CharacterEncoding::Windows1252;
};

} // namespace karvello
