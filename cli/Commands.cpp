#include "cli/Commands.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/FileWriter.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "cli/Text.h"
#include "drawing/DrawMaps.h"
#include "mapdata/FigureSettingsTable.h"
#include "mapdata/MapNames.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

bool AllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The markers a range's text can begin and end with, found in one pass over
// the table: a name that the text begins with and that a dash follows, keyed
// by that dash's position; a name the text ends with, keyed by the dash before
// it. Digits before the first dash or after the last are an index. Trying
// every split of a long range is then linear.
class RangeEnds {
  public:
    RangeEnds(std::string_view text, const MarkerTable& markers)
        : text_(text), markers_(markers), firstDash_(text.find('-')), lastDash_(text.rfind('-')) {
        for (std::size_t i = 0; i < markers.size(); ++i) {
            const std::string_view name = markers[i].Name;
            if (name.empty() || name.size() >= text.size()) {
                continue;
            }
            const auto index = static_cast<std::int32_t>(i);
            if (text[name.size()] == '-' && text.starts_with(name)) {
                starts_.try_emplace(name.size(), index); // the first of a name wins
            }
            if (const std::size_t dash = text.size() - name.size() - 1;
                text[dash] == '-' && text.ends_with(name)) {
                ends_.try_emplace(dash, index);
            }
        }
    }

    // The marker before (or after) the dash at this position; empty when the
    // table holds no such marker.
    std::optional<std::int32_t> StartAt(std::size_t dash) const {
        if (dash == firstDash_ && AllDigits(text_.substr(0, dash))) {
            return IndexMarker(text_.substr(0, dash));
        }
        return Found(starts_, dash);
    }
    std::optional<std::int32_t> EndAt(std::size_t dash) const {
        if (dash == lastDash_ && AllDigits(text_.substr(dash + 1))) {
            return IndexMarker(text_.substr(dash + 1));
        }
        return Found(ends_, dash);
    }

