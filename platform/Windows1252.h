#pragma once
// Names are 8-bit text with no character-set conversion; where a drawing
// needs Unicode (metafile text records, Qt's painter) the bytes are read in
// the encoding of the marker table: Windows-1252, the code page a Western
// Windows system shows Mapmaker's names in, or UTF-8 for a map file. The
// conversions themselves are in base/Text.h; these carry them to Qt's
// strings.

#include <QString>

#include <string>
#include <string_view>

#include "base/Text.h"

namespace karvello {

// The text converted byte by byte as Windows1252ToUtf16 (base/Text.h)
// converts it, for Qt.
QString Windows1252ToQString(std::string_view text);

// The other way: each character as its Windows-1252 byte, and "?" for a
// character the code page cannot write.
std::string QStringToWindows1252(const QString& text);

// The text as TextToUtf16 (base/Text.h) gives it, for Qt.
QString TextToQString(std::string_view text, CharacterEncoding encoding);
// The other way, as QStringToWindows1252 or as UTF-8.
std::string QStringToText(const QString& text, CharacterEncoding encoding);

} // namespace karvello
