#include "displays/weather_radar.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/electrical_system.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "displays/efis_display_gauges.h"
#include "displays/efis_resources.h"
#include "displays/repaint_key.h"
#include "instruments/gauge_framework.h"
#include "panels/display_control_panels.h"
#include "resources/resource_table.h"
#include "zu/platform/drawing_shapes.h"
#include "zu/platform/timer.h"

namespace zu {

bool WxRandomSeeded = false;
int32_t WxScreenPowerOn = 0;

WxRadarRecord WxRadarState{0, 0, 0, 0, kWxWarmUpTicks, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
int32_t WxRangeIndex = 3;
int32_t WxRange = 100;
int32_t WxGain = 50;
int32_t WxGainFactor = 128;
double WxTilt = 0.0;
uint8_t WxRangeRings = 1;
uint8_t WxButton2 = 1;
uint8_t WxBlink = 0;
uint8_t WxRedraw = 0;
uint8_t WxPolarGrid[kWxColumns][kWxBins] = {};
int32_t WxGridColumn = 0;
int32_t WxGridBin = 0;
WxPictureImage WxPicture[2] = {};
std::atomic<int32_t> WxPictureShown{0};
std::atomic<uint64_t> WxPictureSerial{0};
platform::DrawRegion WxClipRegion{};

const WxPictureImage& WxPictureFront() {
    return WxPicture[WxPictureShown.load(std::memory_order_acquire) & 1];
}

namespace {

using platform::DrawContext;
using platform::DrawPoint;
using platform::DrawRect;

constexpr int kPictureCells = kWxPictureWidth * kWxPictureHeight;
constexpr double kFeetPerNm = 6076.1155;
constexpr double kBeamHalfWidthDeg = 3.95;
constexpr double kDegToRad = 0.017453292519943295;
constexpr int32_t kClickPan = 682;

// The picture builder's working images. The fan keeps its rows padded for
// the blur: picture column x sits at kFanLeft + x, with zeros on both sides
// (the 7 x 7 box reaches three columns out) and column 0 always 0 (it never
// counts). Each fan cell follows one grid cell, so a build rewrites only the
// cells of the grid cells that changed since the last one.
constexpr int kFanLeft = 8;
constexpr int kFanStride = 152;  // kFanLeft + the width + 3, in whole vectors
constexpr int kBoxLanes = 8;
static_assert(kFanLeft >= 3 && kFanStride >= kFanLeft + kWxPictureWidth + 3 &&
              kFanStride % kBoxLanes == 0);
constexpr int kBoxRowVectors = (kWxPictureWidth + kBoxLanes - 1) / kBoxLanes;
static_assert(kFanLeft + kBoxRowVectors * kBoxLanes + 3 <= kFanStride);
struct WxWorkImages {
    alignas(16) uint8_t fan[kWxPictureHeight][kFanStride];
    int32_t map[kWxPictureHeight][kWxPictureWidth];
    bool map_built = false;
    // The grid as the fan shows it.
    uint8_t grid_shown[kWxColumns * kWxBins];
    // The fan cells each grid cell lands on last: cells[first[g] ..
    // first[g + 1]), as offsets into `fan`.
    uint16_t first[kWxColumns * kWxBins + 1];
    uint16_t cells[kPictureCells];
};
WxWorkImages gWork{};

int32_t gPreviousDisplayMode = 0;

// --- WxRadarUpdate's steps.

// The C library's generator (the instruments' flicker draws from it),
// seeded once from the clock (the simulated one in lockstep runs).
void SeedRandom() {
    if (WxRandomSeeded) return;
    WxRandomSeeded = true;
    const auto seconds = static_cast<unsigned>(platform::ClockNowMs() / 1000);
    std::srand(seconds + static_cast<unsigned>(std::rand()));
}

bool RightAvionicsPowered() {
    return AcBusPowered.get(2) != 0;
}

void UpdatePower() {
    WxRadarRecord& s = WxRadarState;
    s.powered = s.power_switch != 0 && RightAvionicsPowered() ? 1 : 0;
}

void ResetUnpowered() {
    WxRadarRecord& s = WxRadarState;
    s.warm_up_countdown = kWxWarmUpTicks;
    s.selected_mode = 0;
    s.display_mode = kWxModeOff;
    s.target_alert_enabled = 0;
    s.manual_gain_active = 0;
    s.target_detected = 0;
    s.wait = 0;
}

void WarmUp() {
    WxRadarRecord& s = WxRadarState;
    s.warm_up_countdown = std::max(0, s.warm_up_countdown - 1);
    RedrawRequest.store(1, std::memory_order_relaxed);
    s.display_mode = kWxModeWarmUp;
    if (s.selected_mode > 1) s.wait = 1;
}

void Operate() {
    WxRadarRecord& s = WxRadarState;
    s.wait = 0;
    if (s.selected_mode < kWxModeTest) s.selected_mode = kWxModeStandby;
    s.display_mode = s.selected_mode;
    WxGainFactor = 128;
    s.manual_gain_active = 0;
    if (s.var_selected != 0 && s.display_mode == kWxModeWeather) {
        WxGainFactor = static_cast<int32_t>(WxGain * 2.56);
        s.manual_gain_active = 1;
    }
    s.target_alert_enabled =
        s.manual_gain_active == 0 &&
                (s.display_mode == kWxModeWeather || s.display_mode == kWxModeCycle) &&
                s.tgt_selected != 0
            ? 1
            : 0;
    s.wide_sector = WxButton2 != 0 ? 1 : 0;
    if (s.display_mode >= kWxModeWeather) WxPictureBuild();
}

void ToggleBlink() {
    if ((FrameChangeBits.load(std::memory_order_relaxed) & 0x04) != 0) {
        WxBlink = WxBlink != 0 ? 0 : 1;
    }
}

void SelectRange() {
    WxRangeIndex = std::clamp(WxRangeIndex, 0, 5);
    WxRange = kWxRanges[WxRangeIndex];
}

void ClearRoseOverlays() {
    for (DisplayControlRecord* side : {&DisplayControlState1, &DisplayControlState2}) {
        if (side->Mode == 0) side->Overlay = 0;
    }
}

void RequestRedraw() {
    const int32_t mode = WxRadarState.display_mode;
    if (mode != gPreviousDisplayMode ||
        (FrameChangeBits.load(std::memory_order_relaxed) & 0x08) != 0) {
        WxRedraw = 1;
    }
    gPreviousDisplayMode = mode;
}

// WxBoxBlur over the clamped summed-area table adds, for each cell, the
// source rows max(y - ry, 1) .. min(y + ry, height - 1) and the columns
// max(x - rx, 1) .. min(x + rx, width - 1) (row and column 0 never count:
// the clamped -1 index reads them), and divides by the whole box. Here
// the same sums run down the columns (a row at a time) into `columns`
// and then along each row; emit(y, x, sum) takes each cell's box sum.
template <typename Emit>
void BoxSumsRunning(const uint8_t* source, int32_t width, int32_t height, uint32_t* columns,
                    int32_t rx, int32_t ry, Emit emit) {
    const auto row = [width](auto* image, int32_t y) {
        return image + static_cast<std::ptrdiff_t>(y) * width;
    };
    // columns[y][x] = source[max(y - ry, 1) .. min(y + ry, height - 1)][x].
    uint32_t* first = row(columns, 0);
    std::fill(first, first + width, 0u);
    for (int32_t r = 1; r <= std::min(ry, height - 1); ++r) {
        const uint8_t* __restrict in = row(source, r);
        for (int32_t x = 0; x < width; ++x) first[x] += in[x];
    }
    for (int32_t y = 1; y < height; ++y) {
        const uint32_t* __restrict above = row(columns, y - 1);
        uint32_t* __restrict out = row(columns, y);
        const int32_t enter = y + ry;
        const int32_t leave = y - ry - 1;
        const uint8_t* __restrict in = enter < height ? row(source, enter) : nullptr;
        const uint8_t* __restrict gone = leave >= 1 ? row(source, leave) : nullptr;
        if (in != nullptr && gone != nullptr) {
            for (int32_t x = 0; x < width; ++x) out[x] = above[x] + in[x] - gone[x];
        } else if (in != nullptr) {
            for (int32_t x = 0; x < width; ++x) out[x] = above[x] + in[x];
        } else if (gone != nullptr) {
            for (int32_t x = 0; x < width; ++x) out[x] = above[x] - gone[x];
        } else {
            std::copy(above, above + width, out);
        }
    }
    // Along each row: columns max(x - rx, 1) .. min(x + rx, width - 1).
    // Cells below `enter_end` take a column in, from `leave_start` on
    // they drop one.
    const int32_t start = std::min(rx, width - 1);
    const int32_t enter_end = std::max(0, width - rx - 1);
    const int32_t leave_start = std::min(width, rx + 1);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* in = row(columns, y);
        uint32_t run = 0;
        for (int32_t c = 1; c <= start; ++c) run += in[c];
        int32_t x = 0;
        for (; x < std::min(enter_end, leave_start); ++x) {
            emit(y, x, run);
            run += in[x + rx + 1];
        }
        for (; x < enter_end; ++x) {
            emit(y, x, run);
            run += in[x + rx + 1];
            run -= in[x - rx];
        }
        for (; x < leave_start; ++x) emit(y, x, run);
        for (; x < width; ++x) {
            emit(y, x, run);
            run -= in[x - rx];
        }
    }
}

// --- WxPictureBuild's steps.

double BinDistance(int32_t bin) {
    return bin * WxRange * 0.05 + 0.001;
}

void TakeSamples() {
    for (int k = 0; k < kWeatherSamples; ++k) {
        const int32_t bin = WxGridBin + k;
        WxPolarGrid[WxGridColumn][bin] =
            static_cast<uint8_t>(WxCloudIntensity(WeatherSampleLines[k], BinDistance(bin)));
    }
    WxGridBin += kWeatherSamples;
    if (WxGridBin >= kWxBins) {
        WxGridBin = 0;
        if (++WxGridColumn >= kWxColumns) WxGridColumn = 0;
    }
}

void RequestSamples() {
    double offset = 2.0 * WxGridColumn - 30.0;
    if (WxRadarState.wide_sector != 0) offset *= 2.0;
    const double heading = std::isfinite(Heading) ? static_cast<double>(Heading) : 0.0;
    const double variation = std::isfinite(NavHeading) ? NavHeading : 0.0;
    // Whole degrees of the beam's heading, then the variation: true course.
    const auto whole = static_cast<int32_t>(std::trunc(std::fmod(offset + heading, 360.0)));
    double azimuth = ((whole + 360) % 360) + variation;
    azimuth = std::fmod(azimuth, 360.0);
    if (azimuth < 0) azimuth += 360.0;
    for (int k = 0; k < kWeatherSamples; ++k) {
        const double d = BinDistance(WxGridBin + k);
        const double lat = AircraftPosition.latitude;
        const double lon = AircraftPosition.longitude;
        WeatherSampleLatitude[k] = GreatCircleLat(lat, lon, azimuth, d);
        WeatherSampleLongitude[k] = GreatCircleLon(lat, lon, azimuth, d);
    }
    WeatherSampleFlags[kWeatherPending].store(1, std::memory_order_release);
}

// The fan: each picture column's grid cells turned by the column's
// angle about the apex. Picture row y reads grid bin y / 4.15, picture
// column c grid column c / 4.47; a cell written twice keeps the later
// column's (the scan goes row by row, columns left to right).
void BuildFanMap() {
    if (gWork.map_built) return;
    if (EfisCosine[0] == 0) BuildTrigTables();
    EfisRotationRecord r{};
    for (int c = 0; c < kWxPictureWidth; ++c) {
        const double angle = (kWxCentreColumn - c) * 0.89552239;
        SetRotation(r, kWxCentreColumn, 0, static_cast<float>(angle), 0);
        for (int y = 0; y < kWxPictureHeight; ++y) {
            const int32_t index =
                RotX(r, kWxCentreColumn, y) + kWxPictureWidth * RotY(r, kWxCentreColumn, y);
            gWork.map[y][c] = index < 0 || index >= kWxFanEntries ? kWxFanEntries - 1 : index;
        }
    }
    constexpr uint16_t kNone = kWxColumns * kWxBins;
    static uint16_t source[kPictureCells];
    std::fill(std::begin(source), std::end(source), kNone);
    for (int y = 0; y < kWxPictureHeight; ++y) {
        const auto bin = static_cast<int>(y * 0.24096385542168675);
        for (int c = 0; c < kWxPictureWidth; ++c) {
            const auto column = static_cast<int>(c * 0.22388059701492538);
            const int32_t to = gWork.map[y][c];
            if (to < kPictureCells) source[to] = static_cast<uint16_t>(column * kWxBins + bin);
        }
    }
    // Grouped by grid cell; column 0 never counts and keeps no cell.
    uint16_t count[kNone + 1] = {};
    for (int i = 0; i < kPictureCells; ++i) {
        if (i % kWxPictureWidth != 0) ++count[source[i]];
    }
    gWork.first[0] = 0;
    for (int g = 0; g < kNone; ++g) gWork.first[g + 1] = gWork.first[g] + count[g];
    uint16_t next[kNone];
    std::copy(gWork.first, gWork.first + kNone, next);
    for (int i = 0; i < kPictureCells; ++i) {
        const int g = source[i];
        if (g == kNone || i % kWxPictureWidth == 0) continue;
        const int y = i / kWxPictureWidth;
        const int x = i % kWxPictureWidth;
        gWork.cells[next[g]++] = static_cast<uint16_t>(y * kFanStride + kFanLeft + x);
    }
    // The fan as an all-zero grid shows it.
    std::memset(gWork.fan, 0, sizeof gWork.fan);
    std::memset(gWork.grid_shown, 0, sizeof gWork.grid_shown);
    gWork.map_built = true;
}

void FillFan() {
    const uint8_t* grid = &WxPolarGrid[0][0];
    uint8_t* fan = &gWork.fan[0][0];
    for (int g = 0; g < kWxColumns * kWxBins; ++g) {
        const uint8_t v = grid[g];
        if (v == gWork.grid_shown[g]) continue;
        gWork.grid_shown[g] = v;
        for (int k = gWork.first[g]; k < gWork.first[g + 1]; ++k) fan[gWork.cells[k]] = v;
    }
}

// Sums of up to 49 x 255 fit 16-bit lanes, signed.
using BoxSums = int16_t __attribute__((vector_size(2 * kBoxLanes)));
using BoxBytes = uint8_t __attribute__((vector_size(kBoxLanes)));
using BoxColours = int32_t __attribute__((vector_size(4 * kBoxLanes)));

template <typename V, typename T>
V LoadLanes(const T* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Blurs the fan over a 7 x 7 box, clears the top five rows and colours
// the back picture, then shows it. Each box takes the fan rows max(y - 3,
// 1) .. min(y + 3, height - 1) (row 0 never counts) and the columns x - 3
// .. x + 3 of the padded rows; the sum over 49 picks the colour.
void BlurAndColour() {
    const int32_t back = (WxPictureShown.load(std::memory_order_relaxed) & 1) ^ 1;
    WxPictureImage& picture = WxPicture[back];
    // The colours for this picture's gain and phase, as runs of blurred
    // values: the colour changes where a run starts. A sum of 49 v .. 49 v
    // + 48 is the value v, so a run from value v starts at the sum 49 v.
    // Four runs at most (black, green, yellow, red or black), as the bands
    // go; a run that does not occur starts past every sum and changes
    // nothing. The colours go as differences: a sum in run r has passed
    // the starts of runs 1 .. r and takes colour 0 ^ (0 ^ 1) ^ .. ^ (r-1 ^ r).
    constexpr int kRuns = 4;
    // Values from 16 on read 255 and share its colour.
    uint32_t colour_of[256];
    for (int32_t v = 0; v <= 16; ++v) colour_of[v] = WxColour(std::min(255, v * 16));
    std::fill(colour_of + 17, colour_of + 256, colour_of[16]);
    int runs = 1;
    int16_t run_start[kRuns] = {0, INT16_MAX, INT16_MAX, INT16_MAX};
    uint32_t run_change[kRuns] = {colour_of[0], 0, 0, 0};
    for (int32_t v = 1; v < 256; ++v) {
        if (colour_of[v] == colour_of[v - 1]) continue;
        if (runs < kRuns) {
            run_start[runs] = static_cast<int16_t>(v * 49);
            run_change[runs] = colour_of[v] ^ colour_of[v - 1];
        }
        ++runs;
    }
    constexpr int32_t kClearedRows = 78;
    const BoxColours first = BoxColours{} + static_cast<int32_t>(run_change[0]);
    const BoxColours change1 = BoxColours{} + static_cast<int32_t>(run_change[1]);
    const BoxColours change2 = BoxColours{} + static_cast<int32_t>(run_change[2]);
    const BoxColours change3 = BoxColours{} + static_cast<int32_t>(run_change[3]);
    const BoxSums start1 = BoxSums{} + run_start[1], start2 = BoxSums{} + run_start[2],
                  start3 = BoxSums{} + run_start[3];
    alignas(16) int16_t columns[kFanStride] = {};
    // Rows 1 .. 3 for row 0.
    for (int32_t r = 1; r <= std::min(3, kWxPictureHeight - 1); ++r) {
        for (int i = 0; i < kFanStride; i += kBoxLanes) {
            BoxSums c = LoadLanes<BoxSums>(columns + i);
            c += __builtin_convertvector(LoadLanes<BoxBytes>(&gWork.fan[r][i]), BoxSums);
            std::memcpy(columns + i, &c, sizeof c);
        }
    }
    alignas(32) uint32_t out[kBoxLanes];
    for (int32_t y = 0; y < kClearedRows; ++y) {
        if (y > 0) {
            const int32_t enter = y + 3;
            const int32_t leave = y - 4;
            for (int i = 0; i < kFanStride; i += kBoxLanes) {
                BoxSums c = LoadLanes<BoxSums>(columns + i);
                if (enter < kWxPictureHeight) {
                    c +=
                        __builtin_convertvector(LoadLanes<BoxBytes>(&gWork.fan[enter][i]), BoxSums);
                }
                if (leave >= 1) {
                    c -=
                        __builtin_convertvector(LoadLanes<BoxBytes>(&gWork.fan[leave][i]), BoxSums);
                }
                std::memcpy(columns + i, &c, sizeof c);
            }
        }
        uint32_t* row = picture.pixels[y];
        if (runs > kRuns) {
            // More colour changes than the runs hold: value by value.
            for (int32_t x = 0; x < kWxPictureWidth; ++x) {
                uint32_t total = 0;
                for (int k = -3; k <= 3; ++k) total += columns[kFanLeft + x + k];
                row[x] = colour_of[total / 49u];
            }
            continue;
        }
        for (int v = 0; v < kBoxRowVectors; ++v) {
            const int16_t* at = columns + kFanLeft + v * kBoxLanes - 3;
            BoxSums total = LoadLanes<BoxSums>(at);
            for (int k = 1; k < 7; ++k) total += LoadLanes<BoxSums>(at + k);
            static_assert(kRuns == 4);
            const BoxColours colour =
                first ^ (__builtin_convertvector(total >= start1, BoxColours) & change1) ^
                (__builtin_convertvector(total >= start2, BoxColours) & change2) ^
                (__builtin_convertvector(total >= start3, BoxColours) & change3);
            // The last vector's lanes reach past the row: they go through `out`.
            uint32_t* to = v + 1 < kBoxRowVectors ? row + v * kBoxLanes : out;
            std::memcpy(to, &colour, sizeof colour);
        }
        constexpr int kTail = kWxPictureWidth - (kBoxRowVectors - 1) * kBoxLanes;
        std::memcpy(row + (kBoxRowVectors - 1) * kBoxLanes, out, sizeof row[0] * kTail);
    }
    for (int32_t y = kClearedRows; y < kWxPictureHeight; ++y) {
        std::fill(picture.pixels[y], picture.pixels[y] + kWxPictureWidth, colour_of[0]);
    }
    // A picture like the shown one leaves the overlay's key as it is.
    const bool changed = std::memcmp(&picture, &WxPicture[back ^ 1], sizeof picture) != 0;
    WxPictureShown.store(back, std::memory_order_release);
    if (changed) WxPictureSerial.fetch_add(1, std::memory_order_release);
}

void DetectTarget() {
    WxRadarRecord& s = WxRadarState;
    s.target_detected = 0;
    if (s.target_alert_enabled == 0) return;
    const WxPictureImage& picture = WxPictureFront();
    for (int y = 0; y < kWxPictureHeight; ++y) {
        if (picture.pixels[y][kWxCentreColumn] == kWxRed) {
            s.target_detected = 1;
            return;
        }
    }
}

// --- Cloud intensity.

double LayerWeight(const uint8_t* layer, double beam_top, double beam_bottom, double d) {
    uint16_t top = 0;
    int16_t base = 0;
    std::memcpy(&top, layer + 0, 2);
    std::memcpy(&base, layer + 10, 2);
    if (static_cast<int32_t>(top) - base <= 0) return 0.0;
    const double overlap = std::min(beam_top - base, top - beam_bottom);
    if (!(overlap > 0)) return 0.0;
    double v = std::fabs(overlap / (beam_top - beam_bottom) * d * 0.4123711340206186);
    v = std::min(v, 1.0);
    // Precipitation.
    switch (layer[7]) {
        case 0:
            v = 0.0;
            break;
        case 1:
        case 8:
        case 9:
            v *= 0.5;
            break;
        default:
            break;
    }
    // Turbulence.
    static constexpr double kTurbulence[6] = {1.0, 1.1, 1.15, 1.2, 1.25, 1.3};
    if (layer[13] >= 1 && layer[13] <= 5) v *= kTurbulence[layer[13]];
    // Coverage.
    const uint8_t cover = layer[6];
    if (cover == 0) return 0.0;
    if (cover >= 2 && cover <= 8) return v * (1.0 + 0.1 * (cover - 1));
    return v;
}

// --- The gauge.

constexpr uint32_t kBackgroundColour = 0x000F110A;  // RGB 10, 17, 15
constexpr int32_t kWindowWidth = 163;
constexpr int32_t kWindowHeight = 113;

struct WxScreen {
    gauge::GaugeHeader* header = nullptr;
    bool setup_pending = false;
    bool set_up = false;
    bool busy = false;
    uint8_t is_vc = 0;
    bool blank_shown = false;  // the surface shows the blank screen alone
    platform::DrawHandle background_brush = 0;
    // The two bitmaps the screen loads (and never draws).
    const gauge::BitmapResource* screen_art = nullptr;
    const gauge::BitmapResource* clouds_art = nullptr;
    gauge::DrawingSurface* surface = nullptr;
};
WxScreen gScreen;

DrawContext* ContextOf(const gauge::DrawingSurface* s) {
    return static_cast<DrawContext*>(s->context);
}

void Text(DrawContext* dc, int32_t x, int32_t y, const char* text) {
    platform::DrawTextOut(dc, x, y, text, static_cast<int32_t>(std::strlen(text)));
}

void TextColour(DrawContext* dc, int colour) {
    platform::DrawSetTextColour(dc, DimColour(EfisPalette[colour]));
}

void Pen(DrawContext* dc, int colour) {
    platform::DrawSelectObject(dc, EfisPens[colour]);
}

void UpperArc(DrawContext* dc, int32_t i) {
    platform::DrawArc(dc, DrawRect{i, i + 16, 163 - i, 180 - i}, 163 - i, 98, i, 98);
}

void ClipToRadar(DrawContext* dc) {
    platform::DrawSelectClipRegion(dc, WxClipRegion);
}

// Counts the test countdown down; true when it was running.
bool CountTest() {
    int32_t& c = WxRadarState.test_countdown;
    if (c <= 0) return false;
    c = std::max(0, c - 1);
    RedrawRequest.store(1, std::memory_order_relaxed);
    return true;
}

bool Powered() {
    return WxRadarState.powered != 0;
}

int32_t Finish(bool click) {
    if (click) PlayClick(&SoundSet[kSoundClickTiny], kClickPan);
    ArmRefresh(kRefreshRadios);
    return 0;
}

void Toggle(uint8_t& b) {
    b = b != 0 ? 0 : 1;
}

// Element visibility.
void WxVisibility(gauge::GaugeHeader* header) {
    gauge::ElementHeader* first = FirstElement(header);
    if (first == nullptr) return;
    const bool lit = PanelLightingCircuit2.get() != 0 && gScreen.is_vc == 0;
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(WxRadarState.var_selected).Add(WxRadarState.tgt_selected);
    key.Add(WxRangeRings).Add(WxButton2);
    if (!VisibilityStale(memo, first, key.Key())) return;
    for (int k : {0, 3, 5, 15}) ShowElement(first, k, lit);
    for (int k : {2, 4, 14}) ShowElement(first, k, !lit);
    for (int k = 6; k <= 13; ++k) SetElementLit(first, k, lit);
    const uint8_t on[4] = {WxRadarState.var_selected, WxRadarState.tgt_selected, WxRangeRings,
                           WxButton2};
    for (int pair = 0; pair < 4; ++pair) {
        ShowElement(first, 6 + 2 * pair, on[pair] == 0);
        ShowElement(first, 7 + 2 * pair, on[pair] != 0);
    }
    VisibilityKept(memo, first, key.Key());
}

gauge::ElementHeader* ScreenElement(gauge::GaugeHeader* header) {
    gauge::ElementHeader* first = FirstElement(header);
    if (first == nullptr || first->next_element == nullptr) return nullptr;
    return first->next_element[0];
}

bool SetupWxRadarScreen(gauge::DrawingSurface* s) {
    if (gScreen.set_up && !gScreen.setup_pending && gScreen.surface == s) return true;
    if (s->context == nullptr || s->pixels == nullptr || !EfisResourcesReady()) return false;
    WxRadarState.gauge_width = s->width;
    WxRadarState.gauge_height = s->height;
    if (gScreen.background_brush == 0) {
        gScreen.background_brush = platform::DrawCreateBrush(kBackgroundColour);
    }
    gScreen.screen_art = FindResource(wx_layout::kRadarScreenArt);
    gScreen.clouds_art = FindResource(wx_layout::kRadarCloudsArt);
    DrawContext* dc = ContextOf(s);
    WxClipRegion = WxClipRegionCreate(s->width, s->height);
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    platform::DrawSelectObject(dc, EfisFonts[1]);
    platform::DrawSetBkMode(dc, false);
    platform::DrawSetRop2(dc, platform::DrawRop2::CopyPen);
    platform::DrawSetMapping(dc, kWindowWidth, kWindowHeight, s->width, s->height);
    gScreen.surface = s;
    gScreen.blank_shown = false;
    gScreen.set_up = true;
    gScreen.setup_pending = false;
    return true;
}

void WxPaint(gauge::ElementHeader* element) {
    gauge::DrawingSurface* s = element->surface;
    DrawContext* dc = ContextOf(s);
    gScreen.busy = true;
    platform::DrawSetMapping(dc, kWindowWidth, kWindowHeight, s->width, s->height);
    // The drawing state is saved around the picture: the pens and brushes it
    // selects are released afterwards, so the brightness step can make them
    // anew for every display.
    platform::DrawSaveState(dc);
    const bool picture = WxScreenPowerOn > 45 && WxRedraw != 0 && Powered();
    if (WxRedraw != 0) {
        // A blank screen (off or warming up) is painted once.
        if (picture || !gScreen.blank_shown || RepaintEveryPicture) {
            platform::DrawBeginPaint(dc);
            platform::DrawResetClip(dc);
            platform::DrawFillRectBrush(dc, DrawRect{0, 0, 164, 114}, gScreen.background_brush);
            element->image_flags &= ~gauge::kImageOnScreen;
        }
        gScreen.blank_shown = !picture;
    }
    if (picture) {
        WxTestPatternDraw(dc);
        WxPictureDraw(dc);
        WxScanLinesDraw(dc);
        WxLegendsDraw(dc);
        WxRedraw = 0;
        element->image_flags &= ~gauge::kImageOnScreen;
    }
    gScreen.busy = false;
    platform::DrawRestoreState(dc);
}

void WxUpdate(gauge::GaugeHeader* header) {
    gScreen.header = header;
    if (RefreshGroupStep(kRefreshRadios)) WxVisibility(header);
    gauge::ElementHeader* element = ScreenElement(header);
    if (element == nullptr || element->surface == nullptr) return;
    gScreen.is_vc = GaugeIsVcFrom(header);
    if (!SetupWxRadarScreen(element->surface)) return;
    WxScreenPowerOn = Powered() ? std::min(55, WxScreenPowerOn + 1) : 50;
    if (gScreen.busy) return;
    WxPaint(element);
}

void WxKill() {
    if (!gScreen.set_up) return;
    if (gScreen.background_brush != 0) platform::DrawDeleteObject(gScreen.background_brush);
    gScreen.background_brush = 0;
    gScreen.screen_art = nullptr;
    gScreen.clouds_art = nullptr;
    gScreen.surface = nullptr;
    gScreen.set_up = false;
}

// --- Elements and rectangles.

namespace wl = wx_layout;
using gauge::ElementHeader;
using gauge::NeedleElement;

double PowerAngle(ElementHeader*) {
    return WxPowerKnobAngle();
}
double GainAngle(ElementHeader*) {
    return WxGainKnobAngle();
}
double TiltAngle(ElementHeader*) {
    return WxTiltKnobAngle();
}

struct WxElements {
    ElementHeader overlay;
    ElementHeader screen;
    NeedleElement power[2];
    NeedleElement gain[2];
    ElementHeader lamps[8];
    NeedleElement tilt[2];
    ElementHeader* next[16][2];
};

constexpr NeedleElement Knob(int32_t x, int32_t y, bool lit, ElementHeader** next,
                             gauge::ElementCallback callback) {
    return NeedleRecord(lit ? wl::kKnobLit : wl::kKnobUnlit, x, y,
                        {wl::kKnobSize / 2, wl::kKnobSize / 2}, lit ? gauge::kImageHidden : 0u,
                        next, 0, callback);
}

// Lamp pair p (VAR, TGT, rings, sector) sits on the option row's key p.
constexpr ElementHeader Lamp(int k, ElementHeader** next) {
    const int pair = k / 2;
    const bool on = (k % 2) != 0;
    return StaticImageRecord(on ? wl::kLampOn : wl::kLampOff,
                             wl::KeyX(pair) + (wl::kKeyWidth - wl::kLampWidth) / 2,
                             wl::kOptionRowY + wl::kLampDy, on ? gauge::kImageHidden : 0u, next);
}

constexpr WxElements MakeElements(WxElements* self) {
    WxElements e{StaticImageRecord(wl::kOverlayLit, 0, 0, gauge::kImageHidden, self->next[0]),
                 {gauge::ElementType::StaticImage,
                  wl::kScreen,
                  {wl::kScreenX, wl::kScreenY},
                  gauge::kImageDrawnSurface,
                  self->next[1],
                  0,
                  0.0,
                  nullptr},
                 {Knob(wl::kPowerKnobX, wl::kPowerKnobY, false, self->next[2], PowerAngle),
                  Knob(wl::kPowerKnobX, wl::kPowerKnobY, true, self->next[3], PowerAngle)},
                 {Knob(wl::kGainKnobX, wl::kGainKnobY, false, self->next[4], GainAngle),
                  Knob(wl::kGainKnobX, wl::kGainKnobY, true, self->next[5], GainAngle)},
                 {Lamp(0, self->next[6]), Lamp(1, self->next[7]), Lamp(2, self->next[8]),
                  Lamp(3, self->next[9]), Lamp(4, self->next[10]), Lamp(5, self->next[11]),
                  Lamp(6, self->next[12]), Lamp(7, self->next[13])},
                 {Knob(wl::kTiltKnobX, wl::kTiltKnobY, false, self->next[14], TiltAngle),
                  Knob(wl::kTiltKnobX, wl::kTiltKnobY, true, self->next[15], TiltAngle)},
                 {}};
    ElementHeader* order[16] = {
        &self->overlay,         &self->screen,         &self->power[0].header,
        &self->power[1].header, &self->gain[0].header, &self->gain[1].header,
        &self->lamps[0],        &self->lamps[1],       &self->lamps[2],
        &self->lamps[3],        &self->lamps[4],       &self->lamps[5],
        &self->lamps[6],        &self->lamps[7],       &self->tilt[0].header,
        &self->tilt[1].header};
    for (int k = 0; k < 15; ++k) e.next[k][0] = order[k + 1];
    return e;
}
constinit WxElements gElements = MakeElements(&gElements);

template <WxControl C>
int32_t ControlHandler(gauge::Point*, uint32_t) {
    return WxControlPress(C);
}
template <int Index>
int32_t RangeHandler(gauge::Point*, uint32_t) {
    return WxRangeKey(Index);
}

constexpr gauge::MouseRect Key(int i, int32_t row_y, gauge::MouseHandler h) {
    return MouseChild(wl::KeyX(i), row_y, wl::kKeyWidth, wl::kKeyHeight, kCursorHand, kClick, h);
}
constexpr int32_t kHalf = wl::kKnobSize / 2;
constexpr gauge::MouseRect KnobHalf(int32_t cx, int32_t cy, bool up, gauge::MouseHandler h) {
    return MouseChild(up ? cx : cx - kHalf, cy - kHalf, kHalf, wl::kKnobSize,
                      up ? kCursorIncrease : kCursorDecrease, kClick, h);
}

}  // namespace

// --- Interfaces.

void WxRadarUpdate() {
    SeedRandom();  // 1.
    // 2.-5.
    UpdatePower();
    if (WxRadarState.powered == 0) {
        ResetUnpowered();
    } else if (WxRadarState.warm_up_countdown > 0) {
        WarmUp();
    } else {
        Operate();
    }
    ToggleBlink();        // 6.
    SelectRange();        // 7.
    ClearRoseOverlays();  // 8.
    RequestRedraw();      // 9.
}

void WxPictureBuild() {
    // 1. Four answered points in, four new points out.
    if (WeatherSampleFlags[kWeatherPending].load(std::memory_order_acquire) == 0) {
        TakeSamples();
        RequestSamples();
    }
    // 2.
    if ((FrameChangeBits.load(std::memory_order_relaxed) & 0x04) == 0) return;
    BuildFanMap();    // 3.-5., made once
    FillFan();        // 3.-5.
    BlurAndColour();  // 6.-8.
    DetectTarget();   // 9.
}

int32_t WxCloudIntensity(const uint8_t* record, double distance_nm) {
    if (record == nullptr || !(distance_nm > 0) || !std::isfinite(distance_nm)) return 0;
    const double altitude = static_cast<double>(Altitude);
    if (!std::isfinite(altitude) || !std::isfinite(WxTilt)) return 0;
    const double reach = distance_nm * kFeetPerNm;
    const double beam_top = altitude - std::sin((WxTilt - kBeamHalfWidthDeg) * kDegToRad) * reach;
    const double beam_bottom =
        altitude - std::sin((WxTilt + kBeamHalfWidthDeg) * kDegToRad) * reach;
    if (!(beam_top - beam_bottom > 0)) return 0;
    int32_t layers = 0;
    std::memcpy(&layers, record + kWxLayerCountOffset, 4);
    layers = std::clamp(layers, 0, kWxMaxLayers);
    double sum = 0.0;
    for (int i = 0; i < layers; ++i) {
        sum += LayerWeight(record + kWxLayersOffset + i * kWxLayerSize, beam_top, beam_bottom,
                           distance_nm);
    }
    const double scaled = sum * 12.0;
    if (!(scaled < 255.0)) return 255;
    return static_cast<int32_t>(scaled);
}

uint32_t WxColour(int32_t intensity) {
    int32_t v = std::clamp(intensity, 0, 255);
    if (WxRadarState.manual_gain_active != 0) {
        v = static_cast<int32_t>(
            std::min<int64_t>(255, static_cast<int64_t>(v) * WxGainFactor / 128));
        v = std::max(v, 0);
    }
    // The bands meet: 137 is green and 182 yellow.
    if (v >= 65 && v <= 137) return kWxGreen;
    if (v >= 138 && v <= 182) return kWxYellow;
    if (v >= 183) {
        const bool cycle_off = WxRadarState.display_mode == kWxModeCycle &&
                               (TickCounter.load(std::memory_order_relaxed) & 0x04) == 0;
        return cycle_off ? kWxBlack : kWxRed;
    }
    return kWxBlack;
}

void WxIntegralImage(const uint8_t* source, int32_t width, int32_t height, uint32_t* sum) {
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t v = source[y * width + x];
            if (x > 0) v += sum[y * width + x - 1];
            if (y > 0) v += sum[(y - 1) * width + x];
            if (x > 0 && y > 0) v -= sum[(y - 1) * width + x - 1];
            sum[y * width + x] = v;
        }
    }
}

