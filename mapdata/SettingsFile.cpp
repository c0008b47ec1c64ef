#include "mapdata/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "base/Colour.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DrawSettingsTable.h"
#include "mapdata/FigureSettingsTable.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

// Deeper nesting than any settings file needs is refused, so that a hostile
// file cannot exhaust the stack.
constexpr int kMaxDepth = 16;
// A quoted text in a message is cut after this many bytes.
constexpr std::size_t kMaxQuoted = 60;

// The text in quotes for this file's messages, cut as base/Text.h cuts it.
std::string Quote(std::string_view text) {
    return karvello::Quote(text, kMaxQuoted);
}

// ---- writing

void AppendString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string ColourText(RgbColour colour) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift : {0, 8, 16}) { // red, green, blue
        const unsigned value = (colour >> shift) & 0xFF;
        text += kHex[value >> 4];
        text += kHex[value & 0xF];
    }
    return text;
}

bool PrintableAscii(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// How a range's end is written: the marker's name where the name finds it
// again (it is the first of that name), else its index.
void AppendMarker(std::string& out, std::int32_t index, const MarkerTable& markers,
                  const std::map<std::string, std::int32_t>& firstOfName) {
    if (index >= 0 && static_cast<std::size_t>(index) < markers.size()) {
        const std::string& name = markers[static_cast<std::size_t>(index)].Name;
        if (!name.empty() && PrintableAscii(name) && firstOfName.at(name) == index) {
            AppendString(out, name);
            return;
        }
    }
    out += DecimalText(index);
}

// ---- reading

struct JsonValue {
    enum class Kind { Null, Flag, Number, Text, Array, Object } kind = Kind::Null;
    bool flag = false;
    std::string text; // a Text's characters, or a Number as written
    bool integer = false;
    std::vector<JsonValue> items; // an Array's items, or an Object's fields in order
    std::string key;              // the field's name, for a field of an Object
    std::int64_t line = 1;
};

class JsonParser {
  public:
    JsonParser(std::string_view text, const std::string& fileName)
        : text_(text), fileName_(fileName) {}

    JsonValue Document() {
        pos_ = text_.size() - WithoutByteOrderMark(text_).size();
        JsonValue value = Value(0);
        SkipBlanks();
        if (pos_ < text_.size()) {
            Fail("more text after the settings");
        }
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw KarvelloError("Settings file " + Quote(fileName_) + ", line " + DecimalText(line_) +
                            ": " + what + ".");
    }
    void SkipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                return;
            }
            ++pos_;
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Expect(char c, const char* what) {
        if (!Take(c)) {
            Fail(std::string("expected ") + what);
        }
    }
    bool Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) == word) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    JsonValue Value(int depth) {
        if (depth > kMaxDepth) {
            Fail("the values are nested too deeply");
        }
        SkipBlanks();
        JsonValue value;
        value.line = line_;
        if (pos_ >= text_.size()) {
            Fail("the text ends where a value should be");
        }
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            value.kind = JsonValue::Kind::Object;
            if (Take('}')) {
                return value;
            }
            do {
                SkipBlanks();
                if (pos_ >= text_.size() || text_[pos_] != '"') {
                    Fail("expected a quoted field name");
                }
                std::string key = String();
                for (const JsonValue& member : value.items) {
                    if (member.key == key) {
                        Fail("the field " + Quote(key) + " is given twice");
                    }
                }
                Expect(':', "':' after a field name");
                value.items.push_back(Value(depth + 1));
                value.items.back().key = std::move(key);
            } while (Take(','));
            Expect('}', "',' or '}'");
        } else if (c == '[') {
            ++pos_;
            value.kind = JsonValue::Kind::Array;
            if (Take(']')) {
                return value;
            }
            do {
                value.items.push_back(Value(depth + 1));
            } while (Take(','));
            Expect(']', "',' or ']'");
        } else if (c == '"') {
            value.kind = JsonValue::Kind::Text;
            value.text = String();
        } else if (Word("true")) {
            value.kind = JsonValue::Kind::Flag;
            value.flag = true;
        } else if (Word("false")) {
            value.kind = JsonValue::Kind::Flag;
        } else if (Word("null")) {
            value.kind = JsonValue::Kind::Null;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            value.kind = JsonValue::Kind::Number;
            Number(value);
        } else {
            Fail("unexpected character " + Quote(text_.substr(pos_, 1)));
        }
        return value;
    }

    static bool Digit(char c) { return c >= '0' && c <= '9'; }
    std::size_t Digits() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && Digit(text_[pos_])) {
            ++pos_;
        }
        return pos_ - start;
    }
    void Number(JsonValue& value) {
        const std::size_t start = pos_;
        if (text_[pos_] == '-') {
            ++pos_;
        }
        if (Digits() == 0) {
            Fail("a number needs digits");
        }
        value.integer = true;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            value.integer = false;
            if (Digits() == 0) {
                Fail("a number needs digits after its point");
            }
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            value.integer = false;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
                ++pos_;
            }
            if (Digits() == 0) {
                Fail("a number needs digits in its exponent");
            }
        }
        value.text = std::string(text_.substr(start, pos_ - start));
    }

    std::uint32_t Hex4() {
        if (text_.size() - pos_ < 4) {
            Fail("\\u needs four hex digits");
        }
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            code <<= 4;
            if (Digit(h)) {
                code |= static_cast<std::uint32_t>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                code |= static_cast<std::uint32_t>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                code |= static_cast<std::uint32_t>(h - 'A' + 10);
            } else {
                Fail("\\u needs four hex digits");
            }
        }
        return code;
    }
    std::string String() {
        ++pos_; // the opening quote
        std::string out;
        while (true) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') {
                Fail("a text is not closed by '\"' on its line");
            }
            const char c = text_[pos_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("a text holds a control character");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                Fail("a text ends in '\\'");
            }
            const char e = text_[pos_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t code = Hex4();
                if (code >= 0xD800 && code < 0xDC00 && Word("\\u")) {
                    const std::uint32_t low = Hex4();
                    if (low < 0xDC00 || low >= 0xE000) {
                        Fail("a surrogate pair is broken");
                    }
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xD800 && code < 0xE000) {
                    Fail("a surrogate pair is broken");
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                Fail("unknown escape " + Quote(std::string("\\") + e));
            }
        }
    }

    std::string_view text_;
    const std::string& fileName_;
    std::size_t pos_ = 0;
    std::int64_t line_ = 1;
};

