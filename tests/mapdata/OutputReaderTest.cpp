// Finding and reading the maps of a Mapmaker output file.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "mapdata/OutputReader.h"
#include "tests/mapdata/TestText.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

using test::Entry;
using test::Text;
using Strings = std::vector<std::string>;

const std::string kPlacedHeading = "Markers placed relative to above map:";

Strings Concat(std::initializer_list<Strings> parts) {
    Strings all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A map as Mapmaker prints it: heading, column titles, framework lines and
// the summary line.
Strings MapBlock(const Strings& framework,
                 const std::string& heading = "Map:                        ") {
    Strings lines = {heading, "  Markers          Distance "};
    lines.insert(lines.end(), framework.begin(), framework.end());
    lines.push_back("                    43.2 cM   5 markers   log-likelihood= -424.94");
    lines.push_back("");
    return lines;
}

// A placement table: heading, two title lines, the rows.
Strings TableBlock(const Strings& rows) {
    Strings lines = {kPlacedHeading, "          1    2    3  ", "          :--4-:-15-:"};
    lines.insert(lines.end(), rows.begin(), rows.end());
    return lines;
}

MarkerTable Table(std::size_t count) {
    return MarkerTable(count);
}

TEST(SplitMapLine, Rows) {
    struct Row {
        const char* name;
        std::string line;
        bool splits;
        std::string first, second, rest;
    };
    const std::vector<Row> rows = {
        {"framework line", "    4  T24          14.8 cM", true, "4", "T24", "14.8 cM"},
        {"last framework line", "   10  T17        ----------", true, "10", "T17", "----------"},
        {"placement row", "   8 2 .*.:....:**.", true, "8", "2", ".*.:....:**."},
        {"rest keeps its inner blanks", "1 a b  c ", true, "1", "a", "b  c"},
        {"surrounding controls are trimmed", "\t 1 a b\r\x01", true, "1", "a", "b"},
        {"two words do not split", "  Map: Apriori ", false, "", "", ""},
        {"one word does not split", "Map:", false, "", "", ""},
        {"empty line does not split", "", false, "", "", ""},
        {"tabs are no separators", "1\tT24\t14.8 cM", false, "", "", ""},
        {"tabs stay inside tokens", "1\tT24 x 14.8 cM", true, "1\tT24", "x", "14.8 cM"},
        {"tab-only second gap does not split", "1 T24\t14.8", false, "", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const SplitLine split = SplitMapLine(row.line);
        EXPECT_EQ(split.Splits, row.splits);
        if (row.splits) {
            EXPECT_EQ(split.First, row.first);
            EXPECT_EQ(split.Second, row.second);
            EXPECT_EQ(split.Rest, row.rest);
        }
    }
}

// Reads the framework list of a one-map file whose marker lines are given.
std::vector<MapEntry> Framework(const Strings& lines, std::size_t markers = 9) {
    const TextLines text = Text(MapBlock(lines));
    MarkerTable table = Table(markers);
    LinkageMap map;
    map.MapNumber = 1;
    const int next = FindNextMap(text.lines(), 0, table, map);
    EXPECT_EQ(next, 2 + static_cast<int>(map.Markers.size()));
    return map.Markers;
}

TEST(ReadFrameworkMarkers, DistanceForms) {
    struct Row {
        const char* name;
        std::string rest;
        std::optional<double> distance; // nothing: the line ends the list
    };
    const std::vector<Row> rows = {
        {"decimal and cM", "14.8 cM", 14.8},
        {"no blank before cM", "14.8cM", 14.8},
        {"many blanks before cM", "14.8     cM", 14.8},
        {"dashes", "----------", 0.0},
        {"four dashes and more text", "----xyz", 0.0},
        {"three dashes", "---", std::nullopt},
        {"error-detection columns after cM", "18.1 cM   1.0%  -", 18.1},
        {"candidate errors after cM", "2.9 cM   1.0%  [#5 H-B-H 1.90]   1 more", 2.9},
        {"decimal comma", "12,5 cM", std::nullopt},
        {"lower-case unit", "12.5 cm", std::nullopt},
        {"lower-case unit before columns", "12.5 cm   1.0%  -", std::nullopt},
        {"recombination fraction", "0.128 rf", std::nullopt},
        {"no number", "cM", std::nullopt},
        {"words before cM", "about 3 cM", std::nullopt},
        {"exponent", "1e1 cM", 10.0},
        {"cM followed by a tab, not a blank", "18.1 cM\t1.0%", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto markers = Framework({"    3  M3   " + row.rest, "    2  M2   ----------"});
        if (row.distance) {
            ASSERT_EQ(markers.size(), 2u);
            EXPECT_EQ(markers[0].Distance, *row.distance);
            EXPECT_EQ(markers[0].MarkerIndex, 2);
            EXPECT_EQ(markers[1], Entry(1, 0.0, -1, *row.distance == 0.0));
        } else {
            EXPECT_TRUE(markers.empty());
        }
    }
}

TEST(ReadFrameworkMarkers, LinesThatEndTheList) {
    struct Row {
        const char* name;
        std::string line;
    };
    const std::vector<Row> rows = {
        {"tabs between the parts", "3\tM3\t10.0 cM"},
        {"first token not whole", "(3) M3 10.0 cM"},
        {"summary line", "                   110.8 cM   7 markers   log-likelihood= -688.99"},
        {"blank line", ""},
        {"two parts only", "3 ----------"},
        {"marker number past 32 bits", "4294967299 M3 10.0 cM"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto markers = Framework({"    1  M1   5.0 cM", row.line, "    2  M2   ----------"});
        EXPECT_EQ(markers, std::vector<MapEntry>{Entry(0, 5.0)});
    }
}

TEST(ReadFrameworkMarkers, GroupsAtOnePositionAndMarkerTable) {
    const TextLines text = Text(
        {"    1  M1  10.0 cM", "    3  M3   0.0 cM", "    2  M2  ----------", "    9  summary"});
    MarkerTable table = Table(4);
    LinkageMap map;
    map.MapNumber = 7;
    map.Markers.push_back(Entry(3, 1.0));
    EXPECT_EQ(ReadFrameworkMarkers(text.lines(), 0, table, map), 3);
    EXPECT_EQ(map.Markers,
              (std::vector<MapEntry>{Entry(0, 10.0), Entry(2, 0.0, 2), Entry(1, 0.0, -1, true)}));
    EXPECT_EQ(table[0].Position, 2);
    EXPECT_EQ(table[2].Position, 4);
    EXPECT_EQ(table[1].Position, 6);
    for (int i : {0, 1, 2}) {
        EXPECT_TRUE(table[i].Mapped);
        EXPECT_EQ(table[i].Chromosome, 7);
    }
    EXPECT_FALSE(table[3].Mapped);
    EXPECT_EQ(table[3].Chromosome, 0);
    EXPECT_EQ(table[3].Position, 0);
}

TEST(ReadFrameworkMarkers, NearZeroDistanceJoinsNothing) {
    const auto markers = Framework({"1 M1 0.0001 cM", "2 M2 -0.0 cM", "3 M3 ----"});
    EXPECT_EQ(markers,
              (std::vector<MapEntry>{Entry(0, 0.0001), Entry(1, 0.0, 2), Entry(2, 0.0, -1, true)}));
}

TEST(ReadFrameworkMarkers, FromPastTheEndReadsNothing) {
    const TextLines text = Text({"1 M1 ----"});
    MarkerTable table = Table(1);
    LinkageMap map;
    EXPECT_EQ(ReadFrameworkMarkers(text.lines(), 5, table, map), 5);
    EXPECT_TRUE(map.Markers.empty());
    EXPECT_FALSE(table[0].Mapped);
}

// Reads one map whose placement table has the given rows; markers 1 to 30.
LinkageMap Placed(const Strings& rows, MarkerTable* tableOut = nullptr) {
    const TextLines text =
        Text(Concat({MapBlock({"1 M1 4.0 cM", "2 M2 15.0 cM", "3 M3 ----"}), TableBlock(rows)}));
    MarkerTable table = Table(30);
    LinkageMap map;
    map.MapNumber = 2;
    FindNextMap(text.lines(), 0, table, map);
    if (tableOut != nullptr) {
        *tableOut = table;
    }
    return map;
}

TEST(ReadPlacedMarkers, CellsOfOneBlock) {
    struct Row {
        const char* name;
        std::string rest;
        std::int32_t interval;
    };
    const std::vector<Row> rows = {
        {"first interval", "**.:....:....:.*.", 0},
        {"second interval", ".*.:.**.:....:...", 1},
        {"middle interval", "...:....:.**.:...", 2},
        {"last interval, seven characters left", ".*.:....:....:**.", 3},
        {"no chosen interval", "...:....:....:...", -1},
        {"second best only", "...:..*.:....:...", -1},
        {"a colon and point at the start are dropped", ":....:.**.:...", 1},
        {"short remainder", "...:.", -1},
        {"cell cut short", "...:....:..", -1},
        {"star cell without the point", "...:.**", -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MarkerTable table;
        const LinkageMap map = Placed({"  12 2 " + row.rest}, &table);
        ASSERT_EQ(map.Placed.size(), 1u);
        EXPECT_EQ(map.Placed[0].MarkerIndex, 11);
        EXPECT_EQ(map.Placed[0].Interval, row.interval);
        EXPECT_EQ(table[11].Mapped, row.interval >= 0);
        EXPECT_EQ(table[11].Position, row.interval >= 0 ? 2 * row.interval + 1 : 0);
        EXPECT_EQ(table[11].Chromosome, row.interval >= 0 ? 2 : 0);
    }
}

TEST(ReadPlacedMarkers, RowsEndAtTheFirstLineThatIsNoRow) {
    const LinkageMap map =
        Placed({"  12 2 **.:....", "  13 2 ...:.**.", "  14 x **.", "  15 2 **."});
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{11, 0}, {12, 1}}));
}

TEST(ReadPlacedMarkers, SecondBlockContinuesTheCellCount) {
    // Row 21 picks the second cell of block 1 after five cells in block 0.
    const TextLines text = Text(Concat({
        MapBlock({"1 M1 1.0 cM", "2 M2 1.0 cM", "3 M3 1.0 cM", "4 M4 1.0 cM", "5 M5 1.0 cM",
                  "6 M6 1.0 cM", "7 M7 1.0 cM", "8 M8 ----"}),
        TableBlock({"  21 2 ...:....:....:....:....:", "  22 2 ...:.**.:....:....:....:"}),
        {"", "      6    7    8", "       :--1-:--1-:", "  21 2 :....:.**.:...",
         "  22 2 :....:....:..*"},
        {"Map:", "", "9 M9 ----"},
    }));
    MarkerTable table = Table(30);
    LinkageMap map;
    map.MapNumber = 1;
    const int next = FindNextMap(text.lines(), 0, table, map);
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{20, 6}, {21, 1}}));
    EXPECT_EQ(table[20].Position, 13);
    EXPECT_EQ(table[21].Position, 3);
    EXPECT_EQ(next, 15);
    LinkageMap second;
    second.MapNumber = 2;
    EXPECT_GT(FindNextMap(text.lines(), next, table, second), next);
    EXPECT_EQ(second.Markers, std::vector<MapEntry>{Entry(8, 0.0)});
}

