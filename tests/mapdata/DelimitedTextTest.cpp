// Splitting a table's rows into fields: the quick split of the wanted fields
// against the full split.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/DelimitedText.h"

namespace karvello {
namespace {

TEST(DelimitedText, WantedFieldsAreTheFullSplitsOrRefused) {
    struct Row {
        const char* rule;
        std::string line;
        char separator;
        std::array<std::int64_t, 3> columns;
        bool quick; // whether the quick split takes the line
    };
    // Lines longer than eight bytes too, so that separators are found in
    // every place of a word read at once.
    const std::vector<Row> rows = {
        {"plain row", "M123456,12,123.456000", ',', {1, 0, 2}, true},
        {"columns out of order, one repeated", "a,b,c,d,e", ',', {4, 0, 4}, true},
        {"blanks and control bytes trimmed",
         " \tlong name here \x01, 7 ,\t1.5\t",
         ',',
         {0, 1, 2},
         true},
        {"empty fields and a trailing separator", ";;x;", ';', {0, 3, 2}, true},
        {"tab separated with blanks inside names", "LG 1\tmarker one\t0.25", '\t', {0, 1, 2}, true},
        {"separator in the eighth and ninth byte", "abcdefg,,hijklmnopq,r", ',', {1, 2, 3}, true},
        {"more fields than wanted, quotes after the last wanted",
         "a,b,c,\"x, y\"",
         ',',
         {0, 1, 2},
         true},
        {"a quote in a wanted field", "a,\"b,c\",d", ',', {0, 1, 2}, false},
        {"a quote inside an unquoted field before the last wanted",
         "ab\"c,d,e",
         ',',
         {0, 1, 2},
         false},
        {"too few fields", "a,b", ',', {0, 1, 2}, false},
        {"empty line", "", ',', {0, 0, 0}, true},
        {"empty line with a column past it", "", ',', {0, 1, 0}, false},
        {"blank separated", "a b c", 0, {0, 1, 2}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        std::array<std::string_view, 3> wanted;
        ASSERT_EQ(SplitWantedFields(row.line, row.separator, row.columns, wanted), row.quick);
        if (!row.quick) {
            continue;
        }
        std::vector<std::string_view> fields;
        std::string scratch;
        SplitFields(row.line, row.separator, fields, scratch);
        for (std::size_t k = 0; k < row.columns.size(); ++k) {
            ASSERT_LT(static_cast<std::size_t>(row.columns[k]), fields.size());
            EXPECT_EQ(wanted[k], fields[static_cast<std::size_t>(row.columns[k])]) << k;
        }
    }
}

} // namespace
} // namespace karvello
