#include "platform/Windows1252.h"

#include <QList>

#include <array>

namespace karvello {

namespace {

// Bytes 0x80 to 0x9F, the only range where Windows-1252 differs from
// Latin-1.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char16_t Windows1252ToUtf16(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControlRange[byte - 0x80];
    }
    return static_cast<char16_t>(byte);
}

std::u16string Windows1252ToUtf16(std::string_view text) {
    std::u16string converted;
    converted.reserve(text.size());
    for (char c : text) {
        converted.push_back(Windows1252ToUtf16(static_cast<unsigned char>(c)));
    }
    return converted;
}

std::string QStringToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t code : text.toUcs4()) {
        bytes.push_back(Windows1252ByteOf(code));
    }
    return bytes;
}

std::u16string TextToUtf16(std::string_view text, CharacterEncoding encoding) {
    if (encoding == CharacterEncoding::Windows1252) {
        return Windows1252ToUtf16(text);
    }
    std::u16string converted;
    converted.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t code = NextUtf8(text, i);
        if (code >= 0x10000) {
            converted.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            converted.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            converted.push_back(static_cast<char16_t>(code));
        }
    }
    return converted;
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
