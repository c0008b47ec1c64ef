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

// The number boxes of the page lengths that have a label take the places
// 0, 1, ... of the keyboard focus order, each once: a setting added to the
// table with a label fails to build until it has its own place.
constexpr bool EveryLabelledSettingHasItsOwnFocusPlace() {
    std::size_t labelled = 0;
    for (const DrawSettingField& field : kDrawSettingFields) {
        labelled += field.Label.empty() ? 0 : 1;
    }
    for (std::size_t place = 0; place < labelled; ++place) {
        std::size_t holders = 0;
        for (const DrawSettingField& field : kDrawSettingFields) {
            holders += !field.Label.empty() && field.FocusOrder == static_cast<int>(place) ? 1 : 0;
        }
        if (holders != 1) {
            return false;
        }
    }
    return true;
}
static_assert(EveryLabelledSettingHasItsOwnFocusPlace(),
              "the page lengths with a label do not take each place of the focus order once");

// Every figure setting is shown by a control that fits its kind: a setting
// added to the table with another control fails to build.
constexpr bool EveryFigureControlFitsItsSetting() {
    for (const FigureSettingField& field : kFigureSettingFields) {
        const bool fits =
            field.Control == FigureControl::Text   ? field.Kind == FigureSettingKind::Text
            : field.Control == FigureControl::Tick ? field.Kind == FigureSettingKind::Flag
                                                   : field.Kind == FigureSettingKind::WholeNumber;
        if (!fits) {
            return false;
        }
    }
    return true;
}
static_assert(EveryFigureControlFitsItsSetting(),
              "a figure setting's control in the table does not fit its kind");

// The control's object name: its kind and the setting's name, "SpinDpi".
std::string ControlName(std::string_view kind, std::string_view setting) {
    return std::string(kind) + std::string(setting);
}

