#include "mapdata/DrawSettingsTable.h"

#include "base/Numbers.h"

namespace karvello {

const DrawSettingField* FindDrawSetting(std::string_view name) {
    for (const DrawSettingField& field : kDrawSettingFields) {
        if (field.Name == name) {
            return &field;
        }
    }
    return nullptr;
}

std::optional<DrawSettingValue> ReadDrawSettingValue(const DrawSettingField& field,
                                                     std::string_view text) {
    switch (field.Kind) {
    case SettingKind::WholeNumber:
        return ParseDecimalInt32(text);
    }
    return std::nullopt;
}

bool DrawSettingAllows(const DrawSettingField& field, DrawSettingValue value) {
    return value >= field.Least && value <= field.Greatest;
}

std::string DrawSettingValueRule(const DrawSettingField& field) {
    switch (field.Kind) {
    case SettingKind::WholeNumber: {
        const std::string range = RangeText(field.Least, field.Greatest);
        return range.empty() ? "a whole number of 32 bits" : "a whole number " + range;
    }
    }
    return {};
}

std::string RangeText(std::int32_t least, std::int32_t greatest) {
    if (least == kLeastInt32 && greatest == kGreatestInt32) {
        return {};
    }
    if (least == kLeastInt32) {
        return "up to " + DecimalText(greatest);
    }
    std::string text = "from " + DecimalText(least);
    if (greatest != kGreatestInt32) {
        text += " to " + DecimalText(greatest);
    }
    return text;
}

std::string_view DrawSettingUnitText(SettingUnit unit) {
    switch (unit) {
    case SettingUnit::HundredthMillimetre:
        return "1/100 mm";
    case SettingUnit::Count:
        return "";
    case SettingUnit::DotsPerInch:
        return "dots per inch";
    case SettingUnit::Character:
        return "characters";
    case SettingUnit::None:
        return "";
    }
    return {};
}

void ApplyDrawSetting(PageLengths& settings, const DrawSettingField& field,
                      DrawSettingValue value) {
    settings.*field.Member = value;
}

std::string DrawSettingNames(std::string_view separator) {
    std::string names;
    for (const DrawSettingField& field : kDrawSettingFields) {
        if (!names.empty()) {
            names += separator;
        }
        names += field.Name;
    }
    return names;
}

} // namespace karvello
