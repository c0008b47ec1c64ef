#pragma once
// Every figure setting, declared once with its rules: its name in a settings
// file, the member of FigureSettings that keeps it (whose initialiser is its
// default), its unit and range, its command-line option, and its place in
// the options window. The settings file, the command line and its --help,
// and the options window read and check values through these rows only.
//
// A new figure setting is a member of FigureSettings with its default, a row
// here, and the code that uses it (a canvas, the drawing); the settings file,
// the command line and the window take it from the row.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "mapdata/DrawSettingsTable.h"
#include "mapdata/FigureSettings.h"

namespace karvello {

enum class FigureSettingKind {
    WholeNumber, // a signed 32-bit whole number
    Text,        // a text, UTF-8
    Flag,        // true or false
};

// How the options window shows a figure setting.
enum class FigureControl {
    WrapRows,   // a tick box: rows as wide as the page width less the right margin
    Spin,       // a whole number in a spin box
    LengthText, // a length as text, empty for the default
    Text,       // a line of text
    Tick,       // a tick box
};

struct FigureSettingField {
    // The name in a settings file's "figure".
    std::string_view Name = {};
    FigureSettingKind Kind = FigureSettingKind::WholeNumber;
    // The member for the field's kind; the others are null.
    std::int32_t FigureSettings::*Number = nullptr;
    std::string FigureSettings::*Text = nullptr;
    bool FigureSettings::*Flag = nullptr;

    // What one step of a number measures (a length on the command line reads
    // with a unit such as 7pt); what a text's length counts.
    SettingUnit Unit = SettingUnit::None;
    // The numbers it takes, or the characters a text may have, both
    // included. The default is taken besides, in a settings file and in the
    // window, where it may mean "off" or "the format's own" outside this
    // range; the command line gives values of the range only.
    std::int32_t Least = 0;
    std::int32_t Greatest = kGreatestInt32;
    // The values a text takes, "|" between them ("figure|classic"); empty
    // for any text of the characters the range allows.
    std::string_view Choices = {};

    // The command-line option of draw, what its value is in the help ("N";
    // empty for a flag, which takes none) and its help text.
    std::string_view Option = {};
    std::string_view OptionValue = {};
    std::string_view OptionHelp = {};

