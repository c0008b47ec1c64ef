#pragma once
// The settings file: every setting of a drawing in one JSON text that a
// person can read and edit. Its fields come from the drawing settings table
// and the figure settings table:
//
//   {
//     "settings": {"LeftMargin": 100, ...},          the fourteen, 1/100 mm
//     "figure": {"RowWidth": 0, "FontFace": "", "GroupMaps": false, ...},
//     "defaultColour": "#000000",
//     "colourRanges": [{"first": "T001", "last": 12, "colour": "#FF0000"}],
//     "annotations": {"titles": false, "ruler": false, "links": false,
//                     "collapse": 0, "titleTexts": {"3": "Chr 3"},
//                     "showOnly": null, "qtlFile": ""}
//   }
//
// In annotations, showOnly is null (every marker labelled) or a list of
// names; qtlFile is the path of a QTL table, empty for none.
//
// A range names its first and last markers by name, so that the file
// colours the same markers in a later load of the same data. A name stands
// for the first marker of that name in table order, so a later marker of a
// repeated name, and one whose name is empty or holds anything but printable
// ASCII, is written as its index, counted from 0.
//
// Reading starts from the settings given and changes only what the file
// names; any section or field may be left out. base/Json.h reads the syntax;
// this file gives the values their meaning, each setting through its row of
// the tables, which says what values it takes. Errors name the file and its
// line and, for an unknown field, the field; for a value of the wrong kind,
// the field and the kind; for a value the setting does not take (a Dpi of 0),
// the field, the values it takes and the value; for a marker name the table
// lacks, the name. A file that fails changes nothing: the settings come back
// whole or not at all.

#include <string>
#include <string_view>

#include "mapdata/Annotations.h"
#include "mapdata/FigureSettings.h"
#include "mapdata/MapRecords.h"

namespace karvello {

struct AllSettings {
    PageLengths Draw;
    FigureSettings Figure;
    RgbColour DefaultColour = 0;
    ColourRangeList Ranges;        // marker indices into the table
    FigureAnnotations Annotations; // without Qtls, which come from the QTL table
    std::string QtlFile;           // the QTL table's path as written, empty for none

    bool operator==(const AllSettings&) const = default;
};

// The file's text, ending in a newline.
std::string WriteSettingsText(const AllSettings& settings, const MarkerTable& markers);

// Reads text, named fileName in messages, over base. Throws KarvelloError.
AllSettings ReadSettingsText(std::string_view text, const std::string& fileName,
                             const AllSettings& base, const MarkerTable& markers);

// Reads the settings file at path over base, as ReadSettingsText reads its
// text; a qtlFile the file gives as a relative path is made a path from the
// settings file's folder. Throws KarvelloError.
AllSettings ReadSettingsFile(const std::string& path, const AllSettings& base,
                             const MarkerTable& markers);

} // namespace karvello
