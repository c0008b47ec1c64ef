#pragma once
// The window where the figure's annotations are chosen: titles, the ruler,
// links between maps, a QTL table, the markers to label and the crowded
// positions to shorten. Every change takes effect at once: the window tells
// its owner, which applies it to the workspace and redraws the page.

#include <QString>
#include <QWidget>
#include <functional>

#include "mapdata/Annotations.h"
#include "ui/Dialogs.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace karvello {

class AnnotationsWindow : public QWidget {
    Q_OBJECT
  public:
    // A window of its own, hidden; destroyed with parent. The dialogs choose
    // the QTL table.
    AnnotationsWindow(const Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows these annotations and QTL table path without telling the owner;
    // the names are in encoding, which the names typed are given in too.
    void Fill(const FigureAnnotations& annotations, const QString& qtlPath,
              CharacterEncoding encoding = CharacterEncoding::Windows1252);
    // The annotations the controls show. The map titles, which the maps list
    // edits, are those of the last Fill.
    FigureAnnotations Annotations() const;
    QString QtlPath() const;

    // Called after every change the user makes.
    std::function<void()> OnChange;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Changed();
    void ChooseQtlTable();

    const Dialogs& dialogs_;
    FigureAnnotations filled_;
    bool filling_ = false;
    CharacterEncoding encoding_ = CharacterEncoding::Windows1252;
    QCheckBox* titles_ = nullptr;
    QCheckBox* ruler_ = nullptr;
    QCheckBox* links_ = nullptr;
    QLineEdit* qtlPath_ = nullptr;
    QPlainTextEdit* showOnly_ = nullptr;
    QSpinBox* collapse_ = nullptr;
};

} // namespace karvello
