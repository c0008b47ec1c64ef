// The Qt painter surface on an image, and the recorder that replays a
// drawing onto it.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "base/Error.h"
#include "platform/QtPainterSurface.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "render/DrawingRecorder.h"
#include "tests/support/RecordingSurface.h"

namespace karvello {
namespace {

// A display of 1000 x 500 pixels at 96 dpi: 264.58 x 132.29 mm.
constexpr int kScreenW = 1000;
constexpr int kScreenH = 500;
const QSizeF kScreenMm(1000 * 25.4 / 96, 500 * 25.4 / 96);
const QColor kBackground(0, 200, 0);
const QColor kPaper(255, 0, 0);

class PainterSurfaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtGui();
        image_ = QImage(200, 200, QImage::Format_RGB32);
        image_.fill(kPaper);
        painter_.begin(&image_);
    }
    // The preview box's surface on the image, for the display above.
    QtPainterSurface Preview() {
        return QtPainterSurface(painter_, QFont(), kBackground, kScreenW, kScreenH, kScreenMm);
    }
    QColor At(int x, int y) {
        if (painter_.isActive()) {
            painter_.end();
        }
        return image_.pixelColor(x, y);
    }

    QImage image_;
    QPainter painter_;
};

TEST_F(PainterSurfaceTest, WindowExtentIsTheDisplayInHundredthsOfAMillimetre) {
    QtPainterSurface s = Preview();
    EXPECT_EQ(s.MapMode(), MappingMode::Text);
    EXPECT_EQ(s.WindowExtent(), std::make_pair(1, 1));
    s.SetMapMode(MappingMode::HiMetric);
    EXPECT_EQ(s.MapMode(), MappingMode::HiMetric);
    EXPECT_EQ(s.WindowExtent(), std::make_pair(26458, 13229));
    // A display that reports no size is taken at 96 dpi.
    QtPainterSurface unknown(painter_, QFont(), kBackground, kScreenW, kScreenH, QSizeF());
    unknown.SetMapMode(MappingMode::HiMetric);
    EXPECT_EQ(unknown.WindowExtent(), std::make_pair(26458, 13229));
}

TEST_F(PainterSurfaceTest, TextModeDrawsInDevicePixelsWithTheBrushInside) {
    {
        QtPainterSurface s = Preview();
        s.Rectangle(10, 10, 50, 50);
    }
    EXPECT_EQ(At(10, 30), QColor(Qt::black));
    EXPECT_EQ(At(50, 30), QColor(Qt::black));
    EXPECT_EQ(At(30, 30), kBackground) << "filled with the brush";
    EXPECT_EQ(At(70, 30), kPaper);
}

TEST_F(PainterSurfaceTest, MetricModeTurnsYOverAndScalesToTheDisplay) {
    {
        QtPainterSurface s = Preview();
        s.SetMapMode(MappingMode::HiMetric);
        s.SetPenColour(0x808080);
        // 2540 units = 1 inch = 96 pixels of this display; y = -2540 lies
        // 96 pixels below the top.
        s.MoveTo(0, -2540);
        s.LineTo(2540, -2540);
    }
    EXPECT_EQ(At(50, 96), QColor(128, 128, 128));
    EXPECT_EQ(At(50, 90), kPaper);
    EXPECT_EQ(At(50, 102), kPaper);
    EXPECT_EQ(At(120, 96), kPaper) << "the line ends at 96 pixels";
}

TEST_F(PainterSurfaceTest, FillBackgroundPaintsTheBoxAndBecomesTheBrush) {
    {
        QtPainterSurface s(painter_, QFont(), QColor(0, 0, 255), kScreenW, kScreenH, kScreenMm);
        s.FillBackground(100, 100);
        s.Rectangle(120, 120, 180, 180);
    }
    EXPECT_EQ(At(50, 50), QColor(0, 0, 255));
    EXPECT_EQ(At(150, 50), kPaper);
    EXPECT_EQ(At(150, 150), QColor(0, 0, 255));
}

