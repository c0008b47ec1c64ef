// The options window: filling, the range list and editor, OK and Cancel.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include "mapdata/SettingsFile.h"
#include "tests/support/FixtureFiles.h"
#include "tests/ui/windows/WindowTestSupport.h"
#include "ui/Controls.h"
#include "ui/OptionsWindow.h"

namespace karvello {
namespace {

using test::Child;

MarkerTable Markers(std::initializer_list<const char*> names) {
    MarkerTable markers;
    for (const char* name : names) {
        Marker marker;
        marker.Name = name;
        markers.push_back(marker);
    }
    return markers;
}

class OptionsWindowTest : public ::testing::Test {
  protected:
    void Open(const ColourRangeList& ranges,
              const MarkerTable& markers = Markers({"A1", "B7", "C3", "D4"})) {
        window.HandIn(settings, kDefault, ranges, markers);
        window.FillControls();
    }
    QStringList Entries() {
        QStringList entries;
        auto* list = Child<QListWidget>(window, "ListRanges");
        for (int row = 0; row < list->count(); ++row) {
            entries << list->item(row)->text();
        }
        return entries;
    }
    int SelectedEntry() {
        const auto selected = Child<QListWidget>(window, "ListRanges")->selectedItems();
        return selected.isEmpty() ? -1
                                  : Child<QListWidget>(window, "ListRanges")->row(selected.front());
    }
    // Clicks an entry as the user does.
    void ClickEntry(int row) {
        auto* list = Child<QListWidget>(window, "ListRanges");
        window.show();
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Picks a marker in a marker list with the keyboard, as the user does.
    void PickWithKeys(const char* combo, int steps) {
        auto* box = Child<QComboBox>(window, combo);
        for (int k = 0; k < steps; ++k) {
            QTest::keyClick(box, Qt::Key_Down);
        }
    }
    // Replaces a text box's text by typing, as the user does.
    void Type(const char* box, const char* text) {
        auto* edit = Child<QLineEdit>(window, box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromUtf8(text));
    }
    void Click(const char* button) {
        QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
    }
    bool EditorEnabled() {
        const bool start = Child<QComboBox>(window, "ComboRangeStart")->isEnabled();
        EXPECT_EQ(Child<QComboBox>(window, "ComboRangeEnd")->isEnabled(), start);
        EXPECT_EQ(Child<ColourSwatch>(window, "SwatchRangeColour")->isEnabled(), start);
        return start;
    }

    static constexpr RgbColour kDefault = 0x000080FF;
    test::FakeDialogs dialogs;
    OptionsWindow window{dialogs.Make()};
    PageLengths settings = [] {
        PageLengths s;
        s.MapSpacing = 1234;
        s.PageHeight = 20000;
        return s;
    }();
};

TEST_F(OptionsWindowTest, IsCreatedHiddenWithItsCaptionAndNoRangeShown) {
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(window.CurrentRange(), -1);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    // The figure section stands right of the 507 pixels of the first two,
    // its twenty settings one under the other.
    EXPECT_EQ(window.size(), QSize(777, 577));
}

TEST_F(OptionsWindowTest, OpeningShowsTheCopiesWithNoRangeSelectedAndTheEditorBlank) {
    Open({{0, 1, 0x0000FF}, {3, 2, 0xFF0000}});
    EXPECT_EQ(Child<NumberBox>(window, "spinPageHeight")->Text(), QStringLiteral("20000"));
    EXPECT_EQ(Child<NumberBox>(window, "spinLeftMargin")->Value(), settings.LeftMargin);
    EXPECT_EQ(Child<NumberBox>(window, "spinLRPadding")->Value(), settings.TextPadding);
    EXPECT_EQ(Child<ColourSwatch>(window, "SwatchDefaultColour")->Colour(), kDefault);
    // A range whose start comes after its end is kept and listed.
    EXPECT_EQ(Entries(), (QStringList{"A1 to B7", "D4 to C3"}));
    EXPECT_EQ(SelectedEntry(), -1);
    EXPECT_FALSE(EditorEnabled());
    EXPECT_EQ(Child<ColourSwatch>(window, "SwatchRangeColour")->Colour(),
              FromQColor(window.palette().color(QPalette::Window)));
    auto* start = Child<QComboBox>(window, "ComboRangeStart");
    ASSERT_EQ(start->count(), 4);
    EXPECT_EQ(start->itemText(0), QStringLiteral("(0) A1"));
    EXPECT_EQ(start->itemText(3), QStringLiteral("(3) D4"));
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeEnd")->count(), 4);
}

TEST_F(OptionsWindowTest, EachNumberBoxStandsBesideItsLabelAndEditsItsOwnSetting) {
    struct Row {
        const char* box;
        const char* label;
        int top;
        std::int32_t PageLengths::*setting;
    };
    const std::vector<Row> rows = {
        {"spinPageHeight", "Page height", 0, &PageLengths::PageHeight},
        {"spinPageWidth", "Page width", 24, &PageLengths::PageWidth},
        {"spinLeftMargin", "Left margin", 56, &PageLengths::LeftMargin},
        {"spinTopMargin", "Top margin", 80, &PageLengths::TopMargin},
        {"spinRightMargin", "Right margin", 104, &PageLengths::RightMargin},
        {"spinBottomMargin", "Bottom margin", 128, &PageLengths::BottomMargin},
        {"spinTailLength", "Bar tail length", 160, &PageLengths::TailLength},
        {"spinbarWidth", "Bar width", 184, &PageLengths::BarWidth},
        {"spinPreBend", "Line pre-bend length", 216, &PageLengths::PreBendLength},
        {"spinSpacingLen", "cM spacing line length", 240, &PageLengths::SpacingLineLength},
        {"spinFrameworkLen", "Framework marker line length", 264,
         &PageLengths::FrameworkLineLength},
        {"spinExtraLen", "Ancillary marker line length", 288, &PageLengths::AncillaryLineLength},
        {"spinLRPadding", "Text left/right padding", 320, &PageLengths::TextPadding},
    };
    EXPECT_EQ(window.findChildren<NumberBox*>().size(), rows.size())
        << "the room between maps has no box";
    Open({});
    std::int32_t value = 1;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.box);
        auto* box = Child<NumberBox>(window, row.box);
        EXPECT_EQ(box->geometry(), QRect(152, row.top, 105, 22));
        const QLabel* label = nullptr;
        for (const QLabel* candidate : window.findChildren<QLabel*>()) {
            if (candidate->text() == QString::fromLatin1(row.label)) {
                label = candidate;
            }
        }
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pos(), QPoint(0, row.top + 4));
        box->SetValue(++value);
    }
    Click("ButtonOk");
    PageLengths expected = settings;
    value = 1;
    for (const Row& row : rows) {
        expected.*row.setting = ++value;
    }
    EXPECT_EQ(window.Settings(), expected);
}

