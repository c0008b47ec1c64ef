#include "mapdata/DelimitedText.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/Numbers.h"
#include "base/Text.h"

namespace karvello {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& fields,
                 std::string& scratch) {
    fields.clear();
    scratch.clear();
    scratch.reserve(line.size());
    const std::size_t size = line.size();
    auto skipBlanks = [&](std::size_t i) {
        while (i < size && IsBlank(line[i]) && line[i] != separator) {
            ++i;
        }
        return i;
    };
    std::size_t i = skipBlanks(0);
    if (separator == 0 && i == size) {
        return;
    }
    for (;;) {
        if (i < size && line[i] == '"') {
            const std::size_t start = scratch.size();
            ++i;
            while (i < size) {
                if (line[i] == '"') {
                    if (i + 1 < size && line[i + 1] == '"') {
                        scratch += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                scratch += line[i++];
            }
            // Anything between the closing quote and the separator belongs to
            // the field too, as spreadsheets read it.
            const std::size_t tailStart = i;
            while (i < size && (separator == 0 ? !IsBlank(line[i]) : line[i] != separator)) {
                ++i;
            }
            scratch += TrimText(line.substr(tailStart, i - tailStart));
            fields.push_back(std::string_view(scratch).substr(start));
        } else {
            const std::size_t start = i;
            if (separator == 0) {
                while (i < size && !IsBlank(line[i])) {
                    ++i;
                }
            } else {
                // Fields are short: a plain loop beats a library search here.
                while (i < size && line[i] != separator) {
                    ++i;
                }
            }
            fields.push_back(TrimText(line.substr(start, i - start)));
        }
        if (separator == 0) {
            i = skipBlanks(i);
            if (i == size) {
                return;
            }
            continue;
        }
        if (i >= size) {
            return;
        }
        i = skipBlanks(i + 1); // past the separator
    }
}

namespace {

// The first of at..end that is separator or a quote, or end. Eight bytes are
// compared at a time where the machine stores words lowest byte first: a byte
// equal to c makes the word XOR c-in-every-byte hold a zero byte, and the
// lowest zero byte is the lowest set top bit of (v - 0x01..) & ~v & 0x80..
// (higher ones may be false, the lowest never is).
const char* FindSeparatorOrQuote(const char* at, const char* end, char separator) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = 0x8080808080808080ULL;
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint64_t separators = kOnes * static_cast<unsigned char>(separator);
        const std::uint64_t quotes = kOnes * static_cast<unsigned char>('"');
        while (end - at >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, at, sizeof word);
            const std::uint64_t a = word ^ separators;
            const std::uint64_t b = word ^ quotes;
            const std::uint64_t found = (((a - kOnes) & ~a) | ((b - kOnes) & ~b)) & kTops;
            if (found != 0) {
                return at + std::countr_zero(found) / 8;
            }
            at += 8;
        }
    }
    while (at != end && *at != separator && *at != '"') {
        ++at;
    }
    return at;
}

} // namespace

bool SplitWantedFields(std::string_view line, char separator, std::span<const std::int64_t> columns,
                       std::span<std::string_view> wanted) {
    if (separator == 0 || wanted.size() < columns.size()) {
        return false;
    }
    std::int64_t needed = 0;
    for (const std::int64_t column : columns) {
        if (column < 0) {
            return false;
        }
        needed = std::max(needed, column + 1);
    }
    const char* at = line.data();
    const char* const end = at + line.size();
    for (std::int64_t f = 0; f < needed; ++f) {
        const char* const start = at;
        at = FindSeparatorOrQuote(at, end, separator);
        if (at != end && *at == '"') {
            return false;
        }
        for (std::size_t k = 0; k < columns.size(); ++k) {
            if (columns[k] == f) {
                // TrimText also takes the blanks SplitFields steps over
                // before a field.
                wanted[k] = TrimText(std::string_view(start, static_cast<std::size_t>(at - start)));
            }
        }
        if (at == end) {
            return f + 1 == needed;
        }
        ++at; // past the separator
    }
    return true;
}

char SeparatorOf(std::string_view header) {
    for (char candidate : {'\t', ';', ','}) {
        if (header.find(candidate) != std::string_view::npos) {
            return candidate;
        }
    }
    return 0;
}

std::vector<std::int64_t> FindNamedColumns(const std::vector<std::string_view>& header,
                                           std::span<const ColumnNames> columns,
                                           std::vector<ColumnChoice>* choices) {
    std::vector<std::int64_t> found(columns.size(), -1);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        std::size_t bestRank = columns[c].Names.size();
        std::vector<std::int64_t> fields;
        for (std::size_t f = 0; f < header.size(); ++f) {
            for (std::size_t n = 0; n < columns[c].Names.size(); ++n) {
                if (EqualsIgnoringCase(header[f], columns[c].Names[n])) {
                    fields.push_back(static_cast<std::int64_t>(f));
                    if (n < bestRank) {
                        bestRank = n;
                        found[c] = static_cast<std::int64_t>(f);
                    }
                    break;
                }
            }
        }
        if (fields.size() > 1 && choices != nullptr) {
            choices->push_back({c, std::move(fields)});
        }
    }
    return found;
}

std::string ColumnChoiceWarning(const ColumnChoice& choice,
                                const std::vector<std::string_view>& header,
                                std::span<const ColumnNames> columns, std::int64_t taken,
                                std::int64_t line, std::string_view fileName) {
    std::string listed;
    for (std::size_t k = 0; k < choice.Fields.size(); ++k) {
        listed += k == 0 ? "" : (k + 1 == choice.Fields.size() ? " and " : ", ");
        listed += Quote(header[static_cast<std::size_t>(choice.Fields[k])]);
    }
    return "The header on line " + DecimalText(line) + " of " + Quote(fileName) + " has " +
           DecimalText(static_cast<std::int64_t>(choice.Fields.size())) +
           " fields that could be the " + std::string(columns[choice.Column].What) + " column, " +
           listed + "; " + Quote(header[static_cast<std::size_t>(taken)]) + " is taken.";
}

std::string LinesText(const std::vector<std::int64_t>& lines) {
    constexpr std::size_t kListed = 10;
    std::string text = lines.size() == 1 ? "line " : "lines ";
    const std::size_t listed = std::min(lines.size(), kListed);
    for (std::size_t k = 0; k < listed; ++k) {
        text += k == 0 ? "" : (k + 1 == listed && lines.size() <= kListed ? " and " : ", ");
        text += DecimalText(lines[k]);
    }
    if (lines.size() > kListed) {
        text += " and " + DecimalText(static_cast<std::int64_t>(lines.size() - kListed)) + " more";
    }
    return text;
}

} // namespace karvello
