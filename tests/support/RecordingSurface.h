#pragma once
// A drawing surface for tests: it records every operation as one line of
// text with the integer arguments it received, and measures text with fixed
// metrics that the test sets, so layouts can be checked to the unit and never
// depend on installed fonts.
//
// Log lines, one per operation:
//   MapMode 3
//   Pen 808080                       colours in upper-case hex, no padding
//   Rectangle 1850 -1000 2350 -2488
//   FillRectangle 1850 -1000 2350 -2488 #FF0000
//   MoveTo x y / LineTo x y
//   TextOut x y "name"               quotes, backslashes and bytes below 32
//                                    or above 126 written as \xNN
//   FontColour 0
//   Italic 1 / Italic 0
//   Fill 297 185
// Measurements are not logged unless SetLogMeasurements(true) asks for it;
// then they read  TextWidth "name" 450  and  TextHeight "name" 300,
// the last number being the answer given.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "drawing/Canvas.h"

namespace karvello::test {

class RecordingSurface : public karvello::PreviewSurface {
  public:
    // Upright text: width = charWidth per character unless a width is set
    // for the whole string; every text is `height` high.
    explicit RecordingSurface(int charWidth = 100, int height = 300)
        : charWidth_(charWidth), height_(height), italicCharWidth_(charWidth),
          italicHeight_(height) {}

    // ---- metrics the test sets ----------------------------------------

    void SetCharWidth(int width) { charWidth_ = width; }
    void SetHeight(int height) { height_ = height; }
    // A width for this exact string, in every font state; it wins over the
    // per-character width.
    void SetStringWidth(std::string text, int width) { stringWidths_[std::move(text)] = width; }
    // Italic text is measured with these instead of the upright metrics, so
    // a test can see in which font state a measurement was taken.
    void SetItalicMetrics(int charWidth, int height) {
        italicCharWidth_ = charWidth;
        italicHeight_ = height;
    }
    // Tells the surface that the font state does not matter for measuring:
    // italic text is then measured with the upright metrics.
    void SetFontStateIgnored(bool ignored = true) { fontStateIgnored_ = ignored; }
    void SetLogMeasurements(bool on = true) { logMeasurements_ = on; }
    void SetWindowExtent(int cx, int cy) { windowExtent_ = {cx, cy}; }
    // The operation after `count` further logged operations throws
    // KarvelloError, as a surface that fails midway would.
    void FailAfter(std::size_t count) { failAt_ = log_.size() + count; }

    // ---- what the test reads back ---------------------------------------

    const std::vector<std::string>& Log() const { return log_; }
    // The log as text, every line ended by "\n".
    std::string Text() const {
        std::string text;
        for (const auto& line : log_) {
            text += line;
            text += '\n';
        }
        return text;
    }
    void ClearLog() { log_.clear(); }
    bool Italic() const { return italic_; }
    RgbColour FontColour() const { return fontColour_; }
    RgbColour PenColour() const { return penColour_; }

    // ---- Surface ----------------------------------------------------------

    void SetMapMode(MappingMode mode) override {
        Record("MapMode " + Int(static_cast<int>(mode)));
        mapMode_ = mode;
    }
    void SetPenColour(RgbColour colour) override {
        Record("Pen " + Hex(colour));
        penColour_ = colour;
    }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        Record("Rectangle " + Ints({x1, y1, x2, y2}));
    }
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override {
        Record("FillRectangle " + Ints({x1, y1, x2, y2}) + " " + Hex(colour));
    }
    void MoveTo(int x, int y) override { Record("MoveTo " + Ints({x, y})); }
    void LineTo(int x, int y) override { Record("LineTo " + Ints({x, y})); }
    void TextOut(int x, int y, std::string_view text) override {
        Record("TextOut " + Ints({x, y}) + " " + Quoted(text));
    }
    int TextWidth(std::string_view text) override {
        int width = 0;
        if (auto it = stringWidths_.find(text); it != stringWidths_.end()) {
            width = it->second;
        } else {
            width = static_cast<int>(text.size()) * (UseItalic() ? italicCharWidth_ : charWidth_);
        }
        if (logMeasurements_) {
            Record("TextWidth " + Quoted(text) + " " + Int(width));
        }
        return width;
    }
    int TextHeight(std::string_view text) override {
        const int height = UseItalic() ? italicHeight_ : height_;
        if (logMeasurements_) {
            Record("TextHeight " + Quoted(text) + " " + Int(height));
        }
        return height;
    }
    void SetFontColour(RgbColour colour) override {
        Record("FontColour " + Hex(colour));
        fontColour_ = colour;
    }
    void SetItalic(bool italic) override {
        Record(std::string("Italic ") + (italic ? "1" : "0"));
        italic_ = italic;
    }

    // ---- PreviewSurface -----------------------------------------------------

    MappingMode MapMode() const override { return mapMode_; }
    void FillBackground(int widthPx, int heightPx) override {
        Record("Fill " + Ints({widthPx, heightPx}));
    }
    std::pair<int, int> WindowExtent() const override { return windowExtent_; }

    // ---- formatting, public so tests can build expected lines -----------

    static std::string Hex(RgbColour colour) {
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string text;
        do {
            text.insert(text.begin(), digits[colour & 0xF]);
            colour >>= 4;
        } while (colour != 0);
        return text;
    }
    static std::string Quoted(std::string_view text) {
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string quoted = "\"";
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 32 || byte > 126 || c == '"' || c == '\\') {
                quoted += "\\x";
                quoted += digits[byte >> 4];
                quoted += digits[byte & 0xF];
            } else {
                quoted += c;
            }
        }
        quoted += '"';
        return quoted;
    }

  private:
    static std::string Int(int value) {
        char buffer[16];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        return std::string(buffer, end);
    }
    static std::string Ints(std::initializer_list<int> values) {
        std::string text;
        for (int v : values) {
            if (!text.empty()) {
                text += ' ';
            }
            text += Int(v);
        }
        return text;
    }
    bool UseItalic() const { return italic_ && !fontStateIgnored_; }
    void Record(std::string line) {
        if (log_.size() == failAt_) {
            throw karvello::KarvelloError("The recording surface failed on purpose");
        }
        log_.push_back(std::move(line));
    }

    int charWidth_;
    int height_;
    int italicCharWidth_;
    int italicHeight_;
    std::map<std::string, int, std::less<>> stringWidths_;
    bool fontStateIgnored_ = false;
    bool logMeasurements_ = false;
    std::pair<int, int> windowExtent_{0, 0};
    std::size_t failAt_ = static_cast<std::size_t>(-1);
    std::vector<std::string> log_;
    MappingMode mapMode_ = MappingMode::Text;
    RgbColour penColour_ = 0;
    RgbColour fontColour_ = 0;
    bool italic_ = false;
};

} // namespace karvello::test
