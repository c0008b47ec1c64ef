#include "mapdata/QtlTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mapdata/TestText.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

using test::Text;

QtlTableFile Read(const std::vector<std::string>& lines) {
    const TextLines text = Text(lines);
    return ReadQtlTable(text.lines(), "qtl.csv");
}

TEST(QtlTable, ReadsEveryColumnInAnyOrderAndSeparator) {
    const std::vector<std::vector<std::string>> files = {
        {"\xEF\xBB\xBFMap,Name,Start,End,Inner start,Inner end,Colour", "# from the scan",
         "2,\"yield, 2019\",10.5,30,15,20,#FF8000", "", "chr5,height,0,12.25,,,"},
        {"colour\tinner_end\tinner_start\tright\tleft\ttrait\tchromosome",
         "#ff8000\t20\t15\t30\t10.5\tyield, 2019\t2", "\t\t\t12.25\t0\theight\tchr5"},
        {"map;name;start;end;inner start;inner end;colour", "2;yield, 2019;10,5;30;15;20;#FF8000",
         "chr5;height;0;12,25;;;"},
    };
    for (const auto& lines : files) {
        SCOPED_TRACE(lines.front());
        const QtlTableFile table = Read(lines);
        ASSERT_EQ(table.Qtls.size(), 2u);
        const QtlInterval& first = table.Qtls[0];
        EXPECT_EQ(first.Map, "2");
        EXPECT_EQ(first.Name, "yield, 2019");
        EXPECT_EQ(first.Start, 10.5);
        EXPECT_EQ(first.End, 30.0);
        EXPECT_EQ(first.InnerStart, 15.0);
        EXPECT_EQ(first.InnerEnd, 20.0);
        EXPECT_EQ(first.Colour, RgbColour{0x0080FF});
        const QtlInterval& second = table.Qtls[1];
        EXPECT_EQ(second.Map, "chr5");
        EXPECT_EQ(second.End, 12.25);
        EXPECT_FALSE(second.InnerStart.has_value());
        EXPECT_FALSE(second.Colour.has_value());
        EXPECT_GT(second.Line, first.Line);
    }
}

TEST(QtlTable, BadTablesFailNamingFileLineAndField) {
    struct Case {
        std::vector<std::string> lines;
        std::string message;
    };
    const std::string header = "map,name,start,end,inner start,inner end,colour";
    const std::vector<Case> cases = {
        {{}, "\"qtl.csv\" holds no QTL table: it has no header line."},
        {{"map,qtl,from"},
         "The header on line 1 of \"qtl.csv\" lacks the columns: end. A QTL table's header names "
         "the columns map, name, start and end, and may name inner start, inner end and colour."},
        {{"map,name,start,end,inner start"},
         "The header on line 1 of \"qtl.csv\" names only one of the columns inner start and "
         "inner end; give both or neither."},
        {{header, "1,a,5"}, "Line 2 of \"qtl.csv\" has 3 fields; its header asks for at least 4."},
        {{header, ",a,1,2"}, "The map on line 2 of \"qtl.csv\" is empty."},
        {{header, "1,,1,2"}, "The name on line 2 of \"qtl.csv\" is empty."},
        {{header, "1,a,12,5 cM"}, "The end \"5 cM\" on line 2 of \"qtl.csv\" is not a number."},
        {{header, "1,a,2e12,5"},
         "The start \"2e12\" on line 2 of \"qtl.csv\" lies beyond 1000000000 cM."},
        {{header, "1,a,30.5,20"},
         "The QTL \"a\" on line 2 of \"qtl.csv\" starts at 30.5 cM, after its end at 20 cM."},
        {{header, "1,a,10,20,12,"},
         "The QTL \"a\" on line 2 of \"qtl.csv\" gives only one end of its inner interval; give "
         "both or neither."},
        {{header, "1,a,10,20,5,15"},
         "The QTL \"a\" on line 2 of \"qtl.csv\" has the inner interval 5 cM to 15 cM, which does "
         "not lie within its interval 10 cM to 20 cM."},
        {{header, "1,a,10,20,,,red"},
         "The colour \"red\" on line 2 of \"qtl.csv\" is not written #RRGGBB."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(test::ThrownMessage([&] { Read(c.lines); }), c.message);
    }
}

TEST(QtlTable, PlacedOnTheMapOfThatNumberOrElseThatGroup) {
    std::vector<LinkageMap> maps(3);
    for (std::size_t m = 0; m < maps.size(); ++m) {
        maps[m].MapNumber = static_cast<std::int32_t>(m) + 4;
        maps[m].Markers.resize(2);
        maps[m].Markers[0].Distance = 50.0;
    }
    maps[1].GroupName = "5"; // a group named like another map's number
    maps[2].GroupName = "chr7";
    maps[2].FirstPosition = -10.0;

    const QtlTableFile table =
        Read({"map,name,start,end", "5,a,0,50", "chr7,b,-10,40.04", "4,c,0,0"});
    const std::vector<PlacedQtl> placed = PlaceQtls(table, maps);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[0].MapIndex, 1u); // the group "5", which is also map number 5
    EXPECT_EQ(placed[1].MapIndex, 2u);
    EXPECT_EQ(placed[1].Qtl.Name, "b");
    EXPECT_EQ(placed[2].MapIndex, 0u);

    EXPECT_EQ(test::ThrownMessage([&] {
                  PlaceQtls(Read({"map,name,start,end", "9,a,0,1"}), maps);
              }),
              "The map \"9\" on line 2 of \"qtl.csv\" is not in the figure, which draws the maps "
              "4, \"5\", \"chr7\".");
    EXPECT_EQ(test::ThrownMessage([&] {
                  PlaceQtls(Read({"map,name,start,end", "chr7,a,-11,3"}), maps);
              }),
              "The QTL \"a\" on line 2 of \"qtl.csv\" runs from -11 cM to 3 cM, outside its map "
              "\"chr7\", which runs from -10 cM to 40 cM. Is the table made for another map?");
    EXPECT_EQ(test::ThrownMessage([&] { PlaceQtls(table, {}); }),
              "The map \"5\" on line 2 of \"qtl.csv\" is not in the figure, which draws no map.");
}

