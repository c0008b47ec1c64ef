#include "platform/FileCanvases.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "base/Error.h"
#include "base/FileWriter.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "base/Units.h"
#include "platform/PngStream.h"
#include "platform/QtPainterSurface.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "render/DrawingRecorder.h"
#include "render/FileCanvases.h"

namespace karvello {

namespace {

// PDF is drawn at one device unit per 1/100 mm, so its coordinates are the
// drawing's own.
constexpr int kVectorDotsPerInch = static_cast<int>(kUnitsPerInch);
// A PNG is painted in tiles at most this wide and kPngBandRows high (4 MB
// each), and a band of rows is held only while it fits kPngBandBytes; so an
// export needs well under 100 MB besides the drawing itself, whatever the
// image's size.
constexpr int kPngTileWidth = 4096;
constexpr int kPngBandRows = 256;
constexpr std::int64_t kPngBandBytes = std::int64_t{48} << 20;
// The largest page side common PDF readers open: 200 inches.
constexpr auto kMaxPdfPageUnits = static_cast<std::int64_t>(200 * kUnitsPerInch);

QString ToQPath(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

[[noreturn]] void ThrowWriteError(const std::string& path, const QString& reason) {
    throw KarvelloError("Cannot write file \"" + FullPathForMessage(path) + "\". " +
                        reason.toStdString());
}

// The text with every control character replaced by U+FFFD, the
// replacement character, so that document metadata stays valid text.
QString WithoutControlCharacters(QString text) {
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

// Maps the recorded drawing onto a device of dpi dots per inch whose top-left
// pixel shows the page's top-left corner, moved up by firstRow rows.
PainterMapping MappingFor(const PageBox& page, double dpi, int firstRow = 0) {
    PainterMapping mapping;
    const double scale = dpi / kUnitsPerInch;
    mapping.metricPxPerUnitX = scale;
    mapping.metricPxPerUnitY = scale;
    mapping.textModePxPerUnit = scale * kHiMetricPerReferencePixel;
    mapping.origin = QPointF(-static_cast<double>(page.Left) * scale,
                             -static_cast<double>(page.Top) * scale - firstRow);
    return mapping;
}

// The file being written, as a device for Qt's writers. A failed write is
// kept, not thrown through Qt's code: the writer sees -1 and stops, and the
// canvas reports the failure when the painter ends.
class FileDevice final : public QIODevice {
  public:
    explicit FileDevice(AtomicFileWriter& writer) : writer_(writer) { open(QIODevice::WriteOnly); }
    const std::string& Failure() const { return failure_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (!failure_.empty()) {
            return -1;
        }
        try {
            writer_.Write(data, static_cast<std::size_t>(size));
            return size;
        } catch (const std::exception& error) {
            failure_ = error.what();
            return -1;
        }
    }

  private:
    AtomicFileWriter& writer_;
    std::string failure_;
};

// A file being written under a temporary name in its folder.
class PendingFile {
  public:
    explicit PendingFile(const std::string& path) : writer_(Create(path)), device_(*writer_) {}
    QIODevice& device() { return device_; }
    AtomicFileWriter& writer() { return *writer_; }
    const std::string& path() const { return writer_->Path(); }
    void Write(const std::vector<std::uint8_t>& bytes) {
        CheckDevice();
        writer_->Write(bytes);
    }
    void Write(std::string_view bytes) {
        CheckDevice();
        writer_->Write(bytes);
    }
    // Renames the finished file to the target's name.
    void Commit() {
        CheckDevice();
        writer_->Commit();
    }
    // Throws the failure of a write made through the device, if any.
    void CheckDevice() {
        if (!device_.Failure().empty()) {
            writer_->Discard();
            throw KarvelloError(device_.Failure());
        }
    }
    // Ends the writing with the device's failure, or with reason.
    [[noreturn]] void Fail(const std::string& reason) {
        CheckDevice();
        writer_->Discard();
        ThrowWriteError(path(), QString::fromStdString(reason));
    }

  private:
    static std::unique_ptr<AtomicFileWriter> Create(const std::string& path) {
        try {
            return std::make_unique<AtomicFileWriter>(path);
        } catch (const FileCreateError& error) {
            throw KarvelloError(std::string("Canvas does not allow drawing. ") + error.what());
        }
    }
    std::unique_ptr<AtomicFileWriter> writer_;
    FileDevice device_;
};

class CanvasBase : public FileCanvas {
  public:
    void Commit() final {
        if (committed_) {
            throw KarvelloError("The drawing has already been written to \"" +
                                FullPathForMessage(file_.path()) + "\"");
        }
        WriteFile();
        file_.Commit();
        committed_ = true;
    }

  protected:
    explicit CanvasBase(const std::string& path) : file_(path) {}
    virtual void WriteFile() = 0;
    PendingFile file_;

  private:
    bool committed_ = false;
};

// PDF and PNG: drawn first onto a recorder, painted on Commit when the
// page size is known.
class PaintedCanvas : public CanvasBase {
  public:
    PaintedCanvas(const std::string& path, const TextMetrics& metrics, const FigureSettings& figure)
        : CanvasBase(path), metrics_(metrics), recorder_(metrics), figure_(figure) {}
    Surface& surface() override { return recorder_; }

  protected:
    // The page: everything drawn and the edge room around it.
    PageBox Page() const { return FigurePage(recorder_.Frame(), figure_); }
    int LineWidth() const { return FigureLineWidth(figure_); }
    // Paints the drawing with a painter already begun on a device of dpi.
    void Paint(QPainter& painter, double dpi, const PageBox& page) {
        QtPainterSurface surface(painter, MappingFor(page, dpi), metrics_, LineWidth());
        // Prepared as the metafile: metric mode, as the recording began.
        surface.SetMapMode(MappingMode::HiMetric);
        recorder_.Replay(surface);
    }
    void EndPainting(QPainter& painter) {
        if (!painter.end()) {
            file_.Fail("The painter could not finish the drawing.");
        }
        file_.CheckDevice();
    }

    const TextMetrics& metrics_;
    DrawingRecorder recorder_;
    FigureSettings figure_;
};

class PdfCanvas final : public PaintedCanvas {
  public:
    using PaintedCanvas::PaintedCanvas;

  private:
    void WriteFile() override {
        const PageBox page = Page();
        if (page.Width() > kMaxPdfPageUnits || page.Height() > kMaxPdfPageUnits) {
            ThrowWriteError(
                file_.path(),
                QStringLiteral("The page would be %1 x %2 mm, and PDF readers open no page larger "
                               "than 5080 mm (200 inches) on a side. Draw the maps in rows "
                               "(--width), fewer maps, or labels for fewer markers (--show-only, "
                               "--collapse), or write SVG.")
                    .arg(QString::fromStdString(DecimalText((page.Width() + 99) / 100)),
                         QString::fromStdString(DecimalText((page.Height() + 99) / 100))));
        }
        QPdfWriter writer(&file_.device());
        writer.setResolution(kVectorDotsPerInch);
        writer.setCreator(QStringLiteral("Karvello"));
        writer.setTitle(
            WithoutControlCharacters(QFileInfo(ToQPath(file_.path())).completeBaseName()));
        // PDF pages are measured in whole points; round up so nothing at the
        // right or bottom edge is cut.
        const QSize points(static_cast<int>(std::ceil(page.Width() / kUnitsPerPoint)),
                           static_cast<int>(std::ceil(page.Height() / kUnitsPerPoint)));
        writer.setPageLayout(QPageLayout(QPageSize(points, QString(), QPageSize::ExactMatch),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file_.Fail("The PDF writer could not be started.");
        }
        Paint(painter, kVectorDotsPerInch, page);
        EndPainting(painter);
    }
};

// A PNG is painted in tiles of bounded size, a band of rows at a time, and
// streamed into the file, so that its memory does not grow with the image:
// a band's pixels are kept only while they fit kPngBandBytes; a band of one
// row goes out tile by tile.
class PngCanvas final : public PaintedCanvas {
  public:
    PngCanvas(const std::string& path, const TextMetrics& metrics, const FigureSettings& figure)
        : PaintedCanvas(path, metrics, figure), dpi_(figure.Dpi) {}

    // Painting the image is the long part of a PNG: each band is reported.
    bool ReportCommitProgress(ProgressFn progress) override {
        progress_ = std::move(progress);
        return true;
    }

  private:
    ProgressFn progress_;

    void WriteFile() override {
        const PageBox page = Page();
        const double scale = dpi_ / kUnitsPerInch;
        const double widthPx = std::ceil(static_cast<double>(page.Width()) * scale);
        const double heightPx = std::ceil(static_cast<double>(page.Height()) * scale);
        if (widthPx * heightPx > static_cast<double>(kMaxPngPixels)) {
            ThrowWriteError(file_.path(), QString::fromStdString(TooManyPixels(widthPx, heightPx)));
        }
        const int width = static_cast<int>(widthPx);
        const int height = static_cast<int>(heightPx);
        const int tileWidth = std::min(width, kPngTileWidth);
        const int bandRows = static_cast<int>(std::clamp<std::int64_t>(
            kPngBandBytes / (3 * static_cast<std::int64_t>(width)), 1, kPngBandRows));

        QImage tile(tileWidth, std::min(bandRows, height), QImage::Format_RGB32);
        std::vector<std::uint8_t> band;
        try {
            band.resize(bandRows > 1 ? 3 * static_cast<std::size_t>(width) * bandRows
                                     : 3 * static_cast<std::size_t>(tileWidth));
        } catch (const std::bad_alloc&) {
            tile = QImage();
        }
        if (tile.isNull()) {
            ThrowWriteError(file_.path(),
                            QStringLiteral("There is not enough memory to paint the image."));
        }
        const int dotsPerMetre = static_cast<int>(std::lround(dpi_ / 0.0254));
        PngStream png(file_.writer(), width, height, dotsPerMetre);
        for (int firstRow = 0; firstRow < height; firstRow += bandRows) {
            ReportProgress(progress_, static_cast<std::uint64_t>(firstRow),
                           static_cast<std::uint64_t>(height));
            const int rows = std::min(bandRows, height - firstRow);
            for (int firstColumn = 0; firstColumn < width; firstColumn += tileWidth) {
                const int columns = std::min(tileWidth, width - firstColumn);
                PaintTile(tile, page, firstColumn, firstRow, columns, rows);
                for (int row = 0; row < rows; ++row) {
                    const auto* pixels = reinterpret_cast<const QRgb*>(tile.constScanLine(row));
                    std::uint8_t* rgb =
                        band.data() +
                        (bandRows > 1 ? 3 * (static_cast<std::size_t>(row) * width + firstColumn)
                                      : 0);
                    for (int x = 0; x < columns; ++x) {
                        rgb[3 * x] = static_cast<std::uint8_t>(qRed(pixels[x]));
                        rgb[3 * x + 1] = static_cast<std::uint8_t>(qGreen(pixels[x]));
                        rgb[3 * x + 2] = static_cast<std::uint8_t>(qBlue(pixels[x]));
                    }
                    if (bandRows == 1) {
                        png.WritePixels(rgb, static_cast<std::size_t>(columns));
                    }
                }
            }
            if (bandRows > 1) {
                png.WritePixels(band.data(), static_cast<std::size_t>(width) * rows);
            }
        }
        png.Finish();
        ReportProgress(progress_, static_cast<std::uint64_t>(height),
                       static_cast<std::uint64_t>(height));
    }

    // Paints the part of the page whose top-left pixel is (firstColumn,
    // firstRow) into the tile's top-left columns x rows.
    void PaintTile(QImage& tile, const PageBox& page, int firstColumn, int firstRow, int columns,
                   int rows) const {
        const double scale = dpi_ / kUnitsPerInch;
        tile.fill(Qt::white);
        QPainter painter;
        if (!painter.begin(&tile)) {
            ThrowWriteError(file_.path(), QStringLiteral("The image could not be painted."));
        }
        painter.setRenderHint(QPainter::TextAntialiasing);
        {
            PainterMapping mapping = MappingFor(page, dpi_, firstRow);
            mapping.origin.rx() -= firstColumn;
            QtPainterSurface surface(painter, mapping, metrics_, LineWidth());
            surface.SetMapMode(MappingMode::HiMetric);
            // A margin of a few pixels around the tile catches the strokes and
            // glyph edges that reach into it from outside.
            const auto margin = static_cast<std::int64_t>(std::ceil(4 / scale));
            const auto unitsAt = [scale](int px) { return static_cast<std::int64_t>(px / scale); };
            PageBox visible;
            visible.Include(page.Left + unitsAt(firstColumn) - margin,
                            page.Top + unitsAt(firstRow) - margin);
            visible.Include(page.Left + unitsAt(firstColumn + columns) + margin,
                            page.Top + unitsAt(firstRow + rows) + margin);
            recorder_.Replay(surface, visible);
            // The surface puts the painter's transform back when it goes,
            // which must happen while the painter is still active.
        }
        if (!painter.end()) {
            ThrowWriteError(file_.path(), QStringLiteral("The image could not be painted."));
        }
    }

    std::string TooManyPixels(double widthPx, double heightPx) const {
        const auto whole = [](double value) {
            return std::to_string(static_cast<long long>(std::min(value, 9e18)));
        };
        const double millions = widthPx * heightPx / 1e6;
        return "The drawing would be a PNG image of " + whole(widthPx) + " x " + whole(heightPx) +
               " pixels (" + whole(std::ceil(millions)) + " million) at " + std::to_string(dpi_) +
               " dpi, more than the " + std::to_string(kMaxPngPixels / 1000000) +
               " million a PNG may have. Choose a lower resolution, or draw it as SVG or PDF.";
    }

    int dpi_;
};

} // namespace

std::string DrawingFileDialogFilters() {
    std::string filters;
    for (const DrawingFormatInfo& info : DrawingFormats()) {
        if (!filters.empty()) {
            filters += ";;";
        }
        filters += std::string(info.Description) + " (*" + std::string(info.Extension) + ")";
    }
    return filters;
}

std::unique_ptr<FileCanvas> CreateFileCanvas(const std::string& path,
                                             const FigureSettings& figure) {
    const std::optional<DrawingFormat> format = DrawingFormatOf(path);
    if (!format) {
        throw KarvelloError("Cannot draw into \"" + path + "\": the file name must end in " +
                            DrawingExtensionList());
    }
    const FigureFont font = FigureTextFont(figure.FontFace, figure.FontHeight);
    switch (*format) {
    case DrawingFormat::Emf:
        return CreateEmfCanvas(path, *font.metrics, font.face, font.height, figure);
    case DrawingFormat::Svg:
        return CreateSvgCanvas(path, *font.metrics, font.height, SvgFamilyFor(figure), figure);
    case DrawingFormat::Pdf:
        return std::make_unique<PdfCanvas>(path, *font.metrics, figure);
    case DrawingFormat::Png:
        return std::make_unique<PngCanvas>(path, *font.metrics, figure);
    }
    throw KarvelloError("Cannot draw into \"" + path + "\"");
}

} // namespace karvello
