#pragma once
// How a map is named wherever one is named: in a QTL table's map column and
// by --maps, --flip and --title. One rule for all of them:
//
// - a text that some map has as its group name means that map;
// - "#N" means the N-th map of the file (the map of MapNumber N);
// - a bare number (digits only) that no group has as its name means the N-th
//   map as well. Where some group of the file is named by a number, that
//   could surprise (the table may simply lack a group "3"), so it comes with
//   a warning that names the map taken.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/MapRecords.h"

namespace karvello {

// The map a text names among maps, by the rule above.
struct NamedMap {
    std::size_t Index = 0; // into maps; maps.size() when the text names none of them
    // Set when a bare number was taken as a place while groups have numbers
    // as names.
    std::string Warning;
};

// where says where the text was written, for the warning ("in --maps", "on
// line 4 of \"qtl.csv\"").
NamedMap FindNamedMap(std::string_view text, std::span<const LinkageMap> maps,
                      std::string_view where);

// How a map appears in a message: its group name quoted, else its number.
std::string MapLabel(const LinkageMap& map);

// "There is no map X: the <source> holds ...", for a text that names no map;
// source says what the maps were read from ("map file", "output file").
std::string NoSuchMapMessage(std::string_view text, std::span<const LinkageMap> maps,
                             std::string_view source);

// The maps a list names, as --maps and --flip take it: items split by
// commas, each a map named by the rule above or a run FROM-TO of the maps
// from FROM to TO in the file's order ("1,3-5", "X", "#2-#4", "2-X"). A name
// that holds a dash is taken whole where the group exists. Gives
// indexes into maps in the order written (runs in file order); an empty list
// gives none. Warnings of bare numbers taken as places go into warnings.
// Throws KarvelloError naming the item for an empty item, a map that is not
// there (see NoSuchMapMessage) and a run that ends before it starts.
std::vector<std::size_t> FindNamedMaps(std::string_view list, std::span<const LinkageMap> maps,
                                       std::string_view where, std::string_view source,
                                       std::vector<std::string>& warnings);

} // namespace karvello
