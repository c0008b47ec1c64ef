#pragma once
// What the main window takes from the platform layer: the canvas a drawing is
// written through and the surface the preview is painted on. Passed in, so
// that a test can watch what the window asks of them.

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <functional>
#include <memory>

#include "drawing/Canvas.h"

class QPainter;

namespace karvello {

// The primary display as the preview's page size needs it.
struct ScreenInfo {
    int WidthPx = 0;
    int HeightPx = 0;
    QSizeF SizeMm;
};

// Returns the primary display's size in pixels, and in millimetres as its
// logical resolution gives it; a 1024 by 768 display of 96 pixels per inch
// when the system has no screen.
ScreenInfo PrimaryScreen();

using PreviewSurfaceFactory = std::function<std::unique_ptr<PreviewSurface>(
    QPainter& painter, const QFont& windowFont, QColor background, const ScreenInfo& screen)>;

struct PlatformServices {
    FileCanvasFactory CreateFileCanvas;
    PreviewSurfaceFactory CreatePreviewSurface;

    // The platform layer's metafile, SVG, PDF and PNG canvases and its Qt
    // painter surface.
    static PlatformServices Default();
};

} // namespace karvello
