#pragma once
// The file canvases written by Karvello's own writers, the Enhanced Metafile
// and the SVG image, and the factory of a program without Qt, which draws
// those two with text measured from the built-in tables. Each canvas is
// prepared as the metafile is (metric mode, the figure's font, black pen,
// white brush, opaque text). The page of the SVG image is the box of
// everything drawn, the box the metafile's frame gives, at its real size in
// millimetres.
//
// Writing is all or nothing (AtomicFileWriter): the file is written under a
// temporary name in the target's folder, every write checked, and takes the
// target's name only when complete, on Commit. Any failure, and a canvas
// destroyed without Commit, leaves no partial file and any existing file as
// it was. Only a regular file (or a link to one) is ever replaced.

#include <cstdint>
#include <memory>
#include <string>

#include "base/Error.h"
#include "drawing/Canvas.h"
#include "drawing/PageBox.h"
#include "mapdata/FigureSettings.h"
#include "render/TextMeasure.h"

namespace karvello {

// The white room around the drawn extent: figure.Margin when it is set;
// else kDefaultEdgeRoom in every format when the maps stand in rows or in
// the figure layout, so that they break alike in all of them; else
// formatDefault.
std::int64_t FigureEdgeRoom(const FigureSettings& figure, std::int64_t formatDefault);

// The width of a figure's lines in SVG, PDF and PNG: figure.LineWidth when
// it is set, else kDefaultLineWidth.
int FigureLineWidth(const FigureSettings& figure);

// The page of an SVG, PDF or PNG file: the box of everything drawn (a
// 1 mm square at the origin when nothing is) with the figure's edge room
// (kDefaultEdgeRoom unless set) around it.
PageBox FigurePage(const PageBox& drawn, const FigureSettings& figure);

// The file's name without its folder and without the last extension, as an
// image's title: "maps" for "out/maps.svg".
std::string FileTitle(const std::string& path);

// A canvas for a metafile whose text is written in the face named (UTF-8)
// at an em size of height page units and measured with measure, which must
// outlive the canvas. Throws KarvelloError "Canvas does not allow drawing.
// Cannot create file "<path>". <reason>" when the file cannot be created.
std::unique_ptr<FileCanvas> CreateEmfCanvas(const std::string& path, const TextMeasure& measure,
                                            const std::string& face, int height,
                                            const FigureSettings& figure);

// A canvas for an SVG image whose text is measured with measure (which must
// outlive the canvas) at an em size of fontSize page units and named by the
// CSS font list of family (see SvgFontFamilyList). Throws as CreateEmfCanvas
// does; its Commit throws KarvelloError "Cannot write file "<path>".
// <reason>" when the page is too large for SVG or the file cannot be
// completed.
std::unique_ptr<FileCanvas> CreateSvgCanvas(const std::string& path, const TextMeasure& measure,
                                            int fontSize, const std::string& family,
                                            const FigureSettings& figure);

// The family an SVG image names first for a figure's face: the face given;
// for the default face, the built-in face its text is measured in
// ("Liberation Sans"), wherever it is drawn.
std::string SvgFamilyFor(const FigureSettings& figure);

// A drawing that the canvases of this layer cannot write: a format other
// than .emf and .svg, or a face the built-in tables do not have. The message
// says which, and names the faces there are.
class FullProgramNeeded : public KarvelloError {
  public:
    using KarvelloError::KarvelloError;
};

// Creates a canvas for the .emf or .svg file at path, its text measured from
// the built-in tables (BuiltInFigureMeasure). Throws FullProgramNeeded for
// another format or a face the tables do not have, KarvelloError for a file
// name that is no drawing's, and as CreateEmfCanvas does.
std::unique_ptr<FileCanvas> CreateBuiltInFileCanvas(const std::string& path,
                                                    const FigureSettings& figure = {});

} // namespace karvello
