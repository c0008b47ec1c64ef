#include "mapdata/MapFileReader.h"

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DelimitedText.h"
#include "mapdata/MapFileFormats.h"
#include "mapdata/formats/FormatReaders.h"
#include "mapdata/formats/MapBuilder.h"

namespace karvello {

namespace {

// Throws for a file in none of the formats, naming each format tried and
// quoting the first line.
[[noreturn]] void NoFormatTakes(Lines lines, const std::string& fileName) {
    std::string tried;
    const std::span<const MapFileFormat> formats = MapFileFormats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        tried += i == 0 ? "" : i + 1 == formats.size() ? " and " : ", ";
        tried += formats[i].Name;
    }
    const std::vector<std::size_t> first = formats::FirstContentLines(lines, 1, false);
    std::string_view line = formats::LineAt(lines, first.front());
    constexpr std::size_t kShown = 60;
    const bool cut = line.size() > kShown;
    line = line.substr(0, kShown);
    throw KarvelloError(Quote(fileName) +
                        " is in none of the map-file formats Karvello reads; "
                        "it was tried as " +
                        tried + ". Its first line (line " +
                        DecimalText(static_cast<std::int64_t>(first.front()) + 1) + ") is " +
                        Quote(line) + (cut ? " (cut short)." : "."));
}

MapFile ReadMapFileOfItsKind(Lines lines, const std::string& fileName) {
    const std::span<const MapFileFormat> formats = MapFileFormats();
    const MapFileFormat* chosen = nullptr;
    for (const MapFileFormat& format : formats) {
        if (format.Sniff(lines)) {
            chosen = &format;
            break;
        }
    }
    if (chosen == nullptr) {
        // The first format's reading names what a file lacks, when its
        // header is one at all.
        if (!formats::MapTableReadingExplains(lines)) {
            NoFormatTakes(lines, fileName);
        }
        chosen = &formats.front();
    }
    MapFile file = chosen->Read(lines, fileName);
    file.Format = chosen->Name;
    return file;
}

// Whether the line holds a character of two bytes or more in valid UTF-8.
bool HasLongUtf8Character(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (static_cast<unsigned char>(line[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        if (NextUtf8(line, i) != U'\uFFFD' || i - start > 1) {
            return true;
        }
    }
    return false;
}

// Text that is not UTF-8 is most likely a spreadsheet's "CSV" in the Windows
// code page: its names are read as that, and the user told. A file that
// holds characters of UTF-8 beside bytes UTF-8 does not allow is UTF-8 with
// a few stray bytes: it stays UTF-8, each stray byte showing as U+FFFD, and
// every line that holds one is named. wholeText, when not empty, holds all
// the lines with only line ends between them: it is valid UTF-8 exactly when
// every line is, as no character of UTF-8 spans a line end, and one look at
// it is quicker than one a line.
void TellEncoding(Lines lines, std::string_view wholeText, const std::string& fileName,
                  MapFile& file) {
    if (!wholeText.empty() && FirstNonUtf8(wholeText) == std::string_view::npos) {
        return;
    }
    std::vector<std::int64_t> stray;
    bool utf8 = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (FirstNonUtf8(lines[i]) != std::string_view::npos) {
            stray.push_back(static_cast<std::int64_t>(i) + 1);
        }
        utf8 = utf8 || HasLongUtf8Character(lines[i]);
    }
    if (stray.empty()) {
        return;
    }
    if (utf8) {
        std::string listed = LinesText(stray);
        listed.front() = static_cast<char>(listed.front() - 'a' + 'A');
        file.Warnings.push_back(listed + " of " + Quote(fileName) +
                                (stray.size() == 1 ? " holds" : " hold") +
                                " bytes that UTF-8 does not allow, in a file that is otherwise "
                                "UTF-8; each shows as U+FFFD. Save the file as UTF-8 again.");
        return;
    }
    file.Encoding = CharacterEncoding::Windows1252;
    file.Warnings.push_back(Quote(fileName) + " is not UTF-8 text (line " +
                            DecimalText(stray.front()) +
                            " holds a byte UTF-8 does not allow), so its names are read as "
                            "Windows-1252 (ANSI, Latin-1); save it as UTF-8 to be sure of its "
                            "accented letters.");
}

} // namespace

MapFile ReadMapFile(Lines lines, const std::string& fileName) {
    MapFile file = ReadMapFileOfItsKind(lines, fileName);
    TellEncoding(lines, {}, fileName, file);
    return file;
}

bool IsGaryMarkerFile(Lines lines) {
    return formats::SniffGaryMarkerFile(lines);
}

MapFile ReadGaryPair(const TextLines& markerPositions, const TextLines& chromosomeIds,
                     const std::string& markerFileName, const std::string& chromosomeFileName) {
    MapFile file = formats::ReadGaryPair(markerPositions.lines(), chromosomeIds.lines(),
                                         markerFileName, chromosomeFileName);
    file.Format = "R/qtl gary pair";
    TellEncoding(markerPositions.lines(), markerPositions.text(), markerFileName, file);
    return file;
}

MapFile ReadMapFile(const TextLines& text, const std::string& fileName) {
    RefuseNul(text, fileName);
    MapFile file = ReadMapFileOfItsKind(text.lines(), fileName);
    TellEncoding(text.lines(), text.text(), fileName, file);
    return file;
}

} // namespace karvello
