#pragma once
// The bundled example pair, loaded as the workspace loads it: the input file
// into the marker table, then every map of the output file.

#include "tests/mapdata/TestText.h"

namespace karvello::test {

using ExampleMaps = Loaded;

inline ExampleMaps LoadBundledExample() {
    return LoadPair(KARVELLO_EXAMPLES_DIR "/mouse.raw",
                    KARVELLO_EXAMPLES_DIR "/mouse_tutorial.out");
}

} // namespace karvello::test
