// Writes a generated Mapmaker pair for the scripts that time whole runs:
//   karvello_generate_pair FOLDER [MAPS FRAMEWORK PLACED GENOTYPES]
// Without a shape it writes the large pair: 5,000 maps of 36 framework and
// 4 placed markers, 250 genotypes a marker.

#include <charconv>
#include <cstdio>
#include <exception>
#include <string_view>

#include "benchmarks/pairs/GeneratedPair.h"

namespace {

bool ReadCount(const char* text, long& value) {
    const std::string_view view(text);
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    return error == std::errc() && end == view.data() + view.size() && value >= 0;
}

} // namespace

int main(int argc, char** argv) {
    using karvello::bench::PairShape;
    PairShape shape = karvello::bench::kLargeShape;
    if (argc == 6) {
        if (!ReadCount(argv[2], shape.Maps) || !ReadCount(argv[3], shape.Framework) ||
            !ReadCount(argv[4], shape.Placed) || !ReadCount(argv[5], shape.Genotypes) ||
            shape.Framework < 1) {
            std::fputs("karvello_generate_pair: the counts must be whole numbers, framework 1 "
                       "or more\n",
                       stderr);
            return 2;
        }
    } else if (argc != 2) {
        std::fputs("usage: karvello_generate_pair FOLDER [MAPS FRAMEWORK PLACED GENOTYPES]\n",
                   stderr);
        return 2;
    }
    try {
        const auto pair = karvello::bench::WritePair(argv[1], shape);
        std::printf("%s\n%s\n", pair.Input.c_str(), pair.Output.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "karvello_generate_pair: %s\n", error.what());
        return 1;
    }
    return 0;
}
