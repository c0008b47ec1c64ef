#include "platform/QtRuntime.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include "mapdata/Error.h"

namespace karvello {

void EnsureQtGui() {
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        if (qobject_cast<QGuiApplication*>(existing) == nullptr) {
            throw KarvelloError("Drawing needs a graphical Qt application, and a console-only one is running");
        }
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt keeps references to argc and argv for the life of the application,
    // so both live as long as the process does. The application object is
    // never destroyed: tearing it down during static destruction races with
    // Qt's own global objects.
    static int argc = 1;
    static char name[] = "karvello";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace karvello
