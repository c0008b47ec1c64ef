#pragma once
// A small reader of Enhanced Metafile records for the tests: it splits a file
// into its records and decodes the few fields the tests check. It reports
// what it finds and never reads outside the bytes it was given.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace karvello::test {

inline constexpr std::uint32_t kEmrHeader = 1;
inline constexpr std::uint32_t kEmrEof = 14;
inline constexpr std::uint32_t kEmrSetMapMode = 17;
inline constexpr std::uint32_t kEmrMoveToEx = 27;
inline constexpr std::uint32_t kEmrLineTo = 54;
inline constexpr std::uint32_t kEmrExtCreateFontIndirectW = 82;
inline constexpr std::uint32_t kEmrExtTextOutW = 84;

struct EmfRecord {
    std::uint32_t Type = 0;
    std::string Bytes; // the whole record, type and size included

    std::optional<std::uint32_t> U32(std::size_t offset) const {
        if (offset + 4 > Bytes.size()) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(Bytes[offset + i]);
        }
        return value;
    }
    std::optional<std::int32_t> I32(std::size_t offset) const {
        const auto value = U32(offset);
        if (!value) {
            return std::nullopt;
        }
        std::int32_t result = 0;
        std::memcpy(&result, &*value, 4);
        return result;
    }
    // Count UTF-16LE code units from offset, as 8-bit text where they fit.
    std::optional<std::string> Utf16(std::size_t offset, std::size_t count) const {
        if (offset + 2 * count > Bytes.size()) {
            return std::nullopt;
        }
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned low = static_cast<unsigned char>(Bytes[offset + 2 * i]);
            const unsigned high = static_cast<unsigned char>(Bytes[offset + 2 * i + 1]);
            const unsigned unit = low | (high << 8);
            text += unit < 256 ? static_cast<char>(unit) : '?';
        }
        return text;
    }
};

struct EmfFile {
    std::vector<EmfRecord> Records;
    // Empty when every record is sound; else what is wrong first.
    std::string Fault;
};

// Splits the bytes into records: each at least 8 bytes, a multiple of 4, and
// within the file.
inline EmfFile ReadEmfRecords(const std::string& bytes) {
    EmfFile file;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        EmfRecord probe;
        probe.Bytes = bytes.substr(offset, 8);
        const auto type = probe.U32(0);
        const auto size = probe.U32(4);
        if (!type || !size) {
            file.Fault = "a record is cut short at byte " + std::to_string(offset);
            return file;
        }
        if (*size < 8 || *size % 4 != 0 || *size > bytes.size() - offset) {
            file.Fault = "record " + std::to_string(file.Records.size()) + " has size " +
                         std::to_string(*size);
            return file;
        }
        file.Records.push_back({*type, bytes.substr(offset, *size)});
        offset += *size;
    }
    return file;
}

} // namespace karvello::test
