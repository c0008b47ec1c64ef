// The main window and the program start: availability, loading through the
// file boxes, selecting and flipping, the preview, options, drawing, errors.
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "tests/support/FakeCanvas.h"
#include "tests/support/FixtureFiles.h"
#include "tests/ui/windows/WindowTestSupport.h"
#include "ui/AnnotationsWindow.h"
#include "ui/Controls.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/ProgramStart.h"

namespace karvello {
namespace {

using test::Child;

const char* const kMapControls[] = {
    "LabelMaps",      "LabelTickHint",     "LabelPreview",     "ListMaps",        "ButtonDraw",
    "CheckFlip",      "ButtonOptions",     "LabelInformation", "EditInformation", "ButtonTickAll",
    "ButtonTickNone", "ButtonPagePreview", "ButtonAnnotations"};
const char* const kStartControls[] = {"EditInput",          "EditOutput", "ButtonBrowseInput",
                                      "ButtonBrowseOutput", "ButtonLoad", "ButtonExit"};

// Counts the paints of one widget.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* watched) : watched_(watched) {
        watched->installEventFilter(this);
    }
    int Count() const { return count_; }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == watched_ && event->type() == QEvent::Paint) {
            ++count_;
        }
        return false;
    }

  private:
    QWidget* watched_;
    int count_ = 0;
};

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() { windows = CreateWindows(dialogs.Make(), FakePlatform()); }

    // Canvases and a preview surface that record what the window asks of them.
    PlatformServices FakePlatform() {
        PlatformServices services;
        services.CreateFileCanvas = canvases.Factory();
        services.CreatePreviewSurface = [this](QPainter&, const QFont&, QColor, const ScreenInfo&) {
            return std::make_unique<test::ForwardingSurface>(preview);
        };
        preview.SetWindowExtent(32000, 24000);
        return services;
    }

    MainWindow& form() { return *windows.Form2; }
    void Click(const char* name) {
        QTest::mouseClick(Child<QAbstractButton>(form(), name), Qt::LeftButton);
    }
    void LoadExample() {
        Child<QLineEdit>(form(), "EditInput")
            ->setText(QString::fromStdString(test::ExamplePath("mouse.raw")));
        Child<QLineEdit>(form(), "EditOutput")
            ->setText(QString::fromStdString(test::ExamplePath("mouse_tutorial.out")));
        Click("ButtonLoad");
        ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();
        ASSERT_GE(List()->count(), 2);
    }
    QListWidget* List() { return Child<QListWidget>(form(), "ListMaps"); }
    QString Status() { return Child<QLabel>(form(), "StatusLine")->text(); }
    // Clicks a map entry's text, as the user selects it.
    void ClickEntry(int row) {
        form().show();
        const QRect rect = List()->visualItemRect(List()->item(row));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Clicks an entry's tick box, as the user ticks it.
    void ClickTickBox(int row) {
        form().show();
        QStyleOptionViewItem option;
        option.initFrom(List()->viewport());
        option.rect = List()->visualItemRect(List()->item(row));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            List()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, List());
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, box.center());
    }
    // Paints the preview box as the window system asks for it.
    std::vector<std::string> PaintPreview() {
        preview.ClearLog();
        Child<QWidget>(form(), "PreviewBox")->grab();
        return preview.Log();
    }

    test::FakeDialogs dialogs;
    test::RecordingSurface preview;
    test::FakeCanvases canvases;
    ProgramWindows windows;
};