void WxBoxBlur(const uint8_t* source, int32_t width, int32_t height, uint8_t* result,
               const uint32_t* sum, int32_t rx, int32_t ry) {
    if (width <= 0 || height <= 0) return;
    if (rx < 0 || ry < 0) {
        std::memcpy(result, source, static_cast<size_t>(width) * static_cast<size_t>(height));
        return;
    }
    // A summed-area entry with its indices clamped into the table; -1 rows
    // and columns still read the clamped edge, as the table is indexed.
    auto at = [&](int32_t y, int32_t x) -> int64_t {
        y = std::clamp(y, 0, height - 1);
        x = std::clamp(x, 0, width - 1);
        return sum[y * width + x];
    };
    const int64_t area = static_cast<int64_t>(2 * rx + 1) * (2 * ry + 1);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int64_t total = at(y + ry, x + rx) - at(y - ry - 1, x + rx) -
                                  at(y + ry, x - rx - 1) + at(y - ry - 1, x - rx - 1);
            result[y * width + x] = static_cast<uint8_t>(std::clamp<int64_t>(total / area, 0, 255));
        }
    }
}

void WxBoxBlurRunning(const uint8_t* source, int32_t width, int32_t height, uint8_t* result,
                      uint32_t* columns, int32_t rx, int32_t ry) {
    if (width <= 0 || height <= 0) return;
    if (rx < 0 || ry < 0) {
        std::memcpy(result, source, static_cast<size_t>(width) * static_cast<size_t>(height));
        return;
    }
    const uint32_t area = static_cast<uint32_t>(2 * rx + 1) * static_cast<uint32_t>(2 * ry + 1);
    BoxSumsRunning(source, width, height, columns, rx, ry,
                   [=](int32_t y, int32_t x, uint32_t total) {
                       result[static_cast<std::ptrdiff_t>(y) * width + x] =
                           static_cast<uint8_t>(std::min<uint32_t>(total / area, 255));
                   });
}

