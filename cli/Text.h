#pragma once
// Small text helpers for the command line's messages.

#include <string>
#include <string_view>

namespace karvello::cli {

// The text in double quotes, as messages name files and arguments.
inline std::string Quote(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace karvello::cli
