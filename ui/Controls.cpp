#include "ui/Controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <limits>

#include "base/Numbers.h"
#include "mapdata/TextLines.h"
#include "platform/Windows1252.h"

namespace karvello {

QFont WindowFont() {
    static const bool substituted = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

RgbColour FromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<RgbColour>(rgb.red()) | (static_cast<RgbColour>(rgb.green()) << 8) |
           (static_cast<RgbColour>(rgb.blue()) << 16);
}

// --- ColourSwatch ---

ColourSwatch::ColourSwatch(QWidget* parent) : QWidget(parent) {}

void ColourSwatch::SetColour(RgbColour colour) {
    colour_ = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(ToQColor(colour_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent* event) {
    // A release outside the swatch is the user changing their mind.
    if (rect().contains(event->position().toPoint())) {
        emit mouseUp();
    }
}

// --- NumberBox ---

NumberBox::NumberBox(QWidget* parent) : QAbstractSpinBox(parent) {
    connect(lineEdit(), &QLineEdit::textChanged, this, &NumberBox::ShowValidity);
    SetValue(0);
}

std::int32_t NumberBox::Value() const {
    return ParseDecimalInt32(Text().toStdString()).value_or(0);
}

bool NumberBox::HoldsWholeNumber() const {
    return ParseDecimalInt32(Text().toStdString()).has_value();
}

void NumberBox::ShowValidity() {
    QPalette colours = palette();
    if (HoldsWholeNumber()) {
        colours.setColor(QPalette::Base, QApplication::palette(this).color(QPalette::Base));
        setToolTip(QString());
    } else {
        colours.setColor(QPalette::Base, ErrorColour());
        setToolTip(QStringLiteral("\u201C") + Text() +
                   QStringLiteral("\u201D is not a whole number, so it counts as 0."));
    }
    setPalette(colours);
}

QColor ErrorColour() {
    return QColor(0xFF, 0xC8, 0xC8);
}

void NumberBox::SetValue(std::int32_t value) {
    SetText(QString::number(value));
}

QString NumberBox::Text() const {
    return lineEdit()->text();
}

void NumberBox::SetText(const QString& text) {
    lineEdit()->setText(text);
}

void NumberBox::stepBy(int steps) {
    // Widened so that a step past either end of the 32-bit range stops there
    // rather than overflowing.
    const std::int64_t stepped = static_cast<std::int64_t>(Value()) + steps;
    const std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    const std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    SetValue(static_cast<std::int32_t>(std::clamp(stepped, lowest, highest)));
}

QValidator::State NumberBox::validate(QString&, int&) const {
    // Keys are filtered as they are typed; pasted text is taken as it is and
    // simply reads as 0 when it is no integer.
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled NumberBox::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QApplication::beep();
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool printable = text.size() == 1 && text.front().isPrint();
    if (printable && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = text.front();
        const QString decimalPoint = QLocale().decimalPoint();
        const bool allowed =
            (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || QString(c) == decimalPoint;
        if (!allowed) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

// --- DividerLine ---

DividerLine::DividerLine(Edge edge, QWidget* parent) : QFrame(parent), edge_(edge) {
    setFrameShape(edge == Edge::Bottom ? QFrame::HLine : QFrame::VLine);
    setFrameShadow(QFrame::Sunken);
}

void DividerLine::Place(int left, int top, int width, int height) {
    if (edge_ == Edge::Bottom) {
        setGeometry(left, top + height - 2, width, 2);
    } else {
        setGeometry(left, top, 2, height);
    }
}

// --- labels and buttons ---

QLabel* AddLabel(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* label = Named(new QLabel(QString::fromLatin1(text), parent), name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, const char* text, const QRect& rect) {
    auto* button = Named(new QPushButton(QString::fromLatin1(text), parent), name);
    button->setGeometry(rect);
    return button;
}

// --- lists ---

QListWidgetItem* AddListEntry(QListWidget& list, const QString& text) {
    auto* item = new QListWidgetItem(text, &list);
    item->setSizeHint(QSize(0, 13));
    return item;
}

int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.front());
}

// --- the open-folder picture ---

namespace {

// One picture, drawn in the given colours, so that the greyed image has the
// same shape as the normal one.
QPixmap DrawFolder(const QColor& outline, const QColor& back, const QColor& front) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(outline);
    // The back of the folder with its tab.
    QPainterPath back_shape;
    back_shape.moveTo(1, 3);
    back_shape.lineTo(5, 3);
    back_shape.lineTo(6, 4);
    back_shape.lineTo(12, 4);
    back_shape.lineTo(12, 13);
    back_shape.lineTo(1, 13);
    back_shape.closeSubpath();
    painter.setBrush(back);
    painter.drawPath(back_shape);
    // The open front flap, tilted forward.
    QPainterPath front_shape;
    front_shape.moveTo(3, 7);
    front_shape.lineTo(15, 7);
    front_shape.lineTo(12, 13);
    front_shape.lineTo(1, 13);
    front_shape.closeSubpath();
    painter.setBrush(front);
    painter.drawPath(front_shape);
    return pixmap;
}

} // namespace

QIcon OpenFolderIcon() {
    QIcon icon;
    icon.addPixmap(
        DrawFolder(QColor(0x80, 0x60, 0x00), QColor(0xD8, 0xB0, 0x30), QColor(0xFF, 0xE0, 0x70)),
        QIcon::Normal);
    icon.addPixmap(
        DrawFolder(QColor(0x80, 0x80, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0xE0, 0xE0, 0xE0)),
        QIcon::Disabled);
    return icon;
}

// --- MarkerComboBox ---

MarkerComboBox::MarkerComboBox(QWidget* parent) : QComboBox(parent) {
    view()->installEventFilter(this);
}

int MarkerComboBox::FindEntry(const QString& text) const {
    if (text.isEmpty()) {
        return -1;
    }
    const QAbstractItemModel* entries = model();
    const int rows = entries->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QString entry = entries->index(row, 0).data().toString();
        const auto nameStart = entry.indexOf(QStringLiteral(") "));
        if (nameStart >= 0 &&
            QStringView(entry).mid(nameStart + 2).startsWith(text, Qt::CaseInsensitive)) {
            return row;
        }
    }
    for (int row = 0; row < rows; ++row) {
        if (entries->index(row, 0).data().toString().startsWith(text, Qt::CaseInsensitive)) {
            return row;
        }
    }
    return -1;
}

bool MarkerComboBox::Search(QKeyEvent* event, bool open) {
    const QString text = event->text();
    if (text.size() != 1 || !text.front().isPrint() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return false;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastKeyMs_ > QApplication::keyboardInputInterval()) {
        search_.clear();
    }
    lastKeyMs_ = now;
    search_ += text;
    const int row = FindEntry(search_);
    if (row < 0) {
        QApplication::beep();
    } else if (open) {
        view()->setCurrentIndex(model()->index(row, 0));
    } else if (row != currentIndex()) {
        setCurrentIndex(row);
        emit activated(row);
    }
    return true;
}

void MarkerComboBox::keyPressEvent(QKeyEvent* event) {
    if (Search(event, false)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

bool MarkerComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress &&
        Search(static_cast<QKeyEvent*>(event), true)) {
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

// --- keeping windows on the screen ---

QPoint PlaceInside(const QRect& frame, const QRect& available) {
    const auto axis = [](int start, int length, int areaStart, int areaLength) {
        if (length >= areaLength) {
            return areaStart;
        }
        return std::clamp(start, areaStart, areaStart + areaLength - length);
    };
    return QPoint(axis(frame.left(), frame.width(), available.left(), available.width()),
                  axis(frame.top(), frame.height(), available.top(), available.height()));
}

void KeepInsideScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect frame = window.frameGeometry();
    const QPoint place = PlaceInside(frame, screen->availableGeometry());
    if (place != frame.topLeft()) {
        // move() places the frame's top-left corner for a top-level window.
        window.move(place);
    }
}

} // namespace karvello
