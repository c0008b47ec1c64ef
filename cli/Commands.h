#pragma once
// Carries out a parsed command-line request on a workspace.

#include <string>
#include <vector>

#include "cli/Request.h"
#include "drawing/Canvas.h"
#include "mapdata/MapRecords.h"
#include "workspace/Workspace.h"

namespace karvello {

// Runs info, maps or draw and returns what goes to standard output. Draw
// writes through canvases from the factory. Throws KarvelloError with the
// message for the user (a file that cannot be opened, a mismatched pair, a map
// or marker that does not exist, a drawing that fails). When warnings is
// given, what the load found odd (Workspace::LoadWarnings) and a drawing that
// will not look as meant (Workspace::DrawWarning) are appended to it, also
// when the request then fails.
std::string RunRequest(const CliRequest& request, const FileCanvasFactory& canvasFactory,
                       std::vector<std::string>* warnings = nullptr);

// The maps listing: one line per map, "number TAB markers TAB placed TAB
// length in cM", each ended by LF.
std::string MapsListing(const Workspace& workspace);

// Resolves "FROM-TO" against the marker table: each side is a marker index
// counted from 0 (a decimal number) or else a marker name (its first
// occurrence). A name may hold "-": the pair is split at the one "-" where
// both sides name markers. Throws KarvelloError naming what is unknown, or
// when more than one split fits.
ColourRange ResolveRange(const CliRange& range, const MarkerTable& markers);

} // namespace karvello