platform::DrawRegion WxClipRegionCreate(int32_t width, int32_t height) {
    auto sx = [&](int32_t x) { return static_cast<int32_t>(x * width / kWindowWidth); };
    auto sy = [&](int32_t y) { return static_cast<int32_t>(y * height / kWindowHeight); };
    const DrawPoint fan[4] = {
        {sx(82), sy(98)}, {sx(-64), sy(15)}, {sx(235), sy(15)}, {sx(86), sy(98)}};
    platform::DrawRegion polygon{};
    platform::DrawRegionPolygon(&polygon, fan, 4);
    const platform::DrawRegion ellipse =
        platform::DrawRegionEllipse(DrawRect{sx(-1), sy(15), sx(165), sy(181)});
    platform::DrawRegion region = polygon;
    platform::DrawRegionAnd(&region, polygon, ellipse);
    return region;
}

void WxTestPatternDraw(DrawContext* dc) {
    if (dc == nullptr || WxRadarState.display_mode != kWxModeTest) return;
    ClipToRadar(dc);
    if (WxBlink != 0) {
        Pen(dc, kEfisRed);
        for (int32_t i = 0; i <= 31; ++i) UpperArc(dc, i);
    }
    Pen(dc, kEfisYellow);
    for (int32_t i = 32; i <= 47; ++i) UpperArc(dc, i);
    Pen(dc, kEfisDarkGreen);
    for (int32_t i = 48; i <= 62; ++i) UpperArc(dc, i);
    platform::DrawResetClip(dc);
}

