#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/Text.h"
#include "drawing/DrawMaps.h"
#include "mapdata/OutputReader.h"
#include "mapdata/Transforms.h"
#include "tests/support/Exceptions.h"
#include "tests/support/FakeCanvas.h"
#include "tests/support/FixtureFiles.h"
#include "tests/support/RecordingSurface.h"

namespace karvello {
namespace {

using test::FakeCanvases;
using test::RecordingSurface;
using test::TempFolder;

constexpr RgbColour kRed = 0x0000FF;
constexpr RgbColour kBlue = 0xFF0000;
constexpr RgbColour kGreen = 0x00FF00;

// What DrawMaps draws for these maps, as the recording surface logs it.
std::string ExpectedDrawing(const std::vector<LinkageMap>& maps, const PageLengths& settings,
                            const MarkerTable& markers) {
    RecordingSurface surface;
    (void)DrawMaps(maps, surface, settings, markers);
    return surface.Text();
}

LinkageMap FlippedCopy(const LinkageMap& map) {
    LinkageMap copy = map;
    FlipMap(copy);
    return copy;
}

class WorkspaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        input = folder.Write("fixture.raw", test::kFixtureInput);
        output = folder.Write("fixture.out", test::kFixtureOutput);
    }
    void LoadFixture() { ws.Load(input, output); }

    TempFolder folder;
    std::string input;
    std::string output;
    Workspace ws;
};

TEST_F(WorkspaceTest, CreateStartsEmptyWithTheDefaultSettings) {
    EXPECT_FALSE(ws.MapsLoaded());
    EXPECT_EQ(ws.SelectedMap(), -1);
    EXPECT_TRUE(ws.AllMarkers().empty());
    EXPECT_TRUE(ws.Maps().empty());
    EXPECT_TRUE(ws.ColourRanges().empty());
    EXPECT_EQ(ws.DefaultColour(), 0u);
    EXPECT_TRUE(ws.MapListEntries().empty());
    EXPECT_EQ(ws.InformationText(), "");
    const PageLengths& s = ws.Settings();
    const std::vector<int> actual{
        s.LeftMargin,    s.RightMargin,       s.TopMargin,           s.BottomMargin,
        s.PageHeight,    s.PageWidth,         s.TailLength,          s.BarWidth,
        s.PreBendLength, s.SpacingLineLength, s.FrameworkLineLength, s.AncillaryLineLength,
        s.TextPadding,   s.MapSpacing};
    EXPECT_EQ(actual, (std::vector<int>{100, 0, 1000, 1000, 10000, 10000, 300, 500, 100, 1000, 3000,
                                        500, 100, 2000}));
}

TEST_F(WorkspaceTest, LoadFindsEveryMapAndWritesTheInformationText) {
    LoadFixture();
    EXPECT_TRUE(ws.MapsLoaded());
    EXPECT_EQ(ws.SelectedMap(), -1);
    EXPECT_EQ(ws.MapListEntries(),
              (std::vector<std::string>{"1: 3 markers, 10.0 cM", "2: 1 marker, 0.0 cM"}));
    EXPECT_EQ(ws.InformationText(), test::kFixtureInformation);
    ASSERT_EQ(ws.AllMarkers().size(), 6u);
    EXPECT_TRUE(ws.AllMarkers()[1].Dominant);

    LinkageMap first;
    first.MapNumber = 1;
    first.Markers = {{0, 10.0, -1, false}, {1, 0.0, 2, false}, {2, 0.0, -1, true}};
    first.Placed = {{3, 1}};
    LinkageMap second;
    second.MapNumber = 2;
    second.Markers = {{4, 0.0, -1, false}};
    ASSERT_EQ(ws.Maps().size(), 2u);
    EXPECT_EQ(ws.Maps()[0], first);
    EXPECT_EQ(ws.Maps()[1], second);
    EXPECT_FALSE(ws.Ticked(0));
    EXPECT_FALSE(ws.Ticked(1));
}

TEST_F(WorkspaceTest, OutputWithoutACompleteMapListsEveryMarkerAsUnmapped) {
    const std::string noMap = folder.Write("nomap.out", "Map\n  Markers placed\n    1  A1  ----\n");
    ws.Load(input, noMap);
    EXPECT_TRUE(ws.MapsLoaded());
    EXPECT_TRUE(ws.Maps().empty());
    EXPECT_TRUE(ws.MapListEntries().empty());
    EXPECT_EQ(ws.InformationText(),
              "Unmapped markers:\r\n=================\r\nA1\r\nB2\r\nC3\r\nD4\r\nE5\r\nF6\r\n\r\n"
              "Marker positions (chromosome, position)\r\n"
              "=======================================\r\n"
              "0\t0\tA1\r\n0\t0\tB2\r\n0\t0\tC3\r\n0\t0\tD4\r\n0\t0\tE5\r\n0\t0\tF6\r\n");
}

