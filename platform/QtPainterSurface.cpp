#include "platform/QtPainterSurface.h"

#include <QPen>
#include <QRectF>
#include <QString>
#include <cmath>
#include <string>

#include "base/Error.h"
#include "base/Units.h"
#include "platform/Windows1252.h"

namespace karvello {

namespace {

// The resolution taken when the screen does not give its size.
constexpr double kFallbackDpi = kReferenceDotsPerInch;

} // namespace

QColor ToQColor(RgbColour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QtPainterSurface::QtPainterSurface(QPainter& painter, const QFont& windowFont, QColor background,
                                   int screenWidthPx, int screenHeightPx, QSizeF screenSizeMm)
    : painter_(painter), base_(painter.worldTransform()),
      ownMetrics_(std::make_unique<TextMetrics>(MeasuringFont(windowFont, kPreviewFontHeight))),
      metrics_(ownMetrics_.get()), background_(background), brush_(background) {
    double widthMm = screenSizeMm.width();
    double heightMm = screenSizeMm.height();
    if (!(widthMm > 0) || !(heightMm > 0)) {
        widthMm = screenWidthPx * kMillimetresPerInch / kFallbackDpi;
        heightMm = screenHeightPx * kMillimetresPerInch / kFallbackDpi;
    }
    mapping_.textModePxPerUnit = 1.0;
    mapping_.metricPxPerUnitX = widthMm > 0 ? screenWidthPx / (widthMm * 100.0) : 1.0;
    mapping_.metricPxPerUnitY = heightMm > 0 ? screenHeightPx / (heightMm * 100.0) : 1.0;
    mapping_.metricExtent = {static_cast<int>(std::lround(widthMm * 100.0)),
                             static_cast<int>(std::lround(heightMm * 100.0))};
    ApplyMapping();
}

QtPainterSurface::QtPainterSurface(QPainter& painter, const PainterMapping& mapping,
                                   const TextMetrics& metrics, int lineWidth)
    : painter_(painter), base_(painter.worldTransform()), mapping_(mapping), metrics_(&metrics),
      background_(Qt::white), brush_(Qt::white), lineWidth_(lineWidth < 0 ? 0 : lineWidth) {
    ApplyMapping();
}

QPen QtPainterSurface::Pen() const {
    // Width 0 is Qt's cosmetic pen: one device pixel whatever the transform,
    // the thinnest line GDI draws.
    return QPen(penColour_, lineWidth_, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QtPainterSurface::~QtPainterSurface() {
    painter_.setWorldTransform(base_);
}

void QtPainterSurface::ApplyMapping() {
    // One transform per mode, set only when the mode changes: drawing then
    // happens in units, and vector devices are not handed a new transform
    // for every stroke and text.
    const bool text = mapMode_ == MappingMode::Text;
    const double sx = text ? mapping_.textModePxPerUnit : mapping_.metricPxPerUnitX;
    const double sy = text ? mapping_.textModePxPerUnit : mapping_.metricPxPerUnitY;
    painter_.setWorldTransform(QTransform(sx, 0, 0, sy, mapping_.origin.x(), mapping_.origin.y()) *
                               base_);
}

QPointF QtPainterSurface::ToUnits(int x, int y) const {
    // Units with y turned to grow downward, as the device's y does.
    return QPointF(x, mapMode_ == MappingMode::Text ? static_cast<double>(y)
                                                    : -static_cast<double>(y));
}

void QtPainterSurface::SetMapMode(MappingMode mode) {
    if (mode != mapMode_) {
        mapMode_ = mode;
        ApplyMapping();
    }
}

void QtPainterSurface::SetPenColour(RgbColour colour) {
    penColour_ = ToQColor(colour);
}

void QtPainterSurface::Rectangle(int x1, int y1, int x2, int y2) {
    painter_.setPen(Pen());
    painter_.setBrush(brush_);
    painter_.drawRect(QRectF(ToUnits(x1, y1), ToUnits(x2, y2)).normalized());
}

void QtPainterSurface::FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) {
    painter_.fillRect(QRectF(ToUnits(x1, y1), ToUnits(x2, y2)).normalized(), ToQColor(colour));
}

void QtPainterSurface::MoveTo(int x, int y) {
    current_ = ToUnits(x, y);
}

void QtPainterSurface::LineTo(int x, int y) {
    const QPointF end = ToUnits(x, y);
    painter_.setPen(Pen());
    painter_.drawLine(current_, end);
    current_ = end;
}

void QtPainterSurface::TextOut(int x, int y, std::string_view text) {
    if (text.empty()) {
        return;
    }
    // The font's pixel size is its height in units, so under the mapping it
    // keeps that height exactly whatever the device's resolution.
    const QPointF corner = ToUnits(x, y);
    const QSizeF cell(metrics_->Width(text, italic_, TextEncoding()), metrics_->Height(italic_));
    painter_.fillRect(QRectF(corner, cell), brush_);
    painter_.setFont(metrics_->Font(italic_));
    painter_.setPen(fontColour_);
    painter_.drawText(corner + QPointF(0, metrics_->Ascent(italic_)),
                      TextToQString(text, TextEncoding()));
}

int QtPainterSurface::TextWidth(std::string_view text) {
    return metrics_->Width(text, italic_, TextEncoding());
}

int QtPainterSurface::TextHeight(std::string_view) {
    return metrics_->Height(italic_);
}

void QtPainterSurface::SetFontColour(RgbColour colour) {
    fontColour_ = ToQColor(colour);
}

void QtPainterSurface::SetItalic(bool italic) {
    italic_ = italic;
}

void QtPainterSurface::FillBackground(int widthPx, int heightPx) {
    brush_ = background_;
    painter_.setWorldTransform(base_);
    painter_.fillRect(QRectF(0, 0, widthPx, heightPx), brush_);
    ApplyMapping();
}

std::pair<int, int> QtPainterSurface::WindowExtent() const {
    if (mapMode_ == MappingMode::Text) {
        return {1, 1};
    }
    return mapping_.metricExtent;
}

} // namespace karvello