void WxPictureDraw(DrawContext* dc) {
    const int32_t mode = WxRadarState.display_mode;
    if (dc == nullptr || (mode != kWxModeWeather && mode != kWxModeCycle)) return;
    ClipToRadar(dc);
    platform::DrawStretchDib(dc, 13, 12, 138, 90, &WxPictureFront().pixels[0][0], kWxPictureWidth,
                             kWxPictureHeight, true, platform::DrawBlitRop::SrcPaint);
    platform::DrawResetClip(dc);
}

void WxScanLinesDraw(DrawContext* dc) {
    if (dc == nullptr) return;
    const int32_t mode = WxRadarState.display_mode;
    ClipToRadar(dc);
    Pen(dc, mode == kWxModeTest ? kEfisCyan : kEfisWhite);
    if (WxRangeRings != 0) {
        for (float angle : {0.0f, -30.0f, -60.0f, 30.0f, 60.0f}) {
            SetRotation(82, 98, angle, 0);
            RotLine(dc, 82, 85, 82, 15);
        }
        SetRotation(0, 0, 0.0f, 0);
    }
    const bool testing = CountTest();
    const bool quiet = mode == kWxModeWarmUp || mode == kWxModeTest || mode == kWxModeStandby;
    if (!quiet || testing) {
        for (int32_t k = 0; k < 4; ++k) UpperArc(dc, static_cast<int32_t>(16.6 * k));
    }
    platform::DrawResetClip(dc);
}

