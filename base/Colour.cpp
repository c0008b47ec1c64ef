#include "base/Colour.h"

namespace karvello {

std::optional<RgbColour> ParseHexColour(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    RgbColour rgb = 0;
    for (char c : text.substr(1)) {
        int value = -1;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            value = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            value = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        rgb = (rgb << 4) | static_cast<RgbColour>(value);
    }
    // The drawing keeps blue in the high byte.
    const RgbColour red = (rgb >> 16) & 0xFF;
    const RgbColour green = (rgb >> 8) & 0xFF;
    const RgbColour blue = rgb & 0xFF;
    return (blue << 16) | (green << 8) | red;
}

} // namespace karvello
