#include "mapdata/MapNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

// Maps named as given, numbered 1, 2, ... in that order.
std::vector<LinkageMap> MapsNamed(const std::vector<std::string>& names) {
    std::vector<LinkageMap> maps(names.size());
    for (std::size_t m = 0; m < maps.size(); ++m) {
        maps[m].MapNumber = static_cast<std::int32_t>(m) + 1;
        maps[m].GroupName = names[m];
    }
    return maps;
}

// R/qtl's hyper map with chromosome 3 left out: the group names and the
// places differ from the fourth map on.
const std::vector<LinkageMap> kWithoutThree = MapsNamed({"1", "2", "4", "5", "X"});
const std::vector<LinkageMap> kMapmaker = MapsNamed({"", "", ""});
const std::vector<LinkageMap> kDashed = MapsNamed({"LG-1", "LG-2", "chr3"});

TEST(MapNames, AGroupNameFirstThenAPlace) {
    struct Case {
        const std::vector<LinkageMap>* maps;
        std::string text;
        std::size_t index; // maps->size() for none
        bool warned;
    };
    const std::vector<Case> cases = {
        {&kWithoutThree, "4", 2, false},  // the group "4", not the fourth map
        {&kWithoutThree, "X", 4, false},  //
        {&kWithoutThree, "#4", 3, false}, // the fourth map, said so
        {&kWithoutThree, "3", 2, true},   // no group "3": the third map, with a warning
        {&kWithoutThree, "6", 5, false},  //
        {&kWithoutThree, "#6", 5, false}, //
        {&kWithoutThree, "x", 5, false},  // names are compared as written
        {&kWithoutThree, "", 5, false},   //
        {&kWithoutThree, "+1", 5, false}, // only digits are a place
        {&kMapmaker, "2", 1, false},      // maps without names are named by number
        {&kMapmaker, "#3", 2, false},     //
        {&kMapmaker, "0", 3, false},      //
        {&kDashed, "3", 2, false},        // no group is named by a number
        {&kDashed, "chr3", 2, false},     //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const NamedMap found = FindNamedMap(c.text, *c.maps, "in --maps");
        EXPECT_EQ(found.Index, c.index);
        EXPECT_EQ(!found.Warning.empty(), c.warned) << found.Warning;
    }
    EXPECT_EQ(FindNamedMap("3", kWithoutThree, "in --maps").Warning,
              "The map \"3\" in --maps names no group, so it is taken as the file's map 3, group "
              "\"4\"; write \"#3\" to name a map by its place in the file.");
}

TEST(MapNames, ListsAndRunsInTheFilesOrder) {
    struct Case {
        const std::vector<LinkageMap>* maps;
        std::string list;
        std::vector<std::size_t> indexes;
        std::size_t warnings;
    };
    const std::vector<Case> cases = {
        {&kWithoutThree, "1,4-X", {0, 2, 3, 4}, 0},
        {&kWithoutThree, "#2-#4", {1, 2, 3}, 0},
        {&kWithoutThree, "3-5", {2, 3}, 1},
        {&kWithoutThree, "X,1", {4, 0}, 0},
        {&kWithoutThree, "", {}, 0},
        {&kMapmaker, "1,3-3", {0, 2}, 0},
        {&kDashed, "LG-1-LG-2", {0, 1}, 0},
        {&kDashed, "LG-2,1-3", {1, 0, 1, 2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        std::vector<std::string> warnings;
        EXPECT_EQ(FindNamedMaps(c.list, *c.maps, "in --maps", "map file", warnings), c.indexes);
        EXPECT_EQ(warnings.size(), c.warnings);
    }
}

TEST(MapNames, ListsThatNameNoMapAreRefused) {
    for (const char* bad : {"0", "-1", "+1", "1,", ",1", "1,,2", "a", "1-", "-", "1-2-3", "6",
                            "2147483648", "1 ,2", "1.5", "#0", "#6", "X-Y"}) {
        SCOPED_TRACE(bad);
        std::vector<std::string> warnings;
        EXPECT_THROW(FindNamedMaps(bad, kWithoutThree, "in --maps", "map file", warnings),
                     KarvelloError);
    }
    const auto message = [](const char* list, const std::vector<LinkageMap>& maps) {
        return test::ThrownMessage([&] {
            std::vector<std::string> warnings;
            FindNamedMaps(list, maps, "in --maps", "map file", warnings);
        });
    };
    EXPECT_EQ(message("5-4", kWithoutThree),
              "The map run \"5-4\" in \"5-4\" in --maps ends before it starts.");
    EXPECT_EQ(message("1,2-9", kMapmaker), "There is no map 9: the map file holds 3 maps.");
    EXPECT_EQ(message("Y", kWithoutThree),
              "There is no map \"Y\": the map file holds 5 maps: \"1\", \"2\", \"4\", \"5\", "
              "\"X\".");
    EXPECT_EQ(message("1,,2", kMapmaker),
              "Cannot read the map list \"1,,2\" in --maps: an item is empty. Name maps as 1,3-5: "
              "by group name, by number, or #N for the N-th map of the file.");
}

} // namespace
} // namespace karvello
