#include "cli/Request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "mapdata/FigureSettingsTable.h"
#include "mapdata/MapFileFormats.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

using Args = std::vector<std::string>;

CliRequest Draw(std::string output = "out.emf") {
    CliRequest request;
    request.Command = CliCommand::Draw;
    request.InputPath = "in.raw";
    request.OutputPath = "out.txt";
    request.DrawPath = std::move(output);
    return request;
}

TEST(ParseCommandLineTest, CommandsAndOptionsBecomeTheRequest) {
    struct Row {
        const char* name;
        Args args;
        CliRequest expected;
    };
    CliRequest info;
    info.Command = CliCommand::Info;
    info.InputPath = "in.raw";
    info.OutputPath = "out.txt";
    CliRequest mapFile = info;
    mapFile.InputPath = "map.csv";
    mapFile.OutputPath.clear();
    CliRequest maps = info;
    maps.Command = CliCommand::Maps;
    CliRequest open = info;
    open.Command = CliCommand::Open;
    CliRequest openMapFile = mapFile;
    openMapFile.Command = CliCommand::Open;
    CliRequest help;
    CliRequest version;
    version.Command = CliCommand::Version;

    CliRequest everything = Draw("maps.svg");
    everything.MapList = "1,3-5";
    everything.FlipLists = {"2,4", "6"};
    everything.Settings = {{"TopMargin", 500}, {"LeftMargin", -20}};
    everything.DefaultColour = 0x3412FF;
    everything.Ranges = {{"0-3", 0x0000FF}, {"A-1-B=2", 0x00FF00}};

    CliRequest figure = Draw();
    figure.Figure.RowWidth = 17500;
    figure.Figure.MapsPerRow = 3;
    figure.Figure.FontFace = "Liberation Sans";
    figure.Figure.FontHeight = 247;
    figure.Figure.LineWidth = 18;
    figure.Figure.Margin = 0;
    figure.Figure.GroupMaps = true;
    figure.Figure.Dpi = 600;
    figure.FigureGiven = {"RowWidth",  "MapsPerRow", "FontFace",  "FontHeight",
                          "LineWidth", "Margin",     "GroupMaps", "Dpi"};

    CliRequest annotated = Draw();
    annotated.Annotations.Titles = true;
    annotated.Titles = {{"2", "Chr 2 = long arm"}, {"5", ""}};
    annotated.Annotations.Ruler = true;
    annotated.Annotations.Links = true;
    annotated.Annotations.Collapse = 3;
    annotated.QtlPath = "qtl.csv";
    annotated.ShowOnly = "@names.txt";

    CliRequest emptyChoice = Draw();
    emptyChoice.MapList = "";
    CliRequest dashName = info;
    dashName.InputPath = "-odd.raw";

    const std::vector<Row> rows = {
        {"info", {"info", "in.raw", "out.txt"}, info},
        {"info of a map file", {"info", "map.csv"}, mapFile},
        {"maps", {"maps", "in.raw", "out.txt"}, maps},
        {"open", {"open", "in.raw", "out.txt"}, open},
        {"open a map file", {"open", "map.csv"}, openMapFile},
        {"help anywhere wins", {"draw", "--help", "x"}, help},
        {"short help", {"-h"}, help},
        {"version", {"--version"}, version},
        {"draw, options after the files", {"draw", "in.raw", "out.txt", "-o", "out.emf"}, Draw()},
        {"draw, options first", {"draw", "-o", "out.emf", "in.raw", "out.txt"}, Draw()},
        {"long output option with =", {"draw", "in.raw", "out.txt", "--output=out.emf"}, Draw()},
        {"every option, flips gathered, settings in order",
         {"draw", "in.raw", "out.txt", "-o", "maps.svg", "--maps", "1,3-5", "--flip", "2,4",
          "--set", "TopMargin=500", "--flip=6", "--set=LeftMargin=-20", "--default-colour",
          "#FF1234", "--range", "0-3=#ff0000", "--range", "A-1-B=2=#00FF00"},
         everything},
        {"every figure option, with and without =",
         {"draw", "in.raw", "out.txt", "-o", "out.emf", "--width", "175mm", "--per-row=3", "--font",
          "Liberation Sans", "--font-size=7pt", "--line-width", "0.5pt", "--margin", "0",
          "--group-maps", "--dpi", "600"},
         figure},
        {"every annotation option",
         {"draw", "in.raw", "out.txt", "-o", "out.emf", "--titles", "--title", "2=Chr 2 = long arm",
          "--title=5=", "--ruler", "--links", "--collapse", "3", "--qtl", "qtl.csv", "--show-only",
          "@names.txt"},
         annotated},
        {"an empty map list is a choice of none",
         {"draw", "in.raw", "out.txt", "-o", "out.emf", "--maps", ""},
         emptyChoice},
        {"-- ends the options", {"info", "--", "-odd.raw", "out.txt"}, dashName},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseCommandLine(row.args), row.expected);
    }
}

