// The program users run. It carries out itself, without the toolkit, the
// commands that only read (info and maps) and the drawings into a metafile
// or an SVG image in a face of the built-in tables: loading the toolkit's
// libraries takes longer than those commands take on most files. Everything
// else (the windows, open, help, PDF and PNG, other faces) is the full
// program beside it, karvello-qt, which it becomes with the same arguments.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "base/Memory.h"
#include "cli/CommandLine.h"
#include "render/FileCanvases.h"

namespace {

// The full program's path: beside this program's own file.
std::string FullProgram(const char* invokedAs) {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        self = invokedAs;
    }
    return (self.parent_path() / "karvello-qt").string();
}

// Becomes the full program with the same arguments; returns only when that
// cannot start, with the status to end with.
int BecomeFullProgram(char** argv) {
    const std::string full = FullProgram(argv[0]);
    execv(full.c_str(), argv);
    std::cerr << "karvello: cannot start the program \"" << full << "\": " << std::strerror(errno)
              << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (karvello::CommandNeedsNoCanvas(args) || karvello::CommandDrawsBuiltInFormat(args)) {
        karvello::PrepareHeapForLargeWork(std::size_t{32} << 20);
        try {
            return karvello::RunCommandLine(args, std::cout, std::cerr,
                                            &karvello::CreateBuiltInFileCanvas);
        } catch (const karvello::FullProgramNeeded& reason) {
            // Nothing is written yet: the full program starts afresh.
            const int status = BecomeFullProgram(argv);
            std::cerr << "karvello: " << reason.what() << "\n";
            return status;
        }
    }
    return BecomeFullProgram(argv);
}
