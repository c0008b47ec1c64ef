#pragma once
// A text file held whole in memory and split into lines.
//
// Line ends are CR, LF or the pair CR LF (one line end). LF followed by CR is
// two line ends with an empty line between them. A NUL character ends the
// text (NulLine says where). The text after the last line end, if not empty,
// is a last line.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace karvello {

using Lines = std::span<const std::string_view>;

struct TextFileLimits;

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
    // The text from the start of the first line to the end of the last, with
    // the line ends between them: the lines lie in it in order.
    std::string_view text() const { return text_; }
    std::size_t size() const { return lines_.size(); }
    std::string_view operator[](std::size_t i) const { return lines_[i]; }
    // The line, counted from 1, that holds the NUL which ended the text; 0
    // when the text holds none.
    std::int64_t NulLine() const { return nulLine_; }

  private:
    friend TextLines ReadTextLines(const std::string& path, const TextFileLimits& limits);
    TextLines(std::shared_ptr<const void> owner, std::string_view text);
    // Keeps the text of the lines and where in whole, the text they were
    // split from, a NUL stands.
    void KeepTextOfLines(std::string_view whole);

    // Whatever holds the characters the views point at: a string of ours or
    // a mapping of the file. Held behind a pointer so that moving the object
    // never moves the characters.
    std::shared_ptr<const void> owner_;
    std::vector<std::string_view> lines_;
    std::string_view text_;
    std::int64_t nulLine_ = 0;
};

// Throws KarvelloError naming the file and the line when the text held a
// NUL, for a table whose rows past it would otherwise be lost unseen.
void RefuseNul(const TextLines& text, const std::string& fileName);

// Splits text into line views by the rule above; the views point into text.
std::vector<std::string_view> SplitLines(std::string_view text);

// Limits of a read. A genuine Mapmaker file is at most a few megabytes, so
// the size limit is only ever reached by a file that never ends (a device
// such as /dev/zero) or the wrong file.
struct TextFileLimits {
    std::size_t MaxBytes = std::size_t{256} << 20; // 256 MiB
    // How long a pipe may stay silent, before its first byte and between
    // any two reads, before the read is given up.
    std::chrono::milliseconds Silence = std::chrono::seconds(30);
};

// Reads a whole file as 8-bit text. A named pipe or process substitution is
// read as it comes, without ever waiting longer than limits.Silence for the
// next bytes. Throws KarvelloError naming the file: "Cannot open file
// "<full path>". <system's reason>" when it cannot be opened (a folder is
// refused here); "Cannot read file "<full path>". <reason>" when a read
// fails, the file is longer than limits.MaxBytes, a pipe stays silent, the
// memory runs out, or the file is UTF-16 text, with a byte-order mark or with
// every other byte of its start a NUL (which must be saved as plain 8-bit
// text first).
std::string ReadTextFile(const std::string& path, const TextFileLimits& limits = {});

// The lines of the file at path, as TextLines(ReadTextFile(path, limits))
// gives them and with the same errors. A regular file is mapped into memory
// rather than copied, where the system allows it, so that a large file costs
// no more than the system's own reading of it.
TextLines ReadTextLines(const std::string& path, const TextFileLimits& limits = {});

// Takes one line of a text; returns false when no further line is wanted.
using LineFn = std::function<bool(std::string_view line)>;

// Gives up to room bytes of a text, in order, into into; 0 at its end.
using ReadFn = std::function<std::size_t(char* into, std::size_t room)>;
// Looks at the start of a text (its first two bytes or more, or all of a
// shorter one) before any line of it is handed on; throws to refuse it.
using StartFn = std::function<void(std::string_view start)>;

// Hands the lines of a text that read gives in pieces to eachLine in order,
// the same lines SplitLines gives for the whole text, until eachLine returns
// false or the text ends; each line as soon as its end and the byte after it
// have been read. The pieces go into one buffer of firstRoom bytes, grown
// only for a longer line; each view is valid only during its call. Throws
// what read, checkStart and eachLine throw, and std::bad_alloc.
void SplitLinesInTurn(const ReadFn& read, const LineFn& eachLine, std::size_t firstRoom,
                      const StartFn& checkStart = {});

// Hands the lines of the file at path to eachLine in order, the same lines
// ReadTextLines gives, until eachLine returns false or the text ends. Each
// view is valid only during its call. The file is read once through one
// buffer of about a hundred kilobytes (larger only for a longer line), so
// that reading a file of any size touches no more memory than that: for a
// file read for a few facts of each line, such as a Mapmaker input file,
// this is the cheapest way the system gives. The same errors as
// ReadTextFile, raised when the reading comes to them: lines before the
// fault may have been handed on.
void ReadTextLinesInTurn(const std::string& path, const LineFn& eachLine,
                         const TextFileLimits& limits = {});

} // namespace karvello
