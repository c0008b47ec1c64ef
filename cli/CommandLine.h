#pragma once
// The command line: karvello info|maps|draw ...

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "drawing/Canvas.h"

namespace karvello {

// Opens the windows with the Mapmaker input and output file loaded, for
// "karvello open"; returns the program's exit status.
using OpenWindows = std::function<int(const std::string& input, const std::string& output)>;

// Runs the command line given by args (without the program name), writing to
// out and err; draw writes through canvases. Returns the exit status: 0
// success, 1 error (a command that fails, or out refusing what was written
// to it), 2 usage error; for "open", what openWindows returns (1 when there
// is none). Messages on err never carry a control character that could
// steer a terminal (EscapeControlCharacters); what goes to out is escaped so
// only when outIsTerminal, and otherwise written as it is, names included.
// When canvases throws FullProgramNeeded (see
// render/FileCanvases.h), that passes through with nothing written to out
// or err, so that the caller may hand the command to the full program.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const FileCanvasFactory& canvases, const OpenWindows& openWindows = {},
                   bool outIsTerminal = false);

// Whether the command that args name (info or maps) never draws, so that a
// program without the file canvases can carry it out.
bool CommandNeedsNoCanvas(const std::vector<std::string>& args);

// Whether args name a draw into a file that the canvases of render/ write
// (.emf or .svg), well formed, so that a program without Qt may try it with
// CreateBuiltInFileCanvas; whether its face can be measured there is known
// only once its settings are read.
bool CommandDrawsBuiltInFormat(const std::vector<std::string>& args);

} // namespace karvello
