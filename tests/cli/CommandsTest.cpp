#include "cli/Commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "drawing/DrawMaps.h"
#include "mapdata/Transforms.h"
#include "tests/support/Exceptions.h"
#include "tests/support/FakeCanvas.h"
#include "tests/support/FixtureFiles.h"
#include "tests/support/RecordingSurface.h"

namespace karvello {
namespace {

using test::RecordingSurface;

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        input = folder.Write("fixture.raw", test::kFixtureInput);
        output = folder.Write("fixture.out", test::kFixtureOutput);
    }
    CliRequest Request(CliCommand command) const {
        CliRequest request;
        request.Command = command;
        request.InputPath = input;
        request.OutputPath = output;
        request.DrawPath = "maps.emf";
        return request;
    }
    std::string Run(const CliRequest& request) { return RunRequest(request, canvas.Factory()); }
    std::string ErrorOf(const CliRequest& request) {
        return test::ThrownMessage([&] { Run(request); });
    }

    test::TempFolder folder;
    std::string input;
    std::string output;
    test::FakeCanvases canvas;
};

TEST_F(CommandsTest, InfoGivesTheInformationTextByteForByte) {
    EXPECT_EQ(Run(Request(CliCommand::Info)), test::kFixtureInformation);
}

TEST_F(CommandsTest, MapsListsNumberMarkersPlacedAndLength) {
    EXPECT_EQ(Run(Request(CliCommand::Maps)), "1\t3\t1\t10.0\n2\t1\t0\t0.0\n");
}

TEST_F(CommandsTest, DrawAppliesSettingsColoursFlipsAndTheChoiceOfMaps) {
    CliRequest request = Request(CliCommand::Draw);
    request.MapList = "1-2";
    request.FlipLists = {"1"};
    request.Settings = {{"TopMargin", 500}, {"MapSpacing", 700}};
    request.DefaultColour = 0x00FF00;
    request.Ranges = {{"B2-D4", 0x0000FF}, {"3-3", 0xFF0000}};
    EXPECT_EQ(Run(request), "");
    EXPECT_EQ(canvas.paths, (std::vector<std::string>{"maps.emf"}));
    EXPECT_EQ(canvas.commits, canvas.paths);

    // The same drawing made by hand from the loaded pair.
    Workspace loaded;
    loaded.Load(input, output);
    MarkerTable markers = loaded.AllMarkers();
    const std::vector<RgbColour> colours{0x00FF00, 0x0000FF, 0x0000FF,
                                         0xFF0000, 0x00FF00, 0x00FF00};
    for (std::size_t i = 0; i < markers.size(); ++i) {
        markers[i].Colour = colours[i];
    }
    std::vector<LinkageMap> maps = loaded.Maps();
    FlipMap(maps[0]);
    maps[0].Flipped = true;
    PageLengths settings;
    settings.TopMargin = 500;
    settings.MapSpacing = 700;
    RecordingSurface expected;
    (void)DrawMaps(maps, expected, settings, markers);
    EXPECT_EQ(canvas.surface.Text(), expected.Text());
    EXPECT_NE(expected.Text().find("FontColour FF0000"), std::string::npos)
        << "the ranges must show in the drawing";
}

TEST_F(CommandsTest, DrawWithoutMapsDrawsEveryMapUnflipped) {
    Run(Request(CliCommand::Draw));
    Workspace loaded;
    loaded.Load(input, output);
    RecordingSurface expected;
    (void)DrawMaps(loaded.Maps(), expected, PageLengths{}, loaded.AllMarkers());
    EXPECT_EQ(canvas.surface.Text(), expected.Text());
}

