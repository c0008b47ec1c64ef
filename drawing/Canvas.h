#pragma once
// The surfaces a drawing is shown or written on, beyond drawing: the preview
// box it paints into, and a file it draws into. Implemented in platform/.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "base/Progress.h"
#include "drawing/Surface.h"
#include "mapdata/FigureSettings.h"

namespace karvello {

// The lines of a figure in SVG, PDF and PNG unless the settings say
// otherwise: 0.25 pt, the thinnest line a journal prints, in whole 1/100 mm.
// No format draws a wider default line, so rows are measured with it when
// the settings leave the line width to the format.
inline constexpr std::int32_t kDefaultLineWidth = 9;
// The white room around the drawn extent in SVG, PDF and PNG unless the
// settings say otherwise, and in every format when the maps stand in rows,
// so that rows break alike in all of them: 2 mm. It keeps a viewer that
// draws a text a little wider than it was measured from cutting it off.
inline constexpr std::int32_t kDefaultEdgeRoom = 200;

class PreviewSurface : public Surface {
  public:
    virtual MappingMode MapMode() const = 0;
    // Fills the rectangle (0, 0)-(width, height) in device pixels with the
    // window's background colour, which stays the surface's brush.
    virtual void FillBackground(int widthPx, int heightPx) = 0;
    // The window extent (cx, cy) in the current mapping mode; in the metric
    // mode, the display's size in 1/100 mm.
    virtual std::pair<int, int> WindowExtent() const = 0;
};

// A drawing into a file. Nothing reaches the target path until Commit
// succeeds; a canvas destroyed without Commit leaves no file behind and any
// existing file as it was.
class FileCanvas {
  public:
    virtual ~FileCanvas() = default;
    virtual Surface& surface() = 0;
    // Completes the file and puts it in place of the target. Throws KarvelloError.
    virtual void Commit() = 0;
    // Asks the canvas to report to progress while Commit works, which may
    // stop it by throwing. Returns whether the canvas does so: one whose
    // Commit only writes out what is drawn, in a moment, returns false.
    virtual bool ReportCommitProgress(ProgressFn progress) {
        static_cast<void>(progress);
        return false;
    }
};

// Creates a canvas, prepared for drawing, for the file at path; the format
// follows the path's extension, and the canvas applies the figure's font,
// line width, edge room, map grouping and resolution. Throws KarvelloError
// ("Canvas does not allow drawing. " and why, when the file cannot be
// created).
using FileCanvasFactory = std::function<std::unique_ptr<FileCanvas>(const std::string& path,
                                                                    const FigureSettings& figure)>;

} // namespace karvello
