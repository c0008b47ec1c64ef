#include "cli/Request.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <utility>

#include "base/Colour.h"
#include "base/Numbers.h"
#include "cli/Text.h"
#include "drawing/DrawingFormats.h"
#include "drawing/FigureLayout.h"
#include "mapdata/DrawSettingsTable.h"
#include "mapdata/FigureSettingsTable.h"
#include "mapdata/Lengths.h"
#include "mapdata/MapFileFormats.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

using cli::QuoteArgument;

CliSetting ParseSetting(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("Cannot read --set " + QuoteArgument(text) + ": write it as Field=value.");
    }
    const std::string_view name = text.substr(0, equals);
    const DrawSettingField* field = FindDrawSetting(name);
    if (field == nullptr) {
        throw UsageError("Unknown setting " + QuoteArgument(name) + ". The settings are " +
                         DrawSettingNames(", ") + ".");
    }
    const auto value = ReadDrawSettingValue(*field, text.substr(equals + 1));
    if (!value || !DrawSettingAllows(*field, *value)) {
        throw UsageError("Cannot read the value of --set " + QuoteArgument(text) + ": it must be " +
                         DrawSettingValueRule(*field) + ".");
    }
    return {std::string(name), *value};
}

CliRange ParseRange(std::string_view text) {
    const auto equals = text.rfind('=');
    if (equals == std::string_view::npos || equals == 0) {
        throw UsageError("Cannot read --range " + QuoteArgument(text) +
                         ": write it as FROM-TO=#RRGGBB.");
    }
    return {std::string(text.substr(0, equals)), ParseColour(text.substr(equals + 1))};
}

std::int32_t ReadLength(std::string_view option, std::string_view text) {
    const auto length = ParseLength(text);
    if (!length) {
        throw UsageError("Cannot read the length " + QuoteArgument(text) + " of " +
                         std::string(option) +
                         ": write it like 175mm, 8.5cm, 1in, 7pt, or a whole number of 1/100 mm.");
    }
    return *length;
}

std::int32_t ReadCount(std::string_view option, std::string_view text, std::int32_t least) {
    const auto count = ParseDecimalInt32(text);
    if (!count || *count < least || text.front() == '+') {
        throw UsageError("Cannot read " + std::string(option) + " " + QuoteArgument(text) +
                         ": it must be a whole number from " + DecimalText(least) + ".");
    }
    return *count;
}

// A length of 1/100 mm as the usage text writes one: "1mm", "0.25mm".
std::string LengthText(std::int32_t hundredths) {
    std::string text = DecimalText(hundredths / 100);
    if (const std::int32_t rest = hundredths % 100; rest != 0) {
        text += '.';
        text += static_cast<char>('0' + rest / 10);
        if (rest % 10 != 0) {
            text += static_cast<char>('0' + rest % 10);
        }
    }
    return text + "mm";
}

