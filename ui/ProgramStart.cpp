#include "ui/ProgramStart.h"

#include <QApplication>
#include <QFile>

#include "ui/OptionWnd.h"
#include "ui/ZevAdur1.h"

namespace karvello {

TWindows CreateWindows(const TDialogs& dialogs, const TPlatformServices& platform) {
    TWindows windows;
    windows.Form2 = std::make_unique<TForm2>(dialogs, platform);
    windows.OptionFrm = new TOptionFrm(dialogs, windows.Form2.get());
    windows.Form2->SetOptionFrm(windows.OptionFrm);
    return windows;
}

void SetApplicationTitle() {
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppTitle));
}

int RunWindows(int& argc, char** argv, const std::optional<TOpenFiles>& open) {
    QApplication application(argc, argv);
    SetApplicationTitle();
    const TWindows windows = CreateWindows(TDialogs::System(), TPlatformServices::Default());
    windows.Form2->show();
    if (open) {
        windows.Form2->OpenFiles(QFile::decodeName(open->Input.c_str()),
                                 QFile::decodeName(open->Output.c_str()));
    }
    return QApplication::exec();
}

} // namespace karvello
