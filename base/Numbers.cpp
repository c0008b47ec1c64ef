#include "base/Numbers.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace karvello {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    }
    // from_chars would take a sign of its own here; the sign was handled above.
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    // The magnitude is read unsigned so that -2147483648 fits and
    // 2147483648 does not.
    std::uint64_t magnitude = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, magnitude, base);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    if (magnitude > limit) {
        return std::nullopt;
    }
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(value);
}

std::optional<double> ParseDecimalNumber(std::string_view text) {
    // The grammar is checked here; from_chars alone would also take "inf",
    // "nan" and hexadecimal floating point.
    std::size_t i = 0;
    const std::size_t size = text.size();
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    // The digits as a whole number, while it stays exact in a double.
    std::uint64_t mantissa = 0;
    int decimals = 0;
    while (i < size && IsDigit(text[i])) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
        ++i;
        ++digits;
    }
    if (i < size && text[i] == '.') {
        ++i;
        while (i < size && IsDigit(text[i])) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
            ++i;
            ++digits;
            ++decimals;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    // Up to 15 digits and no exponent: the whole number and the power of ten
    // are exact doubles, so one division rounds as from_chars does.
    if (i == size && digits <= 15) {
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = static_cast<double>(mantissa) / kPowers[decimals];
        return numberStart > 0 && text[0] == '-' ? -value : value;
    }
    if (i < size && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < size && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < size && IsDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != size) {
        return std::nullopt;
    }
    // from_chars takes no leading "+", so it reads from after the sign and the
    // sign is put back afterwards.
    double value = 0.0;
    const char* end = text.data() + size;
    const auto [ptr, ec] = std::from_chars(text.data() + numberStart, end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return numberStart > 0 && text[0] == '-' ? -value : value;
}

std::optional<double> ParseDecimalNumberWithComma(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return ParseDecimalNumber(text);
    }
    if (text.find('.') != std::string_view::npos ||
        text.find(',', comma + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string pointed(text);
    pointed[comma] = '.';
    return ParseDecimalNumber(pointed);
}

std::optional<std::int32_t> ParseDecimalInt32(std::string_view text) {
    // from_chars takes a leading "-" but no "+", so a "+" is stepped over
    // here; a sign on its own, or a second sign, is no number.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

void AppendDecimal(std::string& text, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    text.append(buffer, end);
}

std::size_t DecimalLength(std::int64_t value) {
    std::size_t length = value < 0 ? 2 : 1;
    // Counted on the magnitude as unsigned, which holds that of INT64_MIN.
    for (std::uint64_t rest = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                        : static_cast<std::uint64_t>(value);
         rest >= 10; rest /= 10) {
        ++length;
    }
    return length;
}

std::string DecimalText(std::int64_t value) {
    std::string text;
    AppendDecimal(text, value);
    return text;
}

} // namespace karvello
