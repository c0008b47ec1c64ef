#pragma once
// The map workspace: all the state of a run and every operation on it, apart
// from any window. The main window, the command line and the tests all drive
// this one object; the windows only read their controls and call it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "base/FileWriter.h"
#include "base/Progress.h"
#include "drawing/Canvas.h"
#include "drawing/DrawMaps.h"
#include "mapdata/Annotations.h"
#include "mapdata/FigureSettings.h"
#include "mapdata/MapRecords.h"
#include "mapdata/QtlTable.h"
#include "mapdata/SettingsFile.h"

namespace karvello {

struct MapFile;

// Whether the file at path begins as a Mapmaker input file does ("data
// type ..."); false when it cannot be read. Reads the first line only.
bool FileBeginsLikeAnInputFile(const std::string& path);

class Workspace {
  public:
    // Create: nothing loaded, no map selected, default settings, black
    // default colour, no colour ranges.
    Workspace();

    // --- state ---
    const MarkerTable& AllMarkers() const { return allMarkers_; }
    const std::vector<LinkageMap>& Maps() const { return maps_; }
    int SelectedMap() const { return selectedMap_; }
    bool MapsLoaded() const { return mapsLoaded_; }
    const ColourRangeList& ColourRanges() const { return colourRanges_; }
    RgbColour DefaultColour() const { return defaultColour_; }
    const PageLengths& Settings() const { return settings_; }
    // The figure settings (rows, font, line width, edge room, ...); their
    // defaults draw exactly what the fourteen settings alone draw.
    const FigureSettings& Figure() const { return figure_; }
    // Replaces the figure settings; nothing is redrawn or recoloured.
    void SetFigure(const FigureSettings& figure) { figure_ = figure; }
    // What the figure carries beside its maps. Its QTL come from the QTL
    // table, placed on the maps of each drawing; those set here are ignored.
    const FigureAnnotations& Annotations() const { return annotations_; }
    void SetAnnotations(FigureAnnotations annotations) { annotations_ = std::move(annotations); }
    // The QTL table that Draw and the page mark, if any.
    const std::optional<QtlTableFile>& QtlTable() const { return qtlTable_; }
    // Whether the maps loaded come from a map file of another program (not
    // a Mapmaker pair).
    bool MapsFromMapFile() const { return mapsFromMapFile_; }
    // The encoding of the marker names (and of the information text).
    CharacterEncoding TextEncoding() const { return encoding_; }
    void SetQtlTable(std::optional<QtlTableFile> table) { qtlTable_ = std::move(table); }
    // Reads the QTL table at path in place of the former one, and checks it
    // against the loaded maps, if any. Throws KarvelloError naming the file,
    // the line and the field; the former table then stays. A QTL of a map
    // that a drawing leaves out is left out of that drawing.
    void LoadQtlTable(const std::string& path);

    // The state of the controls the operations read: the "Flip vertically"
    // box and the tick of each entry of the maps list.
    bool FlipBox() const { return flipBox_; }
    // Whether the map's list entry is ticked; false for an index that names
    // no entry.
    bool Ticked(int mapIndex) const;
    // Ticks or unticks the map's list entry. Throws KarvelloError "List index
    // out of bounds (<index>)" for an index that names no entry.
    void SetTicked(int mapIndex, bool ticked);
    // Ticks or unticks every entry ("Tick all", "Tick none").
    void SetAllTicked(bool ticked);

    // --- operations ---

    // Load: replaces the marker table and the maps with those of the file
    // pair, rebuilds the map-list entries and the information text. Throws
    // KarvelloError ("Cannot open file ...", or the mismatched-pair message);
    // what the steps before the failure did stays done. After a failure the
    // maps, their list entries and ticks are empty, no map is selected, the
    // marker table holds the input file's markers as read (or nothing when
    // the input file failed), and MapsLoaded and the information text keep
    // their former values. A complete load gives the new marker table the
    // default colour and the colour ranges as AcceptOptions does. progress
    // hears how far the reading has come; when it throws (OperationCancelled)
    // the load fails with its exception as after any other failure. When the
    // memory runs out, the error says so and names both files; the marker
    // table is then empty as well.
    // R/qtl's gary pair, markerpos.txt and chrid.dat, is told by the first
    // file's first line and loaded as a map file is (LoadMapFile).
    void Load(const std::string& inputPath, const std::string& outputPath,
              const ProgressFn& progress = {});