void WxLegendsDraw(DrawContext* dc) {
    if (dc == nullptr) return;
    const WxRadarRecord& s = WxRadarState;
    const int32_t mode = s.display_mode;
    platform::DrawSetBkMode(dc, true);
    platform::DrawSetBkColour(dc, kBackgroundColour);
    platform::DrawSelectObject(dc, EfisFonts[1]);
    platform::DrawSetTextAlign(dc, platform::kDrawTaCenter | platform::kDrawTaTop);
    TextColour(dc, kEfisWhite);
    // 1. Colour key.
    if (mode == kWxModeTest || mode == kWxModeWeather || mode == kWxModeCycle ||
        mode == kWxModeMap) {
        Pen(dc, kEfisGrey);
        const int keys[3] = {mode == kWxModeMap ? kEfisBrown : kEfisDarkGreen, kEfisOlive,
                             mode == kWxModeMap ? kEfisTeal : kEfisDarkRed};
        for (int i = 0; i < 3; ++i) {
            platform::DrawSelectObject(dc, EfisBrushes[keys[i]]);
            platform::DrawRectangle(dc, DrawRect{20 + 8 * i, 70, 28 + 8 * i, 78});
        }
    }
    // 2. Mode.
    static constexpr const char* kModes[7] = {nullptr, "SBY", "TEST", "SBY", "WX", "CYC", "MAP"};
    if (s.wait != 0) {
        Text(dc, 28, 11, "WAIT");
    } else if (mode >= 1 && mode <= 6) {
        const bool low = mode == kWxModeWarmUp || mode == kWxModeStandby;
        Text(dc, 28, low ? 11 : 81, kModes[mode]);
    }
    // 3.
    if (mode > kWxModeStandby) {
        if (s.gcr != 0) Text(dc, 50, 81, "GCR");
        if (s.rct != 0 && WxBlink != 0) Text(dc, 69, 81, "RCT");
    }
    // 4. Tilt.
    char tilt[16];
    std::snprintf(tilt, sizeof tilt, "%2.1f", std::isfinite(WxTilt) ? WxTilt : 0.0);
    Text(dc, 132, 80, tilt);
    // 5. Range labels.
    TextColour(dc, mode == kWxModeTest ? kEfisCyan : kEfisWhite);
    const bool testing = CountTest();
    if ((mode != kWxModeWarmUp && mode != kWxModeStandby) || testing) {
        static constexpr const char* kLabels[6][4] = {
            {"10", "10", "7.5", "5"},  {"25", "20", "15", "10"},    {"50", "40", "30", "20"},
            {"100", "80", "60", "40"}, {"200", "160", "120", "80"}, {"300", "240", "180", "120"}};
        static constexpr DrawPoint kAt[4] = {{115, 10}, {126, 38}, {122, 72}, {112, 87}};
        const int index = std::clamp(WxRangeIndex, 0, 5);
        for (int i = 0; i < 4; ++i) Text(dc, kAt[i].x, kAt[i].y, kLabels[index][i]);
    }
    // 6.
    TextColour(dc, kEfisWhite);
    if (s.manual_gain_active != 0) Text(dc, 125, 18, "VAR");
    // 7. Target alert.
    if (s.target_alert_enabled != 0) {
        Pen(dc, kEfisRed);
        if (s.target_detected != 0) {
            static constexpr DrawPoint kBox[5] = {{9, 10}, {40, 10}, {40, 22}, {10, 22}, {9, 10}};
            platform::DrawMoveTo(dc, kBox[0].x, kBox[0].y);
            for (int i = 1; i < 5; ++i) platform::DrawLineTo(dc, kBox[i].x, kBox[i].y);
            if (WxBlink != 0) Text(dc, 25, 11, "TGT");
        } else {
            static constexpr DrawPoint kBox[5] = {{19, 10}, {30, 10}, {30, 21}, {19, 21}, {19, 10}};
            platform::DrawMoveTo(dc, kBox[0].x, kBox[0].y);
            for (int i = 1; i < 5; ++i) platform::DrawLineTo(dc, kBox[i].x, kBox[i].y);
            Text(dc, 25, 11, "T");
        }
        Pen(dc, kEfisWhite);
    }
    // 8.
    platform::DrawSetBkMode(dc, false);
    TextColour(dc, kEfisWhite);
}