// The least number a setting's spin box shows: the least of its range, or
// its default when that lies below, and a value as the box shows it, pinned
// between that and the greatest of the range.
int LeastShown(const FigureSettingField& field) {
    return std::min(field.Least, DefaultNumber(field));
}
int ShownCount(std::int32_t value, const FigureSettingField& field) {
    return std::clamp(value, LeastShown(field), field.Greatest);
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

    // The boxes are made in the settings' table order, each beside its label;
    // the keyboard goes through them in the order the table gives.
    std::vector<NumberBox*> focusOrder;
    for (const DrawSettingField& field : kDrawSettingFields) {
        if (field.Label.empty()) {
            continue;
        }
        AddLabel(this, "", std::string(field.Label).c_str(), 0, field.Top + 4);
        auto* box = Named(new NumberBox(this), ControlName("Spin", field.Name).c_str());
        box->setGeometry(152, field.Top, 105, 22);
        settingBoxes_.push_back({&field, box});
        const auto place = static_cast<std::size_t>(field.FocusOrder);
        focusOrder.resize(std::max(focusOrder.size(), place + 1));
        focusOrder[place] = box;
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
    int top = 0;
    for (const FigureSettingField& field : kFigureSettingFields) {
        const QString label = QString::fromUtf8(field.Label.data(), field.Label.size());
        QWidget* control = nullptr;
        std::string_view kind;
        if (field.Control == FigureControl::WrapRows || field.Control == FigureControl::Tick) {
            control = new QCheckBox(label, this);
            control->setGeometry(kFigureLeft, top, 249, 22);
            kind = "Check";
        } else {
            AddLabel(this, "", std::string(field.Label).c_str(), kFigureLeft, top + 4);
            if (field.Control == FigureControl::Spin) {
                auto* spin = new QSpinBox(this);
                spin->setRange(LeastShown(field), field.Greatest);
                spin->setSpecialValueText(
                    QString::fromUtf8(field.DefaultShown.data(), field.DefaultShown.size()));
                control = spin;
                kind = "Spin";
            } else {
                auto* edit = new QLineEdit(this);
                if (field.Control == FigureControl::LengthText) {
                    edit->setPlaceholderText(QStringLiteral("usual"));
                } else {
                    edit->setPlaceholderText(QStringLiteral("Microsoft Sans Serif"));
                }
                control = edit;
                kind = "Edit";
            }
            control->setGeometry(kFigureBoxLeft, top, 121, 22);
        }
        Named(control, ControlName(kind, field.Name).c_str())
            ->setToolTip(QString::fromUtf8(field.Hint.data(), field.Hint.size()));
        figureControls_.push_back({&field, control});
        top += kFigureRowHeight;
    }
    AddLabel(this, "LabelLengths", "(lengths: 1/100 mm, or 7pt, 2mm, 1in)", kFigureLeft, top + 4);
    // The settings file's buttons stand below the figure settings: at 288
    // while the settings leave that room, lower when more of them need it.
    const int buttonsTop = std::max(288, top + 32);
    auto* loadSettings = AddButton(this, "ButtonLoadSettings", "Load settings...",
                                   QRect(kFigureLeft, buttonsTop, 121, 25));
    auto* saveSettings = AddButton(this, "ButtonSaveSettings", "Save settings...",
                                   QRect(kFigureBoxLeft, buttonsTop, 121, 25));
    loadSettings->setToolTip(QStringLiteral("Every setting, the colours and the annotations from "
                                            "a settings file"));
    saveSettings->setToolTip(QStringLiteral("Every setting, the colours and the annotations into "
                                            "a settings file"));

    Named(new DividerLine(DividerLine::Edge::Bottom, this), "RuleAboveButtons")
        ->Place(272, 312, 233, 10);
    okButton_ = AddButton(this, "ButtonOk", "OK", QRect(280, 328, 75, 25));
    cancelButton_ = AddButton(this, "ButtonCancel", "Cancel", QRect(432, 328, 75, 25));

    QWidget* previous = rangeList_;
    for (NumberBox* box : focusOrder) {
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
    for (const auto& [field, control] : figureControls_) {
        switch (field->Control) {
        case FigureControl::WrapRows:
            static_cast<QCheckBox*>(control)->setChecked(figure_.*field->Number > 0);
            break;
        case FigureControl::Spin:
            static_cast<QSpinBox*>(control)->setValue(ShownCount(figure_.*field->Number, *field));
            break;
        case FigureControl::LengthText: {
            const std::int32_t value = figure_.*field->Number;
            static_cast<QLineEdit*>(control)->setText(
                value == DefaultNumber(*field) ? QString()
                                               : QString::fromStdString(DecimalText(value)));
            break;
        }
        case FigureControl::Text:
            static_cast<QLineEdit*>(control)->setText(QString::fromStdString(figure_.*field->Text));
            break;
        case FigureControl::Tick:
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
    for (const auto& [field, control] : figureControls_) {
        switch (field->Control) {
        case FigureControl::WrapRows: {
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
        case FigureControl::Spin:
            // A number the box cannot show (one its setting does not take)
            // stays as it was unless the user changed the box, and is named
            // below.
            if (static_cast<QSpinBox*>(control)->value() !=
                ShownCount(figure_.*field->Number, *field)) {
                figure.*field->Number = static_cast<QSpinBox*>(control)->value();
            }
            break;
        case FigureControl::LengthText: {
            auto* edit = static_cast<QLineEdit*>(control);
            if (!edit->isModified()) {
                break; // as handed in, whatever a settings file gave
            }
            const QString text = edit->text().trimmed();
            if (text.isEmpty()) {
                figure.*field->Number = DefaultNumber(*field);
                break;
            }
            const std::optional<std::int32_t> length = ParseLength(text.toStdString());
            if (!length) {
                control->setFocus();
                dialogs_.ShowError(
                    this,
                    QStringLiteral("The %1 \"%2\" is not a length: give a whole number of "
                                   "1/100 mm, or a number with mm, cm, in or pt (7pt), or "
                                   "nothing for the usual one.")
                        .arg(QString::fromUtf8(field->Label.data(), field->Label.size()).toLower(),
                             text.left(100)));
                return false;
            }
            figure.*field->Number = *length;
            break;
        }
        case FigureControl::Text:
            figure.*field->Text = static_cast<QLineEdit*>(control)->text().trimmed().toStdString();
            break;
        case FigureControl::Tick:
            figure.*field->Flag = static_cast<QCheckBox*>(control)->isChecked();
            break;
        }
    }
    // Every value goes through its row, as a settings file's and the command
    // line's do; the first one the row does not take is named.
    for (const auto& [field, box] : settingBoxes_) {
        if (!DrawSettingAllows(*field, settings.*field->Member)) {
            RefuseValue(box, field->Label, DrawSettingValueRule(*field),
                        DecimalText(settings.*field->Member));
            return false;
        }
    }
    for (const auto& [field, control] : figureControls_) {
        if (!FigureSettingAllows(*field, figure)) {
            RefuseValue(control, field->Label, FigureSettingRule(*field),
                        FigureSettingValueText(figure, *field));
            return false;
        }
    }
    settings_ = settings;
    figure_ = figure;
    defaultColour_ = defaultColourSwatch_->Colour();
    return true;
}

void OptionsWindow::RefuseValue(QWidget* control, std::string_view label, const std::string& rule,
                                const std::string& value) {
    control->setFocus();
    dialogs_.ShowError(this, QStringLiteral("The setting \"%1\" must be %2, not %3.")
                                 .arg(QString::fromUtf8(label.data(), label.size()),
                                      QString::fromStdString(rule),
                                      QString::fromStdString(value).left(100)));
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
