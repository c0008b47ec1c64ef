#include "mapdata/MapNames.h"

#include <algorithm>
#include <optional>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace karvello {

namespace {

// A long name is not worth repeating whole in a message.
constexpr std::size_t kMaxQuoted = 100;

bool IsBareNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number of "N" or "#N", or none.
std::optional<std::int32_t> PlaceNumber(std::string_view text) {
    const std::string_view digits = text.starts_with('#') ? text.substr(1) : text;
    return IsBareNumber(digits) ? ParseDecimalInt32(digits) : std::nullopt;
}

bool GroupsHaveNumbersAsNames(std::span<const LinkageMap> maps) {
    return std::any_of(maps.begin(), maps.end(),
                       [](const LinkageMap& map) { return IsBareNumber(map.GroupName); });
}

} // namespace

NamedMap FindNamedMap(std::string_view text, std::span<const LinkageMap> maps,
                      std::string_view where) {
    NamedMap found{maps.size(), {}};
    for (std::size_t m = 0; m < maps.size(); ++m) {
        if (!maps[m].GroupName.empty() && maps[m].GroupName == text) {
            found.Index = m;
            return found;
        }
    }
    const std::optional<std::int32_t> number = PlaceNumber(text);
    if (!number) {
        return found;
    }
    for (std::size_t m = 0; m < maps.size(); ++m) {
        if (maps[m].MapNumber == *number) {
            found.Index = m;
            break;
        }
    }
    if (found.Index < maps.size() && !text.starts_with('#') && GroupsHaveNumbersAsNames(maps)) {
        found.Warning = "The map " + Quote(text, kMaxQuoted) + " " + std::string(where) +
                        " names no group, so it is taken as the file's map " +
                        DecimalText(*number) + ", " + MapLabel(maps[found.Index]) + "; write \"#" +
                        DecimalText(*number) + "\" to name a map by its place in the file.";
    }
    return found;
}

std::string MapLabel(const LinkageMap& map) {
    return map.GroupName.empty() ? "map " + DecimalText(map.MapNumber)
                                 : "group " + Quote(map.GroupName, kMaxQuoted);
}

std::string NoSuchMapMessage(std::string_view text, std::span<const LinkageMap> maps,
                             std::string_view source) {
    const auto count = static_cast<std::int64_t>(maps.size());
    const std::string holds = "the " + std::string(source) + " holds " + DecimalText(count) +
                              (count == 1 ? " map" : " maps");
    if (const std::optional<std::int32_t> number = PlaceNumber(text)) {
        return "There is no map " + std::string(text) + ": " + holds + ".";
    }
    std::string named;
    for (std::size_t m = 0; m < maps.size() && m < 12; ++m) {
        named += m == 0 ? "" : ", ";
        named += maps[m].GroupName.empty() ? DecimalText(maps[m].MapNumber)
                                           : Quote(maps[m].GroupName, kMaxQuoted);
    }
    if (maps.size() > 12) {
        named += ", ...";
    }
    return "There is no map " + Quote(text, kMaxQuoted) + ": " + holds +
           (maps.empty() ? std::string(".") : ": " + named + ".");
}

std::vector<std::size_t> FindNamedMaps(std::string_view list, std::span<const LinkageMap> maps,
                                       std::string_view where, std::string_view source,
                                       std::vector<std::string>& warnings) {
    std::vector<std::size_t> indexes;
    const auto find = [&](std::string_view text) {
        NamedMap found = FindNamedMap(text, maps, where);
        if (!found.Warning.empty()) {
            warnings.push_back(std::move(found.Warning));
        }
        return found.Index;
    };
    std::string_view rest = list;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (item.empty() || (comma != std::string_view::npos && rest.empty())) {
            throw KarvelloError("Cannot read the map list " + Quote(list, kMaxQuoted) + " " +
                                std::string(where) +
                                ": an item is empty. Name maps as 1,3-5: by group name, by "
                                "number, or #N for the N-th map of the file.");
        }
        if (const std::size_t whole = find(item); whole < maps.size()) {
            indexes.push_back(whole);
            continue;
        }
        // A run: the first dash with a map on either side.
        std::optional<std::pair<std::size_t, std::size_t>> run;
        for (std::size_t dash = item.find('-', 1); dash != std::string_view::npos && !run;
             dash = item.find('-', dash + 1)) {
            const std::string_view from = item.substr(0, dash);
            const std::string_view to = item.substr(dash + 1);
            if (to.empty()) {
                break;
            }
            const NamedMap first = FindNamedMap(from, maps, where);
            const NamedMap last = FindNamedMap(to, maps, where);
            if (first.Index < maps.size() && last.Index < maps.size()) {
                run.emplace(first.Index, last.Index);
                for (const NamedMap* end : {&first, &last}) {
                    if (!end->Warning.empty()) {
                        warnings.push_back(end->Warning);
                    }
                }
            }
        }
        if (!run) {
            // Name the end that is missing where one dash splits the item.
            const std::size_t dash = item.find('-', 1);
            std::string_view missing = item;
            if (dash != std::string_view::npos && dash + 1 < item.size() &&
                item.find('-', dash + 1) == std::string_view::npos) {
                const bool firstFound =
                    FindNamedMap(item.substr(0, dash), maps, where).Index < maps.size();
                missing = firstFound ? item.substr(dash + 1) : item.substr(0, dash);
            }
            throw KarvelloError(NoSuchMapMessage(missing, maps, source));
        }
        if (run->second < run->first) {
            throw KarvelloError("The map run " + Quote(item, kMaxQuoted) + " in " +
                                Quote(list, kMaxQuoted) + " " + std::string(where) +
                                " ends before it starts.");
        }
        for (std::size_t m = run->first; m <= run->second; ++m) {
            indexes.push_back(m);
        }
    }
    return indexes;
}

} // namespace karvello
