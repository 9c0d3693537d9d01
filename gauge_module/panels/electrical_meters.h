// The overhead's electrical meters: `DcMeterPanel` and `AcMeterPanel` (two
// selector knobs, four digital readouts and a test button each) and
// `BatTempMeterPanel` (two segmented bar graphs of battery temperature,
// painted into drawn surfaces, with three test buttons).
#pragma once

#include <cstdint>

#include "displays/repaint_key.h"
#include "zu/platform/drawing.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// The values the meter readouts show, recomputed by the gauges while the
// overhead refresh runs.
struct MeterValuesRecord {
    float dc_volts;
    float dc_load;
    float ac_volts[2];  // first and second pair
    float ac_load[2];
};
extern MeterValuesRecord MeterValues;

// Test countdowns of the two meter panels, the battery-temperature test
// mode (1, 2 or 3; its countdown is SystemTimers2.BatteryTempTest) and the
// blink counter of the battery current readouts (0..16).
extern int32_t DcMeterTestCountdown;
extern int32_t AcMeterTestCountdown;
extern int32_t BatTempTestMode;
extern int32_t MeterBlinkCounter;

inline constexpr int32_t kDcMeterTestCount = 256;
inline constexpr int32_t kAcMeterTestCount = 255;
// The panel window the DC meter panel keeps open on every update.
inline constexpr uint32_t kMeterPanelWindow = 92;

// DcMeterPanel / AcMeterPanel rectangles 1-5: first selector up, down,
// second selector up, down, test.
extern gauge::ElementHeader* DcMeterPanelElementList[2];
extern gauge::MouseRect DcMeterPanelMouseRect[];
void DcMeterPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* AcMeterPanelElementList[2];
extern gauge::MouseRect AcMeterPanelMouseRect[];
void AcMeterPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// BatTempMeterPanel rectangles 1-3: test modes 1, 3, 2.
extern gauge::ElementHeader* BatTempMeterPanelElementList[2];
extern gauge::MouseRect BatTempMeterPanelMouseRect[];
void BatTempMeterPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Bar-graph brushes (0x00BBGGRR).
inline constexpr uint32_t kBarGreen = 0x0000D000;
inline constexpr uint32_t kBarYellow = 0x0000D0D0;
inline constexpr uint32_t kBarRed = 0x000000D0;
inline constexpr uint32_t kBarBackground = 0x00000000;

// Paints the bar graph of `temperature` into a surface of width x height
// (the battery-temperature panel's painter; it reads annunciator power and
// the test countdown and mode, and counts a running test down).
void PaintBatteryBarGraph(platform::DrawContext* dc, int32_t width, int32_t height,
                          float temperature);
// Adds what a bar graph shows outside a test to a repaint key: the size,
// the annunciator power and the bars' ends.
void BatteryBarGraphKeyAdd(RepaintKeyBuilder& key, int32_t width, int32_t height,
                           float temperature);
// The key of the bar graphs on the surfaces, and the count that makes every
// picture of a running test one to paint.
extern RepaintKey BatTempPictureKey;
extern uint64_t BatTempTestSerial;

// Formats a readout value as the meters print it ("%2.1f"), held finite and
// within what four characters and a sign can show.
void FormatMeterValue(char* out, uint32_t size, const char* format, float value);

}  // namespace zu