TEST_F(MainWindowTest, StartsWithOnlyTheFileControlsAvailable) {
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Karvello"));
    EXPECT_FALSE(form().isVisible());
    ASSERT_NE(windows.OptionFrm, nullptr);
    EXPECT_FALSE(windows.OptionFrm->isVisible());
    EXPECT_EQ(windows.OptionFrm->parent(), &form());
    for (const char* name : kMapControls) {
        EXPECT_FALSE(Child<QWidget>(form(), name)->isEnabled()) << name;
    }
    for (const char* name : kStartControls) {
        EXPECT_TRUE(Child<QWidget>(form(), name)->isEnabled()) << name;
    }
    EXPECT_EQ(form().focusWidget(), Child<QWidget>(form(), "EditInput"));
    EXPECT_EQ(form().size(), QSize(433, 350));
    EXPECT_EQ(Child<QWidget>(form(), "PreviewBox")->geometry(), QRect(136, 104, 297, 185));
    EXPECT_EQ(Child<QWidget>(form(), "ListMaps")->geometry(), QRect(8, 104, 121, 113));
    EXPECT_EQ(Child<QLabel>(form(), "LabelTickHint")->text(),
              QStringLiteral("(tick those to draw)"));
    EXPECT_FALSE(Child<QToolButton>(form(), "ButtonBrowseInput")->icon().isNull());
    // Before any load the preview shows only the window's background.
    EXPECT_EQ(PaintPreview(), (std::vector<std::string>{"Fill 297 185"}));
}

TEST(ProgramStart, TheTitleNamesTheProgramWithoutJoiningOtherWindowsCaptions) {
    const QString before = QCoreApplication::applicationName();
    SetApplicationTitle();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Karvello"));
    // Qt's display name follows the application name only while it was never
    // set of its own; once set, X11 captions read "Options - Karvello".
    QCoreApplication::setApplicationName(QStringLiteral("renamed"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("renamed"));
    QCoreApplication::setApplicationName(before);
}

TEST_F(MainWindowTest, FocusMovesInTheDesignedOrder) {
    test::ExpectFocusOrder(form(), {"ListMaps", "CheckFlip", "EditInput", "EditOutput",
                                    "ButtonLoad", "ButtonOptions", "ButtonExit", "ButtonDraw",
                                    "EditInformation", "ButtonTickAll", "ButtonTickNone",
                                    "ButtonPagePreview", "ButtonAnnotations"});
}

TEST_F(MainWindowTest, LoadWithEmptyBoxesShowsTheFileErrorAndKeepsTheControlsUnavailable) {
    Click("ButtonLoad");
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("Cannot open file \"")))
        << dialogs.errors[0].toStdString();
    // The file's path in quotes, the system's reason, and the full stop the
    // error box adds.
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("\". ")));
    EXPECT_TRUE(dialogs.errors[0].endsWith(u'.'));
    EXPECT_FALSE(dialogs.errors[0].endsWith(QStringLiteral("..")));
    for (const char* name : kMapControls) {
        EXPECT_FALSE(Child<QWidget>(form(), name)->isEnabled()) << name;
    }
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(MainWindowTest, LoadsTheExampleChosenThroughThePictureButtons) {
    const QString raw = QString::fromStdString(test::ExamplePath("mouse.raw"));
    const QString out = QString::fromStdString(test::ExamplePath("mouse_tutorial.out"));
    dialogs.openAnswers = {raw, out, std::nullopt};
    Click("ButtonBrowseInput");
    Click("ButtonBrowseOutput");
    // One dialog serves both buttons, so the second opens on the first's file.
    EXPECT_EQ(dialogs.openStartFiles, (std::vector<QString>{QString(), raw}));
    EXPECT_EQ(Child<QLineEdit>(form(), "EditInput")->text(), raw);
    EXPECT_EQ(Child<QLineEdit>(form(), "EditOutput")->text(), out);
    Click("ButtonBrowseInput");
    EXPECT_EQ(Child<QLineEdit>(form(), "EditInput")->text(), raw) << "cancelling changes nothing";

    Click("ButtonLoad");
    ASSERT_TRUE(dialogs.errors.empty());
    const Workspace& ws = form().workspace();
    ASSERT_GE(ws.Maps().size(), 2u);
    ASSERT_EQ(List()->count(), static_cast<int>(ws.Maps().size()));
    for (int row = 0; row < List()->count(); ++row) {
        // Each entry names the map's number, marker count and length.
        EXPECT_EQ(List()->item(row)->text(),
                  QString::fromStdString(ws.MapListEntries()[static_cast<std::size_t>(row)]));
        EXPECT_TRUE(List()->item(row)->text().startsWith(QString::number(row + 1) + u':'));
        EXPECT_EQ(List()->item(row)->toolTip(), List()->item(row)->text())
            << "cut short in the box";
        EXPECT_EQ(List()->item(row)->checkState(), Qt::Unchecked);
    }
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    for (const char* name : kMapControls) {
        EXPECT_TRUE(Child<QWidget>(form(), name)->isEnabled()) << name;
    }
    const QString memo = Child<QPlainTextEdit>(form(), "EditInformation")->toPlainText();
    EXPECT_TRUE(memo.startsWith(QStringLiteral("Unmapped markers:\n=================\n")))
        << memo.left(80).toStdString();
    EXPECT_TRUE(memo.contains(QStringLiteral("\n\nMarker positions (chromosome, position)\n")));
    EXPECT_EQ(memo.count(u'\n') + 1,
              QString::fromLatin1(ws.InformationText().c_str()).count(QStringLiteral("\r\n")));
}

