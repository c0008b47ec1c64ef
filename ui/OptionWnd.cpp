#include "ui/OptionWnd.h"
#include "platform/Windows1252.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringListModel>

#include "mapdata/DrawSettingsTable.h"
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

QString MarkerName(std::int32_t index, const TAllMarkers& markers) {
    if (index >= 0 && static_cast<std::size_t>(index) < markers.size()) {
        return Windows1252ToQString(markers[static_cast<std::size_t>(index)].Name);
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

    // The window encloses its controls, a rule's full rectangle included.
    setFixedSize(childrenRect().united(QRect(0, 0, 272 + 9, 361)).size());
    move(272, 185);

    // FormCreate.
    CurrentRange_ = -1;
    listRangesClick();
}

void TOptionFrm::HandIn(const TDrawSettings& settings, TColour defaultColour,
                        const TColRangeSet& ranges, const TAllMarkers& markers) {
    Settings_ = settings;
    DefaultColour_ = defaultColour;
    ColourRanges_ = ranges;
    AllMarkers_ = markers;
}

QString TOptionFrm::RangeEntryText(const TColRange& range, const TAllMarkers& markers) {
    return MarkerName(range.StartIndex, markers) + QStringLiteral(" to ") +
           MarkerName(range.EndIndex, markers);
}

void TOptionFrm::FillControls() {
    for (const auto& [field, box] : spins_) {
        box->SetValue(Settings_.*field->Member);
    }
    defColour->SetColour(DefaultColour_);
    {
        const QSignalBlocker blocker(listRanges);
        listRanges->clear();
        for (const TColRange& range : ColourRanges_) {
            AddListEntry(*listRanges, RangeEntryText(range, AllMarkers_));
        }
    }
    CurrentRange_ = -1;
    listRangesClick();
    QStringList entries;
    entries.reserve(static_cast<qsizetype>(AllMarkers_.size()));
    for (std::size_t k = 0; k < AllMarkers_.size(); ++k) {
        entries << QStringLiteral("(") + QString::number(k) + QStringLiteral(") ") +
                       Windows1252ToQString(AllMarkers_[k].Name);
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
        item->setText(RangeEntryText(range, AllMarkers_));
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

void TOptionFrm::Button1Click() {
    for (const auto& [field, box] : spins_) {
        ApplyDrawSetting(Settings_, *field, box->Value());
    }
    DefaultColour_ = defColour->Colour();
    done(kResultOk);
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
        AddListEntry(*listRanges, RangeEntryText(range, AllMarkers_));
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
