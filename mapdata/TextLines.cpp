#include "mapdata/TextLines.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Error.h"
#include "base/Text.h"

namespace karvello {

std::vector<std::string_view> SplitLines(std::string_view text) {
    // A NUL character ends the text.
    if (auto nul = text.find('\0'); nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n') {
            ++i; // CR LF is one line end
        }
        start = i + 1;
    }
    if (start < size) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

TextLines::TextLines(std::string text)
    : text_(std::make_unique<std::string>(std::move(text))), lines_(SplitLines(*text_)) {}

namespace {

[[noreturn]] void CannotOpen(const std::string& path, const std::string& reason) {
    throw KarvelloError("Cannot open file \"" + FullPathForMessage(path) + "\". " + reason);
}

} // namespace

std::string ReadTextFile(const std::string& path) {
    std::error_code ec;
    if (path.empty()) {
        CannotOpen(path, "No file name was given");
    }
    if (std::filesystem::is_directory(path, ec)) {
        CannotOpen(path, std::strerror(EISDIR));
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        CannotOpen(path, std::strerror(errno != 0 ? errno : ENOENT));
    }
    std::string text;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size));
        in.seekg(0, std::ios::beg);
        in.read(text.data(), size);
        text.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        // Not seekable (a pipe, say): read what comes.
        in.clear();
        in.seekg(0, std::ios::beg);
        std::ostringstream buffer;
        buffer << in.rdbuf();
        text = buffer.str();
    }
    if (in.bad()) {
        CannotOpen(path, std::strerror(errno != 0 ? errno : EIO));
    }
    return text;
}

} // namespace karvello
