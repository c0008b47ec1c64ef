#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "base/Text.h"
#include "drawing/DrawMaps.h"
#include "platform/FileCanvases.h"
#include "platform/TextMetrics.h"
#include "platform/Windows1252.h"
#include "render/EmfSurface.h"
#include "tests/support/EmfReader.h"
#include "tests/support/FixtureFiles.h"
#include "tests/support/RecordingSurface.h"
#include "workspace/Workspace.h"

namespace karvello {
namespace {

using test::TempFolder;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome RunKarvello(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.status = RunCommandLine(args, out, err, &CreateFileCanvas);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

const std::filesystem::path kExamples = KARVELLO_EXAMPLES_DIR;
const std::string kExampleInput = (kExamples / "mouse.raw").string();
const std::string kExampleOutput = (kExamples / "mouse_tutorial.out").string();

class CommandLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        input = folder.Write("fixture.raw", test::kFixtureInput);
        output = folder.Write("fixture.out", test::kFixtureOutput);
    }
    TempFolder folder;
    std::string input;
    std::string output;
};

TEST_F(CommandLineTest, InfoAndMapsWriteTheirTextAndExitZero) {
    const Outcome info = RunKarvello({"info", input, output});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out, test::kFixtureInformation);
    EXPECT_EQ(info.err, "");

    const Outcome maps = RunKarvello({"maps", input, output});
    EXPECT_EQ(maps.status, 0);
    EXPECT_EQ(maps.out, "1\t3\t1\t10.0\n2\t1\t0\t0.0\n");
}

TEST_F(CommandLineTest, ErrorsGoToStandardErrorWithTheirExitStatus) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::string absent = folder.Path("absent.out");
    const std::vector<Row> rows = {
        {"missing output file",
         {"info", input, absent},
         1,
         "karvello: Cannot open file \"" + absent + "\". No such file or directory\n"},
        {"missing file for maps",
         {"maps", absent, output},
         1,
         "karvello: Cannot open file \"" + absent + "\". No such file or directory\n"},
        {"usage",
         {"info", input, output, output},
         2,
         "karvello: info needs a map file, or the Mapmaker input file and output file, and "
         "nothing else.\n"
         "Try \"karvello --help\".\n"},
        {"unknown command",
         {"show"},
         2,
         "karvello: Unknown command \"show\".\nTry \"karvello --help\".\n"},
        {"map past the last",
         {"draw", input, output, "-o", folder.Path("x.emf"), "--maps", "3"},
         1,
         "karvello: There is no map 3: the output file holds 2 maps.\n"},
        {"empty choice",
         {"draw", input, output, "-o", folder.Path("x.emf"), "--maps", ""},
         1,
         "karvello: No map is chosen: --maps names no map to draw.\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Outcome outcome = RunKarvello(row.args);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.out, "") << "nothing on standard output after an error";
        EXPECT_EQ(outcome.err, row.err);
    }
    EXPECT_EQ(folder.EntryCount(), 2u) << "no file is written by a failed command";
}

// A file can hold any byte; none of them reaches a terminal as a control
// character that would steer it, but a listing sent to a file or a pipe
// keeps the names as they are.
TEST_F(CommandLineTest, ControlCharactersFromFilesReachNoTerminalRaw) {
    const std::string escape = "\x1b[2J";
    const std::string named =
        folder.Write("named.csv", "marker,chr,pos\nM" + escape + "1,1,0\nM2,1,5\xC2\x9B\n");
    const Outcome refused = RunKarvello({"maps", named});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.find('\x1b'), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("5\\u009b"), std::string::npos) << refused.err;

    const std::string listed =
        folder.Write("listed.csv", "marker,chr,pos\nM" + escape + "1,1,0\nM2,1,5\n");
    for (const bool terminal : {false, true}) {
        SCOPED_TRACE(terminal);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine({"info", listed}, out, err, &CreateFileCanvas, {}, terminal), 0);
        EXPECT_EQ(out.str().find("M" + escape + "1") != std::string::npos, !terminal) << out.str();
        EXPECT_EQ(out.str().find("M\\x1b[2J1") != std::string::npos, terminal) << out.str();
    }
}

TEST_F(CommandLineTest, FilesInTheWrongBoxesWarnOnStandardErrorAndDrawStillFails) {
    const std::string warnings =
        "karvello: warning: The input file \"" + output +
        "\" does not begin with Mapmaker's \"data type\" line, so it may not be a Mapmaker input "
        "file.\n"
        "karvello: warning: No map was found in the output file \"" +
        input +
        "\": a map begins with a line \"Map:\" followed by its marker table, as Mapmaker writes "
        "it.\n";
    const Outcome info = RunKarvello({"info", output, input});
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out, "");
    EXPECT_EQ(info.err, warnings);

    const Outcome maps = RunKarvello({"maps", output, input});
    EXPECT_EQ(maps.status, 0);
    EXPECT_EQ(maps.out, "");
    EXPECT_EQ(maps.err, warnings);

    const Outcome draw = RunKarvello({"draw", output, input, "-o", folder.Path("x.emf")});
    EXPECT_EQ(draw.status, 1);
    EXPECT_EQ(draw.out, "");
    EXPECT_EQ(draw.err, warnings + "karvello: There is no map to draw: the output file \"" + input +
                            "\" holds no map.\n");
    EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST_F(CommandLineTest, APageWithNoRoomForTheBarsIsDrawnWithAWarning) {
    const Outcome draw = RunKarvello(
        {"draw", input, output, "-o", folder.Path("flat.emf"), "--set", "PageHeight=0"});
    EXPECT_EQ(draw.status, 0);
    EXPECT_EQ(draw.err, "karvello: warning: The page height (0) leaves no room for the bars: it "
                        "must be more than the top and bottom margins and twice the bar tail "
                        "length (2600 together), or the maps are drawn upside down over each "
                        "other.\n");
    EXPECT_TRUE(std::filesystem::exists(folder.Path("flat.emf")));
}

