#include "base/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace karvello {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The characters of bytes 0x80 to 0x9F, the only range where Windows-1252
// differs from Latin-1.
constexpr auto kHighControlRange = std::to_array<char16_t>({
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
});
static_assert(kHighControlRange.size() == 0xA0 - 0x80);

} // namespace

char32_t NextUtf8(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t code = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = lead >= 0xC2 && lead <= 0xF4 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        valid = (next & 0xC0) == 0x80;
        code = code << 6 | (next & 0x3F);
    }
    valid = valid && !(length == 3 && code < 0x800) && !(length == 4 && code < 0x10000) &&
            !(code >= 0xD800 && code < 0xE000) && code <= 0x10FFFF;
    if (!valid) {
        ++i;
        return 0xFFFD;
    }
    i += length;
    return code;
}

std::size_t FirstNonUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Eight ASCII bytes at a time, the usual case.
        std::uint64_t word = 0;
        if (text.size() - i >= sizeof word) {
            std::memcpy(&word, text.data() + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += sizeof word;
                continue;
            }
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t at = i;
        if (NextUtf8(text, i) == 0xFFFD && !(i - at == 3 && text.substr(at, 3) == "\xEF\xBF\xBD")) {
            return at;
        }
    }
    return std::string_view::npos;
}

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

char Windows1252ByteOf(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(code);
    }
    for (std::size_t k = 0; k < kHighControlRange.size(); ++k) {
        if (kHighControlRange[k] == code) {
            return static_cast<char>(0x80 + k);
        }
    }
    return '?';
}

std::string Utf8AsWindows1252(std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || FirstNonUtf8(text) != std::string_view::npos) {
        return std::string(text);
    }
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bytes += Windows1252ByteOf(NextUtf8(text, i));
    }
    return bytes;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
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

std::string Quote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string Quote(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return Quote(text);
    }
    std::string quoted = "\"";
    quoted += text.substr(0, maxBytes);
    quoted += "...\"";
    return quoted;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string FullPathForMessage(const std::string& path) {
    std::error_code ec;
    auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

std::string EscapeControlCharacters(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool lineEnd =
            byte == '\n' || (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
        if ((byte < 0x20 && !lineEnd && byte != '\t') || byte == 0x7F) {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto code = static_cast<unsigned char>(text[++i]);
            escaped += "\\u00";
            escaped += kHex[code >> 4];
            escaped += kHex[code & 0xF];
        } else {
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}

bool WouldBeSameFile(const std::string& a, const std::string& b) {
    if (IsSameFile(a, b)) {
        return true;
    }
    std::error_code ec;
    const auto fullA = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ec), ec);
    if (ec) {
        return FullPathForMessage(a) == FullPathForMessage(b);
    }
    const auto fullB = std::filesystem::weakly_canonical(std::filesystem::absolute(b, ec), ec);
    return ec ? FullPathForMessage(a) == FullPathForMessage(b) : fullA == fullB;
}

} // namespace karvello
