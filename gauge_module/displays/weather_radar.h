// The weather radar: power, warm-up and modes on the systems tick, the
// picture built from the simulator's weather at points ahead, the `WX
// display` gauge (the radar's screen, knobs and push-buttons) and the
// overlay the navigation displays draw under their arc and map cards.
//
// The picture builder keeps a polar grid of cloud intensities (30 azimuth
// columns by 20 range bins), refreshed four bins at a time from the four
// weather records the data exchange answers, and every 4th tick turns it
// into a 134 x 83 picture: resampled, mapped into a 120 degree fan,
// blurred over a 7 x 7 box and coloured green, yellow and red. The picture
// is a bottom-up 32-bit image: row 0 is its bottom line, where the fan's
// apex lies.
//
// Threads: the tick builds into the back one of two pictures and then
// flips an atomic index, so the gauges always blit a whole picture.
#pragma once

#include <atomic>
#include <cstdint>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"

namespace zu {

struct WxRadarRecord {
    uint8_t target_detected;  // red return in the centre column (target alert on)
    int32_t selected_mode;    // 0 none, 2 TEST, 3 standby, 4 WX, 5 CYC, 6 MAP
    int32_t display_mode;     // in force: 0 off, 1 warming up, 2..6 as selected
    int32_t test_countdown;
    int32_t warm_up_countdown;
    uint8_t wide_sector;
    uint8_t manual_gain_active;
    uint8_t target_alert_enabled;
    uint8_t rct;
    uint8_t gcr;
    uint8_t wait;  // an operating mode was selected during the warm-up
    uint8_t powered;
    uint8_t power_switch;
    uint8_t var_selected;
    uint8_t tgt_selected;
    int32_t gauge_width;
    int32_t gauge_height;
};
extern WxRadarRecord WxRadarState;

// Display modes.
inline constexpr int32_t kWxModeOff = 0;
inline constexpr int32_t kWxModeWarmUp = 1;
inline constexpr int32_t kWxModeTest = 2;
inline constexpr int32_t kWxModeStandby = 3;
inline constexpr int32_t kWxModeWeather = 4;
inline constexpr int32_t kWxModeCycle = 5;
inline constexpr int32_t kWxModeMap = 6;

inline constexpr int32_t kWxWarmUpTicks = 200;
inline constexpr int32_t kWxTestFrames = 20;  // counted twice a drawn frame

// Range table (nm) and the selected entry (initial 3: 100 nm).
inline constexpr int32_t kWxRanges[6] = {10, 25, 50, 100, 200, 300};
extern int32_t WxRangeIndex;
// Current range in nautical miles: kWxRanges[WxRangeIndex].
extern int32_t WxRange;

extern int32_t WxGain;        // 0..100, initial 50
extern int32_t WxGainFactor;  // x/128, initial 128
extern double WxTilt;         // degrees, -7.5..7.5
extern uint8_t WxRangeRings;  // initial 1
extern uint8_t WxButton2;     // initial 1: wide sector
extern uint8_t WxBlink;       // toggled every 4th tick
extern uint8_t WxRedraw;

// The polar grid and the sampling cursors.
inline constexpr int kWxColumns = 30;
inline constexpr int kWxBins = 20;
extern uint8_t WxPolarGrid[kWxColumns][kWxBins];
extern int32_t WxGridColumn;  // 0..29
extern int32_t WxGridBin;     // 0, 4, 8, 12, 16

// The picture.
inline constexpr int kWxPictureWidth = 134;
inline constexpr int kWxPictureHeight = 83;
inline constexpr int kWxCentreColumn = 67;
inline constexpr int kWxFanEntries = 11560;  // the fan image; the last entry takes strays
inline constexpr uint32_t kWxBlack = 0;
inline constexpr uint32_t kWxGreen = 0x60006000;
inline constexpr uint32_t kWxYellow = 0x60606000;
inline constexpr uint32_t kWxRed = 0x60600000;
struct WxPictureImage {
    uint32_t pixels[kWxPictureHeight][kWxPictureWidth];
};
// Two pictures; WxPictureShown names the whole one the gauges blit.
extern WxPictureImage WxPicture[2];
// The C library's generator has been seeded (once a flight).
extern bool WxRandomSeeded;
// The radar screen's frames with power (0..55): it paints past 45.
extern int32_t WxScreenPowerOn;
extern std::atomic<int32_t> WxPictureShown;
// Counts the pictures whose pixels differ from the one shown before them:
// raised after the flip to such a picture (a rebuilt picture equal to the
// shown one leaves it), so a gauge that read a count draws that picture or
// a later one. The overlay's repaint key holds it.
extern std::atomic<uint64_t> WxPictureSerial;
const WxPictureImage& WxPictureFront();

// The weather record: the layer count at byte 636 (taken as 0..24), the
// layers of 16 bytes from byte 640.
inline constexpr int kWxRecordSize = 1024;
inline constexpr int kWxLayerCountOffset = 636;
inline constexpr int kWxLayersOffset = 640;
inline constexpr int kWxLayerSize = 16;
inline constexpr int32_t kWxMaxLayers = 24;

// Systems tick, every pass.
void WxRadarUpdate();
// From WxRadarUpdate in display modes 4 and above.
void WxPictureBuild();
// Intensity 0..255 of the clouds a beam at `distance_nm` meets in a
// 1024-byte weather record.
int32_t WxCloudIntensity(const uint8_t* record, double distance_nm);
// Pixel of an intensity 0..255.
uint32_t WxColour(int32_t intensity);
// Summed-area table of a width x height byte image.
void WxIntegralImage(const uint8_t* source, int32_t width, int32_t height, uint32_t* sum);
// Box average over (2rx + 1) x (2ry + 1) from the summed-area table; a
// negative radius copies the source.
void WxBoxBlur(const uint8_t* source, int32_t width, int32_t height, uint8_t* result,
               const uint32_t* sum, int32_t rx, int32_t ry);
// The same box average with running sums, as the picture is built:
// `columns` holds width x height entries of scratch.
void WxBoxBlurRunning(const uint8_t* source, int32_t width, int32_t height, uint8_t* result,
                      uint32_t* columns, int32_t rx, int32_t ry);

// --- The WX display gauge.
// Elements: 0 lit overlay, 1 the drawn screen, 2/3 power knob unlit/lit,
// 4/5 gain knob, 6..13 the lamp pairs (VAR, TGT, rings, sector; off then
// on), 14/15 tilt knob.
extern gauge::ElementHeader* WxDisplayElementList[2];
// Rectangles: 1 power, 2 TEST, 3 WX/CYC, 4 MAP, 5 RCT, 6 GCR, 7..12 the
// range keys (index 5 .. 0), 13 VAR, 14 TGT, 15 rings, 16 sector, 17/18
// gain up/down, 19/20 tilt up/down.
extern gauge::MouseRect WxDisplayMouseRect[22];
void WxDisplayCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t argument);

