#pragma once
// What a figure may carry beside its maps: titles, a cM ruler, lines between
// the same marker on neighbouring maps, QTL intervals, and labels for only
// some markers. Every default draws nothing more than the maps.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "mapdata/QtlTable.h"

namespace karvello {

struct FigureAnnotations {
    // --titles: a title centred above each map: its group's name, or "Map N"
    // for a Mapmaker map.
    bool Titles = false;
    // --title N=TEXT: the title of the map numbered N, in place of the one
    // above (and shown even without Titles).
    std::map<std::int32_t, std::string> TitleTexts;
    // --ruler: a cM axis left of the first map of each row.
    bool Ruler = false;
    // --links: a line between the places of each framework marker that two
    // neighbouring maps of one row share.
    bool Links = false;
    // --qtl: intervals, each on one of the maps drawn (MapIndex counts the
    // maps handed to the drawing).
    std::vector<PlacedQtl> Qtls;
    // --show-only: when set, only markers of these names get a label; every
    // marker keeps its tick.
    std::optional<std::unordered_set<std::string>> ShowOnly;
    // --collapse N: markers at one position with more than N labels show the
    // first one's name and " (+K)" for the K left out; 0 = off.
    std::int32_t Collapse = 0;

    bool operator==(const FigureAnnotations&) const = default;
};

// Puts the annotations given (on the command line, say) over base: a choice
// that is on stays on, a title given replaces that of its map, a collapse or
// a list of names given replaces base's, and QTL given replace base's.
inline void PutAnnotationsOver(FigureAnnotations& base, const FigureAnnotations& given) {
    base.Titles = base.Titles || given.Titles;
    base.Ruler = base.Ruler || given.Ruler;
    base.Links = base.Links || given.Links;
    for (const auto& [number, title] : given.TitleTexts) {
        base.TitleTexts.insert_or_assign(number, title);
    }
    if (!given.Qtls.empty()) {
        base.Qtls = given.Qtls;
    }
    if (given.ShowOnly) {
        base.ShowOnly = given.ShowOnly;
    }
    if (given.Collapse != 0) {
        base.Collapse = given.Collapse;
    }
}

} // namespace karvello
