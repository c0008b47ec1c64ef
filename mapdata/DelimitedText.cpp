#include "mapdata/DelimitedText.h"

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

char SeparatorOf(std::string_view header) {
    for (char candidate : {'\t', ';', ','}) {
        if (header.find(candidate) != std::string_view::npos) {
            return candidate;
        }
    }
    return 0;
}

std::vector<std::int64_t> FindNamedColumns(const std::vector<std::string_view>& header,
                                           std::span<const ColumnNames> columns) {
    std::vector<std::int64_t> found(columns.size(), -1);
    for (std::size_t f = 0; f < header.size(); ++f) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (found[c] != -1) {
                continue;
            }
            for (std::string_view name : columns[c].Names) {
                if (EqualsIgnoringCase(header[f], name)) {
                    found[c] = static_cast<std::int64_t>(f);
                    break;
                }
            }
        }
    }
    return found;
}

} // namespace karvello