  private:
    using ByDash = std::unordered_map<std::size_t, std::int32_t>;
    std::optional<std::int32_t> IndexMarker(std::string_view digits) const {
        std::size_t index = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (error != std::errc() || end != digits.data() + digits.size() ||
            index >= markers_.size()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(index);
    }
    static std::optional<std::int32_t> Found(const ByDash& byDash, std::size_t dash) {
        const auto found = byDash.find(dash);
        return found == byDash.end() ? std::nullopt : std::optional(found->second);
    }

    std::string_view text_;
    const MarkerTable& markers_;
    std::size_t firstDash_;
    std::size_t lastDash_;
    ByDash starts_;
    ByDash ends_;
};

// What the loaded maps were read from, for a message.
std::string_view MapSource(const Workspace& workspace) {
    return workspace.MapsFromMapFile() ? "map file" : "output file";
}

std::string UnknownMarker(std::string_view text, const MarkerTable& markers) {
    if (AllDigits(text)) {
        if (markers.empty()) {
            return "There is no marker with index " + cli::ShortArgument(text) +
                   ": the input file holds no markers.";
        }
        return "There is no marker with index " + cli::ShortArgument(text) +
               ": the input file holds " + DecimalText(static_cast<std::int64_t>(markers.size())) +
               " markers, indexes 0 to " +
               DecimalText(static_cast<std::int64_t>(markers.size()) - 1) + ".";
    }
    return "There is no marker named " + cli::QuoteArgument(text) + " in the input file.";
}

// The indexes of the maps a --maps or --flip list names (mapdata/MapNames.h).
std::vector<std::size_t> NamedMaps(std::string_view list, std::string_view option,
                                   const Workspace& workspace, std::vector<std::string>* warnings) {
    std::vector<std::string> found;
    const std::vector<std::size_t> indexes = FindNamedMaps(
        list, workspace.Maps(), "in " + std::string(option), MapSource(workspace), found);
    if (warnings != nullptr) {
        warnings->insert(warnings->end(), found.begin(), found.end());
    }
    return indexes;
}

// The names of --show-only: a comma-separated list, or "@FILE" for a file
// with one name a line. Blank entries are left out. Names typed in the list
// are UTF-8, and are converted to Windows-1252 for names read in that code
// page, as titles are; a file's names are taken as they are written.
std::unordered_set<std::string> ShowOnlyNames(const std::string& value,
                                              CharacterEncoding encoding) {
    std::unordered_set<std::string> names;
    const auto add = [&names](std::string_view name) {
        name = TrimText(name);
        if (!name.empty()) {
            names.emplace(name);
        }
    };
    if (value.starts_with('@')) {
        const TextLines lines = ReadTextLines(value.substr(1));
        RefuseNul(lines, FullPathForMessage(value.substr(1)));
        bool first = true;
        for (const std::string_view line : lines.lines()) {
            add(first ? WithoutByteOrderMark(line) : line);
            first = false;
        }
    } else {
        const std::string typed =
            encoding == CharacterEncoding::Windows1252 ? Utf8AsWindows1252(value) : value;
        std::string_view rest = typed;
        for (auto comma = rest.find(','); comma != std::string_view::npos; comma = rest.find(',')) {
            add(rest.substr(0, comma));
            rest.remove_prefix(comma + 1);
        }
        add(rest);
    }
    return names;
}

// A warning naming the --show-only names that no marker has, at most ten.
std::string UnknownNamesWarning(const std::unordered_set<std::string>& names,
                                const MarkerTable& markers) {
    std::unordered_set<std::string_view> known;
    known.reserve(markers.size());
    for (const Marker& marker : markers) {
        known.insert(marker.Name);
    }
    std::vector<std::string> unknown;
    for (const std::string& name : names) {
        if (!known.contains(name)) {
            unknown.push_back(name);
        }
    }
    if (unknown.empty()) {
        return {};
    }
    std::sort(unknown.begin(), unknown.end());
    std::string listed;
    for (std::size_t i = 0; i < unknown.size() && i < 10; ++i) {
        listed += (i == 0 ? "" : ", ") + Quote(unknown[i]);
    }
    if (unknown.size() > 10) {
        listed += " and " + DecimalText(static_cast<std::int64_t>(unknown.size() - 10)) + " more";
    }
    return "--show-only names " + DecimalText(static_cast<std::int64_t>(unknown.size())) +
           (unknown.size() == 1 ? " marker" : " markers") + " that no map has: " + listed + ".";
}

void RunDraw(const CliRequest& request, Workspace& workspace,
             const FileCanvasFactory& canvasFactory, std::vector<std::string>* warnings) {
    if (!request.SaveSettingsPath.empty() &&
        WouldBeSameFile(request.SaveSettingsPath, request.DrawPath)) {
        throw KarvelloError("The drawing and the settings would both be written to " +
                            cli::QuoteArgument(FullPathForMessage(request.DrawPath)) +
                            "; give --save-settings another file name.");
    }
    if (!request.SettingsPath.empty()) {
        workspace.LoadSettingsFile(request.SettingsPath);
    }
    PageLengths settings = workspace.Settings();
    for (const auto& setting : request.Settings) {
        SetDrawSetting(settings, setting.Field, setting.Value);
    }
    // The command line's ranges apply after the file's.
    ColourRangeList ranges = workspace.ColourRanges();
    for (const auto& range : request.Ranges) {
        CliRange typed = range;
        if (workspace.TextEncoding() == CharacterEncoding::Windows1252) {
            typed.Markers = Utf8AsWindows1252(range.Markers);
        }
        ranges.push_back(ResolveRange(typed, workspace.AllMarkers()));
    }
    workspace.AcceptOptions(settings, request.DefaultColour.value_or(workspace.DefaultColour()),
                            ranges);

    workspace.SetFigure(WithFigureOptions(workspace.Figure(), request));
    // The command line's annotations go over the settings file's.
    FigureAnnotations annotations = workspace.Annotations();
    PutAnnotationsOver(annotations, request.Annotations);
    for (const CliTitle& title : request.Titles) {
        NamedMap found = FindNamedMap(title.Map, workspace.Maps(), "in --title");
        if (found.Index == workspace.Maps().size()) {
            throw KarvelloError(
                "--title " + cli::QuoteArgument(title.Map + "=" + title.Text) + ": " +
                NoSuchMapMessage(title.Map, workspace.Maps(), MapSource(workspace)));
        }
        if (warnings != nullptr && !found.Warning.empty()) {
            warnings->push_back(std::move(found.Warning));
        }
        annotations.TitleTexts.insert_or_assign(workspace.Maps()[found.Index].MapNumber,
                                                title.Text);
    }
    if (request.ShowOnly) {
        annotations.ShowOnly = ShowOnlyNames(*request.ShowOnly, workspace.TextEncoding());
        if (annotations.ShowOnly->empty()) {
            throw KarvelloError(request.ShowOnly->starts_with('@')
                                    ? "--show-only " + cli::QuoteArgument(*request.ShowOnly) +
                                          ": the file " +
                                          Quote(FullPathForMessage(request.ShowOnly->substr(1))) +
                                          " names no marker; write one name a line."
                                    : "--show-only " + cli::QuoteArgument(*request.ShowOnly) +
                                          " names no marker; write the names as a,b,c or @FILE.");
        }
        if (request.ShowOnly->starts_with('@')) {
            workspace.NoteReadFile(request.ShowOnly->substr(1));
        }
        if (std::string warning =
                UnknownNamesWarning(*annotations.ShowOnly, workspace.AllMarkers());
            warnings != nullptr && !warning.empty()) {
            warnings->push_back(std::move(warning));
        }
    }
    workspace.SetAnnotations(std::move(annotations));
    if (!request.QtlPath.empty()) {
        workspace.LoadQtlTable(request.QtlPath);
    }
    if (const auto& table = workspace.QtlTable(); table && warnings != nullptr) {
        warnings->insert(warnings->end(), table->Warnings.begin(), table->Warnings.end());
    }

    std::vector<std::size_t> flipped;
    for (const std::string& list : request.FlipLists) {
        const std::vector<std::size_t> named = NamedMaps(list, "--flip", workspace, warnings);
        flipped.insert(flipped.end(), named.begin(), named.end());
    }
    const std::vector<std::size_t> chosen =
        request.MapList ? NamedMaps(*request.MapList, "--maps", workspace, warnings)
                        : std::vector<std::size_t>();
    for (const std::size_t index : flipped) {
        workspace.SetFlipped(static_cast<int>(index), true);
    }
    if (request.MapList) {
        for (const std::size_t index : chosen) {
            workspace.SetTicked(static_cast<int>(index), true);
        }
        // The order named is the figure layout's order of the maps (none
        // when it is the file's), kept with the other figure settings.
        FigureSettings figure = workspace.Figure();
        figure.MapOrder.clear();
        if (!std::is_sorted(chosen.begin(), chosen.end())) {
            for (const std::size_t index : chosen) {
                figure.MapOrder += (figure.MapOrder.empty() ? "" : ",") +
                                   DecimalText(workspace.Maps()[index].MapNumber);
            }
        }
        workspace.SetFigure(figure);
    } else {
        for (std::size_t i = 0; i < workspace.Maps().size(); ++i) {
            workspace.SetTicked(static_cast<int>(i), true);
        }
    }
    if (workspace.Maps().empty()) {
        throw KarvelloError("There is no map to draw: the output file " +
                            Quote(request.OutputPath) + " holds no map.");
    }
    if (request.MapList && chosen.empty()) {
        throw KarvelloError("No map is chosen: --maps names no map to draw.");
    }
    if (std::string warning = workspace.DrawWarning(); warnings != nullptr && !warning.empty()) {
        warnings->push_back(std::move(warning));
    }
    // Every output is checked, and the settings made ready, before the
    // drawing is written; the settings take their place after it.
    std::unique_ptr<AtomicFileWriter> settingsFile;
    if (!request.SaveSettingsPath.empty()) {
        settingsFile = workspace.PrepareSettingsFile(request.SaveSettingsPath);
    }
    const DrawReport report = workspace.Draw(request.DrawPath, canvasFactory);
    if (warnings != nullptr) {
        warnings->insert(warnings->end(), report.Warnings.begin(), report.Warnings.end());
    }
    if (settingsFile) {
        settingsFile->Commit();
    }
}

} // namespace

