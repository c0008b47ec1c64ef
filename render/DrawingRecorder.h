#pragma once
// A drawing surface that keeps every drawing call to play it back later, and
// measures text as the metafile does. The file formats that need the page
// size before the first stroke (SVG, PDF, PNG) draw onto it first, learn the
// box of the whole drawing from it, then replay it onto a painter: so every
// format shows the layout of the metafile.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/PageBox.h"
#include "drawing/Surface.h"
#include "render/TextMeasure.h"

namespace karvello {

class DrawingRecorder : public Surface {
  public:
    // Text is measured with metrics, which must outlive the recorder. The
    // recorder starts in the metric mapping mode, as a prepared metafile.
    explicit DrawingRecorder(const TextMeasure& metrics);

    void SetMapMode(MappingMode mode) override;
    void SetPenColour(RgbColour colour) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void SetFontColour(RgbColour colour) override;
    void SetItalic(bool italic) override;
    void BeginMap(int mapNumber) override;
    void EndMap() override;

    // The box of everything drawn, in 1/100 mm with y downward, as the
    // metafile's frame.
    const PageBox& Frame() const { return frame_; }
    std::size_t OperationCount() const { return operations_.size(); }

    // Plays every call back onto target in the order made. With visible,
    // the strokes and texts whose box misses it are left out (the state
    // changes and the map hooks never are), and the current point is carried over them.
    void Replay(Surface& target) const;
    void Replay(Surface& target, const PageBox& visible) const;

  private:
    enum class Kind : std::uint8_t {
        MapMode,
        Pen,
        Rectangle,
        Fill,
        MoveTo,
        LineTo,
        Text,
        FontColour,
        Italic,
        BeginMap,
        EndMap
    };
    struct Operation {
        Kind kind = Kind::MapMode;
        int a = 0;
        int b = 0;
        int c = 0;
        int d = 0;
        // A text's characters lie in texts_, so that an operation stays a
        // plain value that the list can move in bulk.
        std::size_t textStart = 0;
        std::size_t textLength = 0;
        PageBox box; // what a stroke or text covers; empty for state changes
        RgbColour fill = 0;
    };
    static Operation Op(Kind kind, int a = 0, int b = 0, int c = 0, int d = 0, PageBox box = {});
    void ReplayInto(Surface& target, const PageBox* visible) const;

    const TextMeasure& metrics_;
    std::vector<Operation> operations_;
    std::string texts_;
    PageBox frame_;
    MappingMode mapMode_ = MappingMode::HiMetric;
    bool italic_ = false;
    int currentX_ = 0;
    int currentY_ = 0;
};

} // namespace karvello
