#pragma once
// Every drawing setting, declared once: its name on the command line, its
// label in the options window, the member of PageLengths that keeps it, the
// kind of value it takes and its unit. The command line's --set and its help
// text, and the options window, all take their settings from this table, so
// that a new setting is one new row.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mapdata/MapRecords.h"

namespace karvello {

// What a setting's value is and how it is written.
enum class SettingKind {
    // A signed 32-bit whole number in decimal, as ParseDecimalInt32 reads it.
    WholeNumber,
};

// What one step of a setting's value measures.
enum class SettingUnit {
    HundredthMillimetre,
};

struct DrawSettingField {
    // The name on the command line (--set Name=value): the member's name.
    std::string_view Name;
    // The label beside its box in the options window; empty for a setting the
    // window does not show.
    std::string_view Label;
    std::int32_t PageLengths::*Member;
    SettingKind Kind;
    SettingUnit Unit;
};

// The fourteen settings in their record order.
inline constexpr auto kDrawSettingFields = std::to_array<DrawSettingField>({
    {"LeftMargin", "Left margin", &PageLengths::LeftMargin, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"RightMargin", "Right margin", &PageLengths::RightMargin, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"TopMargin", "Top margin", &PageLengths::TopMargin, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"BottomMargin", "Bottom margin", &PageLengths::BottomMargin, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"PageHeight", "Page height", &PageLengths::PageHeight, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"PageWidth", "Page width", &PageLengths::PageWidth, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"TailLength", "Bar tail length", &PageLengths::TailLength, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"BarWidth", "Bar width", &PageLengths::BarWidth, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"PreBendLength", "Line pre-bend length", &PageLengths::PreBendLength, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    {"SpacingLineLength", "cM spacing line length", &PageLengths::SpacingLineLength,
     SettingKind::WholeNumber, SettingUnit::HundredthMillimetre},
    {"FrameworkLineLength", "Framework marker line length", &PageLengths::FrameworkLineLength,
     SettingKind::WholeNumber, SettingUnit::HundredthMillimetre},
    {"AncillaryLineLength", "Ancillary marker line length", &PageLengths::AncillaryLineLength,
     SettingKind::WholeNumber, SettingUnit::HundredthMillimetre},
    {"TextPadding", "Text left/right padding", &PageLengths::TextPadding, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
    // Only the command line sets the room between maps.
    {"MapSpacing", "", &PageLengths::MapSpacing, SettingKind::WholeNumber,
     SettingUnit::HundredthMillimetre},
});

// The value a setting holds, of the type its kind gives.
using DrawSettingValue = std::int32_t;

// The setting of that name (compared exactly), or null when there is none.
const DrawSettingField* FindDrawSetting(std::string_view name);

// Reads text as a value of the setting's kind; nothing when the text is not
// one.
std::optional<DrawSettingValue> ReadDrawSettingValue(const DrawSettingField& field,
                                                     std::string_view text);

// What a value of the setting's kind must be, for a message that completes
// "it must be ...": "a whole number of 32 bits".
std::string_view DrawSettingValueRule(const DrawSettingField& field);

// The unit as help text names it: "1/100 mm".
std::string_view DrawSettingUnitText(SettingUnit unit);

// Gives the setting's member of settings the value.
void ApplyDrawSetting(PageLengths& settings, const DrawSettingField& field, DrawSettingValue value);

// The names of all settings in table order, each joined to the next by
// separator.
std::string DrawSettingNames(std::string_view separator);

} // namespace karvello
