#include "platform/Windows1252.h"

#include <QList>

namespace karvello {

std::string QStringToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t code : text.toUcs4()) {
        bytes.push_back(Windows1252ByteOf(code));
    }
    return bytes;
}

QString TextToQString(std::string_view text, CharacterEncoding encoding) {
    const std::u16string wide = TextToUtf16(text, encoding);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string QStringToText(const QString& text, CharacterEncoding encoding) {
    return encoding == CharacterEncoding::Windows1252 ? QStringToWindows1252(text)
                                                      : text.toUtf8().toStdString();
}

QString Windows1252ToQString(std::string_view text) {
    const std::u16string wide = Windows1252ToUtf16(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

} // namespace karvello
