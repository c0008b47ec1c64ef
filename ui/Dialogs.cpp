#include "ui/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <algorithm>

#include "mapdata/MapFileFormats.h"
#include "platform/FileCanvases.h"

#include "ui/Controls.h"
#include "ui/OptionsWindow.h"

namespace karvello {

namespace {

std::optional<QString> SystemOpenFileName(QWidget* parent, const QString& lastFile) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(OpenFilters());
    if (!lastFile.isEmpty()) {
        dialog.selectFile(lastFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> SystemSaveFileName(QWidget* parent, std::int32_t pngDpi) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const std::vector<SaveFilter> filters = SaveFilters(pngDpi);
    QStringList names;
    for (const SaveFilter& filter : filters) {
        names << filter.Name;
    }
    dialog.setNameFilters(names);
    dialog.selectNameFilter(names.front());
    dialog.setDefaultSuffix(filters.front().Suffix);
    // A name typed without an extension gets that of the chosen filter, so
    // the format follows the filter; "All files" keeps the metafile's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, filters](const QString& chosen) {
                         for (const SaveFilter& filter : filters) {
                             if (chosen == filter.Name) {
                                 dialog.setDefaultSuffix(filter.Suffix);
                             }
                         }
                     });
    // The dialog asks before it overwrites and takes only existing folders.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<QString> SystemSettingsFileName(QWidget* parent, bool save) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Settings files (*.json)"), QStringLiteral("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

std::optional<RgbColour> SystemPickColour(QWidget* parent, RgbColour start) {
    const QColor chosen = QColorDialog::getColor(ToQColor(start), parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return FromQColor(chosen);
}

void SystemShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

int SystemShowOptions(OptionsWindow& window) {
    return window.exec();
}

std::optional<QString> SystemAskText(QWidget* parent, const QString& title, const QString& label,
                                     const QString& start) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, start, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

} // namespace

std::vector<SaveFilter> SaveFilters(std::int32_t pngDpi) {
    std::vector<SaveFilter> filters;
    for (const DrawingFormatInfo& info : DrawingFormats()) {
        const QString extension = QString::fromLatin1(
            info.Extension.data(), static_cast<qsizetype>(info.Extension.size()));
        QString description =
            info.Format == DrawingFormat::Emf
                ? QStringLiteral("Metafiles")
                : QString::fromLatin1(info.Description.data(),
                                      static_cast<qsizetype>(info.Description.size()));
        if (info.Format == DrawingFormat::Png) {
            // The image at the resolution the figure settings give, whatever
            // the format's own description says after its name.
            description = description.section(u',', 0, 0) + QStringLiteral(", %1 dpi").arg(pngDpi);
        }
        filters.push_back({description + QStringLiteral(" (*") + extension + QStringLiteral(")"),
                           extension.mid(1)});
    }
    // The metafile stays first whatever order the formats come in.
    std::stable_partition(filters.begin(), filters.end(), [](const SaveFilter& filter) {
        return filter.Suffix == QStringLiteral("emf");
    });
    filters.push_back({QStringLiteral("All files (*)"), QStringLiteral("emf")});
    return filters;
}

QStringList OpenFilters() {
    QStringList filters;
    for (const std::string& filter : MapFileDialogFilters()) {
        filters << QString::fromStdString(filter);
    }
    filters << QStringLiteral("Text files (*.txt)") << QStringLiteral("All files (*)");
    return filters;
}

Dialogs Dialogs::System() {
    return Dialogs{SystemOpenFileName, SystemSaveFileName,     SystemPickColour, SystemShowError,
                   SystemShowOptions,  SystemSettingsFileName, SystemAskText};
}

QString ErrorBoxText(std::string_view message) {
    QString text = QString::fromLocal8Bit(message.data(), static_cast<qsizetype>(message.size()));
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        text += u'.';
    }
    return text;
}

} // namespace karvello