// Reads the value of a figure setting's option, and refuses one outside the
// setting's range as its row gives it.
void ReadFigureOption(CliRequest& request, const FigureSettingField& field, std::string_view option,
                      std::string_view text) {
    const auto refuse = [&] {
        throw UsageError("Cannot read " + std::string(option) + " " + QuoteArgument(text) +
                         ": it must be " + FigureSettingRule(field, false) + ".");
    };
    switch (field.Kind) {
    case FigureSettingKind::WholeNumber: {
        if (field.Unit == SettingUnit::HundredthMillimetre) {
            const std::int32_t length = ReadLength(option, text);
            if (!InFigureSettingRange(field, length)) {
                // A length is never below 0: a least above 0 is the one end.
                if (field.Least > 1 && field.Greatest == kGreatestInt32) {
                    throw UsageError("The option " + std::string(option) + " " +
                                     QuoteArgument(text) + " is less than " +
                                     LengthText(field.Least) + ", the least it takes.");
                }
                throw UsageError("The option " + std::string(option) + " needs a size " +
                                 (field.Least > 0 && field.Greatest == kGreatestInt32
                                      ? "above " + DecimalText(field.Least - 1)
                                      : RangeText(field.Least, field.Greatest)) +
                                 ".");
            }
            request.Figure.*field.Number = length;
            break;
        }
        const auto number = ParseDecimalInt32(text);
        if (!number || text.front() == '+' || !InFigureSettingRange(field, *number)) {
            refuse();
        }
        request.Figure.*field.Number = *number;
        break;
    }
    case FigureSettingKind::Text:
        if (!InFigureSettingRange(field, text)) {
            refuse();
        }
        // The rows name maps by number in a form of their own, which the
        // figure layout reads; a list it cannot read is refused here too.
        if (field.Text == &FigureSettings::Rows) {
            try {
                if (ReadMapRows(text).empty()) {
                    throw UsageError("The option " + std::string(option) +
                                     " needs the maps of a row.");
                }
            } catch (const UsageError&) {
                throw;
            } catch (const KarvelloError& error) {
                throw UsageError(error.what());
            }
        }
        request.Figure.*field.Text = text;
        break;
    case FigureSettingKind::Flag:
        request.Figure.*field.Flag = true;
        break;
    }
    request.FigureGiven.insert(std::string(field.Name));
}

// A command: its name, what it is, and its lines of the usage text.
struct CommandSpec {
    std::string_view Name;
    CliCommand Command;
    std::string_view Usage;
};

constexpr auto kCommands = std::to_array<CommandSpec>({
    {"open", CliCommand::Open,
     "  karvello open INPUT OUTPUT | MAPFILE       open the window with the maps\n"
     "                                             loaded\n"},
    {"info", CliCommand::Info,
     "  karvello info INPUT OUTPUT | MAPFILE       the information text of a load\n"},
    {"maps", CliCommand::Maps,
     "  karvello maps INPUT OUTPUT | MAPFILE       one line per map: number, markers,\n"
     "                                             placed markers, length in cM\n"},
    {"draw", CliCommand::Draw, "  karvello draw INPUT OUTPUT | MAPFILE -o FILE [options]\n"},
});

// An option of draw: its names, how the usage text shows it, and what it
// does to the request.
struct OptionSpec {
    std::string_view Name;  // "--maps"
    std::string_view Alias; // a short name, or empty
    // What its value is, as the usage text shows it; empty for an option
    // that takes no value.
    std::string_view Value;
    // What it does; an option with no help is shown in its command's usage
    // line instead.
    std::string_view Help;
    // What it does to the request; null for an option of a figure setting.
    void (*Apply)(CliRequest& request, std::string_view option, std::string_view value);
    // The help goes on with the names of all drawing settings.
    bool ListsSettings = false;
    // It may be given more than once, each adding to the last; any other
    // option given twice is refused rather than the last one silently kept.
    bool Repeatable = false;
    // The figure setting it gives, read and checked through its row; the
    // usage text lists these options apart.
    const FigureSettingField* Figure = nullptr;
};

// Reads "MAP=TEXT" of --title.
CliTitle ParseTitle(std::string_view option, std::string_view value) {
    const auto equals = value.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        throw UsageError("Cannot read " + QuoteArgument(value) + " of " + std::string(option) +
                         ": write it as MAP=TEXT, MAP the map's group name or number.");
    }
    return {std::string(value.substr(0, equals)), std::string(value.substr(equals + 1))};
}