// Rows of the classic layout reach the drawing: a row narrower than any map
// leaves each map alone in its row, which standard error reports, map by
// map, and the file is still written.
TEST_F(CommandLineTest, ARowNarrowerThanAMapIsDrawnWithAWarningPerMap) {
    const Outcome draw = RunKarvello({"draw", input, output, "-o", folder.Path("rows.emf"),
                                      "--width", "1cm", "--layout", "classic"});
    EXPECT_EQ(draw.status, 0);
    EXPECT_NE(draw.err.find("karvello: warning: Map 1 is "), std::string::npos) << draw.err;
    EXPECT_NE(draw.err.find("wider than the row width of 10 mm; it stands alone in its row.\n"),
              std::string::npos)
        << draw.err;
    EXPECT_TRUE(std::filesystem::exists(folder.Path("rows.emf")));
}

// A standard output that takes nothing, as a full disk or a closed pipe.
class RefusingBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST_F(CommandLineTest, AnOutputThatCannotBeWrittenIsAnError) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", input, output}, std::vector<std::string>{"--version"}}) {
        SCOPED_TRACE(args.front());
        RefusingBuffer refusing;
        std::ostream out(&refusing);
        std::ostringstream err;
        EXPECT_EQ(RunCommandLine(args, out, err, &CreateFileCanvas), 1);
        EXPECT_EQ(err.str(), "karvello: Cannot write to standard output\n");
    }
}

TEST_F(CommandLineTest, DrawNeverWritesOverAFileItReads) {
    const std::string names = folder.Write("names.txt", "A1\nB2\n");
    const std::string qtl = folder.Write("qtl.csv", "map,name,start,end\n1,q1,0,5\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"draw", input, output, "-o", output},
          std::vector<std::string>{"draw", input, output, "-o", input},
          std::vector<std::string>{"draw", input, output, "-o", qtl, "--qtl", qtl},
          std::vector<std::string>{"draw", input, output, "--show-only", "@" + names, "-o", names},
          std::vector<std::string>{"draw", input, output, "-o", folder.Path("maps.emf"),
                                   "--save-settings", output}}) {
        SCOPED_TRACE(args[4]);
        const Outcome outcome = RunKarvello(args);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.err.find("that was read for this figure"), std::string::npos)
            << outcome.err;
    }
    EXPECT_EQ(folder.Read("fixture.raw"), test::kFixtureInput);
    EXPECT_EQ(folder.Read("fixture.out"), test::kFixtureOutput);
    EXPECT_EQ(folder.Read("names.txt"), "A1\nB2\n");
    EXPECT_EQ(folder.Read("qtl.csv"), "map,name,start,end\n1,q1,0,5\n");
    EXPECT_FALSE(folder.Exists("maps.emf")) << "every output is checked before any is written";

    // The drawing and the settings named as one file, however spelt: the same
    // name, or a name through a link to the drawing's folder.
    std::filesystem::create_directory(folder.Path("real"));
    std::filesystem::create_directory_symlink(folder.Path("real"), folder.Path("link"));
    for (const auto& [drawing, settings] :
         {std::pair{folder.Path("both.emf"), folder.Path("both.emf")},
          std::pair{folder.Path("real/both.emf"), folder.Path("link/both.emf")}}) {
        SCOPED_TRACE(settings);
        const Outcome same =
            RunKarvello({"draw", input, output, "-o", drawing, "--save-settings", settings});
        EXPECT_EQ(same.status, 1);
        EXPECT_NE(same.err.find("give --save-settings another file name"), std::string::npos)
            << same.err;
        EXPECT_FALSE(std::filesystem::exists(drawing));
    }

    // A settings file that cannot be made stops the drawing before it is written.
    const Outcome noFolder = RunKarvello({"draw", input, output, "-o", folder.Path("maps.emf"),
                                          "--save-settings", folder.Path("absent/figure.json")});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("absent/figure.json"), std::string::npos) << noFolder.err;
    EXPECT_FALSE(folder.Exists("maps.emf"));
}

