// The program users run. It carries out the commands that only read (info
// and maps) itself, without the toolkit: loading the toolkit's libraries
// takes longer than those commands take on most files. Everything else (the
// windows, open, draw, help) is the full program beside it, karvello-qt,
// which it becomes with the same arguments.

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

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (karvello::CommandNeedsNoCanvas(args)) {
        karvello::PrepareHeapForLargeWork(std::size_t{32} << 20);
        return karvello::RunCommandLine(args, std::cout, std::cerr, {}, {},
                                        isatty(STDOUT_FILENO) != 0);
    }
    const std::string full = FullProgram(argv[0]);
    execv(full.c_str(), argv);
    std::cerr << "karvello: cannot start the program \"" << full << "\": " << std::strerror(errno)
              << "\n";
    return 1;
}
