#pragma once
// The options window: the drawing settings, the default marker colour, the
// marker colour ranges and, in a section of their own on the right, the
// figure settings, with buttons that save all of them to a settings file and
// load them from one. It works on copies that the main window hands it, and
// the main window takes them back only when it closes with OK.

#include <QDialog>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "mapdata/SettingsFile.h"
#include "mapdata/ZazereZeve.h"
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
class TColourSwatch;
class TMarkerComboBox;
class TNumberBox;

class TOptionFrm : public QDialog {
    Q_OBJECT
  public:
    // Modal results, as the main window tests them.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    // Creates the window hidden, with no range shown (FormCreate). Its colour
    // pickers go through dialogs.PickColour.
    explicit TOptionFrm(const TDialogs& dialogs, QWidget* parent = nullptr);

    // Hands the window its working copies; the marker table only supplies
    // the names shown.
    void HandIn(const TDrawSettings& settings, TColour defaultColour, const TColRangeSet& ranges,
                const TAllMarkers& markers);
    // Hands in every setting a settings file holds: the above, the figure
    // settings, and the annotations and QTL table path, which the window
    // does not show but saves, loads and gives back.
    void HandIn(const TSettingsFile& settings, const TAllMarkers& markers, TTextEncoding encoding);
    // Fills every control from the copies; nothing of an earlier opening
    // shows through.
    void FillControls();

    // The working copies; after OK they hold the user's choices.
    const TDrawSettings& Settings() const { return Settings_; }
    TColour DefaultColour() const { return DefaultColour_; }
    const TColRangeSet& ColourRanges() const { return ColourRanges_; }
    int CurrentRange() const { return CurrentRange_; }
    const TFigureSettings& Figure() const { return Figure_; }
    // All the working copies as one settings record.
    TSettingsFile SettingsFile() const;

    // The text of a range's entry in the range list: its start and end
    // markers' names joined by " to "; an index with no marker in the table
    // shows as "#" and the index instead of a name.
    static QString RangeEntryText(const TColRange& range, const TAllMarkers& markers,
                                  TTextEncoding encoding = TTextEncoding::Windows1252);

    // The close box gives the cancel result.
    void reject() override;

  protected:
    // Keeps the window inside the screen's available area.
    void showEvent(QShowEvent* event) override;

  private:
    void listRangesClick();
    void StoreRange(int i);
    void comboStartChange();
    void comboEndChange();
    void SubColourMouseUp();
    void defColourMouseUp();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void LoadSettingsClick();
    void SaveSettingsClick();
    // Takes every box into the working copies. A figure length that is not
    // one is named in an error box, and false returned with nothing taken.
    bool TakeControls();

    // Selects entry row (-1 for none) without running listRangesClick.
    void SelectRangeEntry(int row);

    TDialogs dialogs_;
    int CurrentRange_ = -1;
    TColRangeSet ColourRanges_;
    TColour DefaultColour_ = 0;
    TDrawSettings Settings_;
    TAllMarkers AllMarkers_;
    TTextEncoding encoding_ = TTextEncoding::Windows1252; // of the marker names
    TFigureSettings Figure_;
    TAnnotations Annotations_;
    std::string QtlFile_;

    // The number boxes with the settings they edit, in the settings' table order.
    std::vector<std::pair<const DrawSettingField*, TNumberBox*>> spins_;
    // The figure section's controls with the settings they edit, in the
    // figure settings' table order.
    std::vector<std::pair<const FigureSettingField*, QWidget*>> figureControls_;
    TColourSwatch* defColour = nullptr;
    QListWidget* listRanges = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QFrame* Panel1 = nullptr;
    TColourSwatch* SubColour = nullptr;
    TMarkerComboBox* comboStart = nullptr;
    TMarkerComboBox* comboEnd = nullptr;
    // The entries of comboStart and comboEnd, one per marker of the table.
    QStringListModel* MarkerEntries_ = nullptr;
};

} // namespace karvello
