#pragma once
// A page of drawing recorded once and painted at any scale, one part at a
// time: the page preview's picture. Text is measured as the files measure it
// and the page is the box of everything drawn, so the picture shows the
// layout the SVG, PDF and PNG files get.

#include <QPainter>
#include <QPointF>
#include <QRect>
#include <functional>
#include <memory>

#include "drawing/PageBox.h"
#include "drawing/Surface.h"
#include "render/DrawingRecorder.h"

namespace karvello {

class PagePicture {
  public:
    // A picture with nothing drawn.
    PagePicture();
    ~PagePicture();
    PagePicture(const PagePicture&) = delete;
    PagePicture& operator=(const PagePicture&) = delete;

    // Records what draw draws in place of the former picture. Creates the
    // QGuiApplication if there is none. Throws what draw throws, and
    // KarvelloError as MetafileTextMetrics does; the former picture then stays.
    void Record(const std::function<void(Surface&)>& draw);
    // Forgets the drawing.
    void Clear();

    // Whether nothing is drawn.
    bool Empty() const;
    // The page in 1/100 mm, y downward: the box of everything drawn, or 1 mm
    // square when nothing is.
    PageBox Page() const;
    // Plays the whole recording back onto target.
    void Replay(Surface& target) const;

    // Paints the part of the page that lies in the device rectangle visible:
    // the page white, the drawing over it. The page's top-left corner is at
    // topLeft in device pixels, and a 1/100 mm is pxPerUnit pixels. Text
    // less than 4 pixels high, which no one could read, is shown as a pale
    // bar of its colour over the text's cell, which is much quicker to paint.
    void Paint(QPainter& painter, double pxPerUnit, QPointF topLeft, const QRect& visible) const;

  private:
    std::unique_ptr<DrawingRecorder> recorder_;
};

} // namespace karvello
