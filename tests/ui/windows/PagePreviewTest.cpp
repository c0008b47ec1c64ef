// The page preview: its picture follows every change of what Draw would
// write, paints only what the recording holds, and zooms and pans.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "drawing/DrawMaps.h"
#include "mapdata/Transforms.h"
#include "platform/PagePicture.h"
#include "platform/TextMetrics.h"
#include "render/DrawingRecorder.h"
#include "ui/Controls.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/PagePreview.h"
#include "ui/ProgramStart.h"

namespace karvello {
namespace {

using test::Child;

// What the page window's picture holds, as the recording surface logs it.
std::string PictureText(const MainWindow& form) {
    test::RecordingSurface surface;
    form.PagePreviewPicture().Replay(surface);
    return surface.Text();
}

// What DrawMaps draws for the maps with the workspace's settings and colours,
// text measured as the files measure it, as the recording surface logs it.
std::string DrawingOf(const Workspace& ws, const std::vector<LinkageMap>& maps) {
    DrawingRecorder recorder(MetafileTextMetrics());
    (void)DrawMaps(maps, recorder, ws.Settings(), ws.AllMarkers());
    test::RecordingSurface surface;
    recorder.Replay(surface);
    return surface.Text();
}

class PagePreviewTest : public ::testing::Test {
  protected:
    PagePreviewTest() { windows = CreateWindows(dialogs.Make(), PlatformServices::Default()); }
    MainWindow& form() { return *windows.Form2; }
    QListWidget* List() { return Child<QListWidget>(form(), "ListMaps"); }
    void LoadExample() {
        Child<QLineEdit>(form(), "EditInput")
            ->setText(QString::fromStdString(test::ExamplePath("mouse.raw")));
        Child<QLineEdit>(form(), "EditOutput")
            ->setText(QString::fromStdString(test::ExamplePath("mouse_tutorial.out")));
        QTest::mouseClick(Child<QAbstractButton>(form(), "ButtonLoad"), Qt::LeftButton);
        ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();
        ASSERT_GE(List()->count(), 3);
    }

    test::FakeDialogs dialogs;
    ProgramWindows windows;
};

TEST_F(PagePreviewTest, ThePictureFollowsEveryChangeOfWhatDrawWouldWrite) {
    EXPECT_TRUE(form().PagePreviewPicture().Empty());
    LoadExample();
    const Workspace& ws = form().workspace();
    EXPECT_TRUE(form().PagePreviewPicture().Empty()) << "nothing ticked or selected";

    List()->setCurrentRow(1);
    EXPECT_EQ(PictureText(form()), DrawingOf(ws, {ws.Maps()[1]})) << "the selected map";

    QTest::mouseClick(Child<QCheckBox>(form(), "CheckFlip"), Qt::LeftButton);
    LinkageMap flipped = ws.Maps()[1];
    FlipMap(flipped);
    EXPECT_EQ(PictureText(form()), DrawingOf(ws, {flipped})) << "flipped at once";

    List()->item(0)->setCheckState(Qt::Checked);
    List()->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(PictureText(form()), DrawingOf(ws, {ws.Maps()[0], ws.Maps()[2]}))
        << "the ticked maps outweigh the selection";

    dialogs.options = [](OptionsWindow& window) {
        Child<NumberBox>(window, "SpinBarWidth")->SetValue(1500);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonOk"), Qt::LeftButton);
        return window.result();
    };
    QTest::mouseClick(Child<QAbstractButton>(form(), "ButtonOptions"), Qt::LeftButton);
    ASSERT_EQ(ws.Settings().BarWidth, 1500);
    EXPECT_EQ(PictureText(form()), DrawingOf(ws, {ws.Maps()[0], ws.Maps()[2]}))
        << "in the settings just taken";

    QTest::mouseClick(Child<QAbstractButton>(form(), "ButtonTickNone"), Qt::LeftButton);
    EXPECT_EQ(PictureText(form()), DrawingOf(ws, {flipped}));

    Child<QLineEdit>(form(), "EditOutput")->setText(QStringLiteral("/nonexistent/out.txt"));
    QTest::mouseClick(Child<QAbstractButton>(form(), "ButtonLoad"), Qt::LeftButton);
    EXPECT_TRUE(form().PagePreviewPicture().Empty()) << "a failed load leaves no map to show";
}

TEST_F(PagePreviewTest, TheButtonOpensTheWindowOnTheWholePage) {
    LoadExample();
    QTest::mouseClick(Child<QAbstractButton>(form(), "ButtonTickAll"), Qt::LeftButton);
    QTest::mouseClick(Child<QAbstractButton>(form(), "ButtonPagePreview"), Qt::LeftButton);
    PagePreviewWindow& window = form().PageWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.View().CurrentFit(), PageView::Fit::Page);
    const QImage shown = window.View().viewport()->grab().toImage();
    int white = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            white += shown.pixelColor(x, y) == Qt::white ? 1 : 0;
        }
    }
    EXPECT_GT(white, shown.width() * shown.height() / 10) << "a white page is shown";
    window.close();
}

// A picture of the example's first three maps, as Draw writes them.
class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Workspace ws;
        ws.Load(test::ExamplePath("mouse.raw"), test::ExamplePath("mouse_tutorial.out"));
        for (int i = 0; i < 3; ++i) {
            ws.SetTicked(i, true);
        }
        picture.Record([&](Surface& surface) { ws.DrawPage(surface); });
    }
    // The page painted at scale into an image the size of the whole page,
    // only the part in visible.
    QImage Painted(double scale, const QRect& visible) const {
        const PageBox page = picture.Page();
        QImage image(static_cast<int>(page.Width() * scale) + 1,
                     static_cast<int>(page.Height() * scale) + 1, QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        picture.Paint(painter, scale, QPointF(0, 0), visible);
        return image;
    }
    PagePicture picture;
};

