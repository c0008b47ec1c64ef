#include "mapdata/TextLines.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <fcntl.h>
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

TextLines ReadTextLines(const std::string& path) {
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
            if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
                size = static_cast<std::size_t>(info.st_size);
                // Populated at once: one call maps every page the system
                // already holds, instead of a fault for each.
                mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            }
            close(fd);
            if (mapped != MAP_FAILED) {
                std::shared_ptr<const void> owner(
                    mapped, [size](const void* p) { munmap(const_cast<void*>(p), size); });
                return TextLines(std::move(owner),
                                 std::string_view(static_cast<const char*>(mapped), size));
            }
        }
    }
#endif
    return TextLines(ReadTextFile(path));
}

} // namespace karvello
