#include "base/FileWriter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

#include "base/Text.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace karvello {

namespace {

// Enough to keep the number of system calls small for writers that hand
// over a few bytes at a time (the PDF writer does).
constexpr std::size_t kBufferBytes = 1 << 16;

#ifdef _WIN32
using NativeStat = struct _stat64;
int StatPath(const std::string& path, NativeStat& info) {
    return _wstat64(std::filesystem::path(path).c_str(), &info);
}
int OpenNew(const std::string& path) {
    return _wopen(std::filesystem::path(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                  _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const char* data, std::size_t size) {
    const unsigned int piece = size > (1u << 30) ? (1u << 30) : static_cast<unsigned int>(size);
    return _write(fd, data, piece);
}
int SyncFile(int fd) {
    return _commit(fd);
}
int CloseFile(int fd) {
    return _close(fd);
}
void RemoveFile(const std::string& path) {
    _wunlink(std::filesystem::path(path).c_str());
}
// Returns 0 or an error text.
std::string RenameOver(const std::string& from, const std::string& to) {
    if (MoveFileExW(std::filesystem::path(from).c_str(), std::filesystem::path(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    return std::system_category().message(static_cast<int>(GetLastError()));
}
bool IsRegular(const NativeStat& info) {
    return (info.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsFolder(const NativeStat& info) {
    return (info.st_mode & _S_IFMT) == _S_IFDIR;
}
bool IsPipe(const NativeStat& info) {
    return (info.st_mode & _S_IFMT) == _S_IFIFO;
}
#else
using NativeStat = struct stat;
int StatPath(const std::string& path, NativeStat& info) {
    return stat(path.c_str(), &info);
}
int OpenNew(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
ssize_t WriteSome(int fd, const char* data, std::size_t size) {
    return write(fd, data, size);
}
int SyncFile(int fd) {
    return fsync(fd);
}
int CloseFile(int fd) {
    return close(fd);
}
void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}
std::string RenameOver(const std::string& from, const std::string& to) {
    if (rename(from.c_str(), to.c_str()) == 0) {
        return {};
    }
    return SystemErrorText(errno);
}
bool IsRegular(const NativeStat& info) {
    return S_ISREG(info.st_mode);
}
bool IsFolder(const NativeStat& info) {
    return S_ISDIR(info.st_mode);
}
bool IsPipe(const NativeStat& info) {
    return S_ISFIFO(info.st_mode);
}
#endif

// The folder part of path with its separator, or empty for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of(
#ifdef _WIN32
        "/\\"
#else
        "/"
#endif
    );
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A name no other writer picks: the process's clock and a counter.
std::string TemporaryName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned long long mixed =
        ticks * 0x9E3779B97F4A7C15ull + counter.fetch_add(1) * 0xBF58476D1CE4E5B9ull;
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuv";
    std::string name = folder + ".karvello-";
    for (int i = 0; i < 10; ++i) {
        name += kDigits[(mixed >> (5 * i)) & 31];
    }
    return name + ".tmp";
}

} // namespace

std::string SystemErrorText(int errorNumber) {
    std::string text = std::system_category().message(errorNumber);
    if (text.empty() || text.starts_with("Unknown error")) {
        return "The system reported error number " + std::to_string(errorNumber) + ".";
    }
    return text;
}

FileCreateError::FileCreateError(const std::string& path, std::string reason)
    : KarvelloError("Cannot create file \"" + FullPathForMessage(path) + "\". " + reason),
      reason_(std::move(reason)) {}

AtomicFileWriter::AtomicFileWriter(const std::string& path) : path_(path), target_(path) {
    if (path.empty()) {
        throw FileCreateError(path, "No file name was given.");
    }
    NativeStat info{};
    if (StatPath(path, info) == 0) {
        if (IsFolder(info)) {
            throw FileCreateError(path, "It is a folder, not a file.");
        }
        if (IsPipe(info)) {
            throw FileCreateError(path, "It is a named pipe (FIFO), not a regular file.");
        }
        if (!IsRegular(info)) {
            throw FileCreateError(path, "It is a device or socket, not a regular file.");
        }
#ifndef _WIN32
        if (access(path.c_str(), W_OK) != 0) {
            throw FileCreateError(path, SystemErrorText(errno));
        }
        // Replace the file a link points at, not the link.
        std::error_code ec;
        const auto resolved = std::filesystem::canonical(path, ec);
        if (!ec) {
            target_ = resolved.string();
        }
#endif
    }
    const std::string folder = FolderOf(target_);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporary_ = TemporaryName(folder);
        fd_ = OpenNew(temporary_);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            throw FileCreateError(path, SystemErrorText(errno));
        }
    }
#ifndef _WIN32
    if (StatPath(target_, info) == 0) {
        // The new file keeps the permissions of the one it replaces.
        fchmod(fd_, info.st_mode & 07777);
    }
#endif
    buffer_.reserve(kBufferBytes);
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) {
        CloseFile(fd_);
        fd_ = -1;
        RemoveFile(temporary_);
    }
}

void AtomicFileWriter::Fail(const std::string& reason) {
    Discard();
    failed_ = true;
    throw KarvelloError("Cannot write file \"" + FullPathForMessage(path_) + "\". " + reason);
}

void AtomicFileWriter::Flush() {
    const char* data = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const auto written = WriteSome(fd_, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            Fail(SystemErrorText(written < 0 ? errno : ENOSPC));
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    buffer_.clear();
}

void AtomicFileWriter::Write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        Fail(committed_ ? "The file is already complete." : "Writing it failed before.");
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const std::size_t room = kBufferBytes - buffer_.size();
        const std::size_t piece = size < room ? size : room;
        buffer_.insert(buffer_.end(), bytes, bytes + piece);
        bytes += piece;
        size -= piece;
        if (buffer_.size() == kBufferBytes) {
            Flush();
        }
    }
}

void AtomicFileWriter::Commit() {
    if (fd_ < 0) {
        Fail(committed_ ? "The file is already complete." : "Writing it failed before.");
    }
    Flush();
    // A file system may report a full disk only when the data reaches it;
    // one that cannot sync at all (EINVAL) has nothing more to report.
    if (SyncFile(fd_) != 0 && errno != EINVAL && errno != ENOTSUP) {
        Fail(SystemErrorText(errno));
    }
    const int fd = fd_;
    fd_ = -1;
    if (CloseFile(fd) != 0) {
        const int error = errno;
        RemoveFile(temporary_);
        failed_ = true;
        Fail(SystemErrorText(error));
    }
    if (const std::string error = RenameOver(temporary_, target_); !error.empty()) {
        RemoveFile(temporary_);
        Fail(error);
    }
    committed_ = true;
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

} // namespace karvello
