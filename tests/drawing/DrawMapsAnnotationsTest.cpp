// Annotations of the drawing: titles, the ruler, links between maps, QTL,
// labels for only some markers, crowded positions collapsed. Checked on the
// recording surface (text 100 per character wide, 300 high), and together in
// one golden log.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "drawing/DrawMaps.h"
#include "tests/drawing/DrawingTestMaps.h"
#include "tests/support/RecordingSurface.h"

namespace karvello::test {
namespace {

struct Op {
    std::string Name;
    std::vector<std::int64_t> Numbers;
    std::string Text; // of a TextOut, without its quotes
};

std::vector<Op> Ops(const std::vector<std::string>& log) {
    std::vector<Op> ops;
    for (const auto& line : log) {
        std::istringstream in(line);
        Op op;
        in >> op.Name;
        std::int64_t n;
        while (in >> n) {
            op.Numbers.push_back(n);
        }
        const auto quote = line.find('"');
        if (quote != std::string::npos) {
            op.Text = line.substr(quote + 1, line.rfind('"') - quote - 1);
        }
        ops.push_back(op);
    }
    return ops;
}

// Every text written, in order.
std::vector<std::string> Texts(const std::vector<Op>& ops) {
    std::vector<std::string> texts;
    for (const Op& op : ops) {
        if (op.Name == "TextOut") {
            texts.push_back(op.Text);
        }
    }
    return texts;
}

const Op& TextOp(const std::vector<Op>& ops, const std::string& text) {
    const auto found = std::find_if(ops.begin(), ops.end(), [&](const Op& op) {
        return op.Name == "TextOut" && op.Text == text;
    });
    EXPECT_NE(found, ops.end()) << text;
    static const Op none{"", {0, 0}, ""};
    return found == ops.end() ? none : *found;
}

// The lines drawn in one pen colour, as (x1, y1, x2, y2).
std::vector<std::vector<std::int64_t>> LinesIn(const std::vector<Op>& ops, const std::string& pen) {
    std::vector<std::vector<std::int64_t>> lines;
    std::string current;
    std::int64_t x = 0, y = 0;
    for (const Op& op : ops) {
        if (op.Name == "Pen") {
            current = op.Text.empty() ? "" : op.Text;
        }
        if (op.Name == "MoveTo") {
            x = op.Numbers[0];
            y = op.Numbers[1];
        } else if (op.Name == "LineTo") {
            if (current == pen) {
                lines.push_back({x, y, op.Numbers[0], op.Numbers[1]});
            }
            x = op.Numbers[0];
            y = op.Numbers[1];
        }
    }
    return lines;
}

// Pen lines carry their colour as a word, not a number: read it again.
std::vector<Op> OpsWithPens(const std::vector<std::string>& log) {
    std::vector<Op> ops = Ops(log);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (ops[i].Name == "Pen") {
            ops[i].Text = log[i].substr(4);
        }
    }
    return ops;
}

constexpr int kCharWidth = 100;
constexpr int kHeight = 300;

TEST(DrawMapsAnnotations, TitlesStandCentredOverTheBarsAboveEverythingTheRowDraws) {
    const MarkerTable markers = MakeMarkers({"A", "B", "C", "P", "D", "E"});
    std::vector<LinkageMap> maps = {MakeMap({10, 20, 0}, 0, {{3, 0}}), MakeMap({5, 0}, 4)};
    maps[1].MapNumber = 2;
    maps[1].GroupName = "chr2";
    FigureAnnotations annotations;
    annotations.Titles = true;
    annotations.TitleTexts[1] = "First";

    RecordingSurface surface;
    (void)DrawMaps(maps, surface, PageLengths{}, markers, FigureSettings{}, annotations);
    const std::vector<Op> ops = Ops(surface.Log());

    std::vector<const Op*> bars;
    std::int64_t highest = INT64_MIN; // y upward: the top of everything but the titles
    for (const Op& op : ops) {
        if (op.Name == "Rectangle") {
            bars.push_back(&op);
            highest = std::max(highest, op.Numbers[1]);
        } else if (op.Name == "MoveTo" || op.Name == "LineTo") {
            highest = std::max(highest, op.Numbers[1]);
        } else if (op.Name == "TextOut" && op.Text != "First" && op.Text != "chr2") {
            highest = std::max(highest, op.Numbers[1]);
        }
    }
    ASSERT_EQ(bars.size(), 2u);
    const PageLengths s;
    for (const auto& [title, bar] : {std::pair{"First", bars[0]}, std::pair{"chr2", bars[1]}}) {
        SCOPED_TRACE(title);
        const Op& text = TextOp(ops, title);
        const std::int64_t width =
            kCharWidth * static_cast<std::int64_t>(std::string(title).size());
        EXPECT_EQ(2 * text.Numbers[0] + width, bar->Numbers[0] + bar->Numbers[2]);
        EXPECT_EQ(text.Numbers[1] - kHeight, highest + s.TextPadding);
    }
    EXPECT_EQ(TextOp(ops, "First").Numbers[1], TextOp(ops, "chr2").Numbers[1]);

    // A title given for one map, and no titles asked for: only that one.
    FigureAnnotations one;
    one.TitleTexts[2] = "Only";
    RecordingSurface alone;
    (void)DrawMaps(maps, alone, PageLengths{}, markers, FigureSettings{}, one);
    const std::vector<std::string> texts = Texts(Ops(alone.Log()));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Only"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Map 1"), 0);
}

