// The marker table read from a Mapmaker input file.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "mapdata/InputReader.h"
#include "tests/mapdata/TestText.h"

namespace karvello {
namespace {

struct ExpectedMarker {
    std::string name;
    bool dominant;
};

MarkerTable Expected(const std::vector<ExpectedMarker>& markers) {
    MarkerTable table;
    for (const auto& marker : markers) {
        Marker details;
        details.Name = marker.name;
        details.Dominant = marker.dominant;
        table.push_back(details);
    }
    return table;
}

MarkerTable Read(const std::vector<std::string>& lines) {
    const TextLines text = test::Text(lines);
    MarkerTable markers;
    ReadInputFile(text.lines(), markers);
    return markers;
}

TEST(ReadInputFile, EntriesNamesAndDominance) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        std::vector<ExpectedMarker> markers;
    };
    const std::vector<Row> rows = {
        {"one marker a line after three header lines",
         {"data type f2 intercross", "4 3 0", "", "*M1 ABH", "*M2 AHB", "*M3 HHA"},
         {{"M1", false}, {"M2", false}, {"M3", false}}},
        {"entries start on line 3",
         {"data type f2 intercross", "4 2 0", "*M1 ABH", "*M2 AHB"},
         {{"M1", false}, {"M2", false}}},
        {"lines 1 and 2 are header even when they start with a star",
         {"*H1 C", "*H2 C", "*M1 A"},
         {{"M1", false}}},
        {"a C among the codes makes the marker dominant",
         {"h", "h", "*M12 A C H"},
         {{"M12", true}}},
        {"lower-case c after a tab counts", {"h", "h", "*M12\tAH-c"}, {{"M12", true}}},
        {"lower-case d counts", {"h", "h", "*M12 ad"}, {{"M12", true}}},
        {"letters in the name do not count", {"h", "h", "*CD12 AHB"}, {{"CD12", false}}},
        {"the first blank ends the name before a later tab",
         {"h", "h", "*M1 AB\tCD"},
         {{"M1", true}}},
        {"the first tab ends the name before a later blank",
         {"h", "h", "*M1\tAB CD"},
         {{"M1", true}}},
        {"no separator gives an empty name, not dominant", {"h", "h", "*M7"}, {{"", false}}},
        {"no separator: the whole line is searched", {"h", "h", "*D7"}, {{"", true}}},
        {"a separator right after the star gives an empty name", {"h", "h", "* AB"}, {{"", false}}},
        {"a star alone is an entry with an empty name", {"h", "h", "*"}, {{"", false}}},
        {"trailing blanks and controls reach neither name nor codes",
         {"h", "h", "*M12 AH \t\x0b", "*M13\t \x0b"},
         {{"M12", false}, {"", false}}},
        {"genotypes continue on indented lines",
         {"h", "h", "*M1 AAAA", "      HHHC", "*M2 ABHA", "      HHHH"},
         {{"M1", true}, {"M2", false}}},
        {"blank lines between entries belong to nothing",
         {"h", "h", "", "*M1 A", "", "", "*M2 B", ""},
         {{"M1", false}, {"M2", false}}},
        {"comment lines are skipped, also inside an entry",
         {"h", "h", "# C comment before", "*M1 AAA", "  # D comment inside", "  HHH", "#*M2 C",
          "*M3 B"},
         {{"M1", false}, {"M3", false}}},
        {"a starred line indented by a blank is no entry",
         {"h", "h", " *M0 D", "*M1 B", " *M2 C"},
         {{"M1", true}}},
        {"line 2's second number counts the markers; later entries are traits",
         {"data type f2 intercross", "333 2 1", "*M1 A", "*M2 B", "*weight 4.9 C 3.1"},
         {{"M1", false}, {"M2", false}}},
        {"a count larger than the entries keeps every entry",
         {"h", "10 5 0", "*M1 A", "*M2 C"},
         {{"M1", false}, {"M2", true}}},
        {"a count of 0 gives no markers", {"h", "10 0 0", "*M1 A"}, {}},
        {"a negative count is no count",
         {"h", "10 -1 0", "*M1 A", "*M2 A"},
         {{"M1", false}, {"M2", false}}},
        {"line 2 without two leading numbers gives no count",
         {"h", "symbols 1", "*M1 A", "*M2 A"},
         {{"M1", false}, {"M2", false}}},
        {"a count past 32 bits is no count", {"h", "1 99999999999 0", "*M1 A"}, {{"M1", false}}},
        {"symbols mapped to C or D count as those letters",
         {"h", "46 4 0 symbols 1=A 2=B 3=H 4=C 5=D 0=-", "*M1 1233", "*M2 1143", "*M3 5",
          "*M4 0 12 3"},
         {{"M1", false}, {"M2", true}, {"M3", true}, {"M4", false}}},
        {"the symbols clause ends at a word that maps nothing",
         {"h", "46 2 0 symbols 1=A 4=C then 5=D", "*M1 5", "*M2 4"},
         {{"M1", false}, {"M2", true}}},
        {"a mapped symbol on a continuation line counts",
         {"h", "46 2 0 SYMBOLS 4=C", "*M1 111", "    114", "*M2 111"},
         {{"M1", true}, {"M2", false}}},
        {"fewer than three lines give no markers", {"h", "h"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Read(row.lines), Expected(row.markers));
    }
}

TEST(ReadInputFile, ReplacesTheFormerTable) {
    MarkerTable markers(5);
    markers[0].Mapped = true;
    markers[0].Chromosome = 3;
    const TextLines text = test::Text({"h", "h", "*M1 A"});
    ReadInputFile(text.lines(), markers);
    EXPECT_EQ(markers, Expected({{"M1", false}}));
    ReadInputFile(Lines(), markers);
    EXPECT_TRUE(markers.empty());
}

TEST(ReadInputFile, CrOnlyAndCrLfLineEndsReadAlike) {
    MarkerTable lf;
    MarkerTable cr;
    MarkerTable crlf;
    ReadInputFile(TextLines("h\n3 2 0\n*M1 A\n   C\n*M2 B\n").lines(), lf);
    ReadInputFile(TextLines("h\r3 2 0\r*M1 A\r   C\r*M2 B\r").lines(), cr);
    ReadInputFile(TextLines("h\r\n3 2 0\r\n*M1 A\r\n   C\r\n*M2 B\r\n").lines(), crlf);
    EXPECT_EQ(lf, Expected({{"M1", true}, {"M2", false}}));
    EXPECT_EQ(cr, lf);
    EXPECT_EQ(crlf, lf);
}

// Room for the claimed count is reserved at once, unless the file could not
// hold that many entries: a wrong header must not reserve gigabytes.
TEST(InputFileReader, ReservesTheClaimedCountOnlyWhereTheFileCanHoldIt) {
    for (const auto& [claim, mostEntries, reserved] :
         {std::tuple{"3", std::size_t{100}, true},
          std::tuple{"2000000000", std::size_t{100}, false},
          std::tuple{"3", std::size_t{0}, false}}) {
        SCOPED_TRACE(claim);
        MarkerTable markers;
        InputFileReader reader(markers, mostEntries);
        for (const std::string& line :
             {std::string("data type f2 intercross"), "4 " + std::string(claim) + " 0",
              std::string("*M1 A"), std::string("*M2 B")}) {
            EXPECT_TRUE(reader.Take(line));
        }
        EXPECT_EQ(markers, Expected({{"M1", false}, {"M2", false}}));
        EXPECT_EQ(markers.capacity() >= 3, reserved) << markers.capacity();
        EXPECT_TRUE(reader.BeginsLikeAnInputFile());
    }
}

} // namespace
} // namespace karvello
