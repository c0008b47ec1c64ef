#pragma once
// The file formats a drawing can be written in, one row each, in the order
// a save dialog offers them: the table that the canvases, the save dialog
// and --help read.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace karvello {

enum class DrawingFormat { Emf, Svg, Pdf, Png };

struct DrawingFormatInfo {
    DrawingFormat Format;
    std::string_view Extension;   // with the dot, lower case: ".emf"
    std::string_view Description; // for a file dialog: "Enhanced Metafile"
};

// The formats, the metafile first.
std::span<const DrawingFormatInfo> DrawingFormats();

// The format that the path's extension names, compared without regard to
// case; none for any other extension or none at all.
std::optional<DrawingFormat> DrawingFormatOf(const std::string& path);

// True when the path ends in one of the formats' extensions.
bool IsDrawingFileName(const std::string& path);

// The extensions in the table's order as a list: ".emf, .svg, .pdf or .png".
std::string DrawingExtensionList();

} // namespace karvello