TEST_F(MainWindowTest, AFailedLoadKeepsTheControlsAndTheInformationText) {
    LoadExample();
    const QString memo = Child<QPlainTextEdit>(form(), "EditInformation")->toPlainText();
    Child<QLineEdit>(form(), "EditOutput")->setText(QStringLiteral("/nonexistent/out.txt"));
    Click("ButtonLoad");
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("/nonexistent/out.txt")));
    EXPECT_EQ(List()->count(), 0);
    EXPECT_TRUE(Child<QWidget>(form(), "ButtonDraw")->isEnabled());
    EXPECT_EQ(Child<QPlainTextEdit>(form(), "EditInformation")->toPlainText(), memo);
}

TEST_F(MainWindowTest, EveryLoadRepaintsThePreviewSoThatNoMapOfOtherDataStays) {
    LoadExample();
    ClickEntry(0);
    QWidget* box = Child<QWidget>(form(), "PreviewBox");
    for (const char* output : {"mouse_tutorial.out", "absent.out"}) {
        SCOPED_TRACE(output);
        QCoreApplication::processEvents();
        PaintCounter counter(box);
        Child<QLineEdit>(form(), "EditOutput")
            ->setText(QString::fromStdString(test::ExamplePath(output)));
        Click("ButtonLoad");
        QCoreApplication::processEvents();
        EXPECT_GT(counter.Count(), 0);
        EXPECT_EQ(PaintPreview(), (std::vector<std::string>{"Fill 297 185"}));
    }
    EXPECT_EQ(dialogs.errors.size(), 1u) << "the absent file";
}

TEST_F(MainWindowTest, FilesInTheWrongBoxesAreNamedInTheStatusLineWithoutABox) {
    Child<QLineEdit>(form(), "EditInput")
        ->setText(QString::fromStdString(test::ExamplePath("mouse_tutorial.out")));
    Child<QLineEdit>(form(), "EditOutput")
        ->setText(QString::fromStdString(test::ExamplePath("mouse.raw")));
    Click("ButtonLoad");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(List()->count(), 0);
    EXPECT_TRUE(Status().contains(QStringLiteral("mouse_tutorial.out\" does not begin with "
                                                 "Mapmaker's \"data type\" line")))
        << Status().toStdString();
    EXPECT_TRUE(Status().contains(QStringLiteral("No map was found in the output file")));
    EXPECT_EQ(Child<QLabel>(form(), "StatusLine")->toolTip(), Status());

    LoadExample();
    EXPECT_EQ(Status(), QStringLiteral("Loaded %1 maps.").arg(List()->count()));
}

TEST_F(MainWindowTest, TabLeavesTheInformationBoxAndEnterInAFileBoxLoads) {
    form().show();
    Child<QLineEdit>(form(), "EditInput")
        ->setText(QString::fromStdString(test::ExamplePath("mouse.raw")));
    auto* outputBox = Child<QLineEdit>(form(), "EditOutput");
    outputBox->setText(QString::fromStdString(test::ExamplePath("mouse_tutorial.out")));
    QTest::keyClick(outputBox, Qt::Key_Return);
    EXPECT_GE(List()->count(), 2) << "Enter loaded the pair";
    EXPECT_TRUE(dialogs.errors.empty());

    auto* memo = Child<QPlainTextEdit>(form(), "EditInformation");
    const QString text = memo->toPlainText();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_EQ(memo->toPlainText(), text) << "no tab typed into the text";
    EXPECT_EQ(form().focusWidget(), Child<QWidget>(form(), "ButtonTickAll"));
}