TEST_F(CommandsTest, DrawRefusesMapsThatDoNotExistAndAnEmptyChoice) {
    CliRequest past = Request(CliCommand::Draw);
    past.MapList = "1,2-3";
    EXPECT_EQ(ErrorOf(past), "There is no map 3: the output file holds 2 maps.");

    CliRequest flipPast = Request(CliCommand::Draw);
    flipPast.FlipLists = {"5-9"};
    EXPECT_EQ(ErrorOf(flipPast), "There is no map 5: the output file holds 2 maps.");

    CliRequest none = Request(CliCommand::Draw);
    none.MapList = "";
    EXPECT_EQ(ErrorOf(none), "No map is chosen: --maps names no map to draw.");

    const std::string emptyFile = folder.Write("none.txt", "\n  \n");
    const std::vector<std::pair<std::string, std::string>> emptyLists = {
        {"", "--show-only \"\" names no marker; write the names as a,b,c or @FILE."},
        {",", "--show-only \",\" names no marker; write the names as a,b,c or @FILE."},
        {" , ", "--show-only \" , \" names no marker; write the names as a,b,c or @FILE."},
        {"@" + emptyFile, "--show-only \"@" + emptyFile + "\": the file \"" + emptyFile +
                              "\" names no marker; write one name a line."},
    };
    for (const auto& [list, message] : emptyLists) {
        CliRequest showNone = Request(CliCommand::Draw);
        showNone.ShowOnly = list;
        EXPECT_EQ(ErrorOf(showNone), message);
    }

    CliRequest noMaps = Request(CliCommand::Draw);
    noMaps.OutputPath = folder.Write("empty.out", "nothing here\n");
    EXPECT_EQ(ErrorOf(noMaps), "There is no map to draw: the output file \"" + noMaps.OutputPath +
                                   "\" holds no map.");

    CliRequest unknownMarker = Request(CliCommand::Draw);
    unknownMarker.Ranges = {{"A1-Z9", 0}};
    EXPECT_EQ(ErrorOf(unknownMarker),
              "In the range \"A1-Z9\": There is no marker named \"Z9\" in the input file.");

    EXPECT_TRUE(canvas.paths.empty()) << "no file is opened for a refused drawing";
}

TEST_F(CommandsTest, DrawCarriesTheAnnotationsTheQtlTableAndTheNamesToShow) {
    CliRequest request = Request(CliCommand::Draw);
    request.Annotations.Titles = true;
    request.Annotations.Ruler = true;
    request.QtlPath = folder.Write("qtl.csv", "map,name,start,end\n1,qA,2,8\n");
    request.ShowOnly = "@" + folder.Write("names.txt", "\xEF\xBB\xBF"
                                                       "A1\r\n\n  C3 \nZZ9\n");
    std::vector<std::string> warnings;
    RunRequest(request, canvas.Factory(), &warnings);
    EXPECT_EQ(warnings,
              (std::vector<std::string>{"--show-only names 1 marker that no map has: \"ZZ9\"."}));

    Workspace loaded;
    loaded.Load(input, output);
    FigureAnnotations annotations = request.Annotations;
    annotations.ShowOnly = std::unordered_set<std::string>{"A1", "C3", "ZZ9"};
    QtlInterval qtl;
    qtl.Map = "1";
    qtl.Name = "qA";
    qtl.Start = 2;
    qtl.End = 8;
    qtl.Line = 2;
    annotations.Qtls = {{0, qtl}};
    RecordingSurface expected;
    (void)DrawMaps(loaded.Maps(), expected, PageLengths{}, loaded.AllMarkers(), FigureSettings{},
                   annotations);
    EXPECT_EQ(canvas.surface.Text(), expected.Text());
    EXPECT_NE(expected.Text().find("\"qA\""), std::string::npos);

    CliRequest listed = Request(CliCommand::Draw);
    listed.ShowOnly = " B2, ,E5";
    RunRequest(listed, canvas.Factory(), &warnings);
    EXPECT_EQ(warnings.size(), 1u) << "every name of the list is known";

    CliRequest badQtl = Request(CliCommand::Draw);
    badQtl.QtlPath = folder.Write("bad.csv", "map,name,start,end\n3,qB,1,2\n");
    EXPECT_EQ(ErrorOf(badQtl),
              "The map \"3\" on line 2 of \"" + badQtl.QtlPath +
                  "\" is not a map of the loaded data, which holds the maps 1, 2.");

    // A QTL of a map that the drawing leaves out is left out with it.
    CliRequest other = Request(CliCommand::Draw);
    other.MapList = "2";
    other.QtlPath = request.QtlPath;
    canvas.surface.ClearLog();
    Run(other);
    EXPECT_EQ(canvas.surface.Text().find("\"qA\""), std::string::npos);
}