TEST_F(PainterSurfaceTest, TextCellIsFilledWithTheBrushBeforeTheText) {
    int width = 0;
    int height = 0;
    {
        QtPainterSurface s = Preview();
        // Blanks draw no ink, so only the opaque cell shows.
        width = s.TextWidth("      ");
        height = s.TextHeight("      ");
        s.TextOut(20, 40, "      ");
    }
    ASSERT_GT(width, 4);
    EXPECT_GE(height, 11) << "the preview font is 11 units high";
    EXPECT_EQ(At(22, 42), kBackground);
    EXPECT_EQ(At(20 + width - 2, 40 + height - 2), kBackground);
    EXPECT_EQ(At(20 + width + 2, 42), kPaper);
    EXPECT_EQ(At(22, 38), kPaper);
}

TEST_F(PainterSurfaceTest, PreviewTextIsTinyInTheMetricMode) {
    QtPainterSurface s = Preview();
    const int textModeHeight = s.TextHeight("M12");
    s.SetMapMode(MappingMode::HiMetric);
    // The font is 11 units high in either mode: 11 pixels, or 0.11 mm.
    EXPECT_EQ(s.TextHeight("M12"), textModeHeight);
    EXPECT_LT(s.TextHeight("M12"), 20);
}

TEST(DrawingRecorderTest, ReplaysEveryCallAndMeasuresAsTheMetafile) {
    EnsureQtGui();
    DrawingRecorder recorder(MetafileTextMetrics());
    recorder.SetMapMode(MappingMode::HiMetric);
    recorder.SetPenColour(0x808080);
    recorder.Rectangle(0, 0, 10, -10);
    recorder.MoveTo(5, -5);
    recorder.LineTo(20, -30);
    recorder.SetFontColour(0xFF);
    recorder.SetItalic(true);
    recorder.TextOut(7, -8, "M1");
    EXPECT_EQ(recorder.TextWidth("M1"), MetafileTextMetrics().Width("M1", true));
    EXPECT_EQ(recorder.TextHeight("M1"), MetafileTextMetrics().Height(true));

    test::RecordingSurface target;
    recorder.Replay(target);
    EXPECT_EQ(target.Log(),
              (std::vector<std::string>{"MapMode 3", "Pen 808080", "Rectangle 0 0 10 -10",
                                        "MoveTo 5 -5", "LineTo 20 -30", "FontColour FF", "Italic 1",
                                        "TextOut 7 -8 \"M1\""}));
    EXPECT_EQ(recorder.Frame().Left, 0);
    EXPECT_EQ(recorder.Frame().Top, 0);
    EXPECT_EQ(recorder.Frame().Right,
              std::max<std::int64_t>(20, 7 + MetafileTextMetrics().Width("M1", true)));
    EXPECT_EQ(recorder.Frame().Bottom,
              std::max<std::int64_t>(30, 8 + MetafileTextMetrics().Height(true)));
}

TEST(DrawingRecorderTest, ReplayOfAPartLeavesOutWhatMissesItAndKeepsTheCurrentPoint) {
    EnsureQtGui();
    DrawingRecorder recorder(MetafileTextMetrics());
    recorder.MoveTo(0, 0);
    recorder.LineTo(100, -100);  // misses the visible box
    recorder.LineTo(100, -5000); // reaches into it
    recorder.TextOut(0, -100, "far above");
    recorder.SetPenColour(0xC0C0C0); // state is always replayed
    recorder.Rectangle(0, -3000, 50, -3100);

    PageBox visible;
    visible.Include(0, 2000);
    visible.Include(1000, 4000);
    test::RecordingSurface target;
    recorder.Replay(target, visible);
    EXPECT_EQ(target.Log(),
              (std::vector<std::string>{"MoveTo 0 0", "MoveTo 100 -100", "LineTo 100 -5000",
                                        "Pen C0C0C0", "Rectangle 0 -3000 50 -3100"}));
}

} // namespace
} // namespace karvello
