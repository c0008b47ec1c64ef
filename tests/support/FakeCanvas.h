#pragma once
// File canvases for tests that stand in for the real file formats: every
// canvas draws on one recording surface and tells which paths were asked
// for and which were committed, so a test sees both what was drawn and
// whether a file would have been written.

#include <string>
#include <vector>

#include "drawing/Canvas.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {

struct FakeCanvases {
    std::vector<std::string> paths;      // every path a canvas was made for, in order
    std::vector<std::string> commits;    // the paths of the canvases committed, in order
    std::vector<FigureSettings> figures; // the figure settings of every canvas made, in order
    RecordingSurface surface;            // what every canvas drew
    // When more than 0, a canvas's Commit works in that many steps and
    // reports each to the progress it is given, as an image canvas does.
    int commitSteps = 0;

    // A factory that makes canvases recording into this object, which must
    // outlive them.
    FileCanvasFactory Factory();
};

} // namespace karvello::test