TEST(DrawMapsAnnotations, TheRulerMarksRoundPositionsAtTheMapsHeightsLeftOfTheFirstMap) {
    const MarkerTable markers = MakeMarkers({"A", "B", "C"});
    const PageLengths settings = SettingsForScale(30, 100);
    FigureAnnotations annotations;
    annotations.Ruler = true;
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({10, 20, 0})}, surface, settings, markers, FigureSettings{},
                   annotations);
    const std::vector<Op> ops = OpsWithPens(surface.Log());

    // 100 units a cM and text 300 high: 10 cM is the first step that keeps
    // the labels their own height apart (5 cM would leave 200 between them).
    const std::vector<std::string> texts = Texts(ops);
    for (const char* label : {"0", "10", "20", "30", "cM"}) {
        EXPECT_EQ(std::count(texts.begin(), texts.end(), label), 1) << label;
    }
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "5"), 0);

    // The label "10" is centred on the height of the map's tick at 10 cM.
    const Op& ten = TextOp(ops, "10");
    const auto& bar =
        *std::find_if(ops.begin(), ops.end(), [](const Op& op) { return op.Name == "Rectangle"; });
    const std::int64_t tickAt10 = -(settings.TopMargin + settings.TailLength + 10 * 100);
    EXPECT_EQ(ten.Numbers[1] - kHeight / 2, tickAt10);
    const auto blackLines = LinesIn(ops, "0");
    EXPECT_TRUE(std::any_of(blackLines.begin(), blackLines.end(), [&](const auto& l) {
        return l[1] == tickAt10 && l[3] == tickAt10 && l[0] >= bar.Numbers[0];
    })) << "the map has its tick at 10 cM";

    // Everything of the ruler lies left of everything the map draws.
    std::int64_t rulerRight = INT64_MIN;
    for (const char* label : {"0", "10", "20", "30", "cM"}) {
        const Op& op = TextOp(ops, label);
        rulerRight = std::max(
            rulerRight,
            op.Numbers[0] + kCharWidth * static_cast<std::int64_t>(std::string(label).size()));
    }
    const Op& distance = TextOp(ops, "10.0");
    EXPECT_LT(rulerRight, distance.Numbers[0]);
}

TEST(DrawMapsAnnotations, LinksJoinSharedMarkersThroughTheRoomBetweenNeighbours) {
    // Map 1: A B C D D; map 2: D X B, whose B and D are other entries of the
    // marker table with the same names. D twice on map 1 is linked once.
    const MarkerTable markers = MakeMarkers({"A", "B", "C", "D", "X", "B", "D"});
    std::vector<LinkageMap> maps = {MakeMap({0.5, 0.5, 0.5, 0.5, 0}, 0), MakeMap({10, 5, 0}, 4)};
    maps[0].Markers[4].MarkerIndex = 3; // D again
    maps[1].Markers[0].MarkerIndex = 6; // D
    maps[1].Markers[1].MarkerIndex = 4; // X
    maps[1].Markers[2].MarkerIndex = 5; // B
    maps[1].MapNumber = 2;
    FigureAnnotations annotations;
    annotations.Links = true;
    const PageLengths settings = SettingsForScale(15, 100);
    RecordingSurface surface;
    (void)DrawMaps(maps, surface, settings, markers, FigureSettings{}, annotations);
    const std::vector<Op> ops = OpsWithPens(surface.Log());

    const auto links = LinesIn(ops, "A0A0A0");
    ASSERT_EQ(links.size(), 2u); // B and D; A, C and X are on one map only
    std::int64_t leftMapRight = INT64_MIN, rightMapLeft = INT64_MAX;
    const std::vector<std::string> texts = Texts(ops);
    bool second = false;
    for (const Op& op : ops) {
        if (op.Name == "Rectangle") {
            second = leftMapRight != INT64_MIN;
        }
        if (op.Name == "TextOut") {
            const std::int64_t right =
                op.Numbers[0] + kCharWidth * static_cast<std::int64_t>(op.Text.size());
            if (!second) {
                leftMapRight = std::max(leftMapRight, right);
            } else {
                rightMapLeft = std::min(rightMapLeft, op.Numbers[0]);
            }
        }
    }
    const std::int64_t top = settings.TopMargin + settings.TailLength;
    for (const auto& link : links) {
        EXPECT_GT(link[0], leftMapRight);
        EXPECT_LT(link[2], rightMapLeft);
    }
    // B: from the middle of its label on map 1 (stacked below A's) to its
    // tick at 15 cM on map 2; D: to map 2's top.
    const Op& labelB = TextOp(ops, "B");
    EXPECT_EQ(links[0][1], labelB.Numbers[1] - kHeight / 2);
    EXPECT_EQ(links[0][3], -(top + 1500));
    EXPECT_EQ(links[1][3], -top);
}

