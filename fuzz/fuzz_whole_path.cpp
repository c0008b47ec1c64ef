// The whole path from a Mapmaker pair or a map table to a written drawing:
// the input is split into an input file and an output file, loaded through
// the workspace, maps are ticked and flipped, the settings set to one of a
// few presets (extreme values among them), a settings file read over them
// where the input holds one, and the maps drawn through the real file canvas
// of one of the drawing formats. A draw that succeeds must leave a whole
// file: a metafile whose records are whole (sizes, count, total, the end
// record), or an SVG, PDF or PNG that begins as its format does; one that
// fails must leave no file at all, not even a temporary one.
//
// Layout of an input: byte 0 picks the settings preset, byte 1 ticks maps
// (bit i ticks map i, all when 0), byte 2 flips them likewise, byte 3 picks
// the source and the annotations (bit 0: the rest is one map table, not a
// Mapmaker pair; bits 1 to 4: titles, ruler, links, labels for every third
// marker only; bit 5: collapse above one name; bits 6 and 7: maps a row).
// The rest may begin with a line "@svg", "@pdf" or "@png" that picks the
// format (the metafile without it; a PNG is drawn at 10 dpi, so that it
// stays small), and may end with a line "~~~settings" and a settings file.
// For a pair, what is left is the input file, then a line "~~~", then the
// output file (without that line, it is both).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "platform/FileCanvases.h"
#include "platform/QtRuntime.h"
#include "workspace/Workspace.h"

