#include "render/SvgSurface.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace karvello {

namespace {

// Text is handed to the sink in pieces of about this size.
constexpr std::size_t kSinkPieceBytes = 64 * 1024;

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsControl(char16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

// Appends one character of XML text or of an attribute in double quotes.
void AppendXmlCharacter(std::string& out, char16_t unit) {
    switch (unit) {
    case u'&':
        out += "&amp;";
        return;
    case u'<':
        out += "&lt;";
        return;
    case u'>':
        out += "&gt;";
        return;
    case u'"':
        out += "&quot;";
        return;
    default:
        if (IsControl(unit)) {
            out += kReplacementCharacter;
        } else {
            AppendUtf8(out, unit);
        }
    }
}

// Appends UTF-8 text as XML text: the five markup characters escaped,
// control characters replaced. The text must be valid UTF-8.
void AppendXmlUtf8(std::string& out, std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            out.push_back(c);
        } else {
            AppendXmlCharacter(out, byte);
        }
    }
}

std::string MillimetresText(std::int64_t units) {
    const std::int64_t hundredths = units % 100;
    return DecimalText(units / 100) + "." + (hundredths < 10 ? "0" : "") + DecimalText(hundredths) +
           "mm";
}

// A family name as a CSS string in single quotes.
std::string CssString(std::string_view name) {
    std::string quoted = "'";
    for (char c : name) {
        if (c == '\'' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "'";
}

} // namespace

std::string SvgFontFamilyList(std::string_view family) {
    const std::vector<std::string_view> fallbacks = {"Liberation Sans", "Arial", "Helvetica"};
    std::string list = CssString(family);
    for (std::string_view fallback : fallbacks) {
        if (!EqualsIgnoringCase(family, fallback)) {
            list += ", " + CssString(fallback);
        }
    }
    return list + ", sans-serif";
}

SvgSurface::SvgSurface(Sink sink, const PageBox& page, const TextMeasure& metrics,
                       const SvgOptions& options)
    : sink_(std::move(sink)), page_(page), metrics_(metrics), fontSize_(options.fontSize) {
    if (page.Width() > kSvgMaxPageUnits || page.Height() > kSvgMaxPageUnits) {
        throw KarvelloError(
            "The drawing is too large for an SVG image: " + MillimetresText(page.Width()) + " x " +
            MillimetresText(page.Height()) + ", where a side may be at most " +
            MillimetresText(kSvgMaxPageUnits) + ".");
    }
    buffer_.reserve(kSinkPieceBytes + 4096);
    Emit("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
    Emit(MillimetresText(page.Width()));
    Emit("\" height=\"");
    Emit(MillimetresText(page.Height()));
    Emit("\" viewBox=\"0 0 ");
    EmitNumber(page.Width());
    Emit(" ");
    EmitNumber(page.Height());
    Emit("\">\n");
    if (!options.title.empty()) {
        Emit("<title>");
        AppendXmlUtf8(buffer_, options.title);
        Emit("</title>\n");
    }
    Emit("<desc>Linkage maps drawn by Karvello</desc>\n<g stroke-width=\"");
    EmitNumber(options.lineWidth);
    Emit("\" stroke-linecap=\"square\" stroke-linejoin=\"bevel\" font-family=\"");
    AppendXmlUtf8(buffer_, options.fontFamily);
    Emit("\" font-size=\"");
    EmitNumber(options.fontSize);
    Emit("\" xml:space=\"preserve\">\n");
}

void SvgSurface::CheckOpen() const {
    if (finished_) {
        throw KarvelloError("The SVG image has already been finished");
    }
}

void SvgSurface::ToPage(int x, int y, std::int64_t& px, std::int64_t& py) const {
    karvello::ToPage(mapMode_, x, y, px, py);
    px -= page_.Left;
    py -= page_.Top;
}

void SvgSurface::Emit(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= kSinkPieceBytes) {
        sink_(buffer_);
        buffer_.clear();
    }
}

void SvgSurface::EmitNumber(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
}

void SvgSurface::EmitColour(RgbColour colour) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::uint32_t channels[] = {colour & 0xFFU, (colour >> 8) & 0xFFU,
                                      (colour >> 16) & 0xFFU};
    buffer_ += '#';
    for (std::uint32_t channel : channels) {
        buffer_ += kHex[channel >> 4];
        buffer_ += kHex[channel & 0xFU];
    }
}

void SvgSurface::FlushPath() {
    if (path_.empty()) {
        return;
    }
    Emit("<path fill=\"none\" stroke=\"");
    EmitColour(pathColour_);
    Emit("\" d=\"");
    Emit(path_);
    Emit("\"/>\n");
    path_.clear();
}

void SvgSurface::SetMapMode(MappingMode mode) {
    CheckOpen();
    mapMode_ = mode;
}

void SvgSurface::SetPenColour(RgbColour colour) {
    CheckOpen();
    penColour_ = colour;
}

