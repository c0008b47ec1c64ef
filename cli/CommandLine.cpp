#include "cli/CommandLine.h"

#include <exception>
#include <new>
#include <ostream>

#include "base/Text.h"
#include "cli/Commands.h"
#include "cli/Request.h"
#include "drawing/DrawingFormats.h"
#include "render/FileCanvases.h"

namespace karvello {

namespace {

// Writes the text and checks that it arrived: a full disk or a closed pipe
// must not end in the status that says everything was done.
bool Deliver(std::ostream& out, const std::string& text) {
    out << text;
    out.flush();
    return !out.fail();
}

// What goes to standard output for the request; warnings collects what the
// user should know although the request succeeds. Throws what RunRequest
// throws.
std::string Result(const CliRequest& request, const FileCanvasFactory& canvases,
                   std::vector<std::string>& warnings) {
    switch (request.Command) {
    case CliCommand::Help:
        return UsageText();
    case CliCommand::Version:
        return "karvello " KARVELLO_VERSION "\n";
    default:
        return RunRequest(request, canvases, &warnings);
    }
}

} // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const FileCanvasFactory& canvases, const OpenWindows& openWindows,
                   bool outIsTerminal) {
    CliRequest request;
    try {
        request = ParseCommandLine(args);
    } catch (const UsageError& error) {
        err << "karvello: " << EscapeControlCharacters(error.what())
            << "\nTry \"karvello --help\".\n";
        return 2;
    }
    if (request.Command == CliCommand::Open) {
        if (!openWindows) {
            err << "karvello: there are no windows to open here\n";
            return 1;
        }
        return openWindows(request.InputPath, request.OutputPath);
    }
    // The whole result is built before anything is written, so that a
    // failure leaves standard output empty.
    std::string text;
    std::vector<std::string> warnings;
    const auto warn = [&] {
        for (const std::string& warning : warnings) {
            err << "karvello: warning: " << EscapeControlCharacters(warning) << "\n";
        }
    };
    try {
        text = Result(request, canvases, warnings);
    } catch (const FullProgramNeeded&) {
        throw;
    } catch (const std::bad_alloc&) {
        // The operations name what they were doing when they can; this is
        // the rest (building the listing or the help text, say).
        err << "karvello: Not enough memory to finish the command.\n";
        return 1;
    } catch (const std::exception& error) {
        warn();
        err << "karvello: " << EscapeControlCharacters(error.what()) << "\n";
        return 1;
    }
    warn();
    if (outIsTerminal) {
        text = EscapeControlCharacters(text);
    }
    if (!Deliver(out, text)) {
        err << "karvello: Cannot write to standard output\n";
        return 1;
    }
    return 0;
}

bool CommandNeedsNoCanvas(const std::vector<std::string>& args) {
    return !args.empty() && (args.front() == "info" || args.front() == "maps");
}

bool CommandDrawsBuiltInFormat(const std::vector<std::string>& args) {
    if (args.empty() || args.front() != "draw") {
        return false;
    }
    try {
        const std::optional<DrawingFormat> format =
            DrawingFormatOf(ParseCommandLine(args).DrawPath);
        return format == DrawingFormat::Emf || format == DrawingFormat::Svg;
    } catch (const UsageError&) {
        return false;
    }
}

} // namespace karvello
