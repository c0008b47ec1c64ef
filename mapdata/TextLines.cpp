#include "mapdata/TextLines.h"

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

std::vector<std::string_view> SplitLines(std::string_view text) {
    // Each line is found with memchr, the fastest search the library has:
    // the next LF, then any NUL (which ends the text) and any CR before it.
    std::vector<std::string_view> lines;
    // Room reserved once, so that the list never moves as it grows:
    // Mapmaker's lines are seldom shorter than 24 characters, and room that
    // is never written costs no memory.
    ReserveLarge(lines, text.size() / 24 + 16);
    const char* const begin = text.data();
    std::size_t size = text.size();
    std::size_t start = 0;
    // The usual text holds neither NUL nor CR: two searches of the whole
    // text say so, and its lines are then found by LF alone.
    if (const void* nul = std::memchr(begin, '\0', size); nul != nullptr) {
        size = static_cast<std::size_t>(static_cast<const char*>(nul) - begin);
    }
    if (std::memchr(begin, '\r', size) == nullptr) {
        while (start < size) {
            const void* lf = std::memchr(begin + start, '\n', size - start);
            if (lf == nullptr) {
                lines.push_back(text.substr(start, size - start));
                break;
            }
            const auto end = static_cast<std::size_t>(static_cast<const char*>(lf) - begin);
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    while (start < size) {
        const void* lf = std::memchr(begin + start, '\n', size - start);
        std::size_t end =
            lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin) : size;
        if (const void* nul = std::memchr(begin + start, '\0', end - start); nul != nullptr) {
            size = static_cast<std::size_t>(static_cast<const char*>(nul) - begin);
            end = size;
            lf = nullptr;
        }
        // A CR ends a line of its own, unless the LF follows it: CR LF is
        // one line end.
        bool crLf = false;
        while (start < end) {
            const void* cr = std::memchr(begin + start, '\r', end - start);
            if (cr == nullptr) {
                break;
            }
            const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
            lines.push_back(text.substr(start, at - start));
            start = at + 1;
            if (lf != nullptr && start == end) {
                crLf = true;
                break;
            }
        }
        if (lf == nullptr) {
            if (start < end) {
                lines.push_back(text.substr(start, end - start));
            }
            break;
        }
        if (!crLf) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

TextLines::TextLines(std::string text) {
    auto kept = std::make_shared<const std::string>(std::move(text));
    lines_ = SplitLines(*kept);
    owner_ = std::move(kept);
}

TextLines::TextLines(std::shared_ptr<const void> owner, std::string_view text)
    : owner_(std::move(owner)), lines_(SplitLines(text)) {}

namespace {

constexpr std::size_t kReadChunk = 1 << 16;

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

// Appends size bytes, turning a failed allocation into an error that says
// what ran out while doing what.
void Append(std::string& text, const char* data, std::size_t size, const std::string& path,
            const TextFileLimits& limits) {
    if (size > limits.MaxBytes - text.size()) {
        TooLong(path, limits);
    }
    try {
        text.append(data, size);
    } catch (const std::bad_alloc&) {
        CannotRead(path, "The memory ran out after " + std::to_string(text.size()) +
                             " bytes of it had been read.");
    }
}

// Text saved by an editor as UTF-16 begins with its byte-order mark. Every
// Mapmaker file is 8-bit text; read as such, UTF-16 gives names with a NUL
// after each letter and no maps, so it is refused with what to do instead.
void RefuseUtf16(const std::string& path, std::string_view text) {
    if (text.size() >= 2 &&
        ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        CannotRead(path, "It is saved as UTF-16 (Unicode) text; Karvello reads 8-bit text. Save it "
                         "again as plain text (UTF-8 for a map table, ANSI or Latin-1 for a "
                         "Mapmaker file) and open that.");
    }
}

#ifdef _WIN32

std::string ReadAll(const std::string& path, const TextFileLimits& limits) {
    errno = 0;
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) {
        CannotOpen(path, std::strerror(errno != 0 ? errno : ENOENT));
    }
    std::string text;
    std::vector<char> chunk(kReadChunk);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        Append(text, chunk.data(), static_cast<std::size_t>(in.gcount()), path, limits);
    }
    if (in.bad()) {
        CannotRead(path, std::strerror(errno != 0 ? errno : EIO));
    }
    return text;
}

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

// Opened without blocking, so that opening a named pipe nobody writes to
// returns at once; the reads then wait for data with poll, each wait at
// most limits.Silence long.
std::string ReadAll(const std::string& path, const TextFileLimits& limits) {
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        CannotOpen(path, std::strerror(errno));
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0) {
        CannotRead(path, std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        CannotOpen(path, std::strerror(EISDIR));
    }
    std::string text;
    if (S_ISREG(info.st_mode) && info.st_size > 0) {
        if (static_cast<std::uint64_t>(info.st_size) > limits.MaxBytes) {
            TooLong(path, limits);
        }
        try {
            text.reserve(static_cast<std::size_t>(info.st_size));
        } catch (const std::bad_alloc&) {
            CannotRead(path, "There is not enough memory for its " + std::to_string(info.st_size) +
                                 " bytes.");
        }
    }
    // A pipe read without a writer gives end of file at once, so for
    // anything but a regular file the read waits with poll until there is
    // data, or the writer has come and gone.
    const bool waits = !S_ISREG(info.st_mode);
    std::vector<char> chunk(kReadChunk);
    for (;;) {
        if (waits) {
            pollfd wait{file.get(), POLLIN, 0};
            const int ready = poll(&wait, 1, static_cast<int>(limits.Silence.count()));
            if (ready == 0) {
                const auto ms = limits.Silence.count();
                CannotRead(path, "Nothing arrived from it for " +
                                     (ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds"
                                                     : std::to_string(ms) + " ms") +
                                     "; is anything writing to it?");
            }
            if (ready < 0) {
                if (errno == EINTR) {
                    continue;
                }
                CannotRead(path, std::strerror(errno));
            }
        }
        const ssize_t got = read(file.get(), chunk.data(), chunk.size());
        if (got > 0) {
            Append(text, chunk.data(), static_cast<std::size_t>(got), path, limits);
        } else if (got == 0) {
            return text;
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            CannotRead(path, std::strerror(errno));
        }
    }
}

#endif

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
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

} // namespace karvello
