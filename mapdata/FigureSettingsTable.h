#pragma once
// Every figure setting, declared once: its name in a settings file, the kind
// of value it takes and the member of TFigureSettings that keeps it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "mapdata/FigureSettings.h"

namespace karvello {

enum class FigureSettingKind {
    WholeNumber, // a signed 32-bit whole number
    Text,        // a text, UTF-8
    Flag,        // true or false
};

struct FigureSettingField {
    std::string_view Name;
    FigureSettingKind Kind;
    // The member for the field's kind; the others are null.
    std::int32_t TFigureSettings::*Number = nullptr;
    std::string TFigureSettings::*Text = nullptr;
    bool TFigureSettings::*Flag = nullptr;
};

inline constexpr std::array<FigureSettingField, 8> kFigureSettingFields{{
    {"RowWidth", FigureSettingKind::WholeNumber, &TFigureSettings::RowWidth},
    {"MapsPerRow", FigureSettingKind::WholeNumber, &TFigureSettings::MapsPerRow},
    {"FontFace", FigureSettingKind::Text, nullptr, &TFigureSettings::FontFace},
    {"FontHeight", FigureSettingKind::WholeNumber, &TFigureSettings::FontHeight},
    {"LineWidth", FigureSettingKind::WholeNumber, &TFigureSettings::LineWidth},
    {"Margin", FigureSettingKind::WholeNumber, &TFigureSettings::Margin},
    {"GroupMaps", FigureSettingKind::Flag, nullptr, nullptr, &TFigureSettings::GroupMaps},
    {"Dpi", FigureSettingKind::WholeNumber, &TFigureSettings::Dpi},
}};

} // namespace karvello
