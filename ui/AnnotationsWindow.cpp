#include "ui/AnnotationsWindow.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/Windows1252.h"
#include "ui/Controls.h"

namespace karvello {

AnnotationsWindow::AnnotationsWindow(const Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("AnnotationsWindow"));
    setWindowTitle(QStringLiteral("Annotations - Karvello"));
    setFont(WindowFont());

    titles_ = Named(new QCheckBox(QStringLiteral("Titles above the maps"), this), "CheckTitles");
    titles_->setToolTip(QStringLiteral(
        "Each map's group name, or \"Map N\"; double-click a map in the list to give it a title"));
    ruler_ =
        Named(new QCheckBox(QStringLiteral("A cM ruler left of each row"), this), "CheckRuler");
    links_ = Named(
        new QCheckBox(QStringLiteral("Lines between the same marker on neighbouring maps"), this),
        "CheckLinks");
    qtlPath_ = Named(new QLineEdit(this), "EditQtlTable");
    qtlPath_->setPlaceholderText(QStringLiteral("none"));
    qtlPath_->setToolTip(QStringLiteral("A table with the columns map, name, start, end, and "
                                        "optionally inner start, inner end, colour"));
    auto* choose = Named(new QPushButton(QStringLiteral("Choose..."), this), "ButtonChooseQtl");
    auto* clear = Named(new QPushButton(QStringLiteral("None"), this), "ButtonNoQtl");
    showOnly_ = Named(new QPlainTextEdit(this), "EditShowOnly");
    showOnly_->setPlaceholderText(QStringLiteral("every marker; or names, one a line or "
                                                 "separated by commas"));
    showOnly_->setTabChangesFocus(true);
    collapse_ = Named(new QSpinBox(this), "SpinCollapse");
    collapse_->setRange(0, 1000000);
    collapse_->setSpecialValueText(QStringLiteral("never"));
    collapse_->setToolTip(
        QStringLiteral("A position with more names shows its first name and (+K)"));

    auto* qtlRow = new QHBoxLayout;
    qtlRow->addWidget(qtlPath_, 1);
    qtlRow->addWidget(choose);
    qtlRow->addWidget(clear);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("QTL table:"), qtlRow);
    form->addRow(QStringLiteral("Label only:"), showOnly_);
    form->addRow(QStringLiteral("Shorten positions with more names than:"), collapse_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titles_);
    layout->addWidget(ruler_);
    layout->addWidget(links_);
    layout->addLayout(form);

    for (QCheckBox* box : {titles_, ruler_, links_}) {
        connect(box, &QCheckBox::toggled, this, &AnnotationsWindow::Changed);
    }
    connect(qtlPath_, &QLineEdit::editingFinished, this, [this] {
        if (qtlPath_->isModified()) {
            qtlPath_->setModified(false);
            Changed();
        }
    });
    connect(choose, &QPushButton::clicked, this, &AnnotationsWindow::ChooseQtlTable);
    connect(clear, &QPushButton::clicked, this, [this] {
        qtlPath_->clear();
        Changed();
    });
    connect(showOnly_, &QPlainTextEdit::textChanged, this, &AnnotationsWindow::Changed);
    connect(collapse_, &QSpinBox::valueChanged, this, &AnnotationsWindow::Changed);
    resize(440, 300);
}

void AnnotationsWindow::Fill(const FigureAnnotations& annotations, const QString& qtlPath,
                             CharacterEncoding encoding) {
    filling_ = true;
    encoding_ = encoding;
    filled_ = annotations;
    titles_->setChecked(annotations.Titles);
    ruler_->setChecked(annotations.Ruler);
    links_->setChecked(annotations.Links);
    qtlPath_->setText(qtlPath);
    QStringList names;
    if (annotations.ShowOnly) {
        for (const std::string& name : *annotations.ShowOnly) {
            names << TextToQString(name, encoding_);
        }
        names.sort();
    }
    showOnly_->setPlainText(names.join(u'\n'));
    collapse_->setValue(annotations.Collapse);
    filling_ = false;
}

FigureAnnotations AnnotationsWindow::Annotations() const {
    FigureAnnotations annotations;
    annotations.TitleTexts = filled_.TitleTexts;
    annotations.Titles = titles_->isChecked();
    annotations.Ruler = ruler_->isChecked();
    annotations.Links = links_->isChecked();
    annotations.Collapse = collapse_->value();
    const QString text = showOnly_->toPlainText();
    if (!text.trimmed().isEmpty()) {
        annotations.ShowOnly.emplace();
        for (const QString& line : text.split(u'\n')) {
            for (const QString& name : line.split(u',')) {
                const QString trimmed = name.trimmed();
                if (!trimmed.isEmpty()) {
                    annotations.ShowOnly->insert(QStringToText(trimmed, encoding_));
                }
            }
        }
    }
    return annotations;
}

QString AnnotationsWindow::QtlPath() const {
    return qtlPath_->text().trimmed();
}

void AnnotationsWindow::Changed() {
    if (!filling_ && OnChange) {
        OnChange();
    }
}

void AnnotationsWindow::ChooseQtlTable() {
    if (const auto chosen = dialogs_.OpenFileName(this, qtlPath_->text())) {
        qtlPath_->setText(*chosen);
        Changed();
    }
}

void AnnotationsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeepInsideScreen(*this);
}

} // namespace karvello
