#pragma once
// The canvases that write a drawing in each file format of
// drawing/DrawingFormats.h. Every canvas measures text as the metafile does, so that each format
// shows the same layout; each is prepared as the metafile is (metric mode,
// the metafile font, black pen, white brush, opaque text). The page of the
// SVG, PDF and PNG files is the box of everything drawn, the box the
// metafile's frame gives, at its real size in millimetres.
//
// Writing is all or nothing (AtomicFileWriter): the file is written under a
// temporary name in the target's folder, every write checked, and takes the
// target's name only when complete, on Commit. Any failure, and a canvas
// destroyed without Commit, leaves no partial file and any existing file as
// it was. Only a regular file (or a link to one) is ever replaced.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/Canvas.h"
#include "drawing/DrawingFormats.h"

namespace karvello {

// Filters for a Qt file dialog, one per format, separated by ";;":
// "Enhanced Metafile (*.emf);;SVG image (*.svg);;...".
std::string DrawingFileDialogFilters();

// Resolution of PNG files.
inline constexpr int kPngDotsPerInch = 300;
// The most pixels a PNG is made of: a figure 1.8 metres square at 300 dpi;
// beyond that the time and the file are more than any figure deserves. A
// larger drawing is refused before any painting, with its size.
inline constexpr std::int64_t kMaxPngPixels = 500'000'000;

// Creates a canvas for the file at path in the format its extension names.
// Creates the QGuiApplication if there is none (EnsureQtGui). Throws
// KarvelloError: for an unknown extension, a message naming the supported
// ones; "Canvas does not allow drawing. Cannot create file "<path>".
// <reason>" when the file cannot be created there (missing folder, no
// permission, a read-only file, a folder or a named pipe in its place); and
// as FigureTextFont does when the figure's font is not installed. The
// figure's font, line width, edge room and grouping apply to every format
// that has them; with the defaults the metafile holds the face, height and
// pen of the plain drawing, and no grouping. The
// canvas's Commit throws KarvelloError "Cannot write file "<path>". <reason>"
// when the file cannot be completed.
std::unique_ptr<FileCanvas> CreateFileCanvas(const std::string& path,
                                             const FigureSettings& figure = {});

} // namespace karvello
