#include "ui/ZevAdur1.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <new>
#include <string>

#include "platform/Windows1252.h"
#include "ui/AnnotationsWindow.h"
#include "ui/Controls.h"
#include "ui/OptionWnd.h"
#include "ui/PagePreview.h"
#include "ui/ProgressWindow.h"

namespace karvello {

// The preview box: a plain widget whose painting is the main window's.
class TPaintBox : public QWidget {
  public:
    using QWidget::QWidget;
    std::function<void(QPainter&)> OnPaint;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (OnPaint) {
            OnPaint(painter);
        }
    }
};

namespace {

// File names go to the layers below in the system's own 8-bit encoding.
std::string FileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The information text ends its lines with CR LF; the text box wants LF.
QString MemoText(const std::string& text, TTextEncoding encoding) {
    QString shown = TextToQString(text, encoding);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n')) {
        shown.chop(1);
    }
    return shown;
}

} // namespace

TForm2::TForm2(const TDialogs& dialogs, const TPlatformServices& platform, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), platform_(platform) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setFont(WindowFont());
    setAutoFillBackground(true);

    AddLabel(this, "Label4", "Mapmaker input file", 0, 8);
    editMMInput = Named(new QLineEdit(this), "editMMInput");
    editMMInput->setGeometry(104, 0, 297, 21);
    SpeedButton1 = Named(new QToolButton(this), "SpeedButton1");
    SpeedButton1->setGeometry(408, 0, 23, 22);
    AddLabel(this, "Label5", "Mapmaker output file", 0, 32);
    editMMOutput = Named(new QLineEdit(this), "editMMOutput");
    editMMOutput->setGeometry(104, 24, 297, 21);
    SpeedButton2 = Named(new QToolButton(this), "SpeedButton2");
    SpeedButton2->setGeometry(408, 24, 23, 22);
    for (QToolButton* button : {SpeedButton1, SpeedButton2}) {
        button->setIcon(OpenFolderIcon());
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    Button1 = AddButton(this, "Button1", "Load", QRect(104, 48, 75, 25));
    // What a load or a drawing found odd is said here, without a box to
    // dismiss; the whole text is in the tooltip when it does not fit.
    StatusLine = Named(new QLabel(this), "StatusLine");
    StatusLine->setGeometry(184, 48, 249, 26);
    StatusLine->setWordWrap(true);
    StatusLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StatusLine->setTextFormat(Qt::PlainText);
    auto* bevel1 = Named(new TRule(TRule::Edge::Bottom, this), "Bevel1");
    bevel1->Place(0, 72, 433, 10);

    Label1 = AddLabel(this, "Label1", "Maps detected:", 0, 88);
    CheckListBox1 = Named(new QListWidget(this), "CheckListBox1");
    CheckListBox1->setGeometry(8, 104, 121, 113);
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1->setUniformItemSizes(true);
    Label2 = AddLabel(this, "Label2", "(tick those to draw)", 8, 224);
    Button4 = AddButton(this, "Button4", "Draw", QRect(8, 240, 121, 25));
    Label6 = AddLabel(this, "Label6", "Extra information:", 0, 272);
    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setGeometry(0, 288, 129, 33);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, so that the keyboard never gets
    // caught in the box; nobody types into the information text.
    Memo1->setTabChangesFocus(true);
    Label3 = AddLabel(this, "Label3", "Preview:", 136, 88);
    PaintBox1 = Named(new TPaintBox(this), "PaintBox1");
    PaintBox1->setGeometry(136, 104, 297, 185);
    PaintBox1->OnPaint = [this](QPainter& painter) { PaintBox1Paint(painter); };
    CheckBox1 = Named(new QCheckBox(QStringLiteral("Flip vertically"), this), "CheckBox1");
    CheckBox1->setGeometry(136, 296, 97, 17);
    Button2 = AddButton(this, "Button2", "Options", QRect(248, 296, 75, 25));
    Button3 = AddButton(this, "Button3", "Exit", QRect(352, 296, 75, 25));
    ButtonTickAll = AddButton(this, "ButtonTickAll", "Tick all", QRect(8, 325, 59, 22));
    ButtonTickNone = AddButton(this, "ButtonTickNone", "Tick none", QRect(70, 325, 59, 22));
    ButtonPagePreview =
        AddButton(this, "ButtonPagePreview", "Page preview...", QRect(136, 325, 97, 22));
    ButtonPagePreview->setToolTip(
        QStringLiteral("The figure as Draw writes it, at any zoom, in a window of its own"));
    pageWindow_ = new TPageWindow(pagePicture_, this);
    ButtonAnnotations =
        AddButton(this, "ButtonAnnotations", "Annotations...", QRect(236, 325, 97, 22));
    ButtonAnnotations->setToolTip(
        QStringLiteral("Titles, a ruler, links between maps, QTL and the markers to label"));
    annotationsWindow_ = new TAnnotationsWindow(dialogs_, this);
    annotationsWindow_->OnChange = [this] { ApplyAnnotations(); };
    ButtonOpenMapTable =
        AddButton(this, "ButtonOpenMapTable", "Open map table...", QRect(336, 325, 97, 22));
    ButtonOpenMapTable->setToolTip(QStringLiteral(
        "A map of another program: a table of group, marker and position (R/qtl, OneMap, "
        "a spreadsheet), an R/qtl cross file or a group file; files can be dropped here too"));
    Button1->setToolTip(QStringLiteral("Loads the Mapmaker pair; with the output box empty, the "
                                       "first box may name a map table"));
    setAcceptDrops(true);

    anchored_ = {
        {bevel1, bevel1->geometry(), true, true, true, false},
        {StatusLine, StatusLine->geometry(), true, true, true, false},
        {ButtonTickAll, ButtonTickAll->geometry(), true, false, false, true},
        {ButtonTickNone, ButtonTickNone->geometry(), true, false, false, true},
        {ButtonPagePreview, ButtonPagePreview->geometry(), true, false, false, true},
        {ButtonAnnotations, ButtonAnnotations->geometry(), true, false, false, true},
        {ButtonOpenMapTable, ButtonOpenMapTable->geometry(), true, false, false, true},
        {Memo1, Memo1->geometry(), true, true, false, true},
        {PaintBox1, PaintBox1->geometry(), true, true, true, true},
        {CheckBox1, CheckBox1->geometry(), true, false, false, true},
        {Button2, Button2->geometry(), true, false, false, true},
        {Button3, Button3->geometry(), false, false, true, true},
    };

    QWidget* const focusOrder[] = {CheckListBox1,     CheckBox1,         editMMInput,
                                   editMMOutput,      Button1,           Button2,
                                   Button3,           Button4,           Memo1,
                                   ButtonTickAll,     ButtonTickNone,    ButtonPagePreview,
                                   ButtonAnnotations, ButtonOpenMapTable};
    for (std::size_t k = 1; k < std::size(focusOrder); ++k) {
        setTabOrder(focusOrder[k - 1], focusOrder[k]);
    }

    // The map controls wait for the first complete load.
    for (QWidget* control : MapControls()) {
        control->setEnabled(false);
    }

    connect(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm2::SpeedButton2Click);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(ButtonOpenMapTable, &QPushButton::clicked, this, &TForm2::OpenMapTableClick);
    // Enter in either file box loads, as "Load" does.
    connect(editMMInput, &QLineEdit::returnPressed, this, &TForm2::Button1Click);
    connect(editMMOutput, &QLineEdit::returnPressed, this, &TForm2::Button1Click);
    connect(ButtonTickAll, &QPushButton::clicked, this, [this] { TickAll(true); });
    connect(ButtonTickNone, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(ButtonPagePreview, &QPushButton::clicked, this, &TForm2::ShowPageWindow);
    connect(ButtonAnnotations, &QPushButton::clicked, this, [this] {
        annotationsWindow_->show();
        annotationsWindow_->raise();
        annotationsWindow_->activateWindow();
    });
    // Double-clicking a map gives it a title of its own.
    connect(CheckListBox1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditTitle(CheckListBox1->row(item)); });
    connect(CheckListBox1, &QListWidget::itemSelectionChanged, this, &TForm2::CheckListBox1Click);
    connect(CheckListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        CheckListBox1Tick(CheckListBox1->row(item), item->checkState() == Qt::Checked);
    });
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm2::CheckBox1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);

    resize(kDesignWidth, kDesignHeight);
    move(208, 189);
    editMMInput->setFocus();
}

