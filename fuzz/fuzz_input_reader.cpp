// Feeds arbitrary bytes to the input file reader and checks what it gives.

#include <cstddef>
#include <cstdint>
#include <string>

#include "mapdata/InputReader.h"
#include "mapdata/TextLines.h"

namespace {

// A broken promise of the reader: stop the fuzzer here.
void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace karvello;
    const TextLines text(std::string(reinterpret_cast<const char*>(data), size));
    TAllMarkers markers;
    ReadInputFile(text.lines(), markers);
    Require(markers.size() <= text.size());
    for (const auto& marker : markers) {
        // A name never holds the separators that end it.
        Require(marker.Name.find(' ') == std::string::npos);
        Require(marker.Name.find('\t') == std::string::npos);
        Require(marker.Colour == 0 && !marker.Mapped && marker.Chromosome == 0 &&
                marker.Position == 0);
    }
    return 0;
}
