#include "tests/support/EmfReader.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <stdexcept>

#include "base/Text.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {

std::uint8_t EmfRecord::U8(std::size_t at) const {
    if (at >= bytes.size()) {
        throw std::runtime_error("read past the end of a record of type " + std::to_string(type));
    }
    return bytes[at];
}

std::uint16_t EmfRecord::U16(std::size_t at) const {
    return static_cast<std::uint16_t>(U8(at) | (U8(at + 1) << 8));
}

std::uint32_t EmfRecord::U32(std::size_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | (static_cast<std::uint32_t>(U16(at + 2)) << 16);
}

float EmfRecord::F32(std::size_t at) const {
    return std::bit_cast<float>(U32(at));
}

EmfRect EmfRecord::Rect(std::size_t at) const {
    return {I32(at), I32(at + 4), I32(at + 8), I32(at + 12)};
}

std::u16string EmfRecord::Text16(std::size_t at, std::size_t count, bool untilNul) const {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = static_cast<char16_t>(U16(at + 2 * i));
        if (untilNul && unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

std::vector<EmfRecord> ReadEmfRecords(const std::vector<std::uint8_t>& file) {
    std::vector<EmfRecord> records;
    std::size_t offset = 0;
    while (offset < file.size()) {
        if (file.size() - offset < 8) {
            throw std::runtime_error("a record header is cut off at byte " +
                                     std::to_string(offset));
        }
        EmfRecord probe;
        probe.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(offset),
                           file.begin() + static_cast<std::ptrdiff_t>(offset + 8));
        const std::uint32_t size = probe.U32(4);
        if (size < 8 || size % 4 != 0 || size > file.size() - offset) {
            throw std::runtime_error("record at byte " + std::to_string(offset) +
                                     " has a bad size " + std::to_string(size));
        }
        EmfRecord record;
        record.type = probe.U32(0);
        record.size = size;
        record.offset = offset;
        record.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(offset),
                            file.begin() + static_cast<std::ptrdiff_t>(offset + size));
        records.push_back(std::move(record));
        offset += size;
    }
    return records;
}

EmfHeader DecodeHeader(const EmfRecord& r) {
    EmfHeader h;
    h.bounds = r.Rect(8);
    h.frame = r.Rect(24);
    h.signature = r.U32(40);
    h.version = r.U32(44);
    h.bytes = r.U32(48);
    h.records = r.U32(52);
    h.handles = r.U16(56);
    h.deviceCx = r.I32(72);
    h.deviceCy = r.I32(76);
    h.millimetresCx = r.I32(80);
    h.millimetresCy = r.I32(84);
    h.micrometresCx = r.I32(100);
    h.micrometresCy = r.I32(104);
    return h;
}

EmfFont DecodeFont(const EmfRecord& r) {
    EmfFont f;
    f.handle = r.U32(8);
    f.height = r.I32(12);
    f.weight = r.I32(28);
    f.italic = r.U8(32) != 0;
    f.charset = r.U8(35);
    f.face = r.Text16(40, 32, true);
    return f;
}

EmfText DecodeText(const EmfRecord& r) {
    EmfText t;
    t.bounds = r.Rect(8);
    t.exScale = r.F32(28);
    t.eyScale = r.F32(32);
    t.x = r.I32(36);
    t.y = r.I32(40);
    const std::uint32_t count = r.U32(44);
    const std::uint32_t stringOffset = r.U32(48);
    t.options = r.U32(52);
    const std::uint32_t dxOffset = r.U32(72);
    t.text = r.Text16(stringOffset, count);
    for (std::uint32_t i = 0; i < count; ++i) {
        t.dx.push_back(r.I32(dxOffset + 4 * i));
    }
    return t;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

std::string Annotated(const std::string& op, const std::string& state) {
    return op + " " + state;
}

std::string Back1252(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        char byte = '?';
        for (int b = 0; b < 256; ++b) {
            if (karvello::Windows1252ToUtf16(static_cast<unsigned char>(b)) == unit) {
                byte = static_cast<char>(b);
                break;
            }
        }
        bytes.push_back(byte);
    }
    return bytes;
}

std::string Ints(std::initializer_list<std::int32_t> values) {
    std::string text;
    for (std::int32_t v : values) {
        text += (text.empty() ? "" : " ") + std::to_string(v);
    }
    return text;
}

} // namespace

