#include "render/EmfSurface.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace karvello {

namespace {

constexpr std::uint32_t kStockObject = 0x80000000u;
constexpr std::uint32_t kStockWhiteBrush = kStockObject | 0;
constexpr std::uint32_t kStockBlackPen = kStockObject | 7;
constexpr std::uint32_t kStockNullPen = kStockObject | 8;
constexpr std::uint32_t kStockSystemFont = kStockObject | 13;
constexpr std::uint32_t kTextAlignLeftTop = 0;
constexpr std::uint32_t kGraphicsModeCompatible = 1;
constexpr RgbColour kWhite = 0xFFFFFF;
constexpr std::int32_t kFontWeightNormal = 400;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::size_t kFaceNameChars = 32;
constexpr std::size_t kFullNameChars = 64;
constexpr std::size_t kStyleChars = 32;
// A text record holds its own length in 32 bits with everything else; no
// name comes anywhere near this, but a record must never wrap around.
constexpr std::size_t kMaxTextChars = 1u << 24;

// A frame box in reference-display pixels, rounded outward.
PageBox ToReferencePixels(const PageBox& box) {
    PageBox pixels;
    if (box.Empty) {
        return pixels;
    }
    const double perUnit = 1.0 / kHiMetricPerReferencePixel;
    pixels.Include(static_cast<std::int64_t>(std::floor(box.Left * perUnit)),
                   static_cast<std::int64_t>(std::floor(box.Top * perUnit)));
    pixels.Include(static_cast<std::int64_t>(std::ceil(box.Right * perUnit)),
                   static_cast<std::int64_t>(std::ceil(box.Bottom * perUnit)));
    return pixels;
}

} // namespace

// One record being appended to a buffer: its type and a size that is filled
// in, padded to a multiple of 4 bytes, when the record ends.
class EmfSurface::Record {
  public:
    Record(std::vector<std::uint8_t>& bytes, std::uint32_t type)
        : bytes_(bytes), start_(bytes.size()) {
        U32(type);
        U32(0);
    }
    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v & 0xFF));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xFFFF));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void Box(const PageBox& box) {
        if (box.Empty) {
            // The "nothing here" rectangle Windows writes.
            I32(0);
            I32(0);
            I32(-1);
            I32(-1);
            return;
        }
        I32(ClampToInt32(box.Left));
        I32(ClampToInt32(box.Top));
        I32(ClampToInt32(box.Right));
        I32(ClampToInt32(box.Bottom));
    }
    void Text16(std::u16string_view text, std::size_t units) {
        for (std::size_t i = 0; i < units; ++i) {
            U16(i < text.size() ? static_cast<std::uint16_t>(text[i]) : 0);
        }
    }
    std::size_t Offset() const { return bytes_.size() - start_; }
    void PadTo4() {
        while (Offset() % 4 != 0) {
            U8(0);
        }
    }
    // Finishes the record; returns 1, the number of records added.
    std::uint32_t End() {
        PadTo4();
        const auto size = static_cast<std::uint32_t>(Offset());
        for (int i = 0; i < 4; ++i) {
            bytes_[start_ + 4 + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(size >> (8 * i));
        }
        return 1;
    }

  private:
    std::vector<std::uint8_t>& bytes_;
    std::size_t start_;
};

EmfSurface::EmfSurface(const TextMeasure& metrics, RgbColour textColour, EmfStyle style)
    : metrics_(metrics), style_(std::move(style)), fontColour_(textColour) {
    WriteMapMode(MappingMode::HiMetric);
    SelectObject(CreateFont(false));
    SelectObject(CreatePen(0));
    whiteBrush_ = CreateBrush(kWhite);
    SelectObject(whiteBrush_);
    WriteSimple(kEmrSetTextColor, fontColour_);
    // The brush colour behind opaque text: each text cell is filled with it
    // before the text is drawn, as the classic layout expects. The figure
    // layout keeps its text clear of lines, so its text needs no cell.
    WriteSimple(kEmrSetBkMode, style_.EditorFriendly ? kEmfTransparent : kEmfOpaque);
    WriteSimple(kEmrSetBkColor, kWhite);
    WriteSimple(kEmrSetTextAlign, kTextAlignLeftTop);
}

