#pragma once
// Surfaces that stand between a drawing and the real surface: one that
// passes every call on, which the others build on; one that finds out how
// much room a drawing takes without drawing it; one that moves a drawing
// down the page.

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "drawing/PageBox.h"
#include "drawing/Surface.h"

namespace karvello {

// Hands every call of the surface interface on to a target surface
// unchanged. Base is Surface or an interface derived from it, such as
// PreviewSurface, whose own calls a derived surface forwards through
// Target(). A surface that changes some calls derives from this and
// overrides only those, so that no call is ever dropped on the way.
template <typename Base> class PassThroughSurface : public Base {
  public:
    explicit PassThroughSurface(Base& target) : target_(target) {}

    void SetMapMode(MappingMode mode) override { target_.SetMapMode(mode); }
    void SetPenColour(RgbColour colour) override { target_.SetPenColour(colour); }
    void Rectangle(int x1, int y1, int x2, int y2) override { target_.Rectangle(x1, y1, x2, y2); }
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override {
        target_.FillRectangle(x1, y1, x2, y2, colour);
    }
    void MoveTo(int x, int y) override { target_.MoveTo(x, y); }
    void LineTo(int x, int y) override { target_.LineTo(x, y); }
    void TextOut(int x, int y, std::string_view text) override { target_.TextOut(x, y, text); }
    int TextWidth(std::string_view text) override { return target_.TextWidth(text); }
    int TextHeight(std::string_view text) override { return target_.TextHeight(text); }
    void SetFontColour(RgbColour colour) override { target_.SetFontColour(colour); }
    void SetItalic(bool italic) override { target_.SetItalic(italic); }
    void BeginMap(int mapNumber) override { target_.BeginMap(mapNumber); }
    void EndMap() override { target_.EndMap(); }
    void SetTextEncoding(CharacterEncoding encoding) override {
        Surface::SetTextEncoding(encoding);
        target_.SetTextEncoding(encoding);
    }

  protected:
    Base& Target() const { return target_; }

  private:
    Base& target_;
};

// Measures instead of drawing: it keeps the page box of every text cell and
// line drawn on it in the metric mode, lines widened by half the pen on each
// side. Text is measured
// on the real surface in the font state the layout asked for, so the box is
// that of the real drawing; the real surface only sees font-style changes.
class ExtentSurface : public Surface {
  public:
    ExtentSurface(Surface& metrics, int lineWidth)
        : metrics_(metrics), halfPen_((std::max<std::int64_t>(lineWidth, 0) + 1) / 2) {}

    const PageBox& Extent() const { return extent_; }
    void Reset() { extent_ = PageBox(); }

    void SetMapMode(MappingMode) override {}
    void SetPenColour(RgbColour) override {}
    void Rectangle(int x1, int y1, int x2, int y2) override { Line(x1, y1, x2, y2); }
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour) override {
        Include(x1, y1);
        Include(x2, y2);
    }
    void MoveTo(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override {
        Line(x_, y_, x, y);
        MoveTo(x, y);
    }
    void TextOut(int x, int y, std::string_view text) override {
        Include(x, y);
        Include(std::int64_t{x} + metrics_.TextWidth(text),
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
        Include(std::min(x1, x2) - halfPen_, std::max(y1, y2) + halfPen_);
        Include(std::max(x1, x2) + halfPen_, std::min(y1, y2) - halfPen_);
    }
    // Includes the surface point (x, y).
    void Include(std::int64_t x, std::int64_t y) {
        std::int64_t px = 0;
        std::int64_t py = 0;
        ToPage(MappingMode::HiMetric, x, y, px, py);
        extent_.Include(px, py);
    }

    Surface& metrics_;
    std::int64_t halfPen_;
    PageBox extent_;
    int x_ = 0;
    int y_ = 0;
};

// Passes every call on to the target surface with y moved by a fixed amount.
class ShiftedSurface : public PassThroughSurface<Surface> {
  public:
    ShiftedSurface(Surface& target, int dy) : PassThroughSurface(target), dy_(dy) {}

    void Rectangle(int x1, int y1, int x2, int y2) override {
        Target().Rectangle(x1, Y(y1), x2, Y(y2));
    }
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override {
        Target().FillRectangle(x1, Y(y1), x2, Y(y2), colour);
    }
    void MoveTo(int x, int y) override { Target().MoveTo(x, Y(y)); }
    void LineTo(int x, int y) override { Target().LineTo(x, Y(y)); }
    void TextOut(int x, int y, std::string_view text) override { Target().TextOut(x, Y(y), text); }

  private:
    int Y(int y) const {
        const std::int64_t moved = std::int64_t{y} + dy_;
        return static_cast<int>(std::clamp<std::int64_t>(moved, INT32_MIN, INT32_MAX));
    }

    int dy_;
};

} // namespace karvello
