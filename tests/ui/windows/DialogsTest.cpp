// The system's own dialogs, driven by a timer while they wait modally.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "tests/ui/windows/WindowTestSupport.h"
#include "ui/Dialogs.h"

namespace karvello {
namespace {

// Runs answer on the modal dialog of kind T as soon as it is open. A dialog
// that never opens leaves the test to fail on its missing result, and one
// that answer does not close is closed, so nothing is left waiting.
template <typename T> void WhenOpen(const std::function<void(T&)>& answer) {
    auto* poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            answer(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog->reject();
            }
            poll->deleteLater();
        } else if (++*tries > 500) {
            poll->deleteLater();
        }
    });
    poll->start(10);
}

TEST(SystemDialogs, SaveGivesANameWithoutExtensionTheMetafileExtension) {
    const QTemporaryDir folder;
    WhenOpen<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Metafiles (*.emf)"));
        EXPECT_EQ(dialog.nameFilters().size(), 5);
        dialog.setDirectory(folder.path());
        dialog.selectFile(QStringLiteral("maps"));
        static_cast<QDialog&>(dialog).accept();
    });
    const std::optional<QString> path = Dialogs::System().SaveFileName(nullptr, 300);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, folder.filePath(QStringLiteral("maps.emf")));
}

// The PNG filter names the resolution the figure settings give; it once
// said 300 dpi whatever the resolution chosen.
TEST(SystemDialogs, SaveOffersThePngImageAtTheResolutionChosen) {
    WhenOpen<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_TRUE(dialog.nameFilters().contains(QStringLiteral("PNG image, 600 dpi (*.png)")))
            << dialog.nameFilters().join(u';').toStdString();
        dialog.reject();
    });
    EXPECT_EQ(Dialogs::System().SaveFileName(nullptr, 600), std::nullopt);
    const auto pngFilter = [](std::int32_t dpi) {
        for (const SaveFilter& filter : SaveFilters(dpi)) {
            if (filter.Suffix == QStringLiteral("png")) {
                return filter.Name;
            }
        }
        return QString();
    };
    EXPECT_EQ(pngFilter(72), QStringLiteral("PNG image, 72 dpi (*.png)"));
    EXPECT_EQ(pngFilter(300), QStringLiteral("PNG image, 300 dpi (*.png)"));
}

TEST(SystemDialogs, SaveOffersEveryDrawingFormatAfterTheMetafile) {
    const std::vector<SaveFilter> filters = SaveFilters(300);
    std::vector<QString> suffixes;
    for (const SaveFilter& filter : filters) {
        suffixes.push_back(filter.Suffix);
    }
    EXPECT_EQ(suffixes, (std::vector<QString>{"emf", "svg", "pdf", "png", "emf"}));
    EXPECT_EQ(filters.front().Name, QStringLiteral("Metafiles (*.emf)"));
    EXPECT_EQ(filters.back().Name, QStringLiteral("All files (*)"));
}

TEST(SystemDialogs, OpenStartsOnTheLastFileAndCancelGivesNothing) {
    const QString last = QString::fromStdString(test::ExamplePath("mouse.raw"));
    WhenOpen<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.selectedFiles(), QStringList{last});
        EXPECT_EQ(dialog.nameFilters(), OpenFilters());
        EXPECT_EQ(dialog.selectedNameFilter(), OpenFilters().front());
        dialog.reject();
    });
    EXPECT_EQ(Dialogs::System().OpenFileName(nullptr, last), std::nullopt);
}

TEST(SystemDialogs, OpenShowsMapmakerFilesFirstThenMapTablesAndAllFilesLast) {
    EXPECT_EQ(
        OpenFilters(),
        (QStringList{QStringLiteral("Mapmaker files (*.raw *.out *.txt *.log)"),
                     QStringLiteral("R/qtl gary files (markerpos.txt chrid.dat)"),
                     QStringLiteral("Map tables (*.csv *.tsv *.txt *.map *.qtab *.mct *.bim)"),
                     QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")}));
}

TEST(SystemDialogs, TheErrorBoxHasTheTitleAnErrorIconAndOneOkButton) {
    bool seen = false;
    WhenOpen<QMessageBox>([&](QMessageBox& box) {
        seen = true;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Karvello"));
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.text(), QStringLiteral("Canvas does not allow drawing."));
        EXPECT_EQ(box.buttons().size(), 1);
        EXPECT_EQ(box.standardButton(box.buttons().front()), QMessageBox::Ok);
        box.buttons().front()->click();
    });
    Dialogs::System().ShowError(nullptr, QStringLiteral("Canvas does not allow drawing."));
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace karvello