std::vector<std::string> EmfDrawingLog(const std::vector<EmfRecord>& records) {
    std::map<std::uint32_t, std::uint32_t> penColours;
    std::map<std::uint32_t, bool> fontItalic;
    std::uint32_t pen = 0;
    std::uint32_t textColour = 0;
    bool italic = false;
    std::vector<std::string> log;
    for (const EmfRecord& r : records) {
        switch (r.type) {
        case 38: // EMR_CREATEPEN
            penColours[r.U32(8)] = r.U32(24);
            break;
        case 82: // EMR_EXTCREATEFONTINDIRECTW
            fontItalic[r.U32(8)] = DecodeFont(r).italic;
            break;
        case 37: { // EMR_SELECTOBJECT
            const std::uint32_t handle = r.U32(8);
            if (auto p = penColours.find(handle); p != penColours.end()) {
                pen = p->second;
            }
            if (auto f = fontItalic.find(handle); f != fontItalic.end()) {
                italic = f->second;
            }
            break;
        }
        case 24: // EMR_SETTEXTCOLOR
            textColour = r.U32(8);
            break;
        case 43:
            log.push_back(
                Annotated("Rectangle " + Ints({r.I32(8), r.I32(12), r.I32(16), r.I32(20)}),
                          "pen=" + RecordingSurface::Hex(pen)));
            break;
        case 27:
            log.push_back("MoveTo " + Ints({r.I32(8), r.I32(12)}));
            break;
        case 54:
            log.push_back(Annotated("LineTo " + Ints({r.I32(8), r.I32(12)}),
                                    "pen=" + RecordingSurface::Hex(pen)));
            break;
        case 84: {
            const EmfText t = DecodeText(r);
            log.push_back(Annotated(
                "TextOut " + Ints({t.x, t.y}) + " " + RecordingSurface::Quoted(Back1252(t.text)),
                "colour=" + RecordingSurface::Hex(textColour) + " italic=" + (italic ? "1" : "0")));
            break;
        }
        default:
            break;
        }
    }
    return log;
}

EmfRect EmfDrawnBox(const std::vector<EmfRecord>& records, int uprightHeight, int italicHeight) {
    std::map<std::uint32_t, bool> fontItalic;
    bool italic = false;
    bool any = false;
    EmfRect box{0, 0, -1, -1};
    std::int32_t currentX = 0;
    std::int32_t currentY = 0;
    const auto include = [&](std::int32_t x, std::int32_t y) {
        // Frame terms: y turned to grow downward.
        y = -y;
        if (!any) {
            box = {x, y, x, y};
            any = true;
        }
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
               std::max(box.bottom, y)};
    };
    for (const EmfRecord& r : records) {
        switch (r.type) {
        case 82:
            fontItalic[r.U32(8)] = DecodeFont(r).italic;
            break;
        case 37:
            if (auto f = fontItalic.find(r.U32(8)); f != fontItalic.end()) {
                italic = f->second;
            }
            break;
        case 43:
            include(r.I32(8), r.I32(12));
            include(r.I32(16), r.I32(20));
            break;
        case 27:
            currentX = r.I32(8);
            currentY = r.I32(12);
            break;
        case 54:
            include(currentX, currentY);
            currentX = r.I32(8);
            currentY = r.I32(12);
            include(currentX, currentY);
            break;
        case 84: {
            const EmfText t = DecodeText(r);
            std::int32_t width = 0;
            for (std::int32_t dx : t.dx) {
                width += dx;
            }
            include(t.x, t.y);
            include(t.x + width, t.y - (italic ? italicHeight : uprightHeight));
            break;
        }
        default:
            break;
        }
    }
    return box;
}

std::vector<std::string> RecordingDrawingLog(const std::vector<std::string>& recorded) {
    std::string pen = "0";
    std::string colour = "0";
    std::string italic = "0";
    std::vector<std::string> log;
    for (const std::string& line : recorded) {
        const auto space = line.find(' ');
        const std::string op = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (op == "Pen") {
            pen = rest;
        } else if (op == "FontColour") {
            colour = rest;
        } else if (op == "Italic") {
            italic = rest;
        } else if (op == "Rectangle" || op == "LineTo") {
            log.push_back(Annotated(line, "pen=" + pen));
        } else if (op == "MoveTo") {
            log.push_back(line);
        } else if (op == "TextOut") {
            // The metafile writes nothing for an empty text: it shows nothing.
            if (line.size() < 2 || line.substr(line.size() - 2) != "\"\"") {
                log.push_back(Annotated(line, "colour=" + colour + " italic=" + italic));
            }
        }
    }
    return log;
}

} // namespace karvello::test
