// Karvello's program start: with arguments it is the command line, which
// needs no window and creates its own offscreen application object when it
// must measure text; without any it opens the windows.

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "platform/FileCanvases.h"
#include "ui/ProgramStart.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// On X11 and Wayland systems Qt ends the process with an abort when there is
// no display to open a window on; this tells that case apart beforehand.
bool NoDisplay() {
#if defined(__linux__) || defined(__FreeBSD__)
    const auto unset = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    return unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

// The message for a window asked for where there is no display.
constexpr const char* kNoDisplay = "karvello: there is no display to open the window on; "
                                   "\"karvello --help\" shows the command line\n";

// Whether standard output is a terminal, whose control characters a
// listing must not send raw.
bool OutputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
#ifdef _WIN32
        // The information text carries its own CR LF line ends; a text-mode
        // standard output would turn each into CR CR LF.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        const std::vector<std::string> args(argv + 1, argv + argc);
        // "karvello open INPUT OUTPUT" starts the window with the pair loaded,
        // so that a file manager or a script can open it.
        const auto openWindows = [argv](const std::string& input, const std::string& output) {
            if (NoDisplay()) {
                std::cerr << kNoDisplay;
                return 1;
            }
            int windowArgc = 1;
            return karvello::RunWindows(windowArgc, argv, karvello::FilesToOpen{input, output});
        };
        return karvello::RunCommandLine(args, std::cout, std::cerr, &karvello::CreateFileCanvas,
                                        openWindows, OutputIsTerminal());
    }
    if (NoDisplay()) {
        std::cerr << kNoDisplay;
        return 1;
    }
    return karvello::RunWindows(argc, argv);
}