TForm2::~TForm2() = default;

std::array<QWidget*, 13> TForm2::MapControls() const {
    return {Label1,           Label2, Label3, CheckListBox1, Button4,        CheckBox1,
            Button2,          Label6, Memo1,  ButtonTickAll, ButtonTickNone, ButtonPagePreview,
            ButtonAnnotations};
}

void TForm2::ApplyAnnotations() {
    RunEvent([this] {
        ws_.SetAnnotations(annotationsWindow_->Annotations());
        const QString path = annotationsWindow_->QtlPath();
        if (path != qtlPath_) {
            try {
                if (path.isEmpty()) {
                    ws_.SetQtlTable(std::nullopt);
                } else {
                    ws_.LoadQtlTable(FileName(path));
                }
                qtlPath_ = path;
            } catch (...) {
                // The former table stays, and the window shows it again.
                annotationsWindow_->Fill(ws_.Annotations(), qtlPath_, ws_.TextEncoding());
                throw;
            }
        }
        RefreshPage();
    });
}

void TForm2::EditTitle(int mapIndex) {
    if (mapIndex < 0 || static_cast<std::size_t>(mapIndex) >= ws_.Maps().size()) {
        return;
    }
    const TChrData& map = ws_.Maps()[static_cast<std::size_t>(mapIndex)];
    TAnnotations annotations = ws_.Annotations();
    const auto given = annotations.TitleTexts.find(map.MapNumber);
    const std::string current = given != annotations.TitleTexts.end() ? given->second
                                : map.GroupName.empty() ? "Map " + std::to_string(map.MapNumber)
                                                        : map.GroupName;
    const auto text = dialogs_.AskText(
        this, QStringLiteral("Map title"),
        QStringLiteral("The title of map %1 (empty: the usual one):").arg(map.MapNumber),
        TextToQString(current, ws_.TextEncoding()));
    if (!text) {
        return;
    }
    if (text->trimmed().isEmpty()) {
        annotations.TitleTexts.erase(map.MapNumber);
    } else {
        annotations.TitleTexts[map.MapNumber] = QStringToText(*text, ws_.TextEncoding());
    }
    ws_.SetAnnotations(std::move(annotations));
    annotationsWindow_->Fill(ws_.Annotations(), qtlPath_, ws_.TextEncoding());
    RunEvent([this] { RefreshPage(); });
}