void HsiWxOverlayDraw(DrawContext* dc, const platform::DrawRegion& arc_window, int side) {
    if (dc == nullptr || side < 0 || side > 1) return;
    const DisplayControlRecord& control = side == 0 ? DisplayControlState1 : DisplayControlState2;
    if (control.Overlay == 0) return;
    platform::DrawSelectClipRegion(dc, arc_window);
    const DisplayScreen& screen_2d = DisplayScreens[4 + 2 * side];
    const DisplayScreen& screen_vc = DisplayScreens[5 + 2 * side];
    const bool set_up = (!screen_2d.setup_pending && screen_2d.surface != nullptr) ||
                        (!screen_vc.setup_pending && screen_vc.surface != nullptr);
    if (set_up && WxRadarState.display_mode >= kWxModeWeather) {
        platform::DrawStretchDib(dc, 7, 17, 151, 98, &WxPictureFront().pixels[0][0],
                                 kWxPictureWidth, kWxPictureHeight, true,
                                 platform::DrawBlitRop::SrcPaint);
    }
    platform::DrawResetClip(dc);
}

void HsiWxOverlayKeyAdd(RepaintKeyBuilder& key, int side) {
    if (side < 0 || side > 1) return;
    const DisplayControlRecord& control = side == 0 ? DisplayControlState1 : DisplayControlState2;
    key.Add(control.Overlay != 0);
    if (control.Overlay == 0) return;
    const DisplayScreen& screen_2d = DisplayScreens[4 + 2 * side];
    const DisplayScreen& screen_vc = DisplayScreens[5 + 2 * side];
    const bool set_up = (!screen_2d.setup_pending && screen_2d.surface != nullptr) ||
                        (!screen_vc.setup_pending && screen_vc.surface != nullptr);
    const bool blitted = set_up && WxRadarState.display_mode >= kWxModeWeather;
    key.Add(blitted);
    if (blitted) key.Add(WxPictureSerial.load(std::memory_order_acquire));
}