TEST_F(OptionsWindowTest, ReopeningShowsNothingOfTheEarlierOpening) {
    Open({{0, 1, 0x0000FF}});
    ClickEntry(0);
    Click("ButtonNewRange");
    Child<NumberBox>(window, "spinBottomMargin")->SetValue(7);
    Open({{2, 3, 0x00FF00}}, Markers({"X", "Y", "Z", "W", "V"}));
    EXPECT_EQ(Entries(), (QStringList{"Z to W"}));
    EXPECT_EQ(SelectedEntry(), -1);
    EXPECT_FALSE(EditorEnabled());
    EXPECT_EQ(Child<NumberBox>(window, "spinBottomMargin")->Value(), settings.BottomMargin);
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeStart")->count(), 5);
}

TEST_F(OptionsWindowTest, NewAddsARangeOnTheFirstMarkerInTheColourHandedIn) {
    Open({});
    dialogs.colourAnswers = {RgbColour{0x00123456}};
    QTest::mouseClick(Child<ColourSwatch>(window, "SwatchDefaultColour"), Qt::LeftButton);
    Click("ButtonNewRange");
    EXPECT_EQ(Entries(), (QStringList{"A1 to A1"}));
    EXPECT_EQ(SelectedEntry(), 0);
    EXPECT_EQ(window.CurrentRange(), 0);
    EXPECT_TRUE(EditorEnabled());
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeStart")->currentIndex(), 0);
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeEnd")->currentIndex(), 0);
    EXPECT_EQ(Child<ColourSwatch>(window, "SwatchRangeColour")->Colour(), kDefault)
        << "a default colour picked in this opening counts only after OK";
    ASSERT_EQ(window.ColourRanges().size(), 1u);
    EXPECT_EQ(window.ColourRanges()[0], (ColourRange{0, 0, kDefault}));

    PickWithKeys("ComboRangeEnd", 2);
    EXPECT_EQ(Entries(), (QStringList{"A1 to C3"})) << "the entry is rewritten at once";
    EXPECT_EQ(window.ColourRanges()[0].EndIndex, 2);
}