void TForm2::RefreshPage() {
    try {
        if (ws_.MapsLoaded()) {
            pagePicture_.Record([this](Surface& surface) { ws_.DrawPage(surface); });
        } else {
            pagePicture_.Clear();
        }
    } catch (...) {
        pagePicture_.Clear();
        pageWindow_->PictureChanged();
        throw;
    }
    pageWindow_->PictureChanged();
}

void TForm2::ShowPageWindow() {
    pageWindow_->show();
    pageWindow_->raise();
    pageWindow_->activateWindow();
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeepInsideScreen(*this);
}

void TForm2::ShowStatus(const QString& text, bool warning) {
    StatusLine->setText(text);
    StatusLine->setToolTip(text);
    QPalette colours = palette();
    if (warning) {
        colours.setColor(QPalette::Window, ErrorColour());
    }
    StatusLine->setAutoFillBackground(warning);
    StatusLine->setPalette(colours);
}

void TForm2::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int dx = width() - kDesignWidth;
    const int dy = height() - kDesignHeight;
    for (const TAnchored& a : anchored_) {
        QRect r = a.Design;
        if (a.Right) {
            a.Left ? r.setWidth(r.width() + dx) : r.translate(dx, 0);
        }
        if (a.Bottom) {
            a.Top ? r.setHeight(r.height() + dy) : r.translate(0, dy);
        }
        a.Control->setGeometry(r);
    }
}

