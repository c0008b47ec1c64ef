#include "mapdata/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapdata/DrawSettingsTable.h"
#include "mapdata/FigureSettingsTable.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

MarkerTable Markers() {
    MarkerTable markers(6);
    markers[0].Name = "A1";
    markers[1].Name = "B2";
    markers[2].Name = "B2"; // repeated: the name finds marker 1
    markers[3].Name = "";   // empty
    markers[4].Name = "C\xE9";
    markers[5].Name = "D4";
    return markers;
}

AllSettings Changed() {
    AllSettings file;
    file.Draw.BarWidth = 150;
    file.Draw.MapSpacing = -20;
    file.Figure.RowWidth = 17500;
    file.Figure.FontFace = "Liberation \"Sans\"\n";
    file.Figure.FontHeight = 247;
    file.Figure.GroupMaps = true;
    file.DefaultColour = 0x123456;
    file.Ranges = {{0, 5, 0x0000FF}, {2, 3, 0x00FF00}, {4, -1, 0xFF0000}, {1, 1, 0}};
    file.Annotations.Titles = true;
    file.Annotations.Links = true;
    file.Annotations.Collapse = 3;
    file.Annotations.TitleTexts = {{2, "Chr \"2\""}, {10, "LG10"}};
    file.Annotations.ShowOnly = {{"D4", "A1", "C\xE9"}};
    file.QtlFile = "qtl/grain yield.csv";
    return file;
}

TEST(SettingsFileTest, WritesNamesWhereTheyFindTheMarkerAgainAndReadsBackWhole) {
    const MarkerTable markers = Markers();
    const std::string text = WriteSettingsText(Changed(), markers);
    EXPECT_NE(text.find("\"BarWidth\": 150"), std::string::npos) << text;
    EXPECT_NE(text.find("\"GroupMaps\": true"), std::string::npos) << text;
    EXPECT_NE(text.find("\"defaultColour\": \"#563412\""), std::string::npos) << text;
    EXPECT_NE(text.find("{\"first\": \"A1\", \"last\": \"D4\", \"colour\": \"#FF0000\"}"),
              std::string::npos)
        << text;
    // The second B2, the empty name and the one outside ASCII go by index;
    // the first B2 by name.
    EXPECT_NE(text.find("{\"first\": 2, \"last\": 3,"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"first\": 4, \"last\": -1,"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"first\": \"B2\", \"last\": \"B2\","), std::string::npos) << text;

    EXPECT_NE(text.find("\"showOnly\": [\"A1\", \"C\xE9\", \"D4\"]"), std::string::npos)
        << "names are written sorted\n"
        << text;
    EXPECT_EQ(ReadSettingsText(text, "s.json", AllSettings{}, markers), Changed());
    EXPECT_EQ(
        ReadSettingsText(WriteSettingsText(AllSettings{}, markers), "s.json", Changed(), markers),
        AllSettings{})
        << "the defaults written are read back over any settings";
}

TEST(SettingsFileTest, ReadsOnlyWhatTheFileNamesOverTheBase) {
    const MarkerTable markers = Markers();
    const AllSettings read = ReadSettingsText(
        "{\"figure\": {\"Margin\": 0}, \"colourRanges\": [{\"colour\": \"#00ff00\", \"last\": "
        "\"B2\", \"first\": 0}]}",
        "s.json", Changed(), markers);
    AllSettings expected = Changed();
    expected.Figure.Margin = 0;
    expected.Ranges = {{0, 1, 0x00FF00}};
    EXPECT_EQ(read, expected);
}

TEST(SettingsFileTest, BadFilesNameTheLineAndTheField) {
    struct Row {
        const char* text;
        const char* message;
    };
    const std::vector<Row> rows = {
        {"{\n\"settings\": {\n\"BarWidth\": 1,,\n}}", "line 3: expected a quoted field name"},
        {"{\"settings\": {\"BarWidth\": 1}", "line 1: expected ',' or '}'"},
        {"{\n\"figure\": {\"FontFace\": \"open\n\"}}", "line 2: a text is not closed"},
        {"{} {}", "more text after the settings"},
        {"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[", "nested too deeply"},
        {"{\"a\": 1, \"a\": 2}", "the field \"a\" is given twice"},
        {"{\n\n\"settings\": {\"BarWidht\": 1}}", "line 3: unknown field \"BarWidht\""},
        {"{\"colour\": \"#000000\"}", "unknown field \"colour\""},
        {"{\"settings\": {\"BarWidth\": \"150\"}}", "\"BarWidth\" must be a whole number"},
        {"{\"settings\": {\"BarWidth\": 1.5}}", "\"BarWidth\" must be a whole number"},
        {"{\"settings\": {\"BarWidth\": 4294967296}}", "\"BarWidth\" must be a whole number"},
        {"{\"figure\": {\"GroupMaps\": 1}}", "\"GroupMaps\" must be true or false"},
        {"{\"figure\": {\"FontFace\": 3}}", "\"FontFace\" must be a text"},
        {"{\"defaultColour\": \"red\"}", "\"defaultColour\" must be a colour"},
        {"{\"settings\": []}", "settings must be an object"},
        {"{\"colourRanges\": [{\"first\": 0, \"last\": 1}]}", "needs \"first\", \"last\" and"},
        {"{\"colourRanges\": [{\"first\": \"Z9\", \"last\": 1, \"colour\": \"#000000\"}]}",
         "no marker is named \"Z9\""},
        {"{\"annotations\": {\"titleTexts\": {\"one\": \"Chr 1\"}}}",
         "a title's field is a map number from 1, not \"one\""},
        {"{\"annotations\": {\"titleTexts\": {\"1\": 1}}}", "\"1\" must be a text"},
        {"{\"annotations\": {\"showOnly\": \"A1\"}}", "showOnly must be null or a list"},
        {"{\"annotations\": {\"collapse\": -1}}", "\"collapse\" must be 0 (off) or more"},
        {"{\"annotations\": {\"ruler\": 1}}", "\"ruler\" must be true or false"},
        {"{\"annotations\": {\"qtl\": \"a.csv\"}}", "unknown field \"qtl\""},
    };
    for (const Row& row : rows) {
        const std::string message = test::ThrownMessage(
            [&] { ReadSettingsText(row.text, "bad.json", AllSettings{}, Markers()); });
        EXPECT_NE(message.find("Settings file \"bad.json\""), std::string::npos)
            << row.text << "\n gave: " << message;
        EXPECT_NE(message.find(row.message), std::string::npos)
            << row.text << "\n gave: " << message;
    }
}

