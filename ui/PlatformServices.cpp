#include "ui/PlatformServices.h"

#include <QGuiApplication>
#include <QScreen>

#include "base/Units.h"
#include "platform/FileCanvases.h"
#include "platform/QtPainterSurface.h"

namespace karvello {

ScreenInfo PrimaryScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize pixels = screen->size();
        if (pixels.width() > 0 && pixels.height() > 0) {
            // The size in millimetres follows from the logical resolution,
            // as Windows reports a display's size, not from what the
            // monitor says of itself.
            const QSizeF millimetres(
                pixels.width() * kMillimetresPerInch / screen->logicalDotsPerInchX(),
                pixels.height() * kMillimetresPerInch / screen->logicalDotsPerInchY());
            return ScreenInfo{pixels.width(), pixels.height(), millimetres};
        }
    }
    return ScreenInfo{1024, 768,
                      QSizeF(1024 * kMillimetresPerInch / kReferenceDotsPerInch,
                             768 * kMillimetresPerInch / kReferenceDotsPerInch)};
}

PlatformServices PlatformServices::Default() {
    PlatformServices services;
    services.CreateFileCanvas = &karvello::CreateFileCanvas;
    services.CreatePreviewSurface = [](QPainter& painter, const QFont& windowFont,
                                       QColor background, const ScreenInfo& screen) {
        return std::make_unique<QtPainterSurface>(painter, windowFont, background, screen.WidthPx,
                                                  screen.HeightPx, screen.SizeMm);
    };
    return services;
}

} // namespace karvello
