#pragma once
// The page preview: the figure as "Draw" writes it, in a window of its own
// that "Page preview" opens. It can be zoomed (Ctrl+wheel, Ctrl+plus and
// Ctrl+minus, "Fit width", "Fit page", "100 %") and moved about by dragging
// or with the scroll bars.

#include <QAbstractScrollArea>
#include <QPoint>
#include <QWidget>

#include "platform/PagePicture.h"

class QLabel;
class QPushButton;

namespace karvello {

// The scrolling view of a page picture.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    enum class Fit { None, Width, Page };

    explicit PageView(const PagePicture& picture, QWidget* parent = nullptr);

    // The picture was recorded anew: the scroll range follows it and the
    // view repaints; a fit stays in force.
    void PictureChanged();

    // The zoom: 1 shows the page at its real size on a screen whose
    // logical resolution is true.
    double Zoom() const { return zoom_; }
    // Sets the zoom, kept between kMinZoom and kMaxZoom, keeping the page
    // point under the viewport point anchor where it is; ends a fit.
    void SetZoom(double zoom, QPoint anchor);
    void SetZoom(double zoom);
    // Zooms in or out by steps of a quarter about the viewport's centre.
    void ZoomBy(int steps);
    // Fits the page's width, or the whole page, into the viewport, and keeps
    // it fitted as the window changes size.
    void SetFit(Fit fit);
    Fit CurrentFit() const { return fit_; }
    // Device pixels per 1/100 mm at the current zoom.
    double PixelsPerUnit() const;

    static constexpr double kMinZoom = 0.01;
    static constexpr double kMaxZoom = 32.0;

  signals:
    void zoomChanged(double zoom);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    // The page's size in device pixels at the current zoom.
    QSizeF PageSizePx() const;
    // Where the page's top-left corner lies in the viewport: centred when
    // the page is narrower or lower than the viewport, else moved by the
    // scroll bars.
    QPointF PageTopLeft() const;
    void UpdateScrollBars();
    void ApplyFit();

    const PagePicture& picture_;
    double zoom_ = 1.0;
    Fit fit_ = Fit::Page;
    bool dragging_ = false;
    QPoint dragFrom_;
};

// The window that holds the view and its zoom buttons.
class PagePreviewWindow : public QWidget {
    Q_OBJECT
  public:
    // A window of its own, hidden; destroyed with parent.
    explicit PagePreviewWindow(const PagePicture& picture, QWidget* parent = nullptr);

    PageView& View() { return *view_; }
    // The picture was recorded anew.
    void PictureChanged();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowZoom(double zoom);

    PageView* view_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
};

} // namespace karvello