TEST_F(WorkspaceTest, ASecondLoadDropsTicksAndFlipsButColoursTheNewTableAsTheOptionsSay) {
    LoadFixture();
    ws.Select(0);
    ws.Flip(true);
    ws.SetTicked(1, true);
    PageLengths settings;
    settings.TopMargin = 7;
    // The second range reaches past the table and is clipped to it.
    ws.AcceptOptions(settings, kGreen, {{0, 1, kRed}, {4, 99, kBlue}});
    ASSERT_EQ(ws.AllMarkers()[0].Colour, kRed);

    LoadFixture();
    EXPECT_EQ(ws.SelectedMap(), -1);
    EXPECT_FALSE(ws.Maps()[0].Flipped);
    EXPECT_FALSE(ws.Ticked(1));
    std::vector<RgbColour> colours;
    for (const auto& marker : ws.AllMarkers()) {
        colours.push_back(marker.Colour);
    }
    EXPECT_EQ(colours, (std::vector<RgbColour>{kRed, kRed, kGreen, kGreen, kBlue, kBlue}));
    EXPECT_EQ(ws.Settings().TopMargin, 7);
    EXPECT_EQ(ws.DefaultColour(), kGreen);
    EXPECT_EQ(ws.ColourRanges(), (ColourRangeList{{0, 1, kRed}, {4, 99, kBlue}}));
    EXPECT_TRUE(ws.FlipBox()) << "the box keeps its state until a map is selected";
}

TEST_F(WorkspaceTest, LoadWarnsOfAnInputFileWithoutItsHeadingAndAnOutputWithoutMaps) {
    LoadFixture();
    EXPECT_TRUE(ws.LoadWarnings().empty()) << "a genuine pair loads without a word";

    // The two files swapped in their boxes: no map, no heading.
    ws.Load(output, input);
    ASSERT_EQ(ws.LoadWarnings().size(), 2u);
    EXPECT_EQ(ws.LoadWarnings()[0],
              "The input file \"" + output +
                  "\" does not begin with Mapmaker's \"data type\" line, so it may not be a "
                  "Mapmaker input file.");
    EXPECT_EQ(ws.LoadWarnings()[1], "No map was found in the output file \"" + input +
                                        "\": a map begins with a line \"Map:\" followed by "
                                        "its marker table, as Mapmaker writes it.");

    // Leading blanks and another case still make the heading; a failed load
    // warns of nothing, its error says it all.
    const std::string indented =
        folder.Write("indented.raw", std::string("  DATA TYPE f2\n") + (test::kFixtureInput + 24));
    ws.Load(indented, output);
    EXPECT_TRUE(ws.LoadWarnings().empty());
    EXPECT_EQ(ws.Maps().size(), 2u);
    EXPECT_THROW(ws.Load(output, folder.Path("absent.out")), KarvelloError);
    EXPECT_TRUE(ws.LoadWarnings().empty());
}

TEST_F(WorkspaceTest, TickAllAndNone) {
    LoadFixture();
    ws.SetAllTicked(true);
    EXPECT_TRUE(ws.Ticked(0) && ws.Ticked(1));
    ws.SetAllTicked(false);
    EXPECT_FALSE(ws.Ticked(0) || ws.Ticked(1));
}

// Every failure starts from a workspace that had loaded the fixture and
// selected a map, so that what the failure clears and what it keeps shows.
struct LoadFailure {
    const char* name;
    std::string input; // file names relative to the folder; "" stays empty
    std::string output;
    std::size_t markersAfter;
};

