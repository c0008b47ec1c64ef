#pragma once
// The layout of one map: its distance column, bar, ticks and distance
// labels, its framework labels, its placed markers and its QTL, drawn left
// to right from a running x that every map moves on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/PagePoints.h"
#include "drawing/Surface.h"
#include "mapdata/Annotations.h"
#include "mapdata/MapRecords.h"

namespace karvello {

// Where a map was drawn, for the annotations that join or mark maps.
struct MapGeometry {
    double Left = 0.0;    // where the map's distance column starts
    double BarLeft = 0.0; // the bar's edges
    double BarRight = 0.0;
    double Right = 0.0; // the end of its labels, placed blocks and QTL
    double Top = 0.0;   // the highest point it drew
    struct Label {
        std::string_view Name;
        double TickY = 0.0;   // the marker's tick on the bar
        double MiddleY = 0.0; // the middle of its label
    };
    std::vector<Label> Labels; // every framework marker that got a label
};

// Draws one drawing: the values that hold for all its maps, and the running x.
// A copy goes on from where the original stood, which lets a caller try a
// map out and keep the layout only when the map fits.
class MapLayout {
  public:
    // The first map starts startX right of the left margin; axisTop is the
    // position, in cM, at the top of the figure's axis.
    MapLayout(Surface& surface, const PageLengths& settings, const MarkerTable& markers,
              double scale, const FigureAnnotations& annotations, double startX, double axisTop)
        : page_(surface), surface_(surface), s_(settings), markers_(markers), scale_(scale),
          a_(annotations), axisTop_(axisTop), currentX_(settings.LeftMargin + startX) {}

    // Draws the map; qtls are the QTL of this map.
    MapGeometry Draw(const LinkageMap& map, const std::vector<const QtlInterval*>& qtls);

    // The y of a position of the map, in cM as the map file or the QTL table
    // gives it.
    double PositionY(const LinkageMap& map, double position) const {
        double offset = position - map.FirstPosition;
        if (map.Flipped) {
            offset = MapLength(map) - offset;
        }
        return MarkerY(offset);
    }

    // The y of a running position in cM down the map being drawn from its
    // first marker.
    double MarkerY(double cumulativeCM) const {
        return static_cast<double>(std::int64_t{s_.TopMargin} + s_.TailLength) +
               (startCM_ + cumulativeCM) * scale_;
    }

    // The y of a position in cM down the figure's axis from its top.
    double AxisY(double cm) const {
        return static_cast<double>(std::int64_t{s_.TopMargin} + s_.TailLength) + cm * scale_;
    }

  private:
    // An interval that gets a distance label: its start, down the map in cM,
    // and its length.
    struct Interval {
        double StartCM = 0.0;
        double Distance = 0.0;
    };

    bool Shown(std::string_view name) const {
        return !a_.ShowOnly || a_.ShowOnly->contains(std::string(name));
    }

    // The intervals labelled with their distance: every framework interval,
    // or with only some markers labelled, those between labelled positions.
    std::vector<Interval> LabelledIntervals(const LinkageMap& map) const;

    // The top of a distance label whose middle lies at the middle of the
    // interval that starts at cumulativeCM.
    double DistanceLabelTop(double cumulativeCM, double distance, int height) const {
        return (startCM_ + cumulativeCM + distance / 2) * scale_ - height / 2.0 + s_.TopMargin +
               s_.TailLength;
    }

    const Marker& MarkerAt(std::int32_t index) const {
        return markers_[static_cast<std::size_t>(index)];
    }

    // How wide the column left of the bar must be for the distance labels.
    // It predicts the stacking of DrawBarAndDistances, but starts one tail
    // lower and also counts the "0.0" labels that are never drawn: both can
    // only stack more labels, so the column is never narrower than the
    // labels drawn at their own places need.
    double MeasureLabelColumn(const std::vector<Interval>& intervals);
    void DrawBarAndDistances(const LinkageMap& map, double columnWidth,
                             const std::vector<Interval>& intervals);
    void DrawDistanceLabels(const std::vector<Interval>& intervals, double barLeft);
    void DrawFrameworkLabels(const LinkageMap& map);
    // Draws the label of the markers of one position, the entries in group,
    // with its line from the tick at markerY; moves nextFreeY below it.
    void DrawLabel(const std::vector<MapEntry>& entries, const std::vector<std::size_t>& group,
                   double markerY, double lineEndX, double& nextFreeY);
    void DrawPlacedMarkers(const LinkageMap& map);
    // Draws one block of placed names with its silver line from the middle
    // between two framework labels and its black bracket. Returns the y at
    // which the next block may start.
    double DrawBlock(const LinkageMap& map, const std::vector<std::size_t>& gathered, double mid,
                     double blockHeight, double blockY);

    PagePoints page_;
    Surface& surface_;
    const PageLengths& s_;
    const MarkerTable& markers_;
    const double scale_;
    const FigureAnnotations& a_;
    const double axisTop_;
    double startCM_ = 0.0; // where the map being drawn starts on the axis
    double currentX_;
    MapGeometry geometry_;
    // Per map, handed from one step to the next.
    double barBottom_ = 0.0;
    double frameworkTextX_ = 0.0;
    double mapRight_ = 0.0;
};

} // namespace karvello
