#include "mapdata/TextLines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/Error.h"
#include "base/Memory.h"
#include "base/Text.h"

namespace karvello {

namespace {

// Calls each(line) for the lines of text, which holds no NUL, until each
// returns false; returns false when it did. Each line is found with memchr,
// the fastest search the library has.
template <typename Each> bool SplitAtLineEnds(std::string_view text, Each&& each) {
    const char* const begin = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    // The usual text holds no CR: one search of the whole text says so, and
    // its lines are then found by LF alone.
    if (std::memchr(begin, '\r', size) == nullptr) {
        while (start < size) {
            const void* lf = std::memchr(begin + start, '\n', size - start);
            if (lf == nullptr) {
                return each(text.substr(start, size - start));
            }
            const auto end = static_cast<std::size_t>(static_cast<const char*>(lf) - begin);
            if (!each(text.substr(start, end - start))) {
                return false;
            }
            start = end + 1;
        }
        return true;
    }
    while (start < size) {
        const void* lf = std::memchr(begin + start, '\n', size - start);
        const std::size_t end =
            lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : size;
        // A CR ends a line of its own, unless the LF follows it: CR LF is
        // one line end.
        bool crLf = false;
        while (start < end) {
            const void* cr = std::memchr(begin + start, '\r', end - start);
            if (cr == nullptr) {
                break;
            }
            const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
            if (!each(text.substr(start, at - start))) {
                return false;
            }
            start = at + 1;
            if (lf != nullptr && start == end) {
                crLf = true;
                break;
            }
        }
        if (lf == nullptr) {
            return start < end ? each(text.substr(start, end - start)) : true;
        }
        if (!crLf && !each(text.substr(start, end - start))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// The text up to its first NUL, which ends it.
std::string_view UpToNul(std::string_view text) {
    const void* nul = std::memchr(text.data(), '\0', text.size());
    return nul == nullptr
               ? text
               : text.substr(0,
                             static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
}

} // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    // Room reserved once, so that the list never moves as it grows:
    // Mapmaker's lines are seldom shorter than 24 characters, and room that
    // is never written costs no memory.
    ReserveLarge(lines, text.size() / 24 + 16);
    SplitAtLineEnds(UpToNul(text), [&lines](std::string_view line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

TextLines::TextLines(std::string text) {
    auto kept = std::make_shared<const std::string>(std::move(text));
    lines_ = SplitLines(*kept);
    owner_ = std::move(kept);
    KeepTextOfLines(*static_cast<const std::string*>(owner_.get()));
}

TextLines::TextLines(std::shared_ptr<const void> owner, std::string_view text)
    : owner_(std::move(owner)), lines_(SplitLines(text)) {
    KeepTextOfLines(text);
}

void TextLines::KeepTextOfLines(std::string_view whole) {
    const char* end = whole.data();
    if (!lines_.empty()) {
        const char* const first = lines_.front().data();
        end = lines_.back().data() + lines_.back().size();
        text_ = std::string_view(first, static_cast<std::size_t>(end - first));
    }
    // The NUL stands on the last line where it follows that line's text
    // directly, else on the line after it.
    const std::string_view before = UpToNul(whole);
    if (before.size() < whole.size()) {
        const char* const nul = whole.data() + before.size();
        nulLine_ =
            static_cast<std::int64_t>(lines_.size()) + (lines_.empty() || nul != end ? 1 : 0);
    }
}

void RefuseNul(const TextLines& text, const std::string& fileName) {
    if (text.NulLine() != 0) {
        throw KarvelloError("Line " + std::to_string(text.NulLine()) + " of " + Quote(fileName) +
                            " holds a NUL byte, which no text file holds, and the rest of the "
                            "file would be lost. Is it saved as UTF-16 (Unicode)? Save it as "
                            "UTF-8 text and open that.");
    }
}

namespace {

// A chunk of a whole-file read, and the first room of a line-by-line read.
constexpr std::size_t kReadChunk = 1 << 16;
constexpr std::size_t kLineBufferRoom = 1 << 17;

[[noreturn]] void CannotOpen(const std::string& path, const std::string& reason) {
    throw KarvelloError("Cannot open file \"" + FullPathForMessage(path) + "\". " + reason);
}

[[noreturn]] void CannotRead(const std::string& path, const std::string& reason) {
    throw KarvelloError("Cannot read file \"" + FullPathForMessage(path) + "\". " + reason);
}

std::string SizeText(std::size_t bytes) {
    return (bytes % (1u << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                    : std::to_string(bytes) + " bytes");
}

[[noreturn]] void TooLong(const std::string& path, const TextFileLimits& limits) {
    CannotRead(path, "It is longer than " + SizeText(limits.MaxBytes) +
                         ", far more than any Mapmaker file; it may not end at all.");
}

// Text saved by an editor as UTF-16 begins with its byte-order mark. Every
// Mapmaker file is 8-bit text; read as such, UTF-16 gives names with a NUL
// after each letter and no maps, so it is refused with what to do instead.
// Without the mark, UTF-16 shows in the NULs of its start: one byte of each
// pair is NUL for every Latin letter, and neither byte is for nearly any
// other character.
bool LooksLikeUtf16(std::string_view text) {
    const std::size_t pairs = std::min<std::size_t>(text.size(), 64) / 2;
    if (pairs < 2) {
        return false;
    }
    std::size_t nuls[2] = {0, 0};
    for (std::size_t i = 0; i < 2 * pairs; ++i) {
        nuls[i % 2] += text[i] == '\0' ? 1 : 0;
    }
    return (nuls[0] == 0 || nuls[1] == 0) && 4 * (nuls[0] + nuls[1]) >= 3 * pairs;
}

void RefuseUtf16(const std::string& path, std::string_view text) {
    if ((text.size() >= 2 &&
         ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) ||
        LooksLikeUtf16(text)) {
        CannotRead(path, "It is saved as UTF-16 (Unicode) text; Karvello reads 8-bit text. Save it "
                         "again as plain text (UTF-8 for a map table, ANSI or Latin-1 for a "
                         "Mapmaker file) and open that.");
    }
}

[[noreturn]] void OutOfMemory(const std::string& path, std::size_t read) {
    CannotRead(path,
               "The memory ran out after " + std::to_string(read) + " bytes of it had been read.");
}

#ifdef _WIN32

// A file's bytes as they come, read in chunks; at most limits.MaxBytes.
class FileSource {
  public:
    FileSource(const std::string& path, const TextFileLimits& limits)
        : path_(path), limits_(limits) {
        errno = 0;
        in_.open(std::filesystem::path(path), std::ios::binary);
        if (!in_) {
            CannotOpen(path, std::strerror(errno != 0 ? errno : ENOENT));
        }
    }
    // The file's size where it is known in advance.
    std::size_t SizeHint() const { return 0; }
    // The bytes read so far.
    std::size_t BytesRead() const { return read_; }

    // Reads up to room bytes into into; 0 at the end of the file.
    // A read that fails is an error even when it is the one that would
    // have ended the file: it got nothing, and nothing is not the end.
    std::size_t Read(char* into, std::size_t room) {
        if (in_) {
            in_.read(into, static_cast<std::streamsize>(room));
            if (const auto got = static_cast<std::size_t>(in_.gcount()); got > 0) {
                return Counted(got);
            }
        }
        if (in_.bad()) {
            CannotRead(path_, std::strerror(errno != 0 ? errno : EIO));
        }
        return 0;
    }

  private:
    std::size_t Counted(std::size_t got) {
        if (got > limits_.MaxBytes - read_) {
            TooLong(path_, limits_);
        }
        read_ += got;
        return got;
    }

    const std::string& path_;
    const TextFileLimits& limits_;
    std::ifstream in_;
    std::size_t read_ = 0;
};

#else

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// A file's bytes as they come, read in chunks; at most limits.MaxBytes.
// Opened without blocking, so that opening a named pipe nobody writes to
// returns at once; the reads then wait for data with poll, each wait at
// most limits.Silence long.
class FileSource {
  public:
    FileSource(const std::string& path, const TextFileLimits& limits)
        : path_(path), limits_(limits),
          file_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        if (file_.get() < 0) {
            CannotOpen(path, std::strerror(errno));
        }
        struct stat info {};
        if (fstat(file_.get(), &info) != 0) {
            CannotRead(path, std::strerror(errno));
        }
        if (S_ISDIR(info.st_mode)) {
            CannotOpen(path, std::strerror(EISDIR));
        }
        // A pipe read without a writer gives end of file at once, so for
        // anything but a regular file the read waits with poll until there
        // is data, or the writer has come and gone.
        waits_ = !S_ISREG(info.st_mode);
        if (!waits_ && info.st_size > 0) {
            if (static_cast<std::uint64_t>(info.st_size) > limits.MaxBytes) {
                TooLong(path, limits);
            }
            size_ = static_cast<std::size_t>(info.st_size);
        }
    }

    // The size of a regular file, 0 for anything else.
    std::size_t SizeHint() const { return size_; }
    // The bytes read so far.
    std::size_t BytesRead() const { return read_; }

    // Reads up to room bytes into into; 0 at the end of the file.
    std::size_t Read(char* into, std::size_t room) {
        for (;;) {
            if (waits_) {
                Wait();
            }
            const ssize_t got = read(file_.get(), into, room);
            if (got > 0) {
                if (static_cast<std::size_t>(got) > limits_.MaxBytes - read_) {
                    TooLong(path_, limits_);
                }
                read_ += static_cast<std::size_t>(got);
                return static_cast<std::size_t>(got);
            }
            if (got == 0) {
                return 0;
            }
            if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
                CannotRead(path_, std::strerror(errno));
            }
        }
    }

  private:
    void Wait() const {
        for (;;) {
            pollfd wait{file_.get(), POLLIN, 0};
            const int ready = poll(&wait, 1, static_cast<int>(limits_.Silence.count()));
            if (ready > 0) {
                return;
            }
            if (ready == 0) {
                const auto ms = limits_.Silence.count();
                CannotRead(path_, "Nothing arrived from it for " +
                                      (ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds"
                                                      : std::to_string(ms) + " ms") +
                                      "; is anything writing to it?");
            }
            if (errno != EINTR) {
                CannotRead(path_, std::strerror(errno));
            }
        }
    }

    const std::string& path_;
    const TextFileLimits& limits_;
    Descriptor file_;
    bool waits_ = false;
    std::size_t size_ = 0;
    std::size_t read_ = 0;
};

#endif

std::string ReadAll(const std::string& path, const TextFileLimits& limits) {
    FileSource source(path, limits);
    std::string text;
    try {
        text.reserve(source.SizeHint());
    } catch (const std::bad_alloc&) {
        CannotRead(path, "There is not enough memory for its " + std::to_string(source.SizeHint()) +
                             " bytes.");
    }
    std::vector<char> chunk(kReadChunk);
    while (const std::size_t got = source.Read(chunk.data(), chunk.size())) {
        try {
            text.append(chunk.data(), got);
        } catch (const std::bad_alloc&) {
            OutOfMemory(path, text.size());
        }
    }
    return text;
}

} // namespace

std::string ReadTextFile(const std::string& path, const TextFileLimits& limits) {
    if (path.empty()) {
        CannotOpen(path, "No file name was given");
    }
    std::string text = ReadAll(path, limits);
    RefuseUtf16(path, text);
    return text;
}

TextLines ReadTextLines(const std::string& path, const TextFileLimits& limits) {
#ifndef _WIN32
    // Only the plain case is mapped: a regular file that opens and is not
    // empty. Everything else, errors included, takes ReadTextFile's path,
    // so that both give the same text and the same messages.
    if (!path.empty()) {
        // Without blocking: opening a named pipe that nobody writes to
        // would otherwise wait for a writer for ever.
        const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            struct stat info {};
            void* mapped = MAP_FAILED;
            std::size_t size = 0;
            if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
                static_cast<std::uint64_t>(info.st_size) <= limits.MaxBytes) {
                size = static_cast<std::size_t>(info.st_size);
                // Populated at once: one call maps every page the system
                // already holds, instead of a fault for each.
                mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            }
            close(fd);
            if (mapped != MAP_FAILED) {
                std::shared_ptr<const void> owner(
                    mapped, [size](const void* p) { munmap(const_cast<void*>(p), size); });
                const std::string_view text(static_cast<const char*>(mapped), size);
                RefuseUtf16(path, text);
                return TextLines(std::move(owner), text);
            }
        }
    }
#endif
    return TextLines(ReadTextFile(path, limits));
}

void SplitLinesInTurn(const ReadFn& read, const LineFn& eachLine, std::size_t firstRoom,
                      const StartFn& checkStart) {
    // One buffer serves the whole text: the lines whose ends have been read
    // are handed on, the start of a line read only in part moves to the
    // front, and the next read goes after it. It grows only for a line
    // longer than itself. Left uninitialised: every byte read is written by
    // the read first.
    std::size_t room = firstRoom > 0 ? firstRoom : 1;
    auto buffer = std::make_unique_for_overwrite<char[]>(room);
    std::size_t held = 0;  // bytes in the buffer, from the start of a line
    std::size_t total = 0; // bytes read so far
    bool checked = false;  // whether the start has been checked
    // The bytes at the start of the buffer that hold no line end, but for
    // a CR as the last of them.
    std::size_t searched = 0;
    for (;;) {
        if (held == room) {
            auto larger = std::make_unique_for_overwrite<char[]>(room * 2);
            std::memcpy(larger.get(), buffer.get(), held);
            buffer = std::move(larger);
            room *= 2;
        }
        const std::size_t got = read(buffer.get() + held, room - held);
        total += got;
        // A NUL ends the text: what stands before it is the last of it.
        const std::string_view fresh(buffer.get() + held, got);
        const std::string_view beforeNul = UpToNul(fresh);
        held += beforeNul.size();
        const bool ends = got == 0 || beforeNul.size() < fresh.size();
        const std::string_view text(buffer.get(), held);
        if (!checked && (total >= 2 || ends)) {
            if (checkStart) {
                checkStart(text);
            }
            checked = true;
        }
        if (ends) {
            SplitAtLineEnds(text, eachLine);
            return;
        }
        if (!checked) {
            continue;
        }
        // The lines up to the last line end are whole: the last LF, or a CR
        // after it with a byte that follows (not an LF, or that LF would be
        // the last line end). A CR as the last byte may yet be followed by
        // an LF. Only the bytes not yet searched can hold a line end, and
        // the CR just before them: a text whose lines end in CR alone is
        // handed on as it comes, like one of LF.
        const std::size_t from = searched > 0 ? searched - 1 : 0;
        const std::string_view unsearched = text.substr(from);
        searched = held;
        std::size_t whole = 0;
        if (const std::size_t lf = unsearched.rfind('\n'); lf != std::string_view::npos) {
            whole = from + lf + 1;
        }
        if (const std::size_t after = std::max(whole, from); after + 1 < held) {
            const std::size_t cr = text.substr(after, held - 1 - after).rfind('\r');
            if (cr != std::string_view::npos) {
                whole = after + cr + 1;
            }
        }
        if (whole == 0) {
            continue;
        }
        if (!SplitAtLineEnds(text.substr(0, whole), eachLine)) {
            return;
        }
        held -= whole;
        searched = held;
        std::memmove(buffer.get(), buffer.get() + whole, held);
    }
}

void ReadTextLinesInTurn(const std::string& path, const LineFn& eachLine,
                         const TextFileLimits& limits) {
    if (path.empty()) {
        CannotOpen(path, "No file name was given");
    }
    FileSource source(path, limits);
    const ReadFn read = [&source](char* into, std::size_t room) { return source.Read(into, room); };
    // Memory that runs out for the buffer is this reading's to report;
    // memory that runs out for what a line is kept in is its taker's.
    bool taking = false;
    const LineFn take = [&eachLine, &taking](std::string_view line) {
        taking = true;
        const bool more = eachLine(line);
        taking = false;
        return more;
    };
    try {
        SplitLinesInTurn(read, take, kLineBufferRoom,
                         [&path](std::string_view start) { RefuseUtf16(path, start); });
    } catch (const std::bad_alloc&) {
        if (taking) {
            throw;
        }
        OutOfMemory(path, source.BytesRead());
    }
}

} // namespace karvello