TEST_F(WorkspaceTest, AFailedLoadLeavesTheStateThatFailureHandlingGives) {
    folder.Write("mismatch.out", "Map:\n  Markers\n    1  A1  10.0 cM\n    9  X9  ----\n\n"
                                 "Markers placed relative to above map:\n");
    const std::vector<LoadFailure> rows = {
        {"missing input file", "absent.raw", "fixture.out", 0},
        {"missing output file", "fixture.raw", "absent.out", 6},
        {"empty input name", "", "fixture.out", 0},
        {"empty output name", "fixture.raw", "", 6},
        {"input name is a folder", ".", "fixture.out", 0},
        {"marker number past the table", "fixture.raw", "mismatch.out", 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Workspace w;
        w.Load(input, output);
        w.Select(1);
        w.SetTicked(0, true);
        const std::string formerInformation = w.InformationText();

        const std::string in = row.input.empty() ? "" : folder.Path(row.input);
        const std::string out = row.output.empty() ? "" : folder.Path(row.output);
        EXPECT_THROW(w.Load(in, out), KarvelloError);

        EXPECT_TRUE(w.Maps().empty());
        EXPECT_TRUE(w.MapListEntries().empty());
        EXPECT_FALSE(w.Ticked(0));
        EXPECT_EQ(w.SelectedMap(), -1);
        EXPECT_TRUE(w.MapsLoaded());
        EXPECT_EQ(w.InformationText(), formerInformation);
        ASSERT_EQ(w.AllMarkers().size(), row.markersAfter);
        for (const auto& marker : w.AllMarkers()) {
            EXPECT_FALSE(marker.Mapped) << marker.Name;
            EXPECT_EQ(marker.Chromosome, 0);
            EXPECT_EQ(marker.Position, 0);
        }
    }
}

TEST_F(WorkspaceTest, FailureMessagesNameTheFileAndTheReason) {
    const std::string absent = folder.Path("absent.raw");
    auto messageOf = [&](const std::string& in, const std::string& out) {
        return test::ThrownMessage([&] { ws.Load(in, out); });
    };
    EXPECT_EQ(messageOf(absent, output),
              "Cannot open file \"" + absent + "\". No such file or directory");
    EXPECT_EQ(messageOf("", output), "Cannot open file \"\". No file name was given");
    EXPECT_FALSE(ws.MapsLoaded()) << "a failed load never sets the loaded flag";

    // The pair check names the output file as the user gave it.
    const std::string mismatch =
        folder.Write("mismatch.out",
                     "Map:\n  Markers\n    7  G7  ----\n\nMarkers placed relative to above map:\n");
    EXPECT_EQ(messageOf(input, mismatch), MarkerNumberError(3, 7, 6).MessageFor(mismatch));
    EXPECT_NE(messageOf(input, mismatch).find(mismatch), std::string::npos);
}

TEST_F(WorkspaceTest, SelectSetsTheFlipBoxAndFlipStoresIntoTheSelectedMapOnly) {
    LoadFixture();
    ws.Flip(true); // no map selected: the box changes, no map does
    EXPECT_TRUE(ws.FlipBox());
    EXPECT_FALSE(ws.Maps()[0].Flipped);
    EXPECT_FALSE(ws.Maps()[1].Flipped);

    ws.Select(1);
    EXPECT_FALSE(ws.FlipBox()) << "the box follows the selected map";
    ws.Flip(true);
    EXPECT_TRUE(ws.Maps()[1].Flipped);
    EXPECT_FALSE(ws.Maps()[0].Flipped);

    ws.Select(0);
    EXPECT_FALSE(ws.FlipBox());
    ws.Select(1);
    EXPECT_TRUE(ws.FlipBox());
    ws.Select(-1);
    EXPECT_EQ(ws.SelectedMap(), -1);
    EXPECT_TRUE(ws.FlipBox()) << "selecting nothing leaves the box alone";

    EXPECT_THROW(ws.Select(2), KarvelloError);
    EXPECT_THROW(ws.Select(-2), KarvelloError);
    EXPECT_EQ(ws.SelectedMap(), -1);
    EXPECT_THROW(ws.SetTicked(2, true), KarvelloError);
    EXPECT_FALSE(ws.Ticked(2));
    EXPECT_FALSE(ws.Ticked(-1));
}

TEST_F(WorkspaceTest, SetFlippedFlipsOneMapAndKeepsTheSelection) {
    LoadFixture();
    ws.Select(1);
    ws.SetFlipped(0, true);
    EXPECT_TRUE(ws.Maps()[0].Flipped);
    EXPECT_FALSE(ws.Maps()[1].Flipped);
    EXPECT_EQ(ws.SelectedMap(), 1);
    EXPECT_FALSE(ws.FlipBox()) << "the box shows the selected map, which did not change";

    ws.SetFlipped(1, true);
    EXPECT_TRUE(ws.FlipBox()) << "the box follows its own map";
    ws.SetFlipped(1, false);
    EXPECT_FALSE(ws.FlipBox());
    EXPECT_FALSE(ws.Maps()[1].Flipped);

    for (const int bad : {2, -1}) {
        EXPECT_EQ(test::ThrownMessage([&] { ws.SetFlipped(bad, true); }),
                  "List index out of bounds (" + std::to_string(bad) + ")");
    }
    EXPECT_TRUE(ws.Maps()[0].Flipped);
    EXPECT_FALSE(ws.Maps()[1].Flipped);
}

TEST_F(WorkspaceTest, AcceptOptionsGivesTheDefaultColourThenEachRangeInOrder) {
    LoadFixture();
    PageLengths settings;
    settings.MapSpacing = 1234;
    settings.LeftMargin = -50;
    ws.AcceptOptions(settings, kGreen,
                     {{0, 3, kRed}, {2, -1, kBlue}, {5, 1, kRed}, {4, 99, kBlue}});
    std::vector<RgbColour> colours;
    for (const auto& marker : ws.AllMarkers()) {
        colours.push_back(marker.Colour);
    }
    // The later range wins; 5 to 1 colours nothing; 4 to 99 is clipped.
    EXPECT_EQ(colours, (std::vector<RgbColour>{kRed, kRed, kBlue, kBlue, kBlue, kBlue}));
    EXPECT_EQ(ws.Settings(), settings);
    EXPECT_EQ(ws.DefaultColour(), kGreen);
    EXPECT_EQ(ws.ColourRanges().size(), 4u);

    ws.AcceptOptions(PageLengths{}, kGreen, ws.ColourRanges());
    EXPECT_EQ(ws.ColourRanges().size(), 4u) << "handing back our own list is safe";

    Workspace empty;
    empty.AcceptOptions(settings, kRed, {{0, -1, kBlue}});
    EXPECT_TRUE(empty.AllMarkers().empty());
    EXPECT_EQ(empty.ColourRanges(), (ColourRangeList{{0, -1, kBlue}}));
}

TEST(PreviewSettingsTest, ThePageIsTheBoxInHundredthsOfAMillimetre) {
    struct Row {
        const char* name;
        int boxW, boxH, cx, cy, screenW, screenH;
        int pageW, pageH;
    };
    const Row rows[] = {
        {"9281.25 and 5781.25 round down", 297, 185, 32000, 24000, 1024, 768, 9281, 5781},
        {"3187.5 goes to the even 3188", 102, 185, 32000, 24000, 1024, 768, 3188, 5781},
        {"3312.5 goes to the even 3312", 106, 185, 32000, 24000, 1024, 768, 3312, 5781},
        {"an empty box", 0, 0, 32000, 24000, 1024, 768, 0, 0},
        {"a product past 32 bits", 50000, 50000, 100000, 100000, 1000, 1000, 5000000, 5000000},
        {"no screen size", 297, 185, 32000, 24000, 0, 0, 0, 0},
    };
    PageLengths settings;
    settings.TopMargin = 42;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PageLengths expected = settings;
        expected.PageWidth = row.pageW;
        expected.PageHeight = row.pageH;
        EXPECT_EQ(Workspace::PreviewSettings(settings, row.boxW, row.boxH, row.cx, row.cy,
                                             row.screenW, row.screenH),
                  expected);
    }
}