// Each figure setting takes the values of its row: its range, and its
// default, which may mean "off" or "the format's own" outside the range. A
// value it does not take is refused with the field, the range and the value,
// as the command line refuses it, and changes nothing.
TEST(SettingsFileTest, AFigureValueOutsideItsRangeIsRefusedWithTheRange) {
    struct Row {
        const char* figure;
        const char* message;
    };
    const std::vector<Row> rows = {
        {"\"Dpi\": 0", "the field \"Dpi\" must be a whole number from 1, not 0."},
        {"\"Dpi\": -5", "the field \"Dpi\" must be a whole number from 1, not -5."},
        {"\"FontHeight\": -300",
         "the field \"FontHeight\" must be a whole number of 1/100 mm from 1, or 0 (the "
         "default), not -300."},
        {"\"MapsPerRow\": -1",
         "the field \"MapsPerRow\" must be a whole number from 1, or 0 (the default), not -1."},
        {"\"RowWidth\": -17500", "the field \"RowWidth\" must be a whole number of 1/100 mm from "
                                 "100, or 0 (the default), not -17500."},
        {"\"LineWidth\": -2",
         "the field \"LineWidth\" must be a whole number of 1/100 mm from 0, or -1 (the default), "
         "not -2."},
        {"\"Margin\": -5",
         "the field \"Margin\" must be a whole number of 1/100 mm from 0, or -1 (the default), not "
         "-5."},
        {"\"FontFace\": \"Thirty-two characters make faces\"",
         "the field \"FontFace\" must be a text of 1 to 31 characters, or empty (the default), not "
         "\"Thirty-two characters make faces\"."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.figure);
        const std::string text =
            std::string("{\n\"figure\": {\"GroupMaps\": true,\n") + row.figure + "}}";
        const std::string message =
            test::ThrownMessage([&] { ReadSettingsText(text, "bad.json", Changed(), Markers()); });
        EXPECT_EQ(message, std::string("Settings file \"bad.json\", line 3: ") + row.message);
    }

    const AllSettings defaults = ReadSettingsText(
        "{\"figure\": {\"MapsPerRow\": 0, \"FontHeight\": 0, \"LineWidth\": -1, \"Margin\": -1, "
        "\"FontFace\": \"\", \"RowWidth\": 0, \"Dpi\": 1}}",
        "s.json", Changed(), Markers());
    FigureSettings expected = Changed().Figure;
    expected.MapsPerRow = 0;
    expected.FontHeight = 0;
    expected.LineWidth = -1;
    expected.Margin = -1;
    expected.FontFace.clear();
    expected.RowWidth = 0;
    expected.Dpi = 1;
    EXPECT_EQ(defaults.Figure, expected) << "the defaults and the ends of the ranges are taken";
}

// The rows' defaults are the record's: a settings file of the defaults
// written and read back gives a fresh record, and each row says so.
TEST(SettingsFileTest, EveryRowsDefaultIsTheRecordsAndItsRuleTakesIt) {
    const FigureSettings fresh;
    for (const FigureSettingField& field : kFigureSettingFields) {
        SCOPED_TRACE(field.Name);
        EXPECT_TRUE(FigureSettingAllows(field, fresh));
        EXPECT_FALSE(field.Label.empty()) << "every figure setting has its place in the window";
    }
    for (const DrawSettingField& field : kDrawSettingFields) {
        SCOPED_TRACE(field.Name);
        EXPECT_TRUE(DrawSettingAllows(field, field.Default()));
        EXPECT_EQ(field.Default(), PageLengths{}.*field.Member);
    }
}

} // namespace
} // namespace karvello
