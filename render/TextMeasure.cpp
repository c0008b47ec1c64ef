#include "render/TextMeasure.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "render/BuiltInFaces.h"

namespace karvello {

namespace {

int RoundToInt(double value) {
    return static_cast<int>(std::lround(value));
}

// Format characters (Unicode's general category Cf) beyond ASCII.
constexpr std::pair<char32_t, char32_t> kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x13438}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

bool IsNotShown(char32_t code) {
    if (code < 0xA0 || code == 0x2028 || code == 0x2029) {
        return true;
    }
    if ((code >= 0xE000 && code <= 0xF8FF) || (code >= 0xF0000 && (code & 0xFFFF) <= 0xFFFD)) {
        return true;
    }
    return std::any_of(
        std::begin(kFormatCharacters), std::end(kFormatCharacters),
        [code](const auto& range) { return code >= range.first && code <= range.second; });
}

} // namespace

TextMeasure::TextMeasure(Style upright, Style italic) {
    upright_.style = std::move(upright);
    italic_.style = std::move(italic);
    for (Variant* variant : {&upright_, &italic_}) {
        variant->height = RoundToInt(variant->style.Ascent + variant->style.Descent);
    }
}

double TextMeasure::WideAdvance(const Variant& variant, char32_t code) const {
    const std::lock_guard<std::mutex> lock(wideLock_);
    const auto known = variant.wide.find(code);
    if (known != variant.wide.end()) {
        return known->second;
    }
    const double advance = variant.style.CharacterAdvance(code);
    variant.wide.emplace(code, advance);
    return advance;
}

std::vector<double> TextMeasure::UnitAdvances(std::string_view text, bool italic,
                                              CharacterEncoding encoding) const {
    const Variant& variant = Of(italic);
    std::vector<double> advances;
    advances.reserve(text.size());
    if (encoding == CharacterEncoding::Windows1252) {
        for (char c : text) {
            advances.push_back(variant.style.ByteAdvance[static_cast<unsigned char>(c)]);
        }
        return advances;
    }
    for (std::size_t i = 0; i < text.size();) {
        const char32_t code = NextUtf8(text, i);
        if (code < 0x80) {
            advances.push_back(variant.style.ByteAdvance[code]);
            continue;
        }
        advances.push_back(WideAdvance(variant, code));
        if (code >= 0x10000) {
            advances.push_back(0);
        }
    }
    return advances;
}

int TextMeasure::Width(std::string_view text, bool italic, CharacterEncoding encoding) const {
    double sum = 0;
    if (encoding == CharacterEncoding::Windows1252) {
        const Variant& variant = Of(italic);
        for (char c : text) {
            sum += variant.style.ByteAdvance[static_cast<unsigned char>(c)];
        }
    } else {
        for (double advance : UnitAdvances(text, italic, encoding)) {
            sum += advance;
        }
    }
    return RoundToInt(sum);
}

int TextMeasure::Height(bool italic) const {
    return Of(italic).height;
}

double TextMeasure::Ascent(bool italic) const {
    return Of(italic).style.Ascent;
}

std::vector<std::int32_t> TextMeasure::Advances(std::string_view text, bool italic,
                                                CharacterEncoding encoding) const {
    const std::vector<double> exact = UnitAdvances(text, italic, encoding);
    std::vector<std::int32_t> advances;
    advances.reserve(exact.size());
    double sum = 0;
    int placed = 0;
    for (double advance : exact) {
        sum += advance;
        const int end = RoundToInt(sum);
        advances.push_back(end - placed);
        placed = end;
    }
    return advances;
}

TextMeasure::Style BuiltInStyle(const FontFaceTable& face, int emSize) {
    emSize = std::max(emSize, 1);
    const auto scaled = [&face, emSize](char32_t code) {
        const int advance = GlyphAdvance(face, code);
        return ScaledAdvance(face, advance < 0 ? face.DefaultAdvance : advance, emSize);
    };
    TextMeasure::Style style;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        const char32_t code = Windows1252ToUtf16(static_cast<unsigned char>(byte));
        const bool tabAsSpace = code == U'\t' && GlyphAdvance(face, code) < 0;
        style.ByteAdvance[byte] = scaled(tabAsSpace ? U' ' : code);
    }
    style.Ascent = ScaledHeight(face, face.Ascent, emSize);
    style.Descent = ScaledHeight(face, face.Descent, emSize);
    style.CharacterAdvance = [scaled](char32_t code) {
        return IsNotShown(code) ? 0.0 : scaled(code);
    };
    return style;
}

const TextMeasure* BuiltInFigureMeasure(std::string_view face, int height) {
    if (face.empty()) {
        face = kMetafileFaceName;
    }
    if (height < 1) {
        height = kMetafileFontHeight;
    }
    const FontFaceTable* upright = FindBuiltInFace(face, false, false);
    const FontFaceTable* italic = FindBuiltInFace(face, false, true);
    if (upright == nullptr || italic == nullptr) {
        return nullptr;
    }
    // Kept for the life of the process, as the surfaces hold on to them. The
    // key is the face measured, so every name of one face shares it.
    static std::mutex mutex;
    static auto& built =
        *new std::map<std::pair<const FontFaceTable*, int>, std::unique_ptr<const TextMeasure>>;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& measure = built[{upright, height}];
    if (!measure) {
        measure = std::make_unique<const TextMeasure>(BuiltInStyle(*upright, height),
                                                      BuiltInStyle(*italic, height));
    }
    return measure.get();
}

} // namespace karvello