TEST_F(OptionsWindowTest, EditsOfOneRangeSurviveSelectingAnother) {
    Open({{0, 0, 1}, {1, 1, 2}});
    ClickEntry(0);
    EXPECT_EQ(window.CurrentRange(), 0);
    PickWithKeys("ComboRangeStart", 1);
    dialogs.colourAnswers = {RgbColour{0x00ABCDEF}};
    QTest::mouseClick(Child<ColourSwatch>(window, "SwatchRangeColour"), Qt::RightButton);
    ASSERT_EQ(dialogs.colourStarts.size(), 1u);
    EXPECT_EQ(dialogs.colourStarts[0], 1u) << "the picker starts on the swatch's colour";
    ClickEntry(1);
    EXPECT_EQ(window.CurrentRange(), 1);
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeStart")->currentIndex(), 1);
    EXPECT_EQ(Child<ColourSwatch>(window, "SwatchRangeColour")->Colour(), 2u);
    EXPECT_EQ(window.ColourRanges()[0], (ColourRange{1, 0, 0x00ABCDEF}));
    EXPECT_EQ(Entries(), (QStringList{"B7 to A1", "B7 to B7"}));
}

TEST_F(OptionsWindowTest, CancellingThePickerChangesNothing) {
    Open({{0, 0, 1}});
    ClickEntry(0);
    dialogs.colourAnswers = {std::nullopt, std::nullopt};
    QTest::mouseClick(Child<ColourSwatch>(window, "SwatchRangeColour"), Qt::LeftButton);
    QTest::mouseClick(Child<ColourSwatch>(window, "SwatchDefaultColour"), Qt::MiddleButton);
    EXPECT_EQ(window.ColourRanges()[0].Colour, 1u);
    EXPECT_EQ(Child<ColourSwatch>(window, "SwatchDefaultColour")->Colour(), kDefault);
    EXPECT_EQ(dialogs.colourStarts, (std::vector<RgbColour>{1u, kDefault}));
}

TEST_F(OptionsWindowTest, RemoveSelectsTheNextRangeOrNoneAfterTheLast) {
    Open({{0, 0, 1}, {1, 1, 2}, {2, 2, 3}});
    Click("ButtonRemoveRange");
    EXPECT_EQ(window.ColourRanges().size(), 3u) << "Remove with no entry selected does nothing";

    ClickEntry(1);
    Click("ButtonRemoveRange");
    EXPECT_EQ(Entries(), (QStringList{"A1 to A1", "C3 to C3"}));
    EXPECT_EQ(SelectedEntry(), 1);
    EXPECT_EQ(window.CurrentRange(), 1);
    EXPECT_TRUE(EditorEnabled());
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeStart")->currentIndex(), 2);
    EXPECT_EQ(Child<ColourSwatch>(window, "SwatchRangeColour")->Colour(), 3u);

    Click("ButtonRemoveRange");
    EXPECT_EQ(Entries(), (QStringList{"A1 to A1"}));
    EXPECT_EQ(SelectedEntry(), -1);
    EXPECT_EQ(window.CurrentRange(), -1);
    EXPECT_FALSE(EditorEnabled());
    EXPECT_EQ(window.ColourRanges(), (ColourRangeList{{0, 0, 1}}));
}

TEST_F(OptionsWindowTest, OkTakesEveryBoxAsAnIntegerAndAnythingElseAsZero) {
    Open({});
    Child<NumberBox>(window, "spinTopMargin")->SetText(QString());
    Child<NumberBox>(window, "spinRightMargin")->SetValue(-50);
    Child<NumberBox>(window, "spinbarWidth")->SetText(QStringLiteral("2.5"));
    Child<NumberBox>(window, "spinExtraLen")->SetValue(777);
    dialogs.colourAnswers = {RgbColour{0x00010203}};
    QTest::mouseClick(Child<ColourSwatch>(window, "SwatchDefaultColour"), Qt::RightButton);
    Click("ButtonOk");
    EXPECT_EQ(window.result(), OptionsWindow::kResultOk);
    PageLengths expected = settings;
    expected.TopMargin = 0;
    expected.RightMargin = -50;
    expected.BarWidth = 0;
    expected.AncillaryLineLength = 777;
    EXPECT_EQ(window.Settings(), expected) << "MapSpacing passes through unchanged";
    EXPECT_EQ(window.DefaultColour(), 0x00010203u);
}