TEST(QtlTable, TwoCandidateColumnsAndLongRowsAreReadWithWarnings) {
    const QtlTableFile table = Read({"Chr,Map,Name,Start,End", "1,4,a,1,2", "1,4,b,1,2,5"});
    ASSERT_EQ(table.Qtls.size(), 2u);
    EXPECT_EQ(table.Qtls[0].Map, "4");
    EXPECT_EQ(table.Qtls[1].End, 2.0);
    EXPECT_EQ(
        table.Warnings,
        (std::vector<std::string>{
            "The header on line 1 of \"qtl.csv\" has 2 fields that could be the map column, "
            "\"Chr\" and \"Map\"; \"Map\" is taken.",
            "Line 3 of \"qtl.csv\" has more fields than the header's 5; the fields past them "
            "are left out. Is a position written with a decimal comma? Separate the fields by "
            "semicolons or tabs then, or write the point."}));
}

TEST(QtlTable, AGroupNamedByANumberIsThatGroupBeforeThatPlace) {
    // Chromosome 3 left out: the group "4" is the third map.
    std::vector<LinkageMap> maps(4);
    const char* names[] = {"1", "2", "4", "5"};
    for (std::size_t m = 0; m < maps.size(); ++m) {
        maps[m].MapNumber = static_cast<std::int32_t>(m) + 1;
        maps[m].GroupName = names[m];
        maps[m].Markers.resize(2);
        maps[m].Markers[0].Distance = 50.0;
    }
    const QtlTableFile table =
        Read({"name,map,start,end", "a,4,0,10", "b,#4,0,10", "c,3,0,10", "d,5,0,10"});
    std::vector<std::string> warnings;
    const std::vector<PlacedQtl> placed = PlaceQtls(table, maps, &maps, &warnings);
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(placed[0].MapIndex, 2u);
    EXPECT_EQ(placed[1].MapIndex, 3u);
    EXPECT_EQ(placed[2].MapIndex, 2u);
    EXPECT_EQ(placed[3].MapIndex, 3u);
    EXPECT_EQ(warnings, std::vector<std::string>{
                            "The map \"3\" on line 4 of \"qtl.csv\" names no group, so it is taken "
                            "as the file's map 3, group \"4\"; write \"#3\" to name a map by its "
                            "place in the file."});

    // Drawing only the group "4" keeps its QTL and leaves the others out.
    const std::vector<LinkageMap> drawn = {maps[2]};
    const std::vector<PlacedQtl> some = PlaceQtls(table, drawn, &maps);
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].Qtl.Name, "a");
    EXPECT_EQ(some[1].Qtl.Name, "c");
}

} // namespace
} // namespace karvello
