#pragma once
// A drawing surface that records an Enhanced Metafile in memory, prepared as
// a Windows program prepares a metafile for drawing maps:
//   - mapping mode MM_HIMETRIC (1 unit = 1/100 mm, y upward);
//   - font "Microsoft Sans Serif", height -282, regular weight, default
//     character set, in the window-text colour; italic is switched by
//     selecting a second font;
//   - a solid black pen 1 unit wide and a solid white brush;
//   - text placed by its top-left corner, its cell filled with the brush
//     colour first (opaque background);
//   (EmfStyle::EditorFriendly changes the last and the mapping mode's record);
//   - no picture frame given: the header's frame and bounds are those of
//     everything drawn, text cells included, on a 96-dpi reference display.
// Every text record carries the per-character advances that the measurement
// gave, so readers put each glyph where the layout expects it whatever font
// they substitute. Finish() deletes every object created and ends with EOF.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/PageBox.h"
#include "drawing/Surface.h"
#include "render/TextMeasure.h"

namespace karvello {

// The reference display every metafile claims: 1920 x 1080 pixels at 96 dpi.
inline constexpr int kReferenceWidthPx = 1920;
inline constexpr int kReferenceHeightPx = 1080;
inline constexpr int kReferenceWidthMm = 508;
inline constexpr int kReferenceHeightMm = 286;
inline constexpr int kReferenceWidthUm = 508000;
inline constexpr int kReferenceHeightUm = 285750;

// Record types used, as [MS-EMF] numbers them.
enum EmfRecordType : std::uint32_t {
    kEmrHeader = 1,
    kEmrSetWindowExtEx = 9,
    kEmrSetViewportExtEx = 11,
    kEmrEof = 14,
    kEmrSetMapMode = 17,
    kEmrSetBkMode = 18,
    kEmrSetTextAlign = 22,
    kEmrSetTextColor = 24,
    kEmrSetBkColor = 25,
    kEmrMoveToEx = 27,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrRectangle = 43,
    kEmrLineTo = 54,
    kEmrComment = 70,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutW = 84,
};

// The public comments that mark a group of records, as [MS-EMF] gives them:
// an EMR_COMMENT whose data begin with "GDIC" and the comment's type.
inline constexpr std::uint32_t kEmfCommentGdic = 0x43494447;
inline constexpr std::uint32_t kEmfCommentBeginGroup = 2;
inline constexpr std::uint32_t kEmfCommentEndGroup = 3;

// The mapping mode a figure metafile draws in: MM_ANISOTROPIC, whose window
// and viewport extents make one unit 1/100 mm with y upward, as
// MM_HIMETRIC does, but which editors that take MM_HIMETRIC's units for
// device pixels scale right.
inline constexpr std::uint32_t kEmfAnisotropic = 8;
inline constexpr std::uint32_t kEmfTransparent = 1;
inline constexpr std::uint32_t kEmfOpaque = 2;

// How a metafile is drawn beyond what the header above says. The defaults
// are that prepared metafile.
struct EmfStyle {
    std::string FaceName = kMetafileFaceName; // UTF-8; up to 31 UTF-16 units are kept
    int FontHeight = kMetafileFontHeight;     // em height, written negated
    int PenWidth = 1;                         // every pen, in 1/100 mm
    std::int64_t EdgeRoom = 0;                // white room around the drawing in the frame
    bool GroupMaps = false;                   // each map between begin- and end-group comments
    // The figure's metafile: the metric mode written as MM_ANISOTROPIC with
    // the reference display's extents, and text on a transparent background
    // (no cell filled behind it), so that editors import it at its size and
    // break it apart without a box behind each text.
    bool EditorFriendly = false;
};

class EmfSurface : public Surface {
  public:
    // Prepares the metafile; text is measured with metrics (which must
    // outlive the surface and measure style's font) and drawn in textColour
    // at first.
    explicit EmfSurface(const TextMeasure& metrics, RgbColour textColour = 0, EmfStyle style = {});

    void SetMapMode(MappingMode mode) override;
    void SetPenColour(RgbColour colour) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    // Selects a solid brush of the colour and the null pen, draws the
    // rectangle, and leaves them selected until the next outline.
    void FillRectangle(int x1, int y1, int x2, int y2, RgbColour colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void SetFontColour(RgbColour colour) override;
    void SetItalic(bool italic) override;
    // With GroupMaps, a begin-group comment whose box, written at EndMap, is
    // the map's drawn extent; and an end-group comment.
    void BeginMap(int mapNumber) override;
    void EndMap() override;

    // The box of everything drawn so far, in 1/100 mm, y downward.
    const PageBox& Frame() const { return frame_; }

    // Ends the recording: selects the stock objects back, deletes every
    // object created, appends EOF and puts the header in front. Returns the
    // complete file. Any later call on the surface throws KarvelloError.
    std::vector<std::uint8_t> Finish();

  private:
    class Record;
    void CheckOpen() const;
    void SelectObject(std::uint32_t handle);
    std::uint32_t CreateFont(bool italic);
    std::uint32_t CreatePen(RgbColour colour);
    std::uint32_t CreateBrush(RgbColour colour);
    // Selects the pen and the white brush back after a fill.
    void EndFilling();
    void WriteSimple(std::uint32_t type, std::uint32_t value);
    void WritePair(std::uint32_t type, std::int32_t x, std::int32_t y);
    void WriteMapMode(MappingMode mode);
    std::vector<std::uint8_t> Header() const;
    void Include(const PageBox& box);

    const TextMeasure& metrics_;
    EmfStyle style_;
    std::vector<std::uint8_t> body_;
    std::uint32_t recordCount_ = 0;
    std::vector<std::uint32_t> created_; // handles in creation order
    std::uint32_t nextHandle_ = 1;       // handle 0 stands for the metafile itself
    std::map<RgbColour, std::uint32_t> pens_;
    std::map<RgbColour, std::uint32_t> brushes_; // the fills' brushes
    std::uint32_t whiteBrush_ = 0;
    bool filling_ = false;            // a fill's brush and the null pen are selected
    std::uint32_t fonts_[2] = {0, 0}; // upright, italic; 0 = not created yet
    PageBox frame_;
    MappingMode mapMode_ = MappingMode::HiMetric;
    RgbColour penColour_ = 0;
    RgbColour fontColour_ = 0;
    bool italic_ = false;
    int currentX_ = 0;
    int currentY_ = 0;
    bool finished_ = false;
    // The open group's begin comment (its offset in body_) and extent.
    std::optional<std::size_t> groupStart_;
    PageBox groupFrame_;
};

} // namespace karvello
