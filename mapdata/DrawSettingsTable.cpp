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

std::string_view DrawSettingValueRule(const DrawSettingField& field) {
    switch (field.Kind) {
    case SettingKind::WholeNumber:
        return "a whole number of 32 bits";
    }
    return {};
}

std::string_view DrawSettingUnitText(SettingUnit unit) {
    switch (unit) {
    case SettingUnit::HundredthMillimetre:
        return "1/100 mm";
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
