// Line splitting, trimming and the two number forms of the Mapmaker files.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <limits>
#include <optional>
#include <random>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/Error.h"
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

TEST(TextLines, NulLineNamesTheLineThatHoldsTheNul) {
    const std::vector<std::pair<std::string, std::int64_t>> rows = {
        {"a\nb", 0},
        {std::string("\0", 1), 1},
        {std::string("a\nb\0c\nd", 7), 2},
        {std::string("a\n\0", 3), 2},
        {std::string("a\r\n\0", 4), 2},
        {std::string("a\rb\0", 4), 2},
        {std::string("a\n\n\0x", 5), 3},
    };
    for (const auto& [text, line] : rows) {
        SCOPED_TRACE(text);
        const TextLines lines(text);
        EXPECT_EQ(lines.NulLine(), line);
        if (line != 0) {
            EXPECT_EQ(test::ThrownMessage([&] { RefuseNul(lines, "t.csv"); }),
                      "Line " + std::to_string(line) +
                          " of \"t.csv\" holds a NUL byte, which no text file holds, and the rest "
                          "of the file would be lost. Is it saved as UTF-16 (Unicode)? Save it as "
                          "UTF-8 text and open that.");
        }
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
        // The text of the lines starts the file's and holds every line.
        const std::string_view text = moved.text();
        EXPECT_TRUE(std::string_view(row.text).starts_with(text));
        EXPECT_EQ(text.empty(),
                  row.lines.empty() || Strings(moved.lines()) == std::vector<std::string>{""});
        for (const std::string_view line : moved.lines()) {
            EXPECT_TRUE(line.data() >= text.data() &&
                        line.data() + line.size() <= text.data() + text.size());
        }
    }
}

// Reading in turn goes through a buffer of about 128 KB: the texts here
// are longer, so that lines, CR LF pairs and a NUL fall across the ends of
// its fillings, and one line is longer than the buffer itself.
std::vector<std::string> InTurn(const std::string& path, std::size_t most = SIZE_MAX) {
    std::vector<std::string> lines;
    ReadTextLinesInTurn(path, [&lines, most](std::string_view line) {
        lines.emplace_back(line);
        return lines.size() < most;
    });
    return lines;
}

std::string LongText(std::uint32_t seed) {
    std::mt19937 random(seed);
    const char* const ends[] = {"\n", "\r\n", "\r", "\n\r", "\r\r\n"};
    std::string text;
    while (text.size() < 600000) {
        const std::size_t length = random() % 20 == 0 ? random() % 200000 : random() % 300;
        text.append(length, static_cast<char>('a' + random() % 26));
        text += ends[random() % 5];
    }
    return text;
}

TEST(ReadTextLinesInTurn, GivesTheLinesReadTextLinesGives) {
    const test::TempFolder folder;
    for (const auto& row : LineRows()) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(InTurn(folder.Write("lines.txt", row.text)), row.lines);
    }
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("long text " + std::to_string(seed));
        std::string text = LongText(seed);
        if (seed % 2 == 0) {
            text[text.size() / 2 + seed] = '\0';
        }
        if (seed % 3 == 0) {
            text += "no line end";
        }
        const std::string path = folder.Write("long.txt", text);
        EXPECT_EQ(InTurn(path), Strings(ReadTextLines(path).lines()));
    }
    // A line of a megabyte, longer than the buffer, between short ones.
    const std::string path =
        folder.Write("one-long-line.txt", "a\r\n" + std::string(1 << 20, 'x') + "\r\nb");
    EXPECT_EQ(InTurn(path), (std::vector<std::string>{"a", std::string(1 << 20, 'x'), "b"}));
    // The first filling of the buffer (128 KB) ends between a CR and its LF.
    const std::string x(std::size_t{1} << 17, 'x');
    const std::string split = folder.Write("cr-lf-split.txt", "a\n" + x.substr(3) + "\r\nb\r");
    EXPECT_EQ(InTurn(split), (std::vector<std::string>{"a", x.substr(3), "b"}));
}

