// The metafile writer, read back record by record.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "base/Error.h"
#include "render/EmfSurface.h"
#include "render/TextMeasure.h"
#include "tests/support/EmfReader.h"

namespace karvello {
namespace {

using test::DecodeFont;
using test::DecodeHeader;
using test::DecodeText;
using test::EmfRecord;
using test::EmfRect;

struct Metafile {
    std::vector<std::uint8_t> bytes;
    std::vector<EmfRecord> records;

    std::vector<EmfRecord> OfType(std::uint32_t type) const {
        std::vector<EmfRecord> found;
        std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                     [type](const EmfRecord& r) { return r.type == type; });
        return found;
    }
    std::vector<std::uint32_t> Types() const {
        std::vector<std::uint32_t> types;
        for (const auto& r : records) {
            types.push_back(r.type);
        }
        return types;
    }
};

class EmfSurfaceTest : public ::testing::Test {
  protected:
    const TextMeasure& metrics() { return *BuiltInFigureMeasure(kMetafileFaceName, 0); }
    Metafile Draw(const std::function<void(EmfSurface&)>& draw) {
        EmfSurface surface(metrics());
        draw(surface);
        Metafile file;
        file.bytes = surface.Finish();
        file.records = test::ReadEmfRecords(file.bytes);
        return file;
    }
};

void SampleDrawing(EmfSurface& s) {
    s.SetMapMode(MappingMode::HiMetric);
    s.SetPenColour(0);
    s.Rectangle(1850, -1000, 2350, -9000);
    s.MoveTo(1850, -1300);
    s.LineTo(2350, -1300);
    s.SetPenColour(0x808080);
    s.MoveTo(2350, -1300);
    s.LineTo(2450, -1400);
    s.SetFontColour(0x0000FF);
    s.TextOut(2550, -1250, "T175, M12");
    s.SetItalic(true);
    s.TextOut(2550, -1600, "D7");
    s.SetPenColour(0xC0C0C0);
    s.LineTo(2450, -2000);
    s.SetItalic(false);
    s.TextOut(100, -5000, "12.9");
}

TEST_F(EmfSurfaceTest, FileIsFramedAsReadersExpect) {
    const Metafile file = Draw(SampleDrawing);
    ASSERT_GE(file.records.size(), 3u);
    const auto header = DecodeHeader(file.records.front());
    EXPECT_EQ(file.records.front().type, kEmrHeader);
    EXPECT_EQ(file.records.front().offset, 0u);
    EXPECT_EQ(header.signature, 0x464D4520u);
    EXPECT_EQ(header.version, 0x10000u);
    EXPECT_EQ(header.bytes, file.bytes.size());
    EXPECT_EQ(header.records, file.records.size());
    EXPECT_EQ(header.deviceCx, 1920);
    EXPECT_EQ(header.deviceCy, 1080);
    EXPECT_EQ(header.millimetresCx, 508);
    EXPECT_EQ(header.micrometresCy, 285750);

    const EmfRecord& eof = file.records.back();
    EXPECT_EQ(eof.type, kEmrEof);
    EXPECT_EQ(eof.size, 20u);
    EXPECT_EQ(eof.U32(8), 0u);   // no palette
    EXPECT_EQ(eof.U32(16), 20u); // its own size, repeated last
    EXPECT_EQ(file.OfType(kEmrHeader).size(), 1u);
    EXPECT_EQ(file.OfType(kEmrEof).size(), 1u);
}

TEST_F(EmfSurfaceTest, PreparedAsForDrawingMaps) {
    const Metafile file = Draw([](EmfSurface&) {});
    const std::vector<std::uint32_t> expected = {kEmrHeader,
                                                 kEmrSetMapMode,
                                                 kEmrExtCreateFontIndirectW,
                                                 kEmrSelectObject,
                                                 kEmrCreatePen,
                                                 kEmrSelectObject,
                                                 kEmrCreateBrushIndirect,
                                                 kEmrSelectObject,
                                                 kEmrSetTextColor,
                                                 kEmrSetBkMode,
                                                 kEmrSetBkColor,
                                                 kEmrSetTextAlign,
                                                 kEmrSelectObject,
                                                 kEmrSelectObject,
                                                 kEmrSelectObject,
                                                 kEmrDeleteObject,
                                                 kEmrDeleteObject,
                                                 kEmrDeleteObject,
                                                 kEmrEof};
    EXPECT_EQ(file.Types(), expected);
    const auto& r = file.records;
    EXPECT_EQ(r[1].U32(8), 3u) << "MM_HIMETRIC";

    const auto font = DecodeFont(r[2]);
    EXPECT_EQ(font.height, -282);
    EXPECT_EQ(font.weight, 400);
    EXPECT_FALSE(font.italic);
    EXPECT_EQ(font.charset, 1) << "DEFAULT_CHARSET";
    EXPECT_EQ(font.face, u"Microsoft Sans Serif");
    EXPECT_EQ(r[2].size, 332u) << "a LogFontPanose, as Windows writes it";

    EXPECT_EQ(r[4].U32(12), 0u) << "solid pen";
    EXPECT_EQ(r[4].I32(16), 1) << "1 unit wide";
    EXPECT_EQ(r[4].U32(24), 0u) << "black";
    EXPECT_EQ(r[6].U32(12), 0u) << "solid brush";
    EXPECT_EQ(r[6].U32(16), 0xFFFFFFu) << "white";
    EXPECT_EQ(r[8].U32(8), 0u) << "window-text colour";
    EXPECT_EQ(r[9].U32(8), 2u) << "opaque text background";
    EXPECT_EQ(r[10].U32(8), 0xFFFFFFu) << "filled with the brush colour";
    EXPECT_EQ(r[11].U32(8), 0u) << "text placed by its top-left corner";
}

// The figure's metafile spells the metric mode out as MM_ANISOTROPIC each
// time it is set, and leaves the text background transparent.
TEST_F(EmfSurfaceTest, EditorFriendlyMetafileSpellsTheMetricModeOut) {
    EmfStyle style;
    style.EditorFriendly = true;
    EmfSurface surface(metrics(), 0, style);
    surface.TextOut(0, -100, "A");
    surface.SetMapMode(MappingMode::Text);
    surface.TextOut(10, 10, "B");
    surface.SetMapMode(MappingMode::HiMetric);
    surface.TextOut(0, -500, "C");
    const auto records = test::ReadEmfRecords(surface.Finish());

    std::vector<std::string> steps;
    for (const auto& r : records) {
        if (r.type == kEmrSetMapMode) {
            steps.push_back("mode " + std::to_string(r.U32(8)));
        } else if (r.type == kEmrSetWindowExtEx || r.type == kEmrSetViewportExtEx) {
            steps.push_back((r.type == kEmrSetWindowExtEx ? "window " : "viewport ") +
                            std::to_string(r.I32(8)) + "," + std::to_string(r.I32(12)));
        } else if (r.type == kEmrSetBkMode) {
            steps.push_back("background " + std::to_string(r.U32(8)));
        } else if (r.type == kEmrExtTextOutW) {
            steps.push_back("text");
        }
    }
    // 50800 x 28575 hundredths of a millimetre are the reference display's
    // 1920 x 1080 pixels: MM_HIMETRIC's scale, y upward.
    const std::vector<std::string> expected = {"mode 8",
                                               "window 50800,28575",
                                               "viewport 1920,-1080",
                                               "background 1",
                                               "text",
                                               "mode 1",
                                               "text",
                                               "mode 8",
                                               "window 50800,28575",
                                               "viewport 1920,-1080",
                                               "text"};
    EXPECT_EQ(steps, expected);
}

// A fill draws a rectangle with a brush of its colour and the null pen; the
// next outline has the pen and the white brush back. Each colour's brush is
// made once.
TEST_F(EmfSurfaceTest, FillsUseABrushOfTheirColourAndNoPen) {
    const Metafile file = Draw([](EmfSurface& s) {
        s.SetPenColour(0x808080);
        s.FillRectangle(0, -100, 50, -200, 0x0000FF);
        s.FillRectangle(0, -200, 50, -300, 0x00FF00);
        s.FillRectangle(0, -300, 50, -400, 0x0000FF);
        s.LineTo(10, -10);
    });
    std::vector<std::string> steps;
    std::map<std::uint32_t, std::string> objects = {{0x80000008u, "null pen"}};
    for (const auto& r : file.records) {
        if (r.type == kEmrCreateBrushIndirect) {
            objects[r.U32(8)] = "brush " + std::to_string(r.U32(16));
        } else if (r.type == kEmrCreatePen) {
            objects[r.U32(8)] = "pen " + std::to_string(r.U32(24));
        } else if (r.type == kEmrSelectObject && objects.contains(r.U32(8))) {
            steps.push_back(objects[r.U32(8)]);
        } else if (r.type == kEmrRectangle) {
            steps.push_back("rectangle");
        } else if (r.type == kEmrLineTo) {
            steps.push_back("line");
        }
    }
    const std::vector<std::string> expected = {
        "pen 0",       "brush 16777215", "pen 8421504", "null pen",  "brush 255",
        "rectangle",   "brush 65280",    "rectangle",   "brush 255", "rectangle",
        "pen 8421504", "brush 16777215", "line"};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(file.OfType(kEmrCreateBrushIndirect).size(), 3u);
}

TEST_F(EmfSurfaceTest, EveryObjectCreatedIsDeletedAfterStockObjectsAreBack) {
    const Metafile file = Draw(SampleDrawing);
    std::set<std::uint32_t> created;
    std::set<std::uint32_t> deleted;
    std::set<std::uint32_t> selectedAfterDelete;
    bool stockBack = false;
    for (const auto& r : file.records) {
        switch (r.type) {
        case kEmrCreatePen:
        case kEmrCreateBrushIndirect:
        case kEmrExtCreateFontIndirectW:
            EXPECT_TRUE(created.insert(r.U32(8)).second) << "handle reused";
            break;
        case kEmrDeleteObject:
            EXPECT_TRUE(stockBack) << "deleted while perhaps still selected";
            deleted.insert(r.U32(8));
            break;
        case kEmrSelectObject:
            if (r.U32(8) & 0x80000000u) {
                stockBack = true;
            } else if (deleted.count(r.U32(8)) != 0) {
                selectedAfterDelete.insert(r.U32(8));
            }
            break;
        default:
            break;
        }
    }
    // Upright and italic font, black, grey and silver pens, the brush.
    EXPECT_EQ(created.size(), 6u);
    EXPECT_EQ(created, deleted);
    EXPECT_TRUE(selectedAfterDelete.empty());
    EXPECT_EQ(DecodeHeader(file.records.front()).handles, *created.rbegin() + 1);
}

TEST_F(EmfSurfaceTest, ItalicIsSwitchedBySelectingASecondFontOnce) {
    const Metafile file = Draw([](EmfSurface& s) {
        s.SetItalic(true);
        s.SetItalic(false);
        s.SetItalic(true);
        s.SetItalic(true);
    });
    const auto fonts = file.OfType(kEmrExtCreateFontIndirectW);
    ASSERT_EQ(fonts.size(), 2u);
    const auto upright = DecodeFont(fonts[0]);
    const auto italic = DecodeFont(fonts[1]);
    EXPECT_FALSE(upright.italic);
    EXPECT_TRUE(italic.italic);
    EXPECT_EQ(italic.height, -282);
    EXPECT_EQ(italic.face, u"Microsoft Sans Serif");
    std::vector<std::uint32_t> selected;
    for (const auto& r : file.OfType(kEmrSelectObject)) {
        if (r.U32(8) == upright.handle || r.U32(8) == italic.handle) {
            selected.push_back(r.U32(8));
        }
    }
    EXPECT_EQ(selected, (std::vector<std::uint32_t>{upright.handle, italic.handle, upright.handle,
                                                    italic.handle}));
}

TEST_F(EmfSurfaceTest, RepeatedStateWritesNoRecord) {
    const Metafile plain = Draw([](EmfSurface&) {});
    const Metafile repeated = Draw([](EmfSurface& s) {
        s.SetMapMode(MappingMode::HiMetric);
        s.SetPenColour(0);
        s.SetFontColour(0);
        s.SetItalic(false);
    });
    EXPECT_EQ(repeated.Types(), plain.Types());
    // A pen colour used before is selected again, not created again.
    const Metafile back = Draw([](EmfSurface& s) {
        s.SetPenColour(0x808080);
        s.SetPenColour(0);
        s.SetPenColour(0x808080);
    });
    EXPECT_EQ(back.OfType(kEmrCreatePen).size(), 2u);
}

TEST_F(EmfSurfaceTest, TextRecordsCarryTheTextAndTheMeasuredAdvances) {
    // "\xE9" and "\x80" are Windows-1252 e-acute and the euro sign.
    const std::string name = "M1\xE9\x80 x";
    int width = 0;
    const Metafile file = Draw([&](EmfSurface& s) {
        width = s.TextWidth(name);
        s.TextOut(2550, -1250, name);
        s.TextOut(0, 0, "");
    });
    const auto texts = file.OfType(kEmrExtTextOutW);
    ASSERT_EQ(texts.size(), 1u) << "an empty text draws nothing";
    const auto text = DecodeText(texts[0]);
    EXPECT_EQ(text.text, u"M1\u00E9\u20AC x");
    EXPECT_EQ(text.x, 2550);
    EXPECT_EQ(text.y, -1250);
    EXPECT_EQ(text.options, 0u);
    EXPECT_EQ(text.exScale, 1.0f);
    EXPECT_EQ(text.eyScale, 1.0f);
    EXPECT_EQ(text.dx, metrics().Advances(name, false));
    int sum = 0;
    for (int dx : text.dx) {
        EXPECT_GT(dx, 0);
        sum += dx;
    }
    EXPECT_EQ(sum, width);
}

TEST_F(EmfSurfaceTest, UtfEightNamesAreWrittenAsTheSameCharactersAndMeasuredAlike) {
    // e-acute and the euro sign in UTF-8, a Greek omega, and a character
    // beyond U+FFFF (two UTF-16 units).
    const std::string name = "M1\xC3\xA9\xE2\x82\xAC\xCE\xA9\xF0\x9D\x94\xB8";
    int width = 0;
    const Metafile file = Draw([&](EmfSurface& s) {
        s.SetTextEncoding(CharacterEncoding::Utf8);
        width = s.TextWidth(name);
        s.TextOut(0, 0, name);
    });
    const auto text = DecodeText(file.OfType(kEmrExtTextOutW).at(0));
    EXPECT_EQ(text.text, u"M1\u00E9\u20AC\u03A9\U0001D538");
    ASSERT_EQ(text.dx.size(), text.text.size()) << "one advance a UTF-16 unit";
    EXPECT_EQ(text.dx.back(), 0) << "the second unit of a pair advances nothing";
    int sum = 0;
    for (int dx : text.dx) {
        sum += dx;
    }
    EXPECT_EQ(sum, width);
    // The letters both encodings hold measure the same.
    EXPECT_EQ(metrics().Width("M1\xC3\xA9\xE2\x82\xAC", false, CharacterEncoding::Utf8),
              metrics().Width("M1\xE9\x80", false));
}

TEST_F(EmfSurfaceTest, TextIsMeasuredInTheCurrentFontState) {
    EmfSurface s(metrics());
    const std::string text = "Wide text, 12.9";
    EXPECT_EQ(s.TextWidth(text), metrics().Width(text, false));
    EXPECT_EQ(s.TextHeight(text), metrics().Height(false));
    s.SetItalic(true);
    EXPECT_EQ(s.TextWidth(text), metrics().Width(text, true));
    EXPECT_EQ(s.TextHeight(""), metrics().Height(true));
}

struct FrameCase {
    const char* name;
    std::function<void(EmfSurface&)> draw;
    std::function<EmfRect(const TextMeasure&)> frame; // 1/100 mm, y downward
};

class EmfFrameTest : public EmfSurfaceTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(EmfFrameTest, FrameIsTheBoxOfEverythingDrawn) {
    const Metafile file = Draw(GetParam().draw);
    const auto header = DecodeHeader(file.records.front());
    const EmfRect frame = GetParam().frame(metrics());
    EXPECT_EQ(header.frame, frame);
    // The bounds are the same box in reference pixels, rounded outward.
    if (frame.right >= frame.left) {
        const double perUnit = 96.0 / 2540.0;
        EXPECT_LE(header.bounds.left, frame.left * perUnit);
        EXPECT_LE(header.bounds.top, frame.top * perUnit);
        EXPECT_GE(header.bounds.right, frame.right * perUnit);
        EXPECT_GE(header.bounds.bottom, frame.bottom * perUnit);
        EXPECT_LT(header.bounds.right - header.bounds.left,
                  (frame.right - frame.left) * perUnit + 2);
    } else {
        EXPECT_EQ(header.bounds, (EmfRect{0, 0, -1, -1}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmfFrameTest,
    ::testing::Values(
        FrameCase{"NothingDrawnGivesAnEmptyFrame", [](EmfSurface&) {},
                  [](const TextMeasure&) {
                      return EmfRect{0, 0, -1, -1};
                  }},
        FrameCase{"MoveToAloneDrawsNothing", [](EmfSurface& s) { s.MoveTo(500, -500); },
                  [](const TextMeasure&) {
                      return EmfRect{0, 0, -1, -1};
                  }},
        FrameCase{"LineCoversItsStartAndEnd",
                  [](EmfSurface& s) {
                      s.MoveTo(1850, -1300);
                      s.LineTo(2350, -1700);
                  },
                  [](const TextMeasure&) {
                      return EmfRect{1850, 1300, 2350, 1700};
                  }},
        FrameCase{"RectangleInAnyCornerOrder",
                  [](EmfSurface& s) { s.Rectangle(2350, -9000, 1850, -1000); },
                  [](const TextMeasure&) {
                      return EmfRect{1850, 1000, 2350, 9000};
                  }},
        FrameCase{
            "TextCellReachesBelowAndRightOfItsCorner",
            [](EmfSurface& s) { s.TextOut(100, -1520, "12.9"); },
            [](const TextMeasure& m) {
                return EmfRect{100, 1520, 100 + m.Width("12.9", false), 1520 + m.Height(false)};
            }},
        FrameCase{"ItalicCellIsMeasuredItalic",
                  [](EmfSurface& s) {
                      s.SetItalic(true);
                      s.TextOut(0, 0, "WWW");
                  },
                  [](const TextMeasure& m) {
                      return EmfRect{0, 0, m.Width("WWW", true), m.Height(true)};
                  }},
        FrameCase{"TextModeUnitsArePixelsOfTheReferenceDisplay",
                  [](EmfSurface& s) {
                      s.SetMapMode(MappingMode::Text);
                      s.MoveTo(0, 0);
                      s.LineTo(96, 48);
                  },
                  [](const TextMeasure&) {
                      return EmfRect{0, 0, 2540, 1270};
                  }},
        FrameCase{"UnionOfSeveralPieces",
                  [](EmfSurface& s) {
                      s.Rectangle(1850, -1000, 2350, -9000);
                      s.MoveTo(2350, -1300);
                      s.LineTo(5350, -9500);
                      s.TextOut(-200, -500, "A");
                  },
                  [](const TextMeasure& m) {
                      return EmfRect{-200, 500, 5350, std::max(9500, 500 + m.Height(false))};
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EmfSurfaceTest, FinishedSurfaceRefusesFurtherDrawing) {
    EmfSurface s(metrics());
    s.Finish();
    EXPECT_THROW(s.LineTo(1, 1), KarvelloError);
    EXPECT_THROW(s.TextOut(1, 1, "A"), KarvelloError);
    EXPECT_THROW(s.Finish(), KarvelloError);
}

} // namespace
} // namespace karvello
