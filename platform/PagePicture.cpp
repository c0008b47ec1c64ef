#include "platform/PagePicture.h"

#include <QPen>
#include <cmath>

#include "drawing/SurfaceAdapters.h"
#include "platform/QtPainterSurface.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"

namespace karvello {

namespace {

constexpr double kSmallestLegibleTextPx = 4.0;

// Hands everything on to the painter surface except lines, which it draws
// itself with one pen per colour rather than one per stroke (the same
// one-pixel cosmetic pen), and text too small to read, which it paints as a
// pale bar across the middle of the text's cell. Both only in the metric
// mode, in which the painter's transform maps units with y turned downward.
class LegibleSurface : public PassThroughSurface<Surface> {
  public:
    LegibleSurface(QtPainterSurface& inner, QPainter& painter, const TextMetrics& metrics,
                   bool barsForText)
        : PassThroughSurface(inner), painter_(painter), metrics_(metrics),
          barsForText_(barsForText) {}

    void SetMapMode(MappingMode mode) override {
        Target().SetMapMode(mode);
        mode_ = mode;
    }
    void SetPenColour(RgbColour colour) override {
        Target().SetPenColour(colour);
        pen_ = QPen(ToQColor(colour), 0);
        penSet_ = false;
    }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        Target().Rectangle(x1, y1, x2, y2);
        penSet_ = false;
    }
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override {
        Target().FillRectangle(x1, y1, x2, y2, colour);
        penSet_ = false;
    }
    void MoveTo(int x, int y) override {
        Target().MoveTo(x, y);
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override {
        if (mode_ != MappingMode::HiMetric) {
            Target().LineTo(x, y);
        } else {
            if (!penSet_) {
                painter_.setPen(pen_);
                penSet_ = true;
            }
            painter_.drawLine(QPointF(x_, -static_cast<double>(y_)),
                              QPointF(x, -static_cast<double>(y)));
            Target().MoveTo(x, y);
        }
        x_ = x;
        y_ = y;
    }
    void TextOut(int x, int y, std::string_view text) override {
        penSet_ = false;
        if (!barsForText_ || mode_ != MappingMode::HiMetric) {
            Target().TextOut(x, y, text);
            return;
        }
        const double height = metrics_.Height(italic_);
        painter_.fillRect(QRectF(x, -static_cast<double>(y) + height * 0.25,
                                 metrics_.Width(text, italic_, TextEncoding()), height * 0.5),
                          bar_);
    }
    void SetFontColour(RgbColour colour) override {
        Target().SetFontColour(colour);
        // Halfway to white: a line of small letters looks that dark.
        const QColor full = ToQColor(colour);
        bar_ = QColor((full.red() + 255) / 2, (full.green() + 255) / 2, (full.blue() + 255) / 2);
    }
    void SetItalic(bool italic) override {
        Target().SetItalic(italic);
        italic_ = italic;
    }

  private:
    QPainter& painter_;
    const TextMetrics& metrics_;
    bool barsForText_;
    MappingMode mode_ = MappingMode::Text;
    bool italic_ = false;
    QColor bar_{0x80, 0x80, 0x80};
    QPen pen_{QColor(Qt::black), 0};
    bool penSet_ = false;
    int x_ = 0;
    int y_ = 0;
};

} // namespace

PagePicture::PagePicture() = default;
PagePicture::~PagePicture() = default;

void PagePicture::Record(const std::function<void(Surface&)>& draw) {
    auto recorder = std::make_unique<DrawingRecorder>(MetafileTextMetrics());
    draw(*recorder);
    recorder_ = std::move(recorder);
}

void PagePicture::Clear() {
    recorder_.reset();
}

bool PagePicture::Empty() const {
    return recorder_ == nullptr || recorder_->Frame().Empty;
}

PageBox PagePicture::Page() const {
    if (!Empty()) {
        return recorder_->Frame();
    }
    PageBox page;
    page.Include(0, 0);
    page.Include(99, 99);
    return page;
}

void PagePicture::Replay(Surface& target) const {
    if (recorder_ != nullptr) {
        recorder_->Replay(target);
    }
}

void PagePicture::Paint(QPainter& painter, double pxPerUnit, QPointF topLeft,
                        const QRect& visible) const {
    const PageBox page = Page();
    const QRectF pageRect(topLeft, QSizeF(page.Width() * pxPerUnit, page.Height() * pxPerUnit));
    painter.fillRect(pageRect.intersected(QRectF(visible)), Qt::white);
    if (Empty() || !(pxPerUnit > 0)) {
        return;
    }
    const TextMetrics& metrics = MetafileTextMetrics();
    PainterMapping mapping;
    mapping.metricPxPerUnitX = pxPerUnit;
    mapping.metricPxPerUnitY = pxPerUnit;
    mapping.textModePxPerUnit = pxPerUnit * kHiMetricPerReferencePixel;
    mapping.origin = QPointF(topLeft.x() - static_cast<double>(page.Left) * pxPerUnit,
                             topLeft.y() - static_cast<double>(page.Top) * pxPerUnit);

    // The visible rectangle in page units, widened by a few pixels to catch
    // the pen and glyph edges that reach into it.
    const double margin = 4.0;
    const auto toUnitsX = [&](double px) {
        return static_cast<std::int64_t>(std::floor((px - mapping.origin.x()) / pxPerUnit));
    };
    const auto toUnitsY = [&](double px) {
        return static_cast<std::int64_t>(std::floor((px - mapping.origin.y()) / pxPerUnit));
    };
    PageBox shown;
    shown.Include(toUnitsX(visible.left() - margin), toUnitsY(visible.top() - margin));
    shown.Include(toUnitsX(visible.right() + 1 + margin) + 1,
                  toUnitsY(visible.bottom() + 1 + margin) + 1);

    painter.save();
    painter.setClipRect(visible);
    {
        QtPainterSurface surface(painter, mapping, metrics);
        const bool bars = metrics.Height(false) * pxPerUnit < kSmallestLegibleTextPx;
        LegibleSurface legible(surface, painter, metrics, bars);
        // Prepared as the files are: the metric mode, as the recording began.
        legible.SetMapMode(MappingMode::HiMetric);
        recorder_->Replay(legible, shown);
    }
    painter.restore();
}

} // namespace karvello
