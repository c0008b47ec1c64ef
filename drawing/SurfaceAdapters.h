#pragma once
// Two surfaces that stand between the layout and the real surface when maps
// are set in rows: one finds out how much room a drawing takes without
// drawing it, the other moves a drawing down the page.

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "drawing/Surface.h"

namespace karvello {

// The box a drawing covers in surface units (y upward, so Top >= Bottom).
struct ExtentBox {
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;
    bool Empty = true;

    void Include(std::int64_t x, std::int64_t y) {
        if (Empty) {
            Left = Right = x;
            Top = Bottom = y;
            Empty = false;
            return;
        }
        Left = std::min(Left, x);
        Right = std::max(Right, x);
        Top = std::max(Top, y);
        Bottom = std::min(Bottom, y);
    }
    void Include(const ExtentBox& other) {
        if (!other.Empty) {
            Include(other.Left, other.Top);
            Include(other.Right, other.Bottom);
        }
    }
    std::int64_t Width() const { return Empty ? 0 : Right - Left; }
};

// Measures instead of drawing: it keeps the box of every text cell and line
// drawn on it, lines widened by half the pen on each side. Text is measured
// on the real surface in the font state the layout asked for, so the box is
// that of the real drawing; the real surface only sees font-style changes.
class ExtentSurface : public Surface {
  public:
    ExtentSurface(Surface& metrics, int lineWidth)
        : metrics_(metrics), halfPen_((std::max(lineWidth, 0) + 1) / 2) {}

    const ExtentBox& Extent() const { return extent_; }
    void Reset() { extent_ = ExtentBox(); }

    void SetMapMode(MappingMode) override {}
    void SetPenColour(RgbColour) override {}
    void Rectangle(int x1, int y1, int x2, int y2) override { Line(x1, y1, x2, y2); }
    void MoveTo(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override {
        Line(x_, y_, x, y);
        MoveTo(x, y);
    }
    void TextOut(int x, int y, std::string_view text) override {
        extent_.Include(x, y);
        extent_.Include(std::int64_t{x} + metrics_.TextWidth(text),
                        std::int64_t{y} - metrics_.TextHeight(text));
    }
    int TextWidth(std::string_view text) override { return metrics_.TextWidth(text); }
    int TextHeight(std::string_view text) override { return metrics_.TextHeight(text); }
    void SetFontColour(RgbColour) override {}
    void SetItalic(bool italic) override { metrics_.SetItalic(italic); }
    void SetTextEncoding(CharacterEncoding encoding) override {
        Surface::SetTextEncoding(encoding);
        metrics_.SetTextEncoding(encoding);
    }

  private:
    void Line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
        extent_.Include(std::min(x1, x2) - halfPen_, std::max(y1, y2) + halfPen_);
        extent_.Include(std::max(x1, x2) + halfPen_, std::min(y1, y2) - halfPen_);
    }

    Surface& metrics_;
    std::int64_t halfPen_;
    ExtentBox extent_;
    int x_ = 0;
    int y_ = 0;
};

// Passes every call on to the target surface with y moved by a fixed amount.
class ShiftedSurface : public Surface {
  public:
    ShiftedSurface(Surface& target, int dy) : target_(target), dy_(dy) {}

    void SetMapMode(MappingMode mode) override { target_.SetMapMode(mode); }
    void SetPenColour(RgbColour colour) override { target_.SetPenColour(colour); }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        target_.Rectangle(x1, Y(y1), x2, Y(y2));
    }
    void MoveTo(int x, int y) override { target_.MoveTo(x, Y(y)); }
    void LineTo(int x, int y) override { target_.LineTo(x, Y(y)); }
    void TextOut(int x, int y, std::string_view text) override { target_.TextOut(x, Y(y), text); }
    int TextWidth(std::string_view text) override { return target_.TextWidth(text); }
    int TextHeight(std::string_view text) override { return target_.TextHeight(text); }
    void SetFontColour(RgbColour colour) override { target_.SetFontColour(colour); }
    void SetItalic(bool italic) override { target_.SetItalic(italic); }
    void SetTextEncoding(CharacterEncoding encoding) override {
        Surface::SetTextEncoding(encoding);
        target_.SetTextEncoding(encoding);
    }

  private:
    int Y(int y) const {
        const std::int64_t moved = std::int64_t{y} + dy_;
        return static_cast<int>(std::clamp<std::int64_t>(moved, INT32_MIN, INT32_MAX));
    }

    Surface& target_;
    int dy_;
};

} // namespace karvello
