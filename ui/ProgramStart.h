#pragma once
// The start of the windowed program: the application object, its title, the
// main window, the options window and the message loop.

#include <memory>
#include <optional>
#include <string>

#include "ui/Dialogs.h"
#include "ui/PlatformServices.h"

namespace karvello {

class MainWindow;
class OptionsWindow;

struct ProgramWindows {
    std::unique_ptr<MainWindow> Form2;
    OptionsWindow* OptionFrm = nullptr; // owned by Form2, destroyed with it
};

// Creates the main window first, so that it is the application's main
// window, then the options window, hidden, for the whole run. Needs a
// QApplication. Neither window is shown.
ProgramWindows CreateWindows(const Dialogs& dialogs, const PlatformServices& platform);

// Sets the application title "Karvello" as the name the system knows the
// program by; the main window and every error box take it as their caption
// themselves. It is not made Qt's display name as well: Qt on X11 would
// append that to the caption of every other window, so that the options
// window would read "Options - Karvello" and the file dialogs would carry it
// after their own titles.
void SetApplicationTitle();

// The file pair "karvello open" names, as the system spells file names.
struct FilesToOpen {
    std::string Input;
    std::string Output;
};

// Runs the windowed program: initialises the application object, sets the
// application title, creates the windows, shows the main window (with the
// files in their boxes and loaded, when given) and runs the message loop
// until "Exit" or the main window's close box. Returns the loop's exit
// status.
int RunWindows(int& argc, char** argv, const std::optional<FilesToOpen>& open = std::nullopt);

} // namespace karvello