TEST_F(WorkspaceTest, PreviewPaintsOnlyTheBackgroundUntilAMapIsSelected) {
    RecordingSurface surface;
    surface.SetWindowExtent(32000, 24000);
    ws.RenderPreview(surface, 297, 185, 1024, 768);
    LoadFixture();
    ws.RenderPreview(surface, 297, 185, 1024, 768);
    EXPECT_EQ(surface.Log(), (std::vector<std::string>{"Fill 297 185", "Fill 297 185"}));
}

TEST_F(WorkspaceTest, PreviewDrawsAFlippedCopyOfTheSelectedMapOnTheBoxPage) {
    LoadFixture();
    ws.Select(0);
    ws.Flip(true);
    const LinkageMap stored = ws.Maps()[0];

    RecordingSurface surface;
    surface.SetWindowExtent(32000, 24000);
    ws.RenderPreview(surface, 297, 185, 1024, 768);

    PageLengths page = ws.Settings();
    page.PageWidth = 9281;
    page.PageHeight = 5781;
    const std::string drawing = ExpectedDrawing({FlippedCopy(stored)}, page, ws.AllMarkers());
    EXPECT_EQ(surface.Text(), "Fill 297 185\nMapMode 3\n" + drawing + "MapMode 1\n");
    EXPECT_EQ(ws.Maps()[0], stored) << "the stored map is never turned";
    EXPECT_NE(drawing, ExpectedDrawing({stored}, page, ws.AllMarkers()))
        << "the fixture map must look different when flipped";
}

TEST_F(WorkspaceTest, PreviewOfAMapOfLengthZeroDrawsWithoutError) {
    LoadFixture();
    ws.Select(1);
    RecordingSurface surface;
    surface.SetWindowExtent(32000, 24000);
    EXPECT_NO_THROW(ws.RenderPreview(surface, 297, 185, 1024, 768));
    EXPECT_EQ(surface.Log().back(), "MapMode 1");
}

TEST_F(WorkspaceTest, APreviewThatFailsHalfwayGivesTheSurfaceItsModeBack) {
    // A surface that cannot draw text, but can still change its mode.
    struct TextlessSurface : RecordingSurface {
        void TextOut(int, int, std::string_view) override {
            throw KarvelloError("The surface cannot draw text");
        }
    };
    LoadFixture();
    ws.Select(0);
    TextlessSurface surface;
    surface.SetWindowExtent(32000, 24000);
    EXPECT_THROW(ws.RenderPreview(surface, 297, 185, 1024, 768), KarvelloError);
    EXPECT_EQ(surface.MapMode(), MappingMode::Text);
    EXPECT_EQ(surface.Log().back(), "MapMode 1");
}

TEST_F(WorkspaceTest, DrawWithNoMapTickedOpensNoFile) {
    FakeCanvases record;
    EXPECT_EQ(test::ThrownMessage([&] { (void)ws.Draw("never.emf", record.Factory()); }),
              "No map is ticked. Tick the maps to draw.");
    LoadFixture();
    ws.Select(0);
    ws.Flip(true); // a flipped map that is not ticked
    EXPECT_THROW(ws.Draw("never.emf", record.Factory()), KarvelloError);
    EXPECT_TRUE(record.paths.empty());
}

TEST_F(WorkspaceTest, DrawGivesTheTickedMapsInListOrderFlippedWhereTheirFlagSays) {
    LoadFixture();
    ws.Select(0);
    ws.Flip(true);
    ws.Select(-1);
    ws.SetTicked(1, true);
    ws.SetTicked(0, true);
    PageLengths settings;
    settings.MapSpacing = 900;
    ws.AcceptOptions(settings, kBlue, {{1, 1, kRed}});
    FigureSettings figure;
    figure.FontHeight = 247;
    figure.GroupMaps = true;
    ws.SetFigure(figure);
    const std::vector<LinkageMap> stored = ws.Maps();

    FakeCanvases record;
    (void)ws.Draw("maps.emf", record.Factory());

    EXPECT_EQ(record.paths, (std::vector<std::string>{"maps.emf"}));
    EXPECT_EQ(record.figures, (std::vector<FigureSettings>{figure}));
    EXPECT_EQ(record.commits, record.paths);
    EXPECT_EQ(record.surface.Text(),
              ExpectedDrawing({FlippedCopy(stored[0]), stored[1]}, settings, ws.AllMarkers()));
    EXPECT_EQ(ws.Maps(), stored);
    EXPECT_NE(record.surface.Text().find("TextOut"), std::string::npos);

    ws.SetTicked(0, false);
    EXPECT_EQ(ws.TickedMapCopies(), (std::vector<LinkageMap>{stored[1]}));
}

