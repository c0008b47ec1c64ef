// The program users run. It carries out itself, without the toolkit, the
// commands that only read (info and maps) and the drawings into a metafile
// or an SVG image in a face of the built-in tables: loading the toolkit's
// libraries takes longer than those commands take on most files. Where the
// full program is beside it (karvello-qt, KARVELLO_FULL_PROGRAM), everything
// else (the windows, open, help, PDF and PNG, other faces) is that program,
// which it becomes with the same arguments; where it is not, the command
// line is this program's alone, and a drawing it cannot make is refused
// with the reason.

#include <iostream>
#include <string>
#include <vector>

#include "base/Memory.h"
#include "cli/CommandLine.h"
#include "render/FileCanvases.h"

#ifdef KARVELLO_FULL_PROGRAM
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#endif
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef KARVELLO_FULL_PROGRAM
// The full program's path: beside this program's own file.
std::string FullProgram(const char* invokedAs) {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        self = invokedAs;
    }
    return (self.parent_path() / KARVELLO_FULL_PROGRAM).string();
}
#endif

// Whether standard output is a terminal, whose control characters a
// listing must not send raw.
bool OutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

// Becomes the full program with the same arguments; returns only when there
// is none or it cannot start, with the status to end with.
int BecomeFullProgram(char** argv) {
#ifdef KARVELLO_FULL_PROGRAM
    const std::string full = FullProgram(argv[0]);
    execv(full.c_str(), argv);
    std::cerr << "karvello: cannot start the program \"" << full << "\": " << std::strerror(errno)
              << "\n";
#else
    static_cast<void>(argv);
#endif
    return 1;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The information text carries its own CR LF line ends; a text-mode
    // standard output would turn each into CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef KARVELLO_FULL_PROGRAM
    if (!karvello::CommandNeedsNoCanvas(args) && !karvello::CommandDrawsBuiltInFormat(args)) {
        return BecomeFullProgram(argv);
    }
#endif
    karvello::PrepareHeapForLargeWork(std::size_t{32} << 20);
    try {
        return karvello::RunCommandLine(args, std::cout, std::cerr,
                                        &karvello::CreateBuiltInFileCanvas, {}, OutputIsTerminal());
    } catch (const karvello::FullProgramNeeded& reason) {
        // Nothing is written yet: the full program starts afresh.
        const int status = BecomeFullProgram(argv);
        std::cerr << "karvello: " << reason.what() << "\n";
        return status;
    }
}
