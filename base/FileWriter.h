#pragma once
// All-or-nothing file writing. The bytes go to a new file beside the target,
// under a temporary name in the same folder; only a file whose every byte
// was written, flushed and synced takes the target's name, by one rename.
// Any failure, and a writer destroyed without Commit, removes the temporary
// file and leaves whatever was at the target as it was.
//
// Paths are passed to the system as the bytes they are (on Windows, in the
// system's 8-bit code page), so a name in any encoding is written under
// exactly that name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"

namespace karvello {

// The target of a write could not be prepared. The message is
// "Cannot create file "<full path>". <reason>"; Reason() is the reason alone,
// for callers that phrase the failure their own way.
class FileCreateError : public KarvelloError {
  public:
    FileCreateError(const std::string& path, std::string reason);
    const std::string& Reason() const { return reason_; }

  private:
    std::string reason_;
};

class AtomicFileWriter {
  public:
    // Creates the temporary file for path. A target that exists must be a
    // regular file (or a link to one, which stays a link: the file it points
    // at is replaced) that may be written; a folder, a named pipe or a device
    // is refused. Throws FileCreateError with the system's reason.
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends bytes. Throws KarvelloError "Cannot write file "<full path>".
    // <reason>" when the system refuses them (a full disk, say); the writer
    // is then closed and its temporary file removed.
    void Write(const void* data, std::size_t size);
    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
    void Write(const std::vector<std::uint8_t>& bytes) { Write(bytes.data(), bytes.size()); }

    // Flushes, syncs and closes the file, then gives it the target's name.
    // Throws KarvelloError "Cannot write file ..." as Write does; also when
    // called twice or after a failure.
    void Commit();

    // Gives up: removes the temporary file. Safe to call at any time.
    void Discard();

    // The target as given.
    const std::string& Path() const { return path_; }
    bool Committed() const { return committed_; }

  private:
    void Flush();
    [[noreturn]] void Fail(const std::string& reason);

    std::string path_;   // as given
    std::string target_; // the file that is replaced: path_ with links followed
    std::string temporary_;
    int fd_ = -1;
    std::vector<char> buffer_;
    bool committed_ = false;
    bool failed_ = false;
};

// Writes bytes to path all or nothing, as AtomicFileWriter writes them.
// Throws FileCreateError or KarvelloError "Cannot write file ...".
void WriteWholeFile(const std::string& path, std::string_view bytes);

// The system's text for an error number, never empty.
std::string SystemErrorText(int errorNumber);

} // namespace karvello
