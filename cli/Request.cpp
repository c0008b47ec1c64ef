#include "cli/Request.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/Numbers.h"
#include "cli/Text.h"
#include "mapdata/Lengths.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

struct SettingField {
    std::string_view Name;
    std::int32_t TDrawSettings::*Member;
};

// The fourteen fields in their record order.
constexpr std::array<SettingField, 14> kSettingFields{{
    {"LeftMargin", &TDrawSettings::LeftMargin},
    {"RightMargin", &TDrawSettings::RightMargin},
    {"TopMargin", &TDrawSettings::TopMargin},
    {"BottomMargin", &TDrawSettings::BottomMargin},
    {"PageHeight", &TDrawSettings::PageHeight},
    {"PageWidth", &TDrawSettings::PageWidth},
    {"TailLength", &TDrawSettings::TailLength},
    {"BarWidth", &TDrawSettings::BarWidth},
    {"PreBendLength", &TDrawSettings::PreBendLength},
    {"SpacingLineLength", &TDrawSettings::SpacingLineLength},
    {"FrameworkLineLength", &TDrawSettings::FrameworkLineLength},
    {"AncillaryLineLength", &TDrawSettings::AncillaryLineLength},
    {"TextPadding", &TDrawSettings::TextPadding},
    {"MapSpacing", &TDrawSettings::MapSpacing},
}};

using cli::Quote;

std::int32_t ReadLength(std::string_view option, std::string_view text) {
    const auto length = ParseLength(text);
    if (!length) {
        throw UsageError("Cannot read the length " + Quote(text) + " of " + std::string(option) +
                         ": write it like 175mm, 8.5cm, 1in, 7pt, or a whole number of 1/100 mm.");
    }
    return *length;
}

std::int32_t ReadCount(std::string_view option, std::string_view text, std::int32_t least) {
    const auto count = ParseDecimalInt32(text);
    if (!count || *count < least || text.front() == '+') {
        throw UsageError("Cannot read " + std::string(option) + " " + Quote(text) +
                         ": it must be a whole number from " + DecimalText(least) + ".");
    }
    return *count;
}

// The options of draw that set the figure: rows, font, lines, edge room.
// The parser, and the help text below the fixed options, come from here.
struct FigureOption {
    std::string_view Name;
    std::string_view Value; // empty for an option that takes none
    std::string_view Help;
    void (*Apply)(TFigureSettings& figure, std::string_view option, std::string_view value);
};

constexpr std::array<FigureOption, 8> kFigureOptions{{
    {"--width", "LENGTH", "wrap the maps into rows this wide, edges included",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         f.RowWidth = ReadLength(o, v);
     }},
    {"--per-row", "N", "at most N maps in a row",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         f.MapsPerRow = ReadCount(o, v, 1);
     }},
    {"--font", "FACE", "the face of every text",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         if (v.empty()) {
             throw UsageError("The option " + std::string(o) + " needs a font face.");
         }
         f.FontFace = v;
     }},
    {"--font-size", "LENGTH", "the height of every text, as 7pt",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         f.FontHeight = ReadLength(o, v);
         if (f.FontHeight == 0) {
             throw UsageError("The option " + std::string(o) + " needs a size above 0.");
         }
     }},
    {"--line-width", "LENGTH", "the width of every line, as 0.5pt",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         f.LineWidth = ReadLength(o, v);
     }},
    {"--margin", "LENGTH", "white room on every side of the drawing",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         f.Margin = ReadLength(o, v);
     }},
    {"--group-maps", "", "each map as one group in the metafile",
     [](TFigureSettings& f, std::string_view, std::string_view) { f.GroupMaps = true; }},
    {"--dpi", "N", "the resolution of a PNG file (default 300)",
     [](TFigureSettings& f, std::string_view o, std::string_view v) {
         f.Dpi = ReadCount(o, v, 1);
     }},
}};

