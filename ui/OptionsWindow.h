#pragma once
// The options window: the drawing settings, the default marker colour, the
// marker colour ranges and, in a section of their own on the right, the
// figure settings, with buttons that save all of them to a settings file and
// load them from one. It works on copies that the main window hands it, and
// the main window takes them back only when it closes with OK.

#include <QDialog>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mapdata/MapRecords.h"
#include "mapdata/SettingsFile.h"
#include "ui/Dialogs.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QStringListModel;

namespace karvello {

struct DrawSettingField;
struct FigureSettingField;
class ColourSwatch;
class MarkerComboBox;
class NumberBox;

class OptionsWindow : public QDialog {
    Q_OBJECT
  public:
    // Modal results, as the main window tests them.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    // Creates the window hidden, with no range shown. Its colour pickers go
    // through dialogs.PickColour. Its boxes, labels and their places come from
    // the rows of the page-length and figure settings tables.
    explicit OptionsWindow(const Dialogs& dialogs, QWidget* parent = nullptr);

    // Hands the window its working copies; the marker table only supplies
    // the names shown.
    void HandIn(const PageLengths& settings, RgbColour defaultColour, const ColourRangeList& ranges,
                const MarkerTable& markers);
    // Hands in every setting a settings file holds: the above, the figure
    // settings, and the annotations and QTL table path, which the window
    // does not show but saves, loads and gives back.
    void HandIn(const AllSettings& settings, const MarkerTable& markers,
                CharacterEncoding encoding);
    // Fills every control from the copies; nothing of an earlier opening
    // shows through.
    void FillControls();

    // The working copies; after OK they hold the user's choices.
    const PageLengths& Settings() const { return settings_; }
    RgbColour DefaultColour() const { return defaultColour_; }
    const ColourRangeList& ColourRanges() const { return colourRanges_; }
    int CurrentRange() const { return currentRange_; }
    const FigureSettings& Figure() const { return figure_; }
    // All the working copies as one settings record.
    AllSettings SettingsFile() const;

    // The text of a range's entry in the range list: its start and end
    // markers' names joined by " to "; an index with no marker in the table
    // shows as "#" and the index instead of a name.
    static QString RangeEntryText(const ColourRange& range, const MarkerTable& markers,
                                  CharacterEncoding encoding = CharacterEncoding::Windows1252);

    // The close box gives the cancel result.
    void reject() override;

  protected:
    // Keeps the window inside the screen's available area.
    void showEvent(QShowEvent* event) override;

  private:
    void RangeListClick();
    void StoreRange(int i);
    void RangeStartChange();
    void RangeEndChange();
    void RangeColourClick();
    void DefaultColourClick();
    void OkClick();
    void CancelClick();
    void NewRangeClick();
    void RemoveRangeClick();
    void LoadSettingsClick();
    void SaveSettingsClick();
    // Takes every box into the working copies. A figure length that is not
    // one, or a value that its setting's row does not take (such as a
    // resolution of 0 handed in), is named in an error box, and false
    // returned with nothing taken.
    bool TakeControls();
    // Focuses the control and names the setting, what it must be and the
    // value it has.
    void RefuseValue(QWidget* control, std::string_view label, const std::string& rule,
                     const std::string& value);

    // Selects entry row (-1 for none) without running RangeListClick.
    void SelectRangeEntry(int row);

    Dialogs dialogs_;
    int currentRange_ = -1;
    ColourRangeList colourRanges_;
    RgbColour defaultColour_ = 0;
    PageLengths settings_;
    MarkerTable markers_;
    CharacterEncoding encoding_ = CharacterEncoding::Windows1252; // of the marker names
    FigureSettings figure_;
    FigureAnnotations annotations_;
    std::string qtlFile_;

    // The number boxes with the settings they edit, in the settings' table order.
    std::vector<std::pair<const DrawSettingField*, NumberBox*>> settingBoxes_;
    // The figure section's controls with the settings they edit, in the
    // figure settings' table order.
    std::vector<std::pair<const FigureSettingField*, QWidget*>> figureControls_;
    ColourSwatch* defaultColourSwatch_ = nullptr;
    QListWidget* rangeList_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* newRangeButton_ = nullptr;
    QPushButton* removeRangeButton_ = nullptr;
    QFrame* rangePanel_ = nullptr;
    ColourSwatch* rangeColourSwatch_ = nullptr;
    MarkerComboBox* rangeStartBox_ = nullptr;
    MarkerComboBox* rangeEndBox_ = nullptr;
    // The entries of rangeStartBox_ and rangeEndBox_, one per marker of the table.
    QStringListModel* markerEntries_ = nullptr;
};

} // namespace karvello
