#include "drawing/DrawingFormats.h"

#include <array>

#include "base/Text.h"

namespace karvello {

namespace {

constexpr auto kFormats = std::to_array<DrawingFormatInfo>({
    {DrawingFormat::Emf, ".emf", "Enhanced Metafile"},
    {DrawingFormat::Svg, ".svg", "SVG image"},
    {DrawingFormat::Pdf, ".pdf", "PDF document"},
    {DrawingFormat::Png, ".png", "PNG image, 300 dpi"},
});

} // namespace

std::span<const DrawingFormatInfo> DrawingFormats() {
    return kFormats;
}

std::optional<DrawingFormat> DrawingFormatOf(const std::string& path) {
    for (const DrawingFormatInfo& info : kFormats) {
        if (EndsWithIgnoringCase(path, info.Extension)) {
            return info.Format;
        }
    }
    return std::nullopt;
}

bool IsDrawingFileName(const std::string& path) {
    return DrawingFormatOf(path).has_value();
}

std::string DrawingExtensionList() {
    std::string extensions;
    for (std::size_t i = 0; i < kFormats.size(); ++i) {
        if (i > 0) {
            extensions += i + 1 == kFormats.size() ? " or " : ", ";
        }
        extensions += kFormats[i].Extension;
    }
    return extensions;
}

} // namespace karvello
