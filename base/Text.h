#pragma once
// Small text helpers every layer shares. 8-bit text, ASCII case rules.

#include <cstddef>
#include <string>
#include <string_view>

namespace karvello {

// How the bytes of the marker names stand for characters. A Mapmaker load
// gives Windows-1252 names; a map file gives UTF-8 names. The workspace keeps
// the encoding of its marker table beside it and hands it to every surface.
enum class CharacterEncoding { Windows1252, Utf8 };

// Whether TrimText takes the character away at an end: a blank, a tab, CR or
// another control character (code 32 or less).
inline bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// Returns text without the characters of code 32 or less (blank, tab, CR and
// the other control characters) at either end; an empty view when nothing else
// is left. Inline, as the rows of large tables are trimmed field by field.
inline std::string_view TrimText(std::string_view text) {
    const char* first = text.data();
    const char* end = first + text.size();
    while (first != end && IsTrimmed(*first)) {
        ++first;
    }
    while (end != first && IsTrimmed(end[-1])) {
        --end;
    }
    return std::string_view(first, static_cast<std::size_t>(end - first));
}

// The character that starts at text[i] in UTF-8, with i moved past it. A
// byte that starts no valid sequence (a stray continuation byte, a cut
// sequence, an overlong form, a surrogate, a value past U+10FFFF) gives
// U+FFFD and moves i by one. i must be below text.size().
char32_t NextUtf8(std::string_view text, std::size_t& i);
// The index of the first byte of text that is not valid UTF-8, or npos.
std::size_t FirstNonUtf8(std::string_view text);

// The UTF-16 code unit that Windows-1252 byte `byte` stands for. The five
// bytes the code page leaves undefined map to the control character of the
// same number, as Windows itself converts them. Never fails.
char16_t Windows1252ToUtf16(unsigned char byte);
// The text converted byte by byte as above: one UTF-16 unit per byte.
std::u16string Windows1252ToUtf16(std::string_view text);
// The Windows-1252 byte of the character, or '?' where the code page has
// none.
char Windows1252ByteOf(char32_t code);
// Text typed or read as UTF-8 in Windows-1252, for names read in that code
// page: each character as its byte, '?' for one the code page lacks. Text
// that is not valid UTF-8, or is ASCII, comes back as it is.
std::string Utf8AsWindows1252(std::string_view text);

// Appends the character as UTF-8 (one to four bytes). code must be a
// Unicode scalar value.
void AppendUtf8(std::string& out, char32_t code);
// Whether unit starts a UTF-16 surrogate pair, and the character a pair
// stands for.
constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
constexpr char32_t FromSurrogates(char16_t high, char16_t low) {
    return 0x10000 + ((char32_t{high} - 0xD800) << 10) + (char32_t{low} - 0xDC00);
}

// The text as UTF-16 in the given encoding. A byte sequence that is not
// UTF-8 gives U+FFFD for each byte of it.
std::u16string TextToUtf16(std::string_view text, CharacterEncoding encoding);

// The byte-order mark some editors write at the start of a UTF-8 file.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The text without a byte-order mark at its start.
inline std::string_view WithoutByteOrderMark(std::string_view text) {
    return text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text;
}

// The text in double quotes, as messages name files, fields and values.
std::string Quote(std::string_view text);
// The same, cut after its first maxBytes bytes and marked with "..." when
// it is longer, so that a message about a line of noise stays readable.
std::string Quote(std::string_view text, std::size_t maxBytes);

// Whether a and b are equal when ASCII letters are compared without case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Whether text ends with suffix, ASCII letters compared without case.
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

// The path as a message names a file: made absolute against the current
// folder and normalised; the path as given when that fails.
std::string FullPathForMessage(const std::string& path);

// Whether the two paths name one existing file: the files are compared, not
// the names, so a link, a hard link or another spelling of the path counts.
// False when either does not exist or cannot be looked at.
bool IsSameFile(const std::string& a, const std::string& b);
// Whether writing to a and to b would write one file: IsSameFile, or, for a
// file that does not exist yet, the same path once every link in its folders
// is followed.
bool WouldBeSameFile(const std::string& a, const std::string& b);

// The text with every control character that could steer a terminal
// written as an escape instead: C0 controls but tab and the line ends LF
// and CR LF, and DEL, as "\x1b"; the C1 controls of UTF-8 (U+0080 to U+009F) as "\u009b".
// Everything else, bytes that are not UTF-8 included, stays as it is.
std::string EscapeControlCharacters(std::string_view text);

} // namespace karvello
