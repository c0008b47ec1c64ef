#pragma once
// The modal dialogs the windows open, behind plain functions so that a test
// can answer them at once instead of leaving a dialog waiting for a user.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "mapdata/MapRecords.h"

class QWidget;

namespace karvello {

class OptionsWindow;

// The application title: the main window's caption and every error box's.
inline constexpr const char* kAppTitle = "Karvello";

struct Dialogs {
    // The open dialog, opened on lastFile (empty before the first choice).
    // Returns the full path chosen, or nothing when the user cancels.
    std::function<std::optional<QString>(QWidget* parent, const QString& lastFile)> OpenFileName;
    // The save dialog for a drawing, offering a PNG image at pngDpi. Returns
    // the path, its extension supplied when the user typed none, or nothing
    // when the user cancels.
    std::function<std::optional<QString>(QWidget* parent, std::int32_t pngDpi)> SaveFileName;
    // The colour picker, starting on start. Returns the colour chosen, or
    // nothing when the user cancels.
    std::function<std::optional<RgbColour>(QWidget* parent, RgbColour start)> PickColour;
    // The standard error box, showing text as it stands.
    std::function<void(QWidget* parent, const QString& text)> ShowError;
    // Shows the options window modally. Returns its modal result (1 = OK).
    std::function<int(OptionsWindow& window)> ShowOptions;
    // The dialog for a settings file, to save one (save) or to load one.
    // Returns the path, ".json" supplied to a name saved without an
    // extension, or nothing when the user cancels.
    std::function<std::optional<QString>(QWidget* parent, bool save)> SettingsFileName;
    // Asks for one line of text, starting with start. Returns the text, or
    // nothing when the user cancels.
    std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                         const QString& label, const QString& start)>
        AskText;

    // The system's own dialogs.
    static Dialogs System();
};

// One filter of the save dialog: its text, and the extension a name typed
// without one gets while the filter is chosen.
struct SaveFilter {
    QString Name;
    QString Suffix;
};

// The save dialog's filters: "Metafiles (*.emf)" first, then the other
// drawing formats, the PNG image with its resolution ("PNG image, 600 dpi
// (*.png)"), then "All files (*)", which keeps the ".emf" default.
std::vector<SaveFilter> SaveFilters(std::int32_t pngDpi);

// The open dialog's filters, the first chosen: those of the map-file formats
// (MapFileDialogFilters: "Mapmaker files (*.raw *.out *.txt *.log)", "Map
// tables (*.csv *.tsv *.txt *.map ...)"), then "Text files (*.txt)" and "All
// files (*)".
QStringList OpenFilters();

// The text of the standard error box for an error message: the message with
// a full stop appended when its last character sorts after "." (an empty
// message gets none). The message is 8-bit text as the layers below give it.
QString ErrorBoxText(std::string_view message);

} // namespace karvello
