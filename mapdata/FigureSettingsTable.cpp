#include "mapdata/FigureSettingsTable.h"

#include <algorithm>

#include "base/Numbers.h"

namespace karvello {

namespace {

const FigureSettings& Defaults() {
    static const FigureSettings defaults;
    return defaults;
}

// The characters of UTF-8 text: every byte that does not continue one.
std::int64_t CharacterCount(std::string_view text) {
    return std::count_if(text.begin(), text.end(),
                         [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

} // namespace

const FigureSettingField* FindFigureSetting(std::string_view name) {
    for (const FigureSettingField& field : kFigureSettingFields) {
        if (field.Name == name) {
            return &field;
        }
    }
    return nullptr;
}

std::int32_t DefaultNumber(const FigureSettingField& field) {
    return Defaults().*field.Number;
}

const std::string& DefaultText(const FigureSettingField& field) {
    return Defaults().*field.Text;
}

bool InFigureSettingRange(const FigureSettingField& field, std::int32_t number) {
    return number >= field.Least && number <= field.Greatest;
}

bool InFigureSettingRange(const FigureSettingField& field, std::string_view text) {
    if (!field.Choices.empty()) {
        std::string_view rest = field.Choices;
        while (true) {
            const auto bar = rest.find('|');
            if (rest.substr(0, bar) == text) {
                return true;
            }
            if (bar == std::string_view::npos) {
                return false;
            }
            rest.remove_prefix(bar + 1);
        }
    }
    const std::int64_t characters = CharacterCount(text);
    return characters >= field.Least && characters <= field.Greatest;
}

bool FigureSettingAllows(const FigureSettingField& field, std::int32_t number) {
    return InFigureSettingRange(field, number) || number == DefaultNumber(field);
}

bool FigureSettingAllows(const FigureSettingField& field, std::string_view text) {
    return InFigureSettingRange(field, text) || text == DefaultText(field);
}

std::string FigureSettingRule(const FigureSettingField& field, bool withDefault) {
    switch (field.Kind) {
    case FigureSettingKind::WholeNumber: {
        std::string rule = "a whole number";
        if (field.Unit == SettingUnit::HundredthMillimetre) {
            rule += " of 1/100 mm";
        }
        if (const std::string range = RangeText(field.Least, field.Greatest); !range.empty()) {
            rule += " " + range;
        }
        const std::int32_t byDefault = DefaultNumber(field);
        if (withDefault && !InFigureSettingRange(field, byDefault)) {
            rule += ", or " + DecimalText(byDefault) + " (the default)";
        }
        return rule;
    }
    case FigureSettingKind::Text: {
        std::string rule = "a text";
        if (!field.Choices.empty()) {
            rule = "one of ";
            for (const char c : field.Choices) {
                rule += c == '|' ? std::string(", ") : std::string(1, c);
            }
        } else if (field.Least > 0) {
            rule += " of " + DecimalText(field.Least) + " to " + DecimalText(field.Greatest) +
                    " characters";
        } else if (field.Greatest != kGreatestInt32) {
            rule += " of up to " + DecimalText(field.Greatest) + " characters";
        }
        const std::string& byDefault = DefaultText(field);
        if (withDefault && !InFigureSettingRange(field, byDefault)) {
            rule += byDefault.empty() ? ", or empty (the default)"
                                      : ", or \"" + byDefault + "\" (the default)";
        }
        return rule;
    }
    case FigureSettingKind::Flag:
        return "true or false";
    }
    return {};
}

std::string FigureSettingValueText(const FigureSettings& figure, const FigureSettingField& field) {
    switch (field.Kind) {
    case FigureSettingKind::WholeNumber:
        return DecimalText(figure.*field.Number);
    case FigureSettingKind::Text:
        return "\"" + figure.*field.Text + "\"";
    case FigureSettingKind::Flag:
        return figure.*field.Flag ? "true" : "false";
    }
    return {};
}

bool FigureSettingAllows(const FigureSettingField& field, const FigureSettings& figure) {
    switch (field.Kind) {
    case FigureSettingKind::WholeNumber:
        return FigureSettingAllows(field, figure.*field.Number);
    case FigureSettingKind::Text:
        return FigureSettingAllows(field, figure.*field.Text);
    case FigureSettingKind::Flag:
        return true;
    }
    return false;
}

void CopyFigureSetting(FigureSettings& to, const FigureSettings& from,
                       const FigureSettingField& field) {
    switch (field.Kind) {
    case FigureSettingKind::WholeNumber:
        to.*field.Number = from.*field.Number;
        break;
    case FigureSettingKind::Text:
        to.*field.Text = from.*field.Text;
        break;
    case FigureSettingKind::Flag:
        to.*field.Flag = from.*field.Flag;
        break;
    }
}

} // namespace karvello
