#pragma once
// Qt's font and painting machinery needs a QGuiApplication. The command line
// and the tests have none of their own; this gives them one that works
// without a display.

namespace karvello {

// Makes sure a QGuiApplication exists. When no QCoreApplication exists yet,
// it creates one for the rest of the process, on Qt's offscreen platform
// unless QT_QPA_PLATFORM already names another. When an application object
// exists already, it does nothing. Throws KarvelloError when the existing
// application object is a QCoreApplication without a GUI, on which fonts
// cannot be measured. The GUI program creates its own QApplication and never
// needs to call this.
void EnsureQtGui();

} // namespace karvello
