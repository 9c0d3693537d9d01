// The four traffic displays: TCAS1 display, TCAS1 VC display, TCAS2 display
// and TCAS2 VC display. Each is a hidden root and a drawn surface (element
// 1) painted on an 86 x 84 design grid: the range and status texts, the own
// aircraft at (41, 56) with its range dots, the intruders of the shown
// intruder table (displays/tcas.h) clipped to the round screen, and the
// vertical-speed needle about (41, 41.5). All four show the same traffic and
// are powered by the left essential bus; side 2's needle runs its test from
// the side-2 air-data test timer. A display draws after 15 powered frames in
// a row, once per systems tick; unpowered it is black.
#pragma once

#include <cstdint>
#include <vector>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// The design grid, the own aircraft and the needle's pivot.
inline constexpr int32_t kTcasGridWidth = 86;
inline constexpr int32_t kTcasGridHeight = 84;
inline constexpr int32_t kTcasOwnX = 41;
inline constexpr int32_t kTcasOwnY = 56;
// Grid units from the own aircraft to the range ring (TcasRangeNm).
inline constexpr int32_t kTcasRangeUnits = 32;
// Powered frames before the first picture: the counter must pass 14.
inline constexpr int32_t kTcasPowerOnLimit = 15;

// The screen bitmap (the drawn surface) and the background painted under
// every picture ("BMP_TCAS_BKGa").
inline constexpr uint32_t kTcasSurfaceBitmap = 15710;
inline constexpr uint32_t kTcasBackgroundBitmap = 15711;
inline constexpr int32_t kTcasBitmapWidth = 172;
inline constexpr int32_t kTcasBitmapHeight = 168;

struct TcasScreen {
    const char* name;
    int side;  // 0 or 1: whose air-data test the needle shows
    bool virtual_cockpit;
    gauge::GaugeHeader* header = nullptr;
    bool setup_pending = false;
    gauge::DrawingSurface* surface = nullptr;
    int32_t width = 0;  // pixels
    int32_t height = 0;
    std::vector<uint8_t> background{};  // the surface's bytes with the background
    platform::DrawContext* graphics = nullptr;
    platform::DrawRegion clip{};  // the round screen, device pixels
    int32_t power_on = 0;         // 0..kTcasPowerOnLimit
    uint32_t last_drawn_tick = 0;
    bool busy = false;
    float last_needle_angle = 0.0f;
    uint32_t pictures = 0;
    RepaintKey last_key{};  // the picture on the surface
    bool unshown = false;   // painted since the host last took the picture
};

inline constexpr int kTcasScreenCount = 4;
// TCAS1 display, TCAS1 VC display, TCAS2 display, TCAS2 VC display.
extern TcasScreen TcasScreens[kTcasScreenCount];
extern gauge::ElementHeader* TcasElementLists[kTcasScreenCount][2];

void TcasDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The steps, for the callback and the tests.
void TcasDisplayInstall(TcasScreen& screen, gauge::GaugeHeader* header);
void TcasDisplayFrame(TcasScreen& screen, gauge::ElementHeader* surface_element);
void TcasDisplayKill(TcasScreen& screen);
bool SetupTcasScreen(TcasScreen& screen, gauge::DrawingSurface* surface);
platform::DrawRegion TcasClipRegionCreate(int32_t width, int32_t height);
void TcasStatusDraw(platform::DrawContext* dc);
void TcasTrafficDraw(platform::DrawContext* dc, const platform::DrawRegion& clip);
void TcasVsNeedleDraw(TcasScreen& screen, platform::DrawContext* g);
// What a picture of the screen shows: the status, the intruders as drawn
// and the needle at the angle it is to take.
void TcasPictureKeyAdd(RepaintKeyBuilder& key, const TcasScreen& screen);

// Where an intruder `distance` nm away at `relative_bearing` degrees from
// the nose is drawn (grid units); true when it lies beyond the screen's
// edge and is drawn on it.
bool TcasSymbolPlace(double relative_bearing, double distance, int32_t range_nm, int32_t* x,
                     int32_t* y);
// The needle's angle for a vertical speed and an air-data test timer
// (`last` is kept while the test blanks the needle).
float TcasNeedleAngle(int32_t vertical_speed, int32_t test_timer, float last);

}  // namespace zu