TEST_F(WorkspaceTest, ThePageHoldsTheTickedMapsOrElseTheSelectedOneAsDrawWritesThem) {
    LoadFixture();
    EXPECT_TRUE(ws.PageMapCopies().empty()) << "nothing ticked, nothing selected";

    ws.Select(0);
    ws.Flip(true);
    const std::vector<LinkageMap> stored = ws.Maps();
    EXPECT_EQ(ws.PageMapCopies(), (std::vector<LinkageMap>{FlippedCopy(stored[0])}));

    ws.AcceptOptions(ws.Settings(), kBlue, {{1, 1, kRed}});
    ws.SetTicked(1, true);
    EXPECT_EQ(ws.PageMapCopies(), (std::vector<LinkageMap>{stored[1]}))
        << "a tick outweighs the selection";
    RecordingSurface page;
    ws.DrawPage(page);
    FakeCanvases record;
    (void)ws.Draw("maps.emf", record.Factory());
    EXPECT_EQ(page.Text(), record.surface.Text());
    EXPECT_NE(page.Text().find("TextOut"), std::string::npos);

    // In rows too: two maps one above the other.
    ws.SetTicked(0, true);
    FigureSettings rows;
    rows.MapsPerRow = 1;
    ws.SetFigure(rows);
    RecordingSurface rowPage;
    ws.DrawPage(rowPage);
    FakeCanvases rowRecord;
    (void)ws.Draw("rows.emf", rowRecord.Factory());
    EXPECT_EQ(rowPage.Text(), rowRecord.surface.Text());
    EXPECT_NE(rowPage.Text(), page.Text());
}

