#include "mapdata/InputReader.h"
#include "base/Memory.h"
#include "base/Numbers.h"
#include "base/Text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace karvello {

namespace {

// The header takes the first two lines; entries may start on the third.
constexpr std::size_t kFirstEntryLine = 2;

// Which code characters make a marker dominant: the letters C, D, c and d,
// and any character that the header's symbols clause maps to one of them.
using DominantCodes = std::array<bool, 256>;

bool IsDominantLetter(char c) {
    return c == 'C' || c == 'D' || c == 'c' || c == 'd';
}

bool IsWordSeparator(char c) {
    return c == ' ' || c == '\t';
}

// The header's second line, read for what it can tell: the marker count
// (its second number when it begins with two whole numbers) and the symbols
// clause ("symbols 1=A 2=B 4=C 5=D ...").
struct InputHeader {
    std::optional<std::size_t> MarkerCount;
    DominantCodes Dominant{};
};

// The dominant codes as a list of characters, for searching code text.
std::string DominantCharacters(const DominantCodes& dominant) {
    std::string characters;
    for (std::size_t c = 0; c < dominant.size(); ++c) {
        if (dominant[c]) {
            characters += static_cast<char>(c);
        }
    }
    return characters;
}

// The letters alone, for a file whose header has no second line.
InputHeader DefaultHeader() {
    InputHeader header;
    for (char c : {'C', 'D', 'c', 'd'}) {
        header.Dominant[static_cast<unsigned char>(c)] = true;
    }
    return header;
}

InputHeader ReadHeader(std::string_view secondLine) {
    InputHeader header = DefaultHeader();
    std::string_view rest = secondLine;
    std::size_t wordIndex = 0;
    std::optional<std::int32_t> firstNumber;
    bool inSymbols = false;
    while (true) {
        while (!rest.empty() && IsWordSeparator(rest.front())) {
            rest.remove_prefix(1);
        }
        if (rest.empty()) {
            break;
        }
        std::size_t length = 0;
        while (length < rest.size() && !IsWordSeparator(rest[length])) {
            ++length;
        }
        const std::string_view word = TrimText(rest.substr(0, length));
        rest.remove_prefix(length);

        if (wordIndex == 0) {
            firstNumber = ParseWholeNumber(word);
        } else if (wordIndex == 1 && firstNumber) {
            // A negative count makes no sense; such a line gives no count.
            if (const auto count = ParseWholeNumber(word); count && *count >= 0) {
                header.MarkerCount = static_cast<std::size_t>(*count);
            }
        }
        ++wordIndex;

        if (EqualsIgnoringCase(word, "symbols")) {
            inSymbols = true;
        } else if (inSymbols) {
            if (word.size() != 3 || word[1] != '=') {
                inSymbols = false;
            } else if (IsDominantLetter(word[2])) {
                header.Dominant[static_cast<unsigned char>(word[0])] = true;
            }
        }
    }
    return header;
}

// Genotype lines run to hundreds of codes and most markers have no dominant
// one, so each code is looked for with memchr over the whole text rather
// than each character looked up in turn.
bool HasDominantCode(std::string_view codes, std::string_view dominant) {
    for (char c : dominant) {
        if (std::memchr(codes.data(), c, codes.size()) != nullptr) {
            return true;
        }
    }
    return false;
}

bool IsComment(std::string_view line) {
    const std::string_view trimmed = TrimText(line);
    return !trimmed.empty() && trimmed.front() == '#';
}

// Fills Name from an entry's first line and returns the code text on it: the
// part after the first blank or tab, or the whole trimmed line when there is
// no separator.
std::string_view ReadEntryLine(std::string_view line, Marker& marker) {
    const std::string_view trimmed = TrimText(line);
    std::size_t separator = std::string_view::npos;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        if (IsWordSeparator(trimmed[i])) {
            separator = i;
            break;
        }
    }
    if (separator == std::string_view::npos) {
        marker.Name.clear();
        return trimmed;
    }
    marker.Name.assign(trimmed.substr(1, separator - 1));
    return trimmed.substr(separator + 1);
}

} // namespace

InputFileReader::InputFileReader(MarkerTable& markers, std::size_t mostEntries)
    : markers_(markers), mostEntries_(mostEntries), limit_(std::numeric_limits<std::size_t>::max()),
      dominant_(DominantCharacters(DefaultHeader().Dominant)) {
    markers_.clear();
}

bool InputFileReader::Take(std::string_view line) {
    const std::size_t k = line_++;
    if (k < kFirstEntryLine) {
        if (k == 0) {
            beginsLikeInputFile_ = karvello::BeginsLikeAnInputFile(line);
            return true;
        }
        const InputHeader header = ReadHeader(line);
        dominant_ = DominantCharacters(header.Dominant);
        limit_ = header.MarkerCount.value_or(limit_);
        // A count the file cannot hold is wrong: the table then grows as
        // it is filled instead.
        if (limit_ <= mostEntries_) {
            ReserveLarge(markers_, limit_);
        }
        return true;
    }
    // An entry runs from its "*" line to the next one; comment lines inside it
    // are left out, every other line continues its codes. Lines before the
    // first entry belong to nothing.
    if (!line.empty() && line.front() == '*') {
        if (markers_.size() == limit_) {
            return false;
        }
        Marker& marker = markers_.emplace_back();
        marker.Dominant = HasDominantCode(ReadEntryLine(line, marker), dominant_);
    } else if (!markers_.empty() && !markers_.back().Dominant && !IsComment(line)) {
        markers_.back().Dominant = HasDominantCode(line, dominant_);
    }
    return true;
}

void ReadInputFile(Lines lines, MarkerTable& markers) {
    // Each marker takes a line at least.
    InputFileReader reader(markers, lines.size());
    for (const std::string_view line : lines) {
        if (!reader.Take(line)) {
            break;
        }
    }
}

bool BeginsLikeAnInputFile(std::string_view firstLine) {
    constexpr std::string_view kHeading = "data type";
    const std::string_view first = TrimText(firstLine);
    return first.size() >= kHeading.size() &&
           EqualsIgnoringCase(first.substr(0, kHeading.size()), kHeading);
}

} // namespace karvello