TEST(ParseCommandLineTest, WhatIsNotACommandIsAUsageErrorThatSaysWhy) {
    struct Row {
        const char* name;
        Args args;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"nothing", {}, "No command given."},
        {"unknown command", {"paint", "a", "b"}, "Unknown command \"paint\"."},
        {"no file",
         {"info"},
         "info needs a map file, or the Mapmaker input file and output file, and nothing else."},
        {"three files",
         {"maps", "a", "b", "c"},
         "maps needs a map file, or the Mapmaker input file and output file, and nothing else."},
        {"open with three files",
         {"open", "in.raw", "out.txt", "more.txt"},
         "open needs a map file, or the Mapmaker input file and output file, and nothing else."},
        {"draw options on info",
         {"info", "a", "b", "-o", "x.emf"},
         "Unknown option \"-o\" for info."},
        {"unknown option",
         {"draw", "a", "b", "-o", "x.emf", "--colour", "#000000"},
         "Unknown option \"--colour\" for draw."},
        {"an option without a name is no end of the options",
         {"info", "--=x", "a", "b"},
         "Unknown option \"--=x\" for info."},
        {"draw without -o", {"draw", "a", "b"}, "draw needs the file to write: -o FILE."},
        {"option without value", {"draw", "a", "b", "-o"}, "The option -o needs a value."},
        {"unknown setting",
         {"draw", "a", "b", "-o", "x.emf", "--set", "Margin=5"},
         "Unknown setting \"Margin\". The settings are LeftMargin, RightMargin, TopMargin, "
         "BottomMargin, PageHeight, PageWidth, TailLength, BarWidth, PreBendLength, "
         "SpacingLineLength, FrameworkLineLength, AncillaryLineLength, TextPadding, MapSpacing."},
        {"title without a map",
         {"draw", "a", "b", "-o", "x.emf", "--title", "Chr 2"},
         "Cannot read \"Chr 2\" of --title: write it as MAP=TEXT, MAP the map's group name or "
         "number."},
        {"title with an empty map",
         {"draw", "a", "b", "-o", "x.emf", "--title", "=Chr 2"},
         "Cannot read \"=Chr 2\" of --title: write it as MAP=TEXT, MAP the map's group name or "
         "number."},
        {"collapse of 0",
         {"draw", "a", "b", "-o", "x.emf", "--collapse", "0"},
         "Cannot read --collapse \"0\": it must be a whole number from 1."},
        {"setting without =",
         {"draw", "a", "b", "-o", "x.emf", "--set", "TopMargin"},
         "Cannot read --set \"TopMargin\": write it as Field=value."},
        {"setting past 32 bits",
         {"draw", "a", "b", "-o", "x.emf", "--set", "TopMargin=2147483648"},
         "Cannot read the value of --set \"TopMargin=2147483648\": it must be a whole number of 32 "
         "bits."},
        {"setting not a whole number",
         {"draw", "a", "b", "-o", "x.emf", "--set", "TopMargin=5.5"},
         "Cannot read the value of --set \"TopMargin=5.5\": it must be a whole number of 32 bits."},
        {"range without colour",
         {"draw", "a", "b", "-o", "x.emf", "--range", "0-3"},
         "Cannot read --range \"0-3\": write it as FROM-TO=#RRGGBB."},
        {"range with a bad colour",
         {"draw", "a", "b", "-o", "x.emf", "--range", "0-3=red"},
         "Cannot read the colour \"red\": write it as #RRGGBB."},
        {"version with more", {"--version", "x"}, "--version takes no arguments."},
        {"figure options on info",
         {"info", "a", "b", "--width", "175mm"},
         "Unknown option \"--width\" for info."},
        {"width under a millimetre",
         {"draw", "a", "b", "-o", "x.emf", "--width", "0.004mm"},
         "The option --width \"0.004mm\" is less than 1mm, the least it takes."},
        {"width of none",
         {"draw", "a", "b", "-o", "x.emf", "--width", "0"},
         "The option --width \"0\" is less than 1mm, the least it takes."},
        {"a length with an unknown unit",
         {"draw", "a", "b", "-o", "x.emf", "--width", "17px"},
         "Cannot read the length \"17px\" of --width: write it like 175mm, 8.5cm, 1in, 7pt, or a "
         "whole number of 1/100 mm."},
        {"no maps per row",
         {"draw", "a", "b", "-o", "x.emf", "--per-row", "0"},
         "Cannot read --per-row \"0\": it must be a whole number from 1."},
        {"a font size of nothing",
         {"draw", "a", "b", "-o", "x.emf", "--font-size", "0pt"},
         "The option --font-size needs a size above 0."},
        {"a flag given a value",
         {"draw", "a", "b", "-o", "x.emf", "--group-maps=yes"},
         "The option --group-maps takes no value."},
        {"a figure option without value",
         {"draw", "a", "b", "-o", "x.emf", "--dpi"},
         "The option --dpi needs a value."},
        {"an output twice, once by its short name",
         {"draw", "a", "b", "-o", "x.emf", "--output=y.emf"},
         "The option --output is given more than once; give it once."},
        {"a huge argument, quoted only in part",
         {"draw", "a", "b", "-o", "x.emf", "--range", std::string(300, '-')},
         "Cannot read --range \"" + std::string(100, '-') + "...\": write it as FROM-TO=#RRGGBB."},
        {"help as a file name after --",
         {"info", "--", "-h", "out.txt", "extra"},
         "info needs a map file, or the Mapmaker input file and output file, and nothing else."},
        {"help as an option's value",
         {"draw", "a", "b", "-o", "--help", "-o", "x.emf"},
         "The option --output is given more than once; give it once."},
        {"a figure option twice",
         {"draw", "a", "b", "-o", "x.emf", "--dpi", "300", "--maps", "1", "--dpi", "600"},
         "The option --dpi is given more than once; give it once."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(test::ThrownMessage<UsageError>([&] { ParseCommandLine(row.args); }),
                  row.message);
    }
}

