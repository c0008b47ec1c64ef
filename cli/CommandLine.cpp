#include "cli/CommandLine.h"

#include <exception>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Request.h"
#include "platform/FileCanvases.h"

namespace karvello {

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliRequest request;
    try {
        request = ParseCommandLine(args);
    } catch (const UsageError& error) {
        err << "karvello: " << error.what() << "\nTry \"karvello --help\".\n";
        return 2;
    }
    switch (request.Command) {
    case CliCommand::Help:
        out << UsageText();
        return 0;
    case CliCommand::Version:
        out << "karvello " << KARVELLO_VERSION << "\n";
        return 0;
    default:
        break;
    }
    try {
        // The whole result is built before anything is written, so that a
        // failure leaves standard output empty. Only a canvas needs Qt, and
        // creating one starts Qt's GUI on the offscreen platform, so info,
        // maps and a draw refused before its file is opened never start it.
        const std::string text = RunRequest(request, [](const std::string& path) {
            return CreateFileCanvas(path);
        });
        out << text;
        out.flush();
        return 0;
    } catch (const std::exception& error) {
        err << "karvello: " << error.what() << "\n";
        return 1;
    }
}

} // namespace karvello
