// The navigation displays' drawing sets: compass rose and arc cards,
// heading and course readouts, bearing pointers, course pointer and
// deviation, station symbols, the flight-plan map, and the composite
// format's heading tape and readouts. One set per gauge (HSI1, HSI1_VC,
// HSI2, HSI2_VC), each with its own tick tables, clip regions, texts and
// pointer and map state, reading the data of its side. All drawing is in
// the 168 x 130 design grid (x right, y down); the rose is centred at
// (84, 65), the arc at (84, 110).
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"

namespace zu {

inline constexpr int kEhsiTickRows = 40;    // row r: the card turned by r x 0.25 degrees
inline constexpr int kEhsiTicks = 72;       // tick k at 5k degrees
inline constexpr int kEhsiMapEntries = 5;   // waypoints the map keeps
inline constexpr int kEhsiMapNameSize = 6;  // characters of a waypoint name

// One tick: outer and inner point, in eighths of a grid unit.
struct EhsiTick {
    int32_t outer_x, outer_y, inner_x, inner_y;
};

// The clip regions of one drawing surface, in its device pixels.
struct EhsiClipRegions {
    platform::DrawRegion trapezoid;    // arc card, arc pointers, station symbols
    platform::DrawRegion arc_window;   // the map: ellipse AND trapezoid
    platform::DrawRegion tape_window;  // the composite heading tape
    int32_t width = 0;                 // the pixel size they were made for
    int32_t height = 0;
};

struct EhsiBearingPointer {
    double angle = -90.0;   // displayed angle, degrees
    int32_t countdown = 0;  // re-acquire countdown (draws)
    bool shown = false;
};

struct EhsiMapEntry {
    int32_t x, y;
    uint8_t highlight;
    char name[kEhsiMapNameSize + 1];
};

struct EhsiMapState {
    int32_t phase = 0;       // 0..7; 0 rebuilds the list on the next draw
    double range_drawn = 0;  // the range the list was built for
    int32_t last = -1;       // index of the last stored entry (-1 none)
    EhsiMapEntry entries[kEhsiMapEntries]{};
    // The picture's key has taken this picture's step of the count (and
    // rebuilt the list at 0); the next draw only draws the list.
    bool stepped = false;
};

// One member of the family.
struct EhsiSet {
    const char* gauge;
    int side;  // the data side: 0 or 1
    bool virtual_cockpit;
    bool ready = false;  // tick tables built
    EhsiTick rose[kEhsiTickRows][kEhsiTicks]{};
    EhsiTick arc[kEhsiTickRows][kEhsiTicks]{};
    EhsiClipRegions regions{};
    // Texts: the large heading readout (its second half the half-range
    // label), and the distance, course, selected-heading and ground-speed
    // texts.
    char heading_text[16]{};
    char distance_text[10]{};
    char course_text[10]{};
    char selected_text[10]{};
    char speed_text[10]{};
    EhsiBearingPointer pointers[2]{};
    EhsiMapState map{};
};

// HSI1, HSI1_VC, HSI2, HSI2_VC.
inline constexpr int kEhsiSetCount = 4;
extern EhsiSet EhsiSets[kEhsiSetCount];
// The set of a side's 2D or virtual-cockpit gauge.
EhsiSet& EhsiSetOf(int side, bool virtual_cockpit);

// What one paint works with: the set whose data and state it draws, the
// clip regions of the surface it paints (its own, also when it shows the
// other side's set), the device context and the smooth graphics object.
struct EhsiPaint {
    EhsiSet& set;
    const EhsiClipRegions& regions;
    platform::DrawContext* dc;
    platform::DrawContext* g;
};

// Set-up: both tick tables (once per set) and the clip regions for a
// surface of width x height pixels.
void EhsiClipRegionsCreate(EhsiSet& set, int32_t width, int32_t height);
// The regions of a surface of width x height pixels.
EhsiClipRegions EhsiMakeClipRegions(int32_t width, int32_t height);

// Compass and readouts.
void EhsiRoseDraw(const EhsiPaint& p);
void EhsiArcDraw(const EhsiPaint& p);
void EhsiSyncMarkDraw(const EhsiPaint& p);
void EhsiNavReadoutsDraw(const EhsiPaint& p);
void EhsiHdgCrsReadoutsDraw(const EhsiPaint& p);
void EhsiWxAnnunciationDraw(const EhsiPaint& p);
void EhsiWindComponentsDraw(const EhsiPaint& p);
void CompositeReadoutsDraw(const EhsiPaint& p);
void CompositeHeadingTapeDraw(const EhsiPaint& p);
void CompositeNavReadoutsDraw(const EhsiPaint& p);

// Pointers, deviation and map.
void EhsiBearing1Update(EhsiSet& set);
void EhsiBearing2Update(EhsiSet& set);
void EhsiBearingPointersDraw(const EhsiPaint& p);
void EhsiBearingPointersArcDraw(const EhsiPaint& p);
void EhsiCoursePointerDraw(const EhsiPaint& p);
void EhsiCoursePointerArcDraw(const EhsiPaint& p);
void EhsiDeviationScaleDraw(const EhsiPaint& p);
void EhsiToFromDraw(const EhsiPaint& p);
void EhsiVerticalDeviationDraw(const EhsiPaint& p);
void EhsiStationSymbolsDraw(const EhsiPaint& p);
void EhsiMapDraw(const EhsiPaint& p);
// What drawing the set's picture of this tick does to its map, for a
// picture copied instead of drawn: the list its key stepped is drawn.
void EhsiMapTakenAsDrawn(EhsiSet& set);

// The navigation display's picture for its mode (rose, arc or map), as the
// display gauge calls it in the normal format.
void EhsiPictureDraw(const EhsiPaint& p);

// Lateral deviation in grid units: +-127 is +-20 (two dots), negated on a
// localiser while back course is selected.
double EhsiLateralDeviation(int side);
// The map's projected radius for a distance at a range.
int32_t EhsiMapRadius(double distance, double range);

// Repaint keys. EhsiInputsKeyAdd: the module data a normal-format picture
// of the side reads in the side's mode, each value as the steps draw it (a
// printed number as its text, an angle as the rotation's table index or the
// smooth layer's float, a station as its placed point), nothing a mode
// does not draw. EhsiPictureKeyAdd: the key of a display gauge's picture of
// the set: in the map mode it takes the picture's step of the map's count
// (rebuilding the list at 0, as every drawn picture did) and adds the list
// the picture draws, then the inputs; nothing in the composite format,
// where the navigation display draws no sequence. EhsiSharedStepsKeyAdd:
// what the navigation steps the attitude display's sequences share read.
// EhsiStateKey: the state a set carries from one picture to the next
// (the bearing pointers; its texts are formatted anew before each use).
void EhsiInputsKeyAdd(RepaintKeyBuilder& key, int side);
void EhsiPictureKeyAdd(RepaintKeyBuilder& key, EhsiSet& set);
void EhsiSharedStepsKeyAdd(RepaintKeyBuilder& key, int side);
RepaintKey EhsiStateKey(EhsiSet& set);

}  // namespace zu
