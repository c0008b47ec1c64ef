// The map files of the field's other programs, each read by a format of its
// own: R/qtl's QTL Cartographer, tidy and qtab files, MapChart files,
// PLINK's .map and .bim, headerless tables and ALLMAPS' CSV; how a file two
// readers could take is told; and what a file in none of them is told.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/Error.h"
#include "mapdata/MapFileFormats.h"
#include "mapdata/MapFileReader.h"
#include "mapdata/TextLines.h"
#include "tests/mapdata/MapFileTestHelpers.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

using test::CheckRecords;
using test::Describe;
using test::Read;
using test::Text;

MapFile ReadFixture(const std::string& file) {
    const TextLines text(ReadTextFile(std::string(KARVELLO_TEST_DATA_DIR) + "/mapfiles/" + file));
    return ReadMapFile(text, file);
}

// The fixtures are R/qtl 1.60's own writing of one cross (fake.bc, kept to
// chromosomes 1, 2 and 19 with 3, 5 and 2 markers):
//   x <- subset(fake.bc, chr = c(1, 2, 19), ind = 1:4), markers dropped;
//   write.cross(x, format = "qtlcart", filestem = "qc")  -> rqtl_qtlcart.map
//   write.cross(x, format = "tidy", filestem = "td")     -> rqtl_tidy_map.csv
//   write.cross(x, format = "qtab", filestem = "qt")     -> rqtl_location.qtab
// and the maps are those that R/qtl's pull.map(x) gives for the cross.
TEST(OtherMapFiles, RqtlsFilesOfOneCrossGiveItsMap) {
    const std::vector<std::string> pullMap = {
        "1 @0: D1M430 9.8 D1M318 3.31 D1M212",
        "2 @0: D2M359 21.8 D2M241 23 D2M336 5.4 D2M398 21.9 D2M51",
        "19 @0: D19M16 14.2 D19M119",
    };
    const std::vector<std::pair<std::string, std::string_view>> files = {
        {"rqtl_qtlcart.map", "QTL Cartographer map file"},
        {"rqtl_tidy_map.csv", "R/qtl tidy map file"},
        {"rqtl_location.qtab", "qtab location file"},
    };
    for (const auto& [name, format] : files) {
        SCOPED_TRACE(name);
        const MapFile file = ReadFixture(name);
        EXPECT_EQ(file.Format, format);
        EXPECT_EQ(Describe(file), pullMap);
        EXPECT_TRUE(file.Warnings.empty());
        CheckRecords(file);
    }
    // write.cross(x, format = "gary") -> rqtl_gary/markerpos.txt, chrid.dat
    const std::string gary = std::string(KARVELLO_TEST_DATA_DIR) + "/mapfiles/rqtl_gary/";
    const TextLines markerPositions(ReadTextFile(gary + "markerpos.txt"));
    const TextLines chromosomeIds(ReadTextFile(gary + "chrid.dat"));
    const MapFile pair = ReadGaryPair(markerPositions, chromosomeIds, "markerpos.txt", "chrid.dat");
    EXPECT_EQ(Describe(pair), pullMap);
    CheckRecords(pair);
    EXPECT_TRUE(IsGaryMarkerFile(markerPositions.lines()));
    EXPECT_FALSE(IsGaryMarkerFile(chromosomeIds.lines()));
}

