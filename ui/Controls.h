#pragma once
// The small controls the two windows share and that Qt has no ready form of:
// the colour swatch, the unbounded integer number box, the rule lines and the
// open-folder picture, together with the conversions between our 8-bit texts
// and colours and Qt's.

#include <QAbstractSpinBox>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mapdata/MapRecords.h"
#include "platform/QtPainterSurface.h"

namespace karvello {

// The font of both windows and their controls: "MS Sans Serif", 11 pixels
// high at 96 pixels per inch (8 points), regular. Where that face is missing
// it is shown in Liberation Sans, which has its proportions.
QFont WindowFont();

// Returns the 0x00BBGGRR form of a Qt colour (its alpha is dropped).
RgbColour FromQColor(const QColor& colour);

// A rectangle filled with its colour and outlined in black. Releasing any
// mouse button over it emits mouseUp; a disabled swatch receives no mouse
// input, so it never emits while disabled.
class ColourSwatch : public QWidget {
    Q_OBJECT
  public:
    explicit ColourSwatch(QWidget* parent = nullptr);

    RgbColour Colour() const { return colour_; }
    void SetColour(RgbColour colour);

  signals:
    void mouseUp();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    RgbColour colour_ = 0;
};

// A box holding one signed 32-bit integer as decimal text, with up and down
// arrows and no bounds. The arrows and the Up and Down keys add or subtract 1,
// stopping at the ends of the 32-bit range instead of wrapping round. Typing
// accepts digits, "+", "-", the decimal separator and control keys other than
// Enter; every other key is refused with a beep. Text that is not a valid
// integer reads as 0; the box then shows in an error colour, with a tooltip
// that says so, until its text is a whole number again.
class NumberBox : public QAbstractSpinBox {
    Q_OBJECT
  public:
    explicit NumberBox(QWidget* parent = nullptr);

    // The box's integer, or 0 when its text is not one.
    std::int32_t Value() const;
    // Whether the text is a whole number that Value gives as it stands.
    bool HoldsWholeNumber() const;
    void SetValue(std::int32_t value);
    QString Text() const;
    void SetText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

  protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowValidity();
};

// The background colour of a box whose text is not taken as typed.
QColor ErrorColour();

// A list of markers whose entries read "(index) name". Typing while it has the
// focus, open or closed, finds the first entry whose name starts with what
// was typed (letters compared without case), so that a marker is found by
// its name; text that no name starts with is looked for at the start of the
// entry, "(64" finds index 64. An entry found by typing is chosen as if
// clicked (activated).
class MarkerComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit MarkerComboBox(QWidget* parent = nullptr);

    // The row an entry search for text finds, or -1: the first row whose
    // name (what follows ") ") starts with text, else the first whose whole
    // entry does.
    int FindEntry(const QString& text) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Adds the key's text to the search (a pause starts a new one) and
    // selects what it finds. Returns whether the key was a search key.
    bool Search(QKeyEvent* event, bool open);

    QString search_;
    qint64 lastKeyMs_ = 0;
};

// The top-left position that puts a window whose frame is frame inside the
// available area, moved as little as possible; a frame larger than the area
// is put at the area's top or left edge.
QPoint PlaceInside(const QRect& frame, const QRect& available);
// Moves a shown window inside the available area of the screen it is on
// (the primary one when none), so that no part of it lies off the screen or
// under a panel.
void KeepInsideScreen(QWidget& window);

// A rule line drawn along one edge of its rectangle, standing in for a bevel.
class DividerLine : public QFrame {
    Q_OBJECT
  public:
    enum class Edge { Bottom, Left };
    DividerLine(Edge edge, QWidget* parent = nullptr);
    // Places the rule inside the rectangle (left, top, width, height).
    void Place(int left, int top, int width, int height);

  private:
    Edge edge_;
};

// Gives a new control its name, by which the tests find it; returns it.
template <typename T> T* Named(T* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Creates a label named name showing text at (left, top), sized to its text.
QLabel* AddLabel(QWidget* parent, const char* name, const char* text, int left, int top);
// Creates a push button named name showing text in the rectangle rect.
QPushButton* AddButton(QWidget* parent, const char* name, const char* text, const QRect& rect);

// Appends an entry showing text to the list, 13 pixels high as the entries of
// both windows' lists are. Returns the entry, which the list owns.
QListWidgetItem* AddListEntry(QListWidget& list, const QString& text);
// Returns the row of the list's selected entry, -1 when none is selected.
int SelectedRow(const QListWidget& list);

// The 16 by 16 open-folder picture of the picture buttons, drawn here, with a
// greyed image for the unavailable state.
QIcon OpenFolderIcon();

} // namespace karvello
