#pragma once
// Mapmaker file pairs made up for the benchmarks, shaped like real ones: an
// F2 input file with one line of genotypes per marker, and an output log of
// maps, each with its framework markers, distances (a zero now and then, so
// that markers share a position) and a table of markers placed relative to
// it. Every marker of the input file appears once in the log. The same shape
// always gives the same bytes.

#include <cstdint>
#include <filesystem>
#include <string>

namespace karvello::bench {

struct PairShape {
    long Maps = 0;
    long Framework = 0; // framework markers on each map
    long Placed = 0;    // markers placed relative to each map
    long Genotypes = 0; // genotype characters of each marker
    long Markers() const { return Maps * (Framework + Placed); }
};

// 200,000 markers in 5,000 maps with 250 genotypes each, as real input files
// have them: a 52 MB input file and a 7 MB log.
inline constexpr PairShape kLargeShape{5000, 36, 4, 250};

std::string InputText(const PairShape& shape);
std::string OutputText(const PairShape& shape);

struct GeneratedPair {
    std::string Input;  // path of the input file
    std::string Output; // path of the output log
    std::uint64_t Bytes = 0;
    double Megabytes() const { return static_cast<double>(Bytes) / 1e6; }
};

// Writes the pair into folder (created when missing) as input.raw and
// output.txt. Throws std::runtime_error when a file cannot be written whole.
GeneratedPair WritePair(const std::filesystem::path& folder, const PairShape& shape);

} // namespace karvello::bench