TEST_F(MainWindowTest, OpenPutsTheFilesInTheirBoxesAndLoadsThem) {
    const QString raw = QString::fromStdString(test::ExamplePath("mouse.raw"));
    const QString out = QString::fromStdString(test::ExamplePath("mouse_tutorial.out"));
    form().OpenFiles(raw, out);
    EXPECT_EQ(Child<QLineEdit>(form(), "EditInput")->text(), raw);
    EXPECT_EQ(Child<QLineEdit>(form(), "EditOutput")->text(), out);
    EXPECT_EQ(List()->count(), static_cast<int>(form().workspace().Maps().size()));
    EXPECT_GE(List()->count(), 2);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindowTest, TickAllAndTickNoneTickEveryEntryAndTheWorkspaceAlike) {
    LoadExample();
    for (const auto& [button, state] :
         {std::pair{"ButtonTickAll", Qt::Checked}, std::pair{"ButtonTickNone", Qt::Unchecked}}) {
        SCOPED_TRACE(button);
        Click(button);
        for (int row = 0; row < List()->count(); ++row) {
            EXPECT_EQ(List()->item(row)->checkState(), state);
            EXPECT_EQ(form().workspace().Ticked(row), state == Qt::Checked);
        }
    }
}

TEST_F(MainWindowTest, AWindowOpenedOffTheScreenIsMovedOntoIt) {
    form().move(5000, 5000);
    form().show();
    QCoreApplication::processEvents();
    const QRect available = form().screen()->availableGeometry();
    EXPECT_TRUE(available.contains(form().frameGeometry()))
        << form().frameGeometry().x() << "," << form().frameGeometry().y();
}

TEST_F(MainWindowTest, SelectingAndFlippingMirrorTheMapsFlagAndRepaintThePreview) {
    LoadExample();
    auto* flip = Child<QCheckBox>(form(), "CheckFlip");
    ClickEntry(0);
    EXPECT_EQ(form().workspace().SelectedMap(), 0);
    const std::vector<std::string> upright = PaintPreview();
    EXPECT_GT(upright.size(), 10u) << "the selected map is drawn";
    EXPECT_EQ(upright.front(), "Fill 297 185");

    Click("CheckFlip");
    EXPECT_TRUE(form().workspace().Maps()[0].Flipped);
    const std::vector<std::string> flipped = PaintPreview();
    EXPECT_NE(flipped, upright);

    ClickEntry(1);
    EXPECT_FALSE(flip->isChecked()) << "map 2 was never flipped";
    EXPECT_TRUE(form().workspace().Maps()[0].Flipped);
    ClickEntry(0);
    EXPECT_TRUE(flip->isChecked());
    EXPECT_EQ(PaintPreview(), flipped);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindowTest, APreviewThatFailsReportsOnceAndNotOnEveryRepaint) {
    LoadExample();
    preview.FailAfter(3);
    ClickEntry(0);
    PaintPreview();
    QCoreApplication::processEvents();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("The recording surface failed on purpose."));
    preview.FailAfter(3);
    PaintPreview();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.errors.size(), 1u);
}

TEST_F(MainWindowTest, DrawWithNoMapTickedShowsTheMessageAndOpensNoDialog) {
    LoadExample();
    Click("ButtonDraw");
    EXPECT_EQ(dialogs.saveCalls, 0);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("No map is ticked. Tick the maps to draw."));
    EXPECT_TRUE(canvases.paths.empty());
}