TEST(DrawMapsAnnotations, QtlStandRightOfTheLabelsOverlappingOnesSideBySide) {
    const MarkerTable markers = MakeMarkers({"A", "B", "C", "P"});
    const PageLengths settings = SettingsForScale(50, 100);
    FigureAnnotations annotations;
    QtlInterval yield;
    yield.Name = "yield";
    yield.Start = 10;
    yield.End = 30;
    yield.InnerStart = 15;
    yield.InnerEnd = 25;
    yield.Colour = 0x0000FF;
    QtlInterval height;
    height.Name = "ht";
    height.Start = 20;
    height.End = 40;
    QtlInterval late;
    late.Name = "late";
    late.Start = 45;
    late.End = 50;
    annotations.Qtls = {{0, yield}, {0, height}, {0, late}};
    RecordingSurface surface;
    (void)DrawMaps({MakeMap({20, 30, 0}, 0, {{3, 1}})}, surface, settings, markers,
                   FigureSettings{}, annotations);
    const std::vector<Op> ops = OpsWithPens(surface.Log());

    std::int64_t labelsRight = INT64_MIN;
    for (const Op& op : ops) {
        if (op.Name == "TextOut" && (op.Text == "A" || op.Text == "P" || op.Text == "C")) {
            labelsRight = std::max(labelsRight, op.Numbers[0] + kCharWidth);
        }
    }
    std::vector<const Op*> boxes;
    for (const Op& op : ops) {
        if (op.Name == "Rectangle") {
            boxes.push_back(&op);
        }
    }
    ASSERT_EQ(boxes.size(), 4u); // the bar, then the three QTL
    const std::int64_t top = settings.TopMargin + settings.TailLength;
    const auto y = [&](double cm) { return -(top + static_cast<std::int64_t>(cm * 100)); };
    const Op& yieldBox = *boxes[1];
    const Op& heightBox = *boxes[2];
    const Op& lateBox = *boxes[3];
    EXPECT_EQ(yieldBox.Numbers[1], y(15));
    EXPECT_EQ(yieldBox.Numbers[3], y(25));
    EXPECT_EQ(heightBox.Numbers[1], y(20)); // no inner interval: the box spans it all
    EXPECT_EQ(heightBox.Numbers[3], y(40));
    for (const Op* box : {&yieldBox, &heightBox, &lateBox}) {
        EXPECT_GT(box->Numbers[0], labelsRight);
    }
    // yield and ht overlap: side by side; late follows yield in its column.
    EXPECT_GT(heightBox.Numbers[0], TextOp(ops, "yield").Numbers[0] + 5 * kCharWidth);
    EXPECT_EQ(lateBox.Numbers[0], yieldBox.Numbers[0]);
    // yield's whiskers reach its interval's ends, in its colour.
    const auto red = LinesIn(ops, "FF");
    EXPECT_TRUE(std::any_of(red.begin(), red.end(), [&](const auto& l) {
        return l[0] == l[2] && l[1] == y(10) && l[3] == y(30);
    }));
}

