// DrawMaps onto the metafile writer: the metafile holds exactly the points,
// texts, colours and font states that DrawMaps handed the surface.

#include <gtest/gtest.h>

#include <set>

#include "drawing/DrawMaps.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "render/EmfSurface.h"
#include "tests/platform/ExampleMaps.h"
#include "tests/support/EmfReader.h"
#include "tests/support/RecordingSurface.h"

namespace karvello {
namespace {

// Hands every call to the metafile and to a recording surface; measures
// with the metafile, so the layout is the metafile's.
class TeeSurface : public Surface {
  public:
    TeeSurface(EmfSurface& emf, test::RecordingSurface& log) : emf_(emf), log_(log) {}
    void SetMapMode(MappingMode mode) override {
        emf_.SetMapMode(mode);
        log_.SetMapMode(mode);
    }
    void SetPenColour(RgbColour c) override {
        emf_.SetPenColour(c);
        log_.SetPenColour(c);
    }
    void Rectangle(int a, int b, int c, int d) override {
        emf_.Rectangle(a, b, c, d);
        log_.Rectangle(a, b, c, d);
    }
    void FillRectangle(int a, int b, int c, int d, RgbColour colour) override {
        emf_.FillRectangle(a, b, c, d, colour);
        log_.FillRectangle(a, b, c, d, colour);
    }
    void MoveTo(int x, int y) override {
        emf_.MoveTo(x, y);
        log_.MoveTo(x, y);
    }
    void LineTo(int x, int y) override {
        emf_.LineTo(x, y);
        log_.LineTo(x, y);
    }
    void TextOut(int x, int y, std::string_view t) override {
        emf_.TextOut(x, y, t);
        log_.TextOut(x, y, t);
    }
    int TextWidth(std::string_view t) override { return emf_.TextWidth(t); }
    int TextHeight(std::string_view t) override { return emf_.TextHeight(t); }
    void SetFontColour(RgbColour c) override {
        emf_.SetFontColour(c);
        log_.SetFontColour(c);
    }
    void SetItalic(bool i) override {
        emf_.SetItalic(i);
        log_.SetItalic(i);
    }

  private:
    EmfSurface& emf_;
    test::RecordingSurface& log_;
};

TEST(DrawMapsOnMetafileTest, MetafileHoldsWhatTheSurfaceWasGiven) {
    EnsureQtGui();
    test::ExampleMaps example = test::LoadBundledExample();
    ASSERT_GE(example.maps.size(), 3u);
    // Colours and italics must survive too: colour a few markers.
    for (std::size_t i = 0; i < example.markers.size(); i += 7) {
        example.markers[i].Colour = 0x0000FF + static_cast<RgbColour>(i);
    }
    EmfSurface emf(MetafileTextMetrics());
    test::RecordingSurface recording;
    TeeSurface tee(emf, recording);
    (void)DrawMaps(example.maps, tee, PageLengths{}, example.markers);
    const auto records = test::ReadEmfRecords(emf.Finish());

    // The header's frame is the box of every point and text cell drawn.
    const TextMetrics& metrics = MetafileTextMetrics();
    EXPECT_EQ(test::DecodeHeader(records.front()).frame,
              test::EmfDrawnBox(records, metrics.Height(false), metrics.Height(true)));

    const auto expected = test::RecordingDrawingLog(recording.Log());
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(test::EmfDrawingLog(records), expected);

    // Every italic text of the drawing is a dominant marker's name.
    std::set<std::string> italicTexts;
    for (const auto& line : expected) {
        if (line.ends_with("italic=1")) {
            italicTexts.insert(line);
        }
    }
    bool anyDominant = false;
    for (const auto& m : example.markers) {
        anyDominant = anyDominant || (m.Dominant && m.Mapped);
    }
    EXPECT_EQ(!italicTexts.empty(), anyDominant);
}

} // namespace
} // namespace karvello