TEST(ParseCommandLineTest, EverySettingIsSetByItsNameAndNamedInTheHelp) {
    const std::vector<std::pair<const char*, std::int32_t PageLengths::*>> rows = {
        {"LeftMargin", &PageLengths::LeftMargin},
        {"RightMargin", &PageLengths::RightMargin},
        {"TopMargin", &PageLengths::TopMargin},
        {"BottomMargin", &PageLengths::BottomMargin},
        {"PageHeight", &PageLengths::PageHeight},
        {"PageWidth", &PageLengths::PageWidth},
        {"TailLength", &PageLengths::TailLength},
        {"BarWidth", &PageLengths::BarWidth},
        {"PreBendLength", &PageLengths::PreBendLength},
        {"SpacingLineLength", &PageLengths::SpacingLineLength},
        {"FrameworkLineLength", &PageLengths::FrameworkLineLength},
        {"AncillaryLineLength", &PageLengths::AncillaryLineLength},
        {"TextPadding", &PageLengths::TextPadding},
        {"MapSpacing", &PageLengths::MapSpacing},
    };
    const std::string usage = UsageText();
    for (const auto& [name, member] : rows) {
        SCOPED_TRACE(name);
        const CliRequest request =
            ParseCommandLine({"draw", "a", "b", "-o", "x.emf", "--set", std::string(name) + "=-7"});
        ASSERT_EQ(request.Settings.size(), 1u);
        PageLengths settings;
        ASSERT_TRUE(SetDrawSetting(settings, request.Settings[0].Field, request.Settings[0].Value));
        PageLengths expected;
        expected.*member = -7;
        EXPECT_EQ(settings, expected);
        EXPECT_NE(usage.find(std::string(" ") + name), std::string::npos);
    }
}

TEST(ParseCommandLineTest, AFigureOptionGivenWithItsDefaultStillGoesOverTheSettingsFile) {
    const CliRequest request =
        ParseCommandLine({"draw", "a", "b", "-o", "x.png", "--dpi", "300", "--margin", "1mm"});
    EXPECT_EQ(request.FigureGiven, (std::set<std::string>{"Dpi", "Margin"}));
    FigureSettings fromFile;
    fromFile.Dpi = 600;
    fromFile.Margin = 500;
    fromFile.FontHeight = 247;
    FigureSettings expected = fromFile;
    expected.Dpi = 300;
    expected.Margin = 100;
    EXPECT_EQ(WithFigureOptions(fromFile, request), expected)
        << "the options given win, their default values too; the others stay as the file gave";
    EXPECT_EQ(WithFigureOptions(fromFile, ParseCommandLine({"draw", "a", "b", "-o", "x.png"})),
              fromFile);
}

