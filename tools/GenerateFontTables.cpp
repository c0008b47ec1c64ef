// Writes render/FontTables.cpp: the advance of every character of the
// Liberation fonts (Sans, Serif and Mono, regular, bold, italic and bold
// italic) in design units, with each face's units per em, ascent, descent
// and the advance of its default glyph. It reads the TrueType tables itself
// (head, hhea, hmtx, maxp, OS/2, cmap), so it needs nothing but the fonts.
//   karvello_generate_font_tables FONT_DIR > render/FontTables.cpp
// FONT_DIR holds the Liberation*.ttf files (on Debian, fonts-liberation2:
// /usr/share/fonts/truetype/liberation2).

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct FontFile {
    std::string Family;
    std::string Style;
    bool Bold = false;
    bool Italic = false;
};

// The tables of one font file, read as big-endian fields.
class TrueTypeFile {
  public:
    explicit TrueTypeFile(const std::string& path) : path_(path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw std::runtime_error("cannot read " + path);
        }
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const unsigned tableCount = U16(4);
        for (unsigned i = 0; i < tableCount; ++i) {
            const std::size_t record = 12 + 16 * std::size_t{i};
            tables_[std::string(&bytes_.at(record), 4)] = U32(record + 8);
        }
    }

    std::size_t Table(const std::string& tag) const {
        const auto found = tables_.find(tag);
        if (found == tables_.end()) {
            throw std::runtime_error(path_ + " has no " + tag + " table");
        }
        return found->second;
    }
    unsigned U16(std::size_t at) const { return (Byte(at) << 8) | Byte(at + 1); }
    int S16(std::size_t at) const {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(U16(at)));
    }
    std::uint32_t U32(std::size_t at) const { return (std::uint32_t{U16(at)} << 16) | U16(at + 2); }

  private:
    unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(bytes_.at(at)); }

    std::string path_;
    std::string bytes_;
    std::map<std::string, std::size_t> tables_;
};

struct Face {
    FontFile File;
    int UnitsPerEm = 0;
    int Ascent = 0;
    int Descent = 0;
    int DefaultAdvance = 0;
    // Each character the font maps to a glyph, with that glyph's advance.
    std::map<char32_t, int> Advances;
};

// The character map of the Windows Unicode subtable: the full repertoire's
// (format 12) where there is one, else the basic plane's (format 4). The
// glyph of each character, 0 (the default glyph) left out.
std::map<char32_t, unsigned> ReadCharacterMap(const TrueTypeFile& font) {
    const std::size_t cmap = font.Table("cmap");
    std::size_t basic = 0;
    std::size_t full = 0;
    for (unsigned i = 0; i < font.U16(cmap + 2); ++i) {
        const std::size_t record = cmap + 4 + 8 * std::size_t{i};
        const unsigned platform = font.U16(record);
        const unsigned encoding = font.U16(record + 2);
        const std::size_t subtable = cmap + font.U32(record + 4);
        if (platform == 3 && encoding == 10 && font.U16(subtable) == 12) {
            full = subtable;
        } else if (platform == 3 && encoding == 1 && font.U16(subtable) == 4) {
            basic = subtable;
        }
    }
    std::map<char32_t, unsigned> glyphs;
    if (full != 0) {
        const std::uint32_t groups = font.U32(full + 12);
        for (std::uint32_t g = 0; g < groups; ++g) {
            const std::size_t group = full + 16 + 12 * std::size_t{g};
            const std::uint32_t first = font.U32(group);
            const std::uint32_t last = font.U32(group + 4);
            const std::uint32_t glyph = font.U32(group + 8);
            for (std::uint32_t code = first; code <= last; ++code) {
                if (glyph + (code - first) != 0) {
                    glyphs[code] = glyph + (code - first);
                }
            }
        }
        return glyphs;
    }
    if (basic == 0) {
        throw std::runtime_error("no Windows Unicode character map");
    }
    const unsigned segments = font.U16(basic + 6) / 2;
    const std::size_t ends = basic + 14;
    const std::size_t starts = ends + 2 * std::size_t{segments} + 2;
    const std::size_t deltas = starts + 2 * std::size_t{segments};
    const std::size_t rangeOffsets = deltas + 2 * std::size_t{segments};
    for (unsigned s = 0; s < segments; ++s) {
        const unsigned end = font.U16(ends + 2 * s);
        const unsigned start = font.U16(starts + 2 * s);
        const unsigned delta = font.U16(deltas + 2 * s);
        const std::size_t rangeOffsetAt = rangeOffsets + 2 * s;
        const unsigned rangeOffset = font.U16(rangeOffsetAt);
        for (unsigned code = start; code <= end && code != 0xFFFF; ++code) {
            unsigned glyph = 0;
            if (rangeOffset == 0) {
                glyph = (code + delta) & 0xFFFF;
            } else {
                glyph = font.U16(rangeOffsetAt + rangeOffset + 2 * (code - start));
                if (glyph != 0) {
                    glyph = (glyph + delta) & 0xFFFF;
                }
            }
            if (glyph != 0) {
                glyphs[code] = glyph;
            }
        }
    }
    return glyphs;
}

