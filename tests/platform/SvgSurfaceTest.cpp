// The SVG writer: the exact text of a small drawing, text that stays valid
// XML whatever bytes a name holds, and pages too large to write.

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <cmath>
#include <string>

#include "base/Error.h"
#include "base/Numbers.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "render/SvgSurface.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

PageBox Page(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height) {
    PageBox page;
    page.Include(left, top);
    page.Include(left + width - 1, top + height - 1);
    return page;
}

// Writes what draw draws onto a page and returns the whole file.
template <typename Draw>
std::string WriteSvg(const PageBox& page, Draw draw, SvgOptions options = {}) {
    EnsureQtGui();
    std::string file;
    SvgSurface surface([&file](std::string_view text) { file += text; }, page,
                       MetafileTextMetrics(), options);
    draw(surface);
    surface.Finish();
    return file;
}

// Everything between the opening <g ...> of the drawing and its end.
std::string Body(const std::string& file) {
    const std::size_t start = file.find("xml:space=\"preserve\">\n");
    const std::size_t end = file.rfind("</g>\n</svg>\n");
    EXPECT_NE(start, std::string::npos);
    EXPECT_EQ(end + 12, file.size());
    return file.substr(start + 22, end - start - 22);
}

TEST(SvgSurfaceTest, WritesASmallDrawingExactly) {
    const TextMetrics& metrics = (EnsureQtGui(), MetafileTextMetrics());
    const std::string baseline = DecimalText(1400 - 1000 + std::llround(metrics.Ascent(false)));
    const std::string italicBaseline =
        DecimalText(2000 - 1000 + std::llround(metrics.Ascent(true)));
    SvgOptions options;
    options.title = "maps & <more>";
    options.fontFamily = SvgFontFamilyList("Liberation Sans");
    options.lineWidth = 9;
    const std::string file = WriteSvg(
        Page(100, 1000, 4000, 2541),
        [](Surface& s) {
            s.SetMapMode(MappingMode::HiMetric);
            s.BeginMap(3);
            s.Rectangle(100, -1000, 2640, -3540);
            s.SetPenColour(0x808080);
            s.MoveTo(2640, -1300); // a label line of three pieces
            s.LineTo(2740, -1300);
            s.LineTo(3000, -1500);
            s.LineTo(3000, -1600);
            s.SetPenColour(0xC0C0C0); // another colour starts another path
            s.LineTo(3100, -1600);
            s.MoveTo(100, -1000); // a jump within a path
            s.LineTo(200, -1000);
            s.SetFontColour(0x0000FF);
            s.TextOut(3100, -1400, "T175");
            s.EndMap();
            s.BeginMap(4);
            s.SetItalic(true);
            s.SetFontColour(0);
            s.TextOut(3100, -2000, "D7");
        },
        options);
    EXPECT_EQ(file.substr(0, file.find("<g stroke-width")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"40.00mm\" "
              "height=\"25.41mm\" viewBox=\"0 0 4000 2541\">\n"
              "<title>maps &amp; &lt;more&gt;</title>\n"
              "<desc>Linkage maps drawn by Karvello</desc>\n");
    EXPECT_NE(file.find("<g stroke-width=\"9\" stroke-linecap=\"square\" stroke-linejoin=\"bevel\" "
                        "font-family=\"'Liberation Sans', 'Arial', 'Helvetica', sans-serif\" "
                        "font-size=\"282\" xml:space=\"preserve\">\n"),
              std::string::npos);
    EXPECT_EQ(Body(file),
              "<g id=\"map-3\">\n"
              "<rect x=\"0\" y=\"0\" width=\"2540\" height=\"2540\" fill=\"#fff\" "
              "stroke=\"#000000\"/>\n"
              "<path fill=\"none\" stroke=\"#808080\" d=\"M2540 300H2640L2900 500V600\"/>\n"
              "<path fill=\"none\" stroke=\"#c0c0c0\" d=\"M2900 600H3000M0 0H100\"/>\n"
              "<text x=\"3000\" y=\"" +
                  baseline +
                  "\" fill=\"#ff0000\">T175</text>\n"
                  "</g>\n"
                  "<g id=\"map-4\">\n"
                  "<text x=\"3000\" y=\"" +
                  italicBaseline +
                  "\" font-style=\"italic\">D7</text>\n"
                  "</g>\n");
}

// Names are Windows-1252 bytes; control characters cannot stand in XML.
TEST(SvgSurfaceTest, TextIsEscapedOrReplaced) {
    struct Row {
        const char* rule;
        std::string name;
        std::string written;
    };
    const Row rows[] = {
        {"markup characters are escaped", "a&b<c>\"d'", "a&amp;b&lt;c&gt;&quot;d'"},
        {"spaces are kept as they are", "  two  spaces ", "  two  spaces "},
        {"control characters become U+FFFD", std::string("x\x01y\x07z\x1F\x7F", 7),
         "x\xEF\xBF\xBDy\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a zero byte becomes U+FFFD", std::string("a\0b", 3),
         "a\xEF\xBF\xBD"
         "b"},
        {"Windows-1252 letters become UTF-8", "\xE9\x80\x9F", "\xC3\xA9\xE2\x82\xAC\xC5\xB8"},
        {"bytes Windows-1252 leaves undefined become U+FFFD", "\x81\x8D\x8F\x90\x9D",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        const std::string body = Body(
            WriteSvg(Page(0, 0, 1000, 1000), [&row](Surface& s) { s.TextOut(0, 0, row.name); }));
        const std::size_t open = body.find('>');
        const std::size_t close = body.rfind("</text>");
        ASSERT_NE(close, std::string::npos) << body;
        EXPECT_EQ(body.substr(open + 1, close - open - 1), row.written);
    }
}

TEST(SvgSurfaceTest, UtfEightNamesAreWrittenAsTheyAre) {
    const std::string name = "\xC3\xA9t\xC3\xA9 \xCE\xA9 \xF0\x9D\x94\xB8 a&b";
    const std::string body = Body(WriteSvg(Page(0, 0, 1000, 1000), [&name](Surface& s) {
        s.SetTextEncoding(CharacterEncoding::Utf8);
        s.TextOut(0, 0, name);
    }));
    EXPECT_NE(body.find(">\xC3\xA9t\xC3\xA9 \xCE\xA9 \xF0\x9D\x94\xB8 a&amp;b</text>"),
              std::string::npos)
        << body;
}

TEST(SvgSurfaceTest, EveryByteInANameOrTitleLeavesValidXml) {
    std::string allBytes;
    for (int byte = 0; byte < 256; ++byte) {
        allBytes.push_back(static_cast<char>(byte));
    }
    SvgOptions options;
    options.title = "\x01<title>&\x7F";
    options.fontFamily = SvgFontFamilyList("Fa\"ce's <name>");
    const std::string file = WriteSvg(
        Page(0, 0, 1000, 1000), [&allBytes](Surface& s) { s.TextOut(0, 0, allBytes); }, options);
    QXmlStreamReader xml(QByteArray::fromStdString(file));
    QString text;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
            text = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    // Every byte stands for one character, so the layout's advances still
    // belong to the characters shown.
    EXPECT_EQ(text.size(), 256);
}

TEST(SvgSurfaceTest, FontFamilyListEndsInFallbacksEachOnce) {
    EXPECT_EQ(SvgFontFamilyList("Microsoft Sans Serif"),
              "'Microsoft Sans Serif', 'Liberation Sans', 'Arial', 'Helvetica', sans-serif");
    EXPECT_EQ(SvgFontFamilyList("arial"), "'arial', 'Liberation Sans', 'Helvetica', sans-serif");
    EXPECT_EQ(SvgFontFamilyList("O'Neil\\"),
              "'O\\'Neil\\\\', 'Liberation Sans', 'Arial', 'Helvetica', sans-serif");
}

TEST(SvgSurfaceTest, APageTooLargeIsRefusedBeforeAnythingIsWritten) {
    EnsureQtGui();
    bool written = false;
    const auto sink = [&written](std::string_view) { written = true; };
    EXPECT_EQ(test::ThrownMessage([&] {
                  SvgSurface surface(sink, Page(-2147483648LL, 0, 4294967295LL, 100),
                                     MetafileTextMetrics(), {});
              }),
              "The drawing is too large for an SVG image: 42949672.95mm x 1.00mm, "
              "where a side may be at most 21474836.47mm.");
    EXPECT_FALSE(written);
    // The largest page allowed is written, with coordinates that fit.
    const std::string file =
        WriteSvg(Page(-2147483648LL, 0, kSvgMaxPageUnits, 100), [](Surface& s) {
            s.MoveTo(-2147483647 - 1, 0);
            s.LineTo(-2, 0);
        });
    EXPECT_NE(file.find("viewBox=\"0 0 2147483647 100\""), std::string::npos);
    EXPECT_NE(file.find("d=\"M0 0H2147483646\""), std::string::npos) << file;
}

TEST(SvgSurfaceTest, LargeDrawingsReachTheSinkInPieces) {
    EnsureQtGui();
    std::vector<std::size_t> pieces;
    std::string file;
    SvgSurface surface(
        [&](std::string_view text) {
            pieces.push_back(text.size());
            file += text;
        },
        Page(0, 0, 100000, 100000), MetafileTextMetrics(), {});
    for (int i = 0; i < 5000; ++i) {
        surface.TextOut(0, -i * 10, "M" + std::to_string(i));
    }
    surface.Finish();
    ASSERT_GT(pieces.size(), 2U);
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_LT(pieces[i], 80U * 1024U) << "piece " << i;
    }
    EXPECT_NE(file.find(">M4999</text>\n</g>\n</svg>\n"), std::string::npos);
    EXPECT_THROW(surface.TextOut(0, 0, "late"), KarvelloError);
}

} // namespace
} // namespace karvello
