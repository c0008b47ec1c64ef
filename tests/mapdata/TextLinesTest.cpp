// Line splitting, trimming and the two number forms of the Mapmaker files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/TextLines.h"
#include "tests/support/Exceptions.h"
#include "tests/support/FixtureFiles.h"

namespace karvello {
namespace {

struct LineRow {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

const std::vector<LineRow>& LineRows() {
    static const std::vector<LineRow> rows = {
        {"empty text has no lines", "", {}},
        {"final line end adds no empty line", "a\nb\n", {"a", "b"}},
        {"text after the last line end is a line", "a\nb", {"a", "b"}},
        {"CR LF is one line end", "a\r\nb\r\n", {"a", "b"}},
        {"CR alone ends a line", "a\rb\r", {"a", "b"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF is an empty line then one end", "a\r\r\nb", {"a", "", "b"}},
        {"blank lines stay", "\n\na", {"", "", "a"}},
        {"NUL ends the text", std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {"NUL at the start leaves nothing", std::string("\0a\n", 3), {}},
        {"NUL between CR and LF leaves the CR a line end of its own",
         std::string("a\r\0\nb", 6),
         {"a"}},
    };
    return rows;
}

std::vector<std::string> Strings(Lines lines) {
    return std::vector<std::string>(lines.begin(), lines.end());
}

TEST(SplitLines, LineEndsNulAndLastLine) {
    for (const auto& row : LineRows()) {
        SCOPED_TRACE(row.name);
        const auto lines = SplitLines(row.text);
        EXPECT_EQ(Strings(lines), row.lines);
    }
}

// The file is mapped rather than read where it can be; the lines must be
// the same, and must outlive a move of the object that holds them.
TEST(ReadTextLines, AFileGivesTheLinesOfItsText) {
    const test::TempFolder folder;
    for (const auto& row : LineRows()) {
        SCOPED_TRACE(row.name);
        TextLines read = ReadTextLines(folder.Write("lines.txt", row.text));
        const TextLines moved = std::move(read);
        EXPECT_EQ(Strings(moved.lines()), row.lines);
    }
}

TEST(ReadTextLines, FailsAsReadTextFileFails) {
    const test::TempFolder folder;
    for (const std::string& path : {folder.Path("absent.txt"), std::string(), folder.Path("")}) {
        SCOPED_TRACE(path);
        const std::string expected = test::ThrownMessage([&] { ReadTextFile(path); });
        EXPECT_EQ(expected.rfind("Cannot open file \"", 0), 0u) << expected;
        EXPECT_EQ(test::ThrownMessage([&] { ReadTextLines(path); }), expected);
    }
}

TEST(TrimText, RemovesControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(TrimText(" \t\r\x01 a b \x1f\x7f\t "), "a b \x1f\x7f");
    EXPECT_EQ(TrimText("\t \r"), "");
    EXPECT_EQ(TrimText(""), "");
    // Characters above 127 are text, not space, whatever the sign of char.
    EXPECT_EQ(TrimText("\xa0x\xff"), "\xa0x\xff");
}

TEST(ParseWholeNumber, DecimalHexadecimalAndLimits) {
    struct Row {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const std::vector<Row> rows = {
        {"0", 0},
        {"57", 57},
        {"+57", 57},
        {"-57", -57},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"$1F", 31},
        {"x1f", 31},
        {"X1F", 31},
        {"0x7FFFFFFF", 2147483647},
        {"0X10", 16},
        {"-$10", -16},
        {"$FFFFFFFF", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"1F", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"--1", std::nullopt},
        {"+-1", std::nullopt},
        {"$-1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1.0", std::nullopt},
        {"(81)", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParseWholeNumber(row.text), row.value);
    }
}

TEST(ParseDecimalNumber, GrammarAndPointAsSeparator) {
    struct Row {
        const char* text;
        std::optional<double> value;
    };
    const std::vector<Row> rows = {
        {"12.5", 12.5},
        {"0.0", 0.0},
        {"345.4", 345.4},
        {"+1.5", 1.5},
        {"-1.5", -1.5},
        {"7", 7.0},
        {"7.", 7.0},
        {".5", 0.5},
        {"1e3", 1000.0},
        {"1.5E-1", 0.15},
        {"2e+2", 200.0},
        {"12,5", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"e5", std::nullopt},
        {"1.2.3", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x1p3", std::nullopt},
        {"1e999", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParseDecimalNumber(row.text), row.value);
    }
}

TEST(ParseDecimalNumber, NegativeZeroIsStillZero) {
    const auto value = ParseDecimalNumber("-0.0");
    ASSERT_TRUE(value);
    EXPECT_TRUE(*value == 0.0);
}

TEST(ParseDecimalInt32Test, TakesSignedDecimalIntegersOnly) {
    struct Row {
        const char* rule;
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Row rows[] = {
        {"plain", "120", 120},
        {"negative", "-50", -50},
        {"plus sign", "+7", 7},
        {"largest", "2147483647", std::numeric_limits<std::int32_t>::max()},
        {"smallest", "-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"one past the largest", "2147483648", std::nullopt},
        {"empty", "", std::nullopt},
        {"decimal separator", "1.5", std::nullopt},
        {"decimal comma", "1,5", std::nullopt},
        {"sign alone", "-", std::nullopt},
        {"two signs", "+-1", std::nullopt},
        {"leading blank", " 1", std::nullopt},
        {"trailing letter", "12a", std::nullopt},
        {"hex is not decimal", "$1F", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        EXPECT_EQ(ParseDecimalInt32(row.text), row.expected);
    }
}

} // namespace
} // namespace karvello
