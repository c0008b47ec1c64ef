#pragma once
// The main window: the two file boxes, "Load", the maps list, the preview,
// "Flip vertically", "Options", "Draw" and "Exit". Each event handler reads
// its controls, runs one operation of the workspace and shows the result;
// errors end the event in the standard error box and the program goes on.

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/PagePicture.h"
#include "ui/Dialogs.h"
#include "ui/PlatformServices.h"
#include "workspace/Workspace.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPainter;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace karvello {

class OptionsWindow;
class PagePreviewWindow;
class AnnotationsWindow;
class PreviewBox;

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // Creates the window with the workspace's defaults: nothing
    // loaded, the map controls unavailable, the input-file box focused.
    MainWindow(const Dialogs& dialogs, const PlatformServices& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The options window that "Options" shows; created after this window.
    void SetOptionsWindow(OptionsWindow* optionsWindow) { optionsWindow_ = optionsWindow; }

    const Workspace& workspace() const { return ws_; }
    // Puts the files into their boxes and loads them, as "Load" does: a
    // Mapmaker pair, or with output empty a map file of another program.
    void OpenFiles(const QString& input, const QString& output);
    // The page preview's picture and window; the window is hidden until
    // "Page preview" shows it.
    const PagePicture& PagePreviewPicture() const { return pagePicture_; }
    PagePreviewWindow& PageWindow() { return *pageWindow_; }
    AnnotationsWindow& annotationsWindow() { return *annotationsWindow_; }

    // The client area the window opens with, at 96 pixels per inch: that of
    // its outer size of 441 by 348 less a 19-pixel caption and 4-pixel
    // borders, so that "Exit", "Options" and the information box, which
    // reach down to 321, are not cut off; below them a row of 29 pixels
    // holds "Tick all", "Tick none", "Page preview", "Annotations" and
    // "Open map table".
    static constexpr int kDesignWidth = 433;
    static constexpr int kDesignHeight = 350;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Files dropped on the window open as "Open map table..." opens one
    // (one file) or as a Mapmaker pair (two files; the one that begins like
    // an input file is the input).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BrowseInputClick();
    void BrowseOutputClick();
    void LoadClick();
    void OpenMapTableClick();
    void MapListClick();
    void MapListTick(int row, bool ticked);
    void FlipClick(bool state);
    void PaintPreview(QPainter& painter);
    void OptionsClick();
    void DrawClick();
    void ExitClick();
    void TickAll(bool ticked);
    void ShowPageWindow();
    // Records the page preview's picture anew from the workspace, as the
    // last step of every event that changes what Draw would write. Throws
    // what the drawing throws, leaving an empty picture.
    void RefreshPage();
    // Takes the annotations window's choices into the workspace.
    void ApplyAnnotations();
    // Asks for the title of the map of the list entry.
    void EditTitle(int mapIndex);

    // Shows text in the status line beside "Load"; an empty text clears it.
    // A warning shows in the error colour.
    void ShowStatus(const QString& text, bool warning);

    // Shows the open dialog on the file last chosen through either picture
    // button, as one dialog serves both; a file chosen replaces box's text,
    // and cancelling changes nothing.
    void ChooseFile(QLineEdit& box);
    // Runs one event's body; an error ends it in the standard error box.
    void RunEvent(const std::function<void()>& body);
    void ShowError(std::string_view message);
    // Asks for a repaint of the preview as the last step of an event; an
    // error of that paint is then reported once.
    void RequestPreview();
    void RefreshMapList();
    // The controls that become available with the first complete load, in
    // the order they do.
    std::array<QWidget*, 13> MapControls() const;

    Dialogs dialogs_;
    PlatformServices platform_;
    Workspace ws_;
    OptionsWindow* optionsWindow_ = nullptr;
    QString lastOpenFile_;
    bool previewErrorPending_ = false;

    // A control with the window edges it keeps its distance to.
    struct AnchoredControl {
        QWidget* Control;
        QRect Design;
        bool Left;
        bool Top;
        bool Right;
        bool Bottom;
    };
    std::vector<AnchoredControl> anchored_;

    QLineEdit* inputBox_ = nullptr;
    QLineEdit* outputBox_ = nullptr;
    QToolButton* browseInputButton_ = nullptr;
    QToolButton* browseOutputButton_ = nullptr;
    QPushButton* loadButton_ = nullptr;
    QLabel* mapsLabel_ = nullptr;
    QListWidget* mapList_ = nullptr;
    QLabel* tickHint_ = nullptr;
    QPushButton* drawButton_ = nullptr;
    QLabel* informationLabel_ = nullptr;
    QPlainTextEdit* informationBox_ = nullptr;
    QLabel* previewLabel_ = nullptr;
    PreviewBox* previewBox_ = nullptr;
    QCheckBox* flipBox_ = nullptr;
    QPushButton* optionsButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QPushButton* tickAllButton_ = nullptr;
    QPushButton* tickNoneButton_ = nullptr;
    QPushButton* pagePreviewButton_ = nullptr;
    PagePicture pagePicture_;
    PagePreviewWindow* pageWindow_ = nullptr;
    QPushButton* annotationsButton_ = nullptr;
    QPushButton* openMapTableButton_ = nullptr;
    AnnotationsWindow* annotationsWindow_ = nullptr;
    // The QTL table the workspace holds, as the user named it.
    QString qtlPath_;
};

} // namespace karvello