TEST(ReadPlacedMarkers, BlocksNeedAColonAndARowLine) {
    struct Row {
        const char* name;
        Strings secondBlock;
        std::int32_t interval;
    };
    const std::vector<Row> rows = {
        {"block read after a colon", {"", "", "", "  21 2 :....:.**."}, 6},
        {"block not counted when its first row is no row", {"", "", "", "  xx 2 :....:.**."}, -1},
        {"block not counted when the text ends first", {"", ""}, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TextLines text = Text(Concat(
            {MapBlock({}), TableBlock({"  21 2 ...:....:....:....:....:"}), row.secondBlock}));
        MarkerTable table = Table(30);
        LinkageMap map;
        FindNextMap(text.lines(), 0, table, map);
        ASSERT_EQ(map.Placed.size(), 1u);
        EXPECT_EQ(map.Placed[0].Interval, row.interval);
    }
}

TEST(ReadPlacedMarkers, LaterBlockRowPastTheEndGivesNoCells) {
    // Block 1's first row is there, its second row lies past the end of the text.
    const TextLines text = Text(
        Concat({MapBlock({}),
                TableBlock({"  21 2 ...:....:....:....:....:", "  22 2 ...:....:....:....:....:"}),
                {"", "", "", "  21 2 :....:.**.:"}}));
    MarkerTable table = Table(30);
    LinkageMap map;
    EXPECT_NO_THROW(FindNextMap(text.lines(), 0, table, map));
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{20, 6}, {21, -1}}));
}