// The options of draw but those of the figure settings, which their table
// gives.
constexpr auto kOtherDrawOptions = std::to_array<OptionSpec>({
    {"--output", "-o", "FILE", "",
     [](CliRequest& r, std::string_view, std::string_view v) { r.DrawPath = v; }},
    {"--maps", "", "1,3-5",
     "the maps to draw, by group or number (default:\nall), in this order in the figure layout",
     [](CliRequest& r, std::string_view, std::string_view v) { r.MapList = std::string(v); }},
    {"--flip", "", "2,4", "maps to draw upside down",
     [](CliRequest& r, std::string_view, std::string_view v) { r.FlipLists.emplace_back(v); },
     false, true},
    {"--set", "", "Field=value", "a drawing setting in 1/100 mm; repeatable. Fields:",
     [](CliRequest& r, std::string_view, std::string_view v) {
         r.Settings.push_back(ParseSetting(v));
     },
     true, true},
    {"--default-colour", "", "#RRGGBB", "the colour of every marker name",
     [](CliRequest& r, std::string_view, std::string_view v) { r.DefaultColour = ParseColour(v); }},
    {"--range", "", "FROM-TO=#RRGGBB",
     "a colour for the markers FROM to TO, each a marker\n"
     "index counted from 0 or a marker name; repeatable,\n"
     "applied in order after the default colour",
     [](CliRequest& r, std::string_view, std::string_view v) { r.Ranges.push_back(ParseRange(v)); },
     false, true},
    {"--settings", "", "FILE",
     "read every setting from a settings file first; the\n"
     "other options change what it gives",
     [](CliRequest& r, std::string_view, std::string_view v) { r.SettingsPath = v; }},
    {"--save-settings", "", "FILE", "write every setting, as drawn, into a settings file",
     [](CliRequest& r, std::string_view, std::string_view v) { r.SaveSettingsPath = v; }},
    {"--titles", "", "", "a title above each map: its group, or Map N",
     [](CliRequest& r, std::string_view, std::string_view) { r.Annotations.Titles = true; }},
    {"--title", "", "MAP=TEXT", "the title of a map; repeatable",
     [](CliRequest& r, std::string_view o, std::string_view v) {
         r.Titles.push_back(ParseTitle(o, v));
     },
     false, true},
    {"--ruler", "", "", "a cM ruler left of each row of maps",
     [](CliRequest& r, std::string_view, std::string_view) { r.Annotations.Ruler = true; }},
    {"--links", "", "", "grey lines between the same marker on\nneighbouring maps",
     [](CliRequest& r, std::string_view, std::string_view) { r.Annotations.Links = true; }},
    {"--qtl", "", "FILE",
     "QTL intervals from a table with the columns map,\nname, start, end (and inner start, inner "
     "end,\ncolour)",
     [](CliRequest& r, std::string_view o, std::string_view v) {
         if (v.empty()) {
             throw UsageError("The option " + std::string(o) + " needs a file.");
         }
         r.QtlPath = v;
     }},
    {"--show-only", "", "NAMES", "label only these markers: a,b,c or @FILE with\none name a line",
     [](CliRequest& r, std::string_view, std::string_view v) { r.ShowOnly = std::string(v); }},
    {"--collapse", "", "N",
     "markers at one position with more than N names\nshow the first and (+K)",
     [](CliRequest& r, std::string_view o, std::string_view v) {
         r.Annotations.Collapse = ReadCount(o, v, 1);
     }},
});

constexpr std::size_t FigureOptionCount() {
    std::size_t count = 0;
    for (const FigureSettingField& field : kFigureSettingFields) {
        count += field.Option.empty() ? 0 : 1;
    }
    return count;
}

// The option of a figure setting, as its row gives it.
constexpr OptionSpec FigureOption(const FigureSettingField& field) {
    OptionSpec option{};
    option.Name = field.Option;
    option.Value = field.OptionValue;
    option.Help = field.OptionHelp;
    option.Figure = &field;
    return option;
}

// Every option of draw: the others, then those of the figure settings in
// their table's order.
constexpr auto kDrawOptions = [] {
    std::array<OptionSpec, kOtherDrawOptions.size() + FigureOptionCount()> options{};
    std::size_t i = 0;
    for (const OptionSpec& option : kOtherDrawOptions) {
        options[i++] = option;
    }
    for (const FigureSettingField& field : kFigureSettingFields) {
        if (!field.Option.empty()) {
            options[i++] = FigureOption(field);
        }
    }
    return options;
}();