std::string MapsListing(const Workspace& workspace) {
    std::string text;
    for (const auto& map : workspace.Maps()) {
        text += DecimalText(map.MapNumber);
        text += '\t';
        text += DecimalText(static_cast<std::int64_t>(map.Markers.size()));
        text += '\t';
        text += DecimalText(static_cast<std::int64_t>(map.Placed.size()));
        text += '\t';
        text += MapLengthText(map);
        text += '\n';
    }
    return text;
}

ColourRange ResolveRange(const CliRange& range, const MarkerTable& markers) {
    const std::string_view text = range.Markers;
    const RangeEnds ends(text, markers);
    std::vector<ColourRange> fits;
    std::size_t splits = 0;
    std::size_t onlySplit = 0;
    for (std::size_t dash = text.find('-'); dash != std::string_view::npos;
         dash = text.find('-', dash + 1)) {
        const std::string_view from = text.substr(0, dash);
        const std::string_view to = text.substr(dash + 1);
        if (from.empty() || to.empty()) {
            continue;
        }
        ++splits;
        onlySplit = dash;
        const auto start = ends.StartAt(dash);
        const auto end = ends.EndAt(dash);
        if (start && end) {
            fits.push_back({*start, *end, range.Colour});
        }
    }
    if (fits.size() > 1) {
        throw KarvelloError(
            "The range " + cli::QuoteArgument(text) +
            " can be read as more than one pair of markers; give marker indexes instead.");
    }
    if (fits.size() == 1) {
        const ColourRange& fit = fits.front();
        if (fit.StartIndex > fit.EndIndex) {
            throw KarvelloError("The range " + cli::QuoteArgument(text) +
                                " runs backwards: marker " + DecimalText(fit.StartIndex) + " (" +
                                cli::QuoteArgument(markers[fit.StartIndex].Name) +
                                ") comes after marker " + DecimalText(fit.EndIndex) + " (" +
                                cli::QuoteArgument(markers[fit.EndIndex].Name) +
                                ") in the input file. Give the earlier marker first.");
        }
        return fit;
    }
    if (splits == 1) {
        throw KarvelloError("In the range " + cli::QuoteArgument(text) + ": " +
                            UnknownMarker(ends.StartAt(onlySplit) ? text.substr(onlySplit + 1)
                                                                  : text.substr(0, onlySplit),
                                          markers));
    }
    throw KarvelloError("The range " + cli::QuoteArgument(text) +
                        " does not name two markers of the input file as FROM-TO.");
}

std::string RunRequest(const CliRequest& request, const FileCanvasFactory& canvasFactory,
                       std::vector<std::string>* warnings) {
    Workspace workspace;
    if (request.OutputPath.empty()) {
        workspace.LoadMapFile(request.InputPath);
    } else {
        workspace.Load(request.InputPath, request.OutputPath);
    }
    if (warnings != nullptr) {
        warnings->insert(warnings->end(), workspace.LoadWarnings().begin(),
                         workspace.LoadWarnings().end());
    }
    switch (request.Command) {
    case CliCommand::Info:
        return workspace.TakeInformationText();
    case CliCommand::Maps:
        return MapsListing(workspace);
    case CliCommand::Draw:
        RunDraw(request, workspace, canvasFactory, warnings);
        return {};
    case CliCommand::Help:
    case CliCommand::Version:
    case CliCommand::Open:
        break;
    }
    return {};
}

} // namespace karvello