TEST_F(CommandsTest, MapsAreNamedByGroupFirstWhereverAMapIsNamed) {
    // Groups named by numbers, 3 missing: "4" is the third map.
    CliRequest request = Request(CliCommand::Draw);
    request.InputPath = folder.Write("gaps.csv", "marker,chr,pos\na,1,0\nb,1,5\nc,2,0\nd,2,7\n"
                                                 "e,4,0\nf,4,9\n");
    request.OutputPath.clear();
    request.MapList = "4";
    request.FlipLists = {"4"};
    request.Titles = {{"4", "Four"}};
    request.QtlPath = folder.Write("gaps-qtl.csv", "map,name,start,end\n4,qFour,1,2\n");
    std::vector<std::string> warnings;
    RunRequest(request, canvas.Factory(), &warnings);
    EXPECT_EQ(warnings, std::vector<std::string>{});

    // Only the group "4" is drawn, with its title and QTL (a flip of the
    // fourth map would have been refused: the file holds three).
    const std::string drawn = canvas.surface.Text();
    for (const char* shown : {"\"e\"", "\"f\"", "\"Four\"", "\"qFour\""}) {
        EXPECT_NE(drawn.find(shown), std::string::npos) << shown;
    }
    for (const char* left : {"\"a\"", "\"c\""}) {
        EXPECT_EQ(drawn.find(left), std::string::npos) << left;
    }

    // A number no group has is the map of that place, with a warning.
    request.MapList = "3";
    request.Titles.clear();
    request.FlipLists.clear();
    warnings.clear();
    RunRequest(request, canvas.Factory(), &warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("taken as the file's map 3, group \"4\""), std::string::npos);

    // A title for a map the file does not hold is refused, as --maps is.
    request.MapList.reset();
    request.Titles = {{"9", "Nine"}};
    EXPECT_EQ(ErrorOf(request),
              "--title \"9=Nine\": There is no map 9: the map file holds 3 maps.");
    request.Titles = {{"#4", "Nine"}};
    EXPECT_EQ(ErrorOf(request),
              "--title \"#4=Nine\": There is no map #4: the map file holds 3 maps.");
}

TEST_F(CommandsTest, AMapFilesLengthIsListedRoundedToATenth) {
    // The gaps sum to 39.699999999999996, which a cut would show as 39.6.
    CliRequest request = Request(CliCommand::Maps);
    request.InputPath =
        folder.Write("tenth.csv", "group,marker,position\nA,a,2.4\nA,b,18.8\nA,c,38.7\nA,d,42.1\n");
    request.OutputPath.clear();
    EXPECT_EQ(Run(request), "1\t4\t0\t39.7\n");
}

TEST_F(CommandsTest, ANulInATableOrAListIsRefusedNamingTheLine) {
    const std::string nul("map,name,start,end\n1,qA,0,1\n1,q\0B,0,1\n", 38);
    CliRequest qtl = Request(CliCommand::Draw);
    qtl.QtlPath = folder.Write("nul-qtl.csv", nul);
    CliRequest names = Request(CliCommand::Draw);
    names.ShowOnly = "@" + folder.Write("nul-names.txt", std::string("A1\nB2\0\nC3\n", 10));
    CliRequest map = Request(CliCommand::Maps);
    map.InputPath = folder.Write("nul-map.csv", std::string("group,marker,pos\n\0", 18));
    map.OutputPath.clear();
    const std::string rest =
        " holds a NUL byte, which no text file holds, and the rest of the file "
        "would be lost. Is it saved as UTF-16 (Unicode)? Save it as UTF-8 "
        "text and open that.";
    EXPECT_EQ(ErrorOf(qtl), "Line 3 of \"" + qtl.QtlPath + "\"" + rest);
    EXPECT_EQ(ErrorOf(names), "Line 2 of \"" + names.ShowOnly->substr(1) + "\"" + rest);
    EXPECT_EQ(ErrorOf(map), "Line 2 of \"" + map.InputPath + "\"" + rest);
}

TEST_F(CommandsTest, NamesTypedInUtfEightFindTheNamesOfAWindows1252File) {
    CliRequest request = Request(CliCommand::Draw);
    request.InputPath = folder.Write("ansi.csv", "group,marker,position\nA,G\xE8ne,0\nA,b,1\n");
    request.OutputPath.clear();
    request.ShowOnly = "G\xC3\xA8ne";
    request.Ranges = {{"G\xC3\xA8ne-b", 0xFF0000}};
    std::vector<std::string> warnings;
    RunRequest(request, canvas.Factory(), &warnings);
    ASSERT_EQ(warnings.size(), 1u); // the file's encoding, and no unknown name
    EXPECT_NE(warnings[0].find("Windows-1252"), std::string::npos);
    EXPECT_NE(canvas.surface.Text().find("FontColour FF0000"), std::string::npos);
}