Face ReadFace(const std::string& folder, const FontFile& file) {
    const std::string name = file.Family;
    std::string fileName;
    for (char c : name) {
        if (c != ' ') {
            fileName += c;
        }
    }
    const TrueTypeFile font(folder + "/" + fileName + "-" + file.Style + ".ttf");
    Face face;
    face.File = file;
    face.UnitsPerEm = static_cast<int>(font.U16(font.Table("head") + 18));

    // The heights a text takes: the OS/2 table's typographic ones where its
    // flag asks for them, else its Windows ones, as Qt reads them.
    const std::size_t os2 = font.Table("OS/2");
    const unsigned selection = font.U16(os2 + 62);
    constexpr unsigned kUseTypographicMetrics = 0x80;
    if ((selection & kUseTypographicMetrics) != 0) {
        face.Ascent = font.S16(os2 + 68);
        face.Descent = -font.S16(os2 + 70);
    } else {
        face.Ascent = static_cast<int>(font.U16(os2 + 74));
        face.Descent = static_cast<int>(font.U16(os2 + 76));
    }

    const std::size_t hhea = font.Table("hhea");
    const unsigned longMetrics = font.U16(hhea + 34);
    const unsigned glyphCount = font.U16(font.Table("maxp") + 4);
    const std::size_t hmtx = font.Table("hmtx");
    std::vector<int> advances(glyphCount);
    for (unsigned g = 0; g < glyphCount; ++g) {
        // Glyphs beyond the long metrics repeat the last advance.
        const unsigned metric = g < longMetrics ? g : longMetrics - 1;
        advances[g] = static_cast<int>(font.U16(hmtx + 4 * std::size_t{metric}));
    }
    face.DefaultAdvance = advances.at(0);
    for (const auto& [code, glyph] : ReadCharacterMap(font)) {
        face.Advances[code] = advances.at(glyph);
    }
    return face;
}

std::string Hex(char32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(code));
    return text;
}

// Writes the characters as runs of consecutive code points: the first, how
// many, and where their advances start; then the advances in the same order.
void WriteFace(std::ostream& out, const Face& face, std::size_t index) {
    std::vector<std::pair<char32_t, unsigned>> runs;
    for (const auto& entry : face.Advances) {
        const char32_t code = entry.first;
        if (!runs.empty() && runs.back().first + runs.back().second == code) {
            ++runs.back().second;
        } else {
            runs.emplace_back(code, 1);
        }
    }
    out << "// " << face.File.Family << " " << face.File.Style << ": " << face.Advances.size()
        << " characters in " << runs.size() << " runs.\n";
    out << "constexpr CharacterRun kRuns" << index << "[] = {\n";
    std::string line;
    std::size_t start = 0;
    for (const auto& [first, count] : runs) {
        const std::string item =
            "{" + Hex(first) + ", " + std::to_string(count) + ", " + std::to_string(start) + "},";
        start += count;
        if (line.size() + item.size() + 1 > 96) {
            out << "   " << line << "\n";
            line.clear();
        }
        line += " " + item;
    }
    out << "   " << line << "\n};\n";
    out << "constexpr std::uint16_t kAdvances" << index << "[] = {\n";
    line.clear();
    for (const auto& entry : face.Advances) {
        const std::string item = std::to_string(entry.second) + ",";
        if (line.size() + item.size() + 1 > 96) {
            out << "   " << line << "\n";
            line.clear();
        }
        line += " " + item;
    }
    out << "   " << line << "\n};\n\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: karvello_generate_font_tables FONT_DIR > FontTables.cpp\n";
        return 2;
    }
    const std::vector<FontFile> files = {
        {"Liberation Sans", "Regular", false, false},
        {"Liberation Sans", "Bold", true, false},
        {"Liberation Sans", "Italic", false, true},
        {"Liberation Sans", "BoldItalic", true, true},
        {"Liberation Serif", "Regular", false, false},
        {"Liberation Serif", "Bold", true, false},
        {"Liberation Serif", "Italic", false, true},
        {"Liberation Serif", "BoldItalic", true, true},
        {"Liberation Mono", "Regular", false, false},
        {"Liberation Mono", "Bold", true, false},
        {"Liberation Mono", "Italic", false, true},
        {"Liberation Mono", "BoldItalic", true, true},
    };
    std::ostringstream out;
    try {
        std::vector<Face> faces;
        for (const FontFile& file : files) {
            faces.push_back(ReadFace(argv[1], file));
        }
        out << "// clang-format off\n"
               "// Written by tools/GenerateFontTables.cpp from the Liberation fonts\n"
               "// (fonts-liberation2; SIL Open Font License 1.1); do not edit. To write it\n"
               "// again: cmake --build build --target font-tables\n\n"
               "#include \"render/FontTables.h\"\n\n"
               "namespace karvello {\n\nnamespace {\n\n";
        for (std::size_t i = 0; i < faces.size(); ++i) {
            WriteFace(out, faces[i], i);
        }
        out << "constexpr FontFaceTable kFaces[] = {\n";
        for (std::size_t i = 0; i < faces.size(); ++i) {
            const Face& face = faces[i];
            out << "    {\"" << face.File.Family << "\", " << (face.File.Bold ? "true" : "false")
                << ", " << (face.File.Italic ? "true" : "false") << ", " << face.UnitsPerEm << ", "
                << face.Ascent << ", " << face.Descent << ", " << face.DefaultAdvance << ", kRuns"
                << i << ", kAdvances" << i << "},\n";
        }
        out << "};\n\n} // namespace\n\n"
               "std::span<const FontFaceTable> BuiltInFaces() {\n"
               "    return kFaces;\n}\n\n} // namespace karvello\n";
    } catch (const std::exception& error) {
        std::cerr << "karvello_generate_font_tables: " << error.what() << "\n";
        return 1;
    }
    std::cout << out.str();
    return 0;
}
