// Karvello's program start: with arguments it is the command line, which
// needs no window and creates its own offscreen application object when it
// must measure text; without any it opens the windows.

#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "ui/ProgramStart.h"

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return karvello::RunCommandLine(args, std::cout, std::cerr);
    }
    return karvello::RunWindows(argc, argv);
}
