#pragma once
// Small text helpers for the command line's messages.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace karvello::cli {

// The number in decimal, whatever the locale.
inline std::string IntText(std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// The text in double quotes, as messages name files and arguments.
inline std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace karvello::cli
