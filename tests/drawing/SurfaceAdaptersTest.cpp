// The surfaces that stand between a drawing and the real surface hand every
// call of the surface interface on, the map groups and the text encoding
// included, changing only what they are for.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "drawing/SurfaceAdapters.h"

namespace karvello {
namespace {

// Logs every call of the surface interface, measurements with the answer
// it gives.
class CallLog : public Surface {
  public:
    void SetMapMode(MappingMode mode) override {
        Add("MapMode " + std::to_string(static_cast<int>(mode)));
    }
    void SetPenColour(RgbColour colour) override { Add("Pen " + std::to_string(colour)); }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        Add("Rectangle " + Ints({x1, y1, x2, y2}));
    }
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override {
        Add("FillRectangle " + Ints({x1, y1, x2, y2}) + " " + std::to_string(colour));
    }
    void MoveTo(int x, int y) override { Add("MoveTo " + Ints({x, y})); }
    void LineTo(int x, int y) override { Add("LineTo " + Ints({x, y})); }
    void TextOut(int x, int y, std::string_view text) override {
        Add("TextOut " + Ints({x, y}) + " " + std::string(text));
    }
    int TextWidth(std::string_view text) override {
        Add("TextWidth " + std::string(text));
        return static_cast<int>(text.size()) * 100;
    }
    int TextHeight(std::string_view text) override {
        Add("TextHeight " + std::string(text));
        return 300;
    }
    void SetFontColour(RgbColour colour) override { Add("FontColour " + std::to_string(colour)); }
    void SetItalic(bool italic) override { Add(italic ? "Italic 1" : "Italic 0"); }
    void BeginMap(int mapNumber) override { Add("BeginMap " + std::to_string(mapNumber)); }
    void EndMap() override { Add("EndMap"); }
    void SetTextEncoding(CharacterEncoding encoding) override {
        Surface::SetTextEncoding(encoding);
        Add("Encoding " + std::to_string(static_cast<int>(encoding)));
    }

    std::vector<std::string> Lines;

  private:
    void Add(std::string line) { Lines.push_back(std::move(line)); }
    static std::string Ints(std::initializer_list<int> values) {
        std::string text;
        for (int v : values) {
            text += (text.empty() ? "" : " ") + std::to_string(v);
        }
        return text;
    }
};

// Makes every call of the interface once, every y moved by dy; what the
// measurements answer is written down as text.
void CallEverything(Surface& surface, int dy) {
    surface.SetTextEncoding(CharacterEncoding::Utf8);
    surface.SetMapMode(MappingMode::HiMetric);
    surface.SetPenColour(0x808080);
    surface.BeginMap(7);
    surface.Rectangle(10, -20 + dy, 30, -40 + dy);
    surface.FillRectangle(11, -21 + dy, 29, -39 + dy, 0x00FF00);
    surface.MoveTo(1, -2 + dy);
    surface.LineTo(3, -4 + dy);
    surface.SetFontColour(0x0000FF);
    surface.SetItalic(true);
    const int width = surface.TextWidth("abc");
    const int height = surface.TextHeight("abc");
    surface.TextOut(width, height + dy, "abc");
    surface.EndMap();
}

struct AdapterCase {
    const char* name;
    int dy; // how far the adapter moves y
    std::function<std::unique_ptr<Surface>(Surface&)> make;
};

void PrintTo(const AdapterCase& c, std::ostream* out) {
    *out << c.name;
}

class SurfaceAdaptersTest : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(SurfaceAdaptersTest, HandEveryCallOnChangingOnlyWhatTheyAreFor) {
    const AdapterCase& c = GetParam();
    CallLog direct;
    CallEverything(direct, c.dy);

    CallLog target;
    const std::unique_ptr<Surface> adapter = c.make(target);
    CallEverything(*adapter, 0);
    EXPECT_EQ(target.Lines, direct.Lines);
    EXPECT_EQ(adapter->TextEncoding(), CharacterEncoding::Utf8);
    EXPECT_EQ(target.TextEncoding(), CharacterEncoding::Utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, SurfaceAdaptersTest,
    ::testing::Values(AdapterCase{"PassThrough", 0,
                                  [](Surface& target) -> std::unique_ptr<Surface> {
                                      return std::make_unique<PassThroughSurface<Surface>>(target);
                                  }},
                      AdapterCase{"ShiftedDown", -2500,
                                  [](Surface& target) -> std::unique_ptr<Surface> {
                                      return std::make_unique<ShiftedSurface>(target, -2500);
                                  }},
                      AdapterCase{"NotShifted", 0,
                                  [](Surface& target) -> std::unique_ptr<Surface> {
                                      return std::make_unique<ShiftedSurface>(target, 0);
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });

// A shift that would leave the integer range pins y to its end.
TEST(ShiftedSurface, PinsYToTheIntegerRange) {
    CallLog target;
    ShiftedSurface down(target, -1000);
    down.MoveTo(5, INT32_MIN + 10);
    ShiftedSurface up(target, 1000);
    up.LineTo(5, INT32_MAX - 10);
    const std::vector<std::string> expected = {"MoveTo 5 " + std::to_string(INT32_MIN),
                                               "LineTo 5 " + std::to_string(INT32_MAX)};
    EXPECT_EQ(target.Lines, expected);
}

} // namespace
} // namespace karvello