const FigureOption* FigureOptionNamed(std::string_view name) {
    for (const auto& option : kFigureOptions) {
        if (option.Name == name) {
            return &option;
        }
    }
    return nullptr;
}

int ReadMapNumber(std::string_view text, std::string_view list) {
    const auto value = ParseDecimalInt32(text);
    if (!value || *value < 1 || text.front() == '+' || text.front() == '-') {
        throw UsageError("Cannot read the map list " + Quote(list) +
                         ": write map numbers from 1 like 1,3-5.");
    }
    return *value;
}

CliSetting ParseSetting(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw UsageError("Cannot read --set " + Quote(text) + ": write it as Field=value.");
    }
    const std::string_view field = text.substr(0, equals);
    TDrawSettings probe;
    if (!SetDrawSetting(probe, field, 0)) {
        std::string names;
        for (const auto& known : kSettingFields) {
            names += names.empty() ? "" : ", ";
            names += known.Name;
        }
        throw UsageError("Unknown setting " + Quote(field) + ". The settings are " + names + ".");
    }
    const auto value = ParseDecimalInt32(text.substr(equals + 1));
    if (!value) {
        throw UsageError("Cannot read the value of --set " + Quote(text) +
                         ": it must be a whole number of 32 bits.");
    }
    return {std::string(field), *value};
}

CliRange ParseRange(std::string_view text) {
    const auto equals = text.rfind('=');
    if (equals == std::string_view::npos || equals == 0) {
        throw UsageError("Cannot read --range " + Quote(text) + ": write it as FROM-TO=#RRGGBB.");
    }
    return {std::string(text.substr(0, equals)), ParseColour(text.substr(equals + 1))};
}

std::optional<CliCommand> CommandNamed(std::string_view name) {
    if (name == "info") {
        return CliCommand::Info;
    }
    if (name == "maps") {
        return CliCommand::Maps;
    }
    if (name == "draw") {
        return CliCommand::Draw;
    }
    return std::nullopt;
}

bool TakesValue(std::string_view option) {
    return option == "-o" || option == "--output" || option == "--maps" || option == "--flip" ||
           option == "--set" || option == "--default-colour" || option == "--range";
}

} // namespace

bool SetDrawSetting(TDrawSettings& settings, std::string_view field, std::int32_t value) {
    for (const auto& known : kSettingFields) {
        if (known.Name == field) {
            settings.*known.Member = value;
            return true;
        }
    }
    return false;
}

std::vector<CliMapSpan> ParseMapNumbers(std::string_view text) {
    std::vector<CliMapSpan> spans;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (item.empty() || (comma != std::string_view::npos && rest.empty())) {
            throw UsageError("Cannot read the map list " + Quote(text) +
                             ": write map numbers from 1 like 1,3-5.");
        }
        const auto dash = item.find('-');
        CliMapSpan span;
        span.First = ReadMapNumber(item.substr(0, dash), text);
        span.Last = dash == std::string_view::npos ? span.First
                                                   : ReadMapNumber(item.substr(dash + 1), text);
        if (span.Last < span.First) {
            throw UsageError("The map run " + Quote(item) + " in " + Quote(text) +
                             " ends before it starts.");
        }
        spans.push_back(span);
    }
    return spans;
}

TColour ParseColour(std::string_view text) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    bool good = text.size() == 7 && text[0] == '#';
    TColour rgb = 0;
    for (std::size_t i = 1; good && i < text.size(); ++i) {
        const int value = digit(text[i]);
        good = value >= 0;
        rgb = (rgb << 4) | static_cast<TColour>(value);
    }
    if (!good) {
        throw UsageError("Cannot read the colour " + Quote(text) + ": write it as #RRGGBB.");
    }
    // People write red first; the drawing keeps blue in the high byte.
    const TColour red = (rgb >> 16) & 0xFF;
    const TColour green = (rgb >> 8) & 0xFF;
    const TColour blue = rgb & 0xFF;
    return (blue << 16) | (green << 8) | red;
}