class SettingsReader {
  public:
    SettingsReader(const std::string& fileName, const MarkerTable& markers)
        : fileName_(fileName), markers_(markers) {}

    void Read(const JsonValue& root, AllSettings& out) const {
        const JsonValue& top = Object(root, "the file");
        for (const JsonValue& value : top.items) {
            const std::string& key = value.key;
            if (key == "settings") {
                ReadDraw(Object(value, key), out.Draw);
            } else if (key == "figure") {
                ReadFigure(Object(value, key), out.Figure);
            } else if (key == "defaultColour") {
                out.DefaultColour = Colour(value, key);
            } else if (key == "colourRanges") {
                out.Ranges = Ranges(value);
            } else if (key == "annotations") {
                ReadAnnotations(Object(value, key), out);
            } else {
                Unknown(key, value);
            }
        }
    }

  private:
    [[noreturn]] void Fail(const JsonValue& at, const std::string& what) const {
        throw KarvelloError("Settings file " + Quote(fileName_) + ", line " + DecimalText(at.line) +
                            ": " + what + ".");
    }
    [[noreturn]] void Unknown(const std::string& key, const JsonValue& value) const {
        Fail(value, "unknown field " + Quote(key));
    }
    const JsonValue& Object(const JsonValue& value, std::string_view key) const {
        if (value.kind != JsonValue::Kind::Object) {
            Fail(value, std::string(key) + " must be an object {...}");
        }
        return value;
    }
    std::int32_t Whole(const JsonValue& value, std::string_view key) const {
        std::optional<std::int32_t> number;
        if (value.kind == JsonValue::Kind::Number && value.integer) {
            number = ParseDecimalInt32(value.text);
        }
        if (!number) {
            Fail(value, "the field " + Quote(key) + " must be a whole number of 32 bits");
        }
        return *number;
    }
    RgbColour Colour(const JsonValue& value, std::string_view key) const {
        std::optional<RgbColour> colour;
        if (value.kind == JsonValue::Kind::Text) {
            colour = ParseHexColour(value.text);
        }
        if (!colour) {
            Fail(value, "the field " + Quote(key) + " must be a colour \"#RRGGBB\"");
        }
        return *colour;
    }
    void ReadDraw(const JsonValue& object, PageLengths& draw) const {
        for (const JsonValue& value : object.items) {
            const std::string& key = value.key;
            const DrawSettingField* field = FindDrawSetting(key);
            if (field == nullptr) {
                Unknown(key, value);
            }
            ApplyDrawSetting(draw, *field, Whole(value, key));
        }
    }
    void ReadFigure(const JsonValue& object, FigureSettings& figure) const {
        for (const JsonValue& value : object.items) {
            const std::string& key = value.key;
            const auto field =
                std::find_if(kFigureSettingFields.begin(), kFigureSettingFields.end(),
                             [&key](const FigureSettingField& f) { return f.Name == key; });
            if (field == kFigureSettingFields.end()) {
                Unknown(key, value);
            }
            switch (field->Kind) {
            case FigureSettingKind::WholeNumber:
                figure.*(field->Number) = Whole(value, key);
                break;
            case FigureSettingKind::Text:
                if (value.kind != JsonValue::Kind::Text) {
                    Fail(value, "the field " + Quote(key) + " must be a text \"...\"");
                }
                figure.*(field->Text) = value.text;
                break;
            case FigureSettingKind::Flag:
                if (value.kind != JsonValue::Kind::Flag) {
                    Fail(value, "the field " + Quote(key) + " must be true or false");
                }
                figure.*(field->Flag) = value.flag;
                break;
            }
        }
    }
    std::int32_t Marker(const JsonValue& value, std::string_view key) const {
        if (value.kind == JsonValue::Kind::Number) {
            return Whole(value, key);
        }
        if (value.kind != JsonValue::Kind::Text) {
            Fail(value, "the field " + Quote(key) + " must be a marker name or index");
        }
        for (std::size_t i = 0; i < markers_.size(); ++i) {
            if (markers_[i].Name == value.text) {
                return static_cast<std::int32_t>(i);
            }
        }
        Fail(value, "no marker is named " + Quote(value.text));
    }
    ColourRangeList Ranges(const JsonValue& value) const {
        if (value.kind != JsonValue::Kind::Array) {
            Fail(value, "colourRanges must be a list [...]");
        }
        ColourRangeList ranges;
        for (const JsonValue& item : value.items) {
            const JsonValue& object = Object(item, "a colour range");
            ColourRange range;
            bool first = false;
            bool last = false;
            bool colour = false;
            for (const JsonValue& field : object.items) {
                const std::string& key = field.key;
                if (key == "first") {
                    range.StartIndex = Marker(field, key);
                    first = true;
                } else if (key == "last") {
                    range.EndIndex = Marker(field, key);
                    last = true;
                } else if (key == "colour") {
                    range.Colour = Colour(field, key);
                    colour = true;
                } else {
                    Unknown(key, field);
                }
            }
            if (!first || !last || !colour) {
                Fail(item, "a colour range needs \"first\", \"last\" and \"colour\"");
            }
            ranges.push_back(range);
        }
        return ranges;
    }

