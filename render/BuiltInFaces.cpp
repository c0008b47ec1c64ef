#include "render/BuiltInFaces.h"

#include <algorithm>
#include <cstdint>

#include "base/Text.h"

namespace karvello {

namespace {

struct FamilyName {
    const char* Name;
    const char* Family;
};

constexpr FamilyName kFamilyNames[] = {
    {"Liberation Sans", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"Liberation Serif", "Liberation Serif"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Liberation Mono", "Liberation Mono"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
};

// FreeType's scale from design units to 1/64 of a unit at the em size, in
// 16.16 fixed point: FT_DivFix(emSize * 64, unitsPerEm).
std::int64_t Scale(const FontFaceTable& face, int emSize) {
    const std::int64_t em = std::int64_t{emSize} * 64;
    return ((em << 16) + face.UnitsPerEm / 2) / face.UnitsPerEm;
}

} // namespace

const FontFaceTable* FindBuiltInFace(std::string_view family, bool bold, bool italic) {
    const auto name =
        std::find_if(std::begin(kFamilyNames), std::end(kFamilyNames),
                     [&](const FamilyName& n) { return EqualsIgnoringCase(n.Name, family); });
    if (name == std::end(kFamilyNames)) {
        return nullptr;
    }
    for (const FontFaceTable& face : BuiltInFaces()) {
        if (std::string_view(face.Family) == name->Family && face.Bold == bold &&
            face.Italic == italic) {
            return &face;
        }
    }
    return nullptr;
}

std::string BuiltInFaceList() {
    std::string list;
    for (const FamilyName& name : kFamilyNames) {
        list += (list.empty() ? "" : ", ") + Quote(name.Name);
    }
    return list;
}

int GlyphAdvance(const FontFaceTable& face, char32_t character) {
    // The run that holds the character is the last one starting at or
    // before it.
    const auto after =
        std::upper_bound(face.Runs.begin(), face.Runs.end(), character,
                         [](char32_t code, const CharacterRun& run) { return code < run.First; });
    if (after == face.Runs.begin()) {
        return -1;
    }
    const CharacterRun& run = *(after - 1);
    if (character - run.First >= run.Count) {
        return -1;
    }
    return face.Advances[run.Start + (character - run.First)];
}

double ScaledAdvance(const FontFaceTable& face, int designUnits, int emSize) {
    // The advance in 16.16 fixed point (FT_MulDiv(units, scale, 64)), then
    // cut to 26.6 by dropping its last ten bits, as Qt takes it.
    const std::int64_t linear = (std::int64_t{designUnits} * Scale(face, emSize) + 32) / 64;
    return static_cast<double>(linear >> 10) / 64;
}

double ScaledHeight(const FontFaceTable& face, int designUnits, int emSize) {
    // FT_MulFix(units, scale): the product rounded to 1/64.
    const std::int64_t scaled = (std::int64_t{designUnits} * Scale(face, emSize) + 0x8000) >> 16;
    return static_cast<double>(scaled) / 64;
}

} // namespace karvello