void EmfSurface::CheckOpen() const {
    if (finished_) {
        throw KarvelloError("The metafile is already complete and cannot be drawn on");
    }
}

void EmfSurface::WriteSimple(std::uint32_t type, std::uint32_t value) {
    Record record(body_, type);
    record.U32(value);
    recordCount_ += record.End();
}

void EmfSurface::WritePair(std::uint32_t type, std::int32_t x, std::int32_t y) {
    Record record(body_, type);
    record.I32(x);
    record.I32(y);
    recordCount_ += record.End();
}

void EmfSurface::WriteMapMode(MappingMode mode) {
    if (mode != MappingMode::HiMetric || !style_.EditorFriendly) {
        WriteSimple(kEmrSetMapMode, static_cast<std::uint32_t>(mode));
        return;
    }
    // MM_HIMETRIC spelt out: the reference display's size in 1/100 mm maps
    // onto its size in pixels, y turned upward.
    WriteSimple(kEmrSetMapMode, kEmfAnisotropic);
    WritePair(kEmrSetWindowExtEx, kReferenceWidthUm / 10, kReferenceHeightUm / 10);
    WritePair(kEmrSetViewportExtEx, kReferenceWidthPx, -kReferenceHeightPx);
}

void EmfSurface::SelectObject(std::uint32_t handle) {
    WriteSimple(kEmrSelectObject, handle);
}

std::uint32_t EmfSurface::CreateFont(bool italic) {
    const std::uint32_t handle = nextHandle_++;
    created_.push_back(handle);
    Record record(body_, kEmrExtCreateFontIndirectW);
    record.U32(handle);
    // LogFont
    record.I32(-style_.FontHeight);
    record.I32(0); // width: the face's own
    record.I32(0); // escapement
    record.I32(0); // orientation
    record.I32(kFontWeightNormal);
    record.U8(italic ? 1 : 0);
    record.U8(0); // underline
    record.U8(0); // strike-out
    record.U8(kDefaultCharset);
    record.U8(0); // output precision: default
    record.U8(0); // clip precision: default
    record.U8(0); // quality: default
    record.U8(0); // pitch and family: default, don't care
    // The name ends in a NUL within its 32 units.
    std::u16string face = TextToUtf16(style_.FaceName, CharacterEncoding::Utf8);
    face.resize(std::min(face.size(), kFaceNameChars - 1));
    record.Text16(face, kFaceNameChars);
    // The rest of a LogFontPanose, as Windows writes it for a font that was
    // created from a plain LOGFONT: empty names, no version, no PANOSE data.
    record.Text16(u"", kFullNameChars);
    record.Text16(u"", kStyleChars);
    for (int i = 0; i < 6; ++i) {
        record.U32(0); // version, style size, match, reserved, vendor id, culture
    }
    for (int i = 0; i < 12; ++i) {
        record.U8(0); // PANOSE (10 bytes) and padding
    }
    recordCount_ += record.End();
    fonts_[italic ? 1 : 0] = handle;
    return handle;
}

std::uint32_t EmfSurface::CreatePen(RgbColour colour) {
    const std::uint32_t handle = nextHandle_++;
    created_.push_back(handle);
    Record record(body_, kEmrCreatePen);
    record.U32(handle);
    record.U32(0); // PS_SOLID
    record.I32(style_.PenWidth);
    record.I32(0);
    record.U32(colour);
    recordCount_ += record.End();
    pens_[colour] = handle;
    return handle;
}

std::uint32_t EmfSurface::CreateBrush(RgbColour colour) {
    const std::uint32_t handle = nextHandle_++;
    created_.push_back(handle);
    Record record(body_, kEmrCreateBrushIndirect);
    record.U32(handle);
    record.U32(0); // BS_SOLID
    record.U32(colour);
    record.U32(0); // no hatch
    recordCount_ += record.End();
    brushes_[colour] = handle;
    return handle;
}

void EmfSurface::EndFilling() {
    if (filling_) {
        SelectObject(pens_.at(penColour_));
        SelectObject(whiteBrush_);
        filling_ = false;
    }
}