TEST_F(WorkspaceTest, DrawWarnsWhenThePageHeightLeavesNoRoomForTheBars) {
    // The default margins and tails take 1000 + 1000 + 2 * 300.
    struct Row {
        const char* name;
        std::int32_t pageHeight;
        bool warns;
    };
    const Row rows[] = {
        {"the default page", 10000, false},
        {"one unit of room", 2601, false},
        {"exactly the margins and tails", 2600, true},
        {"a box typed as 12.5 that reads 0", 0, true},
        {"a negative height", -5, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PageLengths settings;
        settings.PageHeight = row.pageHeight;
        ws.AcceptOptions(settings, 0, {});
        EXPECT_EQ(!ws.DrawWarning().empty(), row.warns) << ws.DrawWarning();
    }
    EXPECT_EQ(ws.DrawWarning(), "The page height (-5) leaves no room for the bars: it must be more "
                                "than the top and bottom margins and twice the bar tail length "
                                "(2600 together), or the maps are drawn upside down over each "
                                "other.");
}

TEST_F(WorkspaceTest, DrawOfOnlyAMapOfLengthZeroCompletesTheFile) {
    LoadFixture();
    ws.SetTicked(1, true);
    FakeCanvases record;
    EXPECT_NO_THROW(ws.Draw("zero.emf", record.Factory()));
    EXPECT_EQ(record.commits, record.paths);
    EXPECT_EQ(record.surface.Text(),
              ExpectedDrawing({ws.Maps()[1]}, ws.Settings(), ws.AllMarkers()));
}

TEST_F(WorkspaceTest, AFailedDrawNeverCommitsTheFile) {
    LoadFixture();
    ws.SetTicked(0, true);

    FakeCanvases failing;
    failing.surface.FailAfter(3);
    EXPECT_THROW(ws.Draw("maps.emf", failing.Factory()), KarvelloError);
    EXPECT_TRUE(failing.commits.empty());

    const FileCanvasFactory refusing = [](const std::string&,
                                          const FigureSettings&) -> std::unique_ptr<FileCanvas> {
        throw KarvelloError("Canvas does not allow drawing");
    };
    EXPECT_EQ(test::ThrownMessage([&] { (void)ws.Draw("/no/such/folder/maps.emf", refusing); }),
              "Canvas does not allow drawing");
}

TEST_F(WorkspaceTest, EverySurfaceLearnsTheEncodingOfTheNamesLoaded) {
    const std::string table =
        folder.Write("map.csv", "group,marker,pos\nLG1,\xC3\xA9,0\nLG1,b,5\n");
    // Each surface starts in the other encoding, so only the workspace can set it.
    const auto encodingDrawn = [this](CharacterEncoding other) {
        ws.SetTicked(0, true);
        FakeCanvases record;
        record.surface.SetTextEncoding(other);
        (void)ws.Draw(folder.Path("maps.emf"), record.Factory());
        RecordingSurface page;
        page.SetTextEncoding(other);
        ws.DrawPage(page);
        EXPECT_EQ(page.TextEncoding(), record.surface.TextEncoding());
        return record.surface.TextEncoding();
    };
    ws.LoadMapFile(table);
    EXPECT_EQ(ws.TextEncoding(), CharacterEncoding::Utf8);
    EXPECT_EQ(encodingDrawn(CharacterEncoding::Windows1252), CharacterEncoding::Utf8);
    LoadFixture();
    EXPECT_EQ(encodingDrawn(CharacterEncoding::Utf8), CharacterEncoding::Windows1252)
        << "a Mapmaker load is Windows-1252";
}

// R/qtl's gary pair (write.cross(x, format = "gary") writes markerpos.txt
// and chrid.dat) is given as a Mapmaker pair is, and loads as a map file.
TEST_F(WorkspaceTest, RqtlGaryPairLoadsAsAMapFile) {
    const std::string markers = folder.Write("markerpos.txt", "m1\t0\nm2\t7.5\nm3\t0\n");
    const std::string chromosomes = folder.Write("chrid.dat", "1\n1\n2\n");
    ws.Load(markers, chromosomes);
    EXPECT_TRUE(ws.MapsFromMapFile());
    EXPECT_EQ(ws.MapListEntries(),
              (std::vector<std::string>{"1: 2 markers, 7.5 cM", "2: 1 marker, 0.0 cM"}));
    LoadFixture();
    EXPECT_FALSE(ws.MapsFromMapFile());
    const std::string shorter = folder.Write("short.dat", "1\n");
    EXPECT_EQ(test::ThrownMessage([&] { ws.Load(markers, shorter); }),
              "\"" + FullPathForMessage(markers) + "\" lists 3 markers, but \"" +
                  FullPathForMessage(shorter) +
                  "\" gives 1 chromosomes: it should give one a marker, in the same order. \"" +
                  FullPathForMessage(markers) + "\" was taken for R/qtl's gary markerpos.txt.");
    EXPECT_TRUE(ws.Maps().empty());
}

TEST_F(WorkspaceTest, UtfEightTitlesAndQtlNamesAreDrawnInTheEncodingOfMapmakerNames) {
    LoadFixture();
    ws.SetTicked(0, true);
    FigureAnnotations annotations;
    annotations.TitleTexts = {{1, "Bl\xC3\xBChzeit \xC4\x8C"}, {2, "Caf\xE9"}};
    ws.SetAnnotations(annotations);
    ws.LoadQtlTable(folder.Write("qtl.csv", "map,name,start,end\n1,H\xC3\xB6he,0,5\n"));
    RecordingSurface page;
    ws.DrawPage(page);
    // UTF-8 becomes Windows-1252 (a letter it lacks, '?'); text already in
    // Windows-1252 (as the window gives it) stays. The log writes bytes
    // beyond ASCII as \xHH.
    EXPECT_NE(page.Text().find("\"Bl\\xFChzeit ?\""), std::string::npos) << page.Text();
    EXPECT_NE(page.Text().find("\"H\\xF6he\""), std::string::npos) << page.Text();
    EXPECT_EQ(page.Text().find("\\xC3"), std::string::npos);
    ws.SetTicked(1, true);
    RecordingSurface both;
    ws.DrawPage(both);
    EXPECT_NE(both.Text().find("\"Caf\\xE9\""), std::string::npos) << both.Text();
}

TEST_F(WorkspaceTest, DrawRefusesToWriteOverAFileItWasReadFromHoweverItIsNamed) {
    LoadFixture();
    ws.SetTicked(0, true);
    const std::string qtl = folder.Write("qtl.csv", "map,name,start,end\n1,q1,0,5\n");
    ws.LoadQtlTable(qtl);
    std::vector<std::string> targets = {input, output, qtl, folder.Path("./fixture.out")};
#ifndef _WIN32
    std::filesystem::create_symlink(output, folder.Path("link.emf"));
    std::filesystem::create_hard_link(input, folder.Path("hard.emf"));
    targets.push_back(folder.Path("link.emf"));
    targets.push_back(folder.Path("hard.emf"));
#endif
    FakeCanvases record;
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const std::string message =
            test::ThrownMessage([&] { (void)ws.Draw(target, record.Factory()); });
        EXPECT_NE(message.find("Cannot draw into \"" + FullPathForMessage(target) + "\""),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find("Choose another file name."), std::string::npos) << message;
    }
    EXPECT_TRUE(record.paths.empty());
    EXPECT_EQ(folder.Read("fixture.out"), test::kFixtureOutput);

    (void)ws.Draw(folder.Path("maps.emf"), record.Factory()); // a new file is fine
    EXPECT_EQ(record.paths.size(), 1U);

    // A settings file read is no drawing's target, but saving settings may
    // replace it; saving them over the data may not.
    const std::string settings = folder.Write("figure.json", "{}");
    ws.LoadSettingsFile(settings);
    EXPECT_THROW(ws.Draw(settings, record.Factory()), KarvelloError);
    ws.SaveSettingsFile(settings);
    EXPECT_NE(folder.Read("figure.json"), "{}");
    EXPECT_NE(test::ThrownMessage([&] {
                  ws.SaveSettingsFile(output);
              }).find("Cannot save the settings into"),
              std::string::npos);
    EXPECT_EQ(folder.Read("fixture.out"), test::kFixtureOutput);
}

