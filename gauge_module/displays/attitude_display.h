// The attitude display's drawing steps: one set per attitude display gauge
// (VSI1, VSI1_VC, VSI2, VSI2_VC), chosen by data side and kind. They draw in
// the 168 x 131 design grid with the attitude centre at (84, 65), and read
// module state only; each set keeps its radio-altitude text cache.
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"

namespace zu {

// One drawing set: its side's data and its own text caches.
struct EadiSet {
    int side;               // data side 0 or 1
    bool virtual_cockpit;   // the VC sets: FMA boxes end at y 8 on side 2
    int32_t readout_value;  // radio altitude last formatted
    char readout_text[11];
    int32_t readout_length;
    char dh_text[5];
};
// [side][0 2D, 1 VC].
extern EadiSet EadiSets[2][2];
EadiSet& EadiSetOf(int side, bool virtual_cockpit);

// The sphere's clip regions of one drawing surface, in its device pixels:
// the normal format's sphere (the ellipse between the speed scale's strip
// and the right strip) and the composite format's, which also leaves out
// the heading tape's rows and the notch of the readout above it.
struct EadiClipRegions {
    platform::DrawRegion normal{};
    platform::DrawRegion composite{};
    int32_t width = 0;  // the pixel size they were made for
    int32_t height = 0;
};
// The regions of a surface of width x height pixels.
EadiClipRegions EadiMakeClipRegions(int32_t width, int32_t height);
// The region the sphere of the side's format clips to.
const platform::DrawRegion& EadiSphereRegion(const EadiClipRegions& regions, int side);

// True while the side's attitude is valid (validity bytes A and C clear).
bool EadiAttitudeAvailable(int side);

// The steps. dc is the display's context; the smooth layer draws on it too.
void EadiSphereDraw(platform::DrawContext* dc, int side, const EadiClipRegions& regions);
void EadiAircraftSymbolDraw(platform::DrawContext* dc);
void EadiRadioAltitudeDraw(platform::DrawContext* dc, EadiSet& set);
void EadiSpeedScaleDraw(platform::DrawContext* dc, int side);
void EadiAttSourceDraw(platform::DrawContext* dc, int side);
void EadiSgSourceDraw(platform::DrawContext* dc, int side);
void EadiMarkerDraw(platform::DrawContext* dc);
void EadiFlightDirectorDraw(platform::DrawContext* dc, int side, const EadiClipRegions& regions);
void EadiFmaDraw(platform::DrawContext* dc, const EadiSet& set);
void EadiTestDraw(platform::DrawContext* dc, int side);

struct EhsiPaint;

// The vertical-speed scale, or with a flight-management source or a
// localiser the navigation display's deviation scale, painted by
// `navigation` (nothing there without it).
void EadiBottomScaleDraw(platform::DrawContext* dc, int side,
                         const EhsiPaint* navigation = nullptr);

// The attitude display's picture for its side's format: the normal sequence
// or the composite one. `navigation` paints the navigation display's steps
// the sequences share (vertical deviation; the deviation scale in place of
// the bottom scale; in the composite format the heading tape, its readouts,
// TO/FROM and the deviation scale) with the data side's 2D set, clipped by
// this surface's regions; without it those steps are left out.
void EadiPictureDraw(platform::DrawContext* dc, EadiSet& set, const EadiClipRegions& regions,
                     const EhsiPaint* navigation = nullptr);

// Repaint keys: the module data a picture of the side reads (the shared
// navigation steps' included), and the text caches a set carries.
void EadiInputsKeyAdd(RepaintKeyBuilder& key, int side);
RepaintKey EadiStateKey(const EadiSet& set);

}  // namespace zu