// --- Controls.

int32_t WxControlPress(WxControl control) {
    WxRadarRecord& s = WxRadarState;
    switch (control) {
        case WxControl::Power:
            Toggle(s.power_switch);
            return Finish(true);
        case WxControl::Test:
            if (Powered()) {
                if (s.selected_mode == kWxModeStandby) {
                    s.selected_mode = kWxModeTest;
                    s.test_countdown = kWxTestFrames;
                } else {
                    s.selected_mode = kWxModeStandby;
                }
            }
            return Finish(true);
        case WxControl::WeatherCycle:
            if (Powered()) {
                s.selected_mode = s.selected_mode == kWxModeWeather ? kWxModeCycle : kWxModeWeather;
            }
            return Finish(true);
        case WxControl::Map:
            if (Powered()) {
                s.selected_mode = s.selected_mode != kWxModeMap ? kWxModeMap : kWxModeStandby;
            }
            return Finish(true);
        case WxControl::Rct:
            if (Powered()) Toggle(s.rct);
            return Finish(true);
        case WxControl::Gcr:
            if (Powered()) Toggle(s.gcr);
            return Finish(true);
        case WxControl::Var:
            Toggle(s.var_selected);
            WxRedraw = 1;
            return Finish(true);
        case WxControl::Tgt:
            Toggle(s.tgt_selected);
            WxRedraw = 1;
            return Finish(true);
        case WxControl::Rings:
            Toggle(WxRangeRings);
            WxRedraw = 1;
            return Finish(true);
        case WxControl::Sector:
            Toggle(WxButton2);
            WxRedraw = 1;
            return Finish(true);
        case WxControl::GainUp:
        case WxControl::GainDown:
            WxGain = std::clamp(WxGain + (control == WxControl::GainUp ? 5 : -5), 0, 100);
            WxRedraw = 1;
            return Finish(false);
        case WxControl::TiltUp:
        case WxControl::TiltDown:
            WxTilt = std::clamp(WxTilt + (control == WxControl::TiltUp ? 0.5 : -0.5), -7.5, 7.5);
            WxRedraw = 1;
            return Finish(false);
    }
    return Finish(false);
}