TEST_F(WorkspaceTest, ASettingsFileCarriesTheAnnotationsAndItsQtlTableFromItsOwnFolder) {
    LoadFixture();
    ws.SetTicked(0, true);
    folder.Write("qtl.csv", "map,name,start,end\n1,q1,0,5\n");
    const std::string settings = folder.Write(
        "figure.json", "{\"annotations\": {\"ruler\": true, \"qtlFile\": \"qtl.csv\"}}");
    ws.LoadSettingsFile(settings);
    EXPECT_TRUE(ws.Annotations().Ruler);
    ASSERT_TRUE(ws.QtlTable());
    EXPECT_EQ(ws.QtlTable()->Qtls.at(0).Name, "q1");

    // A table that does not fit the maps changes nothing.
    folder.Write("far.csv", "map,name,start,end\n1,q2,0,500\n");
    const std::string bad = folder.Write(
        "bad.json", "{\"settings\": {\"BarWidth\": 999}, \"annotations\": {\"ruler\": false, "
                    "\"qtlFile\": \"far.csv\"}}");
    const PageLengths before = ws.Settings();
    EXPECT_NE(test::ThrownMessage([&] { ws.LoadSettingsFile(bad); }).find("far.csv"),
              std::string::npos);
    EXPECT_EQ(ws.Settings(), before);
    EXPECT_TRUE(ws.Annotations().Ruler);
    EXPECT_EQ(ws.QtlTable()->Qtls.at(0).Name, "q1");

    // Saved and read back, the file names the table by its full path.
    const std::string saved = folder.Write("saved.json", ws.SettingsFileText());
    ws.SetAnnotations({});
    ws.LoadSettingsFile(folder.Write("none.json", "{\"annotations\": {\"qtlFile\": \"\"}}"));
    EXPECT_FALSE(ws.QtlTable());
    ws.LoadSettingsFile(saved);
    EXPECT_TRUE(ws.Annotations().Ruler);
    ASSERT_TRUE(ws.QtlTable());
    EXPECT_EQ(ws.QtlTable()->FileName, FullPathForMessage(folder.Path("qtl.csv")));
}

// Records every report of a progress, and cancels at the report numbered
// cancelAt (from 1; 0 never).
struct ProgressLog {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    std::size_t cancelAt = 0;

    ProgressFn Fn() {
        return [this](std::uint64_t done, std::uint64_t total) {
            reports.emplace_back(done, total);
            if (reports.size() == cancelAt) {
                throw OperationCancelled();
            }
        };
    }
    // Whether the reports never go back, all of one total, and end at it.
    void ExpectForwardToTheEnd() const {
        ASSERT_FALSE(reports.empty());
        for (std::size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].second, kProgressSteps) << i;
            EXPECT_LE(reports[i].first, reports[i].second) << i;
            if (i > 0) {
                EXPECT_GE(reports[i].first, reports[i - 1].first) << i;
            }
        }
        EXPECT_EQ(reports.back().first, kProgressSteps);
    }
};

TEST_F(WorkspaceTest, DrawReportsProgressAndACancelledDrawWritesNothing) {
    LoadFixture();
    ws.SetAllTicked(true);
    for (const int commitSteps : {0, 4}) {
        SCOPED_TRACE(commitSteps);
        FakeCanvases record;
        record.commitSteps = commitSteps;
        ProgressLog progress;
        (void)ws.Draw("maps.png", record.Factory(), progress.Fn());
        progress.ExpectForwardToTheEnd();
        EXPECT_EQ(record.surface.Text(),
                  ExpectedDrawing(ws.TickedMapCopies(), ws.Settings(), ws.AllMarkers()));
        // One report as each map begins, then each step of the commit, then the end.
        EXPECT_EQ(progress.reports.size(), ws.Maps().size() + commitSteps + 1);

        // Cancelled while drawing the second map, and in the canvas's commit.
        for (const std::size_t cancelAt : {std::size_t{2}, ws.Maps().size() + 2}) {
            if (commitSteps == 0 && cancelAt > ws.Maps().size()) {
                continue;
            }
            FakeCanvases cancelled;
            cancelled.commitSteps = commitSteps;
            ProgressLog cancelling;
            cancelling.cancelAt = cancelAt;
            EXPECT_THROW(ws.Draw("maps.png", cancelled.Factory(), cancelling.Fn()),
                         OperationCancelled);
            EXPECT_TRUE(cancelled.commits.empty()) << cancelAt;
        }
    }
}

TEST_F(WorkspaceTest, LoadReportsProgressAndACancelledLoadEndsAsAFailedOne) {
    ProgressLog progress;
    ws.Load(input, output, progress.Fn());
    progress.ExpectForwardToTheEnd();
    const std::string information = ws.InformationText();
    const std::size_t markers = ws.AllMarkers().size();
    ASSERT_FALSE(ws.Maps().empty());

    ProgressLog cancelling;
    cancelling.cancelAt = 2; // after the input file, while the maps are read
    EXPECT_THROW(ws.Load(input, output, cancelling.Fn()), OperationCancelled);
    EXPECT_TRUE(ws.Maps().empty());
    EXPECT_TRUE(ws.MapListEntries().empty());
    EXPECT_EQ(ws.InformationText(), information);
    ASSERT_EQ(ws.AllMarkers().size(), markers);
    for (const auto& marker : ws.AllMarkers()) {
        EXPECT_FALSE(marker.Mapped) << marker.Name;
    }
}

