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

#include <functional>

#include "mapdata/FigureSettingsTable.h"
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
    EXPECT_EQ(window.size(), QSize(777, 617));
}

TEST_F(OptionsWindowTest, OpeningShowsTheCopiesWithNoRangeSelectedAndTheEditorBlank) {
    Open({{0, 1, 0x0000FF}, {3, 2, 0xFF0000}});
    EXPECT_EQ(Child<NumberBox>(window, "SpinPageHeight")->Text(), QStringLiteral("20000"));
    EXPECT_EQ(Child<NumberBox>(window, "SpinLeftMargin")->Value(), settings.LeftMargin);
    EXPECT_EQ(Child<NumberBox>(window, "SpinTextPadding")->Value(), settings.TextPadding);
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
        {"SpinPageHeight", "Page height", 0, &PageLengths::PageHeight},
        {"SpinPageWidth", "Page width", 24, &PageLengths::PageWidth},
        {"SpinLeftMargin", "Left margin", 56, &PageLengths::LeftMargin},
        {"SpinTopMargin", "Top margin", 80, &PageLengths::TopMargin},
        {"SpinRightMargin", "Right margin", 104, &PageLengths::RightMargin},
        {"SpinBottomMargin", "Bottom margin", 128, &PageLengths::BottomMargin},
        {"SpinTailLength", "Bar tail length", 160, &PageLengths::TailLength},
        {"SpinBarWidth", "Bar width", 184, &PageLengths::BarWidth},
        {"SpinPreBendLength", "Line pre-bend length", 216, &PageLengths::PreBendLength},
        {"SpinSpacingLineLength", "cM spacing line length", 240, &PageLengths::SpacingLineLength},
        {"SpinFrameworkLineLength", "Framework marker line length", 264,
         &PageLengths::FrameworkLineLength},
        {"SpinAncillaryLineLength", "Ancillary marker line length", 288,
         &PageLengths::AncillaryLineLength},
        {"SpinTextPadding", "Text left/right padding", 320, &PageLengths::TextPadding},
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
    Child<NumberBox>(window, "SpinBottomMargin")->SetValue(7);
    Open({{2, 3, 0x00FF00}}, Markers({"X", "Y", "Z", "W", "V"}));
    EXPECT_EQ(Entries(), (QStringList{"Z to W"}));
    EXPECT_EQ(SelectedEntry(), -1);
    EXPECT_FALSE(EditorEnabled());
    EXPECT_EQ(Child<NumberBox>(window, "SpinBottomMargin")->Value(), settings.BottomMargin);
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
    Child<NumberBox>(window, "SpinTopMargin")->SetText(QString());
    Child<NumberBox>(window, "SpinRightMargin")->SetValue(-50);
    Child<NumberBox>(window, "SpinBarWidth")->SetText(QStringLiteral("2.5"));
    Child<NumberBox>(window, "SpinAncillaryLineLength")->SetValue(777);
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
    EXPECT_FALSE(Child<QCheckBox>(window, "CheckRowWidth")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(window, "EditFontFace")->text(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(Child<QLineEdit>(window, "EditFontHeight")->text(), QStringLiteral("247"));
    EXPECT_EQ(Child<QLineEdit>(window, "EditLineWidth")->text(), QString()) << "the usual width";
    EXPECT_EQ(Child<QSpinBox>(window, "SpinDpi")->value(), 600);

    // Rows take the page width less the right margin, as the boxes say.
    Child<QCheckBox>(window, "CheckRowWidth")->setChecked(true);
    Child<NumberBox>(window, "SpinPageWidth")->SetValue(18000);
    Child<NumberBox>(window, "SpinRightMargin")->SetValue(500);
    Type("EditLineWidth", "0.5pt");
    Type("EditFontHeight", "");
    Child<QCheckBox>(window, "CheckGroupMaps")->setChecked(true);
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

TEST_F(OptionsWindowTest, EveryFigureSettingIsShownByTheControlItsRowNames) {
    window.HandIn(AllSettings{}, Markers({"A1"}), CharacterEncoding::Windows1252);
    window.FillControls();
    int top = 0;
    for (const FigureSettingField& field : kFigureSettingFields) {
        SCOPED_TRACE(field.Name);
        const std::string name = std::string(field.Control == FigureControl::Spin ? "Spin"
                                             : field.Control == FigureControl::LengthText ||
                                                     field.Control == FigureControl::Text
                                                 ? "Edit"
                                                 : "Check") +
                                 std::string(field.Name);
        const auto* control = Child<QWidget>(window, name.c_str());
        EXPECT_EQ(control->toolTip().toStdString(), field.Hint);
        EXPECT_EQ(control->y(), top);
        top += 28;
        if (const auto* spin = qobject_cast<const QSpinBox*>(control)) {
            EXPECT_EQ(spin->maximum(), field.Greatest);
            EXPECT_EQ(spin->minimum(), std::min(field.Least, DefaultNumber(field)));
        }
    }
    EXPECT_EQ(Child<QSpinBox>(window, "SpinMapsPerRow")->text(), QStringLiteral("any"));
}

TEST_F(OptionsWindowTest, SettingsTheirRowsTakePassThroughOkUntouched) {
    AllSettings handed;
    handed.Figure.Dpi = 250000;
    handed.Figure.Margin = 0;
    handed.Figure.MapsPerRow = 7;
    window.HandIn(handed, Markers({"A1"}), CharacterEncoding::Windows1252);
    window.FillControls();
    EXPECT_EQ(Child<QSpinBox>(window, "SpinDpi")->value(), 250000);
    Click("ButtonOk");
    EXPECT_EQ(window.result(), OptionsWindow::kResultOk);
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(window.Figure(), handed.Figure);
}

// A value that its setting's row does not take is named with what it must
// be, as a settings file names it, and OK waits: a resolution of 0 handed
// in once passed OK untouched and stopped the PNG export.
TEST_F(OptionsWindowTest, AValueItsRowDoesNotTakeIsNamedAndOkWaits) {
    struct Row {
        const char* name;
        std::function<void(FigureSettings&)> change;
        const char* control;
        QString message;
    };
    const std::vector<Row> rows = {
        {"no resolution", [](FigureSettings& f) { f.Dpi = 0; }, "SpinDpi",
         QStringLiteral("The setting \"PNG resolution (dpi)\" must be a whole number from 1, not "
                        "0.")},
        {"a negative edge room", [](FigureSettings& f) { f.Margin = -5; }, "EditMargin",
         QStringLiteral("The setting \"Edge room\" must be a whole number of 1/100 mm from 0, or "
                        "-1 (the default), not -5.")},
        {"a negative font height", [](FigureSettings& f) { f.FontHeight = -300; }, "EditFontHeight",
         QStringLiteral("The setting \"Font size\" must be a whole number of 1/100 mm from 1, or 0 "
                        "(the default), not -300.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.errors.clear();
        AllSettings handed;
        row.change(handed.Figure);
        window.HandIn(handed, Markers({"A1"}), CharacterEncoding::Windows1252);
        window.FillControls();
        window.show();
        window.setResult(0);
        Click("ButtonOk");
        EXPECT_EQ(window.result(), 0) << "the window stays open";
        ASSERT_EQ(dialogs.errors.size(), 1U);
        EXPECT_EQ(dialogs.errors[0], row.message);
        EXPECT_EQ(window.focusWidget(), Child<QWidget>(window, row.control));
        EXPECT_EQ(window.Figure(), handed.Figure) << "nothing is taken";
    }
    // A typed face longer than a metafile holds is named too.
    window.HandIn(AllSettings{}, Markers({"A1"}), CharacterEncoding::Windows1252);
    window.FillControls();
    dialogs.errors.clear();
    Type("EditFontFace", "Thirty-two characters make faces");
    Click("ButtonOk");
    ASSERT_EQ(dialogs.errors.size(), 1U);
    EXPECT_EQ(dialogs.errors[0],
              QStringLiteral("The setting \"Font\" must be a text of 1 to 31 characters, or empty "
                             "(the default), not \"Thirty-two characters make faces\"."));
}

TEST_F(OptionsWindowTest, ASettingsFileWithAValueItsRowDoesNotTakeIsRefusedWithTheRange) {
    test::TempFolder folder;
    Open({});
    Child<QSpinBox>(window, "SpinDpi")->setValue(600);
    const QString path = QString::fromStdString(
        folder.Write("s0.json", "{\"figure\": {\"MapsPerRow\": 2,\n  \"Dpi\": 0}}"));
    dialogs.settingsAnswers = {path};
    Click("ButtonLoadSettings");
    ASSERT_EQ(dialogs.errors.size(), 1U);
    EXPECT_EQ(dialogs.errors[0], QStringLiteral("Settings file \"%1\", line 2: the field \"Dpi\" "
                                                "must be a whole number from 1, not 0.")
                                     .arg(path));
    EXPECT_EQ(Child<QSpinBox>(window, "SpinDpi")->value(), 600) << "the file changes nothing";
    EXPECT_EQ(Child<QSpinBox>(window, "SpinMapsPerRow")->value(), 0);
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
    Type("EditMargin", "2 furlongs");
    Child<NumberBox>(window, "SpinBarWidth")->SetValue(99);
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
    Child<NumberBox>(window, "SpinBarWidth")->SetValue(321);
    Child<QSpinBox>(window, "SpinMapsPerRow")->setValue(4);
    dialogs.settingsAnswers = {path};
    Click("ButtonSaveSettings");
    const std::string saved = folder.Read("figure.json");
    EXPECT_NE(saved.find("\"BarWidth\": 321"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"MapsPerRow\": 4"), std::string::npos) << saved;
    EXPECT_NE(saved.find("{\"first\": \"A1\", \"last\": \"B7\", \"colour\": \"#FF0000\"}"),
              std::string::npos)
        << saved;

    Open({});
    EXPECT_EQ(Child<NumberBox>(window, "SpinBarWidth")->Value(), settings.BarWidth);
    dialogs.settingsAnswers = {path};
    Click("ButtonLoadSettings");
    EXPECT_EQ(Child<NumberBox>(window, "SpinBarWidth")->Value(), 321);
    EXPECT_EQ(Child<QSpinBox>(window, "SpinMapsPerRow")->value(), 4);
    EXPECT_EQ(Entries(), (QStringList{"A1 to B7"}));

    // A file that fails is named and changes nothing.
    const QString bad = QString::fromStdString(
        folder.Write("bad.json", "{\"settings\": {\"BarWidth\": 5, \"Colour\": 1}}"));
    dialogs.settingsAnswers = {bad};
    Click("ButtonLoadSettings");
    ASSERT_EQ(dialogs.errors.size(), 1U);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("unknown field \"Colour\"")))
        << dialogs.errors[0].toStdString();
    EXPECT_EQ(Child<NumberBox>(window, "SpinBarWidth")->Value(), 321);
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
    test::ExpectFocusOrder(window, {"ListRanges",
                                    "SpinLeftMargin",
                                    "SpinTopMargin",
                                    "SpinRightMargin",
                                    "SpinBottomMargin",
                                    "SpinPageHeight",
                                    "SpinPageWidth",
                                    "SpinTailLength",
                                    "SpinBarWidth",
                                    "SpinPreBendLength",
                                    "SpinSpacingLineLength",
                                    "SpinFrameworkLineLength",
                                    "SpinAncillaryLineLength",
                                    "SpinTextPadding",
                                    "ComboRangeStart",
                                    "ComboRangeEnd",
                                    "ButtonOk",
                                    "ButtonCancel",
                                    "ButtonNewRange",
                                    "ButtonRemoveRange"});
}

} // namespace
} // namespace karvello