TEST_F(OptionsWindowTest, TheFigureSectionShowsTheFigureSettingsAndOkTakesThem) {
    AllSettings handed;
    handed.Draw = settings;
    handed.Figure.FontFace = "Liberation Sans";
    handed.Figure.FontHeight = 247;
    handed.Figure.Dpi = 600;
    handed.Annotations.Ruler = true; // not shown, but given back
    handed.QtlFile = "/data/qtl.csv";
    window.HandIn(handed, Markers({"A1"}), CharacterEncoding::Windows1252);
    window.FillControls();
    EXPECT_FALSE(Child<QCheckBox>(window, "checkWrapRows")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(window, "editFontFace")->text(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(Child<QLineEdit>(window, "editFontSize")->text(), QStringLiteral("247"));
    EXPECT_EQ(Child<QLineEdit>(window, "editLineWidth")->text(), QString()) << "the usual width";
    EXPECT_EQ(Child<QSpinBox>(window, "spinDpi")->value(), 600);

    // Rows take the page width less the right margin, as the boxes say.
    Child<QCheckBox>(window, "checkWrapRows")->setChecked(true);
    Child<NumberBox>(window, "spinPageWidth")->SetValue(18000);
    Child<NumberBox>(window, "spinRightMargin")->SetValue(500);
    Type("editLineWidth", "0.5pt");
    Type("editFontSize", "");
    Child<QCheckBox>(window, "checkGroupMaps")->setChecked(true);
    Click("ButtonOk");
    EXPECT_EQ(window.result(), OptionsWindow::kResultOk);
    AllSettings expected = handed;
    expected.Draw.PageWidth = 18000;
    expected.Draw.RightMargin = 500;
    expected.Figure.RowWidth = 17500;
    expected.Figure.LineWidth = 18;
    expected.Figure.FontHeight = 0;
    expected.Figure.GroupMaps = true;
    EXPECT_EQ(window.SettingsFile(), expected);
}

TEST_F(OptionsWindowTest, SettingsTheBoxesCannotShowPassThroughOkUntouched) {
    AllSettings handed;
    handed.Figure.Dpi = 250000;
    handed.Figure.Margin = -5;
    window.HandIn(handed, Markers({"A1"}), CharacterEncoding::Windows1252);
    window.FillControls();
    Click("ButtonOk");
    EXPECT_EQ(window.result(), OptionsWindow::kResultOk);
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(window.Figure(), handed.Figure);
}

TEST_F(OptionsWindowTest, NamesOfAUtfEightTableKeepTheirCharactersOverALoadedSettingsFile) {
    AllSettings handed;
    handed.Ranges = {{0, 0, 0xFF}};
    window.HandIn(handed, Markers({"\xC3\xA9t\xC3\xA9"}), CharacterEncoding::Utf8);
    window.FillControls();
    const QStringList expected{QString::fromUtf8("\u00E9t\u00E9 to \u00E9t\u00E9")};
    EXPECT_EQ(Entries(), expected);
    test::TempFolder folder;
    dialogs.settingsAnswers = {QString::fromStdString(folder.Write("empty.json", "{}"))};
    Click("ButtonLoadSettings");
    EXPECT_EQ(Entries(), expected);
}

TEST_F(OptionsWindowTest, ALengthThatIsNoneIsNamedAndOkWaits) {
    Open({});
    Type("editMargin", "2 furlongs");
    Child<NumberBox>(window, "spinbarWidth")->SetValue(99);
    window.setResult(0);
    Click("ButtonOk");
    EXPECT_EQ(window.result(), 0) << "the window stays open";
    ASSERT_EQ(dialogs.errors.size(), 1U);
    EXPECT_EQ(dialogs.errors[0],
              QStringLiteral("The edge room \"2 furlongs\" is not a length: give a whole number "
                             "of 1/100 mm, or a number with mm, cm, in or pt (7pt), or nothing for "
                             "the usual one."));
    EXPECT_EQ(window.Settings(), settings) << "nothing is taken";
}

TEST_F(OptionsWindowTest, SaveSettingsAndLoadSettingsCarryEveryBox) {
    test::TempFolder folder;
    const QString path = QString::fromStdString(folder.Path("figure.json"));
    Open({{0, 1, 0x0000FF}});
    Child<NumberBox>(window, "spinbarWidth")->SetValue(321);
    Child<QSpinBox>(window, "spinMapsPerRow")->setValue(4);
    dialogs.settingsAnswers = {path};
    Click("ButtonSaveSettings");
    const std::string saved = folder.Read("figure.json");
    EXPECT_NE(saved.find("\"BarWidth\": 321"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"MapsPerRow\": 4"), std::string::npos) << saved;
    EXPECT_NE(saved.find("{\"first\": \"A1\", \"last\": \"B7\", \"colour\": \"#FF0000\"}"),
              std::string::npos)
        << saved;

    Open({});
    EXPECT_EQ(Child<NumberBox>(window, "spinbarWidth")->Value(), settings.BarWidth);
    dialogs.settingsAnswers = {path};
    Click("ButtonLoadSettings");
    EXPECT_EQ(Child<NumberBox>(window, "spinbarWidth")->Value(), 321);
    EXPECT_EQ(Child<QSpinBox>(window, "spinMapsPerRow")->value(), 4);
    EXPECT_EQ(Entries(), (QStringList{"A1 to B7"}));

    // A file that fails is named and changes nothing.
    const QString bad = QString::fromStdString(
        folder.Write("bad.json", "{\"settings\": {\"BarWidth\": 5, \"Colour\": 1}}"));
    dialogs.settingsAnswers = {bad};
    Click("ButtonLoadSettings");
    ASSERT_EQ(dialogs.errors.size(), 1U);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("unknown field \"Colour\"")))
        << dialogs.errors[0].toStdString();
    EXPECT_EQ(Child<NumberBox>(window, "spinbarWidth")->Value(), 321);
    EXPECT_EQ(dialogs.settingsSaves, (std::vector<bool>{true, false, false}));
}

