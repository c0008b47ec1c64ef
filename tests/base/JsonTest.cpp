#include "base/Json.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

TEST(JsonTest, ReadsEveryKindOfValueWithTheLineItStartsOn) {
    const JsonValue root =
        ParseJson("\xEF\xBB\xBF{\n"
                  "  \"flag\": true, \"off\": false, \"none\": null,\n"
                  "  \"whole\": -12, \"point\": 1.5e3,\n"
                  "  \"text\": \"a\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\",\n"
                  "  \"list\": [1, [], {}]\n"
                  "}\n");
    ASSERT_EQ(root.Kind, JsonValue::Type::Object);
    EXPECT_EQ(root.Line, 1);
    ASSERT_EQ(root.Items.size(), 7u);
    const JsonValue& flag = root.Items[0];
    EXPECT_EQ(flag.Key, "flag");
    EXPECT_EQ(flag.Kind, JsonValue::Type::Flag);
    EXPECT_TRUE(flag.Flag);
    EXPECT_EQ(flag.Line, 2);
    EXPECT_FALSE(root.Items[1].Flag);
    EXPECT_EQ(root.Items[2].Kind, JsonValue::Type::Null);
    const JsonValue& whole = root.Items[3];
    EXPECT_EQ(whole.Kind, JsonValue::Type::Number);
    EXPECT_EQ(whole.Text, "-12");
    EXPECT_TRUE(whole.Whole);
    EXPECT_EQ(whole.Line, 3);
    EXPECT_EQ(root.Items[4].Text, "1.5e3");
    EXPECT_FALSE(root.Items[4].Whole);
    EXPECT_EQ(root.Items[5].Text, "a\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80");
    const JsonValue& list = root.Items[6];
    ASSERT_EQ(list.Kind, JsonValue::Type::Array);
    ASSERT_EQ(list.Items.size(), 3u);
    EXPECT_EQ(list.Items[0].Key, "") << "an item of a list has no name";
    EXPECT_EQ(list.Items[1].Kind, JsonValue::Type::Array);
    EXPECT_EQ(list.Items[2].Kind, JsonValue::Type::Object);
    EXPECT_EQ(list.Line, 5);
}

TEST(JsonTest, WhatIsNotJsonNamesItsLineAndWhatIsWrong) {
    struct Row {
        const char* text;
        std::int64_t line;
        const char* problem;
    };
    const std::vector<Row> rows = {
        {"", 1, "the text ends where a value should be"},
        {"{\n\n\"a\": 1,,}", 3, "expected a quoted field name"},
        {"{\"a\" 1}", 1, "expected ':' after a field name"},
        {"[1 2]", 1, "expected ',' or ']'"},
        {"{\"a\": 1\n", 2, "expected ',' or '}'"},
        {"{\"a\": 1, \"a\": 2}", 1, "the field \"a\" is given twice"},
        {"[\"open\n\"]", 1, "a text is not closed by '\"' on its line"},
        {"\"tab\there\"", 1, "a text holds a control character"},
        {"\"\\q\"", 1, "unknown escape \"\\q\""},
        {"\"\\u12\"", 1, "\\u needs four hex digits"},
        {"\"\\udc00\"", 1, "a surrogate pair is broken"},
        {"\"\\ud800\\u0041\"", 1, "a surrogate pair is broken"},
        {"-", 1, "a number needs digits"},
        {"1.", 1, "a number needs digits after its point"},
        {"1e+", 1, "a number needs digits in its exponent"},
        {"yes", 1, "unexpected character \"y\""},
        {"{} {}", 1, "more text after the value"},
        {"[[[[[[[[[[[[[[[[[[", 1, "the values are nested too deeply"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto error = test::Thrown<JsonError>([&] { ParseJson(row.text); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->Line(), row.line);
        EXPECT_EQ(error->Problem(), row.problem);
        EXPECT_EQ(std::string(error->what()),
                  "line " + std::to_string(row.line) + ": " + row.problem + ".");
    }
    EXPECT_EQ(test::Thrown<JsonError>([] { ParseJson("1 2", "the settings"); })->Problem(),
              "more text after the settings");
}

TEST(JsonTest, NestingUpToTheLimitIsRead) {
    const std::string deepest =
        std::string(kMaxJsonDepth + 1, '[') + std::string(kMaxJsonDepth + 1, ']');
    EXPECT_NO_THROW(ParseJson(deepest));
    EXPECT_THROW(ParseJson("[" + deepest + "]"), JsonError);
}

TEST(JsonTest, TextIsWrittenSoThatItReadsBackTheSame) {
    const std::string text = "Liberation \"Sans\"\\\n\x01\xC3\xA9";
    std::string written;
    AppendJsonText(written, text);
    EXPECT_EQ(written, "\"Liberation \\\"Sans\\\"\\\\\\u000a\\u0001\xC3\xA9\"");
    EXPECT_EQ(ParseJson(written).Text, text);
}

} // namespace
} // namespace karvello