TEST_F(MainWindowTest, DrawWritesTheTickedMapsToTheNameChosen) {
    LoadExample();
    ClickTickBox(1);
    EXPECT_TRUE(form().workspace().Ticked(1));
    EXPECT_FALSE(form().workspace().Ticked(0));
    EXPECT_TRUE(List()->selectedItems().isEmpty()) << "ticking selects nothing";
    EXPECT_EQ(form().workspace().SelectedMap(), -1);

    dialogs.saveAnswers = {std::nullopt};
    Click("ButtonDraw");
    EXPECT_TRUE(canvases.paths.empty()) << "a cancelled save dialog writes nothing";

    dialogs.saveAnswers = {QStringLiteral("/tmp/maps.emf")};
    Click("ButtonDraw");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(canvases.paths, (std::vector<std::string>{"/tmp/maps.emf"}));
    EXPECT_EQ(canvases.commits, (std::vector<std::string>{"/tmp/maps.emf"}));
}

TEST_F(MainWindowTest, DrawWarnsInTheStatusLineWhenThePageLeavesNoRoomForTheBars) {
    LoadExample();
    dialogs.options = [&](OptionsWindow& window) {
        Child<NumberBox>(window, "SpinPageHeight")->SetText(QStringLiteral("12.5"));
        QTest::mouseClick(Child<QPushButton>(window, "ButtonOk"), Qt::LeftButton);
        return window.result();
    };
    Click("ButtonOptions");
    ASSERT_EQ(form().workspace().Settings().PageHeight, 0);
    List()->item(0)->setCheckState(Qt::Checked);
    dialogs.saveAnswers = {QStringLiteral("/tmp/maps.emf")};
    Click("ButtonDraw");
    EXPECT_TRUE(dialogs.errors.empty()) << "a warning, not a refusal";
    EXPECT_EQ(canvases.commits, (std::vector<std::string>{"/tmp/maps.emf"}));
    EXPECT_TRUE(Status().startsWith(QStringLiteral("The page height (0) leaves no room")))
        << Status().toStdString();
}

// What the drawing reports (a map wider than its row) is shown in the
// status line as the command line writes it to standard error; the window
// once dropped it. The save dialog offers the PNG at the resolution chosen.
TEST_F(MainWindowTest, DrawShowsTheDrawingsWarningsAndOffersThePngAtTheChosenResolution) {
    LoadExample();
    dialogs.options = [&](OptionsWindow& window) {
        Child<NumberBox>(window, "SpinPageWidth")->SetValue(3000);
        Child<NumberBox>(window, "SpinRightMargin")->SetValue(0);
        Child<QCheckBox>(window, "CheckRowWidth")->setChecked(true);
        Child<QLineEdit>(window, "EditLayout")->setText(QStringLiteral("classic"));
        Child<QSpinBox>(window, "SpinDpi")->setValue(600);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonOk"), Qt::LeftButton);
        return window.result();
    };
    Click("ButtonOptions");
    ASSERT_EQ(form().workspace().Figure().RowWidth, 3000);
    Click("ButtonTickAll");
    dialogs.saveAnswers = {QStringLiteral("/tmp/maps.emf")};
    Click("ButtonDraw");
    EXPECT_TRUE(dialogs.errors.empty()) << "a warning, not a refusal";
    EXPECT_EQ(dialogs.saveDpis, (std::vector<std::int32_t>{600}));
    EXPECT_EQ(canvases.commits, (std::vector<std::string>{"/tmp/maps.emf"}));
    EXPECT_TRUE(Status().startsWith(QStringLiteral("Map 1 is "))) << Status().toStdString();
    EXPECT_TRUE(Status().contains(QStringLiteral("stands alone in its row")))
        << Status().toStdString();
    EXPECT_EQ(Child<QLabel>(form(), "StatusLine")->toolTip(), Status());
}

