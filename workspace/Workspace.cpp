#include "workspace/Workspace.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/FileWriter.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "drawing/DrawMaps.h"
#include "drawing/Rounding.h"
#include "drawing/SurfaceAdapters.h"
#include "mapdata/InputReader.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"
#include "mapdata/Transforms.h"

namespace karvello {

namespace {

[[noreturn]] void ListIndexOutOfBounds(int index) {
    throw KarvelloError("List index out of bounds (" + DecimalText(index) + ")");
}

// Restores the reading state that ReadInputFile gives every marker, undoing
// the marks that maps read before a failure left behind.
void UnmarkMarkers(MarkerTable& markers) {
    for (auto& marker : markers) {
        marker.Mapped = false;
        marker.Chromosome = 0;
        marker.Position = 0;
    }
}

// The parts of the progress bar, in thousandths, that reading the input file
// and drawing (before a canvas's Commit) take.
constexpr std::uint64_t kInputShare = 100;
constexpr std::uint64_t kDrawShare = 200;

// Passes everything on to the inner surface, and reports each map begun as
// one more of count done.
class ProgressSurface : public PassThroughSurface<Surface> {
  public:
    ProgressSurface(Surface& inner, std::size_t count, ProgressFn progress)
        : PassThroughSurface(inner), count_(count), progress_(std::move(progress)) {}

    void BeginMap(int mapNumber) override {
        ReportProgress(progress_, begun_, count_);
        ++begun_;
        PassThroughSurface::BeginMap(mapNumber);
    }

  private:
    std::size_t count_;
    ProgressFn progress_;
    std::size_t begun_ = 0;
};

// Puts the surface back into the mapping mode it had, also when drawing
// fails halfway, so that a preview never leaves the box in the metric mode.
class MapModeRestorer {
  public:
    explicit MapModeRestorer(PreviewSurface& surface)
        : surface_(surface), mode_(surface.MapMode()) {}
    ~MapModeRestorer() {
        try {
            surface_.SetMapMode(mode_);
        } catch (...) {
            // The surface already failed; the error that ended the drawing is
            // the one the user sees.
        }
    }
    MapModeRestorer(const MapModeRestorer&) = delete;
    MapModeRestorer& operator=(const MapModeRestorer&) = delete;