TEST(DrawMapsAnnotations, ShowOnlyLabelsTheNamedMarkersAndCollapseShortensCrowdedPositions) {
    const MarkerTable markers =
        MakeMarkers({"A", "B", "C", "D", "E", "G1", "G2", "G3", "G4", "P", "Q"});
    // A 1 B 2 C 3 D 4 E, then G1..G4 at one position 5 cM lower; P placed
    // next to B, Q next to C.
    const LinkageMap map = MakeMap({1, 2, 3, 4, 5, 0, 0, 0, 0}, 0, {{9, 1}, {10, 2}});
    const PageLengths settings = SettingsForScale(15, 100);

    FigureAnnotations showOnly;
    showOnly.ShowOnly = std::unordered_set<std::string>{"B", "D", "P", "G2", "G4"};
    RecordingSurface shown;
    (void)DrawMaps({map}, shown, settings, markers, FigureSettings{}, showOnly);
    // Only the named get labels; the distance runs between labelled
    // positions (B to D: 5 cM, D to G2/G4: 9 cM).
    EXPECT_EQ(Texts(Ops(shown.Log())),
              (std::vector<std::string>{"5.0", "9.0", "B", "D", "G2", ", ", "G4", "P"}));

    RecordingSurface all;
    (void)DrawMaps({map}, all, settings, markers);
    const auto ticks = [](const std::vector<std::string>& log) {
        return CountLines(log, "LineTo");
    };
    EXPECT_LT(ticks(shown.Log()), ticks(all.Log())); // fewer label lines...
    std::size_t shownTicks = 0, allTicks = 0;        // ...but every tick
    for (const auto& [log, count] : {std::pair{&shown, &shownTicks}, std::pair{&all, &allTicks}}) {
        const std::vector<Op> ops = Ops(log->Log());
        for (std::size_t i = 0; i + 1 < ops.size(); ++i) {
            if (ops[i].Name == "MoveTo" && ops[i + 1].Name == "LineTo" &&
                ops[i].Numbers[1] == ops[i + 1].Numbers[1] &&
                ops[i + 1].Numbers[0] - ops[i].Numbers[0] == settings.BarWidth) {
                ++*count;
            }
        }
    }
    EXPECT_EQ(shownTicks, 6u);
    EXPECT_EQ(shownTicks, allTicks);

    FigureAnnotations collapse;
    collapse.Collapse = 3;
    RecordingSurface collapsed;
    (void)DrawMaps({map}, collapsed, settings, markers, FigureSettings{}, collapse);
    const std::vector<std::string> texts = Texts(Ops(collapsed.Log()));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "G1"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), " (+3)"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "G2"), 0);
    collapse.Collapse = 4; // four names are not more than four
    RecordingSurface kept;
    (void)DrawMaps({map}, kept, settings, markers, FigureSettings{}, collapse);
    EXPECT_EQ(kept.Text(), all.Text());
}

TEST(DrawMapsPositions, MapsFromTablesStandWhereTheirPositionsLieOnOneAxis) {
    // One map from -2 to 2 cM, one from 5 to 8 cM: the axis runs from -2 to
    // 8, 100 units a cM.
    const MarkerTable markers = MakeMarkers({"A", "B", "C", "D"});
    std::vector<LinkageMap> maps = {MakeMap({4, 0}, 0), MakeMap({3, 0}, 2)};
    maps[0].FirstPosition = -2;
    maps[1].FirstPosition = 5;
    maps[1].MapNumber = 2;
    const PageLengths settings = SettingsForScale(10, 100);
    FigureAnnotations annotations;
    annotations.Ruler = true;
    RecordingSurface surface;
    (void)DrawMaps(maps, surface, settings, markers, FigureSettings{}, annotations);
    const std::vector<Op> ops = OpsWithPens(surface.Log());

    const std::int64_t top = settings.TopMargin + settings.TailLength;
    std::vector<const Op*> bars;
    for (const Op& op : ops) {
        if (op.Name == "Rectangle") {
            bars.push_back(&op);
        }
    }
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0]->Numbers[1], -settings.TopMargin);
    EXPECT_EQ(bars[0]->Numbers[3], -(top + 400 + settings.TailLength));
    EXPECT_EQ(bars[1]->Numbers[1], -(settings.TopMargin + 700));
    EXPECT_EQ(bars[1]->Numbers[3], -(top + 1000 + settings.TailLength));
    // Each label's middle at its marker: D at 8 cM, the axis's end.
    EXPECT_EQ(TextOp(ops, "D").Numbers[1] - kHeight / 2, -(top + 1000));
    // The ruler counts from the axis's top, -2 cM: its 0 stands 2 cM down.
    EXPECT_EQ(TextOp(ops, "0").Numbers[1] - kHeight / 2, -(top + 200));
}

} // namespace
} // namespace karvello::test
