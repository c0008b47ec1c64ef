#pragma once
// Every figure setting, declared once: its name in a settings file, the kind
// of value it takes and the member of FigureSettings that keeps it.

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
    std::int32_t FigureSettings::*Number = nullptr;
    std::string FigureSettings::*Text = nullptr;
    bool FigureSettings::*Flag = nullptr;
};

inline constexpr auto kFigureSettingFields = std::to_array<FigureSettingField>({
    {"RowWidth", FigureSettingKind::WholeNumber, &FigureSettings::RowWidth},
    {"MapsPerRow", FigureSettingKind::WholeNumber, &FigureSettings::MapsPerRow},
    {"FontFace", FigureSettingKind::Text, nullptr, &FigureSettings::FontFace},
    {"FontHeight", FigureSettingKind::WholeNumber, &FigureSettings::FontHeight},
    {"LineWidth", FigureSettingKind::WholeNumber, &FigureSettings::LineWidth},
    {"Margin", FigureSettingKind::WholeNumber, &FigureSettings::Margin},
    {"GroupMaps", FigureSettingKind::Flag, nullptr, nullptr, &FigureSettings::GroupMaps},
    {"Dpi", FigureSettingKind::WholeNumber, &FigureSettings::Dpi},
    {"Height", FigureSettingKind::WholeNumber, &FigureSettings::Height},
    {"Layout", FigureSettingKind::Text, nullptr, &FigureSettings::Layout},
    {"NamesPerLine", FigureSettingKind::WholeNumber, &FigureSettings::NamesPerLine},
    {"Distances", FigureSettingKind::Text, nullptr, &FigureSettings::Distances},
    {"Labels", FigureSettingKind::Text, nullptr, &FigureSettings::Labels},
    {"LeaderLength", FigureSettingKind::WholeNumber, &FigureSettings::LeaderLength},
    {"MapGap", FigureSettingKind::WholeNumber, &FigureSettings::MapGap},
    {"RowGap", FigureSettingKind::WholeNumber, &FigureSettings::RowGap},
    {"MapOrder", FigureSettingKind::Text, nullptr, &FigureSettings::MapOrder},
    {"Rows", FigureSettingKind::Text, nullptr, &FigureSettings::Rows},
    {"Align", FigureSettingKind::Text, nullptr, &FigureSettings::Align},
    {"Density", FigureSettingKind::Flag, nullptr, nullptr, &FigureSettings::Density},
});

} // namespace karvello