TEST_F(CommandsTest, AMapFileAloneIsLoadedAndDrawnOnItsPositions) {
    CliRequest request = Request(CliCommand::Maps);
    request.InputPath = folder.Write("map.csv", "group,marker,position\nLG1,a,-2\nLG1,b,3.5\n"
                                                "LG2,c,10\nLG2,d,10\nLG2,c,12\n");
    request.OutputPath.clear();
    std::vector<std::string> warnings;
    EXPECT_EQ(RunRequest(request, canvas.Factory(), &warnings), "1\t2\t0\t5.5\n2\t3\t0\t2.0\n");
    ASSERT_EQ(warnings.size(), 1u); // c twice in LG2
    EXPECT_NE(warnings[0].find("\"c\""), std::string::npos);

    request.Command = CliCommand::Info;
    EXPECT_EQ(RunRequest(request, canvas.Factory()),
              "Marker positions (group, cM)\r\n"
              "============================\r\n"
              "LG1\t-2\ta\r\nLG1\t3.5\tb\r\nLG2\t10\tc\r\nLG2\t10\td\r\nLG2\t12\tc\r\n");

    request.Command = CliCommand::Draw;
    request.Annotations.Titles = true;
    Run(request);
    const std::string drawn = canvas.surface.Text();
    EXPECT_NE(drawn.find("\"LG1\""), std::string::npos);
    EXPECT_NE(drawn.find("\"LG2\""), std::string::npos);
    EXPECT_NE(drawn.find("\"5.5\""), std::string::npos);

    request.MapList = "3";
    EXPECT_EQ(ErrorOf(request), "There is no map 3: the map file holds 2 maps.");

    CliRequest bad = Request(CliCommand::Info);
    bad.InputPath = folder.Write("bad.csv", "group,marker,position\nLG1,a,x\n");
    bad.OutputPath.clear();
    EXPECT_EQ(ErrorOf(bad),
              "Position \"x\" on line 2 of \"" + bad.InputPath + "\" is not a number.");
}

TEST_F(CommandsTest, ALoadErrorNamesTheFile) {
    CliRequest request = Request(CliCommand::Info);
    request.InputPath = folder.Path("absent.raw");
    EXPECT_EQ(ErrorOf(request),
              "Cannot open file \"" + request.InputPath + "\". No such file or directory");
}

TEST_F(CommandsTest, AFileNamedRelativelyIsNamedByItsFullPath) {
    const auto former = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(input).parent_path());
    CliRequest request = Request(CliCommand::Maps);
    request.OutputPath = "absent.out";
    const std::string message = ErrorOf(request);
    std::filesystem::current_path(former);
    EXPECT_EQ(message, "Cannot open file \"" +
                           (std::filesystem::path(input).parent_path() / "absent.out").string() +
                           "\". No such file or directory");
}

TEST(ResolveRangeTest, IndexesNamesAndNamesThatHoldADash) {
    MarkerTable markers(7);
    const char* names[] = {"A1", "B2", "X-1", "X", "1-2", "C", "B2"};
    for (std::size_t i = 0; i < markers.size(); ++i) {
        markers[i].Name = names[i];
    }
    struct Row {
        const char* text;
        int start, end;
    };
    const Row good[] = {
        {"0-6", 0, 6},    {"A1-B2", 0, 1}, {"X-1-C", 2, 5},
        {"A1-1-2", 0, 4}, {"A1-3", 0, 3},  {"0-A1", 0, 0},
    };
    for (const auto& row : good) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ResolveRange({row.text, 0xABCDEF}, markers),
                  (ColourRange{row.start, row.end, 0xABCDEF}));
    }
    struct Bad {
        const char* text;
        const char* message;
    };
    const Bad bad[] = {
        {"A1-7", "In the range \"A1-7\": There is no marker with index 7: the input file holds 7 "
                 "markers, indexes 0 to 6."},
        {"Q-A1", "In the range \"Q-A1\": There is no marker named \"Q\" in the input file."},
        {"A1", "The range \"A1\" does not name two markers of the input file as FROM-TO."},
        {"-A1", "The range \"-A1\" does not name two markers of the input file as FROM-TO."},
        {"X-1-2", "The range \"X-1-2\" can be read as more than one pair of markers; give marker "
                  "indexes instead."},
        {"B2-A1", "The range \"B2-A1\" runs backwards: marker 1 (\"B2\") comes after marker 0 "
                  "(\"A1\") in the input file. Give the earlier marker first."},
        {"1-2-A1", "The range \"1-2-A1\" runs backwards: marker 4 (\"1-2\") comes after marker "
                   "0 (\"A1\") in the input file. Give the earlier marker first."},
        {"99999999999999999999-1",
         "In the range \"99999999999999999999-1\": There is no marker with "
         "index 99999999999999999999: the input file holds 7 markers, "
         "indexes 0 to 6."},
    };
    const auto errorOf = [](const char* text, const MarkerTable& table) {
        return test::ThrownMessage([&] { ResolveRange({text, 0}, table); });
    };
    for (const auto& row : bad) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(errorOf(row.text, markers), row.message);
    }
    EXPECT_EQ(
        errorOf("0-0", MarkerTable{}),
        "In the range \"0-0\": There is no marker with index 0: the input file holds no markers.")
        << "an empty table has no index range to name";
    EXPECT_EQ(errorOf(std::string(30000, '-').c_str(), markers),
              "The range \"" + std::string(100, '-') +
                  "...\" does not name two markers of the input file as FROM-TO.")
        << "a huge argument is quoted in part";
}

} // namespace
} // namespace karvello