const CommandSpec* CommandNamed(std::string_view name) {
    for (const CommandSpec& command : kCommands) {
        if (command.Name == name) {
            return &command;
        }
    }
    return nullptr;
}

const OptionSpec* DrawOptionNamed(std::string_view name) {
    for (const OptionSpec& option : kDrawOptions) {
        if (option.Name == name || (!option.Alias.empty() && option.Alias == name)) {
            return &option;
        }
    }
    return nullptr;
}

// The usage text's column where the help of an option starts, and the width
// its lines stay within.
constexpr std::size_t kHelpColumn = 28;
constexpr std::size_t kLineWidth = 79;

// Appends one option's lines: the synopsis, then its help from kHelpColumn,
// each further line of help indented as far.
void AppendOptionHelp(std::string& text, const OptionSpec& option) {
    std::string line = "  " + std::string(option.Name);
    if (!option.Value.empty()) {
        line += " " + std::string(option.Value);
    }
    line.resize(std::max(line.size() + 1, kHelpColumn), ' ');
    std::string_view help = option.Help;
    while (true) {
        const auto end = help.find('\n');
        text += line;
        text += help.substr(0, end);
        text += '\n';
        if (end == std::string_view::npos) {
            break;
        }
        help.remove_prefix(end + 1);
        line.assign(kHelpColumn, ' ');
    }
}

// The usage text's column where the help of a command starts.
constexpr std::size_t kCommandHelpColumn = 45;

// Appends the words as lines that start at column and stay within
// kLineWidth; a word longer than a line stands alone.
void AppendWrapped(std::string& text, std::string_view words, std::size_t column) {
    std::string line;
    while (!words.empty()) {
        const auto blank = words.find(' ');
        const std::string_view word = words.substr(0, blank);
        words.remove_prefix(blank == std::string_view::npos ? words.size() : blank + 1);
        if (!line.empty() && column + line.size() + 1 + word.size() > kLineWidth) {
            text += std::string(column, ' ') + line + '\n';
            line.clear();
        }
        line += line.empty() ? "" : " ";
        line += word;
    }
    text += std::string(column, ' ') + line + '\n';
}

// Appends the settings' names as words filling lines from kHelpColumn.
void AppendSettingNames(std::string& text) {
    std::string line;
    for (const DrawSettingField& field : kDrawSettingFields) {
        if (!line.empty() && kHelpColumn + line.size() + 1 + field.Name.size() > kLineWidth) {
            text += std::string(kHelpColumn, ' ') + line + '\n';
            line.clear();
        }
        line += line.empty() ? "" : " ";
        line += field.Name;
    }
    text += std::string(kHelpColumn, ' ') + line + '\n';
}

} // namespace

FigureSettings WithFigureOptions(FigureSettings figure, const CliRequest& request) {
    for (const FigureSettingField& field : kFigureSettingFields) {
        if (request.FigureGiven.contains(std::string(field.Name))) {
            CopyFigureSetting(figure, request.Figure, field);
        }
    }
    return figure;
}

bool SetDrawSetting(PageLengths& settings, std::string_view name, std::int32_t value) {
    const DrawSettingField* field = FindDrawSetting(name);
    if (field == nullptr) {
        return false;
    }
    ApplyDrawSetting(settings, *field, value);
    return true;
}

RgbColour ParseColour(std::string_view text) {
    const std::optional<RgbColour> colour = ParseHexColour(text);
    if (!colour) {
        throw UsageError("Cannot read the colour " + QuoteArgument(text) +
                         ": write it as #RRGGBB.");
    }
    return *colour;
}