// Pieces of every small size into buffers of every small size: each line
// end, CR LF pair and NUL falls at every place against the pieces and the
// fillings of the buffer.
TEST(SplitLinesInTurn, GivesTheLinesOfTheWholeTextWhateverThePieces) {
    std::vector<std::string> texts;
    for (const auto& row : LineRows()) {
        texts.push_back(row.text);
    }
    std::mt19937 random(7);
    const std::string alphabet("ab\r\n\r\n\0", 7);
    for (int t = 0; t < 40; ++t) {
        std::string text;
        for (std::size_t n = random() % 60; n > 0; --n) {
            text += alphabet[random() % alphabet.size()];
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const std::vector<std::string> expected = Strings(SplitLines(text));
        for (std::size_t room = 1; room <= 9; ++room) {
            for (std::size_t piece = 1; piece <= 5; ++piece) {
                SCOPED_TRACE("room " + std::to_string(room) + ", pieces of " +
                             std::to_string(piece) + ": \"" + text + "\"");
                std::size_t at = 0;
                const ReadFn read = [&](char* into, std::size_t space) {
                    const std::size_t n = std::min({piece, space, text.size() - at});
                    std::copy_n(text.data() + at, n, into);
                    at += n;
                    return n;
                };
                std::vector<std::string> lines;
                SplitLinesInTurn(
                    read,
                    [&lines](std::string_view line) {
                        lines.emplace_back(line);
                        return true;
                    },
                    room);
                ASSERT_EQ(lines, expected);
            }
        }
    }
}

TEST(ReadTextLinesInTurn, StopsWhenNoFurtherLineIsWanted) {
    const test::TempFolder folder;
    const std::string path = folder.Write("long.txt", LongText(11));
    const std::vector<std::string> all = Strings(ReadTextLines(path).lines());
    ASSERT_GT(all.size(), 100u);
    EXPECT_EQ(InTurn(path, 100), std::vector<std::string>(all.begin(), all.begin() + 100));
}

#ifndef _WIN32
// A line is handed on once its end has come, whichever end it is: the
// writer here keeps the pipe open until the reader has stopped, so a line
// held back until the end of the file would never arrive.
TEST(ReadTextLinesInTurn, HandsOnEachLineAsItsEndArrives) {
    const test::TempFolder folder;
    TextFileLimits limits;
    limits.Silence = std::chrono::seconds(3);
    for (const char* text : {"a\nb", "a\rb", "a\r\rb"}) {
        SCOPED_TRACE(text);
        const std::string pipe = folder.Path("pipe");
        std::filesystem::remove(pipe);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        std::promise<void> stopped;
        std::thread writer([&pipe, text, done = stopped.get_future()] {
            std::ofstream out(pipe, std::ios::binary);
            out << text << std::flush;
            done.wait_for(std::chrono::seconds(10));
        });
        std::vector<std::string> lines;
        EXPECT_NO_THROW(ReadTextLinesInTurn(
            pipe,
            [&lines](std::string_view line) {
                lines.emplace_back(line);
                return false;
            },
            limits));
        stopped.set_value();
        writer.join();
        EXPECT_EQ(lines, std::vector<std::string>{"a"});
    }
}
#endif

TEST(ReadTextLinesInTurn, FailsAsReadTextFileFails) {
    const test::TempFolder folder;
    for (const std::string& path : {folder.Path("absent.txt"), std::string(), folder.Path(""),
                                    folder.Write("utf16.raw", std::string("\xFF\xFE"
                                                                          "d\0a\0",
                                                                          6))}) {
        SCOPED_TRACE(path);
        const std::string expected = test::ThrownMessage([&] { ReadTextFile(path); });
        EXPECT_EQ(expected.rfind("Cannot ", 0), 0u) << expected;
        EXPECT_EQ(test::ThrownMessage([&] { InTurn(path); }), expected);
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

TEST(MessageText, QuotesCutOnlyWhatIsLongerThanTheLimitAndDropOneByteOrderMark) {
    EXPECT_EQ(Quote(""), "\"\"");
    EXPECT_EQ(Quote("map \"x\".csv"), "\"map \"x\".csv\"");
    EXPECT_EQ(Quote("abc", 3), "\"abc\"");
    EXPECT_EQ(Quote("abcd", 3), "\"abc...\"");
    EXPECT_EQ(Quote("abcd", 0), "\"...\"");
    EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB\xBF\xEF\xBB\xBF"
                                   "a"),
              "\xEF\xBB\xBF"
              "a");
    EXPECT_EQ(WithoutByteOrderMark("\xEF\xBB"), "\xEF\xBB");
    EXPECT_EQ(WithoutByteOrderMark("a\xEF\xBB\xBF"), "a\xEF\xBB\xBF");
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

// Short numbers take a shortcut of their own; it must round exactly as the
// standard library's reading does, digit counts and decimals of every kind.
TEST(ParseDecimalNumber, ShortNumbersReadExactlyAsTheStandardLibraryReadsThem) {
    std::mt19937_64 random(20261211);
    for (int n = 0; n < 200000; ++n) {
        const int digits = 1 + static_cast<int>(random() % 17);
        std::string text;
        for (int d = 0; d < digits; ++d) {
            text += static_cast<char>('0' + random() % 10);
        }
        const std::size_t point = random() % (text.size() + 1);
        text.insert(point, ".");
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const auto read = ParseDecimalNumber(text);
        ASSERT_TRUE(read) << text;
        ASSERT_EQ(*read, expected) << text;
        ASSERT_EQ(ParseDecimalNumber("-" + text), -expected) << text;
    }
}

TEST(ParseDecimalNumber, NegativeZeroIsStillZero) {
    const auto value = ParseDecimalNumber("-0.0");
    ASSERT_TRUE(value);
    EXPECT_TRUE(*value == 0.0);
}

TEST(DecimalText, LengthIsCountedWithoutWritingTheText) {
    for (const std::int64_t value :
         {std::int64_t{0}, std::int64_t{9}, std::int64_t{10}, std::int64_t{-1}, std::int64_t{-10},
          std::int64_t{99999}, std::int64_t{100000}, std::numeric_limits<std::int64_t>::max(),
          std::numeric_limits<std::int64_t>::min()}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(DecimalLength(value), DecimalText(value).size());
    }
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

namespace karvello {
namespace {

class ReadTextFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("karvello-read-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Put(const std::string& name, const std::string& bytes) const {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
#ifndef _WIN32
    std::string Fifo(const std::string& name) const {
        const std::string path = (folder_ / name).string();
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
#endif
    static std::string ErrorOf(const std::string& path, const TextFileLimits& limits = {}) {
        try {
            ReadTextFile(path, limits);
        } catch (const KarvelloError& error) {
            return error.what();
        }
        return "no error";
    }
    std::filesystem::path folder_;
};

TEST_F(ReadTextFileTest, FilesThatCannotBeReadAsMapmakerTextAreErrorsNamingThem) {
    TextFileLimits small;
    small.MaxBytes = 100;
    struct Row {
        const char* name;
        std::string bytes;
        std::string error; // after "Cannot read file "<path>". "
    };
    const std::string utf16 =
        "It is saved as UTF-16 (Unicode) text; Karvello reads 8-bit text. Save it again as plain "
        "text (UTF-8 for a map table, ANSI or Latin-1 for a Mapmaker file) and open that.";
    for (const Row& row : {
             Row{"utf16-little-endian.raw",
                 std::string("\xFF\xFE"
                             "d\0a\0t\0",
                             8),
                 utf16},
             Row{"utf16-big-endian.raw", std::string("\xFE\xFF\0d\0a\0t", 8), utf16},
             Row{"utf16-little-endian-without-mark.csv",
                 std::string("g\0r\0o\0u\0p\0,\0\xE8\x00", 14), utf16},
             Row{"utf16-big-endian-without-mark.csv", std::string("\0g\0r\0o\0u\0p", 10), utf16},
             Row{"longer-than-the-limit.raw", std::string(101, 'x'),
                 "It is longer than 100 bytes, far more than any Mapmaker file; it may not end "
                 "at all."},
         }) {
        SCOPED_TRACE(row.name);
        const std::string path = Put(row.name, row.bytes);
        EXPECT_EQ(ErrorOf(path, small), "Cannot read file \"" + path + "\". " + row.error);
    }
    EXPECT_EQ(ReadTextFile(Put("at-the-limit.raw", std::string(100, 'x')), small).size(), 100u);
    EXPECT_EQ(ReadTextFile(Put("one-byte-FF.raw", "\xFF")), "\xFF");
}

// /dev/zero and named pipes are POSIX files.
#ifndef _WIN32
TEST_F(ReadTextFileTest, AFileThatNeverEndsStopsAtTheLimit) {
    TextFileLimits limits;
    limits.MaxBytes = std::size_t{4} << 20;
    EXPECT_EQ(ErrorOf("/dev/zero", limits),
              "Cannot read file \"/dev/zero\". It is longer than 4 MiB, far more than any "
              "Mapmaker file; it may not end at all.");
}

TEST_F(ReadTextFileTest, APipeIsReadAsItComesButNotWaitedForForever) {
    TextFileLimits limits;
    limits.Silence = std::chrono::milliseconds(300);

    // No writer ever opens the pipe: every way of reading a file gives up
    // after the silence instead of waiting in the open for ever.
    const std::string silent = Fifo("nobody-writes");
    const std::string expected = "Cannot read file \"" + silent +
                                 "\". Nothing arrived from it for 300 ms; is anything writing "
                                 "to it?";
    const std::vector<std::pair<const char*, std::function<void()>>> readers = {
        {"whole", [&] { ReadTextFile(silent, limits); }},
        {"lines", [&] { ReadTextLines(silent, limits); }},
        {"in turn",
         [&] {
             ReadTextLinesInTurn(
                 silent, [](std::string_view) { return false; }, limits);
         }},
    };
    for (const auto& [name, read] : readers) {
        SCOPED_TRACE(name);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(test::ThrownMessage(read), expected);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    }

    // A writer that comes late and pauses between its pieces, each time for
    // less than the silence allowed, is read to its end.
    const std::string slow = Fifo("slow-writer");
    std::thread writer([&slow] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ofstream out(slow, std::ios::binary);
        for (int i = 0; i < 3; ++i) {
            out << "line " << i << "\n" << std::flush;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    std::string text;
    EXPECT_NO_THROW(text = ReadTextFile(slow, limits));
    writer.join();
    EXPECT_EQ(text, "line 0\nline 1\nline 2\n");
}
#endif

} // namespace
} // namespace karvello
