#pragma once
// Readable failure messages for the Qt values the tests compare. Every test
// file that compares them includes this: a file without it would have
// GoogleTest print them its own way, and as the linker keeps only one of the
// two printers, the messages of the other files would change with it.

#include <QRect>
#include <QString>
#include <ostream>

inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", "
         << rect.height() << ")";
}
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
