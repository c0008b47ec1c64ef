#pragma once
// The command line parsed into a plain request, apart from carrying it out,
// so that every spelling of an argument can be checked without any file.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "mapdata/Annotations.h"
#include "mapdata/FigureSettings.h"
#include "mapdata/MapRecords.h"

namespace karvello {

// The arguments do not form a command; the message says what is wrong. The
// command line answers it with exit status 2.
class UsageError : public KarvelloError {
  public:
    using KarvelloError::KarvelloError;
};

enum class CliCommand { Help, Version, Open, Info, Maps, Draw };

// One --range: the marker pair as written (resolved only once the marker
// table is loaded, since it may name markers) and its colour.
struct CliRange {
    std::string Markers; // "FROM-TO", each an index counted from 0 or a marker name
    RgbColour Colour = 0;

    bool operator==(const CliRange&) const = default;
};

// One --title MAP=TEXT: the map as written (found only once the maps are
// loaded, by the rule of mapdata/MapNames.h) and its title.
struct CliTitle {
    std::string Map;
    std::string Text;

    bool operator==(const CliTitle&) const = default;
};

// One --set Field=value.
struct CliSetting {
    std::string Field;
    std::int32_t Value = 0;

    bool operator==(const CliSetting&) const = default;
};

struct CliRequest {
    CliCommand Command = CliCommand::Help;
    std::string InputPath;
    std::string OutputPath; // empty: InputPath is a map file of another program
    // draw only:
    std::string DrawPath; // -o FILE
    // --maps as written, such as "1,3-5" (mapdata/MapNames.h); every map
    // when not given.
    std::optional<std::string> MapList;
    std::vector<std::string> FlipLists;     // each --flip as written
    std::string SettingsPath;               // --settings FILE, read first
    std::string SaveSettingsPath;           // --save-settings FILE
    std::vector<CliSetting> Settings;       // --set, in the order given
    std::optional<RgbColour> DefaultColour; // --default-colour
    std::vector<CliRange> Ranges;           // --range, in the order given
    FigureSettings Figure; // --width, --per-row, --font, ...; the defaults when not given
    // The names (as a settings file has them) of the figure settings whose
    // options are given: those go over a settings file, given with the
    // default value or not.
    std::set<std::string> FigureGiven;
    // --titles, --ruler, --links, --collapse; TitleTexts, ShowOnly and Qtls
    // stay empty here (see Titles and below).
    FigureAnnotations Annotations;
    std::vector<CliTitle> Titles;        // --title, in the order given
    std::string QtlPath;                 // --qtl FILE
    std::optional<std::string> ShowOnly; // --show-only NAMES or @FILE, as given

    bool operator==(const CliRequest&) const = default;
};

// Parses the arguments (without the program name). Throws UsageError for an
// unknown command or option, a missing or surplus argument, or a value that
// cannot be read.
CliRequest ParseCommandLine(const std::vector<std::string>& args);

// Reads a colour written "#RRGGBB" (either case) into the form 0x00BBGGRR.
// Throws UsageError for any other text.
RgbColour ParseColour(std::string_view text);

// The figure settings with exactly those that the request's options give
// put over them.
FigureSettings WithFigureOptions(FigureSettings figure, const CliRequest& request);

// Gives the settings field its value; false when no field has that name.
bool SetDrawSetting(PageLengths& settings, std::string_view field, std::int32_t value);

// The text of --help.
std::string UsageText();

} // namespace karvello
