#pragma once
// The bundled example pair, loaded as the workspace loads it: the input file
// into the marker table, then every map of the output file.

#include <string>
#include <vector>

#include "mapdata/InputReader.h"
#include "mapdata/OutputReader.h"
#include "mapdata/TextLines.h"
#include "mapdata/ZazereZeve.h"

namespace karvello::test {

struct ExampleMaps {
    TAllMarkers markers;
    std::vector<TChrData> maps;
};

inline ExampleMaps LoadExampleMaps(const std::string& inputPath, const std::string& outputPath) {
    ExampleMaps example;
    const TextLines input(ReadTextFile(inputPath));
    ReadInputFile(input.lines(), example.markers);
    const TextLines output(ReadTextFile(outputPath));
    int line = 0;
    while (line != -1) {
        TChrData map;
        map.MapNumber = static_cast<std::int32_t>(example.maps.size()) + 1;
        line = FindNextMap(output.lines(), line, example.markers, map);
        if (line != -1) {
            example.maps.push_back(std::move(map));
        }
    }
    return example;
}

inline ExampleMaps LoadBundledExample() {
    return LoadExampleMaps(KARVELLO_EXAMPLES_DIR "/mouse.raw", KARVELLO_EXAMPLES_DIR "/mouse_tutorial.out");
}

} // namespace karvello::test