TEST_F(MainWindowTest, OptionsAreTakenBackOnOkOnly) {
    LoadExample();
    const PageLengths before = form().workspace().Settings();
    dialogs.options = [&](OptionsWindow& window) {
        auto* width = Child<NumberBox>(window, "SpinPageWidth");
        EXPECT_EQ(width->Value(), before.PageWidth) << "the window is filled before it shows";
        width->SetValue(12345);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonNewRange"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonCancel"), Qt::LeftButton);
        return window.result();
    };
    // A map is shown, so that a preview rendered after the options window
    // closes would reach the recording surface.
    ClickEntry(0);
    QCoreApplication::processEvents();
    preview.ClearLog();
    Click("ButtonOptions");
    QCoreApplication::processEvents();
    EXPECT_EQ(form().workspace().Settings(), before);
    EXPECT_TRUE(form().workspace().ColourRanges().empty());
    EXPECT_TRUE(preview.Log().empty()) << "Cancel does not render the preview";

    dialogs.options = [&](OptionsWindow& window) {
        Child<NumberBox>(window, "SpinPageWidth")->SetValue(12345);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonNewRange"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonOk"), Qt::LeftButton);
        return window.result();
    };
    Click("ButtonOptions");
    QCoreApplication::processEvents();
    ASSERT_FALSE(preview.Log().empty()) << "OK renders the preview last";
    EXPECT_EQ(preview.Log().front(), "Fill 297 185");
    EXPECT_EQ(dialogs.optionsCalls, 2);
    EXPECT_EQ(form().workspace().Settings().PageWidth, 12345);
    EXPECT_EQ(form().workspace().ColourRanges(), (ColourRangeList{{0, 0, 0}}));
}

TEST_F(MainWindowTest, ASettingsFileLoadedInTheOptionsWindowBringsItsAnnotationsOnOk) {
    LoadExample();
    test::TempFolder folder;
    folder.Write("qtl.csv", "map,name,start,end\n1,qA,2,8\n");
    const std::string settings = folder.Write(
        "figure.json", "{\"figure\": {\"MapsPerRow\": 3}, \"annotations\": {\"ruler\": true, "
                       "\"qtlFile\": \"qtl.csv\"}}");
    dialogs.settingsAnswers = {QString::fromStdString(settings)};
    dialogs.options = [&](OptionsWindow& window) {
        QTest::mouseClick(Child<QPushButton>(window, "ButtonLoadSettings"), Qt::LeftButton);
        EXPECT_EQ(Child<QSpinBox>(window, "SpinMapsPerRow")->value(), 3);
        QTest::mouseClick(Child<QPushButton>(window, "ButtonOk"), Qt::LeftButton);
        return window.result();
    };
    Click("ButtonOptions");
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();
    EXPECT_EQ(form().workspace().Figure().MapsPerRow, 3);
    EXPECT_TRUE(form().workspace().Annotations().Ruler);
    ASSERT_TRUE(form().workspace().QtlTable().has_value());
    EXPECT_EQ(form().workspace().QtlTable()->Qtls.at(0).Name, "qA");
    AnnotationsWindow& annotations = form().annotationsWindow();
    EXPECT_TRUE(Child<QCheckBox>(annotations, "CheckRuler")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(annotations, "EditQtlTable")->text(),
              QString::fromStdString(folder.Path("qtl.csv")));
}

TEST_F(MainWindowTest, AMapTableOpensFromItsButtonOrADropAndAMapmakerPairReplacesIt) {
    test::TempFolder folder;
    const QString table = QString::fromStdString(
        folder.Write("map.csv", "group,position,locus\nLG3,0,a\nLG3,7.5,\xC3\xA9\nLG4,0,c\n"));
    dialogs.openAnswers.push_back(table);
    Click("ButtonOpenMapTable");
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();
    EXPECT_EQ(List()->count(), 2);
    EXPECT_EQ(Child<QLineEdit>(form(), "EditInput")->text(), table);
    EXPECT_EQ(Child<QLineEdit>(form(), "EditOutput")->text(), QString());
    EXPECT_EQ(Status(), QStringLiteral("Loaded 2 maps."));
    EXPECT_TRUE(Child<QPushButton>(form(), "ButtonDraw")->isEnabled())
        << "Draw works as for a pair";
    // Names typed for the table are taken in its encoding, UTF-8.
    Child<QPlainTextEdit>(form().annotationsWindow(), "EditShowOnly")
        ->setPlainText(QString::fromUtf8("\u00E9"));
    ASSERT_TRUE(form().workspace().Annotations().ShowOnly.has_value());
    EXPECT_EQ(*form().workspace().Annotations().ShowOnly,
              (std::unordered_set<std::string>{"\xC3\xA9"}));

    LoadExample();
    EXPECT_EQ(List()->count(), 6);

    const auto drop = [this](const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&form(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&form(), &dropped);
    };
    drop({table});
    EXPECT_EQ(List()->count(), 2) << "one file dropped is a map table";
    // A pair dropped output first still loads, its input file found by its heading.
    const QString input = QString::fromStdString(test::ExamplePath("mouse.raw"));
    const QString output = QString::fromStdString(test::ExamplePath("mouse_tutorial.out"));
    drop({output, input});
    EXPECT_EQ(List()->count(), 6);
    EXPECT_EQ(Child<QLineEdit>(form(), "EditInput")->text(), input);
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();
}

