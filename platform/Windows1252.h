#pragma once
// Names are 8-bit text with no character-set conversion; where a drawing
// needs Unicode (metafile text records, Qt's painter) the bytes are read in
// the encoding of the marker table: Windows-1252, the code page a Western
// Windows system shows Mapmaker's names in, or UTF-8 for a map file.

#include <QString>

#include <string>
#include <string_view>

#include "base/Text.h"

namespace karvello {

// The UTF-16 code unit that Windows-1252 byte `byte` stands for. The five
// bytes the code page leaves undefined map to the control character of the
// same number, as Windows itself converts them. Never fails.
char16_t Windows1252ToUtf16(unsigned char byte);

// The text converted byte by byte as above: one UTF-16 unit per byte.
std::u16string Windows1252ToUtf16(std::string_view text);

// The text converted as above, for Qt.
QString Windows1252ToQString(std::string_view text);

// The other way: each character as its Windows-1252 byte, and "?" for a
// character the code page cannot write.
std::string QStringToWindows1252(const QString& text);

// The text as UTF-16 in the given encoding. A byte sequence that is not
// UTF-8 gives U+FFFD for each byte of it.
std::u16string TextToUtf16(std::string_view text, CharacterEncoding encoding);
QString TextToQString(std::string_view text, CharacterEncoding encoding);
// The other way, as QStringToWindows1252 or as UTF-8.
std::string QStringToText(const QString& text, CharacterEncoding encoding);

} // namespace karvello
