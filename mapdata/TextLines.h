#pragma once
// A text file held whole in memory and split into lines.
//
// Line ends are CR, LF or the pair CR LF (one line end). LF followed by CR is
// two line ends with an empty line between them. A NUL character ends the
// text. The text after the last line end, if not empty, is a last line.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace karvello {

using Lines = std::span<const std::string_view>;

class TextLines {
  public:
    TextLines() = default;
    // Takes the text and splits it; the lines are views into the kept text.
    explicit TextLines(std::string text);
    TextLines(const TextLines&) = delete;
    TextLines& operator=(const TextLines&) = delete;
    TextLines(TextLines&&) noexcept = default;
    TextLines& operator=(TextLines&&) noexcept = default;

    Lines lines() const { return lines_; }
    std::size_t size() const { return lines_.size(); }
    std::string_view operator[](std::size_t i) const { return lines_[i]; }

  private:
    friend TextLines ReadTextLines(const std::string& path);
    TextLines(std::shared_ptr<const void> owner, std::string_view text);

    // Whatever holds the characters the views point at: a string of ours or
    // a mapping of the file. Held behind a pointer so that moving the object
    // never moves the characters.
    std::shared_ptr<const void> owner_;
    std::vector<std::string_view> lines_;
};

// Splits text into line views by the rule above; the views point into text.
std::vector<std::string_view> SplitLines(std::string_view text);

// Reads a whole file as 8-bit text. Throws KarvelloError
// "Cannot open file "<full path>". <system's reason>" when it cannot be read.
std::string ReadTextFile(const std::string& path);

// The lines of the file at path, as TextLines(ReadTextFile(path)) gives them
// and with the same errors. A regular file is mapped into memory rather than
// copied, where the system allows it, so that a large file costs no more
// than the system's own reading of it.
TextLines ReadTextLines(const std::string& path);

} // namespace karvello
