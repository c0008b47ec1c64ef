#pragma once
// The drawing surface on a QPainter, for any paint device: the preview box
// paints with it, and so do the SVG, PDF and PNG files. It maps page units to
// the device's pixels as a Windows device context does:
//   - text mode (MappingMode::Text): 1 unit = 1 device pixel, y downward; the
//     mode a fresh surface starts in;
//   - metric mode (MappingMode::HiMetric): 1 unit = 1/100 mm, y upward, so the
//     page (negative y) lies below the device's top edge.
// Lines and outlines are drawn with a pen one unit wide that, as in GDI,
// never gets thinner than one device pixel; rectangles are filled with the
// surface's brush; text is placed by its top-left corner and its cell is
// filled with the brush colour first. The font's height is given in units,
// so it is 11 pixels in the text mode and 0.11 mm in the metric mode for the
// preview's 11-unit font, as on Windows.

#include <memory>
#include <string_view>
#include <utility>

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QSizeF>
#include <QTransform>

#include "drawing/Canvas.h"
#include "platform/TextMetrics.h"

namespace karvello {

// How a painter surface maps units to the device's pixels.
struct PainterMapping {
    double textModePxPerUnit = 1.0; // device pixels per unit, text mode
    double metricPxPerUnitX = 1.0;  // device pixels per 1/100 mm, metric mode
    double metricPxPerUnitY = 1.0;
    QPointF origin;                         // device position of the unit point (0, 0)
    std::pair<int, int> metricExtent{0, 0}; // WindowExtent() in the metric mode
};

// The preview font's height in units: the window font's 8 points at 96 dpi.
inline constexpr int kPreviewFontHeight = 11;

class QtPainterSurface : public PreviewSurface {
  public:
    // The preview box's surface.
    //   painter        an active painter on the box (the paint event's); the
    //                  surface draws in its current coordinates, which are
    //                  taken as the device's pixels. The surface changes the
    //                  painter's world transform while it lives and puts the
    //                  painter's own back when it is destroyed.
    //   windowFont     the window's font; the surface uses its family and
    //                  style at a height of 11 units (kPreviewFontHeight).
    //   background     the window's background colour, the brush until
    //                  FillBackground sets it again (it fills the bars).
    //   screenWidthPx, screenHeightPx
    //                  the primary display's size in pixels.
    //   screenSizeMm   the display's size in mm as Windows reports it, from
    //                  its logical dpi: width = screenWidthPx * 25.4 /
    //                  logical dpi, and so for the height. WindowExtent() in
    //                  the metric mode gives it in 1/100 mm, rounded. A size
    //                  that is not positive is taken as that of a 96-dpi
    //                  display.
    // The font colour starts as the window-text colour (the painter's
    // palette is not consulted: black), the pen black, the mode the text mode.
    QtPainterSurface(QPainter& painter, const QFont& windowFont, QColor background,
                     int screenWidthPx, int screenHeightPx, QSizeF screenSizeMm);

    // A surface for a file: text is measured with metrics (which must
    // outlive the surface) and drawn in its font; the brush is white. Lines
    // are lineWidth units wide with square ends, as the SVG draws them; 0 is
    // one device pixel.
    QtPainterSurface(QPainter& painter, const PainterMapping& mapping, const TextMetrics& metrics,
                     int lineWidth = 0);

    ~QtPainterSurface() override;
    QtPainterSurface(const QtPainterSurface&) = delete;
    QtPainterSurface& operator=(const QtPainterSurface&) = delete;

    // Surface. An unknown mapping mode throws KarvelloError.
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

    // PreviewSurface.
    MappingMode MapMode() const override { return mapMode_; }
    void FillBackground(int widthPx, int heightPx) override;
    // (1, 1) in the text mode; the display's size in 1/100 mm in the metric mode.
    std::pair<int, int> WindowExtent() const override;

  private:
    // Sets the painter's transform from units of the current mode to the
    // device, on top of the transform the painter had on entry.
    void ApplyMapping();
    QPen Pen() const;
    QPointF ToUnits(int x, int y) const;

    QPainter& painter_;
    QTransform base_; // the painter's transform on entry, restored on exit
    PainterMapping mapping_;
    std::unique_ptr<TextMetrics> ownMetrics_;
    const TextMetrics* metrics_ = nullptr;
    QColor background_;
    QColor brush_;
    MappingMode mapMode_ = MappingMode::Text;
    QColor penColour_{Qt::black};
    int lineWidth_ = 0;
    QColor fontColour_{Qt::black};
    bool italic_ = false;
    QPointF current_;
};

// The colour of a 0x00BBGGRR value.
QColor ToQColor(RgbColour colour);

} // namespace karvello