namespace {

using namespace karvello;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::uint32_t U32(const std::vector<char>& file, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(file[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// Every record lies within the file, is a whole number of 4-byte words and
// at least 8 bytes; the header counts them and the bytes, and the last one
// is the end record, 20 bytes long.
void CheckMetafile(const std::vector<char>& file) {
    Require(file.size() >= 108 && file.size() % 4 == 0);
    Require(U32(file, 0) == 1);            // header first
    Require(U32(file, 40) == 0x464D4520);  // " EMF"
    Require(U32(file, 48) == file.size()); // total bytes
    std::size_t at = 0;
    std::uint32_t records = 0;
    std::uint32_t lastType = 0;
    std::uint32_t lastSize = 0;
    while (at < file.size()) {
        Require(file.size() - at >= 8);
        lastType = U32(file, at);
        lastSize = U32(file, at + 4);
        Require(lastSize >= 8 && lastSize % 4 == 0 && lastSize <= file.size() - at);
        at += lastSize;
        ++records;
    }
    Require(records == U32(file, 52));
    Require(lastType == 14 && lastSize == 20);
}

PageLengths Preset(std::uint8_t choice) {
    PageLengths settings;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int32_t PageLengths::*const fields[] = {
        &PageLengths::LeftMargin,          &PageLengths::RightMargin,
        &PageLengths::TopMargin,           &PageLengths::BottomMargin,
        &PageLengths::PageHeight,          &PageLengths::PageWidth,
        &PageLengths::TailLength,          &PageLengths::BarWidth,
        &PageLengths::PreBendLength,       &PageLengths::SpacingLineLength,
        &PageLengths::FrameworkLineLength, &PageLengths::AncillaryLineLength,
        &PageLengths::TextPadding,         &PageLengths::MapSpacing};
    constexpr std::size_t kFields = std::size(fields);
    switch (choice % 5) {
    case 0: // the defaults
        break;
    case 1: // everything zero
        for (auto field : fields) {
            settings.*field = 0;
        }
        break;
    case 2: // one field at the largest value
        settings.*fields[(choice / 5) % kFields] = kMax;
        break;
    case 3: // one field at the smallest value
        settings.*fields[(choice / 5) % kFields] = kMin;
        break;
    default: // every field extreme, alternating
        for (std::size_t i = 0; i < kFields; ++i) {
            settings.*fields[i] = (i + choice) % 2 == 0 ? kMax : kMin;
        }
        break;
    }
    return settings;
}

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        // A file system in memory where there is one: every draw syncs.
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        auto made = base / ("karvello-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    return folder;
}

void Put(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureQtGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::uint8_t preset = data[0];
    const std::uint8_t tick = data[1];
    const std::uint8_t flip = data[2];
    const std::uint8_t extras = data[3];
    const bool table = (extras & 1) != 0;
    std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
    std::string extension = "emf";
    for (const char* format : {"svg", "pdf", "png"}) {
        if (rest.starts_with("@" + std::string(format) + "\n")) {
            extension = format;
            rest.remove_prefix(5);
        }
    }
    std::string_view settingsText;
    bool withSettings = false;
    if (const std::size_t split = rest.find("\n~~~settings\n"); split != std::string_view::npos) {
        settingsText = rest.substr(split + 13);
        rest = rest.substr(0, split + 1);
        withSettings = true;
    }
    std::string_view inputText = rest;
    std::string_view outputText = rest;
    if (const std::size_t split = rest.find("\n~~~\n"); split != std::string_view::npos) {
        inputText = rest.substr(0, split + 1);
        outputText = rest.substr(split + 5);
    }
    const std::filesystem::path folder = Folder();
    const std::filesystem::path input = folder / "input.raw";
    const std::filesystem::path output = folder / "output.txt";
    const std::filesystem::path settingsFile = folder / "settings.json";
    const std::filesystem::path drawing = folder / ("maps." + extension);
    Put(input, inputText);
    Put(output, outputText);
    Put(settingsFile, settingsText);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("maps.")) {
            std::filesystem::remove(entry.path());
        }
    }

    Workspace ws;
    try {
        if (table) {
            ws.LoadMapFile(output.string());
        } else {
            ws.Load(input.string(), output.string());
        }
    } catch (const KarvelloError&) {
        return 0;
    }
    FigureAnnotations annotations;
    annotations.Titles = (extras & 2) != 0;
    annotations.Ruler = (extras & 4) != 0;
    annotations.Links = (extras & 8) != 0;
    if ((extras & 16) != 0) {
        annotations.ShowOnly.emplace();
        for (std::size_t i = 0; i < ws.AllMarkers().size(); i += 3) {
            annotations.ShowOnly->insert(ws.AllMarkers()[i].Name);
        }
    }
    annotations.Collapse = (extras & 32) != 0 ? 1 : 0;
    ws.SetAnnotations(std::move(annotations));
    FigureSettings figure;
    figure.MapsPerRow = extras >> 6;
    ws.SetFigure(figure);
    const int maps = static_cast<int>(ws.Maps().size());
    ColourRangeList ranges;
    if (!ws.AllMarkers().empty()) {
        const auto last = static_cast<std::int32_t>(ws.AllMarkers().size()) - 1;
        ranges.push_back({last / 3, last, 0x0000FF});
    }
    ws.AcceptOptions(Preset(preset), 0x808080, ranges);
    for (int i = 0; i < maps; ++i) {
        if (i < 8 && (flip >> i & 1) != 0) {
            ws.Select(i);
            ws.Flip(true);
        }
        ws.SetTicked(i, tick == 0 || (i < 8 && (tick >> i & 1) != 0));
    }
    ws.Select(-1);
    if (withSettings) {
        try {
            ws.LoadSettingsFile(settingsFile.string());
        } catch (const KarvelloError&) {
            // A bad file changes nothing; the drawing goes on as set.
        }
    }
    if (extension == "png") {
        FigureSettings small = ws.Figure();
        small.Dpi = 10;
        ws.SetFigure(small);
    }

    bool drawn = false;
    try {
        // What the drawing reports beside the picture is no invariant here.
        (void)ws.Draw(drawing.string(), [](const std::string& path, const FigureSettings& figure) {
            return CreateFileCanvas(path, figure);
        });
        drawn = true;
    } catch (const KarvelloError&) {
    }
    if (drawn) {
        std::ifstream in(drawing, std::ios::binary);
        const std::vector<char> file((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
        const std::string_view start(file.data(), std::min<std::size_t>(file.size(), 8));
        if (extension == "emf") {
            CheckMetafile(file);
        } else if (extension == "svg") {
            Require(start.starts_with("<?xml") || start.starts_with("<svg"));
        } else if (extension == "pdf") {
            Require(start.starts_with("%PDF-"));
        } else {
            Require(start == "\x89PNG\r\n\x1A\n");
        }
    } else {
        Require(!std::filesystem::exists(drawing));
    }
    // Nothing but the three files and the drawing: no temporary file stays.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const auto name = entry.path().filename();
        Require(name == "input.raw" || name == "output.txt" || name == "settings.json" ||
                name == drawing.filename());
    }
    return 0;
}
