#pragma once
// Every page length, declared once with its rules: its name, the member of
// PageLengths that keeps it (whose initialiser is its default), the kind of
// value it takes, its unit, its range and its place in the options window.
// The settings file (its "settings" section), the command line's --set and
// its help text, and the options window all read and check values through
// these rows, so that a new page length is one new row.

#include <array>
#include <cstdint>
#include <limits>
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

// What one step of a setting's value measures; for a text, what its length
// counts.
enum class SettingUnit {
    HundredthMillimetre,
    Count,       // things, such as maps
    DotsPerInch, // pixels an inch of an image
    Character,   // a text's characters
    None,        // a flag
};

inline constexpr std::int32_t kLeastInt32 = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int32_t kGreatestInt32 = std::numeric_limits<std::int32_t>::max();

struct DrawSettingField {
    // The name in a settings file's "settings" and on the command line
    // (--set Name=value): the member's name.
    std::string_view Name = {};
    // The label beside its box in the options window; empty for a setting the
    // window does not show.
    std::string_view Label = {};
    std::int32_t PageLengths::*Member = nullptr;
    SettingKind Kind = SettingKind::WholeNumber;
    SettingUnit Unit = SettingUnit::HundredthMillimetre;
    // The values it takes, both included.
    std::int32_t Least = kLeastInt32;
    std::int32_t Greatest = kGreatestInt32;
    // Where the options window shows its box: the box's top, in pixels, and
    // its place in the keyboard focus order, from 0.
    int Top = 0;
    int FocusOrder = 0;

    // The value a fresh PageLengths holds.
    constexpr std::int32_t Default() const { return PageLengths{}.*Member; }
};

// A page length in 1/100 mm that takes any 32-bit whole number, shown in the
// options window at top, focusOrder.
constexpr DrawSettingField PageLength(std::string_view name, std::int32_t PageLengths::*member,
                                      std::string_view label, int top, int focusOrder) {
    return {.Name = name, .Label = label, .Member = member, .Top = top, .FocusOrder = focusOrder};
}

// The fourteen settings in their record order, which is also the order of
// the settings file and of the help text.
inline constexpr std::array kDrawSettingFields{
    PageLength("LeftMargin", &PageLengths::LeftMargin, "Left margin", 56, 0),
    PageLength("RightMargin", &PageLengths::RightMargin, "Right margin", 104, 2),
    PageLength("TopMargin", &PageLengths::TopMargin, "Top margin", 80, 1),
    PageLength("BottomMargin", &PageLengths::BottomMargin, "Bottom margin", 128, 3),
    PageLength("PageHeight", &PageLengths::PageHeight, "Page height", 0, 4),
    PageLength("PageWidth", &PageLengths::PageWidth, "Page width", 24, 5),
    PageLength("TailLength", &PageLengths::TailLength, "Bar tail length", 160, 6),
    PageLength("BarWidth", &PageLengths::BarWidth, "Bar width", 184, 7),
    PageLength("PreBendLength", &PageLengths::PreBendLength, "Line pre-bend length", 216, 8),
    PageLength("SpacingLineLength", &PageLengths::SpacingLineLength, "cM spacing line length", 240,
               9),
    PageLength("FrameworkLineLength", &PageLengths::FrameworkLineLength,
               "Framework marker line length", 264, 10),
    PageLength("AncillaryLineLength", &PageLengths::AncillaryLineLength,
               "Ancillary marker line length", 288, 11),
    PageLength("TextPadding", &PageLengths::TextPadding, "Text left/right padding", 320, 12),
    // Only the command line and the settings file set the room between maps.
    PageLength("MapSpacing", &PageLengths::MapSpacing, "", 0, 0),
};

// The value a setting holds, of the type its kind gives.
using DrawSettingValue = std::int32_t;

// The setting of that name (compared exactly), or null when there is none.
const DrawSettingField* FindDrawSetting(std::string_view name);

// Reads text as a value of the setting's kind; nothing when the text is not
// one. Whether the setting takes it is DrawSettingAllows's to say.
std::optional<DrawSettingValue> ReadDrawSettingValue(const DrawSettingField& field,
                                                     std::string_view text);

// Whether the value lies in the setting's range.
bool DrawSettingAllows(const DrawSettingField& field, DrawSettingValue value);

// What a value of the setting must be, for a message that completes "it
// must be ...": "a whole number of 32 bits", with the range when it is
// narrower ("a whole number from 0 to 500").
std::string DrawSettingValueRule(const DrawSettingField& field);

// A range for a message: "from 1", "from 0 to 500", "up to 500"; empty when
// it is every 32-bit whole number. An end at the end of 32 bits is left
// unsaid.
std::string RangeText(std::int32_t least, std::int32_t greatest);

// The unit as help text names it: "1/100 mm".
std::string_view DrawSettingUnitText(SettingUnit unit);

// Gives the setting's member of settings the value.
void ApplyDrawSetting(PageLengths& settings, const DrawSettingField& field, DrawSettingValue value);

// The names of all settings in table order, each joined to the next by
// separator.
std::string DrawSettingNames(std::string_view separator);

} // namespace karvello