TEST_F(OptionsWindowTest, CancelAndTheCloseBoxGiveTheCancelResult) {
    Open({});
    window.show();
    Click("ButtonCancel");
    EXPECT_EQ(window.result(), OptionsWindow::kResultCancel);
    EXPECT_FALSE(window.isVisible());
    window.setResult(0);
    window.show();
    window.close();
    EXPECT_EQ(window.result(), OptionsWindow::kResultCancel);
}

TEST_F(OptionsWindowTest, WithNoMarkersNewAddsNothing) {
    Open({}, {});
    Click("ButtonNewRange");
    EXPECT_TRUE(window.ColourRanges().empty());
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_FALSE(EditorEnabled());
}

TEST_F(OptionsWindowTest, ARangeBeyondTheTableShowsIndexNumbersAndKeepsThem) {
    Open({{57, 60, 5}, {1, -1, 6}}, Markers({"A1", "B7"}));
    EXPECT_EQ(Entries(), (QStringList{"#57 to #60", "B7 to #-1"}));
    ClickEntry(0);
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeStart")->currentIndex(), -1);
    EXPECT_EQ(Child<QComboBox>(window, "ComboRangeEnd")->currentIndex(), -1);
    PickWithKeys("ComboRangeStart", 1);
    EXPECT_EQ(window.ColourRanges()[0], (ColourRange{0, 60, 5}))
        << "the end list shows no marker, so the end index is kept";
    EXPECT_EQ(Entries()[0], QStringLiteral("A1 to #60"));
}

TEST_F(OptionsWindowTest, FocusMovesInTheDesignedOrder) {
    Open({});
    test::ExpectFocusOrder(
        window, {"ListRanges",       "spinLeftMargin", "spinTopMargin",   "spinRightMargin",
                 "spinBottomMargin", "spinPageHeight", "spinPageWidth",   "spinTailLength",
                 "spinbarWidth",     "spinPreBend",    "spinSpacingLen",  "spinFrameworkLen",
                 "spinExtraLen",     "spinLRPadding",  "ComboRangeStart", "ComboRangeEnd",
                 "ButtonOk",         "ButtonCancel",   "ButtonNewRange",  "ButtonRemoveRange"});
}

} // namespace
} // namespace karvello
