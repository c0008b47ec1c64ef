#include "ui/OptionWnd.h"
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
struct TSpinPlace {
    std::string_view Setting;
    const char* Name;
    int Top;
};

// In the window's keyboard focus order.
constexpr std::array<TSpinPlace, 13> kSpinPlaces = {{
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
}};

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
        for (const TSpinPlace& place : kSpinPlaces) {
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

const TSpinPlace* SpinPlaceOf(const DrawSettingField& field) {
    for (const TSpinPlace& place : kSpinPlaces) {
        if (place.Setting == field.Name) {
            return &place;
        }
    }
    return nullptr;
}

// How the figure section shows a setting.
enum class TFigureControl {
    WrapRows, // the row width: a tick box, the page width less the right margin
    Count,    // a whole number in a spin box
    Length,   // a length as text, empty for the setting's default
    Text,     // a text
    Flag,     // a tick box
};

struct TFigurePlace {
    std::string_view Setting;
    TFigureControl Control;
    const char* Name;
    const char* Label;
    const char* Hint;
};

// In the figure settings' table order, which is also the section's order
// from the top.
constexpr std::array<TFigurePlace, 8> kFigurePlaces = {{
    {"RowWidth", TFigureControl::WrapRows, "checkWrapRows", "Wrap rows at the page width",
     "Maps wrap into rows as wide as the page width less the right margin"},
    {"MapsPerRow", TFigureControl::Count, "spinMapsPerRow", "Maps per row",
     "At most this many maps in a row"},
    {"FontFace", TFigureControl::Text, "editFontFace", "Font", "The face of every text"},
    {"FontHeight", TFigureControl::Length, "editFontSize", "Font size",
     "The height of every text, such as 7pt"},
    {"LineWidth", TFigureControl::Length, "editLineWidth", "Line width",
     "The width of every line, such as 0.5pt; empty: 1/100 mm in a metafile, 0.25 pt in the "
     "other formats"},
    {"Margin", TFigureControl::Length, "editMargin", "Edge room",
     "White room around the drawing, such as 2mm; empty: none in a metafile, 2 mm in the "
     "other formats and whenever rows are on"},
    {"GroupMaps", TFigureControl::Flag, "checkGroupMaps", "Group each map in the metafile",
     "Each map's records between a begin-group and an end-group comment"},
    {"Dpi", TFigureControl::Count, "spinDpi", "PNG resolution (dpi)",
     "Pixels an inch of a PNG drawing"},
}};

// Every figure setting has its place, in table order, shown by a control
// that fits its kind: a setting added to the table fails to build until the
// window makes room for it.
constexpr bool EveryFigureSettingHasAPlace() {
    if (kFigurePlaces.size() != kFigureSettingFields.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kFigurePlaces.size(); ++i) {
        const FigureSettingField& field = kFigureSettingFields[i];
        const TFigurePlace& place = kFigurePlaces[i];
        const bool fits =
            place.Control == TFigureControl::Text   ? field.Kind == FigureSettingKind::Text
            : place.Control == TFigureControl::Flag ? field.Kind == FigureSettingKind::Flag
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
int LeastCount(const TFigurePlace& place) {
    return place.Setting == "Dpi" ? 1 : 0;
}
int ShownCount(std::int32_t value, const TFigurePlace& place) {
    return std::clamp(value, LeastCount(place), kMostCount);
}

constexpr int kFigureLeft = 296 + 232; // beside the colour ranges
constexpr int kFigureBoxLeft = kFigureLeft + 128;
constexpr int kFigureRowHeight = 28;

QString MarkerName(std::int32_t index, const TAllMarkers& markers, TTextEncoding encoding) {
    if (index >= 0 && static_cast<std::size_t>(index) < markers.size()) {
        return TextToQString(markers[static_cast<std::size_t>(index)].Name, encoding);
    }
    return QStringLiteral("#") + QString::number(index);
}

} // namespace

TOptionFrm::TOptionFrm(const TDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), dialogs_(dialogs) {
    setObjectName(QStringLiteral("OptionFrm"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(WindowFont());

    // The boxes are made in the settings' table order, each below its label.
    std::array<TNumberBox*, kSpinPlaces.size()> placed{};
    for (const DrawSettingField& field : kDrawSettingFields) {
        const TSpinPlace* place = SpinPlaceOf(field);
        if (place == nullptr) {
            continue;
        }
        AddLabel(this, "", std::string(field.Label).c_str(), 0, place->Top + 4);
        auto* box = Named(new TNumberBox(this), place->Name);
        box->setGeometry(152, place->Top, 105, 22);
        spins_.push_back({&field, box});
        placed[static_cast<std::size_t>(place - kSpinPlaces.data())] = box;
    }
    AddLabel(this, "Label14", "(units are 1/100 of a mm)", 144, 344);
    Named(new TRule(TRule::Edge::Left, this), "Bevel1")->Place(272 + 4, 0, 9, 361);

    AddLabel(this, "Label1", "Default marker colour", 280, 0);
    defColour = Named(new TColourSwatch(this), "defColour");
    defColour->setGeometry(392, 0, 13, 13);
    AddLabel(this, "Label15", "Marker colour ranges:", 280, 24);
    listRanges = Named(new QListWidget(this), "listRanges");
    listRanges->setGeometry(288, 40, 217, 145);
    listRanges->setSelectionMode(QAbstractItemView::SingleSelection);
    listRanges->setUniformItemSizes(true);
    Button3 = AddButton(this, "Button3", "New", QRect(288, 192, 75, 25));
    Button4 = AddButton(this, "Button4", "Remove", QRect(432, 192, 75, 25));

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setGeometry(288, 224, 217, 89);
    AddLabel(Panel1, "Label16", "Marker colour", 8, 8);
    SubColour = Named(new TColourSwatch(Panel1), "SubColour");
    SubColour->setGeometry(132, 8, 13, 13);
    AddLabel(Panel1, "Label17", "Marker start", 8, 32 + 4);
    comboStart = Named(new TMarkerComboBox(Panel1), "comboStart");
    comboStart->setGeometry(88, 32, 121, 21);
    AddLabel(Panel1, "Label18", "Marker end", 8, 56 + 4);
    comboEnd = Named(new TMarkerComboBox(Panel1), "comboEnd");
    comboEnd->setGeometry(88, 56, 121, 21);
    // Both marker lists show the same entries, so they share one list of
    // them, filled once per opening.
    MarkerEntries_ = new QStringListModel(this);
    comboStart->setModel(MarkerEntries_);
    comboEnd->setModel(MarkerEntries_);

    Named(new TRule(TRule::Edge::Left, this), "Bevel3")->Place(kFigureLeft - 16, 0, 9, 361);
    for (std::size_t i = 0; i < kFigurePlaces.size(); ++i) {
        const TFigurePlace& place = kFigurePlaces[i];
        const int top = static_cast<int>(i) * kFigureRowHeight;
        QWidget* control = nullptr;
        if (place.Control == TFigureControl::WrapRows || place.Control == TFigureControl::Flag) {
            control = new QCheckBox(QString::fromLatin1(place.Label), this);
            control->setGeometry(kFigureLeft, top, 249, 22);
        } else {
            AddLabel(this, "", place.Label, kFigureLeft, top + 4);
            if (place.Control == TFigureControl::Count) {
                auto* spin = new QSpinBox(this);
                spin->setRange(LeastCount(place), kMostCount);
                if (place.Setting == "MapsPerRow") {
                    spin->setSpecialValueText(QStringLiteral("any"));
                }
                control = spin;
            } else {
                auto* edit = new QLineEdit(this);
                if (place.Control == TFigureControl::Length) {
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

    Named(new TRule(TRule::Edge::Bottom, this), "Bevel2")->Place(272, 312, 233, 10);
    Button1 = AddButton(this, "Button1", "OK", QRect(280, 328, 75, 25));
    Button2 = AddButton(this, "Button2", "Cancel", QRect(432, 328, 75, 25));

    QWidget* previous = listRanges;
    for (TNumberBox* box : placed) {
        setTabOrder(previous, box);
        previous = box;
    }
    for (QWidget* next : {static_cast<QWidget*>(comboStart), static_cast<QWidget*>(comboEnd),
                          static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
                          static_cast<QWidget*>(Button3), static_cast<QWidget*>(Button4)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (const auto& [field, control] : figureControls_) {
        setTabOrder(previous, control);
        previous = control;
    }
    setTabOrder(previous, loadSettings);
    setTabOrder(loadSettings, saveSettings);

    connect(listRanges, &QListWidget::itemSelectionChanged, this, &TOptionFrm::listRangesClick);
    // "activated" comes from the user only, so selecting an entry by program
    // runs neither change handler.
    connect(comboStart, &QComboBox::activated, this, &TOptionFrm::comboStartChange);
    connect(comboEnd, &QComboBox::activated, this, &TOptionFrm::comboEndChange);
    connect(SubColour, &TColourSwatch::mouseUp, this, &TOptionFrm::SubColourMouseUp);
    connect(defColour, &TColourSwatch::mouseUp, this, &TOptionFrm::defColourMouseUp);
    connect(Button1, &QPushButton::clicked, this, &TOptionFrm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TOptionFrm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TOptionFrm::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TOptionFrm::Button4Click);
    connect(loadSettings, &QPushButton::clicked, this, &TOptionFrm::LoadSettingsClick);
    connect(saveSettings, &QPushButton::clicked, this, &TOptionFrm::SaveSettingsClick);

    // The window encloses its controls, a rule's full rectangle included.
    setFixedSize(childrenRect().united(QRect(0, 0, 272 + 9, 361)).size());
    move(272, 185);

    // FormCreate.
    CurrentRange_ = -1;
    listRangesClick();
}

void TOptionFrm::HandIn(const TDrawSettings& settings, TColour defaultColour,
                        const TColRangeSet& ranges, const TAllMarkers& markers) {
    TSettingsFile file;
    file.Draw = settings;
    file.DefaultColour = defaultColour;
    file.Ranges = ranges;
    HandIn(file, markers, TTextEncoding::Windows1252);
}

void TOptionFrm::HandIn(const TSettingsFile& settings, const TAllMarkers& markers,
                        TTextEncoding encoding) {
    encoding_ = encoding;
    Settings_ = settings.Draw;
    DefaultColour_ = settings.DefaultColour;
    ColourRanges_ = settings.Ranges;
    Figure_ = settings.Figure;
    Annotations_ = settings.Annotations;
    QtlFile_ = settings.QtlFile;
    AllMarkers_ = markers;
}

TSettingsFile TOptionFrm::SettingsFile() const {
    TSettingsFile file;
    file.Draw = Settings_;
    file.DefaultColour = DefaultColour_;
    file.Ranges = ColourRanges_;
    file.Figure = Figure_;
    file.Annotations = Annotations_;
    file.QtlFile = QtlFile_;
    return file;
}

QString TOptionFrm::RangeEntryText(const TColRange& range, const TAllMarkers& markers,
                                   TTextEncoding encoding) {
    return MarkerName(range.StartIndex, markers, encoding) + QStringLiteral(" to ") +
           MarkerName(range.EndIndex, markers, encoding);
}

void TOptionFrm::FillControls() {
    for (const auto& [field, box] : spins_) {
        box->SetValue(Settings_.*field->Member);
    }
    defColour->SetColour(DefaultColour_);
    const TFigureSettings defaults;
    for (const auto& [field, control] : figureControls_) {
        switch (
            kFigurePlaces[static_cast<std::size_t>(field - kFigureSettingFields.data())].Control) {
        case TFigureControl::WrapRows:
            static_cast<QCheckBox*>(control)->setChecked(Figure_.*field->Number > 0);
            break;
        case TFigureControl::Count:
            static_cast<QSpinBox*>(control)->setValue(ShownCount(
                Figure_.*field->Number,
                kFigurePlaces[static_cast<std::size_t>(field - kFigureSettingFields.data())]));
            break;
        case TFigureControl::Length: {
            const std::int32_t value = Figure_.*field->Number;
            static_cast<QLineEdit*>(control)->setText(
                value == defaults.*field->Number ? QString()
                                                 : QString::fromStdString(DecimalText(value)));
            break;
        }
        case TFigureControl::Text:
            static_cast<QLineEdit*>(control)->setText(QString::fromStdString(Figure_.*field->Text));
            break;
        case TFigureControl::Flag:
            static_cast<QCheckBox*>(control)->setChecked(Figure_.*field->Flag);
            break;
        }
    }
    {
        const QSignalBlocker blocker(listRanges);
        listRanges->clear();
        for (const TColRange& range : ColourRanges_) {
            AddListEntry(*listRanges, RangeEntryText(range, AllMarkers_, encoding_));
        }
    }
    CurrentRange_ = -1;
    listRangesClick();
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(AllMarkers_.size()));
    for (std::size_t k = 0; k < AllMarkers_.size(); ++k) {
        entries << QStringLiteral("(") + QString::number(k) + QStringLiteral(") ") +
                       TextToQString(AllMarkers_[k].Name, encoding_);
    }
    const QSignalBlocker startBlocker(comboStart);
    const QSignalBlocker endBlocker(comboEnd);
    MarkerEntries_->setStringList(entries);
    // A list that gains entries picks the first of its own accord; the
    // marker lists show none until a range is selected.
    comboStart->setCurrentIndex(-1);
    comboEnd->setCurrentIndex(-1);
}

void TOptionFrm::SelectRangeEntry(int row) {
    const QSignalBlocker blocker(listRanges);
    listRanges->clearSelection();
    if (row >= 0) {
        listRanges->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

void TOptionFrm::listRangesClick() {
    if (CurrentRange_ >= 0) {
        StoreRange(CurrentRange_);
    }
    CurrentRange_ = SelectedRow(*listRanges);
    const bool shown = CurrentRange_ >= 0;
    if (shown) {
        const TColRange& range = ColourRanges_[static_cast<std::size_t>(CurrentRange_)];
        // An index with no marker in the table shows no entry rather than a
        // wrong one.
        const auto entryOf = [this](std::int32_t index) {
            return index >= 0 && static_cast<std::size_t>(index) < AllMarkers_.size() ? index : -1;
        };
        const QSignalBlocker startBlocker(comboStart);
        const QSignalBlocker endBlocker(comboEnd);
        comboStart->setCurrentIndex(entryOf(range.StartIndex));
        comboEnd->setCurrentIndex(entryOf(range.EndIndex));
        SubColour->SetColour(range.Colour);
    } else {
        SubColour->SetColour(FromQColor(palette().color(QPalette::Window)));
    }
    comboStart->setEnabled(shown);
    comboEnd->setEnabled(shown);
    SubColour->setEnabled(shown);
}

void TOptionFrm::StoreRange(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= ColourRanges_.size()) {
        return;
    }
    TColRange& range = ColourRanges_[static_cast<std::size_t>(i)];
    // A marker list showing no entry (its range's index lay beyond the
    // table) keeps the index it had; -1 would mean "up to the last marker".
    if (comboStart->currentIndex() >= 0) {
        range.StartIndex = comboStart->currentIndex();
    }
    if (comboEnd->currentIndex() >= 0) {
        range.EndIndex = comboEnd->currentIndex();
    }
    range.Colour = SubColour->Colour();
    if (QListWidgetItem* item = listRanges->item(i)) {
        item->setText(RangeEntryText(range, AllMarkers_, encoding_));
    }
}

void TOptionFrm::comboStartChange() {
    StoreRange(SelectedRow(*listRanges));
}

void TOptionFrm::comboEndChange() {
    StoreRange(SelectedRow(*listRanges));
}

void TOptionFrm::SubColourMouseUp() {
    if (const auto chosen = dialogs_.PickColour(this, SubColour->Colour())) {
        SubColour->SetColour(*chosen);
        StoreRange(SelectedRow(*listRanges));
    }
}

void TOptionFrm::defColourMouseUp() {
    if (const auto chosen = dialogs_.PickColour(this, defColour->Colour())) {
        defColour->SetColour(*chosen);
    }
}

bool TOptionFrm::TakeControls() {
    TDrawSettings settings = Settings_;
    for (const auto& [field, box] : spins_) {
        ApplyDrawSetting(settings, *field, box->Value());
    }
    TFigureSettings figure = Figure_;
    const TFigureSettings defaults;
    for (const auto& [field, control] : figureControls_) {
        const TFigurePlace& place =
            kFigurePlaces[static_cast<std::size_t>(field - kFigureSettingFields.data())];
        switch (place.Control) {
        case TFigureControl::WrapRows: {
            if (!static_cast<QCheckBox*>(control)->isChecked()) {
                figure.*field->Number = 0;
                break;
            }
            // Rows already on over the same page keep their width, which a
            // settings file or the command line may have set otherwise.
            const bool samePage = Figure_.*field->Number > 0 &&
                                  settings.PageWidth == Settings_.PageWidth &&
                                  settings.RightMargin == Settings_.RightMargin;
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
        case TFigureControl::Count:
            // A number beyond the box's range (from a settings file) stays
            // as it was unless the user changed the box.
            if (static_cast<QSpinBox*>(control)->value() !=
                ShownCount(Figure_.*field->Number, place)) {
                figure.*field->Number = static_cast<QSpinBox*>(control)->value();
            }
            break;
        case TFigureControl::Length: {
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
        case TFigureControl::Text:
            figure.*field->Text = static_cast<QLineEdit*>(control)->text().trimmed().toStdString();
            break;
        case TFigureControl::Flag:
            figure.*field->Flag = static_cast<QCheckBox*>(control)->isChecked();
            break;
        }
    }
    Settings_ = settings;
    Figure_ = figure;
    DefaultColour_ = defColour->Colour();
    return true;
}

void TOptionFrm::Button1Click() {
    if (TakeControls()) {
        done(kResultOk);
    }
}

void TOptionFrm::SaveSettingsClick() {
    if (!TakeControls()) {
        return;
    }
    const auto path = dialogs_.SettingsFileName(this, true);
    if (!path) {
        return;
    }
    try {
        WriteWholeFile(QFile::encodeName(*path).toStdString(),
                       WriteSettingsText(SettingsFile(), AllMarkers_));
    } catch (const KarvelloError& error) {
        dialogs_.ShowError(this, ErrorBoxText(error.what()));
    }
}

void TOptionFrm::LoadSettingsClick() {
    if (!TakeControls()) {
        return;
    }
    const auto path = dialogs_.SettingsFileName(this, false);
    if (!path) {
        return;
    }
    try {
        HandIn(
            ReadSettingsFile(QFile::encodeName(*path).toStdString(), SettingsFile(), AllMarkers_),
            AllMarkers_, encoding_);
    } catch (const KarvelloError& error) {
        dialogs_.ShowError(this, ErrorBoxText(error.what()));
        return;
    }
    FillControls();
}

void TOptionFrm::Button2Click() {
    done(kResultCancel);
}

void TOptionFrm::reject() {
    done(kResultCancel);
}

void TOptionFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    KeepInsideScreen(*this);
}

void TOptionFrm::Button3Click() {
    // With no marker in the table there is no first marker to name, so no
    // range is added.
    if (AllMarkers_.empty()) {
        return;
    }
    const TColRange range{0, 0, DefaultColour_};
    ColourRanges_.push_back(range);
    {
        const QSignalBlocker blocker(listRanges);
        AddListEntry(*listRanges, RangeEntryText(range, AllMarkers_, encoding_));
    }
    SelectRangeEntry(listRanges->count() - 1);
    listRangesClick();
}

void TOptionFrm::Button4Click() {
    const int i = SelectedRow(*listRanges);
    if (i < 0) {
        return;
    }
    {
        const QSignalBlocker blocker(listRanges);
        delete listRanges->takeItem(i);
    }
    ColourRanges_.erase(ColourRanges_.begin() + i);
    SelectRangeEntry(i < listRanges->count() ? i : -1);
    CurrentRange_ = -1;
    listRangesClick();
}

} // namespace karvello