TEST_F(MainWindowTest, EnlargingTheWindowMovesAndStretchesTheAnchoredControls) {
    form().show();
    form().resize(433 + 100, 350 + 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(Child<QWidget>(form(), "PreviewBox")->geometry(), QRect(136, 104, 397, 235));
    EXPECT_EQ(Child<QWidget>(form(), "EditInformation")->geometry(), QRect(0, 288, 129, 83));
    EXPECT_EQ(Child<QWidget>(form(), "ButtonExit")->geometry(), QRect(452, 346, 75, 25));
    EXPECT_EQ(Child<QWidget>(form(), "CheckFlip")->geometry(), QRect(136, 346, 97, 17));
    EXPECT_EQ(Child<QWidget>(form(), "ButtonOptions")->geometry(), QRect(248, 346, 75, 25));
    EXPECT_EQ(Child<QWidget>(form(), "RuleBelowFiles")->width(), 533);
    EXPECT_EQ(Child<QWidget>(form(), "ListMaps")->geometry(), QRect(8, 104, 121, 113));
    EXPECT_EQ(Child<QWidget>(form(), "EditInput")->geometry(), QRect(104, 0, 297, 21));
}

TEST_F(MainWindowTest, AnnotationsApplyAtOnceAndADoubleClickedMapTakesATitle) {
    LoadExample();
    Click("ButtonTickAll");
    Click("ButtonAnnotations");
    AnnotationsWindow& window = form().annotationsWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(form().workspace().Annotations() == FigureAnnotations());

    Child<QCheckBox>(window, "CheckTitles")->click();
    Child<QCheckBox>(window, "CheckLinks")->click();
    Child<QPlainTextEdit>(window, "EditShowOnly")->setPlainText(QStringLiteral("M067, D030\nA063"));
    const FigureAnnotations& applied = form().workspace().Annotations();
    EXPECT_TRUE(applied.Titles);
    EXPECT_TRUE(applied.Links);
    EXPECT_FALSE(applied.Ruler);
    ASSERT_TRUE(applied.ShowOnly.has_value());
    EXPECT_EQ(*applied.ShowOnly, (std::unordered_set<std::string>{"M067", "D030", "A063"}));

    // A QTL table: a bad one is refused with its message and the box shows
    // the former (none); a good one is taken.
    test::TempFolder folder;
    const std::string bad = folder.Write("bad.csv", "map,name,start,end\n9,q,1,2\n");
    const std::string good = folder.Write("good.csv", "map,name,start,end\n1,qGood,2,8\n");
    dialogs.openAnswers.push_back(QString::fromStdString(bad));
    Click("ButtonChooseQtl");
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("is not a map of the loaded data")));
    EXPECT_EQ(Child<QLineEdit>(window, "EditQtlTable")->text(), QString());
    EXPECT_FALSE(form().workspace().QtlTable().has_value());
    dialogs.openAnswers.push_back(QString::fromStdString(good));
    Click("ButtonChooseQtl");
    EXPECT_EQ(dialogs.errors.size(), 1u);
    ASSERT_TRUE(form().workspace().QtlTable().has_value());
    EXPECT_EQ(form().workspace().QtlTable()->Qtls.size(), 1u);

    // Double-clicking map 2 asks for its title, starting with the usual one.
    form().show();
    dialogs.textAnswers.push_back(QStringLiteral("Chr 2 (F2)"));
    const QRect rect = List()->visualItemRect(List()->item(1));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(dialogs.textStarts, (std::vector<QString>{QStringLiteral("Map 2")}));
    EXPECT_EQ(form().workspace().Annotations().TitleTexts.at(2), "Chr 2 (F2)");
    EXPECT_TRUE(form().workspace().Annotations().Titles) << "the window's choices stay";

    // The page shows all of it.
    test::RecordingSurface recorder;
    form().workspace().DrawPage(recorder);
    const std::string page = recorder.Text();
    for (const char* text : {"\"Chr 2 (F2)\"", "\"Map 1\"", "\"qGood\"", "\"M067\""}) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(page.find("\"L062\""), std::string::npos) << "not among the names to show";
}