  private:
    PreviewSurface& surface_;
    MappingMode mode_;
};

// round(box * extent / screen): the product in integers wide enough never to
// overflow, the quotient in floating point.
std::int32_t ScaledLength(int boxPx, int extent, int screenPx) {
    if (screenPx <= 0) {
        return 0;
    }
    const auto product = static_cast<std::int64_t>(boxPx) * static_cast<std::int64_t>(extent);
    return RoundHalfEven(static_cast<double>(product) / static_cast<double>(screenPx));
}

} // namespace

bool FileBeginsLikeAnInputFile(const std::string& path) {
    // Only a regular file is looked into: reading the start of a named pipe
    // would wait for a writer and take bytes that the load then misses.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    // The heading is short: a few hundred bytes say it, whatever the file.
    std::ifstream file(path, std::ios::binary);
    char start[256];
    file.read(start, sizeof start);
    const std::string_view read(start, static_cast<std::size_t>(file.gcount()));
    return BeginsLikeAnInputFile(read.substr(0, read.find('\n')));
}

namespace {

std::string MapListEntry(const LinkageMap& map) {
    return DecimalText(map.MapNumber) + ": " +
           DecimalText(static_cast<std::int64_t>(map.Markers.size())) +
           (map.Markers.size() == 1 ? " marker, " : " markers, ") + MapLengthText(map) + " cM";
}

} // namespace

std::string BuildInformationText(const MarkerTable& markers) {
    constexpr std::string_view kUnmapped = "Unmapped markers:\r\n"
                                           "=================\r\n";
    constexpr std::string_view kPositions = "\r\n"
                                            "Marker positions (chromosome, position)\r\n"
                                            "=======================================\r\n";
    // The text runs to megabytes for a large file, so its length is counted
    // first and it is written once into room of that size.
    std::size_t size = kUnmapped.size() + kPositions.size();
    for (const auto& marker : markers) {
        if (!marker.Mapped) {
            size += marker.Name.size() + 2;
        }
        size += DecimalLength(marker.Chromosome) + DecimalLength(marker.Position) +
                marker.Name.size() + 4;
    }
    std::string text(size, '\0');
    char* out = text.data();
    char* const end = out + size;
    const auto put = [&out](std::string_view part) {
        out = std::copy(part.begin(), part.end(), out);
    };
    put(kUnmapped);
    for (const auto& marker : markers) {
        if (!marker.Mapped) {
            put(marker.Name);
            put("\r\n");
        }
    }
    put(kPositions);
    for (const auto& marker : markers) {
        out = std::to_chars(out, end, marker.Chromosome).ptr;
        *out++ = '\t';
        out = std::to_chars(out, end, marker.Position).ptr;
        *out++ = '\t';
        put(marker.Name);
        put("\r\n");
    }
    return text;
}

namespace {

// A position in cM as a table writes it: at most four decimals, no trailing
// zeros. Positions lie within 1e9 cM, so ten-thousandths fit 64 bits.
void AppendPosition(std::string& text, double position) {
    const std::int64_t units = std::llround(position * 1e4);
    if (units < 0) {
        text += '-';
    }
    const std::uint64_t magnitude =
        units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    text += DecimalText(static_cast<std::int64_t>(magnitude / 10000));
    std::uint64_t fraction = magnitude % 10000;
    if (fraction == 0) {
        return;
    }
    char digits[] = {'.', '0', '0', '0', '0'};
    for (std::size_t k = sizeof digits - 1; k >= 1; --k) {
        digits[k] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    std::size_t length = sizeof digits;
    while (digits[length - 1] == '0') {
        --length;
    }
    text.append(digits, length);
}

} // namespace

std::string BuildMapFileInformationText(const std::vector<LinkageMap>& maps,
                                        const MarkerTable& markers) {
    std::string text = "Marker positions (group, cM)\r\n"
                       "============================\r\n";
    for (const LinkageMap& map : maps) {
        const std::string group =
            map.GroupName.empty() ? DecimalText(map.MapNumber) : map.GroupName;
        double position = map.FirstPosition;
        for (const MapEntry& entry : map.Markers) {
            text += group;
            text += '\t';
            AppendPosition(text, position);
            text += '\t';
            if (entry.MarkerIndex >= 0 &&
                static_cast<std::size_t>(entry.MarkerIndex) < markers.size()) {
                text += markers[static_cast<std::size_t>(entry.MarkerIndex)].Name;
            }
            text += "\r\n";
            position += entry.Distance;
        }
    }
    return text;
}

Workspace::Workspace() = default;

bool Workspace::Ticked(int mapIndex) const {
    return mapIndex >= 0 && static_cast<std::size_t>(mapIndex) < ticked_.size() &&
           ticked_[mapIndex];
}

void Workspace::SetTicked(int mapIndex, bool ticked) {
    if (mapIndex < 0 || static_cast<std::size_t>(mapIndex) >= ticked_.size()) {
        ListIndexOutOfBounds(mapIndex);
    }
    ticked_[mapIndex] = ticked;
}

void Workspace::SetAllTicked(bool ticked) {
    ticked_.assign(ticked_.size(), ticked);
}

const std::string& Workspace::InformationText() const {
    if (informationPending_) {
        informationText_ = MapsFromMapFile() ? BuildMapFileInformationText(maps_, allMarkers_)
                                             : BuildInformationText(allMarkers_);
        informationPending_ = false;
    }
    return informationText_;
}

std::string Workspace::TakeInformationText() {
    InformationText();
    informationPending_ = true;
    return std::move(informationText_);
}

void Workspace::ClearMaps() {
    maps_.clear();
    mapListEntries_.clear();
    ticked_.clear();
    selectedMap_ = -1;
    mapFiles_.clear();
    mapsFromMapFile_ = false;
}

void Workspace::Load(const std::string& inputPath, const std::string& outputPath,
                     const ProgressFn& progress) {
    if (StartsAsGaryMarkerFile(inputPath)) {
        InformationText(); // the last load's text outlives a failed load
        ClearMaps();
        allMarkers_.clear();
        loadWarnings_.clear();
        const TextLines markerPositions = ReadTextLines(inputPath);
        const TextLines chromosomeIds = ReadTextLines(outputPath);
        TakeMapFile(ReadGaryPair(markerPositions, chromosomeIds, FullPathForMessage(inputPath),
                                 FullPathForMessage(outputPath)),
                    {inputPath, outputPath});
        return;
    }
    try {
        LoadPair(inputPath, outputPath, progress);
    } catch (const std::bad_alloc&) {
        ClearMaps();
        allMarkers_.clear();
        throw KarvelloError("Not enough memory to load the Mapmaker files \"" +
                            FullPathForMessage(inputPath) + "\" and \"" +
                            FullPathForMessage(outputPath) + "\".");
    }
}

bool Workspace::StartsAsGaryMarkerFile(const std::string& path) {
    // Only the first line that is not blank is read: an input file may be
    // large.
    // A file that cannot be read is left to the usual load, whose error
    // names it.
    std::string first;
    try {
        ReadTextLinesInTurn(path, [&first](std::string_view line) {
            first = line;
            return TrimText(line).empty();
        });
    } catch (const KarvelloError&) {
        return false;
    }
    const std::vector<std::string_view> lines = {first};
    return IsGaryMarkerFile(lines);
}

void Workspace::LoadPair(const std::string& inputPath, const std::string& outputPath,
                         const ProgressFn& progress) {
    InformationText(); // the last load's text outlives a failed load
    ClearMaps();
    allMarkers_.clear();
    encoding_ = CharacterEncoding::Windows1252; // what the input file's names are read as
    loadWarnings_.clear();

    bool inputLooksRight = false;
    {
        // Only each marker's name and whether a code makes it dominant are
        // kept, so the input file (the larger of the two by far) is read
        // line by line through one small buffer rather than held whole.
        // An entry of a real file takes sixteen bytes or more (a name and
        // the codes of more than a handful of individuals), which bounds the
        // room a header's count may reserve; the table of a file of shorter
        // entries, or of a wrong count, grows as it is filled.
        std::error_code unknown;
        const std::uintmax_t size = std::filesystem::file_size(inputPath, unknown);
        InputFileReader reader(allMarkers_, unknown ? 0 : static_cast<std::size_t>(size / 16 + 1));
        try {
            ReadTextLinesInTurn(inputPath,
                                [&reader](std::string_view line) { return reader.Take(line); });
        } catch (...) {
            // A read that fails part way keeps none of the file, as one that
            // fails at once.
            allMarkers_.clear();
            throw;
        }
        inputLooksRight = reader.BeginsLikeAnInputFile();
    }
    // The input file is read in a moment; the output file's maps take the time.
    ReportProgress(progress, kInputShare, kProgressSteps);
    const TextLines output = ReadTextLines(outputPath);
    try {
        maps_ = ReadAllMaps(output.lines(), allMarkers_,
                            ProgressPart(progress, kInputShare, kProgressSteps));
    } catch (const MarkerNumberError& error) {
        // The pair does not belong together: nothing of the output file is
        // kept, as when it could not be opened at all.
        UnmarkMarkers(allMarkers_);
        throw KarvelloError(error.MessageFor(outputPath));
    } catch (...) {
        UnmarkMarkers(allMarkers_);
        throw;
    }
    for (const LinkageMap& map : maps_) {
        mapListEntries_.push_back(MapListEntry(map));
    }
    ticked_.assign(maps_.size(), false);
    mapsLoaded_ = true;
    mapFiles_ = {inputPath, outputPath};
    informationPending_ = true;
    Recolour();

    if (!inputLooksRight) {
        loadWarnings_.push_back("The input file \"" + FullPathForMessage(inputPath) +
                                "\" does not begin with Mapmaker's \"data type\" line, so it may "
                                "not be a Mapmaker input file.");
    }
    if (maps_.empty()) {
        loadWarnings_.push_back("No map was found in the output file \"" +
                                FullPathForMessage(outputPath) +
                                "\": a map begins with a line \"Map:\" followed by its marker "
                                "table, as Mapmaker writes it.");
    }
}

void Workspace::LoadMapFile(const std::string& path) {
    InformationText(); // the last load's text outlives a failed load
    ClearMaps();
    allMarkers_.clear();
    loadWarnings_.clear();
    MapFile file;
    {
        const TextLines lines = ReadTextLines(path);
        file = ReadMapFile(lines, FullPathForMessage(path));
    }
    TakeMapFile(std::move(file), {path});
}

void Workspace::TakeMapFile(MapFile file, std::vector<std::string> paths) {
    allMarkers_ = std::move(file.Markers);
    maps_ = std::move(file.Maps);
    for (const LinkageMap& map : maps_) {
        mapListEntries_.push_back(MapListEntry(map));
    }
    ticked_.assign(maps_.size(), false);
    mapsLoaded_ = true;
    mapFiles_ = std::move(paths);
    mapsFromMapFile_ = true;
    encoding_ = file.Encoding;
    informationPending_ = true;
    Recolour();
    loadWarnings_ = std::move(file.Warnings);
}

void Workspace::Select(int mapIndex) {
    if (mapIndex < -1 || (mapIndex >= 0 && static_cast<std::size_t>(mapIndex) >= maps_.size())) {
        ListIndexOutOfBounds(mapIndex);
    }
    selectedMap_ = mapIndex;
    if (selectedMap_ != -1) {
        // Setting the box runs Flip, which stores the same value back.
        Flip(maps_[selectedMap_].Flipped);
    }
}

void Workspace::Flip(bool state) {
    flipBox_ = state;
    if (selectedMap_ != -1) {
        maps_[selectedMap_].Flipped = state;
    }
}

void Workspace::SetFlipped(int mapIndex, bool flipped) {
    if (mapIndex < 0 || static_cast<std::size_t>(mapIndex) >= maps_.size()) {
        ListIndexOutOfBounds(mapIndex);
    }
    maps_[mapIndex].Flipped = flipped;
    if (mapIndex == selectedMap_) {
        flipBox_ = flipped;
    }
}

void Workspace::AcceptOptions(const PageLengths& settings, RgbColour defaultColour,
                              const ColourRangeList& ranges) {
    // The ranges may be the caller's view of our own list, so copy first.
    ColourRangeList accepted = ranges;
    defaultColour_ = defaultColour;
    colourRanges_ = std::move(accepted);
    settings_ = settings;
    Recolour();
}

AllSettings Workspace::SettingsFile() const {
    AllSettings file;
    file.Draw = settings_;
    file.Figure = figure_;
    file.DefaultColour = defaultColour_;
    file.Ranges = colourRanges_;
    file.Annotations = annotations_;
    file.Annotations.Qtls.clear();
    if (qtlTable_) {
        file.QtlFile = qtlTable_->FileName;
    }
    return file;
}

std::string Workspace::SettingsFileText() const {
    return WriteSettingsText(SettingsFile(), allMarkers_);
}

void Workspace::LoadSettingsFile(const std::string& path) {
    ApplySettingsFile(ReadSettingsFile(path, SettingsFile(), allMarkers_));
    settingsFiles_.push_back(path);
}

void Workspace::ApplySettingsFile(const AllSettings& file) {
    // A QTL table named anew is read before anything changes, so that a
    // table that fails leaves the settings as they were.
    std::optional<QtlTableFile> qtlTable = qtlTable_;
    if (file.QtlFile.empty()) {
        qtlTable.reset();
    } else if (!qtlTable_ || file.QtlFile != qtlTable_->FileName) {
        qtlTable = ReadCheckedQtlTable(file.QtlFile);
        NoteReadFile(file.QtlFile);
    }
    AcceptOptions(file.Draw, file.DefaultColour, file.Ranges);
    figure_ = file.Figure;
    annotations_ = file.Annotations;
    qtlTable_ = std::move(qtlTable);
}

void Workspace::SaveSettingsFile(const std::string& path) const {
    PrepareSettingsFile(path)->Commit();
}

std::unique_ptr<AtomicFileWriter> Workspace::PrepareSettingsFile(const std::string& path) const {
    // A settings file read may be saved over; the data and tables may not.
    RefuseReadFile(path, "save the settings into", false);
    auto writer = std::make_unique<AtomicFileWriter>(path);
    writer->Write(SettingsFileText());
    return writer;
}

void Workspace::Recolour() {
    const auto last = static_cast<std::int32_t>(allMarkers_.size()) - 1;
    ApplyColourRange(allMarkers_, 0, last, defaultColour_);
    for (const auto& range : colourRanges_) {
        ApplyColourRange(allMarkers_, range.StartIndex, range.EndIndex, range.Colour);
    }
}

PageLengths Workspace::PreviewSettings(const PageLengths& settings, int boxWidthPx, int boxHeightPx,
                                       int extentCx, int extentCy, int screenWidthPx,
                                       int screenHeightPx) {
    PageLengths local = settings;
    local.PageHeight = ScaledLength(boxHeightPx, extentCy, screenHeightPx);
    local.PageWidth = ScaledLength(boxWidthPx, extentCx, screenWidthPx);
    return local;
}

void Workspace::RenderPreview(PreviewSurface& surface, int boxWidthPx, int boxHeightPx,
                              int screenWidthPx, int screenHeightPx) const {
    surface.FillBackground(boxWidthPx, boxHeightPx);
    if (selectedMap_ == -1 || !mapsLoaded_) {
        return;
    }
    MapModeRestorer restorer(surface);
    surface.SetMapMode(MappingMode::HiMetric);
    surface.SetTextEncoding(encoding_);
    const auto [cx, cy] = surface.WindowExtent();
    const PageLengths local =
        PreviewSettings(settings_, boxWidthPx, boxHeightPx, cx, cy, screenWidthPx, screenHeightPx);

    try {
        std::vector<LinkageMap> shown{maps_[selectedMap_]};
        if (flipBox_) {
            FlipMap(shown.front());
        }
        // One map in one row: the drawing has nothing to report.
        static_cast<void>(DrawMaps(shown, surface, local, allMarkers_));
    } catch (const std::bad_alloc&) {
        throw KarvelloError("Not enough memory to draw the preview of map " +
                            DecimalText(maps_[selectedMap_].MapNumber) + ".");
    }
}

std::vector<LinkageMap> Workspace::TickedMapCopies() const {
    std::vector<LinkageMap> copies;
    for (std::size_t i = 0; i < maps_.size(); ++i) {
        if (!ticked_[i]) {
            continue;
        }
        LinkageMap& copy = copies.emplace_back(maps_[i]);
        if (copy.Flipped) {
            FlipMap(copy);
        }
    }
    return copies;
}

std::vector<LinkageMap> Workspace::PageMapCopies() const {
    std::vector<LinkageMap> copies = TickedMapCopies();
    if (copies.empty() && selectedMap_ != -1) {
        LinkageMap& copy = copies.emplace_back(maps_[static_cast<std::size_t>(selectedMap_)]);
        if (copy.Flipped) {
            FlipMap(copy);
        }
    }
    return copies;
}

void Workspace::DrawPage(Surface& surface) const {
    const std::vector<LinkageMap> maps = PageMapCopies();
    surface.SetTextEncoding(encoding_);
    // The page shows what Draw writes; Draw's report tells what it found.
    static_cast<void>(
        DrawMaps(maps, surface, settings_, allMarkers_, figure_, AnnotationsFor(maps)));
}

FigureAnnotations Workspace::AnnotationsFor(const std::vector<LinkageMap>& maps) const {
    FigureAnnotations annotations = annotations_;
    annotations.Qtls.clear();
    if (qtlTable_) {
        annotations.Qtls = PlaceQtls(*qtlTable_, maps, &maps_);
    }
    // Titles typed on a command line and QTL tables are UTF-8; the names of a
    // Mapmaker load, and so everything drawn beside them, are Windows-1252.
    if (encoding_ == CharacterEncoding::Windows1252) {
        for (auto& [number, title] : annotations.TitleTexts) {
            title = Utf8AsWindows1252(title);
        }
        for (PlacedQtl& placed : annotations.Qtls) {
            placed.Qtl.Name = Utf8AsWindows1252(placed.Qtl.Name);
        }
    }
    return annotations;
}

QtlTableFile Workspace::ReadCheckedQtlTable(const std::string& path) const {
    const TextLines lines = ReadTextLines(path);
    RefuseNul(lines, FullPathForMessage(path));
    QtlTableFile table = ReadQtlTable(lines.lines(), FullPathForMessage(path));
    if (!maps_.empty()) {
        // every QTL on a map of the data, within it
        PlaceQtls(table, maps_, &maps_, &table.Warnings);
    }
    return table;
}

void Workspace::LoadQtlTable(const std::string& path) {
    qtlTable_ = ReadCheckedQtlTable(path);
    NoteReadFile(path);
}

void Workspace::NoteReadFile(const std::string& path) {
    otherReadFiles_.push_back(path);
}

void Workspace::RefuseReadFile(const std::string& path, const char* action,
                               bool settingsToo) const {
    for (const auto* files : {&mapFiles_, &otherReadFiles_, &settingsFiles_}) {
        if (files == &settingsFiles_ && !settingsToo) {
            continue;
        }
        for (const std::string& read : *files) {
            if (IsSameFile(path, read)) {
                throw KarvelloError("Cannot " + std::string(action) + " \"" +
                                    FullPathForMessage(path) + "\": it is the file \"" +
                                    FullPathForMessage(read) +
                                    "\" that was read for this figure, which would be replaced. "
                                    "Choose another file name.");
            }
        }
    }
}

std::string Workspace::DrawWarning() const {
    if (BarRoom(settings_) > 0) {
        return {};
    }
    return "The page height (" + DecimalText(settings_.PageHeight) +
           ") leaves no room for the bars: it must be more than the top and bottom margins and "
           "twice the bar tail length (" +
           DecimalText(std::int64_t{settings_.TopMargin} + settings_.BottomMargin +
                       2 * std::int64_t{settings_.TailLength}) +
           " together), or the maps are drawn upside down over each other.";
}

void Workspace::RequireTickedMaps() const {
    for (bool ticked : ticked_) {
        if (ticked) {
            return;
        }
    }
    throw KarvelloError("No map is ticked. Tick the maps to draw.");
}

DrawReport Workspace::Draw(const std::string& path, const FileCanvasFactory& canvasFactory,
                           const ProgressFn& progress) const {
    RequireTickedMaps();
    RefuseReadFile(path, "draw into", true);
    try {
        return DrawInto(path, canvasFactory, progress);
    } catch (const std::bad_alloc&) {
        // The canvas is gone by now, and its temporary file with it.
        throw KarvelloError("Not enough memory to draw the maps into \"" +
                            FullPathForMessage(path) + "\".");
    }
}

DrawReport Workspace::DrawInto(const std::string& path, const FileCanvasFactory& canvasFactory,
                               const ProgressFn& progress) const {
    const std::vector<LinkageMap> maps = TickedMapCopies();
    std::unique_ptr<FileCanvas> canvas = canvasFactory ? canvasFactory(path, figure_) : nullptr;
    if (!canvas) {
        throw KarvelloError("Canvas does not allow drawing. No canvas could be made for \"" + path +
                            "\".");
    }
    // A canvas that does its work in Commit (painting an image) gets most of
    // the bar; the others are done when the last map is drawn.
    const bool commitWorks = progress && canvas->ReportCommitProgress(
                                             ProgressPart(progress, kDrawShare, kProgressSteps));
    canvas->surface().SetTextEncoding(encoding_);
    ProgressSurface surface(canvas->surface(), maps.size(),
                            ProgressPart(progress, 0, commitWorks ? kDrawShare : kProgressSteps));
    DrawReport report =
        DrawMaps(maps, surface, settings_, allMarkers_, figure_, AnnotationsFor(maps));
    canvas->Commit();
    ReportProgress(progress, kProgressSteps, kProgressSteps);
    return report;
}

} // namespace karvello
