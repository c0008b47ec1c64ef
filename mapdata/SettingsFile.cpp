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
#include "base/Json.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "mapdata/DrawSettingsTable.h"
#include "mapdata/FigureSettingsTable.h"
#include "mapdata/TextLines.h"

namespace karvello {

namespace {

// A quoted text in a message is cut after this many bytes.
constexpr std::size_t kMaxQuoted = 60;

// The text in quotes for this file's messages, cut as base/Text.h cuts it.
std::string Quote(std::string_view text) {
    return karvello::Quote(text, kMaxQuoted);
}

// ---- writing

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
            AppendJsonText(out, name);
            return;
        }
    }
    out += DecimalText(index);
}

// ---- reading

// The error of a settings file: its name, the line and what is wrong there.
KarvelloError SettingsError(const std::string& fileName, std::int64_t line,
                            const std::string& what) {
    return KarvelloError("Settings file " + Quote(fileName) + ", line " + DecimalText(line) + ": " +
                         what + ".");
}

class SettingsReader {
  public:
    SettingsReader(const std::string& fileName, const MarkerTable& markers)
        : fileName_(fileName), markers_(markers) {}

    void Read(const JsonValue& root, AllSettings& out) const {
        const JsonValue& top = Object(root, "the file");
        for (const JsonValue& value : top.Items) {
            const std::string& key = value.Key;
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
        throw SettingsError(fileName_, at.Line, what);
    }
    [[noreturn]] void Unknown(const std::string& key, const JsonValue& value) const {
        Fail(value, "unknown field " + Quote(key));
    }
    const JsonValue& Object(const JsonValue& value, std::string_view key) const {
        if (value.Kind != JsonValue::Type::Object) {
            Fail(value, std::string(key) + " must be an object {...}");
        }
        return value;
    }
    std::int32_t Whole(const JsonValue& value, std::string_view key) const {
        std::optional<std::int32_t> number;
        if (value.Kind == JsonValue::Type::Number && value.Whole) {
            number = ParseDecimalInt32(value.Text);
        }
        if (!number) {
            Fail(value, "the field " + Quote(key) + " must be a whole number of 32 bits");
        }
        return *number;
    }
    RgbColour Colour(const JsonValue& value, std::string_view key) const {
        std::optional<RgbColour> colour;
        if (value.Kind == JsonValue::Type::Text) {
            colour = ParseHexColour(value.Text);
        }
        if (!colour) {
            Fail(value, "the field " + Quote(key) + " must be a colour \"#RRGGBB\"");
        }
        return *colour;
    }
    // A value of the setting's range; a value outside it is refused with
    // the range and the value.
    void ReadDraw(const JsonValue& object, PageLengths& draw) const {
        for (const JsonValue& value : object.Items) {
            const std::string& key = value.Key;
            const DrawSettingField* field = FindDrawSetting(key);
            if (field == nullptr) {
                Unknown(key, value);
            }
            const std::int32_t number = Whole(value, key);
            if (!DrawSettingAllows(*field, number)) {
                Fail(value, "the field " + Quote(key) + " must be " + DrawSettingValueRule(*field) +
                                ", not " + DecimalText(number));
            }
            ApplyDrawSetting(draw, *field, number);
        }
    }
    // A value its row takes: of its kind, and in its range or the default.
    void ReadFigure(const JsonValue& object, FigureSettings& figure) const {
        for (const JsonValue& value : object.Items) {
            const std::string& key = value.Key;
            const FigureSettingField* field = FindFigureSetting(key);
            if (field == nullptr) {
                Unknown(key, value);
            }
            FigureSettings read;
            switch (field->Kind) {
            case FigureSettingKind::WholeNumber:
                read.*field->Number = Whole(value, key);
                break;
            case FigureSettingKind::Text:
                read.*field->Text = Text(value, key);
                break;
            case FigureSettingKind::Flag:
                read.*field->Flag = Flag(value, key);
                break;
            }
            if (!FigureSettingAllows(*field, read)) {
                Fail(value, "the field " + Quote(key) + " must be " + FigureSettingRule(*field) +
                                ", not " + FigureSettingValueText(read, *field));
            }
            CopyFigureSetting(figure, read, *field);
        }
    }
    std::int32_t Marker(const JsonValue& value, std::string_view key) const {
        if (value.Kind == JsonValue::Type::Number) {
            return Whole(value, key);
        }
        if (value.Kind != JsonValue::Type::Text) {
            Fail(value, "the field " + Quote(key) + " must be a marker name or index");
        }
        for (std::size_t i = 0; i < markers_.size(); ++i) {
            if (markers_[i].Name == value.Text) {
                return static_cast<std::int32_t>(i);
            }
        }
        Fail(value, "no marker is named " + Quote(value.Text));
    }
    ColourRangeList Ranges(const JsonValue& value) const {
        if (value.Kind != JsonValue::Type::Array) {
            Fail(value, "colourRanges must be a list [...]");
        }
        ColourRangeList ranges;
        for (const JsonValue& item : value.Items) {
            const JsonValue& object = Object(item, "a colour range");
            ColourRange range;
            bool first = false;
            bool last = false;
            bool colour = false;
            for (const JsonValue& field : object.Items) {
                const std::string& key = field.Key;
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
        if (value.Kind != JsonValue::Type::Flag) {
            Fail(value, "the field " + Quote(key) + " must be true or false");
        }
        return value.Flag;
    }
    const std::string& Text(const JsonValue& value, std::string_view key) const {
        if (value.Kind != JsonValue::Type::Text) {
            Fail(value, "the field " + Quote(key) + " must be a text \"...\"");
        }
        return value.Text;
    }
    void ReadAnnotations(const JsonValue& object, AllSettings& out) const {
        FigureAnnotations& annotations = out.Annotations;
        for (const JsonValue& value : object.Items) {
            const std::string& key = value.Key;
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
                for (const JsonValue& title : Object(value, key).Items) {
                    const std::optional<std::int32_t> number = ParseDecimalInt32(title.Key);
                    if (!number || *number < 1) {
                        Fail(title,
                             "a title's field is a map number from 1, not " + Quote(title.Key));
                    }
                    annotations.TitleTexts[*number] = Text(title, title.Key);
                }
            } else if (key == "showOnly") {
                annotations.ShowOnly.reset();
                if (value.Kind == JsonValue::Type::Null) {
                    continue;
                }
                if (value.Kind != JsonValue::Type::Array) {
                    Fail(value, "showOnly must be null or a list of names [...]");
                }
                annotations.ShowOnly.emplace();
                for (const JsonValue& name : value.Items) {
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
        AppendJsonText(out, DecimalText(number));
        out += ": ";
        AppendJsonText(out, title);
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
            AppendJsonText(out, name);
            separator = ", ";
        }
        out += ']';
    } else {
        out += "null";
    }
    out += ",\n    \"qtlFile\": ";
    AppendJsonText(out, settings.QtlFile);
    out += "\n  }";
}

} // namespace

std::string WriteSettingsText(const AllSettings& settings, const MarkerTable& markers) {
    std::string out = "{\n  \"settings\": {";
    for (std::size_t i = 0; i < kDrawSettingFields.size(); ++i) {
        const DrawSettingField& field = kDrawSettingFields[i];
        out += i == 0 ? "\n    " : ",\n    ";
        AppendJsonText(out, field.Name);
        out += ": " + DecimalText(settings.Draw.*field.Member);
    }
    out += "\n  },\n  \"figure\": {";
    for (std::size_t i = 0; i < kFigureSettingFields.size(); ++i) {
        const FigureSettingField& field = kFigureSettingFields[i];
        out += i == 0 ? "\n    " : ",\n    ";
        AppendJsonText(out, field.Name);
        out += ": ";
        switch (field.Kind) {
        case FigureSettingKind::WholeNumber:
            out += DecimalText(settings.Figure.*(field.Number));
            break;
        case FigureSettingKind::Text:
            AppendJsonText(out, settings.Figure.*(field.Text));
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
    JsonValue root;
    try {
        root = ParseJson(text, "the settings");
    } catch (const JsonError& error) {
        throw SettingsError(fileName, error.Line(), error.Problem());
    }
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
