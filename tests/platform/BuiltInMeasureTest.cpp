// The built-in measure against Qt's: for every face of the tables, the same
// advances, ascent and descent, to the last 1/64 of a unit.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QRawFont>
#include <map>
#include <utility>

#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "render/BuiltInFaces.h"

namespace karvello {
namespace {

// The face as TextMetrics gives it to Qt.
QFont QtFont(const FontFaceTable& face, int size) {
    QFont font;
    font.setFamilies(QStringList{QString::fromLatin1(face.Family)});
    font.setWeight(face.Bold ? QFont::Bold : QFont::Normal);
    font.setItalic(face.Italic);
    return MeasuringFont(font, size);
}

// Every character of the face's tables.
std::vector<char32_t> Characters(const FontFaceTable& face) {
    std::vector<char32_t> characters;
    for (const CharacterRun& run : face.Runs) {
        for (char32_t code = run.First; code < run.First + run.Count; ++code) {
            characters.push_back(code);
        }
    }
    return characters;
}

class BuiltInMeasureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtGui();
        for (const FontFaceTable& face : BuiltInFaces()) {
            const QFontInfo info(QtFont(face, 100));
            if (info.family() != QString::fromLatin1(face.Family) || info.bold() != face.Bold ||
                info.italic() != face.Italic) {
                GTEST_SKIP() << face.Family << " is not installed in every style";
            }
        }
    }
};

// Each character at sizes that tell its advance apart from its neighbours'
// (at the em size of the face's units, every design unit is one page unit)
// and at a few others, read as a Windows-1252 byte and in UTF-8; characters
// outside the tables as well, where both ways agree on the fallback.
TEST_F(BuiltInMeasureTest, EveryCharacterMeasuresAsInQt) {
    const std::vector<char32_t> outside = {0x0080, 0x009F, 0x2028, 0x2029,  0x200E, 0xFEFF, 0xE000,
                                           0xF8FF, 0x4E00, 0x0E01, 0x1D538, 0xFFFD, 0xF0000};
    for (const FontFaceTable& face : BuiltInFaces()) {
        std::vector<char32_t> characters = Characters(face);
        characters.insert(characters.end(), outside.begin(), outside.end());
        for (int size : {1, 7, 282, face.UnitsPerEm, 3000}) {
            SCOPED_TRACE(std::string(face.Family) + (face.Bold ? " bold" : "") +
                         (face.Italic ? " italic" : "") + " at " + std::to_string(size));
            const TextMeasure::Style builtIn = BuiltInStyle(face, size);
            const TextMeasure::Style qt = QtTextStyle(QtFont(face, size));
            for (int byte = 0; byte < 256; ++byte) {
                ASSERT_EQ(builtIn.ByteAdvance[byte], qt.ByteAdvance[byte]) << "byte " << byte;
            }
            for (char32_t code : characters) {
                if (code >= 0x80) {
                    ASSERT_EQ(builtIn.CharacterAdvance(code), qt.CharacterAdvance(code))
                        << "U+" << std::hex << static_cast<unsigned>(code);
                }
            }
        }
    }
}

// Qt's advance of a glyph depends on its design advance and the size alone,
// so one glyph of each design advance of the tables stands for every
// character with that advance; with the test above, that covers every
// character of every face at every size. Ascent, descent and height of each
// face at every size as well.
TEST_F(BuiltInMeasureTest, EveryAdvanceAndHeightAtEverySizeMeasuresAsInQt) {
    const auto faces = BuiltInFaces();
    // For each face, the glyphs that stand for the design advances no face
    // before it has, with those advances.
    std::vector<QList<quint32>> glyphs(faces.size());
    std::vector<std::vector<int>> advances(faces.size());
    std::map<std::pair<int, int>, bool> seen;
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const FontFaceTable& face = faces[f];
        const QRawFont raw = QRawFont::fromFont(QtFont(face, 100));
        const auto add = [&](quint32 glyph, int advance) {
            if (seen.emplace(std::make_pair(face.UnitsPerEm, advance), true).second) {
                glyphs[f].push_back(glyph);
                advances[f].push_back(advance);
            }
        };
        add(0, face.DefaultAdvance);
        for (char32_t code : Characters(face)) {
            const int advance = GlyphAdvance(face, code);
            if (seen.count({face.UnitsPerEm, advance}) == 0) {
                const QList<quint32> indexes =
                    raw.glyphIndexesForString(QString::fromUcs4(&code, 1));
                ASSERT_EQ(indexes.size(), 1);
                add(indexes[0], advance);
            }
        }
    }
    // Each face at every size, scaled from one font of it: Qt gives a font
    // at another size the same engine as a newly matched font of that size,
    // without matching it again.
    std::vector<QRawFont> raws;
    for (const FontFaceTable& face : faces) {
        raws.push_back(QRawFont::fromFont(QtFont(face, 100)));
    }
    for (int size = 1; size <= 3000; ++size) {
        for (std::size_t f = 0; f < faces.size(); ++f) {
            const FontFaceTable& face = faces[f];
            QRawFont& raw = raws[f];
            raw.setPixelSize(size);
            ASSERT_EQ(ScaledHeight(face, face.Ascent, size), raw.ascent())
                << face.Family << " at " << size;
            ASSERT_EQ(ScaledHeight(face, face.Descent, size), raw.descent())
                << face.Family << " at " << size;
            if (glyphs[f].isEmpty()) {
                continue;
            }
            const QList<QPointF> qt =
                raw.advancesForGlyphIndexes(glyphs[f], QRawFont::SeparateAdvances);
            ASSERT_EQ(qt.size(), glyphs[f].size());
            for (qsizetype g = 0; g < qt.size(); ++g) {
                ASSERT_EQ(ScaledAdvance(face, advances[f][g], size), qt[g].x())
                    << face.Family << " advance " << advances[f][g] << " at " << size;
            }
        }
    }
}

} // namespace
} // namespace karvello
