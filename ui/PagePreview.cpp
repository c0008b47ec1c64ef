#include "ui/PagePreview.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "base/Units.h"
#include "ui/Controls.h"

namespace karvello {

namespace {

// The grey border around the page, in pixels.
constexpr int kBorderPx = 16;
constexpr double kZoomStep = 1.25;

} // namespace

PageView::PageView(const PagePicture& picture, QWidget* parent)
    : QAbstractScrollArea(parent), picture_(picture) {
    setObjectName(QStringLiteral("PageView"));
    viewport()->setCursor(Qt::OpenHandCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

double PageView::PixelsPerUnit() const {
    return zoom_ * logicalDpiX() / kUnitsPerInch;
}

QSizeF PageView::PageSizePx() const {
    const PageBox page = picture_.Page();
    const double scale = PixelsPerUnit();
    return QSizeF(page.Width() * scale, page.Height() * scale);
}

QPointF PageView::PageTopLeft() const {
    const QSizeF page = PageSizePx();
    const QSize area = viewport()->size();
    const auto axis = [](double pageLength, int areaLength, int scrolled) {
        const double room = areaLength - pageLength;
        return room >= 2 * kBorderPx ? room / 2 : kBorderPx - static_cast<double>(scrolled);
    };
    return QPointF(axis(page.width(), area.width(), horizontalScrollBar()->value()),
                   axis(page.height(), area.height(), verticalScrollBar()->value()));
}

void PageView::UpdateScrollBars() {
    const QSizeF page = PageSizePx();
    const QSize area = viewport()->size();
    const auto range = [](double pageLength, int areaLength) {
        return std::max(0, static_cast<int>(std::ceil(pageLength)) + 2 * kBorderPx - areaLength);
    };
    horizontalScrollBar()->setRange(0, range(page.width(), area.width()));
    verticalScrollBar()->setRange(0, range(page.height(), area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
}

void PageView::ApplyFit() {
    if (fit_ == Fit::None) {
        return;
    }
    const PageBox page = picture_.Page();
    const double unitScale = logicalDpiX() / kUnitsPerInch;
    const QSize area = viewport()->size();
    const double byWidth = (area.width() - 2.0 * kBorderPx) / (page.Width() * unitScale);
    const double byHeight = (area.height() - 2.0 * kBorderPx) / (page.Height() * unitScale);
    const double zoom = fit_ == Fit::Width ? byWidth : std::min(byWidth, byHeight);
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    UpdateScrollBars();
    // A fitted width can still leave a scroll bar that takes width away.
    const double again = (viewport()->width() - 2.0 * kBorderPx) / (page.Width() * unitScale);
    if (fit_ == Fit::Width && again < zoom_) {
        zoom_ = std::clamp(again, kMinZoom, kMaxZoom);
        UpdateScrollBars();
    }
    viewport()->update();
    emit zoomChanged(zoom_);
}

void PageView::PictureChanged() {
    if (fit_ != Fit::None) {
        ApplyFit();
    } else {
        UpdateScrollBars();
        viewport()->update();
    }
}

void PageView::SetZoom(double zoom, QPoint anchor) {
    const double scaleBefore = PixelsPerUnit();
    const QPointF before = PageTopLeft();
    // The page point under the anchor, in units from the page's corner.
    const QPointF pagePoint = (QPointF(anchor) - before) / scaleBefore;
    fit_ = Fit::None;
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    UpdateScrollBars();
    const double scale = PixelsPerUnit();
    // Scroll so that the page point lands under the anchor again.
    const QPointF wanted = QPointF(anchor) - pagePoint * scale;
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(kBorderPx - wanted.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(kBorderPx - wanted.y())));
    viewport()->update();
    emit zoomChanged(zoom_);
}

void PageView::SetZoom(double zoom) {
    SetZoom(zoom, viewport()->rect().center());
}

void PageView::ZoomBy(int steps) {
    SetZoom(zoom_ * std::pow(kZoomStep, steps));
}

void PageView::SetFit(Fit fit) {
    fit_ = fit;
    ApplyFit();
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    picture_.Paint(painter, PixelsPerUnit(), PageTopLeft(), event->rect());
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fit_ != Fit::None) {
        ApplyFit();
    } else {
        UpdateScrollBars();
    }
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const double steps = event->angleDelta().y() / 120.0;
        SetZoom(zoom_ * std::pow(kZoomStep, steps), event->position().toPoint());
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragFrom_ = event->position().toPoint();
        viewport()->setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        const QPoint now = event->position().toPoint();
        const QPoint moved = now - dragFrom_;
        dragFrom_ = now;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - moved.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - moved.y());
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        viewport()->setCursor(Qt::OpenHandCursor);
        event->accept();
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
}

// --- PagePreviewWindow ---

PagePreviewWindow::PagePreviewWindow(const PagePicture& picture, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("PageWindow"));
    setWindowTitle(QStringLiteral("Page preview - Karvello"));
    setFont(WindowFont());

    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = Named(new QPushButton(text, this), name);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    QPushButton* fitWidth =
        button("ButtonFitWidth", QStringLiteral("Fit width"),
               QStringLiteral("Zoom so that the page's width fills the window"));
    QPushButton* fitPage = button("ButtonFitPage", QStringLiteral("Fit page"),
                                  QStringLiteral("Zoom so that the whole page shows"));
    QPushButton* actual = button("ButtonActualSize", QStringLiteral("100 %"),
                                 QStringLiteral("The page at its real size"));
    QPushButton* zoomOut = button("ButtonZoomOut", QStringLiteral("\u2212"),
                                  QStringLiteral("Zoom out (Ctrl+minus, Ctrl+wheel)"));
    QPushButton* zoomIn = button("ButtonZoomIn", QStringLiteral("+"),
                                 QStringLiteral("Zoom in (Ctrl+plus, Ctrl+wheel)"));
    zoomLabel_ = Named(new QLabel(this), "ZoomLabel");
    zoomLabel_->setMinimumWidth(48);
    auto* hint = new QLabel(QStringLiteral("Drag the page to move it. This is the figure as "
                                           "\u201CDraw\u201D writes it: the ticked maps, or the "
                                           "selected map when none is ticked."),
                            this);
    hint->setWordWrap(true);

    view_ = new PageView(picture, this);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(fitWidth), static_cast<QWidget*>(fitPage),
                       static_cast<QWidget*>(actual), static_cast<QWidget*>(zoomOut),
                       static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(zoomLabel_)}) {
        buttons->addWidget(w);
    }
    buttons->addWidget(hint, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);

    connect(fitWidth, &QPushButton::clicked, this, [this] { view_->SetFit(PageView::Fit::Width); });
    connect(fitPage, &QPushButton::clicked, this, [this] { view_->SetFit(PageView::Fit::Page); });
    connect(actual, &QPushButton::clicked, this, [this] { view_->SetZoom(1.0); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { view_->ZoomBy(-1); });
    connect(zoomIn, &QPushButton::clicked, this, [this] { view_->ZoomBy(1); });
    connect(view_, &PageView::zoomChanged, this, &PagePreviewWindow::ShowZoom);
    // Ctrl+plus is also Ctrl+= on keyboards where plus needs Shift.
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this] { view_->ZoomBy(1); });
    }
    connect(new QShortcut(QKeySequence(QKeySequence::ZoomOut), this), &QShortcut::activated, this,
            [this] { view_->ZoomBy(-1); });

    resize(900, 640);
    ShowZoom(view_->Zoom());
}

void PagePreviewWindow::PictureChanged() {
    view_->PictureChanged();
}

void PagePreviewWindow::ShowZoom(double zoom) {
    zoomLabel_->setText(QString::number(static_cast<int>(std::lround(zoom * 100))) +
                        QStringLiteral(" %"));
}

void PagePreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeepInsideScreen(*this);
}

} // namespace karvello