TEST(OtherMapFiles, ReadsEachFormatIntoMaps) {
    struct Row {
        const char* rule;
        std::vector<std::string> lines;
        std::string_view format;
        std::vector<std::string> maps;
    };
    const std::vector<Row> rows = {
        // MapChart's file as its manual and polymapR's write.mct lay it out:
        // headings with the bar's ends after tabs, "O" hiding a name.
        {"MapChart headings with settings, hidden names, formatting",
         {"; polymapR", "GROUP LG1\tS=0\tE=12.5", "a  0.0", "b  5.5  O", "c 12.5 {color red}",
          "group LG 2 S=1", "d 1"},
         "MapChart file",
         {"LG1 @0: a 5.5 b 7 c", "LG 2 @1: d"}},
        // QTL Cartographer's Rmap.out in morgans ("-u m"), its layout as
        // QTL Cartographer's manual and R/qtl's write.cross give it, with a
        // chromosome shorter than the other and a name without markers.
        {"QTL Cartographer in morgans, chromosomes of unequal length",
         {"#  123456789 -filetype Rmap.out", "-u m", "-c 2", "-l      0 | 0.05 0.00",
          "-l      1 | 0.10 0.20", "-l      2 | 0.30 0.00", "-l      3 | 0.00", "-b MarkerNames",
          "1 1 a", "1 2 b", "1 3 c", "2 1 d", "2 2 e", "-e MarkerNames", "-b ChromosomeNames",
          "1 I", "2 II", "3 unused", "-e ChromosomeNames"},
         "QTL Cartographer map file",
         {"I @0: a 10 b 30 c", "II @0: d 20 e"}},
        // R/qtl's read.cross(format = "mm") map file: chromosome, marker
        // (maybe with Mapmaker's "*"), position; OneMap's write_map writes
        // the same after a blank line.
        {"group, marker, cM without a header, after a blank line",
         {"", "1 *M1 0.0", "1 M2 10.5", "2 M3 0"},
         "headerless table",
         {"1 @0: M1 10.5 M2", "2 @0: M3"}},
        {"marker, group, cM: the group column has fewer values",
         {"M1\tLG1\t0", "M2\tLG1\t2.5", "M3\tLG2\t1"},
         "headerless table",
         {"LG1 @0: M1 2.5 M2", "LG2 @1: M3"}},
        {"marker, group, cM: as many groups as markers, the numeric column is the group",
         {"M1,1,0", "M2,2,3"},
         "headerless table",
         {"1 @0: M1", "2 @3: M2"}},
        {"headerless with a decimal comma",
         {"LG1;a;0", "LG1;b;2,5"},
         "headerless table",
         {"LG1 @0: a 2.5 b"}},
        // PLINK's .map (chromosome, id, distance, bp) as PLINK 1.9's file
        // format page describes it; distances in cM.
        {"PLINK .map in cM, a negative bp left out",
         {"1 rs1 0 1000", "1 rs2 12.5 5000", "1 rs3 20 -1", "X rs4 3 200"},
         "PLINK map",
         {"1 @0: rs1 12.5 rs2", "X @3: rs4"}},
        {"PLINK .bim in morgans: two allele columns more",
         {"1\trs1\t0.1\t1000\tA\tG", "1\trs2\t0.325\t5000\tC\tT"},
         "PLINK map",
         {"1 @10: rs1 22.5 rs2"}},
        // ALLMAPS' input CSV, as its documentation's example starts.
        {"ALLMAPS CSV, markers named by scaffold and position",
         {"Scaffold ID,scaffold position,LG,genetic position", "scaffold_1,1000,LG1,0",
          "scaffold_2,52000,LG1,4.5"},
         "ALLMAPS CSV",
         {"LG1 @0: scaffold_1:1000 4.5 scaffold_2:52000"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        MapFile file;
        ASSERT_NO_THROW(file = Read(row.lines));
        EXPECT_EQ(file.Format, row.format);
        EXPECT_EQ(Describe(file), row.maps);
        CheckRecords(file);
    }
}

TEST(OtherMapFiles, WarningsTellWhatWasGuessedOrLeftOut) {
    // MQ2's mapchart.py writes the QTLs of each group after its markers.
    const MapFile mct = Read({"group 1", "a 0", "b 3", "qtls", "yield 0.5 1 2 2.5 {color red}",
                              "height 1 1.5 2 3", "group 2", "c 0"},
                             "mq2.mct");
    EXPECT_EQ(Describe(mct), (std::vector<std::string>{"1 @0: a 3 b", "2 @0: c"}));
    EXPECT_EQ(mct.Warnings, (std::vector<std::string>{
                                "The QTLs of \"mq2.mct\" (2 lines from the \"qtls\" block on line "
                                "4) are not drawn: a map file gives the markers only. Give the "
                                "QTLs as a QTL table with --qtl."}));
    const MapFile morgans = Read({"1 rs1 0 1", "1 rs2 1.5 2"}, "m.map");
    EXPECT_EQ(morgans.Warnings,
              (std::vector<std::string>{"The distances of \"m.map\" are read as morgans, as none "
                                        "is larger than 10, and drawn in cM."}));
    EXPECT_TRUE(Read({"1 rs1 0 1", "1 rs2 10.5 2"}, "cm.map").Warnings.empty());
}

TEST(OtherMapFiles, BadFilesFailNamingFileLineFieldAndFormat) {
    struct Row {
        const char* rule;
        std::vector<std::string> lines;
        std::string message;
    };
    const std::vector<Row> rows = {
        {"headerless columns both numbers",
         {"1 1 0", "1 2 5", "2 3 0"},
         "\"map.csv\" has no header, and its first two columns hold numbers alone, so which of "
         "them holds the groups and which the markers cannot be told. A table without a header "
         "is read as group, marker and position (as R/qtl and OneMap write it) or as marker, "
         "group and position, with marker names that are not all numbers; give the file a "
         "header that names its columns (group, marker, position). \"map.csv\" was taken for a "
         "table of three columns without a header."},
        {"headerless row of four fields",
         {"1 a 0", "1 b 2", "1 c 3 x"},
         "Line 3 of \"map.csv\" has 4 fields, but the table's rows have three: group, marker and "
         "position. \"map.csv\" was taken for a table of three columns without a header."},
        {"headerless position not a number on a later row",
         {"1 a 0", "1 b 1", "1 c 2", "1 d 3", "1 e 4", "1 f 5cM"},
         "Position \"5cM\" on line 6 of \"map.csv\" is not a number. \"map.csv\" was taken for "
         "a table of three columns without a header."},
        {"PLINK distances all zero",
         {"1 rs1 0 100", "1 rs2 0 200"},
         "The distance column (field 3) of \"map.csv\" is 0 on every line: the file holds no "
         "genetic map. Give PLINK the map's positions in cM, or give Karvello the map file they "
         "came from. \"map.csv\" was taken for a PLINK .map or .bim file."},
        {"PLINK line cut short",
         {"1 rs1 0 100", "1 rs2 5"},
         "Line 2 of \"map.csv\" has 3 fields where the lines before have 4: chromosome, id, "
         "distance and bp. \"map.csv\" was taken for a PLINK .map or .bim file."},
        {"PLINK distance not a number",
         {"1 rs1 0 100", "1 rs2 1,5 200"},
         "The distance \"1,5\" (field 3) on line 2 of \"map.csv\" is not a number. \"map.csv\" "
         "was taken for a PLINK .map or .bim file."},
        {"MapChart marker line with a third field that is not O",
         {"group LG1\tS=0", "a 0", "b 1 X"},
         "Line 3 of \"map.csv\" is not a marker name, its position and an optional \"O\": it "
         "has 3 fields. \"map.csv\" was taken for a MapChart file."},
        {"MapChart heading without a name",
         {"group LG1\tS=0", "a 0", "group\tS=0"},
         "The group heading on line 3 of \"map.csv\" has no name. \"map.csv\" was taken for a "
         "MapChart file."},
        {"QTL Cartographer row with too few distances",
         {"#  -filetype Rmap.out", "-l 0 | 0 0", "-l 1 | 5", "-b MarkerNames", "1 1 a", "1 2 b",
          "2 1 c", "2 2 d", "-e MarkerNames"},
         "Line 3 of \"map.csv\" has 1 distances after its \"|\", too few for the distance of "
         "chromosome 2 (distance 2). \"map.csv\" was taken for a QTL Cartographer map file."},
        {"QTL Cartographer without marker names",
         {"#  -filetype Rmap.out", "-l 0 | 0"},
         "\"map.csv\" names no markers: it has no \"-b MarkerNames\" block. \"map.csv\" was "
         "taken for a QTL Cartographer map file."},
        {"ALLMAPS position not a number",
         {"Scaffold ID,scaffold position,LG,genetic position", "s1,10,LG1,na"},
         "Position \"na\" on line 2 of \"map.csv\" is not a number. \"map.csv\" was taken for an "
         "ALLMAPS CSV file."},
        {"tidy row cut short",
         {",chr,pos", "m1,1"},
         "Line 2 of \"map.csv\" has 2 fields, too few for its position column (field 3). "
         "\"map.csv\" was taken for an R/qtl tidy map file."},
        {"qtab row of two fields",
         {"# --- qtlHD-in-0.1 Location x from R/qtl", "m1\t1"},
         "Line 2 of \"map.csv\" has 2 fields, but a location row has three: marker, chromosome "
         "and position. \"map.csv\" was taken for a qtab location file."},
        {"gary markerpos.txt alone",
         {"m1\t0", "m2\t5"},
         "\"map.csv\" is R/qtl's gary markerpos.txt, which is read together with its chrid.dat, "
         "the chromosome of each marker: give both files, markerpos.txt first."},
        {"a file in none of the formats",
         {"", "hello there, this is a letter and not a map"},
         "\"map.csv\" is in none of the map-file formats Karvello reads; it was tried as map "
         "table, QTL Cartographer map file, qtab location file, ALLMAPS CSV, R/qtl tidy map "
         "file, MapChart file, group file, R/qtl cross file, PLINK map, headerless table, "
         "Mapmaker pair and R/qtl gary pair. Its first line (line 2) is \"hello there, this is a "
         "letter and not a "
         "map\"."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        EXPECT_EQ(test::ThrownMessage([&] { Read(row.lines); }), row.message);
    }
}

// Each new format's sniff takes its own sample and no other format before
// it in the table does; where two could take a file (a MapChart file is a
// group file too), the table's order gives it to the one the rule names.
TEST(OtherMapFiles, EachFileIsTakenByItsOwnFormatFirst) {
    struct Sample {
        std::string_view format;
        std::vector<std::string> lines;
    };
    const std::vector<Sample> samples = {
        {"QTL Cartographer map file", {"#  123456789 -filetype Rmap.out", "-s"}},
        {"qtab location file", {"# --- qtlHD-in-0.1 Location x from R/qtl", "m1\t1\t0"}},
        {"ALLMAPS CSV", {"Scaffold ID,scaffold position,LG,genetic position", "s,1,LG1,0"}},
        {"R/qtl tidy map file", {",chr,pos", "m1,1,0"}},
        {"MapChart file", {"group LG1\tS=0\tE=5", "a 0"}},
        {"MapChart file", {"group LG1", "a 0 O"}},
        {"MapChart file", {"group LG1", "a 0", "qtls", "t 0 1 2 3"}},
        {"group file", {"group LG1", "a 0", "b 1"}},
        {"PLINK map", {"1 rs1 0 100"}},
        {"PLINK map", {"1\trs1\t0\t100\tA\tC"}},
        {"headerless table", {"1 m1 0"}},
        {"headerless table", {"m1,1,0"}},
        {"map table", {"marker,chr,pos", "m1,1,0"}},
    };
    std::set<std::string_view> names;
    for (const MapFileFormat& format : MapFileFormats()) {
        names.insert(format.Name);
    }
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.lines.front());
        ASSERT_TRUE(names.contains(sample.format)) << sample.format;
        const TextLines text = Text(sample.lines);
        std::string_view taken;
        for (const MapFileFormat& format : MapFileFormats()) {
            if (format.Sniff(text.lines())) {
                taken = format.Name;
                break;
            }
        }
        EXPECT_EQ(taken, sample.format);
    }
}

} // namespace
} // namespace karvello
