#pragma once
// The options window: the drawing settings, the default marker colour and the
// marker colour ranges. It works on copies that the main window hands it, and
// the main window takes them back only when it closes with OK.

#include <QDialog>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "mapdata/ZazereZeve.h"
#include "ui/Dialogs.h"

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QStringListModel;

namespace karvello {

struct DrawSettingField;
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
    // Fills every control from the copies; nothing of an earlier opening
    // shows through.
    void FillControls();

    // The working copies; after OK they hold the user's choices.
    const TDrawSettings& Settings() const { return Settings_; }
    TColour DefaultColour() const { return DefaultColour_; }
    const TColRangeSet& ColourRanges() const { return ColourRanges_; }
    int CurrentRange() const { return CurrentRange_; }

    // The text of a range's entry in the range list: its start and end
    // markers' names joined by " to "; an index with no marker in the table
    // shows as "#" and the index instead of a name.
    static QString RangeEntryText(const TColRange& range, const TAllMarkers& markers);

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

    // Selects entry row (-1 for none) without running listRangesClick.
    void SelectRangeEntry(int row);

    TDialogs dialogs_;
    int CurrentRange_ = -1;
    TColRangeSet ColourRanges_;
    TColour DefaultColour_ = 0;
    TDrawSettings Settings_;
    TAllMarkers AllMarkers_;

    // The number boxes with the settings they edit, in the settings' table order.
    std::vector<std::pair<const DrawSettingField*, TNumberBox*>> spins_;
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