CliRequest ParseCommandLine(const std::vector<std::string>& args) {
    CliRequest request;
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            request.Command = CliCommand::Help;
            return request;
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
    const auto command = CommandNamed(args.front());
    if (!command) {
        throw UsageError("Unknown command " + Quote(args.front()) + ".");
    }
    request.Command = *command;

    std::vector<std::string> positional;
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
        if (const FigureOption* figure = FigureOptionNamed(option);
            figure != nullptr && request.Command == CliCommand::Draw) {
            if (figure->Value.empty()) {
                if (hasValue) {
                    throw UsageError("The option " + option + " takes no value.");
                }
            } else if (!hasValue) {
                if (i + 1 >= args.size()) {
                    throw UsageError("The option " + option + " needs a value.");
                }
                value = args[++i];
            }
            figure->Apply(request.Figure, option, value);
            continue;
        }
        if (!TakesValue(option) || request.Command != CliCommand::Draw) {
            throw UsageError("Unknown option " + Quote(option) + " for " + args.front() + ".");
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                throw UsageError("The option " + option + " needs a value.");
            }
            value = args[++i];
        }
        if (option == "-o" || option == "--output") {
            request.DrawPath = value;
        } else if (option == "--maps") {
            request.MapNumbers = ParseMapNumbers(value);
        } else if (option == "--flip") {
            auto spans = ParseMapNumbers(value);
            request.FlipNumbers.insert(request.FlipNumbers.end(), spans.begin(), spans.end());
        } else if (option == "--set") {
            request.Settings.push_back(ParseSetting(value));
        } else if (option == "--default-colour") {
            request.DefaultColour = ParseColour(value);
        } else {
            request.Ranges.push_back(ParseRange(value));
        }
    }
    if (positional.size() != 2) {
        throw UsageError(args.front() +
                         " needs the Mapmaker input file and output file, and nothing else.");
    }
    request.InputPath = positional[0];
    request.OutputPath = positional[1];
    if (request.Command == CliCommand::Draw && request.DrawPath.empty()) {
        throw UsageError("draw needs the file to write: -o FILE.");
    }
    return request;
}

std::string UsageText() {
    std::string figure =
        "\nOptions of draw for the figure (LENGTH as 175mm, 8.5cm, 1in, 7pt, or a\n"
        "whole number of 1/100 mm):\n";
    for (const auto& option : kFigureOptions) {
        std::string name = "  " + std::string(option.Name);
        if (!option.Value.empty()) {
            name += " " + std::string(option.Value);
        }
        name.resize(std::max<std::size_t>(name.size() + 1, 28), ' ');
        figure += name + std::string(option.Help) + "\n";
    }
    return R"(Usage:
  karvello                                   open the window
  karvello info INPUT OUTPUT                 the information text of a load
  karvello maps INPUT OUTPUT                 one line per map: number, markers,
                                             placed markers, length in cM
  karvello draw INPUT OUTPUT -o FILE [options]
                                             draw maps into FILE (.emf, .svg,
                                             .pdf or .png, by its extension)
  karvello --help | --version

INPUT is the Mapmaker input file (the marker names), OUTPUT the file that
Mapmaker wrote (the maps).

Options of draw:
  --maps 1,3-5              the maps to draw, by number (default: all)
  --flip 2,4                maps to draw upside down
  --set Field=value         a drawing setting in 1/100 mm; repeatable. Fields:
                            LeftMargin RightMargin TopMargin BottomMargin
                            PageHeight PageWidth TailLength BarWidth
                            PreBendLength SpacingLineLength FrameworkLineLength
                            AncillaryLineLength TextPadding MapSpacing
  --default-colour #RRGGBB  the colour of every marker name
  --range FROM-TO=#RRGGBB   a colour for the markers FROM to TO, each a marker
                            index counted from 0 or a marker name; repeatable,
                            applied in order after the default colour
)" + figure +
           R"(
Exit status: 0 done, 1 error, 2 the arguments are not a command.
)";
}

} // namespace karvello