CliRequest ParseCommandLine(const std::vector<std::string>& args) {
    CliRequest request;
    // A help option anywhere asks for help, but not after "--" nor as the
    // value of an option (-o --help names a file).
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            request.Command = CliCommand::Help;
            return request;
        }
        if (const OptionSpec* known = DrawOptionNamed(arg);
            known != nullptr && !known->Value.empty()) {
            ++i;
        }
    }
    if (args.empty()) {
        throw UsageError("No command given.");
    }
    if (args.front() == "--version") {
        if (args.size() != 1) {
            throw UsageError("--version takes no arguments.");
        }
        request.Command = CliCommand::Version;
        return request;
    }
    const CommandSpec* command = CommandNamed(args.front());
    if (command == nullptr) {
        throw UsageError("Unknown command " + QuoteArgument(args.front()) + ".");
    }
    request.Command = command->Command;

    std::vector<std::string> positional;
    std::vector<const OptionSpec*> given; // the single-valued options met so far
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string option = args[i];
        std::string value;
        bool hasValue = false;
        const auto equals = option.find('=');
        // --name=value; "--=value" names no option and stays whole, so that
        // it is refused rather than taken for the end of the options.
        if (option.starts_with("--") && equals != std::string::npos && equals > 2) {
            value = option.substr(equals + 1);
            option.resize(equals);
            hasValue = true;
        }
        if (option == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                              args.end());
            break;
        }
        if (option.size() < 2 || option.front() != '-') {
            positional.push_back(option);
            continue;
        }
        const OptionSpec* known =
            request.Command == CliCommand::Draw ? DrawOptionNamed(option) : nullptr;
        if (known == nullptr) {
            throw UsageError("Unknown option " + QuoteArgument(option) + " for " + args.front() +
                             ".");
        }
        if (known->Value.empty()) {
            if (hasValue) {
                throw UsageError("The option " + option + " takes no value.");
            }
        } else if (!hasValue) {
            if (i + 1 >= args.size()) {
                throw UsageError("The option " + option + " needs a value.");
            }
            value = args[++i];
        }
        if (!known->Repeatable) {
            if (std::find(given.begin(), given.end(), known) != given.end()) {
                throw UsageError("The option " + std::string(known->Name) +
                                 " is given more than once; give it once.");
            }
            given.push_back(known);
        }
        if (known->Figure != nullptr) {
            ReadFigureOption(request, *known->Figure, option, value);
        } else {
            known->Apply(request, option, value);
        }
    }
    // A map file of another program stands alone.
    const bool oneFile = positional.size() == 1;
    if (positional.size() != 2 && !oneFile) {
        throw UsageError(args.front() +
                         " needs a map file, or the Mapmaker input file and output file, and "
                         "nothing else.");
    }
    request.InputPath = positional[0];
    request.OutputPath = oneFile ? std::string() : positional[1];
    if (request.Command == CliCommand::Draw && request.DrawPath.empty()) {
        throw UsageError("draw needs the file to write: -o FILE.");
    }
    return request;
}

std::string UsageText() {
    std::string text = "Usage:\n"
                       "  karvello                                   open the window\n";
    for (const CommandSpec& command : kCommands) {
        text += command.Usage;
        if (command.Command == CliCommand::Draw) {
            AppendWrapped(text,
                          "draw maps into FILE (" + DrawingExtensionList() + ", by its extension)",
                          kCommandHelpColumn);
        }
    }
    text += "  karvello --help | --version\n\n";
    AppendWrapped(text,
                  "INPUT is the Mapmaker input file (the marker names), OUTPUT the file that "
                  "Mapmaker wrote (the maps). In their place every command takes one map file "
                  "(MAPFILE) of another program: " +
                      OneFileFormatList() + ".",
                  0);
    text += "\nOptions of draw:\n";
    for (const bool figure : {false, true}) {
        if (figure) {
            text += "\nOptions of draw for the figure (LENGTH as 175mm, 8.5cm, 1in, 7pt, or a\n"
                    "whole number of 1/100 mm):\n";
        }
        for (const OptionSpec& option : kDrawOptions) {
            if (option.Help.empty() || (option.Figure != nullptr) != figure) {
                continue;
            }
            AppendOptionHelp(text, option);
            if (option.ListsSettings) {
                AppendSettingNames(text);
            }
        }
    }
    text += "\nExit status: 0 done, 1 error, 2 the arguments are not a command.\n";
    return text;
}

} // namespace karvello