TEST_F(WorkspaceTest, RunningOutOfMemoryWhileDrawingSaysSoAndWhere) {
    LoadFixture();
    ws.SetTicked(0, true);
    const FileCanvasFactory exhausted = [](const std::string&,
                                           const FigureSettings&) -> std::unique_ptr<FileCanvas> {
        throw std::bad_alloc();
    };
    try {
        (void)ws.Draw("/tmp/maps.emf", exhausted);
        ADD_FAILURE() << "no error";
    } catch (const KarvelloError& error) {
        EXPECT_EQ(std::string(error.what()), "Not enough memory to draw the maps into \"" +
                                                 FullPathForMessage("/tmp/maps.emf") + "\".");
    }
}

// ---- the genuine Mapmaker files --------------------------------------------

struct SamplePair {
    std::string name;
    std::filesystem::path input;
    std::filesystem::path output;
};

std::vector<SamplePair> SamplePairs() {
    std::vector<SamplePair> pairs;
    const std::filesystem::path root = KARVELLO_SAMPLES_DIR;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(root, ec)) {
        const auto input = entry.path() / "input.raw";
        const auto output = entry.path() / "output.txt";
        if (std::filesystem::exists(input) && std::filesystem::exists(output)) {
            pairs.push_back({entry.path().filename().string(), input, output});
        }
    }
    return pairs;
}

TEST(WorkspaceSamplesTest, EveryGenuinePairLoads) {
    const auto pairs = SamplePairs();
    ASSERT_GE(pairs.size(), 6u) << "samples not found under " << KARVELLO_SAMPLES_DIR;
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.name);
        Workspace ws;
        ASSERT_NO_THROW(ws.Load(pair.input.string(), pair.output.string()));
        EXPECT_TRUE(ws.MapsLoaded());
        EXPECT_EQ(ws.MapListEntries().size(), ws.Maps().size());
        for (std::size_t i = 0; i < ws.Maps().size(); ++i) {
            EXPECT_EQ(ws.Maps()[i].MapNumber, static_cast<int>(i + 1));
        }
        EXPECT_TRUE(ws.InformationText().starts_with("Unmapped markers:\r\n"));
        EXPECT_EQ(ws.LoadWarnings(), std::vector<std::string>{}) << "a genuine pair is no mistake";
    }
}

TEST(WorkspaceSamplesTest, TheExampleAndTheMouseOrderPairGiveTheirKnownMaps) {
    const std::filesystem::path examples = KARVELLO_EXAMPLES_DIR;
    Workspace example;
    example.Load((examples / "mouse.raw").string(), (examples / "mouse_tutorial.out").string());
    ASSERT_EQ(example.Maps().size(), 6u);
    ASSERT_EQ(example.AllMarkers().size(), 308u);
    // The third map: T001 0.0 cM, T002 17.5 cM, ... M050, with marker 188
    // placed in its last interval but one.
    const LinkageMap& third = example.Maps()[2];
    ASSERT_EQ(third.Markers.size(), 9u);
    EXPECT_EQ(third.Markers[0], (MapEntry{242, 0.0, 1, false}));
    EXPECT_EQ(third.Markers[1], (MapEntry{64, 17.5, -1, true}));
    EXPECT_EQ(third.Markers[8].MarkerIndex, 131);
    ASSERT_EQ(third.Placed.size(), 3u);
    EXPECT_EQ(third.Placed[0], (PlacedMarker{187, 8}));

    const std::filesystem::path samples = KARVELLO_SAMPLES_DIR;
    Workspace order;
    order.Load((samples / "mouse_order_all" / "input.raw").string(),
               (samples / "mouse_order_all" / "output.txt").string());
    ASSERT_EQ(order.Maps().size(), 24u);
    const LinkageMap& first = order.Maps()[0];
    ASSERT_EQ(first.Markers.size(), 9u);
    EXPECT_EQ(first.Markers[4], (MapEntry{52, 4.7, -1, false}));
    EXPECT_EQ(first.Markers[8], (MapEntry{187, 0.0, -1, false}));
    ASSERT_EQ(first.Placed.size(), 3u);
    EXPECT_EQ(first.Placed[0], (PlacedMarker{131, 9}));
    EXPECT_EQ(first.Placed[1], (PlacedMarker{236, 2}));
}

// Which of two files is the input is told by its first line; only a regular
// file is looked into, so a named pipe neither holds the window up nor loses
// its first bytes.
TEST(FileBeginsLikeAnInputFile, TellsTheInputByItsHeadingAndLeavesOtherFilesUnread) {
    const test::TempFolder folder;
    EXPECT_TRUE(FileBeginsLikeAnInputFile(folder.Write("in.raw", test::kFixtureInput)));
    EXPECT_FALSE(FileBeginsLikeAnInputFile(folder.Write("out.txt", test::kFixtureOutput)));
    EXPECT_FALSE(FileBeginsLikeAnInputFile(folder.Path("absent.raw")));
    EXPECT_FALSE(FileBeginsLikeAnInputFile(folder.Path("")));
#ifndef _WIN32
    const std::string pipe = folder.Path("pipe.raw");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(FileBeginsLikeAnInputFile(pipe));
#endif
}

} // namespace
} // namespace karvello
