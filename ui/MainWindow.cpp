#include "ui/MainWindow.h"

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

#include "mapdata/MapFileFormats.h"
#include "platform/Windows1252.h"
#include "ui/AnnotationsWindow.h"
#include "ui/Controls.h"
#include "ui/OptionsWindow.h"
#include "ui/PagePreview.h"
#include "ui/ProgressWindow.h"

namespace karvello {

// The preview box: a plain widget whose painting is the main window's.
class PreviewBox : public QWidget {
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
QString MemoText(const std::string& text, CharacterEncoding encoding) {
    QString shown = TextToQString(text, encoding);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n')) {
        shown.chop(1);
    }
    return shown;
}

} // namespace

MainWindow::MainWindow(const Dialogs& dialogs, const PlatformServices& platform, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), platform_(platform) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setFont(WindowFont());
    setAutoFillBackground(true);

    AddLabel(this, "LabelInput", "Mapmaker input file", 0, 8);
    inputBox_ = Named(new QLineEdit(this), "EditInput");
    inputBox_->setGeometry(104, 0, 297, 21);
    browseInputButton_ = Named(new QToolButton(this), "ButtonBrowseInput");
    browseInputButton_->setGeometry(408, 0, 23, 22);
    AddLabel(this, "LabelOutput", "Mapmaker output file", 0, 32);
    outputBox_ = Named(new QLineEdit(this), "EditOutput");
    outputBox_->setGeometry(104, 24, 297, 21);
    browseOutputButton_ = Named(new QToolButton(this), "ButtonBrowseOutput");
    browseOutputButton_->setGeometry(408, 24, 23, 22);
    for (QToolButton* button : {browseInputButton_, browseOutputButton_}) {
        button->setIcon(OpenFolderIcon());
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    loadButton_ = AddButton(this, "ButtonLoad", "Load", QRect(104, 48, 75, 25));
    // What a load or a drawing found odd is said here, without a box to
    // dismiss; the whole text is in the tooltip when it does not fit.
    statusLine_ = Named(new QLabel(this), "StatusLine");
    statusLine_->setGeometry(184, 48, 249, 26);
    statusLine_->setWordWrap(true);
    statusLine_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    statusLine_->setTextFormat(Qt::PlainText);
    auto* filesRule = Named(new DividerLine(DividerLine::Edge::Bottom, this), "RuleBelowFiles");
    filesRule->Place(0, 72, 433, 10);

    mapsLabel_ = AddLabel(this, "LabelMaps", "Maps detected:", 0, 88);
    mapList_ = Named(new QListWidget(this), "ListMaps");
    mapList_->setGeometry(8, 104, 121, 113);
    mapList_->setSelectionMode(QAbstractItemView::SingleSelection);
    mapList_->setUniformItemSizes(true);
    tickHint_ = AddLabel(this, "LabelTickHint", "(tick those to draw)", 8, 224);
    drawButton_ = AddButton(this, "ButtonDraw", "Draw", QRect(8, 240, 121, 25));
    informationLabel_ = AddLabel(this, "LabelInformation", "Extra information:", 0, 272);
    informationBox_ = Named(new QPlainTextEdit(this), "EditInformation");
    informationBox_->setGeometry(0, 288, 129, 33);
    informationBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    informationBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, so that the keyboard never gets
    // caught in the box; nobody types into the information text.
    informationBox_->setTabChangesFocus(true);
    previewLabel_ = AddLabel(this, "LabelPreview", "Preview:", 136, 88);
    previewBox_ = Named(new PreviewBox(this), "PreviewBox");
    previewBox_->setGeometry(136, 104, 297, 185);
    previewBox_->OnPaint = [this](QPainter& painter) { PaintPreview(painter); };
    flipBox_ = Named(new QCheckBox(QStringLiteral("Flip vertically"), this), "CheckFlip");
    flipBox_->setGeometry(136, 296, 97, 17);
    optionsButton_ = AddButton(this, "ButtonOptions", "Options", QRect(248, 296, 75, 25));
    exitButton_ = AddButton(this, "ButtonExit", "Exit", QRect(352, 296, 75, 25));
    tickAllButton_ = AddButton(this, "ButtonTickAll", "Tick all", QRect(8, 325, 59, 22));
    tickNoneButton_ = AddButton(this, "ButtonTickNone", "Tick none", QRect(70, 325, 59, 22));
    pagePreviewButton_ =
        AddButton(this, "ButtonPagePreview", "Page preview...", QRect(136, 325, 97, 22));
    pagePreviewButton_->setToolTip(
        QStringLiteral("The figure as Draw writes it, at any zoom, in a window of its own"));
    pageWindow_ = new PagePreviewWindow(pagePicture_, this);
    annotationsButton_ =
        AddButton(this, "ButtonAnnotations", "Annotations...", QRect(236, 325, 97, 22));
    annotationsButton_->setToolTip(
        QStringLiteral("Titles, a ruler, links between maps, QTL and the markers to label"));
    annotationsWindow_ = new AnnotationsWindow(dialogs_, this);
    annotationsWindow_->OnChange = [this] { ApplyAnnotations(); };
    openMapTableButton_ =
        AddButton(this, "ButtonOpenMapTable", "Open map table...", QRect(336, 325, 97, 22));
    openMapTableButton_->setToolTip(QString::fromStdString(
        "A map of another program: " + OneFileFormatList() + "; files can be dropped here too"));
    loadButton_->setToolTip(
        QStringLiteral("Loads the Mapmaker pair; with the output box empty, the "
                       "first box may name a map table"));
    setAcceptDrops(true);

    anchored_ = {
        {filesRule, filesRule->geometry(), true, true, true, false},
        {statusLine_, statusLine_->geometry(), true, true, true, false},
        {tickAllButton_, tickAllButton_->geometry(), true, false, false, true},
        {tickNoneButton_, tickNoneButton_->geometry(), true, false, false, true},
        {pagePreviewButton_, pagePreviewButton_->geometry(), true, false, false, true},
        {annotationsButton_, annotationsButton_->geometry(), true, false, false, true},
        {openMapTableButton_, openMapTableButton_->geometry(), true, false, false, true},
        {informationBox_, informationBox_->geometry(), true, true, false, true},
        {previewBox_, previewBox_->geometry(), true, true, true, true},
        {flipBox_, flipBox_->geometry(), true, false, false, true},
        {optionsButton_, optionsButton_->geometry(), true, false, false, true},
        {exitButton_, exitButton_->geometry(), false, false, true, true},
    };

    QWidget* const focusOrder[] = {
        mapList_,        flipBox_,           inputBox_,          outputBox_,         loadButton_,
        optionsButton_,  exitButton_,        drawButton_,        informationBox_,    tickAllButton_,
        tickNoneButton_, pagePreviewButton_, annotationsButton_, openMapTableButton_};
    for (std::size_t k = 1; k < std::size(focusOrder); ++k) {
        setTabOrder(focusOrder[k - 1], focusOrder[k]);
    }

    // The map controls wait for the first complete load.
    for (QWidget* control : MapControls()) {
        control->setEnabled(false);
    }

    connect(browseInputButton_, &QToolButton::clicked, this, &MainWindow::BrowseInputClick);
    connect(browseOutputButton_, &QToolButton::clicked, this, &MainWindow::BrowseOutputClick);
    connect(loadButton_, &QPushButton::clicked, this, &MainWindow::LoadClick);
    connect(openMapTableButton_, &QPushButton::clicked, this, &MainWindow::OpenMapTableClick);
    // Enter in either file box loads, as "Load" does.
    connect(inputBox_, &QLineEdit::returnPressed, this, &MainWindow::LoadClick);
    connect(outputBox_, &QLineEdit::returnPressed, this, &MainWindow::LoadClick);
    connect(tickAllButton_, &QPushButton::clicked, this, [this] { TickAll(true); });
    connect(tickNoneButton_, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(pagePreviewButton_, &QPushButton::clicked, this, &MainWindow::ShowPageWindow);
    connect(annotationsButton_, &QPushButton::clicked, this, [this] {
        annotationsWindow_->show();
        annotationsWindow_->raise();
        annotationsWindow_->activateWindow();
    });
    // Double-clicking a map gives it a title of its own.
    connect(mapList_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditTitle(mapList_->row(item)); });
    connect(mapList_, &QListWidget::itemSelectionChanged, this, &MainWindow::MapListClick);
    connect(mapList_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        MapListTick(mapList_->row(item), item->checkState() == Qt::Checked);
    });
    connect(flipBox_, &QCheckBox::toggled, this, &MainWindow::FlipClick);
    connect(optionsButton_, &QPushButton::clicked, this, &MainWindow::OptionsClick);
    connect(drawButton_, &QPushButton::clicked, this, &MainWindow::DrawClick);
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::ExitClick);

    resize(kDesignWidth, kDesignHeight);
    move(208, 189);
    inputBox_->setFocus();
}

