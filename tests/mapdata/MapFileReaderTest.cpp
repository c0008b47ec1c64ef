// Map files from other mapping programs: map tables, R/qtl cross files and
// group files, each read into the records a Mapmaker load gives; and the
// table of formats that finds which is which.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "base/Error.h"
#include "mapdata/MapFileFormats.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/MapFileTestHelpers.h"
#include "tests/mapdata/TestText.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

using test::CheckRecords;
using test::Describe;
using test::Read;
using test::Text;

TEST(MapFileReader, ReadsEachFormatIntoMaps) {
    struct Row {
        const char* rule;
        std::vector<std::string> lines;
        std::string_view format;
        std::vector<std::string> maps;
    };
    const std::vector<Row> rows = {
        {"comma table, columns in any order and case, others ignored",
         {"Locus,Extra,Position,CHR", "a,x,0,LG1", "b,y,7.5,LG1"},
         "map table",
         {"LG1 @0: a 7.5 b"}},
        {"every group, marker and position column name",
         {"linkage group;marker name;map position", "g;a;1", "g;b;2"},
         "map table",
         {"g @1: a 1 b"}},
        {"tab separated, names with blanks",
         {"lg\tname\tdist (cM)", "LG 1\tmarker one\t0", "LG 1\tmarker two\t3"},
         "map table",
         {"LG 1 @0: marker one 3 marker two"}},
        {"semicolons with decimal commas, as spreadsheets in many languages write them",
         {"Group;Marker;Position (cM)", "LG1;a;0,0", "LG1;b;12,5"},
         "map table",
         {"LG1 @0: a 12.5 b"}},
        {"blank separated with runs of blanks",
         {"chrom   id   cm", "  1  a   0.5", "1 b 1.5  "},
         "map table",
         {"1 @0.5: a 1 b"}},
        {"quoted fields with separator and doubled quote inside",
         {"\"group\",\"marker\",\"pos\"", "\"1\",\"a,b\",\"0\"", "1, \"say \"\"x\"\"\" ,2"},
         "map table",
         {"1 @0: a,b 2 say \"x\""}},
        {"blanks around fields; quotes, separators and nothing in a column not read",
         {"chr,locus,pos,note", " 1 , a ,0,\"x, \"\"y\"\"\"", "1,b , 2.5 ,", "1,\tc,3,,,"},
         "map table",
         {"1 @0: a 2.5 b 0.5 c"}},
        {"byte-order mark, comments above the header and blank lines skipped",
         {"\xEF\xBB\xBF# made by hand", "", "# a comment", "group,marker,position", "g,a,0", "",
          "g,b,1"},
         "map table",
         {"g @0: a 1 b"}},
        {"markers ordered by position, equal positions in file order",
         {"chr,locus,pos", "1,c,5", "1,a,0", "1,b2,5", "1,b1,5", "1,z,-1"},
         "map table",
         {"1 @-1: z 1 a 5 c 0 b2 0 b1"}},
        {"positions closer than 0.00005 cM are one position",
         {"chr,locus,pos", "1,a,1", "1,b,1.00004", "1,c,1.0001"},
         "map table",
         {"1 @1: a 0 b 6e-05 c"}},
        {"distances rounded to 6 decimals",
         {"chr,locus,pos", "1,a,18.5", "1,b,20.9", "1,c,19.7000000001"},
         "map table",
         {"1 @18.5: a 1.2 c 1.2 b"}},
        {"maps in the order their groups first appear",
         {"chr,locus,pos", "B,b1,0", "A,a1,0", "B,b2,1", "A,a2,2"},
         "map table",
         {"B @0: b1 1 b2", "A @0: a1 2 a2"}},
        {"R/qtl cross file: phenotypes and data rows skipped",
         {"bp,sex,m1,m2,m3", ",,1,1,X", ",,3.3,19.7000000001,0", "109.6,male,BA,BB,-"},
         "R/qtl cross file",
         {"1 @3.3: m1 16.4 m2", "X @0: m3"}},
        {"group file: comments, braces and JoinMap style",
         {"; a JoinMap map", "group LG1", "a 0.0", "b\t12.5 {color red}", "", "GROUP LG2 {x}",
          "c 1"},
         "group file",
         {"LG1 @0: a 12.5 b", "LG2 @1: c"}},
        {"group file with a decimal comma",
         {"group LG1", "a 0", "b 3,5"},
         "group file",
         {"LG1 @0: a 3.5 b"}},
        {"group file as MSTmap writes it",
         {";BEGINOFGROUP", "group lg0", "m1\t0.000", "m2\t3.100", ";ENDOFGROUP"},
         "group file",
         {"lg0 @0: m1 3.1 m2"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        MapFile file;
        ASSERT_NO_THROW(file = Read(row.lines));
        EXPECT_EQ(file.Format, row.format);
        EXPECT_EQ(Describe(file), row.maps);
        EXPECT_TRUE(file.Warnings.empty());
        CheckRecords(file);
    }
}

// Positions as written, read to six decimals: the usual short forms and
// the longer ones, which are read another way, alike.
TEST(MapFileReader, PositionsAreReadToSixDecimals) {
    struct Row {
        const char* text;
        char separator;
        double position;
    };
    const std::vector<Row> rows = {
        {"7", ',', 7.0},
        {"-4.9", ',', -4.9},
        {"0.000001", ',', 0.000001},
        {"123456789.123456", ',', 123456789.123456},
        {"1000000000", ',', 1e9},
        {"-1000000000.000000", ',', -1e9},
        {"19.7000000001", ',', 19.7},
        {"0.0000004", ',', 0.0},
        {"-0", ',', -0.0},
        {"+5", ',', 5.0},
        {"5.", ',', 5.0},
        {".5", ',', 0.5},
        {"1e3", ',', 1000.0},
        {"2.5E-1", ',', 0.25},
        {"12,5", ';', 12.5},
        {"-0,125", '\t', -0.125},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const std::string s(1, row.separator);
        const MapFile file = Read({"chr" + s + "locus" + s + "pos", "1" + s + "a" + s + row.text});
        ASSERT_EQ(file.Maps.size(), 1u);
        EXPECT_EQ(file.Maps[0].FirstPosition, row.position);
        EXPECT_EQ(std::signbit(file.Maps[0].FirstPosition), std::signbit(row.position));
    }
    for (const char* beyond : {"1000000000.000001", "-1000000001", "12345678901"}) {
        SCOPED_TRACE(beyond);
        EXPECT_EQ(test::ThrownMessage([&] {
                      Read({"chr,locus,pos", std::string("1,a,") + beyond});
                  }),
                  "Position \"" + std::string(beyond) +
                      "\" on line 2 of \"map.csv\" lies beyond 1000000000 cM.");
    }
}

TEST(MapFileReader, MarkerTableKeepsFileOrder) {
    const MapFile file = Read({"chr,locus,pos", "1,late,9", "2,other,0", "1,early,1"});
    ASSERT_EQ(file.Markers.size(), 3u);
    EXPECT_EQ(file.Markers[0].Name, "late");
    EXPECT_EQ(file.Markers[0].Position, 4);
    EXPECT_EQ(file.Markers[1].Chromosome, 2);
    EXPECT_EQ(file.Markers[2].Position, 2);
}

TEST(MapFileReader, NameTwiceInOneGroupIsKeptWithOneWarning) {
    const MapFile file = Read({"chr,locus,pos", "1,a,0", "2,a,0", "1,b,1", "1,a,5"}, "dups.csv");
    EXPECT_EQ(Describe(file), (std::vector<std::string>{"1 @0: a 1 b 4 a", "2 @0: a"}));
    EXPECT_EQ(file.Warnings, (std::vector<std::string>{
                                 "Marker \"a\" is listed twice in group \"1\" of \"dups.csv\", on "
                                 "lines 2 and 5; both are kept."}));
}

TEST(MapFileReader, WhatCouldBeReadTwoWaysIsReadOneWayWithAWarning) {
    struct Row {
        const char* rule;
        std::vector<std::string> lines;
        std::vector<std::string> maps;
        std::vector<std::string> warnings;
    };
    const std::vector<Row> rows = {
        {"a marker column and an ID column: the marker column",
         {"ID,Marker,Chr,Pos", "17,a,1,0", "18,b,1,5"},
         {"1 @0: a 5 b"},
         {"The header on line 1 of \"map.csv\" has 2 fields that could be the marker column, "
          "\"ID\" and \"Marker\"; \"Marker\" is taken."}},
        {"a cM column and a position column: cM",
         {"Marker,Chromosome,Position,cM", "a,1,1000000,0", "b,1,2500000,7.5"},
         {"1 @0: a 7.5 b"},
         {"The header on line 1 of \"map.csv\" has 2 fields that could be the position column, "
          "\"Position\" and \"cM\"; \"cM\" is taken."}},
        {"a decimal comma in a comma-separated row",
         {"group,marker,position", "A,m1,0", "A,m2,12,5", "A,m3,13", "A,m4,14,25"},
         {"A @0: m1 12 m2 1 m3 1 m4"},
         {"Lines 3 and 5 of \"map.csv\" have more fields than the header's 3; the fields past "
          "them are left out. Is a position written with a decimal comma? Separate the fields by "
          "semicolons or tabs then, or write the point."}},
        {"a blank in a name of a blank-separated table",
         {"group position marker", "LG1 0 a", "LG1 2 my marker"},
         {"LG1 @0: a 2 my"},
         {"Line 3 of \"map.csv\" has more fields than the header's 3; the fields past them are "
          "left out. Does a name hold a blank? Quote it, or separate the fields by tabs."}},
        {"rows that begin with # are rows",
         {"# made by hand", "group,marker,position", "#LG1,a,0", "LG1,b,1", "# LG1,c,2"},
         {"#LG1 @0: a", "LG1 @1: b", "# LG1 @2: c"},
         {"Lines 3 and 5 of \"map.csv\" begin with \"#\" and are read as rows of markers: a map "
          "table has no comments."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        MapFile file;
        ASSERT_NO_THROW(file = Read(row.lines));
        EXPECT_EQ(Describe(file), row.maps);
        EXPECT_EQ(file.Warnings, row.warnings);
    }
}

TEST(MapFileReader, StrayBytesInUtfEightKeepItUtfEightNamingEveryLine) {
    const MapFile file = Read({"group,marker,pos", "LG1,G\xC3\xA8ne1,0", "LG1,b\xE8,1",
                               "LG1,G\xC3\xA8ne2,2", "LG1,c\xFF\xFE,3"});
    EXPECT_EQ(file.Encoding, CharacterEncoding::Utf8);
    EXPECT_EQ(file.Markers.at(0).Name, "G\xC3\xA8ne1");
    EXPECT_EQ(file.Warnings, std::vector<std::string>{
                                 "Lines 3 and 5 of \"map.csv\" hold bytes that UTF-8 does not "
                                 "allow, in a file that is otherwise UTF-8; each shows as U+FFFD. "
                                 "Save the file as UTF-8 again."});
}

TEST(MapFileReader, ANulIsRefusedNamingItsLine) {
    const TextLines text(std::string("group,marker,pos\nLG1,a,0\nLG1,b\0,1\nLG1,c,2\n", 42));
    EXPECT_EQ(test::ThrownMessage([&] { ReadMapFile(text, "map.csv"); }),
              "Line 3 of \"map.csv\" holds a NUL byte, which no text file holds, and the rest of "
              "the file would be lost. Is it saved as UTF-16 (Unicode)? Save it as UTF-8 text and "
              "open that.");
}

TEST(MapFileReader, TextThatIsNotUtfEightIsReadAsWindows1252WithAWarning) {
    const MapFile utf8 = Read({"group,marker,pos", "LG1,G\xC3\xA8ne,0", "LG1,b,1"});
    EXPECT_EQ(utf8.Encoding, CharacterEncoding::Utf8);
    EXPECT_TRUE(utf8.Warnings.empty());
    const MapFile latin = Read({"group,marker,pos", "LG1,a,0", "LG1,G\xE8ne,1"});
    // The same lines, each held apart, are looked at one by one.
    const std::vector<std::string> apart = {"group,marker,pos", "LG1,a,0", "LG1,G\xE8ne,1"};
    const std::vector<std::string_view> apartLines(apart.begin(), apart.end());
    EXPECT_EQ(ReadMapFile(apartLines, "map.csv").Warnings, latin.Warnings);
    EXPECT_EQ(latin.Encoding, CharacterEncoding::Windows1252);
    EXPECT_EQ(latin.Markers.at(1).Name, "G\xE8ne");
    ASSERT_EQ(latin.Warnings.size(), 1U);
    EXPECT_EQ(latin.Warnings[0],
              "\"map.csv\" is not UTF-8 text (line 3 holds a byte UTF-8 does not allow), so its "
              "names are read as Windows-1252 (ANSI, Latin-1); save it as UTF-8 to be sure of its "
              "accented letters.");
}

TEST(MapFileReader, BadFilesFailNamingFileLineAndField) {
    struct Row {
        const char* rule;
        std::vector<std::string> lines;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"position with a decimal comma and a point",
         {"chr;locus;pos", "1;a;0", "1;b;12,5.0"},
         "Position \"12,5.0\" on line 3 of \"map.csv\" is not a number."},
        {"empty position",
         {"chr,locus,pos", "1,a,"},
         "Position \"\" on line 2 of \"map.csv\" is not a number."},
        {"position beyond any map",
         {"chr,locus,pos", "1,a,1e300"},
         "Position \"1e300\" on line 2 of \"map.csv\" lies beyond 1000000000 cM."},
        {"row with too few fields",
         {"chr,locus,pos", "1,a,0", "", "1,b"},
         "Line 4 of \"map.csv\" has 2 fields, too few for its position column (field 3)."},
        {"empty marker name",
         {"chr,locus,pos", "1,,0"},
         "The marker name on line 2 of \"map.csv\" is empty."},
        {"empty group", {"chr,locus,pos", " ,a,0"}, "The group on line 2 of \"map.csv\" is empty."},
        {"empty file", {}, "\"map.csv\" is empty: it holds no map."},
        {"only comments and blank lines",
         {"# nothing", "  "},
         "\"map.csv\" is empty: it holds no map."},
        {"header and no rows", {"chr,locus,pos"}, "\"map.csv\" holds no markers."},
        {"a Mapmaker input file alone",
         {"data type f2 intercross", "3 2 0", "*A1 ABH"},
         "\"map.csv\" is a Mapmaker input file, which is read together with its Mapmaker output "
         "file: give both files."},
        {"a Mapmaker output file alone",
         {"*******", "Map:", "  Markers          Distance", "    1  A1          10.0 cM"},
         "\"map.csv\" is a Mapmaker output file, which is read together with its Mapmaker input "
         "file: give both files, the input file first."},
        {"header without a position column",
         {"Chr,Marker,cM value", "1,a,0"},
         "The header on line 1 of \"map.csv\" names no position column. Its columns are \"Chr\", "
         "\"Marker\", \"cM value\". A position column is named one of: cm, position (cM), "
         "pos (cM), map position (cM), dist (cM), position, pos, map position, distance."},
        {"R/qtl cross file without its position row",
         {"bp,sex,m1,m2", ",,1,1", "109.6,male,BA,BB"},
         "\"map.csv\" is an R/qtl cross file without a row of marker positions (its third row "
         "holds data), so it holds no map to draw. Estimate the map in R/qtl and write the cross "
         "out again with its positions."},
        {"R/qtl position row cut short",
         {"bp,m1,m2", ",1,1", ",0"},
         "Line 3 of \"map.csv\" has 2 fields, too few for the position of marker \"m2\" (field "
         "3)."},
        {"group file marker before any group",
         {";comment", "a 0"},
         "Line 2 of \"map.csv\" names a marker before any \"group\" line."},
        {"group file line with three fields",
         {"group 1", "a 0", "b 1 2"},
         "Line 3 of \"map.csv\" is not a marker name and its position: it has 3 fields."},
        {"group file position not a number",
         {"group 1", "a zero"},
         "Position \"zero\" on line 2 of \"map.csv\" is not a number."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        EXPECT_EQ(test::ThrownMessage([&] { Read(row.lines); }), row.message);
    }
}

std::string MapsFile(const char* path) {
    return std::string(KARVELLO_MAPS_DIR) + "/" + path;
}

MapFile ReadShipped(const char* path) {
    const TextLines text(ReadTextFile(MapsFile(path)));
    return ReadMapFile(text, path);
}

std::vector<std::size_t> MarkerCounts(const MapFile& file) {
    std::vector<std::size_t> counts;
    for (const auto& map : file.Maps) {
        counts.push_back(map.Markers.size());
    }
    return counts;
}

TEST(MapFileReader, GenuineFilesLoad) {
    const MapFile carrot = ReadShipped("carrot_comparative/Carrot.csv");
    EXPECT_EQ(MarkerCounts(carrot), (std::vector<std::size_t>{17, 82, 27}));
    EXPECT_EQ(carrot.Maps[0].GroupName, "2170LG3");
    CheckRecords(carrot);

    const MapFile oat = ReadShipped("oat_consensus/oat.csv");
    EXPECT_EQ(oat.Maps.size(), 21u);
    EXPECT_EQ(oat.Markers.size(), 16668u);
    EXPECT_EQ(oat.Maps[1].GroupName, "Mrg02");
    EXPECT_EQ(oat.Maps[1].FirstPosition, -4.9);
    EXPECT_EQ(oat.Warnings.size(), 14u);
    for (const auto& map : oat.Maps) {
        EXPECT_GE(map.FirstPosition, -18.4) << map.GroupName;
        EXPECT_LE(map.FirstPosition, 0.5) << map.GroupName;
    }
    CheckRecords(oat);
}

TEST(MapFileReader, HyperGivesTheSameMapsFromTableAndCrossFile) {
    const MapFile table = ReadShipped("rqtl_hyper/hyper_map.csv");
    const MapFile cross = ReadShipped("rqtl_hyper/hyper.csv");
    EXPECT_EQ(table.Format, "map table");
    EXPECT_EQ(cross.Format, "R/qtl cross file");
    EXPECT_EQ(table.Maps.size(), 20u);
    EXPECT_EQ(table.Markers.size(), 174u);
    EXPECT_EQ(Describe(table), Describe(cross));
    EXPECT_EQ(table.Maps.back().GroupName, "X");
    // R/qtl nudges equal positions apart by 1e-10: still one position.
    EXPECT_EQ(table.Maps[0].Markers[1].Distance, 13.1);
    CheckRecords(table);
    CheckRecords(cross);
}

// Each format's sniff takes a plain file of its own kind and none of the
// others', so that the table's order decides nothing for such files.
TEST(MapFileFormats, EachSniffTakesItsOwnFilesOnly) {
    struct Sample {
        std::string_view format;
        std::vector<std::string> lines;
    };
    const std::vector<Sample> samples = {
        {"map table", {"# LG1 only", "group,marker,position", "LG1,a,0"}},
        {"map table", {"chr\tlocus\tpos", "1\ta\t0"}},
        {"group file", {"group LG1", "a 0", "b 3"}},
        {"group file", {";BEGINOFGROUP", "group lg0", "m1\t0.000"}},
        {"R/qtl cross file", {"bp,sex,m1,m2", ",,1,1", ",,0,3.3"}},
        {"R/qtl cross file", {"m1;m2", ";1;1"}},
        {"Mapmaker pair", {"data type f2 intercross", "3 2 0"}},
        {"Mapmaker pair", {"*******", "Map:", "  Markers          Distance"}},
    };
    std::set<std::string_view> names;
    for (const MapFileFormat& format : MapFileFormats()) {
        EXPECT_TRUE(names.insert(format.Name).second) << format.Name;
        for (const Sample& sample : samples) {
            SCOPED_TRACE(std::string(format.Name) + " on a " + std::string(sample.format));
            const TextLines text = Text(sample.lines);
            EXPECT_EQ(format.Sniff(text.lines()), format.Name == sample.format);
        }
    }
    for (const Sample& sample : samples) {
        EXPECT_TRUE(names.contains(sample.format)) << sample.format;
    }
}

TEST(MapFileFormats, DialogFiltersJoinTheFormatsOfOneFilterPairsFirst) {
    EXPECT_EQ(MapFileDialogFilters(), (std::vector<std::string>{
                                          "Mapmaker files (*.raw *.out *.txt *.log)",
                                          "R/qtl gary files (markerpos.txt chrid.dat)",
                                          "Map tables (*.csv *.tsv *.txt *.map *.qtab *.mct *.bim)",
                                      }));
    const std::string list = OneFileFormatList();
    for (const MapFileFormat& format : MapFileFormats()) {
        EXPECT_EQ(list.find(format.Summary) != std::string::npos, format.FileCount == 1)
            << format.Name;
    }
}

} // namespace
} // namespace karvello