TEST(ReadPlacedMarkers, RowWithoutCellsInALaterBlockKeepsReading) {
    const TextLines text = Text(Concat(
        {MapBlock({}),
         TableBlock({"  21 2 ...:....:....:....:....:", "  22 2 ...:....:....:....:....:"}),
         {"", "", "", "  21 2 :....:", "nocells", "", "", "", "  21 2 :....:", "  22 2 :.**."}}));
    MarkerTable table = Table(30);
    LinkageMap map;
    FindNextMap(text.lines(), 0, table, map);
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{20, -1}, {21, 5}}));
}

TEST(ReadPlacedMarkers, EmptiesPlacedAndReadsFromTheRowLine) {
    const TextLines text = Text({"heading", "titles", "distances", "  3 2 .**.", "end"});
    MarkerTable table = Table(3);
    LinkageMap map;
    map.Placed.push_back({0, 0});
    ReadPlacedMarkers(text.lines(), 1, table, map);
    EXPECT_EQ(map.Placed, (std::vector<PlacedMarker>{{2, -1}}));
    ReadPlacedMarkers(text.lines(), 0, table, map);
    EXPECT_TRUE(map.Placed.empty());
}

TEST(FindNextMap, Headings) {
    struct Row {
        const char* name;
        std::string heading;
        bool found;
    };
    const std::vector<Row> rows = {
        {"plain", "Map:", true},
        {"blanks and tabs around", " \t Map: \t ", true},
        {"error detection on", "Map:                        Apriori", true},
        {"one blank before Apriori", "Map: Apriori", true},
        {"Apriori without a blank", "Map:Apriori", false},
        {"tab before Apriori", "Map:\tApriori", false},
        {"lower case", "map:", false},
        {"followed by a number", "Map: 3", false},
        {"other word", "Map: Aposteriori", false},
        {"framework map", "Framework Map:", false},
        {"map to test", "Map To Test:", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TextLines text = Text(MapBlock({"1 M1 ----"}, row.heading));
        MarkerTable table = Table(1);
        LinkageMap map;
        map.MapNumber = 1;
        const int next = FindNextMap(text.lines(), 0, table, map);
        EXPECT_EQ(next != -1, row.found);
        EXPECT_EQ(map.Markers.size(), row.found ? 1u : 0u);
        EXPECT_EQ(table[0].Mapped, row.found);
    }
}

TEST(FindNextMap, NoMapLeavesEverythingUnchanged) {
    const TextLines text = Text({"no map here", "1 M1 ----"});
    MarkerTable table = Table(1);
    LinkageMap map;
    map.MapNumber = 4;
    EXPECT_EQ(FindNextMap(text.lines(), 0, table, map), -1);
    EXPECT_EQ(FindNextMap(text.lines(), 99, table, map), -1);
    EXPECT_EQ(FindNextMap(text.lines(), -1, table, map), -1);
    EXPECT_EQ(FindNextMap(Lines(), 0, table, map), -1);
    EXPECT_EQ(table, Table(1));
    LinkageMap expected;
    expected.MapNumber = 4;
    EXPECT_EQ(map, expected);
}

TEST(FindNextMap, LineUnderTheHeadingIsSkipped) {
    const TextLines text = Text({"Map:", "1 M1 5.0 cM", "2 M2 ----"});
    MarkerTable table = Table(2);
    LinkageMap map;
    EXPECT_EQ(FindNextMap(text.lines(), 0, table, map), 3);
    EXPECT_EQ(map.Markers, std::vector<MapEntry>{Entry(1, 0.0)});

    // Not even a map heading there ends the search for the map's table.
    const TextLines headingUnder =
        Text(Concat({{"Map:", "Map:", "1 M1 ----", ""}, TableBlock({"  2 2 ...:.**."})}));
    LinkageMap withTable;
    EXPECT_EQ(FindNextMap(headingUnder.lines(), 0, table, withTable), 7);
    EXPECT_EQ(withTable.Markers, std::vector<MapEntry>{Entry(0, 0.0)});
    EXPECT_EQ(withTable.Placed, (std::vector<PlacedMarker>{{1, 1}}));
}

TEST(FindNextMap, MapsWithAndWithoutTables) {
    // Map 1 has no table, map 2 has one, map 3 ends the file without one.
    const TextLines text = Text(Concat({
        MapBlock({"1 M1 5.0 cM", "2 M2 ----"}),
        {"=========="},
        MapBlock({"3 M3 ----"}),
        TableBlock({"  4 2 ...:.**."}),
        {"----------"},
        MapBlock({"5 M5 ----"}),
    }));
    MarkerTable table = Table(5);
    const auto maps = ReadAllMaps(text.lines(), table);
    ASSERT_EQ(maps.size(), 3u);
    EXPECT_EQ(maps[0].Markers, (std::vector<MapEntry>{Entry(0, 5.0), Entry(1, 0.0)}));
    EXPECT_TRUE(maps[0].Placed.empty());
    EXPECT_EQ(maps[1].Markers, std::vector<MapEntry>{Entry(2, 0.0)});
    EXPECT_EQ(maps[1].Placed, (std::vector<PlacedMarker>{{3, 1}}));
    EXPECT_EQ(maps[2].Markers, std::vector<MapEntry>{Entry(4, 0.0)});
    EXPECT_TRUE(maps[2].Placed.empty());
    const std::vector<std::int32_t> chromosome = {1, 1, 2, 2, 3};
    const std::vector<std::int32_t> position = {2, 4, 2, 3, 2};
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].Chromosome, chromosome[i]);
        EXPECT_EQ(table[i].Position, position[i]);
    }
}

