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
    NumberBox box;
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

TEST(NumberBox, TextThatIsNoWholeNumberShowsInTheErrorColourWithATooltip) {
    struct Row {
        const char* text;
        bool whole;
    };
    const Row rows[] = {
        {"12.5", false}, {"", false},   {"2147483648", false}, {"-", false},
        {"-7", true},    {"+12", true}, {"0", true},
    };
    NumberBox box;
    const QColor normal = box.palette().color(QPalette::Base);
    ASSERT_NE(normal, ErrorColour());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        box.SetText(QString::fromLatin1(row.text));
        EXPECT_EQ(box.HoldsWholeNumber(), row.whole);
        EXPECT_EQ(box.palette().color(QPalette::Base), row.whole ? normal : ErrorColour());
        EXPECT_EQ(box.toolTip().isEmpty(), row.whole) << box.toolTip().toStdString();
    }
    box.SetText(QStringLiteral("12.5"));
    EXPECT_EQ(box.toolTip(),
              QStringLiteral("\u201C12.5\u201D is not a whole number, so it counts as 0."));
    EXPECT_EQ(box.Value(), 0) << "what counted as 0 still does";
}

TEST(MarkerComboBox, TypingAMarkersNameFindsItsEntry) {
    MarkerComboBox combo;
    combo.addItems({"(0) A1", "(1) B2", "(2) bx7", "(64) C3", "(65) (odd"});
    struct Row {
        const char* typed;
        int row;
    };
    const Row rows[] = {
        {"b", 1},     {"BX", 2}, {"c3", 3},
        {"(64", 3},   {"(6", 3}, {"(o", 4}, // a name that starts with a bracket is still a name
        {"(0) A", 0}, {"z", -1}, {"", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        EXPECT_EQ(combo.FindEntry(QString::fromLatin1(row.typed)), row.row);
    }
    QSignalSpy chosen(&combo, &QComboBox::activated);
    QTest::keyClicks(&combo, "c3");
    EXPECT_EQ(combo.currentIndex(), 3);
    ASSERT_EQ(chosen.size(), 1) << "chosen once, as if clicked";
    EXPECT_EQ(chosen.front().front().toInt(), 3);
}

TEST(KeepInsideScreen, AWindowIsMovedAsLittleAsItTakesToLieInTheArea) {
    struct Row {
        const char* name;
        QRect frame;
        QRect available;
        QPoint place;
    };
    const Row rows[] = {
        {"inside stays", QRect(10, 10, 100, 100), QRect(0, 0, 800, 600), QPoint(10, 10)},
        {"options window at scale 2 on a 900-pixel screen", QRect(272, 185, 289, 385),
         QRect(0, 0, 720, 450), QPoint(272, 65)},
        {"off the left and the right", QRect(-50, 10, 100, 100), QRect(0, 0, 800, 600),
         QPoint(0, 10)},
        {"off the right", QRect(750, 10, 100, 100), QRect(0, 0, 800, 600), QPoint(700, 10)},
        {"under a top panel", QRect(0, 0, 100, 100), QRect(0, 30, 800, 570), QPoint(0, 30)},
        {"larger than the area", QRect(100, 100, 900, 700), QRect(0, 0, 800, 600), QPoint(0, 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PlaceInside(row.frame, row.available), row.place);
    }
}

TEST(NumberBox, EnterIsRefusedAndNotPassedOnToTheWindow) {
    NumberBox box;
    box.SetValue(5);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(&box, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(box.Text(), QStringLiteral("5"));
}

TEST(NumberBox, ArrowsAndKeysStepByOneWithoutBoundsOrWrapping) {
    NumberBox box;
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
    ColourSwatch swatch;
    swatch.resize(13, 13);
    QSignalSpy spy(&swatch, &ColourSwatch::mouseUp);
    QTest::mouseClick(&swatch, Qt::LeftButton);
    QTest::mouseClick(&swatch, Qt::RightButton);
    QTest::mouseClick(&swatch, Qt::MiddleButton);
    EXPECT_EQ(spy.count(), 3);
    swatch.setEnabled(false);
    QTest::mouseClick(&swatch, Qt::LeftButton);
    EXPECT_EQ(spy.count(), 3);
}

TEST(ColourSwatch, PaintsItsColourInsideABlackOutline) {
    ColourSwatch swatch;
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
