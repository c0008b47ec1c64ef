#include "platform/QtPainterSurface.h"

#include <QPen>
#include <QRectF>
#include <QString>
#include <cmath>
#include <string>

#include "mapdata/Error.h"
#include "platform/Windows1252.h"

namespace karvello {

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kFallbackDpi = 96.0;

QString ToQString(std::string_view text) {
    const std::u16string converted = Windows1252ToUtf16(text);
    return QString(reinterpret_cast<const QChar*>(converted.data()), static_cast<qsizetype>(converted.size()));
}

} // namespace

QColor ToQColor(TColour colour) {
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
}

QtPainterSurface::QtPainterSurface(QPainter& painter, const PainterMapping& mapping,
                                   const TextMetrics& metrics)
    : painter_(painter), base_(painter.worldTransform()), mapping_(mapping), metrics_(&metrics),
      background_(Qt::white), brush_(Qt::white) {}

QtPainterSurface::~QtPainterSurface() { painter_.setWorldTransform(base_); }

double QtPainterSurface::ScaleX() const {
    return mapMode_ == kMapModeText ? mapping_.textModePxPerUnit : mapping_.metricPxPerUnitX;
}

double QtPainterSurface::ScaleY() const {
    return mapMode_ == kMapModeText ? mapping_.textModePxPerUnit : mapping_.metricPxPerUnitY;
}

QPointF QtPainterSurface::ToDevice(int x, int y) const {
    const double down = mapMode_ == kMapModeText ? y : -static_cast<double>(y);
    return mapping_.origin + QPointF(x * ScaleX(), down * ScaleY());
}

void QtPainterSurface::SetMapMode(int mode) {
    if (mode != kMapModeText && mode != kMapModeHiMetric) {
        throw KarvelloError("The preview does not support mapping mode " + std::to_string(mode));
    }
    mapMode_ = mode;
}

void QtPainterSurface::SetPenColour(TColour colour) { penColour_ = ToQColor(colour); }

void QtPainterSurface::Rectangle(int x1, int y1, int x2, int y2) {
    painter_.setWorldTransform(base_);
    // Width 0 is Qt's cosmetic pen: one device pixel, the thinnest GDI draws.
    painter_.setPen(QPen(penColour_, 0));
    painter_.setBrush(brush_);
    painter_.drawRect(QRectF(ToDevice(x1, y1), ToDevice(x2, y2)).normalized());
}

void QtPainterSurface::MoveTo(int x, int y) { current_ = ToDevice(x, y); }

void QtPainterSurface::LineTo(int x, int y) {
    const QPointF end = ToDevice(x, y);
    painter_.setWorldTransform(base_);
    painter_.setPen(QPen(penColour_, 0));
    painter_.drawLine(current_, end);
    current_ = end;
}

void QtPainterSurface::TextOut(int x, int y, std::string_view text) {
    if (text.empty()) {
        return;
    }
    // Text is drawn in units, scaled to the device, so that the font keeps
    // its height in units exactly whatever the device's resolution.
    const QPointF corner = ToDevice(x, y);
    QTransform toDevice = QTransform::fromScale(ScaleX(), ScaleY());
    toDevice *= QTransform::fromTranslate(corner.x(), corner.y());
    painter_.setWorldTransform(toDevice * base_);
    const double width = metrics_->Width(text, italic_);
    const double height = metrics_->Height(italic_);
    painter_.fillRect(QRectF(0, 0, width, height), brush_);
    painter_.setFont(metrics_->Font(italic_));
    painter_.setPen(fontColour_);
    painter_.drawText(QPointF(0, metrics_->Ascent(italic_)), ToQString(text));
    painter_.setWorldTransform(base_);
}

int QtPainterSurface::TextWidth(std::string_view text) { return metrics_->Width(text, italic_); }

int QtPainterSurface::TextHeight(std::string_view) { return metrics_->Height(italic_); }

void QtPainterSurface::SetFontColour(TColour colour) { fontColour_ = ToQColor(colour); }

void QtPainterSurface::SetItalic(bool italic) { italic_ = italic; }

void QtPainterSurface::FillBackground(int widthPx, int heightPx) {
    painter_.setWorldTransform(base_);
    brush_ = background_;
    painter_.fillRect(QRectF(0, 0, widthPx, heightPx), brush_);
}

std::pair<int, int> QtPainterSurface::WindowExtent() const {
    if (mapMode_ == kMapModeText) {
        return {1, 1};
    }
    return mapping_.metricExtent;
}

} // namespace karvello
