// A MapChart file (.mct), as MapChart reads it and polymapR's write.mct and
// MQ2 write it: ";" lines are comments; a "group NAME" heading before each
// group's markers, which may carry settings after a tab ("S=0", "E=12.5",
// the ends of the bar, which the figure finds from the markers itself); one
// "name position" line a marker, an "O" after the position hiding the name
// in MapChart's own drawing (the name is kept here); what follows a "{" is
// formatting. A "qtls" line opens a block of QTL lines, "trait start
// innerStart innerEnd end", up to the next heading; the map file holds no
// QTLs, so the block is skipped with a warning that says how to draw them.
// A plain group file is read the same way, but as a "group file"; a file is
// a MapChart file when it has something only MapChart's files have.

#include <optional>
#include <string_view>
#include <vector>

#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/formats/FormatReaders.h"
#include "mapdata/formats/MapBuilder.h"

namespace karvello::formats {

namespace {

bool StartsWithWord(std::string_view trimmed, std::string_view word) {
    return trimmed.size() >= word.size() &&
           EqualsIgnoringCase(trimmed.substr(0, word.size()), word) &&
           (trimmed.size() == word.size() || IsBlank(trimmed[word.size()]));
}

// A setting after a heading's name: letters, then "=".
bool IsSetting(std::string_view field) {
    const auto equals = field.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return false;
    }
    for (const char c : field.substr(0, equals)) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
            return false;
        }
    }
    return true;
}

// What a "group" heading says: the name, and whether settings follow it.
struct Heading {
    std::string_view Name;
    bool HasSettings = false;
};

std::optional<Heading> HeadingOf(std::string_view trimmed) {
    if (!StartsWithWord(trimmed, "group")) {
        return std::nullopt;
    }
    std::string_view rest = trimmed.substr(5);
    rest = rest.substr(0, rest.find('{'));
    Heading heading;
    // The name runs up to a tab or to the first setting.
    const auto tab = rest.find('\t', rest.find_first_not_of(" \t"));
    if (tab != std::string_view::npos) {
        heading.HasSettings = !TrimText(rest.substr(tab)).empty();
        rest = rest.substr(0, tab);
    }
    rest = TrimText(rest);
    while (true) {
        const auto blank = rest.find_last_of(' ');
        if (blank == std::string_view::npos || !IsSetting(rest.substr(blank + 1))) {
            break;
        }
        heading.HasSettings = true;
        rest = TrimText(rest.substr(0, blank));
    }
    if (IsSetting(rest)) {
        heading.HasSettings = true;
        rest = {};
    }
    heading.Name = rest;
    return heading;
}

// A marker line's fields, without its formatting.
void MarkerFields(std::string_view trimmed, std::vector<std::string_view>& fields,
                  std::string& scratch) {
    SplitFields(trimmed.substr(0, trimmed.find('{')), 0, fields, scratch);
}

bool IsHideMark(std::string_view field) {
    return field == "O" || field == "o";
}

MapFile Read(Lines lines, const std::string& fileName) {
    MapBuilder builder(fileName, true);
    std::optional<std::string_view> group;
    std::vector<std::string_view> fields;
    std::string scratch;
    std::int64_t qtlBlockLine = 0;
    std::int64_t qtlLines = 0;
    bool inQtls = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        const auto line = static_cast<std::int64_t>(i) + 1;
        if (trimmed.empty() || trimmed.starts_with(';')) {
            continue;
        }
        if (const auto heading = HeadingOf(trimmed)) {
            if (heading->Name.empty()) {
                Fail("The group heading on " + LineText(line) + " of " + Quote(fileName) +
                     " has no name.");
            }
            group = heading->Name;
            inQtls = false;
            continue;
        }
        if (StartsWithWord(trimmed, "qtls")) {
            inQtls = true;
            qtlBlockLine = qtlBlockLine == 0 ? line : qtlBlockLine;
            continue;
        }
        if (inQtls) {
            ++qtlLines;
            continue;
        }
        MarkerFields(trimmed, fields, scratch);
        const bool hidden = fields.size() == 3 && IsHideMark(fields[2]);
        if (fields.size() != 2 && !hidden) {
            Fail("Line " + DecimalText(line) + " of " + Quote(fileName) +
                 " is not a marker name, its position and an optional \"O\": it has " +
                 DecimalText(static_cast<std::int64_t>(fields.size())) +
                 (fields.size() == 1 ? " field." : " fields."));
        }
        if (!group) {
            Fail("Line " + DecimalText(line) + " of " + Quote(fileName) +
                 " names a marker before any \"group\" heading.");
        }
        builder.Add(*group, fields[0], fields[1], line);
    }
    MapFile file = builder.Finish();
    if (qtlBlockLine != 0) {
        file.Warnings.push_back(
            "The QTLs of " + Quote(fileName) + " (" + DecimalText(qtlLines) +
            (qtlLines == 1 ? " line" : " lines") + " from the \"qtls\" block on " +
            LineText(qtlBlockLine) +
            ") are not drawn: a map file gives the markers only. Give the QTLs as a QTL table "
            "with --qtl.");
    }
    return file;
}

} // namespace

bool SniffMapChart(Lines lines) {
    const std::vector<std::size_t> first = FirstContentLines(lines, 1, false);
    if (first.empty()) {
        return false;
    }
    const std::string_view start = TrimText(LineAt(lines, first.front()));
    if (!start.starts_with(';') && !HeadingOf(start)) {
        return false;
    }
    // Something a plain group file lacks: a heading's settings, a hidden
    // name or a block of QTLs.
    std::vector<std::string_view> fields;
    std::string scratch;
    for (std::size_t i = first.front(); i < lines.size(); ++i) {
        const std::string_view trimmed = TrimText(LineAt(lines, i));
        if (trimmed.empty() || trimmed.starts_with(';')) {
            continue;
        }
        if (const auto heading = HeadingOf(trimmed)) {
            if (heading->HasSettings) {
                return true;
            }
            continue;
        }
        if (StartsWithWord(trimmed, "qtls")) {
            return true;
        }
        MarkerFields(trimmed, fields, scratch);
        if (fields.size() == 3 && IsHideMark(fields[2])) {
            return true;
        }
    }
    return false;
}

MapFile ReadMapChart(Lines lines, const std::string& fileName) {
    return ReadTakenFor("a MapChart file", fileName, [&] { return Read(lines, fileName); });
}

} // namespace karvello::formats
