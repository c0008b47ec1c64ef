// Text measurement for the metafile, and the 8-bit text conversion.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QStringList>

#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "platform/Windows1252.h"

namespace karvello {
namespace {

class TextMetricsTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureQtGui(); }
};

TEST_F(TextMetricsTest, MetafileFontIsChosenByNameNotByTheFontConfiguration) {
    const QFont font = MetafileMeasuringFont();
    ASSERT_FALSE(font.families().isEmpty());
    const QString family = font.families().first();
    EXPECT_TRUE(QStringList({"Microsoft Sans Serif", "Liberation Sans", "Arial"}).contains(family))
        << family.toStdString();
    // The face actually used is the one asked for, not a substitute such as
    // DejaVu Sans, which is about 11% wider.
    EXPECT_EQ(QFontInfo(font).family(), family);
    EXPECT_EQ(font.pixelSize(), 282);
    EXPECT_FALSE(font.kerning());
}

TEST_F(TextMetricsTest, LiberationSansMeasuresAsArialAtHeight282) {
    const QFont font = MetafileMeasuringFont();
    if (font.families().first() != "Liberation Sans") {
        GTEST_SKIP() << "measuring with " << font.families().first().toStdString();
    }
    const TextMetrics& metrics = MetafileTextMetrics();
    // 1347.98 and 315.05 unrounded: Arial's advances and its ascent plus
    // descent (1854 + 434 of 2048 units) at 282.
    EXPECT_EQ(metrics.Width("T175, M12", false), 1348);
    EXPECT_EQ(metrics.Height(false), 315);
    EXPECT_EQ(metrics.Height(true), 315);
    EXPECT_EQ(metrics.Width("", false), 0);
}

TEST_F(TextMetricsTest, CharactersKeepTheirOwnAdvancesWithoutKerning) {
    const TextMetrics& m = MetafileTextMetrics();
    // "AV" is a kerning pair in Arial-like faces; unkerned, the order of the
    // characters makes no difference to the width.
    EXPECT_EQ(m.Width("AVAVAVAVAV", false), m.Width("AAAAAVVVVV", false));
    EXPECT_EQ(m.Width("AVAVAVAVAV", true), m.Width("AAAAAVVVVV", true));
    EXPECT_GT(m.Width("WWWW", false), m.Width("iiii", false));
}

TEST_F(TextMetricsTest, AdvancesAddUpToTheWidth) {
    const TextMetrics& m = MetafileTextMetrics();
    for (const std::string text :
         {"", "M", "T175, M12", "D10M44, D10M298, D10M42", "\xE9\x80\xFF\x01",
          "a very long name with many characters in it to gather rounding"}) {
        SCOPED_TRACE(text);
        for (bool italic : {false, true}) {
            const auto advances = m.Advances(text, italic);
            ASSERT_EQ(advances.size(), text.size());
            long sum = 0;
            for (auto a : advances) {
                sum += a;
            }
            EXPECT_EQ(sum, m.Width(text, italic));
        }
    }
}

TEST(Windows1252Test, BytesBecomeTheCharactersWindowsShows) {
    struct Row {
        unsigned char byte;
        char16_t unit;
    };
    for (const Row row :
         {Row{'A', u'A'}, Row{0x00, 0x0000}, Row{0x7F, 0x007F}, Row{0x80, 0x20AC},
          Row{0x81, 0x0081}, Row{0x8A, 0x0160}, Row{0x9D, 0x009D}, Row{0x9F, 0x0178},
          Row{0xA0, 0x00A0}, Row{0xE9, 0x00E9}, Row{0xFF, 0x00FF}}) {
        SCOPED_TRACE(static_cast<int>(row.byte));
        EXPECT_EQ(Windows1252ToUtf16(row.byte), row.unit);
    }
    EXPECT_EQ(Windows1252ToUtf16(std::string_view("M\x93x\x94")), u"M\u201Cx\u201D");
}

TEST(TextEncodingTest, UtfEightIsDecodedAndEveryBadByteBecomesOneReplacement) {
    struct Row {
        const char* rule;
        std::string bytes;
        std::u16string units;
    };
    const Row rows[] = {
        {"two, three and four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x94\xB8",
         u"\u00E9\u20AC\U0001D538"},
        {"a lone continuation byte",
         "a\x80"
         "b",
         u"a\uFFFDb"},
        {"a sequence cut short", "a\xE2\x82", u"a\uFFFD\uFFFD"},
        {"an overlong form", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a Windows-1252 byte in a UTF-8 table", "Caf\xE9", u"Caf\uFFFD"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        EXPECT_EQ(TextToUtf16(row.bytes, CharacterEncoding::Utf8), row.units);
    }
    EXPECT_EQ(TextToUtf16("Caf\xE9", CharacterEncoding::Windows1252), u"Caf\u00E9");
    EXPECT_EQ(QStringToText(QStringLiteral("\u00E9\u03A9"), CharacterEncoding::Utf8),
              "\xC3\xA9\xCE\xA9");
    EXPECT_EQ(QStringToText(QStringLiteral("\u00E9\u03A9"), CharacterEncoding::Windows1252),
              "\xE9?");
}

} // namespace
} // namespace karvello