MainWindow::~MainWindow() = default;

std::array<QWidget*, 13> MainWindow::MapControls() const {
    return {mapsLabel_,      tickHint_,          previewLabel_,     mapList_,        drawButton_,
            flipBox_,        optionsButton_,     informationLabel_, informationBox_, tickAllButton_,
            tickNoneButton_, pagePreviewButton_, annotationsButton_};
}

void MainWindow::ApplyAnnotations() {
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

void MainWindow::EditTitle(int mapIndex) {
    if (mapIndex < 0 || static_cast<std::size_t>(mapIndex) >= ws_.Maps().size()) {
        return;
    }
    const LinkageMap& map = ws_.Maps()[static_cast<std::size_t>(mapIndex)];
    FigureAnnotations annotations = ws_.Annotations();
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

void MainWindow::RefreshPage() {
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

void MainWindow::ShowPageWindow() {
    pageWindow_->show();
    pageWindow_->raise();
    pageWindow_->activateWindow();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeepInsideScreen(*this);
}

void MainWindow::ShowStatus(const QString& text, bool warning) {
    statusLine_->setText(text);
    statusLine_->setToolTip(text);
    QPalette colours = palette();
    if (warning) {
        colours.setColor(QPalette::Window, ErrorColour());
    }
    statusLine_->setAutoFillBackground(warning);
    statusLine_->setPalette(colours);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int dx = width() - kDesignWidth;
    const int dy = height() - kDesignHeight;
    for (const AnchoredControl& a : anchored_) {
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

void MainWindow::RunEvent(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::bad_alloc&) {
        // The workspace names what it was doing when it can; this is the rest.
        ShowError("Not enough memory to finish this action.");
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void MainWindow::ShowError(std::string_view message) {
    dialogs_.ShowError(this, ErrorBoxText(message));
}

void MainWindow::RequestPreview() {
    previewErrorPending_ = true;
    previewBox_->update();
}

void MainWindow::ChooseFile(QLineEdit& box) {
    if (const auto chosen = dialogs_.OpenFileName(this, lastOpenFile_)) {
        lastOpenFile_ = *chosen;
        box.setText(*chosen);
    }
}

void MainWindow::BrowseInputClick() {
    ChooseFile(*inputBox_);
}

void MainWindow::BrowseOutputClick() {
    ChooseFile(*outputBox_);
}

void MainWindow::RefreshMapList() {
    const QSignalBlocker blocker(mapList_);
    mapList_->clear();
    for (const std::string& entry : ws_.MapListEntries()) {
        QListWidgetItem* item = AddListEntry(*mapList_, TextToQString(entry, ws_.TextEncoding()));
        // The box is narrower than an entry with its length; the tooltip
        // shows the entry whole.
        item->setToolTip(item->text());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void MainWindow::LoadClick() {
    bool loaded = false;
    bool cancelled = false;
    std::string failure;
    try {
        // With the output box empty, the first box names a map file.
        if (outputBox_->text().trimmed().isEmpty() && !inputBox_->text().isEmpty()) {
            ws_.LoadMapFile(FileName(inputBox_->text()));
        } else {
            ProgressWindow progress(this, QStringLiteral("Loading the maps..."));
            ws_.Load(FileName(inputBox_->text()), FileName(outputBox_->text()), progress.Fn());
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
        informationBox_->setPlainText(MemoText(ws_.InformationText(), ws_.TextEncoding()));
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

void MainWindow::OpenMapTableClick() {
    if (const auto chosen = dialogs_.OpenFileName(this, lastOpenFile_)) {
        lastOpenFile_ = *chosen;
        OpenFiles(*chosen, QString());
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    const bool files =
        (urls.size() == 1 || urls.size() == 2) &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
    if (files) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
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

void MainWindow::OpenFiles(const QString& input, const QString& output) {
    inputBox_->setText(input);
    outputBox_->setText(output);
    LoadClick();
}

void MainWindow::TickAll(bool ticked) {
    RunEvent([&] {
        ws_.SetAllTicked(ticked);
        const QSignalBlocker blocker(mapList_);
        for (int row = 0; row < mapList_->count(); ++row) {
            mapList_->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        }
        RefreshPage();
    });
}

void MainWindow::MapListClick() {
    RunEvent([this] {
        ws_.Select(SelectedRow(*mapList_));
        // The box shows the map's own flag; setting it here stores the same
        // value back, so the handler need not run.
        const QSignalBlocker blocker(flipBox_);
        flipBox_->setChecked(ws_.FlipBox());
        RequestPreview();
        RefreshPage();
    });
}

void MainWindow::MapListTick(int row, bool ticked) {
    RunEvent([&] {
        ws_.SetTicked(row, ticked);
        RefreshPage();
    });
}

void MainWindow::FlipClick(bool state) {
    RunEvent([&] {
        ws_.Flip(state);
        RequestPreview();
        RefreshPage();
    });
}

void MainWindow::PaintPreview(QPainter& painter) {
    const ScreenInfo screen = PrimaryScreen();
    try {
        const std::unique_ptr<PreviewSurface> surface = platform_.CreatePreviewSurface(
            painter, font(), palette().color(QPalette::Window), screen);
        ws_.RenderPreview(*surface, previewBox_->width(), previewBox_->height(), screen.WidthPx,
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

void MainWindow::OptionsClick() {
    if (optionsWindow_ == nullptr) {
        return;
    }
    RunEvent([this] {
        optionsWindow_->HandIn(ws_.SettingsFile(), ws_.AllMarkers(), ws_.TextEncoding());
        optionsWindow_->FillControls();
        if (dialogs_.ShowOptions(*optionsWindow_) == OptionsWindow::kResultOk) {
            AllSettings chosen = optionsWindow_->SettingsFile();
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

void MainWindow::DrawClick() {
    RunEvent([this] {
        ws_.RequireTickedMaps();
        const auto path = dialogs_.SaveFileName(this, ws_.Figure().Dpi);
        if (!path) {
            return;
        }
        DrawReport report;
        try {
            ProgressWindow progress(this, QStringLiteral("Drawing ") + QFileInfo(*path).fileName() +
                                              "...");
            report = ws_.Draw(FileName(*path), platform_.CreateFileCanvas, progress.Fn());
        } catch (const OperationCancelled&) {
            ShowStatus(QStringLiteral("Draw cancelled: nothing was written to ") +
                           QFileInfo(*path).fileName() + u'.',
                       true);
            return;
        }
        // The drawing is written as asked; a page that leaves the bars no
        // room, or a map wider than its row, is worth a word, not a refusal.
        QStringList warnings;
        if (const std::string warning = ws_.DrawWarning(); !warning.empty()) {
            warnings << ErrorBoxText(warning);
        }
        for (const std::string& warning : report.Warnings) {
            warnings << ErrorBoxText(warning);
        }
        if (warnings.isEmpty()) {
            ShowStatus(QStringLiteral("Drew the maps into ") + QFileInfo(*path).fileName() + u'.',
                       false);
        } else {
            ShowStatus(warnings.join(u' '), true);
        }
    });
}

void MainWindow::ExitClick() {
    close();
    QCoreApplication::quit();
}

} // namespace karvello
