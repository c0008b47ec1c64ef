#include "platform/QtRuntime.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

#include "base/Error.h"

namespace karvello {

namespace {

QtMessageHandler previousHandler = nullptr;

// Without a session (a console login, a container, a build job) Qt notes
// on standard error that it makes a runtime folder of its own. That is the
// expected case for a program without a display, and the note would land in
// the middle of the command line's output; every other message passes on.
void QuietRuntimeFolderNote(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    } else {
        qt_message_output(type, context, message);
    }
}

} // namespace

void EnsureQtGui() {
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        if (qobject_cast<QGuiApplication*>(existing) == nullptr) {
            throw KarvelloError(
                "Drawing needs a graphical Qt application, and a console-only one is running");
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
    previousHandler = qInstallMessageHandler(QuietRuntimeFolderNote);
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

} // namespace karvello