TEST_F(MainWindowTest, ExitEndsTheMessageLoop) {
    form().show();
    QTimer::singleShot(0, &form(), [this] { Click("ButtonExit"); });
    // A watchdog ends a loop that Exit failed to end, so the test fails
    // rather than hangs.
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(watchdogFired);
    EXPECT_FALSE(form().isVisible());
}

// The same window on the platform's own painter surface and file canvases.
class RealPlatformTest : public MainWindowTest {
  protected:
    RealPlatformTest() {
        windows = {};
        windows = CreateWindows(dialogs.Make(), PlatformServices::Default());
    }
    QImage GrabPreview() { return Child<QWidget>(form(), "PreviewBox")->grab().toImage(); }
    static int PixelsNotOf(const QImage& image, QColor colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += image.pixelColor(x, y) != colour ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(RealPlatformTest, ThePreviewDrawsTheSelectedMapAndTurnsItOver) {
    LoadExample();
    const QColor background = form().palette().color(QPalette::Window);
    const QImage empty = GrabPreview();
    ASSERT_EQ(empty.size(), QSize(297, 185) * empty.devicePixelRatio());
    EXPECT_EQ(PixelsNotOf(empty, background), 0) << "no map selected: background only";

    ClickEntry(0);
    const QImage upright = GrabPreview();
    EXPECT_GT(PixelsNotOf(upright, background), 200) << "bar, ticks and names";

    Click("CheckFlip");
    const QImage flipped = GrabPreview();
    EXPECT_GT(PixelsNotOf(flipped, background), 200);
    EXPECT_NE(flipped, upright);

    Click("CheckFlip");
    EXPECT_EQ(GrabPreview(), upright) << "flipping back restores the picture";
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(RealPlatformTest, DrawWritesAMetafileOrAnotherFormatByTheExtensionChosen) {
    LoadExample();
    List()->item(0)->setCheckState(Qt::Checked);
    const QTemporaryDir folder;
    const QString emf = folder.filePath(QStringLiteral("maps.emf"));
    const QString svg = folder.filePath(QStringLiteral("maps.svg"));
    dialogs.saveAnswers = {emf, svg};
    Click("ButtonDraw");
    Click("ButtonDraw");
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();

    QFile metafile(emf);
    ASSERT_TRUE(metafile.open(QIODevice::ReadOnly));
    const QByteArray header = metafile.read(44);
    ASSERT_EQ(header.size(), 44);
    EXPECT_EQ(header[0], 1) << "the first record is the metafile header";
    EXPECT_EQ(header.mid(40, 4), QByteArray(" EMF"));

    QFile picture(svg);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_TRUE(picture.readAll().contains("<svg"));
}

TEST_F(RealPlatformTest, ADrawThatCannotBeWrittenShowsTheCanvasError) {
    LoadExample();
    List()->item(0)->setCheckState(Qt::Checked);
    dialogs.saveAnswers = {QStringLiteral("/nonexistent-folder/maps.emf")};
    Click("ButtonDraw");
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0],
              QStringLiteral("Canvas does not allow drawing. Cannot create file "
                             "\"/nonexistent-folder/maps.emf\". No such file or directory."));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/nonexistent-folder/maps.emf")));
}

} // namespace
} // namespace karvello