void EmfSurface::FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) {
    CheckOpen();
    const auto found = brushes_.find(colour);
    const std::uint32_t brush = found != brushes_.end() ? found->second : CreateBrush(colour);
    if (!filling_) {
        SelectObject(kStockNullPen);
    }
    SelectObject(brush);
    filling_ = true;
    Record record(body_, kEmrRectangle);
    record.I32(x1);
    record.I32(y1);
    record.I32(x2);
    record.I32(y2);
    recordCount_ += record.End();
    Include(PageBoxOfPoints(mapMode_, x1, y1, x2, y2));
}

void EmfSurface::SetMapMode(MappingMode mode) {
    CheckOpen();
    if (mode != mapMode_) {
        WriteMapMode(mode);
        mapMode_ = mode;
    }
}

void EmfSurface::SetPenColour(RgbColour colour) {
    CheckOpen();
    if (colour == penColour_) {
        return;
    }
    const auto found = pens_.find(colour);
    const std::uint32_t pen = found != pens_.end() ? found->second : CreatePen(colour);
    if (!filling_) {
        SelectObject(pen);
    }
    penColour_ = colour;
}

void EmfSurface::Rectangle(int x1, int y1, int x2, int y2) {
    CheckOpen();
    EndFilling();
    Record record(body_, kEmrRectangle);
    record.I32(x1);
    record.I32(y1);
    record.I32(x2);
    record.I32(y2);
    recordCount_ += record.End();
    Include(PageBoxOfPoints(mapMode_, x1, y1, x2, y2));
}

void EmfSurface::MoveTo(int x, int y) {
    CheckOpen();
    Record record(body_, kEmrMoveToEx);
    record.I32(x);
    record.I32(y);
    recordCount_ += record.End();
    currentX_ = x;
    currentY_ = y;
}

void EmfSurface::LineTo(int x, int y) {
    CheckOpen();
    EndFilling();
    Record record(body_, kEmrLineTo);
    record.I32(x);
    record.I32(y);
    recordCount_ += record.End();
    Include(PageBoxOfPoints(mapMode_, currentX_, currentY_, x, y));
    currentX_ = x;
    currentY_ = y;
}

void EmfSurface::TextOut(int x, int y, std::string_view text) {
    CheckOpen();
    if (text.empty()) {
        return;
    }
    if (text.size() > kMaxTextChars) {
        throw KarvelloError("A text of " + std::to_string(text.size()) +
                            " characters is too long for a metafile");
    }
    const PageBox cell = PageBoxOfTextCell(
        mapMode_, x, y, metrics_.Width(text, italic_, TextEncoding()), metrics_.Height(italic_));
    const std::u16string characters = TextToUtf16(text, TextEncoding());
    const std::vector<std::int32_t> advances = metrics_.Advances(text, italic_, TextEncoding());
    const auto count = static_cast<std::uint32_t>(characters.size());
    constexpr std::uint32_t kStringOffset = 76; // fixed part of the record
    const std::uint32_t dxOffset = kStringOffset + (count * 2 + 3) / 4 * 4;

    Record record(body_, kEmrExtTextOutW);
    record.Box(ToReferencePixels(cell));
    record.U32(kGraphicsModeCompatible);
    record.F32(1.0f);
    record.F32(1.0f);
    record.I32(x);
    record.I32(y); // reference point: the top-left corner
    record.U32(count);
    record.U32(kStringOffset);
    record.U32(0); // no options: the background mode makes the cell opaque
    record.Box(PageBox{});
    record.U32(dxOffset);
    record.Text16(characters, characters.size());
    record.PadTo4();
    for (std::int32_t advance : advances) {
        record.I32(advance);
    }
    recordCount_ += record.End();
    Include(cell);
}

void EmfSurface::Include(const PageBox& box) {
    frame_.Include(box);
    if (groupStart_) {
        groupFrame_.Include(box);
    }
}

void EmfSurface::BeginMap(int) {
    CheckOpen();
    if (!style_.GroupMaps) {
        return;
    }
    if (groupStart_) {
        EndMap();
    }
    groupStart_ = body_.size();
    groupFrame_ = PageBox{};
    Record record(body_, kEmrComment);
    record.U32(28); // the data's size: identifier, type, box, description length
    record.U32(kEmfCommentGdic);
    record.U32(kEmfCommentBeginGroup);
    record.Box(PageBox{}); // written at EndMap
    record.U32(0);         // no description
    recordCount_ += record.End();
}