    bool Flag(const JsonValue& value, std::string_view key) const {
        if (value.kind != JsonValue::Kind::Flag) {
            Fail(value, "the field " + Quote(key) + " must be true or false");
        }
        return value.flag;
    }
    const std::string& Text(const JsonValue& value, std::string_view key) const {
        if (value.kind != JsonValue::Kind::Text) {
            Fail(value, "the field " + Quote(key) + " must be a text \"...\"");
        }
        return value.text;
    }
    void ReadAnnotations(const JsonValue& object, AllSettings& out) const {
        FigureAnnotations& annotations = out.Annotations;
        for (const JsonValue& value : object.items) {
            const std::string& key = value.key;
            if (key == "titles") {
                annotations.Titles = Flag(value, key);
            } else if (key == "ruler") {
                annotations.Ruler = Flag(value, key);
            } else if (key == "links") {
                annotations.Links = Flag(value, key);
            } else if (key == "collapse") {
                annotations.Collapse = Whole(value, key);
                if (annotations.Collapse < 0) {
                    Fail(value, "the field \"collapse\" must be 0 (off) or more");
                }
            } else if (key == "titleTexts") {
                annotations.TitleTexts.clear();
                for (const JsonValue& title : Object(value, key).items) {
                    const std::optional<std::int32_t> number = ParseDecimalInt32(title.key);
                    if (!number || *number < 1) {
                        Fail(title,
                             "a title's field is a map number from 1, not " + Quote(title.key));
                    }
                    annotations.TitleTexts[*number] = Text(title, title.key);
                }
            } else if (key == "showOnly") {
                annotations.ShowOnly.reset();
                if (value.kind == JsonValue::Kind::Null) {
                    continue;
                }
                if (value.kind != JsonValue::Kind::Array) {
                    Fail(value, "showOnly must be null or a list of names [...]");
                }
                annotations.ShowOnly.emplace();
                for (const JsonValue& name : value.items) {
                    annotations.ShowOnly->insert(Text(name, "a name of showOnly"));
                }
            } else if (key == "qtlFile") {
                out.QtlFile = Text(value, key);
            } else {
                Unknown(key, value);
            }
        }
    }