TEST(ParseCommandLineTest, FigureOptionsAreCheckedByTheirSettingsRow) {
    struct Row {
        const char* name;
        Args options;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"no resolution",
         {"--dpi", "0"},
         "Cannot read --dpi \"0\": it must be a whole number from 1."},
        {"a negative resolution",
         {"--dpi=-5"},
         "Cannot read --dpi \"-5\": it must be a whole number from 1."},
        {"a resolution with a sign",
         {"--dpi", "+300"},
         "Cannot read --dpi \"+300\": it must be a whole number from 1."},
        {"no face",
         {"--font", ""},
         "Cannot read --font \"\": it must be a text of 1 to 31 characters."},
        {"a face longer than a metafile holds",
         {"--font", std::string(32, 'F')},
         "Cannot read --font \"" + std::string(32, 'F') +
             "\": it must be a text of 1 to 31 characters."},
        {"a negative font size",
         {"--font-size", "-3pt"},
         "Cannot read the length \"-3pt\" of --font-size: write it like 175mm, 8.5cm, 1in, 7pt, "
         "or a whole number of 1/100 mm."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Args args{"draw", "a", "b", "-o", "x.png"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        EXPECT_EQ(test::ThrownMessage<UsageError>([&] { ParseCommandLine(args); }), row.message);
    }
    // A face of 31 characters, each of two bytes, is as long as a metafile holds.
    std::string longest;
    for (int i = 0; i < 31; ++i) {
        longest += "\xC3\xA9";
    }
    EXPECT_EQ(
        ParseCommandLine({"draw", "a", "b", "-o", "x.emf", "--font", longest}).Figure.FontFace,
        longest);
}

TEST(ParseCommandLineTest, EveryFigureSettingWithAnOptionIsInTheHelpWithItsText) {
    const std::string usage = UsageText();
    for (const FigureSettingField& field : kFigureSettingFields) {
        SCOPED_TRACE(field.Name);
        if (field.Option.empty()) {
            continue; // set in a settings file or the window only
        }
        std::string line = "  " + std::string(field.Option);
        if (!field.OptionValue.empty()) {
            line += " " + std::string(field.OptionValue);
        }
        line.resize(std::max(line.size() + 1, std::size_t{28}), ' ');
        // The first line of the help beside the option; further lines below.
        const std::string_view help = field.OptionHelp.substr(0, field.OptionHelp.find('\n'));
        EXPECT_NE(usage.find(line + std::string(help) + "\n"), std::string::npos);
    }
}

// The help names every map-file format read from one file and every drawing
// extension, from their tables, in lines of at most 79 characters.
TEST(UsageTextTest, NamesEveryFormatOfTheTablesInLinesThatFit) {
    const std::string usage = UsageText();
    std::string words; // the text with its line breaks and indents as single blanks
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i <= usage.size(); ++i) {
        if (i == usage.size() || usage[i] == '\n') {
            EXPECT_LE(i - lineStart, 79u) << usage.substr(lineStart, i - lineStart);
            lineStart = i + 1;
        }
        const char c = i < usage.size() && usage[i] != '\n' ? usage[i] : ' ';
        if (c != ' ' || (!words.empty() && words.back() != ' ')) {
            words += c;
        }
    }
    for (const MapFileFormat& format : MapFileFormats()) {
        if (format.FileCount == 1) {
            EXPECT_NE(words.find(format.Summary), std::string::npos) << format.Name;
        }
    }
    EXPECT_NE(words.find("draw maps into FILE (.emf, .svg, .pdf or .png, by its extension)"),
              std::string::npos)
        << words;
}

TEST(ParseColourTest, PeopleWriteRedFirstTheDrawingKeepsBlueHigh) {
    EXPECT_EQ(ParseColour("#FF0000"), 0x0000FFu);
    EXPECT_EQ(ParseColour("#00ff80"), 0x80FF00u);
    EXPECT_EQ(ParseColour("#123456"), 0x563412u);
    EXPECT_EQ(ParseColour("#000000"), 0u);
    for (const char* bad : {"FF0000", "#FF00", "#FF00000", "#GG0000", "", "#", "0xFF0000"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseColour(bad), UsageError);
    }
}

} // namespace
} // namespace karvello
