#pragma once
// A small reader of Enhanced Metafiles for the tests: it splits a file into
// records, checks the framing every reader relies on, and decodes the few
// record types the writer produces. It never reads outside the bytes given;
// a record that does not fit throws std::runtime_error.

#include <cstdint>
#include <string>
#include <vector>

namespace karvello::test {

struct EmfRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const EmfRect&) const = default;
};

struct EmfRecord {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::size_t offset = 0;          // of the record in the file
    std::vector<std::uint8_t> bytes; // the whole record, type and size included

    std::uint32_t U32(std::size_t at) const;
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    std::uint16_t U16(std::size_t at) const;
    std::uint8_t U8(std::size_t at) const;
    float F32(std::size_t at) const;
    EmfRect Rect(std::size_t at) const;
    // count UTF-16 units from at, stopped at the first NUL when untilNul.
    std::u16string Text16(std::size_t at, std::size_t count, bool untilNul = false) const;
};

struct EmfHeader {
    EmfRect bounds;
    EmfRect frame;
    std::uint32_t signature = 0;
    std::uint32_t version = 0;
    std::uint32_t bytes = 0;
    std::uint32_t records = 0;
    std::uint16_t handles = 0;
    std::int32_t deviceCx = 0, deviceCy = 0, millimetresCx = 0, millimetresCy = 0;
    std::int32_t micrometresCx = 0, micrometresCy = 0;
};

struct EmfFont {
    std::uint32_t handle = 0;
    std::int32_t height = 0;
    std::int32_t weight = 0;
    bool italic = false;
    std::uint8_t charset = 0;
    std::u16string face;
};

struct EmfText {
    std::int32_t x = 0, y = 0;
    std::u16string text;
    std::vector<std::int32_t> dx;
    std::uint32_t options = 0;
    float exScale = 0, eyScale = 0;
    EmfRect bounds;
};

// Splits the file into records. Throws std::runtime_error when a record's
// size is not a multiple of 4, below 8, or runs past the end of the file.
std::vector<EmfRecord> ReadEmfRecords(const std::vector<std::uint8_t>& file);

EmfHeader DecodeHeader(const EmfRecord& record);
EmfFont DecodeFont(const EmfRecord& record);
EmfText DecodeText(const EmfRecord& record);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// The drawing operations of a metafile as lines in the recording surface's
// words, each with the state it was drawn in:
//   Rectangle x1 y1 x2 y2 pen=HEX
//   MoveTo x y
//   LineTo x y pen=HEX
//   TextOut x y "text" colour=HEX italic=0|1
// Texts are turned back into the 8-bit names they came from (Windows-1252).
std::vector<std::string> EmfDrawingLog(const std::vector<EmfRecord>& records);

// The box, in frame terms (1/100 mm, y downward), of every point and text
// cell the metafile's drawing records hold, in the metric mode; a text cell
// is as wide as its advances add up to and as high as the font state's
// height given. {0, 0, -1, -1} when nothing is drawn.
EmfRect EmfDrawnBox(const std::vector<EmfRecord>& records, int uprightHeight, int italicHeight);

// The same lines made from a recording surface's log.
std::vector<std::string> RecordingDrawingLog(const std::vector<std::string>& log);

} // namespace karvello::test
