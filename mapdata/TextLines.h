#pragma once
// A text file held whole in memory and split into lines.
//
// Line ends are CR, LF or the pair CR LF (one line end). LF followed by CR is
// two line ends with an empty line between them. A NUL character ends the
// text. The text after the last line end, if not empty, is a last line.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace karvello {

using Lines = std::span<const std::string_view>;

class TextLines {
  public:
    TextLines() = default;
    // Takes the text and splits it; the lines are views into the kept text.
    explicit TextLines(std::string text);
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;
    TextLines(TextLines&&) noexcept = default;
    TextLines& operator=(TextLines&&) noexcept = default;

    Lines lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    std::string_view operator[](std::size_t i) const { return lines_[i]; }

  private:
    // Held behind a pointer so that moving the object never moves the
    // characters the views point at.
    std::unique_ptr<std::string> text_ = std::make_unique<std::string>();
    std::vector<std::string_view> lines_;
};

// Splits text into line views by the rule above; the views point into text.
std::vector<std::string_view> SplitLines(std::string_view text);

// Returns text without the characters of code 32 or less (blank, tab, CR and
// the other control characters) at either end; an empty view when nothing else
// is left.
std::string_view TrimText(std::string_view text);

// Returns the value when text is entirely a signed 32-bit whole number: an
// optional + or - sign, then decimal digits, or hexadecimal digits of either
// case after one of the prefixes "$", "x", "X", "0x", "0X". Returns nothing for
// anything else, an empty text and a value past 32 bits included.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// Returns the value when text is entirely a decimal number: an optional sign,
// digits with an optional "." and fraction (at least one digit in all), and an
// optional exponent (E or e, optional sign, digits). The separator is always
// ".", whatever the locale. Returns nothing for anything else, and for a value
// too large or too small for a double.
std::optional<double> ParseDecimalNumber(std::string_view text);

// Returns the value when text is entirely a signed 32-bit integer in decimal:
// an optional + or - sign and decimal digits, nothing else. Returns nothing
// for any other text: empty, a sign alone, blanks, a decimal separator, hex,
// a value outside 32 bits. This is how people type numbers into a box or on
// a command line, unlike ParseWholeNumber, which also reads Mapmaker's hex.
std::optional<std::int32_t> ParseDecimalInt32(std::string_view text);

// The number in decimal digits, with a "-" when negative and no grouping,
// whatever the locale.
std::string DecimalText(std::int64_t value);
// Appends DecimalText(value) to text.
void AppendDecimal(std::string& text, std::int64_t value);

// Reads a whole file as 8-bit text. Throws KarvelloError
// "Cannot open file "<full path>". <system's reason>" when it cannot be read.
std::string ReadTextFile(const std::string& path);

} // namespace karvello