    // Loads a map file of another mapping program (a map table, an R/qtl
    // cross file or a group file) in place of whatever was loaded, as Load
    // does: its markers, its maps with their group names and positions, and
    // its warnings (a name twice in one group). Throws KarvelloError naming
    // the file, the line and the field; after a failure no map is loaded and
    // the marker table is empty.
    void LoadMapFile(const std::string& path);

    // What the last complete load found odd without failing, one sentence
    // each, naming the file and what was expected: an input file that does
    // not begin with Mapmaker's "data type" line, an output file with no
    // map. Empty after a clean load and after a failed one.
    const std::vector<std::string>& LoadWarnings() const { return loadWarnings_; }

    // The maps list's entries, one per map: its number, its marker count and
    // its length in cM as the maps listing writes them, "2: 14 markers,
    // 63.5 cM".
    const std::vector<std::string>& MapListEntries() const { return mapListEntries_; }
    // The information text, CR LF line ends; empty until the first load, and
    // after a failed load still that of the last complete one. Built when
    // first asked for, as listing or drawing maps never needs it.
    const std::string& InformationText() const;
    // The information text handed over rather than copied, for a run that
    // shows it once: the workspace builds it again when next asked.
    std::string TakeInformationText();

    // Select: index of the selected list entry, -1 for none. Sets the flip
    // box to the selected map's Flipped. Throws KarvelloError "List index out
    // of bounds (<index>)" for any other index, changing nothing.
    void Select(int mapIndex);
    // Flip: the flip box changed to state; stored into the selected map.
    void Flip(bool state);
    // Sets whether the map is drawn upside down, leaving the selection as it
    // is; the flip box follows when the map is the selected one. Throws
    // KarvelloError "List index out of bounds (<index>)" for an index that
    // names no map, changing nothing.
    void SetFlipped(int mapIndex, bool flipped);

    // Accept options: takes the options window's results and recolours the
    // marker table (default colour first, then each range in order). Ranges
    // are clipped to the table as ApplyColourRange clips them, so one kept
    // from a larger table never reaches outside this one.
    void AcceptOptions(const PageLengths& settings, RgbColour defaultColour,
                       const ColourRangeList& ranges);

    // Every setting as one settings file holds it: the fourteen, the figure
    // settings, the default colour, the colour ranges, the annotations and
    // the QTL table's path.
    AllSettings SettingsFile() const;
    // The settings file's text of SettingsFile(), its ranges naming the
    // markers of the table loaded.
    std::string SettingsFileText() const;
    // Reads the settings file at path over the current settings and accepts
    // it as AcceptOptions, SetFigure and SetAnnotations do, with the QTL
    // table it names loaded as LoadQtlTable loads it. Throws KarvelloError for
    // a file (or QTL table) that cannot be read or holds an error, changing
    // nothing.
    void LoadSettingsFile(const std::string& path);
    // Accepts the settings as LoadSettingsFile accepts a file's: the QTL
    // table it names (a full path) is read when it is not the one loaded.
    // Throws KarvelloError, changing nothing.
    void ApplySettingsFile(const AllSettings& file);
    // Writes SettingsFileText() to path, all or nothing; a settings file read
    // may be replaced, the other files read may not. Throws KarvelloError.
    void SaveSettingsFile(const std::string& path) const;
    // Checks path as SaveSettingsFile does and writes SettingsFileText() into
    // a temporary file beside it, which replaces path only at the writer's
    // Commit; so the settings can be made ready before a drawing is written
    // and put in place after it. Throws KarvelloError.
    std::unique_ptr<AtomicFileWriter> PrepareSettingsFile(const std::string& path) const;

    // Paints the preview box: its background, then the selected map (a copy,
    // flipped when the flip box is ticked) on a page the size of the box.
    // What the surface or the drawing throws passes through, after the
    // surface has been put back into the mapping mode it had.
    void RenderPreview(PreviewSurface& surface, int boxWidthPx, int boxHeightPx, int screenWidthPx,
                       int screenHeightPx) const;

    // The page size the preview uses for a box of the given size in pixels:
    // settings with PageHeight = round(boxHeightPx * extentCy / screenHeightPx)
    // and PageWidth likewise, halves to the even neighbour. A screen size of
    // 0 or less gives a page size of 0; results are clipped to 32 bits.
    static PageLengths PreviewSettings(const PageLengths& settings, int boxWidthPx, int boxHeightPx,
                                       int extentCx, int extentCy, int screenWidthPx,
                                       int screenHeightPx);

