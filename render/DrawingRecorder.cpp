#include "render/DrawingRecorder.h"

#include "base/Error.h"

namespace karvello {

DrawingRecorder::Operation DrawingRecorder::Op(Kind kind, int a, int b, int c, int d, PageBox box) {
    Operation op;
    op.kind = kind;
    op.a = a;
    op.b = b;
    op.c = c;
    op.d = d;
    op.box = box;
    return op;
}

DrawingRecorder::DrawingRecorder(const TextMeasure& metrics) : metrics_(metrics) {}

void DrawingRecorder::SetMapMode(MappingMode mode) {
    operations_.push_back(Op(Kind::MapMode, static_cast<int>(mode)));
    mapMode_ = mode;
}

void DrawingRecorder::SetPenColour(RgbColour colour) {
    operations_.push_back(Op(Kind::Pen, static_cast<int>(colour)));
}

void DrawingRecorder::Rectangle(int x1, int y1, int x2, int y2) {
    const PageBox box = PageBoxOfPoints(mapMode_, x1, y1, x2, y2);
    operations_.push_back(Op(Kind::Rectangle, x1, y1, x2, y2, box));
    frame_.Include(box);
}

void DrawingRecorder::FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) {
    const PageBox box = PageBoxOfPoints(mapMode_, x1, y1, x2, y2);
    Operation& op = operations_.emplace_back(Op(Kind::Fill, x1, y1, x2, y2, box));
    op.fill = colour;
    frame_.Include(box);
}

void DrawingRecorder::MoveTo(int x, int y) {
    operations_.push_back(Op(Kind::MoveTo, x, y));
    currentX_ = x;
    currentY_ = y;
}

void DrawingRecorder::LineTo(int x, int y) {
    // c and d keep where the line starts, so that playback can move there
    // when the piece before it was left out.
    const PageBox box = PageBoxOfPoints(mapMode_, currentX_, currentY_, x, y);
    operations_.push_back(Op(Kind::LineTo, x, y, currentX_, currentY_, box));
    frame_.Include(box);
    currentX_ = x;
    currentY_ = y;
}

void DrawingRecorder::TextOut(int x, int y, std::string_view text) {
    if (text.empty()) {
        return;
    }
    const PageBox box = PageBoxOfTextCell(
        mapMode_, x, y, metrics_.Width(text, italic_, TextEncoding()), metrics_.Height(italic_));
    Operation op = Op(Kind::Text, x, y, 0, 0, box);
    op.textStart = texts_.size();
    op.textLength = text.size();
    texts_.append(text);
    operations_.push_back(op);
    frame_.Include(box);
}

int DrawingRecorder::TextWidth(std::string_view text) {
    return metrics_.Width(text, italic_, TextEncoding());
}

int DrawingRecorder::TextHeight(std::string_view) {
    return metrics_.Height(italic_);
}

void DrawingRecorder::SetFontColour(RgbColour colour) {
    operations_.push_back(Op(Kind::FontColour, static_cast<int>(colour)));
}

void DrawingRecorder::SetItalic(bool italic) {
    operations_.push_back(Op(Kind::Italic, italic ? 1 : 0));
    italic_ = italic;
}

void DrawingRecorder::BeginMap(int mapNumber) {
    operations_.push_back(Op(Kind::BeginMap, mapNumber));
}

void DrawingRecorder::EndMap() {
    operations_.push_back(Op(Kind::EndMap));
}

void DrawingRecorder::Replay(Surface& target) const {
    ReplayInto(target, nullptr);
}

void DrawingRecorder::Replay(Surface& target, const PageBox& visible) const {
    ReplayInto(target, &visible);
}

void DrawingRecorder::ReplayInto(Surface& target, const PageBox* visible) const {
    target.SetTextEncoding(TextEncoding());
    bool currentPointStale = false;
    for (const Operation& op : operations_) {
        const bool shown = visible == nullptr || op.box.Intersects(*visible);
        switch (op.kind) {
        case Kind::MapMode:
            target.SetMapMode(static_cast<MappingMode>(op.a));
            break;
        case Kind::Pen:
            target.SetPenColour(static_cast<RgbColour>(op.a));
            break;
        case Kind::FontColour:
            target.SetFontColour(static_cast<RgbColour>(op.a));
            break;
        case Kind::Italic:
            target.SetItalic(op.a != 0);
            break;
        case Kind::MoveTo:
            target.MoveTo(op.a, op.b);
            currentPointStale = false;
            break;
        case Kind::LineTo:
            if (!shown) {
                currentPointStale = true;
                break;
            }
            if (currentPointStale) {
                target.MoveTo(op.c, op.d);
                currentPointStale = false;
            }
            target.LineTo(op.a, op.b);
            break;
        case Kind::Rectangle:
            if (shown) {
                target.Rectangle(op.a, op.b, op.c, op.d);
            }
            break;
        case Kind::Fill:
            if (shown) {
                target.FillRectangle(op.a, op.b, op.c, op.d, op.fill);
            }
            break;
        case Kind::BeginMap:
            target.BeginMap(op.a);
            break;
        case Kind::EndMap:
            target.EndMap();
            break;
        case Kind::Text:
            if (shown) {
                target.TextOut(op.a, op.b,
                               std::string_view(texts_).substr(op.textStart, op.textLength));
            }
            break;
        }
    }
}

} // namespace karvello