// The screen's draw steps (in the 163 x 113 grid), for the gauge's paint.
void WxTestPatternDraw(platform::DrawContext* dc);
void WxPictureDraw(platform::DrawContext* dc);
void WxScanLinesDraw(platform::DrawContext* dc);
void WxLegendsDraw(platform::DrawContext* dc);
// The radar region of a surface of width x height pixels, and the one the
// draw steps clip to (made at the screen's set-up).
platform::DrawRegion WxClipRegionCreate(int32_t width, int32_t height);
extern platform::DrawRegion WxClipRegion;

// The mouse handlers and knob angles (also called by tests).
enum class WxControl {
    Power,
    Test,
    WeatherCycle,
    Map,
    Rct,
    Gcr,
    Var,
    Tgt,
    Rings,
    Sector,
    GainUp,
    GainDown,
    TiltUp,
    TiltDown,
};
int32_t WxControlPress(WxControl control);
int32_t WxRangeKey(int32_t range_index);
double WxPowerKnobAngle();
double WxGainKnobAngle();
double WxTiltKnobAngle();

// The overlay of side s (0 or 1) on a navigation display's arc and map
// cards, clipped to `arc_window`, the region of the surface it paints.
void HsiWxOverlayDraw(platform::DrawContext* dc, const platform::DrawRegion& arc_window, int side);
// What that overlay reads, for the navigation display's repaint key: the
// overlay switch, whether the picture is blitted and then the picture's
// count (WxPictureSerial).
void HsiWxOverlayKeyAdd(RepaintKeyBuilder& key, int side);

// Layout of the WX display (pixels of its 250 x 250 face).
namespace wx_layout {
inline constexpr int32_t kWidth = 250;
inline constexpr int32_t kHeight = 250;
inline constexpr int32_t kScreenX = 43;
inline constexpr int32_t kScreenY = 14;
inline constexpr int32_t kScreenWidth = 164;
inline constexpr int32_t kScreenHeight = 114;
inline constexpr int32_t kKnobSize = 30;
inline constexpr int32_t kPowerKnobX = 22;
inline constexpr int32_t kPowerKnobY = 50;
inline constexpr int32_t kGainKnobX = 228;
inline constexpr int32_t kGainKnobY = 50;
inline constexpr int32_t kTiltKnobX = 228;
inline constexpr int32_t kTiltKnobY = 108;
inline constexpr int32_t kKeyWidth = 36;
inline constexpr int32_t kKeyHeight = 18;
inline constexpr int32_t kRangeRowY = 142;
inline constexpr int32_t kModeRowY = 170;
inline constexpr int32_t kOptionRowY = 198;
// Key i of a row, left edge.
constexpr int32_t KeyX(int i) {
    return 8 + i * 40;
}
inline constexpr int32_t kLampWidth = 16;
inline constexpr int32_t kLampHeight = 4;
inline constexpr int32_t kLampDy = 2;  // below the key's top edge

// Bitmaps: resource block 0x1F00.
inline constexpr uint32_t kBlock = 0x1F00;
inline constexpr uint32_t kFace = kBlock + 0x00;  // unlit face (window background)
inline constexpr uint32_t kOverlayLit = kBlock + 0x01;
inline constexpr uint32_t kScreen = kBlock + 0x02;  // the drawn surface
inline constexpr uint32_t kKnobUnlit = kBlock + 0x03;
inline constexpr uint32_t kKnobLit = kBlock + 0x04;
inline constexpr uint32_t kLampOff = kBlock + 0x05;
inline constexpr uint32_t kLampOn = kBlock + 0x06;
inline constexpr uint32_t kRadarScreenArt = kBlock + 0x07;  // "BMP_WX_RADAR_SCREEN"
inline constexpr uint32_t kRadarCloudsArt = kBlock + 0x08;  // "BMP_WX_RADAR_CLOUDS"
}  // namespace wx_layout

}  // namespace zu
