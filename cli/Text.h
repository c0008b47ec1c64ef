#pragma once
// Small text helpers for the command line's messages.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Text.h"

namespace karvello::cli {

// An argument cut after its first kQuotedCharacters characters (whole UTF-8
// characters) and marked with "...", so that a message about a huge argument
// stays readable.
inline constexpr std::size_t kQuotedCharacters = 100;
inline std::string ShortArgument(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            ++characters > kQuotedCharacters) {
            return std::string(text.substr(0, i)) + "...";
        }
    }
    return std::string(text);
}

// An argument in double quotes, as Quote (base/Text.h) gives it, cut as ShortArgument cuts it.
inline std::string QuoteArgument(std::string_view text) {
    return Quote(ShortArgument(text));
}

} // namespace karvello::cli