TEST(FindNextMap, ReturnsTheLineAfterTheFrameworkListOrTheTableStart) {
    const TextLines text = Text(Concat({MapBlock({"1 M1 ----"}), MapBlock({}), TableBlock({})}));
    MarkerTable table = Table(1);
    LinkageMap first;
    EXPECT_EQ(FindNextMap(text.lines(), 0, table, first), 3);
    LinkageMap second;
    EXPECT_EQ(FindNextMap(text.lines(), 3, table, second), 12);
    EXPECT_TRUE(second.Markers.empty());
    LinkageMap none;
    EXPECT_EQ(FindNextMap(text.lines(), 12, table, none), -1);
}

TEST(FindNextMap, LastListingSetsChromosomeAndPosition) {
    const TextLines text =
        Text(Concat({MapBlock({"1 M1 5.0 cM", "2 M2 3.0 cM", "1 M1 ----"}),
                     MapBlock({"3 M3 5.0 cM", "2 M2 ----"}), TableBlock({"  1 2 **."})}));
    MarkerTable table = Table(3);
    const auto maps = ReadAllMaps(text.lines(), table);
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(table[0].Chromosome, 2);
    EXPECT_EQ(table[0].Position, 1);
    EXPECT_EQ(table[1].Chromosome, 2);
    EXPECT_EQ(table[1].Position, 4);
}

