// The attitude display's drawing steps: one set per attitude display gauge
// (VSI1, VSI1_VC, VSI2, VSI2_VC), chosen by data side and kind. They draw in
// the 168 x 131 design grid with the attitude centre at (84, 65), and read
// module state only; each set keeps its radio-altitude text cache.
#pragma once

#include <cstdint>

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

// True while the side's attitude is valid (validity bytes A and C clear).
bool EadiAttitudeAvailable(int side);

// The steps. dc is the display's context; the smooth layer draws on it too.
void EadiSphereDraw(platform::DrawContext* dc, int side);
void EadiAircraftSymbolDraw(platform::DrawContext* dc);
void EadiRadioAltitudeDraw(platform::DrawContext* dc, EadiSet& set);
void EadiSpeedScaleDraw(platform::DrawContext* dc, int side);
void EadiAttSourceDraw(platform::DrawContext* dc, int side);
void EadiSgSourceDraw(platform::DrawContext* dc, int side);
void EadiMarkerDraw(platform::DrawContext* dc);
void EadiFlightDirectorDraw(platform::DrawContext* dc, int side);
void EadiFmaDraw(platform::DrawContext* dc, const EadiSet& set);
void EadiTestDraw(platform::DrawContext* dc, int side);
void EadiBottomScaleDraw(platform::DrawContext* dc, int side);

struct EhsiPaint;

// The attitude display's picture for its side's format: the normal sequence
// or the composite one. `navigation` paints the navigation display's steps
// the sequences share (vertical deviation; in the composite format the
// heading tape, its readouts, TO/FROM and the deviation scale) with the data
// side's 2D set, clipped by this surface's regions; without it those steps
// are left out.
void EadiPictureDraw(platform::DrawContext* dc, EadiSet& set,
                     const EhsiPaint* navigation = nullptr);

}  // namespace zu
