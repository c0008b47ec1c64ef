// Feeds arbitrary bytes to the input file reader and checks what it gives,
// and that the text read in pieces, as files are, gives the same lines and
// the same markers as the text split whole.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    MarkerTable markers;
    ReadInputFile(text.lines(), markers);
    Require(markers.size() <= text.size());
    for (const auto& marker : markers) {
        // A name never holds the separators that end it.
        Require(marker.Name.find(' ') == std::string::npos);
        Require(marker.Name.find('\t') == std::string::npos);
        Require(marker.Colour == 0 && !marker.Mapped && marker.Chromosome == 0 &&
                marker.Position == 0);
    }

    // Room and piece sizes drawn from the size, so that the text itself
    // stays the input file it is.
    const std::size_t room = 1 + size % 13;
    const std::size_t piece = 1 + size % 7;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    const ReadFn read = [&](char* into, std::size_t space) {
        const std::size_t n = std::min({piece, space, bytes.size() - at});
        std::copy_n(bytes.data() + at, n, into);
        at += n;
        return n;
    };
    std::vector<std::string> lines;
    MarkerTable streamed;
    InputFileReader reader(streamed, text.size());
    bool taking = true;
    SplitLinesInTurn(
        read,
        [&](std::string_view line) {
            lines.emplace_back(line);
            taking = taking && reader.Take(line);
            return true;
        },
        room);
    Require(lines == std::vector<std::string>(text.lines().begin(), text.lines().end()));
    Require(streamed == markers);
    return 0;
}