TEST(MarkerNumberError, OutOfTableNumbersStopTheLoad) {
    struct Row {
        const char* name;
        Strings lines;
        int line;
        std::int32_t number;
        std::size_t entries; // framework entries kept when it throws
    };
    const std::vector<Row> rows = {
        {"framework number past the table", MapBlock({"1 M1 5.0 cM", "4 M4 ----"}), 4, 4, 1},
        {"framework number 0", MapBlock({"0 M0 ----"}), 3, 0, 0},
        {"negative framework number", MapBlock({"-2 M0 ----"}), 3, -2, 0},
        {"placement row past the table",
         Concat({MapBlock({"1 M1 ----"}), TableBlock({"  2 2 **.", "  9 2 **."})}), 10, 9, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TextLines text = Text(row.lines);
        MarkerTable table = Table(3);
        LinkageMap map;
        const auto error =
            test::Thrown<MarkerNumberError>([&] { FindNextMap(text.lines(), 0, table, map); });
        EXPECT_TRUE(error.has_value()) << "no error";
        if (error) {
            EXPECT_EQ(error->Line(), row.line);
            EXPECT_EQ(error->Number(), row.number);
            EXPECT_EQ(error->MarkerCount(), 3u);
        }
        EXPECT_EQ(map.Markers.size(), row.entries);
    }
}

TEST(MarkerNumberError, Messages) {
    const MarkerNumberError error(1234, 57, 40);
    EXPECT_STREQ(error.what(), "Marker number 57 on line 1234 of the output file is not in the "
                               "input file, which lists 40 markers.");
    EXPECT_EQ(error.MessageFor("x.out"), "Marker number 57 on line 1234 of \"x.out\" is not in the "
                                         "input file, which lists 40 markers.");
    EXPECT_EQ(MarkerNumberError(3, -2147483647 - 1, 1).MessageFor("a b.out"),
              "Marker number -2147483648 on line 3 of \"a b.out\" is not in the input file, which "
              "lists 1 marker.");
    EXPECT_EQ(
        MarkerNumberError(3, 1, 0).MessageFor("e.out"),
        "Marker number 1 on line 3 of \"e.out\" is not in the input file, which lists 0 markers.");
}

} // namespace
} // namespace karvello