TEST_F(PictureTest, APartPaintedAloneLooksAsInTheWholePage) {
    // Legible text (0.1 pixel per 1/100 mm: 28-pixel letters), and letters
    // too small to read.
    for (const double scale : {0.1, 0.01}) {
        SCOPED_TRACE(scale);
        const QImage whole = Painted(scale, QRect(QPoint(0, 0), QSize(100000, 100000)));
        const QRect part(whole.width() / 3, whole.height() / 4, whole.width() / 3,
                         whole.height() / 3);
        const QImage alone = Painted(scale, part);
        EXPECT_EQ(alone.copy(part), whole.copy(part));
        EXPECT_EQ(alone.pixelColor(part.left() - 1, part.top() - 1), QColor(Qt::gray))
            << "nothing is painted outside the part";
        int drawn = 0;
        for (int y = part.top(); y <= part.bottom(); ++y) {
            for (int x = part.left(); x <= part.right(); ++x) {
                drawn += alone.pixelColor(x, y) != QColor(Qt::white) ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 50) << "the part holds drawing, not only white page";
    }
}

TEST_F(PictureTest, AnEmptyPictureIsAMillimetreOfWhitePage) {
    PagePicture empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Page().Width(), 100);
    EXPECT_FALSE(picture.Empty());
    picture.Clear();
    EXPECT_TRUE(picture.Empty());
}

class PageViewTest : public PictureTest {
  protected:
    void SetUp() override {
        PictureTest::SetUp();
        view = std::make_unique<PageView>(picture);
        view->resize(600, 400);
        view->show();
        QCoreApplication::processEvents();
    }
    std::unique_ptr<PageView> view;
};

TEST_F(PageViewTest, FitsZoomsAboutTheCursorAndPansByDragging) {
    const PageBox page = picture.Page();
    const QSize area = view->viewport()->size();
    view->SetFit(PageView::Fit::Page);
    EXPECT_LE(page.Width() * view->PixelsPerUnit(), area.width() - 31);
    EXPECT_LE(page.Height() * view->PixelsPerUnit(), area.height() - 31);
    EXPECT_GE(std::max(page.Width() * view->PixelsPerUnit() - (area.width() - 32),
                       page.Height() * view->PixelsPerUnit() - (area.height() - 32)),
              -1.0)
        << "one of the two fills the view";

    view->SetFit(PageView::Fit::Width);
    EXPECT_NEAR(page.Width() * view->PixelsPerUnit(), view->viewport()->width() - 32, 1.0);

    view->SetZoom(1.0);
    EXPECT_EQ(view->Zoom(), 1.0);
    EXPECT_EQ(view->CurrentFit(), PageView::Fit::None);

    // Ctrl+wheel zooms by a quarter and keeps the page point under the
    // cursor; the page is larger than the view, whose 16-pixel border
    // scrolls with it.
    view->SetZoom(3.0);
    const QPoint cursor(200, 150);
    const auto scrollAt = [&] {
        return QPointF(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    };
    const auto pagePointAt = [&] {
        return (QPointF(cursor) - QPointF(16, 16) + scrollAt()) / view->PixelsPerUnit();
    };
    const QPointF pointBefore = pagePointAt();
    QWheelEvent wheel(cursor, view->viewport()->mapToGlobal(cursor), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_DOUBLE_EQ(view->Zoom(), 3.75);
    const QPointF pointAfter = pagePointAt();
    EXPECT_NEAR(pointAfter.x(), pointBefore.x(), 1.0 / view->PixelsPerUnit() + 1);
    EXPECT_NEAR(pointAfter.y(), pointBefore.y(), 1.0 / view->PixelsPerUnit() + 1);

    const QPointF before = scrollAt();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseMove(view->viewport(), QPoint(260, 170));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(260, 170));
    EXPECT_EQ(scrollAt(), before + QPointF(40, 30)) << "the page follows the mouse";

    view->SetZoom(1000);
    EXPECT_EQ(view->Zoom(), PageView::kMaxZoom);
}

TEST(PageWindow, CtrlPlusAndMinusZoomAndTheButtonsFit) {
    PagePicture picture;
    PagePreviewWindow window(picture);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(Child<QPushButton>(window, "ButtonActualSize"), Qt::LeftButton);
    EXPECT_EQ(window.View().Zoom(), 1.0);
    EXPECT_EQ(Child<QLabel>(window, "ZoomLabel")->text(), QStringLiteral("100 %"));
    QTest::keyClick(&window, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(window.View().Zoom(), 1.25);
    QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(window.View().Zoom(), 0.8);
    EXPECT_EQ(Child<QLabel>(window, "ZoomLabel")->text(), QStringLiteral("80 %"));
    QTest::mouseClick(Child<QPushButton>(window, "ButtonFitWidth"), Qt::LeftButton);
    EXPECT_EQ(window.View().CurrentFit(), PageView::Fit::Width);
    QTest::mouseClick(Child<QPushButton>(window, "ButtonFitPage"), Qt::LeftButton);
    EXPECT_EQ(window.View().CurrentFit(), PageView::Fit::Page);
}

} // namespace
} // namespace karvello
