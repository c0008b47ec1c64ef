#include "benchmarks/pairs/GeneratedPair.h"

#include <charconv>
#include <fstream>
#include <stdexcept>

namespace karvello::bench {
namespace {

void AppendInt(std::string& text, long value, int width = 0) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    for (int pad = width - static_cast<int>(end - buffer); pad > 0; --pad) {
        text += ' ';
    }
    text.append(buffer, end);
}

void AppendMarkerName(std::string& text, long number) {
    text += 'M';
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
    for (auto pad = 6 - (end - buffer); pad > 0; --pad) {
        text += '0';
    }
    text.append(buffer, end);
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

std::string InputText(const PairShape& shape) {
    const long markers = shape.Markers();
    std::string input = "data type f2 intercross\n";
    AppendInt(input, shape.Genotypes);
    input += ' ';
    AppendInt(input, markers);
    input += " 0 symbols 1=A 2=B 3=H 4=C 5=D 0=-\n";
    input.reserve(input.size() + static_cast<std::size_t>(markers * (shape.Genotypes + 10)));
    // Codes 1, 2, 3 and now and then a missing 0; one marker in nine is
    // dominant, through a single 4 somewhere in its line, so the reader
    // cannot stop early on most lines.
    std::uint32_t random = 12345;
    for (long m = 1; m <= markers; ++m) {
        input += '*';
        AppendMarkerName(input, m);
        input += ' ';
        const long dominantAt = m % 9 == 0 && shape.Genotypes > 0 ? (m * 31) % shape.Genotypes : -1;
        for (long g = 0; g < shape.Genotypes; ++g) {
            random = random * 1664525u + 1013904223u;
            const std::uint32_t pick = (random >> 24) % 16;
            input += g == dominantAt ? '4' : pick == 0 ? '0' : static_cast<char>('1' + pick % 3);
        }
        input += '\n';
    }
    return input;
}

std::string OutputText(const PairShape& shape) {
    std::string output = "MAPMAKER/EXP (version 3.0b)\n\n";
    long next = 1;
    for (long map = 0; map < shape.Maps; ++map) {
        output += "Map:                        \n  Markers          Distance \n";
        for (long i = 0; i < shape.Framework; ++i, ++next) {
            AppendInt(output, next, 5);
            output += "  ";
            AppendMarkerName(output, next);
            if (i + 1 == shape.Framework) {
                output += "       ----------\n";
            } else {
                const long tenths = (next % 11 == 0) ? 0 : 5 + (next * 37) % 180;
                output += "    ";
                AppendInt(output, tenths / 10, 3);
                output += '.';
                AppendInt(output, tenths % 10);
                output += " cM\n";
            }
        }
        output += "                    66.8 cM   ";
        AppendInt(output, shape.Framework);
        output += " markers   log-likelihood= -85.96\n\n";
        output += "Markers placed relative to above map:\n";
        output += "         columns\n          :--0-:-17-:\n";
        for (long p = 0; p < shape.Placed; ++p, ++next) {
            AppendInt(output, next, 7);
            output += " 2 ";
            const long interval = (next * 13) % (shape.Framework + 1);
            // Each cell before the chosen one takes five characters.
            for (long c = 0; c < interval; ++c) {
                output += "...:.";
            }
            output += "**.:....\n";
        }
        output += "-------------------------------------------------------------\n";
    }
    return output;
}

GeneratedPair WritePair(const std::filesystem::path& folder, const PairShape& shape) {
    std::filesystem::create_directories(folder);
    GeneratedPair pair{(folder / "input.raw").string(), (folder / "output.txt").string()};
    const std::string input = InputText(shape);
    const std::string output = OutputText(shape);
    WriteFile(pair.Input, input);
    WriteFile(pair.Output, output);
    pair.Bytes = input.size() + output.size();
    return pair;
}

} // namespace karvello::bench