    // The options window shows the settings from the top in table order:
    // the control, its label and its tooltip, and what a spin box shows for
    // a default below the range. Its object name is the control's kind and
    // the setting's name: "SpinDpi", "EditFontFace", "CheckGroupMaps".
    FigureControl Control = FigureControl::Text;
    std::string_view Label = {};
    std::string_view Hint = {};
    std::string_view DefaultShown = {};
};

inline constexpr std::array kFigureSettingFields{
    FigureSettingField{
        .Name = "RowWidth",
        .Number = &FigureSettings::RowWidth,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 100,
        .Option = "--width",
        .OptionValue = "LENGTH",
        .OptionHelp = "fit the figure into this width, edges included",
        .Control = FigureControl::WrapRows,
        .Label = "Wrap rows at the page width",
        .Hint = "Maps wrap into rows as wide as the page width less the right margin",
    },
    FigureSettingField{
        .Name = "MapsPerRow",
        .Number = &FigureSettings::MapsPerRow,
        .Unit = SettingUnit::Count,
        .Least = 1,
        .Option = "--per-row",
        .OptionValue = "N",
        .OptionHelp = "at most N maps in a row",
        .Control = FigureControl::Spin,
        .Label = "Maps per row",
        .Hint = "At most this many maps in a row",
        .DefaultShown = "any",
    },
    FigureSettingField{
        .Name = "FontFace",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::FontFace,
        .Unit = SettingUnit::Character,
        // A metafile holds a face name in 32 UTF-16 units, the last a NUL.
        .Least = 1,
        .Greatest = 31,
        .Option = "--font",
        .OptionValue = "FACE",
        .OptionHelp = "the face of every text",
        .Control = FigureControl::Text,
        .Label = "Font",
        .Hint = "The face of every text",
    },
    FigureSettingField{
        .Name = "FontHeight",
        .Number = &FigureSettings::FontHeight,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 1,
        .Option = "--font-size",
        .OptionValue = "LENGTH",
        .OptionHelp = "the height of every text, as 7pt",
        .Control = FigureControl::LengthText,
        .Label = "Font size",
        .Hint = "The height of every text, such as 7pt",
    },
    FigureSettingField{
        .Name = "LineWidth",
        .Number = &FigureSettings::LineWidth,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 0,
        .Option = "--line-width",
        .OptionValue = "LENGTH",
        .OptionHelp = "the width of every line, as 0.5pt",
        .Control = FigureControl::LengthText,
        .Label = "Line width",
        .Hint = "The width of every line, such as 0.5pt; empty: 1/100 mm in a metafile, 0.25 pt "
                "in the other formats",
    },
    FigureSettingField{
        .Name = "Margin",
        .Number = &FigureSettings::Margin,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 0,
        .Option = "--margin",
        .OptionValue = "LENGTH",
        .OptionHelp = "white room on every side of the drawing",
        .Control = FigureControl::LengthText,
        .Label = "Edge room",
        .Hint = "White room around the drawing, such as 2mm; empty: none in a metafile, 2 mm in "
                "the other formats and whenever rows are on",
    },
    FigureSettingField{
        .Name = "GroupMaps",
        .Kind = FigureSettingKind::Flag,
        .Flag = &FigureSettings::GroupMaps,
        .Option = "--group-maps",
        .OptionHelp = "each map as one group in the metafile",
        .Control = FigureControl::Tick,
        .Label = "Group each map in the metafile",
        .Hint = "Each map's records between a begin-group and an end-group comment",
    },
    FigureSettingField{
        .Name = "Dpi",
        .Number = &FigureSettings::Dpi,
        .Unit = SettingUnit::DotsPerInch,
        .Least = 1,
        .Option = "--dpi",
        .OptionValue = "N",
        .OptionHelp = "the resolution of a PNG file (default 300)",
        .Control = FigureControl::Spin,
        .Label = "PNG resolution (dpi)",
        .Hint = "Pixels an inch of a PNG drawing",
    },
    FigureSettingField{
        .Name = "Height",
        .Number = &FigureSettings::Height,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 100,
        .Option = "--height",
        .OptionValue = "LENGTH",
        .OptionHelp = "fit the whole figure into this height",
        .Control = FigureControl::LengthText,
        .Label = "Figure height",
        .Hint = "Fit the whole figure into this height, such as 230mm; empty: no height",
    },
    FigureSettingField{
        .Name = "Layout",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::Layout,
        .Choices = "figure|classic",
        .Option = "--layout",
        .OptionValue = "figure|classic",
        .OptionHelp = "figure: fitted to --width and --height, labels\nspread about their markers "
                      "(the default with\n--width or --height); classic: the page lengths",
        .Control = FigureControl::Text,
        .Label = "Layout",
        .Hint = "figure: fitted to the width and height, labels spread about their markers; "
                "classic: the page lengths; empty: figure whenever a width or height is given",
    },
    FigureSettingField{
        .Name = "NamesPerLine",
        .Number = &FigureSettings::NamesPerLine,
        .Unit = SettingUnit::Count,
        .Least = 1,
        .Option = "--names-per-line",
        .OptionValue = "N",
        .OptionHelp = "figure layout: names at one position on one line,\nat most (default 3)",
        .Control = FigureControl::Spin,
        .Label = "Names per line",
        .Hint = "Figure layout: names at one position written on one line, at most",
    },
    FigureSettingField{
        .Name = "Distances",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::Distances,
        .Choices = "gaps|positions|none",
        .Option = "--distances",
        .OptionValue = "gaps|positions|none",
        .OptionHelp = "figure layout: the numbers left of a bar:\ngaps between neighbours or "
                      "positions in cM",
        .Control = FigureControl::Text,
        .Label = "Distances",
        .Hint = "Figure layout: gaps, positions or none left of each bar",
    },
    FigureSettingField{
        .Name = "Labels",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::Labels,
        .Choices = "all|none",
        .Option = "--labels",
        .OptionValue = "all|none",
        .OptionHelp = "figure layout: none draws bars and ticks only",
        .Control = FigureControl::Text,
        .Label = "Labels",
        .Hint = "Figure layout: all, or none for bars and ticks only",
    },
    FigureSettingField{
        .Name = "LeaderLength",
        .Number = &FigureSettings::LeaderLength,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 0,
        .Control = FigureControl::LengthText,
        .Label = "Leader length",
        .Hint = "Figure layout: from a bar to its labels, such as 3mm",
    },
    FigureSettingField{
        .Name = "MapGap",
        .Number = &FigureSettings::MapGap,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 0,
        .Control = FigureControl::LengthText,
        .Label = "Gap between maps",
        .Hint = "Figure layout: between the maps of a row, such as 4mm",
    },
    FigureSettingField{
        .Name = "RowGap",
        .Number = &FigureSettings::RowGap,
        .Unit = SettingUnit::HundredthMillimetre,
        .Least = 0,
        .Control = FigureControl::LengthText,
        .Label = "Gap between rows",
        .Hint = "Figure layout: between rows, such as 4mm",
    },
    FigureSettingField{
        .Name = "MapOrder",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::MapOrder,
        .Control = FigureControl::Text,
        .Label = "Map order",
        .Hint = "Figure layout: the order of the maps by number, such as 3,1,2; empty: the file's",
    },
    FigureSettingField{
        .Name = "Rows",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::Rows,
        .Option = "--rows",
        .OptionValue = "1-7/8-14",
        .OptionHelp = "figure layout: the maps of each row, by number,\nrows parted by /",
        .Control = FigureControl::Text,
        .Label = "Rows",
        .Hint = "Figure layout: the maps of each row, such as 1-7/8-14/15-20; empty: chosen to fit",
    },
    FigureSettingField{
        .Name = "Align",
        .Kind = FigureSettingKind::Text,
        .Text = &FigureSettings::Align,
        .Choices = "zero|top",
        .Option = "--align",
        .OptionValue = "zero|top",
        .OptionHelp = "figure layout: the bars of a row aligned at their\n0 cM (the default) or at "
                      "their tops",
        .Control = FigureControl::Text,
        .Label = "Align bars",
        .Hint = "Figure layout: zero (the bars of a row at their 0 cM) or top",
    },
    FigureSettingField{
        .Name = "Density",
        .Kind = FigureSettingKind::Flag,
        .Flag = &FigureSettings::Density,
        .Option = "--density",
        .OptionHelp = "figure layout: a strip beside each bar coloured\nby markers per cM, with a "
                      "legend",
        .Control = FigureControl::Tick,
        .Label = "Marker density beside each bar",
        .Hint = "Figure layout: a strip coloured by markers per cM beside each bar, with a legend",
    },
};

// The setting of that name in a settings file (compared exactly), or null.
const FigureSettingField* FindFigureSetting(std::string_view name);

// The setting's value in a fresh FigureSettings.
std::int32_t DefaultNumber(const FigureSettingField& field);
const std::string& DefaultText(const FigureSettingField& field);

// Whether the setting takes the value: one in its range, or its default.
// A text is measured in characters, each byte that does not continue a
// UTF-8 sequence counting one. A flag takes either value.
bool FigureSettingAllows(const FigureSettingField& field, std::int32_t number);
bool FigureSettingAllows(const FigureSettingField& field, std::string_view text);
// Whether the setting takes the value it has in figure.
bool FigureSettingAllows(const FigureSettingField& field, const FigureSettings& figure);
// Whether the value lies in the setting's range, as the command line asks.
bool InFigureSettingRange(const FigureSettingField& field, std::int32_t number);
bool InFigureSettingRange(const FigureSettingField& field, std::string_view text);

// What a value of the setting must be, for a message that completes "must
// be ...": "a whole number from 1", "a whole number of 1/100 mm from 1, or 0
// (the default)", "a text of 1 to 31 characters, or empty (the default)",
// "true or false". Without the default when withDefault is false, as the
// command line words it.
std::string FigureSettingRule(const FigureSettingField& field, bool withDefault = true);

// The value as a message shows it: a number in decimal, a text quoted.
std::string FigureSettingValueText(const FigureSettings& figure, const FigureSettingField& field);

// Gives the setting of to the value it has in from.
void CopyFigureSetting(FigureSettings& to, const FigureSettings& from,
                       const FigureSettingField& field);

} // namespace karvello
