// The built-in text measure, without Qt: which names find which face, the
// fixed-point scaling, and how characters without glyphs or not shown
// measure.

#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "render/BuiltInFaces.h"
#include "render/TextMeasure.h"

namespace karvello {
namespace {

TEST(BuiltInFacesTest, FamiliesAndTheirMetricTwinsFindTheirFaces) {
    struct Row {
        const char* name;
        bool bold;
        bool italic;
        const char* family;
    };
    const Row rows[] = {
        {"Liberation Sans", false, false, "Liberation Sans"},
        {"Microsoft Sans Serif", false, false, "Liberation Sans"},
        {"arial", true, false, "Liberation Sans"},
        {"Helvetica", true, true, "Liberation Sans"},
        {"Times New Roman", false, true, "Liberation Serif"},
        {"TIMES", true, false, "Liberation Serif"},
        {"Courier New", false, false, "Liberation Mono"},
        {"Liberation Mono", true, true, "Liberation Mono"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FontFaceTable* face = FindBuiltInFace(row.name, row.bold, row.italic);
        ASSERT_NE(face, nullptr);
        EXPECT_STREQ(face->Family, row.family);
        EXPECT_EQ(face->Bold, row.bold);
        EXPECT_EQ(face->Italic, row.italic);
    }
    for (const char* name : {"DejaVu Sans", "Arial Narrow", "", "Sans"}) {
        EXPECT_EQ(FindBuiltInFace(name, false, false), nullptr) << name;
    }
}

TEST(BuiltInFacesTest, LengthsScaleInFreeTypesFixedPoint) {
    const FontFaceTable& sans = *FindBuiltInFace("Liberation Sans", false, false);
    ASSERT_EQ(sans.UnitsPerEm, 2048);
    // 'W' is 1933 units: 233.1304 at 247 scaled exactly, cut to 1/64.
    ASSERT_EQ(GlyphAdvance(sans, U'W'), 1933);
    EXPECT_EQ(ScaledAdvance(sans, 1933, 247), 233.125);
    EXPECT_EQ(ScaledAdvance(sans, 1933, 2048), 1933.0);
    // Heights round to the nearest 1/64, halves up: 1854 * 8 / 2048 is
    // 7.2421875 (463.5 / 64); 434 at 1 is 0.2119 (13.56 / 64).
    EXPECT_EQ(ScaledHeight(sans, 1854, 8), 464.0 / 64);
    EXPECT_EQ(ScaledHeight(sans, 434, 1), 14.0 / 64);
    EXPECT_EQ(ScaledHeight(sans, 1854, 282), 255.28125);
    EXPECT_EQ(GlyphAdvance(sans, 0x4E00), -1);
    EXPECT_EQ(GlyphAdvance(sans, 0x1F), -1);
    EXPECT_EQ(GlyphAdvance(sans, 0x10FFFF), -1);
}

class BuiltInMeasureTest : public ::testing::Test {
  protected:
    const FontFaceTable& sans_ = *FindBuiltInFace("Liberation Sans", false, false);
    const FontFaceTable& italicSans_ = *FindBuiltInFace("Liberation Sans", false, true);
    TextMeasure measure_{BuiltInStyle(sans_, 282), BuiltInStyle(italicSans_, 282)};

    double Scaled(int units) const { return ScaledAdvance(sans_, units, 282); }
};

TEST_F(BuiltInMeasureTest, TheMetafileFontMeasuresAsArialAt282) {
    // 1347.98 and 315.05 unrounded: Arial's advances and its ascent plus
    // descent (1854 + 434 of 2048 units).
    EXPECT_EQ(measure_.Width("T175, M12", false), 1348);
    EXPECT_EQ(measure_.Width("T175, M12", false, CharacterEncoding::Utf8), 1348);
    EXPECT_EQ(measure_.Height(false), 315);
    EXPECT_EQ(measure_.Height(true), 315);
    EXPECT_EQ(measure_.Ascent(false), 255.28125);
    EXPECT_EQ(measure_.Width("", false), 0);
}

TEST_F(BuiltInMeasureTest, CharactersWithoutGlyphsOrNotShown) {
    const double space = Scaled(GlyphAdvance(sans_, U' '));
    const double notdef = Scaled(sans_.DefaultAdvance);
    const double hyphen = Scaled(GlyphAdvance(sans_, 0xAD));
    ASSERT_GT(hyphen, 0);
    const TextMeasure::Style style = BuiltInStyle(sans_, 282);
    // Bytes: a tab the face has no glyph for is a space, other control
    // characters and the undefined 0x81 the default glyph; 0x80 is the euro.
    EXPECT_EQ(style.ByteAdvance['\t'], space);
    EXPECT_EQ(style.ByteAdvance[0x01], notdef);
    EXPECT_EQ(style.ByteAdvance[0x81], notdef);
    EXPECT_EQ(style.ByteAdvance[0xAD], hyphen);
    EXPECT_EQ(style.ByteAdvance[0x80], Scaled(GlyphAdvance(sans_, 0x20AC)));
    EXPECT_EQ(style.ByteAdvance[0x80], style.CharacterAdvance(0x20AC));
    // UTF-8 beyond ASCII: characters that are not shown measure 0.
    for (char32_t hidden : {0x0085, 0x00AD, 0x200D, 0xFEFF, 0x2028, 0xE000, 0x10FFFD, 0xE0041}) {
        EXPECT_EQ(style.CharacterAdvance(hidden), 0) << std::hex << static_cast<unsigned>(hidden);
    }
    for (char32_t missing : {0x4E00, 0x0E01, 0x1D538}) {
        EXPECT_EQ(style.CharacterAdvance(missing), notdef)
            << std::hex << static_cast<unsigned>(missing);
    }
    EXPECT_EQ(style.CharacterAdvance(0xE9), Scaled(GlyphAdvance(sans_, 0xE9)));
}

TEST_F(BuiltInMeasureTest, AdvancesFollowTheTextsUtf16UnitsAndAddUpToTheWidth) {
    struct Row {
        std::string text;
        CharacterEncoding encoding;
        std::size_t units;
    };
    const Row rows[] = {
        {"T175, M12", CharacterEncoding::Windows1252, 9},
        {"\xE9\x80\xFF\x01\t", CharacterEncoding::Windows1252, 5},
        {"Caf\xC3\xA9 \xE2\x82\xAC", CharacterEncoding::Utf8, 6},
        // A character beyond U+FFFF: its advance on the first of two units.
        {"a\xF0\x9D\x94\xB8z", CharacterEncoding::Utf8, 4},
        // A bad byte is one replacement character.
        {"a\x80z", CharacterEncoding::Utf8, 3},
        {"a very long name with many characters in it to gather rounding",
         CharacterEncoding::Windows1252, 62},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        for (bool italic : {false, true}) {
            const auto advances = measure_.Advances(row.text, italic, row.encoding);
            ASSERT_EQ(advances.size(), row.units);
            EXPECT_EQ(std::accumulate(advances.begin(), advances.end(), 0),
                      measure_.Width(row.text, italic, row.encoding));
        }
    }
    const auto astral = measure_.Advances("a\xF0\x9D\x94\xB8z", false, CharacterEncoding::Utf8);
    EXPECT_EQ(astral[2], 0);
    EXPECT_EQ(measure_.Width("Caf\xC3\xA9", false, CharacterEncoding::Utf8),
              measure_.Width("Caf\xE9", false));
}

TEST(BuiltInStyleTest, SizesBelowOneMeasureAsOne) {
    const FontFaceTable& mono = *FindBuiltInFace("Courier", false, false);
    const TextMeasure::Style zero = BuiltInStyle(mono, 0);
    const TextMeasure::Style one = BuiltInStyle(mono, 1);
    EXPECT_EQ(zero.ByteAdvance, one.ByteAdvance);
    EXPECT_EQ(zero.Ascent, one.Ascent);
    EXPECT_GT(one.ByteAdvance['M'], 0);
}

} // namespace
} // namespace karvello