int32_t WxRangeKey(int32_t range_index) {
    if (BusPowered.get(kPoweredLeftEssential) != 0) WxRangeIndex = std::clamp(range_index, 0, 5);
    return Finish(true);
}

double WxPowerKnobAngle() {
    return WxRadarState.power_switch != 0 ? 150.0 : -45.0;
}

double WxGainKnobAngle() {
    return WxGain * 2.0 - 5.0;
}

double WxTiltKnobAngle() {
    return WxTilt * 5.0 + 180.0;
}

gauge::ElementHeader* WxDisplayElementList[2] = {&gElements.overlay, nullptr};

gauge::MouseRect WxDisplayMouseRect[22] = {
    MouseParent(wl::kWidth, wl::kHeight),
    MouseChild(wl::kPowerKnobX - kHalf, wl::kPowerKnobY - kHalf, wl::kKnobSize, wl::kKnobSize,
               kCursorHand, kClick, ControlHandler<WxControl::Power>),
    Key(0, wl::kModeRowY, ControlHandler<WxControl::Test>),
    Key(1, wl::kModeRowY, ControlHandler<WxControl::WeatherCycle>),
    Key(2, wl::kModeRowY, ControlHandler<WxControl::Map>),
    Key(3, wl::kModeRowY, ControlHandler<WxControl::Rct>),
    Key(4, wl::kModeRowY, ControlHandler<WxControl::Gcr>),
    Key(0, wl::kRangeRowY, RangeHandler<5>),
    Key(1, wl::kRangeRowY, RangeHandler<4>),
    Key(2, wl::kRangeRowY, RangeHandler<3>),
    Key(3, wl::kRangeRowY, RangeHandler<2>),
    Key(4, wl::kRangeRowY, RangeHandler<1>),
    Key(5, wl::kRangeRowY, RangeHandler<0>),
    Key(0, wl::kOptionRowY, ControlHandler<WxControl::Var>),
    Key(1, wl::kOptionRowY, ControlHandler<WxControl::Tgt>),
    Key(2, wl::kOptionRowY, ControlHandler<WxControl::Rings>),
    Key(3, wl::kOptionRowY, ControlHandler<WxControl::Sector>),
    KnobHalf(wl::kGainKnobX, wl::kGainKnobY, true, ControlHandler<WxControl::GainUp>),
    KnobHalf(wl::kGainKnobX, wl::kGainKnobY, false, ControlHandler<WxControl::GainDown>),
    KnobHalf(wl::kTiltKnobX, wl::kTiltKnobY, true, ControlHandler<WxControl::TiltUp>),
    KnobHalf(wl::kTiltKnobX, wl::kTiltKnobY, false, ControlHandler<WxControl::TiltDown>),
    MouseEnd()};

void WxDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (gauge == nullptr) return;
    switch (service) {
        case gauge::kServiceInstall:
            gScreen.header = gauge;
            gScreen.setup_pending = true;
            ArmRefresh(kRefreshRadios);
            break;
        case kServiceInitialise:
            gScreen.header = gauge;
            break;
        case gauge::kServiceUpdate:
            WxUpdate(gauge);
            break;
        case gauge::kServiceKill:
            WxKill();
            break;
        default:
            break;
    }
}

}  // namespace zu