    // Copies of the ticked maps in list order, flipped where their flag says.
    std::vector<LinkageMap> TickedMapCopies() const;
    // The maps of the page as Draw would write it: the ticked maps, or when
    // none is ticked the selected map (flipped where its flag says); none
    // when neither.
    std::vector<LinkageMap> PageMapCopies() const;
    // Draws the page's maps onto the surface with the current settings,
    // figure settings and colours, exactly as Draw draws them into a file. Throws what DrawMaps
    // and the surface throw.
    void DrawPage(Surface& surface) const;
    // A warning that Draw's result will not look as meant, empty when there
    // is none: the page height leaves no room for the bars between the
    // margins and the tails.
    std::string DrawWarning() const;
    // Throws KarvelloError "No map is ticked. Tick the maps to draw." when no
    // entry is ticked. Draw calls it first; the window calls it before it
    // shows the save dialog.
    void RequireTickedMaps() const;
    // Draw: the ticked maps into the file at path, through a canvas from the
    // factory, laid out with the figure settings. Returns what the drawing
    // has to tell the user (a map too wide for its row). Throws
    // KarvelloError; a failed draw leaves no file behind. progress hears how
    // far the drawing and the canvas's writing have come; when it throws
    // (OperationCancelled) the draw fails with its exception, and no file is
    // written. Running out of memory is the error "Not enough memory to draw
    // the maps into "<full path>".".
    // A path that is one of the files the figure was read from (the same
    // file, however named) is refused before anything is written.
    [[nodiscard]] DrawReport Draw(const std::string& path, const FileCanvasFactory& canvasFactory,
                                  const ProgressFn& progress = {}) const;
    // Counts a file read outside the workspace (a list of names) among the
    // files a drawing must never replace.
    void NoteReadFile(const std::string& path);

  private:
    void ClearMaps();
    void Recolour();
    // Whether the file's first line that is not blank is one of R/qtl's
    // gary markerpos.txt.
    static bool StartsAsGaryMarkerFile(const std::string& path);
    // Makes the maps of a map file read from paths the ones loaded.
    void TakeMapFile(MapFile file, std::vector<std::string> paths);
    void LoadPair(const std::string& inputPath, const std::string& outputPath,
                  const ProgressFn& progress);
    [[nodiscard]] DrawReport DrawInto(const std::string& path,
                                      const FileCanvasFactory& canvasFactory,
                                      const ProgressFn& progress) const;

    MarkerTable allMarkers_;
    std::vector<LinkageMap> maps_;
    int selectedMap_ = -1;
    bool mapsLoaded_ = false;
    ColourRangeList colourRanges_;
    RgbColour defaultColour_ = 0;
    PageLengths settings_;
    FigureSettings figure_;
    FigureAnnotations annotations_;
    std::optional<QtlTableFile> qtlTable_;
    // How the marker names' bytes stand for characters: Windows-1252 for a
    // Mapmaker load, the map file's own for a map file.
    CharacterEncoding encoding_ = CharacterEncoding::Windows1252;
    // The files read: the maps' files (replaced by each load), the others
    // (QTL tables, lists of names) and the settings files. Draw refuses to
    // write over any of them; saving settings over the first two.
    std::vector<std::string> mapFiles_;
    bool mapsFromMapFile_ = false;
    std::vector<std::string> otherReadFiles_;
    std::vector<std::string> settingsFiles_;
    // Throws "Cannot <action> "<path>": it is the file ... that was read" when
    // path is one of the files read (settings files only with settingsToo).
    void RefuseReadFile(const std::string& path, const char* action, bool settingsToo) const;
    QtlTableFile ReadCheckedQtlTable(const std::string& path) const;
    // The annotations for a drawing of these maps, with the QTL placed.
    FigureAnnotations AnnotationsFor(const std::vector<LinkageMap>& maps) const;

    bool flipBox_ = false;
    std::vector<bool> ticked_;
    std::vector<std::string> mapListEntries_;
    mutable std::string informationText_;
    // The last complete load's text is still to be built (from a map file's
    // maps, or from a Mapmaker marker table, as MapsFromMapFile says). It is
    // built before a load clears what it is built from.
    mutable bool informationPending_ = false;
    std::vector<std::string> loadWarnings_;
};

// The information text for a marker table: the unmapped markers' names, then
// every marker's chromosome, position and name; each line ends with CR LF.
std::string BuildInformationText(const MarkerTable& markers);
// The information text of a map file, in the same style: a heading, then one
// line a marker, map by map and top down: its group (the map's number when
// the map has no group name), its position in cM (at most four decimals)
// and its name, tab-separated, each line ended by CR LF.
std::string BuildMapFileInformationText(const std::vector<LinkageMap>& maps,
                                        const MarkerTable& markers);

} // namespace karvello