void SvgSurface::Rectangle(int x1, int y1, int x2, int y2) {
    CheckOpen();
    FlushPath();
    std::int64_t ax = 0;
    std::int64_t ay = 0;
    std::int64_t bx = 0;
    std::int64_t by = 0;
    ToPage(x1, y1, ax, ay);
    ToPage(x2, y2, bx, by);
    Emit("<rect x=\"");
    EmitNumber(std::min(ax, bx));
    Emit("\" y=\"");
    EmitNumber(std::min(ay, by));
    Emit("\" width=\"");
    EmitNumber(std::max(ax, bx) - std::min(ax, bx));
    Emit("\" height=\"");
    EmitNumber(std::max(ay, by) - std::min(ay, by));
    Emit("\" fill=\"#fff\" stroke=\"");
    EmitColour(penColour_);
    Emit("\"/>\n");
}

void SvgSurface::FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) {
    CheckOpen();
    FlushPath();
    std::int64_t ax = 0;
    std::int64_t ay = 0;
    std::int64_t bx = 0;
    std::int64_t by = 0;
    ToPage(x1, y1, ax, ay);
    ToPage(x2, y2, bx, by);
    Emit("<rect x=\"");
    EmitNumber(std::min(ax, bx));
    Emit("\" y=\"");
    EmitNumber(std::min(ay, by));
    Emit("\" width=\"");
    EmitNumber(std::max(ax, bx) - std::min(ax, bx));
    Emit("\" height=\"");
    EmitNumber(std::max(ay, by) - std::min(ay, by));
    Emit("\" fill=\"");
    EmitColour(colour);
    Emit("\" stroke=\"none\"/>\n");
}

void SvgSurface::MoveTo(int x, int y) {
    CheckOpen();
    currentX_ = x;
    currentY_ = y;
}

void SvgSurface::LineTo(int x, int y) {
    CheckOpen();
    if (!path_.empty() && pathColour_ != penColour_) {
        FlushPath();
    }
    std::int64_t fromX = 0;
    std::int64_t fromY = 0;
    std::int64_t toX = 0;
    std::int64_t toY = 0;
    ToPage(currentX_, currentY_, fromX, fromY);
    ToPage(x, y, toX, toY);
    const auto number = [this](std::int64_t value) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        path_.append(digits, result.ptr);
    };
    if (path_.empty() || fromX != pathX_ || fromY != pathY_) {
        path_ += 'M';
        number(fromX);
        path_ += ' ';
        number(fromY);
    }
    if (toY == fromY) {
        path_ += 'H';
        number(toX);
    } else if (toX == fromX) {
        path_ += 'V';
        number(toY);
    } else {
        path_ += 'L';
        number(toX);
        path_ += ' ';
        number(toY);
    }
    pathColour_ = penColour_;
    pathX_ = toX;
    pathY_ = toY;
    currentX_ = x;
    currentY_ = y;
}

void SvgSurface::TextOut(int x, int y, std::string_view text) {
    CheckOpen();
    if (text.empty()) {
        return;
    }
    FlushPath();
    std::int64_t px = 0;
    std::int64_t py = 0;
    ToPage(x, y, px, py);
    // The font's pixel size is its height in units of the current mode; in
    // the text mode a unit is a reference pixel.
    const double scale = mapMode_ == MappingMode::Text ? kHiMetricPerReferencePixel : 1.0;
    Emit("<text x=\"");
    EmitNumber(px);
    Emit("\" y=\"");
    EmitNumber(py + std::llround(metrics_.Ascent(italic_) * scale));
    Emit("\"");
    if (mapMode_ == MappingMode::Text) {
        Emit(" font-size=\"");
        EmitNumber(std::llround(fontSize_ * scale));
        Emit("\"");
    }
    if (italic_) {
        Emit(" font-style=\"italic\"");
    }
    if (fontColour_ != 0) {
        Emit(" fill=\"");
        EmitColour(fontColour_);
        Emit("\"");
    }
    Emit(">");
    const std::u16string units = TextToUtf16(text, TextEncoding());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size()) {
            // A character beyond U+FFFF, written whole.
            AppendUtf8(buffer_, FromSurrogates(unit, units[i + 1]));
            ++i;
        } else {
            AppendXmlCharacter(buffer_, unit);
        }
    }
    Emit("</text>\n");
}

int SvgSurface::TextWidth(std::string_view text) {
    return metrics_.Width(text, italic_, TextEncoding());
}

int SvgSurface::TextHeight(std::string_view) {
    return metrics_.Height(italic_);
}

void SvgSurface::SetFontColour(RgbColour colour) {
    CheckOpen();
    fontColour_ = colour;
}

void SvgSurface::SetItalic(bool italic) {
    CheckOpen();
    italic_ = italic;
}

void SvgSurface::BeginMap(int mapNumber) {
    CheckOpen();
    EndMap();
    Emit("<g id=\"map-");
    EmitNumber(mapNumber);
    Emit("\">\n");
    inMap_ = true;
}

void SvgSurface::EndMap() {
    CheckOpen();
    FlushPath();
    if (inMap_) {
        Emit("</g>\n");
        inMap_ = false;
    }
}

void SvgSurface::Finish() {
    EndMap();
    Emit("</g>\n</svg>\n");
    finished_ = true;
    if (!buffer_.empty()) {
        sink_(buffer_);
        buffer_.clear();
    }
}

} // namespace karvello
