// The shared controls: number boxes, colour swatches, the error box text.
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

#include "tests/ui/windows/QtPrinters.h"
#include "ui/Controls.h"
#include "ui/Dialogs.h"

namespace karvello {
namespace {

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersThatSortAfterIt) {
    struct Row {
        const char* rule;
        std::string message;
        const char* expected;
    };
    const Row rows[] = {
        {"letter", "Cannot open file \"\". No such file or directory",
         "Cannot open file \"\". No such file or directory."},
        {"full stop already", "No map is ticked. Tick the maps to draw.",
         "No map is ticked. Tick the maps to draw."},
        {"closing bracket sorts before", "List index out of bounds (3)",
         "List index out of bounds (3)"},
        {"quote sorts before", "Cannot open file \"x\"", "Cannot open file \"x\""},
        {"slash sorts after", "a/", "a/."},
        {"digit sorts after", "code 7", "code 7."},
        {"empty message", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        EXPECT_EQ(ErrorBoxText(row.message), QString::fromUtf8(row.expected));
    }
    // A byte above 127 sorts after "." too: the comparison is unsigned.
    EXPECT_TRUE(ErrorBoxText("caf\xc3\xa9").endsWith(u'.'));
}

TEST(Colours, TheWindowsFormKeepsRedInTheLowByte) {
    const QColor colour = ToQColor(0x00336699);
    EXPECT_EQ(colour, QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(FromQColor(colour), 0x00336699u);
    EXPECT_EQ(FromQColor(ToQColor(0xFF0000FF)), 0x000000FFu);
}

TEST(NumberBox, TypingTakesDigitsSignsAndTheSeparatorAndRefusesTheRest) {
    TNumberBox box;
    box.SetText(QString());
    QTest::keyClicks(&box, "-1x2 ");
    EXPECT_EQ(box.Text(), QStringLiteral("-12"));
    EXPECT_EQ(box.Value(), -12);
    QTest::keyClicks(&box, ".5");
    EXPECT_EQ(box.Text(), QStringLiteral("-12.5"));
    EXPECT_EQ(box.Value(), 0) << "a decimal separator makes the text no integer";
    box.SetText(QString());
    EXPECT_EQ(box.Value(), 0) << "an empty box reads as 0";
}

TEST(NumberBox, EnterIsRefusedAndNotPassedOnToTheWindow) {
    TNumberBox box;
    box.SetValue(5);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&box, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(box.Text(), QStringLiteral("5"));
}

TEST(NumberBox, ArrowsAndKeysStepByOneWithoutBoundsOrWrapping) {
    TNumberBox box;
    box.SetValue(0);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.Value(), -1);
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_EQ(box.Value(), 1);
    box.SetText(QStringLiteral("abc"));
    box.stepBy(1);
    EXPECT_EQ(box.Value(), 1) << "text that is no integer steps from 0";
    box.SetValue(std::numeric_limits<std::int32_t>::max());
    box.stepBy(1);
    EXPECT_EQ(box.Value(), std::numeric_limits<std::int32_t>::max());
    box.SetValue(std::numeric_limits<std::int32_t>::min());
    box.stepBy(-1);
    EXPECT_EQ(box.Value(), std::numeric_limits<std::int32_t>::min());
}

TEST(ColourSwatch, AnyMouseButtonReleasedOverAnEnabledSwatchReports) {
    TColourSwatch swatch;
    swatch.resize(13, 13);
    QSignalSpy spy(&swatch, &TColourSwatch::mouseUp);
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QTest::mouseClick(&swatch, Qt::RightButton);
    QTest::mouseClick(&swatch, Qt::MiddleButton);
    EXPECT_EQ(spy.count(), 3);
    swatch.setEnabled(false);
    QTest::mouseClick(&swatch, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 3);
}

TEST(ColourSwatch, PaintsItsColourInsideABlackOutline) {
    TColourSwatch swatch;
    swatch.resize(13, 13);
    swatch.SetColour(0x000000FF);
    const QImage image = swatch.grab().toImage();
    EXPECT_EQ(image.pixelColor(6, 6), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::black));
}

TEST(OpenFolderIcon, HasANormalAndAGreyedSixteenPixelImage) {
    const QIcon icon = OpenFolderIcon();
    const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
    const QImage greyed = icon.pixmap(16, 16, QIcon::Disabled).toImage();
    ASSERT_EQ(normal.size(), QSize(16, 16));
    ASSERT_EQ(greyed.size(), QSize(16, 16));
    EXPECT_NE(normal, greyed);
    bool anyColour = false;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor c = greyed.pixelColor(x, y);
            EXPECT_TRUE(c.alpha() == 0 || (c.red() == c.green() && c.green() == c.blue()))
                << "greyed pixel " << x << "," << y;
            anyColour = anyColour || normal.pixelColor(x, y).saturation() > 0;
        }
    }
    EXPECT_TRUE(anyColour);
}

} // namespace
} // namespace karvello