    const std::string& fileName_;
    const MarkerTable& markers_;
};

void AppendAnnotations(std::string& out, const AllSettings& settings) {
    const FigureAnnotations& annotations = settings.Annotations;
    const auto flag = [](bool on) { return on ? "true" : "false"; };
    out += ",\n  \"annotations\": {\n    \"titles\": ";
    out += flag(annotations.Titles);
    out += ",\n    \"ruler\": ";
    out += flag(annotations.Ruler);
    out += ",\n    \"links\": ";
    out += flag(annotations.Links);
    out += ",\n    \"collapse\": " + DecimalText(annotations.Collapse) + ",\n    \"titleTexts\": {";
    const char* separator = "";
    for (const auto& [number, title] : annotations.TitleTexts) {
        out += separator;
        AppendString(out, DecimalText(number));
        out += ": ";
        AppendString(out, title);
        separator = ", ";
    }
    out += "},\n    \"showOnly\": ";
    if (annotations.ShowOnly) {
        // Sorted, so that the same names always give the same file.
        const std::set<std::string> names(annotations.ShowOnly->begin(),
                                          annotations.ShowOnly->end());
        out += '[';
        separator = "";
        for (const std::string& name : names) {
            out += separator;
            AppendString(out, name);
            separator = ", ";
        }
        out += ']';
    } else {
        out += "null";
    }
    out += ",\n    \"qtlFile\": ";
    AppendString(out, settings.QtlFile);
    out += "\n  }";
}

} // namespace

std::string WriteSettingsText(const AllSettings& settings, const MarkerTable& markers) {
    std::string out = "{\n  \"settings\": {";
    for (std::size_t i = 0; i < kDrawSettingFields.size(); ++i) {
        const DrawSettingField& field = kDrawSettingFields[i];
        out += i == 0 ? "\n    " : ",\n    ";
        AppendString(out, field.Name);
        out += ": " + DecimalText(settings.Draw.*field.Member);
    }
    out += "\n  },\n  \"figure\": {";
    for (std::size_t i = 0; i < kFigureSettingFields.size(); ++i) {
        const FigureSettingField& field = kFigureSettingFields[i];
        out += i == 0 ? "\n    " : ",\n    ";
        AppendString(out, field.Name);
        out += ": ";
        switch (field.Kind) {
        case FigureSettingKind::WholeNumber:
            out += DecimalText(settings.Figure.*(field.Number));
            break;
        case FigureSettingKind::Text:
            AppendString(out, settings.Figure.*(field.Text));
            break;
        case FigureSettingKind::Flag:
            out += settings.Figure.*(field.Flag) ? "true" : "false";
            break;
        }
    }
    out += "\n  },\n  \"defaultColour\": \"" + ColourText(settings.DefaultColour) +
           "\",\n  \"colourRanges\": [";
    std::map<std::string, std::int32_t> firstOfName;
    for (std::size_t i = markers.size(); i-- > 0;) {
        firstOfName[markers[i].Name] = static_cast<std::int32_t>(i);
    }
    for (std::size_t i = 0; i < settings.Ranges.size(); ++i) {
        const ColourRange& range = settings.Ranges[i];
        out += i == 0 ? "\n    {\"first\": " : ",\n    {\"first\": ";
        AppendMarker(out, range.StartIndex, markers, firstOfName);
        out += ", \"last\": ";
        AppendMarker(out, range.EndIndex, markers, firstOfName);
        out += ", \"colour\": \"" + ColourText(range.Colour) + "\"}";
    }
    out += settings.Ranges.empty() ? "]" : "\n  ]";
    AppendAnnotations(out, settings);
    out += "\n}\n";
    return out;
}

AllSettings ReadSettingsText(std::string_view text, const std::string& fileName,
                             const AllSettings& base, const MarkerTable& markers) {
    const JsonValue root = JsonParser(text, fileName).Document();
    AllSettings settings = base;
    SettingsReader(fileName, markers).Read(root, settings);
    return settings;
}

AllSettings ReadSettingsFile(const std::string& path, const AllSettings& base,
                             const MarkerTable& markers) {
    const TextLines lines = ReadTextLines(path);
    std::string text;
    for (std::string_view line : lines.lines()) {
        text += line;
        text += '\n';
    }
    AllSettings settings = ReadSettingsText(text, FullPathForMessage(path), base, markers);
    if (!settings.QtlFile.empty() && std::filesystem::path(settings.QtlFile).is_relative()) {
        settings.QtlFile = (std::filesystem::path(path).parent_path() / settings.QtlFile)
                               .lexically_normal()
                               .string();
    }
    return settings;
}

} // namespace karvello
