// Feeds arbitrary bytes to the settings file reader over a small marker
// table, and checks what it gives: settings that write and read back to the
// same settings, or else one KarvelloError that names the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Error.h"
#include "mapdata/SettingsFile.h"

namespace {

using namespace karvello;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

MarkerTable Markers() {
    MarkerTable markers(5);
    markers[0].Name = "A1";
    markers[1].Name = "B2";
    markers[2].Name = "B2"; // a repeated name
    markers[4].Name = "C\xE9";
    return markers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MarkerTable markers = Markers();
    AllSettings read;
    try {
        read = ReadSettingsText(text, "fuzz.json", AllSettings{}, markers);
    } catch (const KarvelloError& error) {
        Require(std::string(error.what()).find("\"fuzz.json\"") != std::string::npos);
        return 0;
    }
    // What was read is written and read back unchanged. A face name with a
    // NUL or invalid UTF-8 still survives: the writer escapes only what JSON
    // requires.
    const std::string written = WriteSettingsText(read, markers);
    Require(ReadSettingsText(written, "again.json", AllSettings{}, markers) == read);
    return 0;
}
