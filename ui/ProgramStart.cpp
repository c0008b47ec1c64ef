#include "ui/ProgramStart.h"

#include <QApplication>
#include <QFile>

#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"

namespace karvello {

ProgramWindows CreateWindows(const Dialogs& dialogs, const PlatformServices& platform) {
    ProgramWindows windows;
    windows.Form2 = std::make_unique<MainWindow>(dialogs, platform);
    windows.OptionFrm = new OptionsWindow(dialogs, windows.Form2.get());
    windows.Form2->SetOptionsWindow(windows.OptionFrm);
    return windows;
}

void SetApplicationTitle() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppTitle));
}

int RunWindows(int& argc, char** argv, const std::optional<FilesToOpen>& open) {
    QApplication application(argc, argv);
    SetApplicationTitle();
    const ProgramWindows windows = CreateWindows(Dialogs::System(), PlatformServices::Default());
    windows.Form2->show();
    if (open) {
        windows.Form2->OpenFiles(QFile::decodeName(open->Input.c_str()),
                                 QFile::decodeName(open->Output.c_str()));
    }
    return QApplication::exec();
}

} // namespace karvello