void EmfSurface::EndMap() {
    CheckOpen();
    if (!groupStart_) {
        return;
    }
    // The group's box in logical units, where the metric mode's y grows
    // upward: left, top, right, bottom of the map's frame with y negated.
    const std::int32_t box[] = {groupFrame_.Empty ? 0 : ClampToInt32(groupFrame_.Left),
                                groupFrame_.Empty ? 0 : ClampToInt32(-groupFrame_.Top),
                                groupFrame_.Empty ? -1 : ClampToInt32(groupFrame_.Right),
                                groupFrame_.Empty ? -1 : ClampToInt32(-groupFrame_.Bottom)};
    std::size_t at = *groupStart_ + 20; // past type, size, data size, "GDIC", type
    for (std::int32_t value : box) {
        for (int i = 0; i < 4; ++i) {
            body_[at++] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
        }
    }
    groupStart_.reset();

    Record record(body_, kEmrComment);
    record.U32(8);
    record.U32(kEmfCommentGdic);
    record.U32(kEmfCommentEndGroup);
    recordCount_ += record.End();
}

int EmfSurface::TextWidth(std::string_view text) {
    return metrics_.Width(text, italic_, TextEncoding());
}

int EmfSurface::TextHeight(std::string_view) {
    return metrics_.Height(italic_);
}

void EmfSurface::SetFontColour(RgbColour colour) {
    CheckOpen();
    if (colour != fontColour_) {
        WriteSimple(kEmrSetTextColor, colour);
        fontColour_ = colour;
    }
}

void EmfSurface::SetItalic(bool italic) {
    CheckOpen();
    if (italic == italic_) {
        return;
    }
    const std::uint32_t existing = fonts_[italic ? 1 : 0];
    SelectObject(existing != 0 ? existing : CreateFont(italic));
    italic_ = italic;
}

std::vector<std::uint8_t> EmfSurface::Header() const {
    // The frame holds the edge room around what is drawn.
    PageBox frame = frame_;
    if (!frame.Empty) {
        frame.Left -= style_.EdgeRoom;
        frame.Top -= style_.EdgeRoom;
        frame.Right += style_.EdgeRoom;
        frame.Bottom += style_.EdgeRoom;
    }
    std::vector<std::uint8_t> header;
    Record record(header, kEmrHeader);
    record.Box(ToReferencePixels(frame));
    record.Box(frame);
    record.U32(0x464D4520); // " EMF"
    record.U32(0x00010000);
    record.U32(0); // nBytes, filled in by Finish
    record.U32(0); // nRecords, filled in by Finish
    record.U16(static_cast<std::uint16_t>(nextHandle_));
    record.U16(0);
    record.U32(0); // no description
    record.U32(0);
    record.U32(0); // no palette
    record.I32(kReferenceWidthPx);
    record.I32(kReferenceHeightPx);
    record.I32(kReferenceWidthMm);
    record.I32(kReferenceHeightMm);
    record.U32(0);
    record.U32(0);
    record.U32(0); // no pixel format, no OpenGL
    record.I32(kReferenceWidthUm);
    record.I32(kReferenceHeightUm);
    record.End();
    return header;
}

std::vector<std::uint8_t> EmfSurface::Finish() {
    CheckOpen();
    if (groupStart_) {
        EndMap();
    }
    filling_ = false;
    if (nextHandle_ > 0xFFFF) {
        throw KarvelloError("The drawing uses more pens and fonts than a metafile can hold");
    }
    SelectObject(kStockSystemFont);
    SelectObject(kStockBlackPen);
    SelectObject(kStockWhiteBrush);
    for (std::uint32_t handle : created_) {
        WriteSimple(kEmrDeleteObject, handle);
    }
    {
        Record record(body_, kEmrEof);
        record.U32(0);  // no palette entries
        record.U32(16); // their offset, as Windows writes it
        record.U32(20); // this record's size again
        recordCount_ += record.End();
    }
    finished_ = true;

    std::vector<std::uint8_t> file = Header();
    const std::size_t total = file.size() + body_.size();
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        throw KarvelloError("The drawing is too large for a metafile (over 4 GB)");
    }
    const auto put = [&file](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    put(48, static_cast<std::uint32_t>(total));
    put(52, recordCount_ + 1);
    file.insert(file.end(), body_.begin(), body_.end());
    std::vector<std::uint8_t>().swap(body_);
    return file;
}

} // namespace karvello
