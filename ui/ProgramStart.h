#pragma once
// The start of the windowed program: the application object, its title, the
// main window, the options window and the message loop.

#include <memory>

#include "ui/Dialogs.h"
#include "ui/PlatformServices.h"

namespace karvello {

class TForm2;
class TOptionFrm;

struct TWindows {
    std::unique_ptr<TForm2> Form2;
    TOptionFrm* OptionFrm = nullptr; // owned by Form2, destroyed with it
};

// Creates the main window first, so that it is the application's main
// window, then the options window, hidden, for the whole run. Needs a
// QApplication. Neither window is shown.
TWindows CreateWindows(const TDialogs& dialogs, const TPlatformServices& platform);

// Runs the windowed program: initialises the application object, sets the
// application title "Karvello", creates the windows, shows the main window
// and runs the message loop until "Exit" or the main window's close box.
// Returns the loop's exit status.
int RunWindows(int& argc, char** argv);

} // namespace karvello
