#include "render/FileCanvases.h"

#include <optional>
#include <string_view>
#include <utility>

#include "base/FileWriter.h"
#include "base/Text.h"
#include "drawing/DrawingFormats.h"
#include "render/BuiltInFaces.h"
#include "render/DrawingRecorder.h"
#include "render/EmfSurface.h"
#include "render/SvgSurface.h"

namespace karvello {

namespace {

// A drawing with nothing in it still needs a page: 1 mm square.
constexpr std::int64_t kEmptyPageUnits = 100;
// What ends a folder's name in a path.
#ifdef _WIN32
constexpr char kPathSeparators[] = "/\\";
#else
constexpr char kPathSeparators[] = "/";
#endif

// A canvas whose file is written under a temporary name, and takes the
// target's name on Commit.
class WriterCanvas : public FileCanvas {
  public:
    void Commit() final {
        if (writer_.Committed()) {
            throw KarvelloError("The drawing has already been written to \"" +
                                FullPathForMessage(writer_.Path()) + "\"");
        }
        WriteFile();
        writer_.Commit();
    }

  protected:
    explicit WriterCanvas(const std::string& path) : writer_(Create(path)) {}
    virtual void WriteFile() = 0;
    AtomicFileWriter& Writer() { return writer_; }

  private:
    static AtomicFileWriter Create(const std::string& path) try {
        return AtomicFileWriter(path);
    } catch (const FileCreateError& error) {
        throw KarvelloError(std::string("Canvas does not allow drawing. ") + error.what());
    }
    AtomicFileWriter writer_;
};

class EmfCanvas final : public WriterCanvas {
  public:
    EmfCanvas(const std::string& path, const TextMeasure& measure, EmfStyle style)
        : WriterCanvas(path), surface_(measure, 0, std::move(style)) {}
    Surface& surface() override { return surface_; }

  private:
    void WriteFile() override { Writer().Write(surface_.Finish()); }
    EmfSurface surface_;
};

// Drawn first onto a recorder, written on Commit when the page is known.
class SvgCanvas final : public WriterCanvas {
  public:
    SvgCanvas(const std::string& path, const TextMeasure& measure, SvgOptions options,
              const FigureSettings& figure)
        : WriterCanvas(path), measure_(measure), recorder_(measure), options_(std::move(options)),
          figure_(figure) {}
    Surface& surface() override { return recorder_; }

  private:
    void WriteFile() override {
        std::optional<SvgSurface> surface;
        try {
            surface.emplace([this](std::string_view text) { Writer().Write(text); },
                            FigurePage(recorder_.Frame(), figure_), measure_, options_);
        } catch (const KarvelloError& error) {
            Writer().Discard();
            throw KarvelloError("Cannot write file \"" + FullPathForMessage(Writer().Path()) +
                                "\". " + error.what());
        }
        recorder_.Replay(*surface);
        surface->Finish();
    }

    const TextMeasure& measure_;
    DrawingRecorder recorder_;
    SvgOptions options_;
    FigureSettings figure_;
};

} // namespace

std::int64_t FigureEdgeRoom(const FigureSettings& figure, std::int64_t formatDefault) {
    if (figure.Margin >= 0) {
        return figure.Margin;
    }
    if (figure.RowWidth > 0 || figure.MapsPerRow > 0 || UsesFigureLayout(figure)) {
        return kDefaultEdgeRoom;
    }
    return formatDefault;
}

int FigureLineWidth(const FigureSettings& figure) {
    return figure.LineWidth >= 0 ? figure.LineWidth : kDefaultLineWidth;
}

PageBox FigurePage(const PageBox& drawn, const FigureSettings& figure) {
    PageBox page = drawn;
    if (page.Empty) {
        page.Include(0, 0);
        page.Include(kEmptyPageUnits - 1, kEmptyPageUnits - 1);
    }
    const std::int64_t room = FigureEdgeRoom(figure, kDefaultEdgeRoom);
    page.Left -= room;
    page.Top -= room;
    page.Right += room;
    page.Bottom += room;
    return page;
}

std::string FileTitle(const std::string& path) {
    const std::size_t slash = path.find_last_of(kPathSeparators);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) {
        name.resize(dot);
    }
    return name;
}

std::unique_ptr<FileCanvas> CreateEmfCanvas(const std::string& path, const TextMeasure& measure,
                                            const std::string& face, int height,
                                            const FigureSettings& figure) {
    EmfStyle style;
    style.FaceName = face;
    style.FontHeight = height;
    // The figure layout draws the line width of the other formats, as it
    // measured; the classic metafile keeps its 1-unit pens.
    style.EditorFriendly = UsesFigureLayout(figure);
    if (figure.LineWidth >= 0) {
        style.PenWidth = figure.LineWidth;
    } else if (style.EditorFriendly) {
        style.PenWidth = kDefaultLineWidth;
    }
    style.EdgeRoom = FigureEdgeRoom(figure, 0);
    style.GroupMaps = figure.GroupMaps;
    return std::make_unique<EmfCanvas>(path, measure, std::move(style));
}

std::unique_ptr<FileCanvas> CreateSvgCanvas(const std::string& path, const TextMeasure& measure,
                                            int fontSize, const std::string& family,
                                            const FigureSettings& figure) {
    SvgOptions options;
    options.title = FileTitle(path);
    options.fontFamily = SvgFontFamilyList(family);
    options.lineWidth = FigureLineWidth(figure);
    options.fontSize = fontSize;
    return std::make_unique<SvgCanvas>(path, measure, std::move(options), figure);
}

std::string SvgFamilyFor(const FigureSettings& figure) {
    if (!figure.FontFace.empty()) {
        return figure.FontFace;
    }
    return FindBuiltInFace(kMetafileFaceName, false, false)->Family;
}

std::unique_ptr<FileCanvas> CreateBuiltInFileCanvas(const std::string& path,
                                                    const FigureSettings& figure) {
    const std::optional<DrawingFormat> format = DrawingFormatOf(path);
    if (!format) {
        throw KarvelloError("Cannot draw into \"" + path + "\": the file name must end in " +
                            DrawingExtensionList());
    }
    if (format != DrawingFormat::Emf && format != DrawingFormat::Svg) {
        throw FullProgramNeeded("Cannot draw into \"" + path +
                                "\": this program writes only .emf and .svg files");
    }
    const std::string face = figure.FontFace.empty() ? kMetafileFaceName : figure.FontFace;
    const int height = figure.FontHeight < 1 ? kMetafileFontHeight : figure.FontHeight;
    const TextMeasure* measure = BuiltInFigureMeasure(face, height);
    if (measure == nullptr) {
        throw FullProgramNeeded("The font " + Quote(face) +
                                " cannot be measured by this program, which knows the faces " +
                                BuiltInFaceList());
    }
    if (format == DrawingFormat::Emf) {
        return CreateEmfCanvas(path, *measure, face, height, figure);
    }
    return CreateSvgCanvas(path, *measure, height, SvgFamilyFor(figure), figure);
}

} // namespace karvello