void TForm2::RunEvent(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::bad_alloc&) {
        // The workspace names what it was doing when it can; this is the rest.
        ShowError("Not enough memory to finish this action.");
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TForm2::ShowError(std::string_view message) {
    dialogs_.ShowError(this, ErrorBoxText(message));
}

void TForm2::RequestPreview() {
    previewErrorPending_ = true;
    PaintBox1->update();
}

void TForm2::ChooseFile(QLineEdit& box) {
    if (const auto chosen = dialogs_.OpenFileName(this, lastOpenFile_)) {
        lastOpenFile_ = *chosen;
        box.setText(*chosen);
    }
}

void TForm2::SpeedButton1Click() {
    ChooseFile(*editMMInput);
}

void TForm2::SpeedButton2Click() {
    ChooseFile(*editMMOutput);
}

void TForm2::RefreshMapList() {
    const QSignalBlocker blocker(CheckListBox1);
    CheckListBox1->clear();
    for (const std::string& entry : ws_.MapListEntries()) {
        QListWidgetItem* item =
            AddListEntry(*CheckListBox1, TextToQString(entry, ws_.TextEncoding()));
        // The box is narrower than an entry with its length; the tooltip
        // shows the entry whole.
        item->setToolTip(item->text());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TForm2::Button1Click() {
    bool loaded = false;
    bool cancelled = false;
    std::string failure;
    try {
        // With the output box empty, the first box names a map file.
        if (editMMOutput->text().trimmed().isEmpty() && !editMMInput->text().isEmpty()) {
            ws_.LoadMapFile(FileName(editMMInput->text()));
        } else {
            TProgressWindow progress(this, QStringLiteral("Loading the maps..."));
            ws_.Load(FileName(editMMInput->text()), FileName(editMMOutput->text()), progress.Fn());
        }
        loaded = true;
    } catch (const OperationCancelled&) {
        cancelled = true;
    } catch (const std::exception& error) {
        failure = error.what();
    }
    // What the load did before a failure stays done: the list shows the
    // workspace's maps either way, and the annotations window takes names in
    // the encoding of the names now loaded.
    RefreshMapList();
    annotationsWindow_->Fill(ws_.Annotations(), qtlPath_, ws_.TextEncoding());
    if (ws_.MapsLoaded()) {
        for (QWidget* control : MapControls()) {
            control->setEnabled(true);
        }
    }
    // The previews showed maps of the data that is gone, loaded or not.
    RequestPreview();
    RunEvent([this] { RefreshPage(); });
    if (loaded) {
        Memo1->setPlainText(MemoText(ws_.InformationText(), ws_.TextEncoding()));
        QStringList warnings;
        for (const std::string& warning : ws_.LoadWarnings()) {
            warnings << ErrorBoxText(warning);
        }
        if (warnings.isEmpty()) {
            const auto count = static_cast<qsizetype>(ws_.Maps().size());
            ShowStatus(count == 1 ? QStringLiteral("Loaded 1 map.")
                                  : QStringLiteral("Loaded %1 maps.").arg(count),
                       false);
        } else {
            ShowStatus(warnings.join(u' '), true);
        }
    } else if (cancelled) {
        ShowStatus(QStringLiteral("Load cancelled: no maps are loaded."), true);
    } else {
        ShowStatus(QString(), false);
        ShowError(failure);
    }
}

void TForm2::OpenMapTableClick() {
    if (const auto chosen = dialogs_.OpenFileName(this, lastOpenFile_)) {
        lastOpenFile_ = *chosen;
        OpenFiles(*chosen, QString());
    }
}

void TForm2::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    const bool files =
        (urls.size() == 1 || urls.size() == 2) &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
    if (files) {
        event->acceptProposedAction();
    }
}

void TForm2::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    QString first = urls[0].toLocalFile();
    if (urls.size() == 1) {
        OpenFiles(first, QString());
        return;
    }
    QString second = urls[1].toLocalFile();
    if (!FileBeginsLikeAnInputFile(FileName(first)) &&
        FileBeginsLikeAnInputFile(FileName(second))) {
        std::swap(first, second);
    }
    OpenFiles(first, second);
}

void TForm2::OpenFiles(const QString& input, const QString& output) {
    editMMInput->setText(input);
    editMMOutput->setText(output);
    Button1Click();
}

void TForm2::TickAll(bool ticked) {
    RunEvent([&] {
        ws_.SetAllTicked(ticked);
        const QSignalBlocker blocker(CheckListBox1);
        for (int row = 0; row < CheckListBox1->count(); ++row) {
            CheckListBox1->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        }
        RefreshPage();
    });
}

void TForm2::CheckListBox1Click() {
    RunEvent([this] {
        ws_.Select(SelectedRow(*CheckListBox1));
        // The box shows the map's own flag; setting it here stores the same
        // value back, so the handler need not run.
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(ws_.FlipBox());
        RequestPreview();
        RefreshPage();
    });
}

void TForm2::CheckListBox1Tick(int row, bool ticked) {
    RunEvent([&] {
        ws_.SetTicked(row, ticked);
        RefreshPage();
    });
}

void TForm2::CheckBox1Click(bool state) {
    RunEvent([&] {
        ws_.Flip(state);
        RequestPreview();
        RefreshPage();
    });
}

void TForm2::PaintBox1Paint(QPainter& painter) {
    const TScreenInfo screen = PrimaryScreen();
    try {
        const std::unique_ptr<PreviewSurface> surface = platform_.CreatePreviewSurface(
            painter, font(), palette().color(QPalette::Window), screen);
        ws_.RenderPreview(*surface, PaintBox1->width(), PaintBox1->height(), screen.WidthPx,
                          screen.HeightPx);
    } catch (const std::exception& error) {
        // A box must never be shown from inside a paint, and a repaint that
        // fails once fails again: the error is reported once, after the
        // event that asked for this paint, and plain repaints stay quiet.
        if (previewErrorPending_) {
            QTimer::singleShot(0, this,
                               [this, message = std::string(error.what())] { ShowError(message); });
        }
    }
    previewErrorPending_ = false;
}

void TForm2::Button2Click() {
    if (OptionFrm_ == nullptr) {
        return;
    }
    RunEvent([this] {
        OptionFrm_->HandIn(ws_.SettingsFile(), ws_.AllMarkers(), ws_.TextEncoding());
        OptionFrm_->FillControls();
        if (dialogs_.ShowOptions(*OptionFrm_) == TOptionFrm::kResultOk) {
            TSettingsFile chosen = OptionFrm_->SettingsFile();
            std::string qtlFailure;
            try {
                ws_.ApplySettingsFile(chosen);
            } catch (const KarvelloError& error) {
                // Only the QTL table of a settings file loaded in the window
                // can fail here: the rest of the user's choices are taken,
                // with the table that was loaded before.
                qtlFailure = error.what();
                chosen.QtlFile = ws_.QtlTable() ? ws_.QtlTable()->FileName : std::string();
                ws_.ApplySettingsFile(chosen);
            }
            // A settings file loaded in the window may have brought other
            // annotations and another QTL table.
            qtlPath_ =
                ws_.QtlTable() ? QFile::decodeName(ws_.QtlTable()->FileName.c_str()) : QString();
            annotationsWindow_->Fill(ws_.Annotations(), qtlPath_, ws_.TextEncoding());
            RequestPreview();
            RefreshPage();
            if (!qtlFailure.empty()) {
                ShowError(qtlFailure + " The other settings are taken; the QTL table stays as it "
                                       "was.");
            }
        }
    });
}

void TForm2::Button4Click() {
    RunEvent([this] {
        ws_.RequireTickedMaps();
        const auto path = dialogs_.SaveFileName(this);
        if (!path) {
            return;
        }
        try {
            TProgressWindow progress(this, QStringLiteral("Drawing ") +
                                               QFileInfo(*path).fileName() + "...");
            ws_.Draw(FileName(*path), platform_.CreateFileCanvas, progress.Fn());
        } catch (const OperationCancelled&) {
            ShowStatus(QStringLiteral("Draw cancelled: nothing was written to ") +
                           QFileInfo(*path).fileName() + u'.',
                       true);
            return;
        }
        // The drawing is written as asked; a page that leaves the bars no
        // room is worth a word, not a refusal.
        const std::string warning = ws_.DrawWarning();
        if (warning.empty()) {
            ShowStatus(QStringLiteral("Drew the maps into ") + QFileInfo(*path).fileName() + u'.',
                       false);
        } else {
            ShowStatus(ErrorBoxText(warning), true);
        }
    });
}

void TForm2::Button3Click() {
    close();
    QCoreApplication::quit();
}

} // namespace karvello
