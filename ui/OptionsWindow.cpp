#include "ui/OptionsWindow.h"
#include "platform/Windows1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringListModel>

#include <algorithm>

#include "base/Error.h"
#include "base/FileWriter.h"
#include "base/Numbers.h"
#include "mapdata/DrawSettingsTable.h"
#include "mapdata/FigureSettingsTable.h"
#include "mapdata/Lengths.h"
#include "ui/Controls.h"

namespace karvello {

namespace {

// Where the window shows a setting: the name of its number box and the box's
// top. The label and the member come from the settings table.
struct SettingBoxPlace {
    std::string_view Setting;
    const char* Name;
    int Top;
};

// In the window's keyboard focus order.
constexpr auto kSpinPlaces = std::to_array<SettingBoxPlace>({
    {"LeftMargin", "spinLeftMargin", 56},
    {"TopMargin", "spinTopMargin", 80},
    {"RightMargin", "spinRightMargin", 104},
    {"BottomMargin", "spinBottomMargin", 128},
    {"PageHeight", "spinPageHeight", 0},
    {"PageWidth", "spinPageWidth", 24},
    {"TailLength", "spinTailLength", 160},
    {"BarWidth", "spinbarWidth", 184},
    {"PreBendLength", "spinPreBend", 216},
    {"SpacingLineLength", "spinSpacingLen", 240},
    {"FrameworkLineLength", "spinFrameworkLen", 264},
    {"AncillaryLineLength", "spinExtraLen", 288},
    {"TextPadding", "spinLRPadding", 320},
});

// Every setting that the table gives a label has its place in the window,
// and every place names such a setting: a setting added to the table with a
// label fails to build until the window makes room for it.
constexpr bool EveryLabelledSettingHasAPlace() {
    std::size_t labelled = 0;
    for (const DrawSettingField& field : kDrawSettingFields) {
        if (field.Label.empty()) {
            continue;
        }
        ++labelled;
        bool placed = false;
        for (const SettingBoxPlace& place : kSpinPlaces) {
            placed = placed || place.Setting == field.Name;
        }
        if (!placed) {
            return false;
        }
    }
    return labelled == kSpinPlaces.size();
}
static_assert(EveryLabelledSettingHasAPlace(),
              "a setting with a label in the settings table has no place in the options window");

const SettingBoxPlace* SpinPlaceOf(const DrawSettingField& field) {
    for (const SettingBoxPlace& place : kSpinPlaces) {
        if (place.Setting == field.Name) {
            return &place;
        }
    }
    return nullptr;
}

// How the figure section shows a setting.
enum class FigureControlKind {
    WrapRows, // the row width: a tick box, the page width less the right margin
    Count,    // a whole number in a spin box
    Length,   // a length as text, empty for the setting's default
    Text,     // a text
    Flag,     // a tick box
};

struct FigureControlPlace {
    std::string_view Setting;
    FigureControlKind Control;
    const char* Name;
    const char* Label;
    const char* Hint;
};

// In the figure settings' table order, which is also the section's order
// from the top.
constexpr auto kFigurePlaces = std::to_array<FigureControlPlace>({
    {"RowWidth", FigureControlKind::WrapRows, "checkWrapRows", "Wrap rows at the page width",
     "Maps wrap into rows as wide as the page width less the right margin"},
    {"MapsPerRow", FigureControlKind::Count, "spinMapsPerRow", "Maps per row",
     "At most this many maps in a row"},
    {"FontFace", FigureControlKind::Text, "editFontFace", "Font", "The face of every text"},
    {"FontHeight", FigureControlKind::Length, "editFontSize", "Font size",
     "The height of every text, such as 7pt"},
    {"LineWidth", FigureControlKind::Length, "editLineWidth", "Line width",
     "The width of every line, such as 0.5pt; empty: 1/100 mm in a metafile, 0.25 pt in the "
     "other formats"},
    {"Margin", FigureControlKind::Length, "editMargin", "Edge room",
     "White room around the drawing, such as 2mm; empty: none in a metafile, 2 mm in the "
     "other formats and whenever rows are on"},
    {"GroupMaps", FigureControlKind::Flag, "checkGroupMaps", "Group each map in the metafile",
     "Each map's records between a begin-group and an end-group comment"},
    {"Dpi", FigureControlKind::Count, "spinDpi", "PNG resolution (dpi)",
     "Pixels an inch of a PNG drawing"},
    {"Height", FigureControlKind::Length, "editFigureHeight", "Figure height",
     "Fit the whole figure into this height, such as 230mm; empty: no height"},
    {"Layout", FigureControlKind::Text, "editLayout", "Layout",
     "figure: fitted to the width and height, labels spread about their markers; classic: the "
     "page lengths; empty: figure whenever a width or height is given"},
    {"NamesPerLine", FigureControlKind::Count, "spinNamesPerLine", "Names per line",
     "Figure layout: names at one position written on one line, at most"},
    {"Distances", FigureControlKind::Text, "editDistances", "Distances",
     "Figure layout: gaps, positions or none left of each bar"},
    {"Labels", FigureControlKind::Text, "editLabels", "Labels",
     "Figure layout: all, or none for bars and ticks only"},
    {"LeaderLength", FigureControlKind::Length, "editLeaderLength", "Leader length",
     "Figure layout: from a bar to its labels, such as 3mm"},
    {"MapGap", FigureControlKind::Length, "editMapGap", "Gap between maps",
     "Figure layout: between the maps of a row, such as 4mm"},
    {"RowGap", FigureControlKind::Length, "editRowGap", "Gap between rows",
     "Figure layout: between rows, such as 4mm"},
    {"MapOrder", FigureControlKind::Text, "editMapOrder", "Map order",
     "Figure layout: the order of the maps by number, such as 3,1,2; empty: the file's"},
    {"Rows", FigureControlKind::Text, "editRows", "Rows",
     "Figure layout: the maps of each row, such as 1-7/8-14/15-20; empty: chosen to fit"},
    {"Align", FigureControlKind::Text, "editAlign", "Align bars",
     "Figure layout: zero (the bars of a row at their 0 cM) or top"},
    {"Density", FigureControlKind::Flag, "checkDensity", "Marker density beside each bar",
     "Figure layout: a strip coloured by markers per cM beside each bar, with a legend"},
});

// Every figure setting has its place, in table order, shown by a control
// that fits its kind: a setting added to the table fails to build until the
// window makes room for it.
constexpr bool EveryFigureSettingHasAPlace() {
    if (kFigurePlaces.size() != kFigureSettingFields.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kFigurePlaces.size(); ++i) {
        const FigureSettingField& field = kFigureSettingFields[i];
        const FigureControlPlace& place = kFigurePlaces[i];
        const bool fits = place.Control == FigureControlKind::Text
                              ? field.Kind == FigureSettingKind::Text
                          : place.Control == FigureControlKind::Flag
                              ? field.Kind == FigureSettingKind::Flag
                              : field.Kind == FigureSettingKind::WholeNumber;
        if (place.Setting != field.Name || !fits) {
            return false;
        }
    }
    return true;
}
static_assert(EveryFigureSettingHasAPlace(),
              "the options window does not place the figure settings as the table lists them");

// The spin boxes' ranges, and the value a box shows for a setting's value.
constexpr int kMostCount = 100000;
int LeastCount(const FigureControlPlace& place) {
    return place.Setting == "Dpi" ? 1 : 0;
}
int ShownCount(std::int32_t value, const FigureControlPlace& place) {
    return std::clamp(value, LeastCount(place), kMostCount);
}

constexpr int kFigureLeft = 296 + 232; // beside the colour ranges
constexpr int kFigureBoxLeft = kFigureLeft + 128;
constexpr int kFigureRowHeight = 28;

QString MarkerName(std::int32_t index, const MarkerTable& markers, CharacterEncoding encoding) {
    if (index >= 0 && static_cast<std::size_t>(index) < markers.size()) {
        return TextToQString(markers[static_cast<std::size_t>(index)].Name, encoding);
    }
    return QStringLiteral("#") + QString::number(index);
}

} // namespace

OptionsWindow::OptionsWindow(const Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), dialogs_(dialogs) {
    setObjectName(QStringLiteral("OptionsWindow"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(WindowFont());

    // The boxes are made in the settings' table order, each below its label.
    std::array<NumberBox*, kSpinPlaces.size()> placed{};
    for (const DrawSettingField& field : kDrawSettingFields) {
        const SettingBoxPlace* place = SpinPlaceOf(field);
        if (place == nullptr) {
            continue;
        }
        AddLabel(this, "", std::string(field.Label).c_str(), 0, place->Top + 4);
        auto* box = Named(new NumberBox(this), place->Name);
        box->setGeometry(152, place->Top, 105, 22);
        settingBoxes_.push_back({&field, box});
        placed[static_cast<std::size_t>(place - kSpinPlaces.data())] = box;
    }
    AddLabel(this, "LabelUnits", "(units are 1/100 of a mm)", 144, 344);
    Named(new DividerLine(DividerLine::Edge::Left, this), "RuleLeft")->Place(272 + 4, 0, 9, 361);

    AddLabel(this, "LabelDefaultColour", "Default marker colour", 280, 0);
    defaultColourSwatch_ = Named(new ColourSwatch(this), "SwatchDefaultColour");
    defaultColourSwatch_->setGeometry(392, 0, 13, 13);
    AddLabel(this, "LabelRanges", "Marker colour ranges:", 280, 24);
    rangeList_ = Named(new QListWidget(this), "ListRanges");
    rangeList_->setGeometry(288, 40, 217, 145);
    rangeList_->setSelectionMode(QAbstractItemView::SingleSelection);
    rangeList_->setUniformItemSizes(true);
    newRangeButton_ = AddButton(this, "ButtonNewRange", "New", QRect(288, 192, 75, 25));
    removeRangeButton_ = AddButton(this, "ButtonRemoveRange", "Remove", QRect(432, 192, 75, 25));

    rangePanel_ = Named(new QFrame(this), "PanelRange");
    rangePanel_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    rangePanel_->setGeometry(288, 224, 217, 89);
    AddLabel(rangePanel_, "LabelRangeColour", "Marker colour", 8, 8);
    rangeColourSwatch_ = Named(new ColourSwatch(rangePanel_), "SwatchRangeColour");
    rangeColourSwatch_->setGeometry(132, 8, 13, 13);
    AddLabel(rangePanel_, "LabelRangeStart", "Marker start", 8, 32 + 4);
    rangeStartBox_ = Named(new MarkerComboBox(rangePanel_), "ComboRangeStart");
    rangeStartBox_->setGeometry(88, 32, 121, 21);
    AddLabel(rangePanel_, "LabelRangeEnd", "Marker end", 8, 56 + 4);
    rangeEndBox_ = Named(new MarkerComboBox(rangePanel_), "ComboRangeEnd");
    rangeEndBox_->setGeometry(88, 56, 121, 21);
    // Both marker lists show the same entries, so they share one list of
    // them, filled once per opening.
    markerEntries_ = new QStringListModel(this);
    rangeStartBox_->setModel(markerEntries_);
    rangeEndBox_->setModel(markerEntries_);

    Named(new DividerLine(DividerLine::Edge::Left, this), "RuleFigure")
        ->Place(kFigureLeft - 16, 0, 9, 361);
    for (std::size_t i = 0; i < kFigurePlaces.size(); ++i) {
        const FigureControlPlace& place = kFigurePlaces[i];
        const int top = static_cast<int>(i) * kFigureRowHeight;
        QWidget* control = nullptr;
        if (place.Control == FigureControlKind::WrapRows ||
            place.Control == FigureControlKind::Flag) {
            control = new QCheckBox(QString::fromLatin1(place.Label), this);
            control->setGeometry(kFigureLeft, top, 249, 22);
        } else {
            AddLabel(this, "", place.Label, kFigureLeft, top + 4);
            if (place.Control == FigureControlKind::Count) {
                auto* spin = new QSpinBox(this);
                spin->setRange(LeastCount(place), kMostCount);
                if (place.Setting == "MapsPerRow") {
                    spin->setSpecialValueText(QStringLiteral("any"));
                }
                control = spin;
            } else {
                auto* edit = new QLineEdit(this);
                if (place.Control == FigureControlKind::Length) {
                    edit->setPlaceholderText(QStringLiteral("usual"));
                } else {
                    edit->setPlaceholderText(QStringLiteral("Microsoft Sans Serif"));
                }
                control = edit;
            }
            control->setGeometry(kFigureBoxLeft, top, 121, 22);
        }
        Named(control, place.Name)->setToolTip(QString::fromLatin1(place.Hint));
        figureControls_.push_back({&kFigureSettingFields[i], control});
    }
    AddLabel(this, "LabelLengths", "(lengths: 1/100 mm, or 7pt, 2mm, 1in)", kFigureLeft,
             static_cast<int>(kFigurePlaces.size()) * kFigureRowHeight + 4);
    auto* loadSettings =
        AddButton(this, "ButtonLoadSettings", "Load settings...", QRect(kFigureLeft, 288, 121, 25));
    auto* saveSettings = AddButton(this, "ButtonSaveSettings", "Save settings...",
                                   QRect(kFigureBoxLeft, 288, 121, 25));
    loadSettings->setToolTip(QStringLiteral("Every setting, the colours and the annotations from "
                                            "a settings file"));
    saveSettings->setToolTip(QStringLiteral("Every setting, the colours and the annotations into "
                                            "a settings file"));

    Named(new DividerLine(DividerLine::Edge::Bottom, this), "RuleAboveButtons")
        ->Place(272, 312, 233, 10);
    okButton_ = AddButton(this, "ButtonOk", "OK", QRect(280, 328, 75, 25));
    cancelButton_ = AddButton(this, "ButtonCancel", "Cancel", QRect(432, 328, 75, 25));

    QWidget* previous = rangeList_;
    for (NumberBox* box : placed) {
        setTabOrder(previous, box);
        previous = box;
    }
    for (QWidget* next :
         {static_cast<QWidget*>(rangeStartBox_), static_cast<QWidget*>(rangeEndBox_),
          static_cast<QWidget*>(okButton_), static_cast<QWidget*>(cancelButton_),
          static_cast<QWidget*>(newRangeButton_), static_cast<QWidget*>(removeRangeButton_)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (const auto& [field, control] : figureControls_) {
        setTabOrder(previous, control);
        previous = control;
    }
    setTabOrder(previous, loadSettings);
    setTabOrder(loadSettings, saveSettings);

    connect(rangeList_, &QListWidget::itemSelectionChanged, this, &OptionsWindow::RangeListClick);
    // "activated" comes from the user only, so selecting an entry by program
    // runs neither change handler.
    connect(rangeStartBox_, &QComboBox::activated, this, &OptionsWindow::RangeStartChange);
    connect(rangeEndBox_, &QComboBox::activated, this, &OptionsWindow::RangeEndChange);
    connect(rangeColourSwatch_, &ColourSwatch::mouseUp, this, &OptionsWindow::RangeColourClick);
    connect(defaultColourSwatch_, &ColourSwatch::mouseUp, this, &OptionsWindow::DefaultColourClick);
    connect(okButton_, &QPushButton::clicked, this, &OptionsWindow::OkClick);
    connect(cancelButton_, &QPushButton::clicked, this, &OptionsWindow::CancelClick);
    connect(newRangeButton_, &QPushButton::clicked, this, &OptionsWindow::NewRangeClick);
    connect(removeRangeButton_, &QPushButton::clicked, this, &OptionsWindow::RemoveRangeClick);
    connect(loadSettings, &QPushButton::clicked, this, &OptionsWindow::LoadSettingsClick);
    connect(saveSettings, &QPushButton::clicked, this, &OptionsWindow::SaveSettingsClick);

    // The window encloses its controls, a rule's full rectangle included.
    setFixedSize(childrenRect().united(QRect(0, 0, 272 + 9, 361)).size());
    move(272, 185);

    // FormCreate.
    currentRange_ = -1;
    RangeListClick();
}

void OptionsWindow::HandIn(const PageLengths& settings, RgbColour defaultColour,
                           const ColourRangeList& ranges, const MarkerTable& markers) {
    AllSettings file;
    file.Draw = settings;
    file.DefaultColour = defaultColour;
    file.Ranges = ranges;
    HandIn(file, markers, CharacterEncoding::Windows1252);
}

void OptionsWindow::HandIn(const AllSettings& settings, const MarkerTable& markers,
                           CharacterEncoding encoding) {
    encoding_ = encoding;
    settings_ = settings.Draw;
    defaultColour_ = settings.DefaultColour;
    colourRanges_ = settings.Ranges;
    figure_ = settings.Figure;
    annotations_ = settings.Annotations;
    qtlFile_ = settings.QtlFile;
    markers_ = markers;
}

AllSettings OptionsWindow::SettingsFile() const {
    AllSettings file;
    file.Draw = settings_;
    file.DefaultColour = defaultColour_;
    file.Ranges = colourRanges_;
    file.Figure = figure_;
    file.Annotations = annotations_;
    file.QtlFile = qtlFile_;
    return file;
}

QString OptionsWindow::RangeEntryText(const ColourRange& range, const MarkerTable& markers,
                                      CharacterEncoding encoding) {
    return MarkerName(range.StartIndex, markers, encoding) + QStringLiteral(" to ") +
           MarkerName(range.EndIndex, markers, encoding);
}

void OptionsWindow::FillControls() {
    for (const auto& [field, box] : settingBoxes_) {
        box->SetValue(settings_.*field->Member);
    }
    defaultColourSwatch_->SetColour(defaultColour_);
    const FigureSettings defaults;
    for (const auto& [field, control] : figureControls_) {
        switch (
            kFigurePlaces[static_cast<std::size_t>(field - kFigureSettingFields.data())].Control) {
        case FigureControlKind::WrapRows:
            static_cast<QCheckBox*>(control)->setChecked(figure_.*field->Number > 0);
            break;
        case FigureControlKind::Count:
            static_cast<QSpinBox*>(control)->setValue(ShownCount(
                figure_.*field->Number,
                kFigurePlaces[static_cast<std::size_t>(field - kFigureSettingFields.data())]));
            break;
        case FigureControlKind::Length: {
            const std::int32_t value = figure_.*field->Number;
            static_cast<QLineEdit*>(control)->setText(
                value == defaults.*field->Number ? QString()
                                                 : QString::fromStdString(DecimalText(value)));
            break;
        }
        case FigureControlKind::Text:
            static_cast<QLineEdit*>(control)->setText(QString::fromStdString(figure_.*field->Text));
            break;
        case FigureControlKind::Flag:
            static_cast<QCheckBox*>(control)->setChecked(figure_.*field->Flag);
            break;
        }
    }
    {
        const QSignalBlocker blocker(rangeList_);
        rangeList_->clear();
        for (const ColourRange& range : colourRanges_) {
            AddListEntry(*rangeList_, RangeEntryText(range, markers_, encoding_));
        }
    }
    currentRange_ = -1;
    RangeListClick();
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(markers_.size()));
    for (std::size_t k = 0; k < markers_.size(); ++k) {
        entries << QStringLiteral("(") + QString::number(k) + QStringLiteral(") ") +
                       TextToQString(markers_[k].Name, encoding_);
    }
    const QSignalBlocker startBlocker(rangeStartBox_);
    const QSignalBlocker endBlocker(rangeEndBox_);
    markerEntries_->setStringList(entries);
    // A list that gains entries picks the first of its own accord; the
    // marker lists show none until a range is selected.
    rangeStartBox_->setCurrentIndex(-1);
    rangeEndBox_->setCurrentIndex(-1);
}

void OptionsWindow::SelectRangeEntry(int row) {
    const QSignalBlocker blocker(rangeList_);
    rangeList_->clearSelection();
    if (row >= 0) {
        rangeList_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

void OptionsWindow::RangeListClick() {
    if (currentRange_ >= 0) {
        StoreRange(currentRange_);
    }
    currentRange_ = SelectedRow(*rangeList_);
    const bool shown = currentRange_ >= 0;
    if (shown) {
        const ColourRange& range = colourRanges_[static_cast<std::size_t>(currentRange_)];
        // An index with no marker in the table shows no entry rather than a
        // wrong one.
        const auto entryOf = [this](std::int32_t index) {
            return index >= 0 && static_cast<std::size_t>(index) < markers_.size() ? index : -1;
        };
        const QSignalBlocker startBlocker(rangeStartBox_);
        const QSignalBlocker endBlocker(rangeEndBox_);
        rangeStartBox_->setCurrentIndex(entryOf(range.StartIndex));
        rangeEndBox_->setCurrentIndex(entryOf(range.EndIndex));
        rangeColourSwatch_->SetColour(range.Colour);
    } else {
        rangeColourSwatch_->SetColour(FromQColor(palette().color(QPalette::Window)));
    }
    rangeStartBox_->setEnabled(shown);
    rangeEndBox_->setEnabled(shown);
    rangeColourSwatch_->setEnabled(shown);
}

void OptionsWindow::StoreRange(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= colourRanges_.size()) {
        return;
    }
    ColourRange& range = colourRanges_[static_cast<std::size_t>(i)];
    // A marker list showing no entry (its range's index lay beyond the
    // table) keeps the index it had; -1 would mean "up to the last marker".
    if (rangeStartBox_->currentIndex() >= 0) {
        range.StartIndex = rangeStartBox_->currentIndex();
    }
    if (rangeEndBox_->currentIndex() >= 0) {
        range.EndIndex = rangeEndBox_->currentIndex();
    }
    range.Colour = rangeColourSwatch_->Colour();
    if (QListWidgetItem* item = rangeList_->item(i)) {
        item->setText(RangeEntryText(range, markers_, encoding_));
    }
}

void OptionsWindow::RangeStartChange() {
    StoreRange(SelectedRow(*rangeList_));
}

void OptionsWindow::RangeEndChange() {
    StoreRange(SelectedRow(*rangeList_));
}

void OptionsWindow::RangeColourClick() {
    if (const auto chosen = dialogs_.PickColour(this, rangeColourSwatch_->Colour())) {
        rangeColourSwatch_->SetColour(*chosen);
        StoreRange(SelectedRow(*rangeList_));
    }
}

void OptionsWindow::DefaultColourClick() {
    if (const auto chosen = dialogs_.PickColour(this, defaultColourSwatch_->Colour())) {
        defaultColourSwatch_->SetColour(*chosen);
    }
}

bool OptionsWindow::TakeControls() {
    PageLengths settings = settings_;
    for (const auto& [field, box] : settingBoxes_) {
        ApplyDrawSetting(settings, *field, box->Value());
    }
    FigureSettings figure = figure_;
    const FigureSettings defaults;
    for (const auto& [field, control] : figureControls_) {
        const FigureControlPlace& place =
            kFigurePlaces[static_cast<std::size_t>(field - kFigureSettingFields.data())];
        switch (place.Control) {
        case FigureControlKind::WrapRows: {
            if (!static_cast<QCheckBox*>(control)->isChecked()) {
                figure.*field->Number = 0;
                break;
            }
            // Rows already on over the same page keep their width, which a
            // settings file or the command line may have set otherwise.
            const bool samePage = figure_.*field->Number > 0 &&
                                  settings.PageWidth == settings_.PageWidth &&
                                  settings.RightMargin == settings_.RightMargin;
            if (samePage) {
                break;
            }
            const std::int64_t width =
                std::int64_t{settings.PageWidth} - std::int64_t{settings.RightMargin};
            if (width <= 0 || width > INT32_MAX) {
                dialogs_.ShowError(this, QStringLiteral("The page width less the right margin (%1) "
                                                        "leaves no room for a row of maps.")
                                             .arg(width));
                return false;
            }
            figure.*field->Number = static_cast<std::int32_t>(width);
            break;
        }
        case FigureControlKind::Count:
            // A number beyond the box's range (from a settings file) stays
            // as it was unless the user changed the box.
            if (static_cast<QSpinBox*>(control)->value() !=
                ShownCount(figure_.*field->Number, place)) {
                figure.*field->Number = static_cast<QSpinBox*>(control)->value();
            }
            break;
        case FigureControlKind::Length: {
            auto* edit = static_cast<QLineEdit*>(control);
            if (!edit->isModified()) {
                break; // as handed in, whatever a settings file gave
            }
            const QString text = edit->text().trimmed();
            if (text.isEmpty()) {
                figure.*field->Number = defaults.*field->Number;
                break;
            }
            const std::optional<std::int32_t> length = ParseLength(text.toStdString());
            if (!length) {
                control->setFocus();
                dialogs_.ShowError(
                    this, QStringLiteral("The %1 \"%2\" is not a length: give a whole number of "
                                         "1/100 mm, or a number with mm, cm, in or pt (7pt), or "
                                         "nothing for the usual one.")
                              .arg(QString::fromLatin1(place.Label).toLower(), text.left(100)));
                return false;
            }
            figure.*field->Number = *length;
            break;
        }
        case FigureControlKind::Text:
            figure.*field->Text = static_cast<QLineEdit*>(control)->text().trimmed().toStdString();
            break;
        case FigureControlKind::Flag:
            figure.*field->Flag = static_cast<QCheckBox*>(control)->isChecked();
            break;
        }
    }
    settings_ = settings;
    figure_ = figure;
    defaultColour_ = defaultColourSwatch_->Colour();
    return true;
}

void OptionsWindow::OkClick() {
    if (TakeControls()) {
        done(kResultOk);
    }
}

void OptionsWindow::SaveSettingsClick() {
    if (!TakeControls()) {
        return;
    }
    const auto path = dialogs_.SettingsFileName(this, true);
    if (!path) {
        return;
    }
    try {
        WriteWholeFile(QFile::encodeName(*path).toStdString(),
                       WriteSettingsText(SettingsFile(), markers_));
    } catch (const KarvelloError& error) {
        dialogs_.ShowError(this, ErrorBoxText(error.what()));
    }
}

void OptionsWindow::LoadSettingsClick() {
    if (!TakeControls()) {
        return;
    }
    const auto path = dialogs_.SettingsFileName(this, false);
    if (!path) {
        return;
    }
    try {
        HandIn(ReadSettingsFile(QFile::encodeName(*path).toStdString(), SettingsFile(), markers_),
               markers_, encoding_);
    } catch (const KarvelloError& error) {
        dialogs_.ShowError(this, ErrorBoxText(error.what()));
        return;
    }
    FillControls();
}

void OptionsWindow::CancelClick() {
    done(kResultCancel);
}

void OptionsWindow::reject() {
    done(kResultCancel);
}

void OptionsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    KeepInsideScreen(*this);
}

void OptionsWindow::NewRangeClick() {
    // With no marker in the table there is no first marker to name, so no
    // range is added.
    if (markers_.empty()) {
        return;
    }
    const ColourRange range{0, 0, defaultColour_};
    colourRanges_.push_back(range);
    {
        const QSignalBlocker blocker(rangeList_);
        AddListEntry(*rangeList_, RangeEntryText(range, markers_, encoding_));
    }
    SelectRangeEntry(rangeList_->count() - 1);
    RangeListClick();
}

void OptionsWindow::RemoveRangeClick() {
    const int i = SelectedRow(*rangeList_);
    if (i < 0) {
        return;
    }
    {
        const QSignalBlocker blocker(rangeList_);
        delete rangeList_->takeItem(i);
    }
    colourRanges_.erase(colourRanges_.begin() + i);
    SelectRangeEntry(i < rangeList_->count() ? i : -1);
    currentRange_ = -1;
    RangeListClick();
}

} // namespace karvello