TEST(CommandLineOpenTest, OpenHandsThePairOrTheMapFileToTheWindowsAndEndsWithTheirStatus) {
    std::ostringstream out;
    std::ostringstream err;
    std::vector<std::string> opened;
    const OpenWindows openWindows = [&](const std::string& input, const std::string& output) {
        opened = {input, output};
        return 7;
    };
    EXPECT_EQ(RunCommandLine({"open", "in.raw", "out.txt"}, out, err, {}, openWindows), 7);
    EXPECT_EQ(opened, (std::vector<std::string>{"in.raw", "out.txt"}));
    EXPECT_EQ(out.str() + err.str(), "");

    // A map file of another program goes to the windows alone.
    EXPECT_EQ(RunCommandLine({"open", "map.csv"}, out, err, {}, openWindows), 7);
    EXPECT_EQ(opened, (std::vector<std::string>{"map.csv", ""}));
    EXPECT_EQ(out.str() + err.str(), "");
}

TEST(CommandLineHelpTest, HelpAndVersion) {
    const Outcome help = RunKarvello({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage:\n"));
    EXPECT_NE(help.out.find("karvello draw INPUT OUTPUT | MAPFILE -o FILE"), std::string::npos);
    EXPECT_NE(help.out.find("karvello open INPUT OUTPUT"), std::string::npos);

    const Outcome version = RunKarvello({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "karvello " KARVELLO_VERSION "\n");
}

TEST_F(CommandLineTest, DrawRefusesAnUnknownExtensionAndAnUnwritablePlace) {
    const Outcome unknown = RunKarvello({"draw", input, output, "-o", folder.Path("maps.txt")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.starts_with("karvello: ")) << unknown.err;
    EXPECT_NE(unknown.err.find(".emf"), std::string::npos) << "names the formats: " << unknown.err;
    EXPECT_FALSE(folder.Exists("maps.txt"));

    const Outcome nowhere =
        RunKarvello({"draw", input, output, "-o", folder.Path("no/such/maps.emf")});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_EQ(nowhere.err, "karvello: Canvas does not allow drawing. Cannot create file \"" +
                               folder.Path("no/such/maps.emf") + "\". No such file or directory\n");

    // A draw that fails keeps the file that was there.
    folder.Write("kept.emf", "former drawing");
    const Outcome failed = RunKarvello(
        {"draw", input, output, "-o", folder.Path("kept.emf"), "--range", "A1-Q9=#FF0000"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(folder.Read("kept.emf"), "former drawing");
    EXPECT_EQ(folder.EntryCount(), 3u) << "no temporary file is left behind";
}

// Reads the metafile that `draw` wrote and checks its records: sizes and
// counts, EOF last, the metric mapping mode, the font, every point inside
// the frame, and the texts in the order the drawing gives them.
void CheckMetafile(const std::string& path, const std::vector<std::string>& expectedTexts,
                   bool expectItalic) {
    const std::vector<std::uint8_t> bytes = test::ReadFileBytes(path);
    std::vector<test::EmfRecord> records;
    ASSERT_NO_THROW(records = test::ReadEmfRecords(bytes));
    ASSERT_GE(records.size(), 3u);
    ASSERT_EQ(records.front().type, kEmrHeader);
    const test::EmfHeader header = test::DecodeHeader(records.front());
    EXPECT_EQ(header.signature, 0x464D4520u) << "the \" EMF\" signature";
    EXPECT_EQ(header.bytes, bytes.size());
    EXPECT_EQ(header.records, records.size());
    EXPECT_EQ(records.back().type, kEmrEof);

    const test::EmfRect frame = header.frame;
    EXPECT_LT(frame.left, frame.right);
    EXPECT_LT(frame.top, frame.bottom);
    auto inFrame = [&](std::int32_t x, std::int32_t y) {
        // Logical units are 1/100 mm with y upward; the frame's y grows downward.
        return frame.left <= x && x <= frame.right && frame.top <= -y && -y <= frame.bottom;
    };

    std::vector<int> mapModes;
    std::vector<std::u16string> texts;
    int fonts = 0;
    bool italicFont = false;
    for (const auto& record : records) {
        switch (record.type) {
        case kEmrSetMapMode:
            mapModes.push_back(static_cast<int>(record.U32(8)));
            break;
        case kEmrExtCreateFontIndirectW: {
            ++fonts;
            const test::EmfFont font = test::DecodeFont(record);
            EXPECT_EQ(font.height, -282) << "2.82 mm high";
            EXPECT_EQ(font.face, u"Microsoft Sans Serif");
            italicFont = italicFont || font.italic;
            break;
        }
        case kEmrMoveToEx:
        case kEmrLineTo:
            EXPECT_TRUE(inFrame(record.I32(8), record.I32(12)))
                << "point " << record.I32(8) << ", " << record.I32(12);
            break;
        case kEmrExtTextOutW: {
            const test::EmfText text = test::DecodeText(record);
            EXPECT_TRUE(inFrame(text.x, text.y));
            // The text cell, in reference-device pixels, lies within the
            // header's bounds, which are the frame in those pixels.
            EXPECT_LE(header.bounds.left, text.bounds.left);
            EXPECT_LE(header.bounds.top, text.bounds.top);
            EXPECT_GE(header.bounds.right, text.bounds.right);
            EXPECT_GE(header.bounds.bottom, text.bounds.bottom);
            texts.push_back(text.text);
            break;
        }
        default:
            break;
        }
    }
    EXPECT_EQ(mapModes, std::vector<int>(mapModes.size(), 3));
    EXPECT_FALSE(mapModes.empty());
    EXPECT_GE(fonts, 1);
    EXPECT_EQ(italicFont, expectItalic) << "dominant markers' names are drawn in italics";
    std::vector<std::u16string> expected;
    for (const auto& text : expectedTexts) {
        expected.push_back(Windows1252ToUtf16(text));
    }
    EXPECT_EQ(texts, expected);
}

// Whether any marker the maps draw is dominant, so its name is in italics.
bool DrawsDominant(const std::vector<LinkageMap>& maps, const MarkerTable& markers) {
    for (const auto& map : maps) {
        for (const auto& entry : map.Markers) {
            if (markers[entry.MarkerIndex].Dominant) {
                return true;
            }
        }
        for (const auto& entry : map.Placed) {
            if (markers[entry.MarkerIndex].Dominant) {
                return true;
            }
        }
    }
    return false;
}

// The texts DrawMaps gives for the maps, in order.
std::vector<std::string> TextsDrawn(const std::vector<LinkageMap>& maps,
                                    const MarkerTable& markers) {
    test::RecordingSurface surface;
    (void)DrawMaps(maps, surface, PageLengths{}, markers);
    std::vector<std::string> texts;
    for (const auto& line : surface.Log()) {
        if (line.starts_with("TextOut ")) {
            const auto quote = line.find('"');
            texts.push_back(line.substr(quote + 1, line.size() - quote - 2));
        }
    }
    return texts;
}

TEST(CommandLineDrawTest, TheExampleDrawsIntoAMetafileAndAnSvg) {
    TempFolder folder;
    const std::string emf = folder.Path("example-maps.emf");
    const Outcome drawn = RunKarvello({"draw", kExampleInput, kExampleOutput, "-o", emf});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(drawn.out, "");

    Workspace ws;
    ws.Load(kExampleInput, kExampleOutput);
    CheckMetafile(emf, TextsDrawn(ws.Maps(), ws.AllMarkers()),
                  DrawsDominant(ws.Maps(), ws.AllMarkers()));

    const Outcome svg =
        RunKarvello({"draw", kExampleInput, kExampleOutput, "-o", folder.Path("example-maps.svg")});
    ASSERT_EQ(svg.status, 0) << svg.err;
    const std::string text = folder.Read("example-maps.svg");
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("T001"), std::string::npos);
}

TEST(CommandLineDrawTest, ChosenAndFlippedMapsOnly) {
    TempFolder folder;
    const std::string emf = folder.Path("two.emf");
    const Outcome drawn =
        RunKarvello({"draw", kExampleInput, kExampleOutput, "-o", emf, "--maps", "2,4", "--flip",
                     "4", "--set", "PageHeight=5000", "--range", "T002-T001=#FF0000"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;

    Workspace ws;
    ws.Load(kExampleInput, kExampleOutput);
    std::vector<LinkageMap> maps{ws.Maps()[1], ws.Maps()[3]};
    ws.Select(3);
    ws.Flip(true);
    ws.SetTicked(1, true);
    ws.SetTicked(3, true);
    const std::vector<std::string> expected = TextsDrawn(ws.TickedMapCopies(), ws.AllMarkers());
    CheckMetafile(emf, expected, DrawsDominant(maps, ws.AllMarkers()));
    EXPECT_NE(expected, TextsDrawn(maps, ws.AllMarkers())) << "the flip must change the order";
}

TEST(CommandLineSamplesTest, EveryGenuinePairListsAndDrawsItsMaps) {
    const std::filesystem::path root = KARVELLO_SAMPLES_DIR;
    TempFolder folder;
    int pairs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        const std::string in = (entry.path() / "input.raw").string();
        const std::string out = (entry.path() / "output.txt").string();
        if (!std::filesystem::exists(in)) {
            continue;
        }
        ++pairs;
        SCOPED_TRACE(entry.path().filename().string());
        Workspace ws;
        ws.Load(in, out);
        const Outcome maps = RunKarvello({"maps", in, out});
        EXPECT_EQ(maps.status, 0) << maps.err;
        EXPECT_EQ(static_cast<std::size_t>(std::count(maps.out.begin(), maps.out.end(), '\n')),
                  ws.Maps().size());

        const std::string svg = folder.Path(entry.path().filename().string() + ".svg");
        const Outcome drawn = RunKarvello({"draw", in, out, "-o", svg});
        if (ws.Maps().empty()) {
            EXPECT_EQ(drawn.status, 1);
        } else {
            EXPECT_EQ(drawn.status, 0) << drawn.err;
            EXPECT_TRUE(std::filesystem::file_size(svg) > 0);
        }
    }
    EXPECT_GE(pairs, 6);
}

} // namespace
} // namespace karvello

namespace karvello {
namespace {

// A figure that cannot fit its box at the font size asked for is refused:
// exit 1, no file in any format, and standard error says the height it needs
// and what would make it smaller.
TEST(CommandLineSamplesTest, AFigureTooTallForItsBoxWritesNothingAndSaysWhatFits) {
    const std::filesystem::path pair =
        std::filesystem::path(KARVELLO_SAMPLES_DIR) / "mouse_order_all";
    TempFolder folder;
    for (const char* name : {"figure.emf", "figure.svg", "figure.pdf", "figure.png"}) {
        const Outcome drawn = RunKarvello(
            {"draw", (pair / "input.raw").string(), (pair / "output.txt").string(), "-o",
             folder.Path(name), "--width", "175mm", "--height", "230mm", "--font-size", "6pt"});
        EXPECT_EQ(drawn.status, 1) << name;
        EXPECT_NE(drawn.err.find("high at this font size: they need "), std::string::npos)
            << drawn.err;
        EXPECT_NE(drawn.err.find("--show-only"), std::string::npos) << drawn.err;
        EXPECT_FALSE(std::filesystem::exists(folder.Path(name))) << name;
    }
}

// The two-column figure of a genuine genome: the metafile is no wider than
// the row width, names every framework and placed marker, and no two of its
// text cells overlap, across maps and across rows.
TEST(CommandLineSamplesTest, RowsOfAGenomeFitTheWidthWithNoTextOverTheOther) {
    const std::filesystem::path pair =
        std::filesystem::path(KARVELLO_SAMPLES_DIR) / "mouse_order_all";
    const std::string in = (pair / "input.raw").string();
    const std::string out = (pair / "output.txt").string();
    TempFolder folder;
    const std::string emf = folder.Path("figure.emf");
    const Outcome drawn = RunKarvello({"draw", in, out, "-o", emf, "--width", "175mm"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;

    const auto records = test::ReadEmfRecords(test::ReadFileBytes(emf));
    ASSERT_FALSE(records.empty());
    const test::EmfHeader header = test::DecodeHeader(records.front());
    EXPECT_LE(header.frame.right - header.frame.left, 17500);

    struct Cell {
        std::int64_t left, top, right, bottom;
    };
    std::vector<Cell> cells;
    std::vector<std::u16string> texts;
    std::int32_t height = 0;
    for (const auto& record : records) {
        if (record.type == 82) { // EMR_EXTCREATEFONTINDIRECTW
            height = test::DecodeFont(record).height;
        } else if (record.type == 84) { // EMR_EXTTEXTOUTW
            const test::EmfText text = test::DecodeText(record);
            std::int64_t width = 0;
            for (auto advance : text.dx) {
                width += advance;
            }
            const std::int64_t h = height < 0 ? -std::int64_t{height} : height;
            cells.push_back({text.x, text.y, text.x + width, text.y - h});
            texts.push_back(text.text);
        }
    }
    ASSERT_NE(height, 0);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        for (std::size_t j = i + 1; j < cells.size(); ++j) {
            const Cell& a = cells[i];
            const Cell& b = cells[j];
            const bool overlap =
                a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
            ASSERT_FALSE(overlap) << "text cells " << i << " and " << j << " overlap";
        }
    }

    Workspace ws;
    ws.Load(in, out);
    for (const auto& map : ws.Maps()) {
        std::vector<std::int32_t> named;
        for (const auto& entry : map.Markers) {
            named.push_back(entry.MarkerIndex);
        }
        for (const auto& placed : map.Placed) {
            named.push_back(placed.MarkerIndex);
        }
        for (std::int32_t index : named) {
            const std::string& name = ws.AllMarkers()[static_cast<std::size_t>(index)].Name;
            EXPECT_NE(std::find(texts.begin(), texts.end(), Windows1252ToUtf16(name)), texts.end())
                << "map " << map.MapNumber << " lacks " << name;
        }
    }

    // The other formats draw the same page: the metafile's frame, which
    // holds the 2 mm that rows leave in every format.
    const std::int64_t frameWidth = header.frame.right - header.frame.left + 1;
    const std::int64_t frameHeight = header.frame.bottom - header.frame.top + 1;
    const std::string svg = folder.Path("figure.svg");
    const std::string png = folder.Path("figure.png");
    const std::string pdf = folder.Path("figure.pdf");
    for (const std::string& path : {svg, png, pdf}) {
        const Outcome other = RunKarvello({"draw", in, out, "-o", path, "--width", "175mm"});
        ASSERT_EQ(other.status, 0) << other.err;
    }
    const std::string svgText = folder.Read("figure.svg");
    EXPECT_NE(svgText.find("viewBox=\"0 0 " + std::to_string(frameWidth) + " " +
                           std::to_string(frameHeight) + "\""),
              std::string::npos);
    for (const std::u16string& text : texts) {
        const std::string name(text.begin(), text.end()); // the genome's names are ASCII
        EXPECT_NE(svgText.find(">" + name + "<"), std::string::npos) << name << " not in the SVG";
    }
    // PNG: the frame at 300 dpi, from its IHDR chunk.
    const std::string pngBytes = folder.Read("figure.png");
    ASSERT_GT(pngBytes.size(), 24u);
    const auto be32 = [&pngBytes](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            v = v << 8 | static_cast<unsigned char>(pngBytes[at + i]);
        }
        return static_cast<std::int64_t>(v);
    };
    const auto pixels = [](std::int64_t units) {
        return static_cast<std::int64_t>(std::ceil(static_cast<double>(units) * 300 / 2540));
    };
    EXPECT_EQ(be32(16), pixels(frameWidth));
    EXPECT_EQ(be32(20), pixels(frameHeight));
    EXPECT_LE(be32(16), pixels(17500));
    // PDF: the frame in whole points.
    const std::string pdfText = folder.Read("figure.pdf");
    const auto points = [](std::int64_t units) {
        return std::to_string(
            static_cast<std::int64_t>(std::ceil(static_cast<double>(units) * 72 / 2540)));
    };
    EXPECT_NE(pdfText.find("/MediaBox [0 0 " + points(frameWidth) + ".000000 " +
                           points(frameHeight) + ".000000]"),
              std::string::npos);
}

} // namespace
} // namespace karvello

namespace karvello {
namespace {

std::vector<test::EmfRecord> OfType(const std::vector<test::EmfRecord>& records,
                                    std::uint32_t type) {
    std::vector<test::EmfRecord> found;
    std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                 [type](const test::EmfRecord& r) { return r.type == type; });
    return found;
}

// The figure settings in the metafile: font face and height, pen width, the
// room the frame leaves around the drawing, one group per map, and the
// figure layout's mapping mode and transparent text.
TEST(CommandLineDrawTest, FigureSettingsShapeTheMetafile) {
    struct Row {
        const char* name;
        std::vector<std::string> options;
        std::u16string face;
        int height;
        int penWidth;
        int room;
        bool grouped;
        bool figureLayout = false;
    };
    const std::vector<Row> rows = {
        {"defaults", {}, u"Microsoft Sans Serif", 282, 1, 0, false},
        {"figure layout", {"--width", "175mm"}, u"Microsoft Sans Serif", 282, 9, 200, false, true},
        {"figure layout, grouped",
         {"--height", "230mm", "--line-width", "0.5pt", "--group-maps"},
         u"Microsoft Sans Serif",
         282,
         18,
         200,
         true,
         true},
        {"classic rows",
         {"--width", "175mm", "--layout", "classic"},
         u"Microsoft Sans Serif",
         282,
         1,
         200,
         false},
        {"font, lines and groups",
         {"--font", "Liberation Sans", "--font-size", "7pt", "--line-width", "0.5pt",
          "--group-maps"},
         u"Liberation Sans",
         247,
         18,
         0,
         true},
        {"rows leave 2 mm", {"--per-row", "3"}, u"Microsoft Sans Serif", 282, 1, 200, false},
        {"room asked for",
         {"--per-row", "3", "--margin", "1mm"},
         u"Microsoft Sans Serif",
         282,
         1,
         100,
         false},
    };
    Workspace ws;
    ws.Load(kExampleInput, kExampleOutput);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const std::string emf = folder.Path("figure.emf");
        std::vector<std::string> args{"draw", kExampleInput, kExampleOutput, "-o", emf};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const Outcome drawn = RunKarvello(args);
        ASSERT_EQ(drawn.status, 0) << drawn.err;
        const auto records = test::ReadEmfRecords(test::ReadFileBytes(emf));

        // The mapping mode is set once, before anything is drawn; the figure
        // layout writes MM_ANISOTROPIC with extents that make a unit 1/100 mm
        // with y upward, the classic layout MM_HIMETRIC.
        const auto modes = OfType(records, kEmrSetMapMode);
        ASSERT_EQ(modes.size(), 1u);
        EXPECT_EQ(modes[0].U32(8), row.figureLayout ? 8u : 3u);
        const auto windows = OfType(records, kEmrSetWindowExtEx);
        const auto viewports = OfType(records, kEmrSetViewportExtEx);
        if (row.figureLayout) {
            ASSERT_EQ(windows.size(), 1u);
            ASSERT_EQ(viewports.size(), 1u);
            const auto firstDrawn =
                std::find_if(records.begin(), records.end(), [](const test::EmfRecord& r) {
                    return r.type == kEmrRectangle || r.type == kEmrLineTo ||
                           r.type == kEmrExtTextOutW;
                });
            ASSERT_NE(firstDrawn, records.end());
            EXPECT_LT(viewports[0].offset, firstDrawn->offset) << "set before anything is drawn";
            EXPECT_DOUBLE_EQ(windows[0].I32(8) / double(viewports[0].I32(8)),
                             kHiMetricPerReferencePixel);
            EXPECT_DOUBLE_EQ(windows[0].I32(12) / double(viewports[0].I32(12)),
                             -kHiMetricPerReferencePixel);
        } else {
            EXPECT_TRUE(windows.empty());
            EXPECT_TRUE(viewports.empty());
        }
        const auto backgrounds = OfType(records, kEmrSetBkMode);
        ASSERT_EQ(backgrounds.size(), 1u);
        EXPECT_EQ(backgrounds[0].U32(8), row.figureLayout ? 1u : 2u)
            << "transparent text in the figure layout, opaque in the classic";

        int openGroup = 0; // the number of the open group, 0 = none
        int groups = 0;
        int textsOutside = 0;
        std::vector<test::EmfRect> groupBoxes;
        for (const auto& record : records) {
            if (record.type == kEmrExtCreateFontIndirectW) {
                const test::EmfFont font = test::DecodeFont(record);
                EXPECT_EQ(font.face, row.face);
                EXPECT_EQ(font.height, -row.height);
            } else if (record.type == kEmrCreatePen) {
                EXPECT_EQ(record.I32(16), row.penWidth);
            } else if (record.type == kEmrComment) {
                ASSERT_EQ(record.U32(12), kEmfCommentGdic);
                if (record.U32(16) == kEmfCommentBeginGroup) {
                    ASSERT_EQ(openGroup, 0) << "groups do not nest";
                    openGroup = ++groups;
                    groupBoxes.push_back(record.Rect(20));
                } else {
                    ASSERT_EQ(record.U32(16), kEmfCommentEndGroup);
                    ASSERT_NE(openGroup, 0) << "an end without a begin";
                    openGroup = 0;
                }
            } else if (record.type == kEmrExtTextOutW) {
                const test::EmfText text = test::DecodeText(record);
                if (openGroup == 0) {
                    ++textsOutside;
                    continue;
                }
                // The group's box (y upward) holds the text's corner.
                const test::EmfRect& box = groupBoxes.back();
                EXPECT_TRUE(box.left <= text.x && text.x <= box.right && box.bottom <= text.y &&
                            text.y <= box.top)
                    << "text at " << text.x << "," << text.y << " outside its group's box";
            }
        }
        EXPECT_EQ(openGroup, 0);
        EXPECT_EQ(groups, row.grouped ? static_cast<int>(ws.Maps().size()) : 0);
        if (row.grouped) {
            EXPECT_EQ(textsOutside, 0);
        }

        const TextMetrics& metrics =
            *FigureTextFont(std::string(row.face.begin(), row.face.end()), row.height).metrics;
        test::EmfRect expected =
            test::EmfDrawnBox(records, metrics.Height(false), metrics.Height(true));
        expected.left -= row.room;
        expected.top -= row.room;
        expected.right += row.room;
        expected.bottom += row.room;
        EXPECT_EQ(test::DecodeHeader(records.front()).frame, expected);
    }
}

TEST(CommandLineDrawTest, AFaceThatIsNotInstalledIsNamed) {
    TempFolder folder;
    const Outcome drawn = RunKarvello({"draw", kExampleInput, kExampleOutput, "-o",
                                       folder.Path("x.svg"), "--font", "No Such Face Sans"});
    EXPECT_NE(drawn.status, 0);
    EXPECT_NE(drawn.err.find("\"No Such Face Sans\" is not installed"), std::string::npos)
        << drawn.err;
    EXPECT_FALSE(folder.Exists("x.svg"));
}

} // namespace
} // namespace karvello

namespace karvello {
namespace {

// The order --maps names is a figure setting: a settings file keeps it, and
// the maps it leaves out follow in the file's order.
TEST(CommandLineDrawTest, TheOrderOfTheMapsIsKeptInTheSettingsFile) {
    TempFolder folder;
    const std::string saved = folder.Path("figure.json");
    // Each drawing into the same file, whose name the SVG carries as its title.
    const auto draw = [&folder](std::vector<std::string> more) {
        std::vector<std::string> args = {
            "draw",  kExampleInput, kExampleOutput, "--height",
            "150mm", "--titles",    "-o",           folder.Path("x.svg")};
        args.insert(args.end(), more.begin(), more.end());
        const Outcome drawn = RunKarvello(args);
        EXPECT_EQ(drawn.status, 0) << drawn.err;
        return folder.Read("x.svg");
    };
    draw({"--maps", "3,1,2", "--save-settings", saved});
    EXPECT_NE(folder.Read("figure.json").find("\"MapOrder\": \"3,1,2\""), std::string::npos);
    const std::string fromFile = draw({"--settings", saved});
    EXPECT_EQ(fromFile, draw({"--maps", "3,1,2,4-6"}));
    EXPECT_NE(fromFile, draw({}));
    EXPECT_LT(fromFile.find("Map 3"), fromFile.find("Map 1"));
}

// A settings file saved with a drawing gives the same drawing on its own; a
// bad one is refused before anything is drawn.
TEST(CommandLineDrawTest, SavedSettingsDrawTheSameFigureAgain) {
    TempFolder folder;
    const std::string saved = folder.Path("figure.json");
    const std::string qtl = folder.Write("qtl.csv", "map,name,start,end\n1,q1,0,5\n");
    const Outcome first = RunKarvello({"draw",
                                       kExampleInput,
                                       kExampleOutput,
                                       "-o",
                                       folder.Path("first.emf"),
                                       "--set",
                                       "BarWidth=150",
                                       "--range",
                                       "T002-T001=#FF0000",
                                       "--default-colour",
                                       "#0000FF",
                                       "--per-row",
                                       "3",
                                       "--font-size",
                                       "7pt",
                                       "--group-maps",
                                       "--titles",
                                       "--title",
                                       "2=Chr 2",
                                       "--ruler",
                                       "--links",
                                       "--qtl",
                                       qtl,
                                       "--show-only",
                                       "T002,T001",
                                       "--collapse",
                                       "2",
                                       "--save-settings",
                                       saved});
    ASSERT_EQ(first.status, 0) << first.err;
    const Outcome again = RunKarvello({"draw", kExampleInput, kExampleOutput, "-o",
                                       folder.Path("again.emf"), "--settings", saved});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(folder.Read("again.emf"), folder.Read("first.emf"));
    EXPECT_NE(folder.Read("figure.json").find("\"first\": \"T002\""), std::string::npos);
    EXPECT_NE(folder.Read("figure.json").find("\"showOnly\": [\"T001\", \"T002\"]"),
              std::string::npos)
        << folder.Read("figure.json");
    EXPECT_NE(folder.Read("figure.json").find("\"titleTexts\": {\"2\": \"Chr 2\"}"),
              std::string::npos);
    EXPECT_NE(folder.Read("figure.json").find("\"qtlFile\": \"" + FullPathForMessage(qtl)),
              std::string::npos);

    const std::string bad = folder.Write("bad.json", "{\n  \"figure\": {\"Margin\": \"2mm\"}\n}\n");
    const Outcome refused = RunKarvello(
        {"draw", kExampleInput, kExampleOutput, "-o", folder.Path("bad.emf"), "--settings", bad});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("line 2: the field \"Margin\" must be a whole number"),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(folder.Exists("bad.emf"));
}

} // namespace
} // namespace karvello

namespace karvello {
namespace {

// The width in pixels of a PNG file, from its IHDR chunk; 0 when it has none.
std::int64_t PngWidth(const std::string& bytes) {
    if (bytes.size() < 24) {
        return 0;
    }
    std::int64_t width = 0;
    for (std::size_t i = 16; i < 20; ++i) {
        width = width << 8 | static_cast<unsigned char>(bytes[i]);
    }
    return width;
}

// A settings file's value that its setting does not take is refused, as the
// command line refuses it, before anything is drawn: a resolution of 0 once
// stopped the program with a floating point exception, one of -5 with
// "vector::_M_default_append", and a font height of -300 became 282 unsaid.
TEST(CommandLineDrawTest, ASettingsFileValueOutsideItsRangeIsNamedWithTheRange) {
    struct Row {
        const char* figure;
        const char* message;
    };
    const std::vector<Row> rows = {
        {"\"Dpi\": 0", "the field \"Dpi\" must be a whole number from 1, not 0."},
        {"\"Dpi\": -5", "the field \"Dpi\" must be a whole number from 1, not -5."},
        {"\"FontHeight\": -300",
         "the field \"FontHeight\" must be a whole number of 1/100 mm from 1, or 0 (the default), "
         "not -300."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.figure);
        TempFolder folder;
        const std::string settings =
            folder.Write("s.json", std::string("{\n  \"figure\": {") + row.figure + "}\n}\n");
        const Outcome drawn = RunKarvello({"draw", kExampleInput, kExampleOutput, "-o",
                                           folder.Path("maps.png"), "--settings", settings});
        EXPECT_EQ(drawn.status, 1);
        EXPECT_EQ(drawn.err, "karvello: Settings file \"" + FullPathForMessage(settings) +
                                 "\", line 2: " + row.message + "\n");
        EXPECT_FALSE(folder.Exists("maps.png"));
    }
}

// The options given on the command line win over a settings file, also when
// they give the default value: --dpi 300 over a file's 600 draws at 300.
TEST(CommandLineDrawTest, AnOptionGivenWithItsDefaultValueGoesOverTheSettingsFile) {
    TempFolder folder;
    const std::string settings = folder.Write("s600.json", "{\"figure\": {\"Dpi\": 600}}");
    const auto draw = [&](const std::string& name, std::vector<std::string> options) {
        std::vector<std::string> args{"draw", kExampleInput, kExampleOutput,   "--maps",
                                      "1",    "-o",          folder.Path(name)};
        args.insert(args.end(), options.begin(), options.end());
        const Outcome drawn = RunKarvello(args);
        EXPECT_EQ(drawn.status, 0) << drawn.err;
        return PngWidth(folder.Read(name));
    };
    const std::int64_t at300 = draw("plain.png", {});
    const std::int64_t at600 = draw("file.png", {"--settings", settings});
    ASSERT_GT(at300, 0);
    EXPECT_NEAR(static_cast<double>(at600), 2.0 * static_cast<double>(at300), 2.0);
    EXPECT_EQ(draw("given.png", {"--settings", settings, "--dpi", "300"}), at300);
}

} // namespace
} // namespace karvello
