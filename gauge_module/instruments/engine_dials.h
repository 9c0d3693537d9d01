// Layout of the engine instruments' dials: the needle angle formulas, the
// scales printed on the dial faces, the places of readouts, test buttons and
// over-limit lamps, and the numbers of their bitmaps.
//
// One table serves the needles (engine_instruments.cpp) and the artwork
// generator (tools/artwork), so every scale mark is printed where the needle
// points for that value. Angles are degrees clockwise from straight up, as
// the host turns needle bitmaps (which are drawn pointing up).
//
// This header depends on nothing but <cstdint> and the resource numbers
// (resources/resource_ids.h) so the generator can use it.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::engine_dials {

// ---------------------------------------------------------------------------
// Needle angle formulas: angle = displayed value x scale + offset.

inline constexpr double kTorqueAngleScale = 0.058291;
inline constexpr double kTorqueAngleOffset = 160.0;
inline constexpr double kTorqueBugAngleScale = 0.01333;
inline constexpr double kTorqueBugAngleOffset = 138.0;
inline constexpr double kTorqueBugUnpoweredAngle = 377.94;
inline constexpr double kRpmAngleScale = 0.1525;
inline constexpr double kRpmAngleOffset = 164.0;
inline constexpr double kNhAngleScale = 2.0;
inline constexpr double kNhAngleOffset = 160.0;
inline constexpr double kNlAngleScale = 0.201;
inline constexpr double kNlAngleOffset = 161.0;
inline constexpr double kIttAngleScale = 0.22511;
inline constexpr double kIttAngleOffset = 157.4;
inline constexpr double kFuelFlowAngleScale = 0.18;
inline constexpr double kFuelFlowAngleOffset = 163.0;
inline constexpr double kOilTempAngleScale = 0.0065789474;
inline constexpr double kOilTempAngleOffset = 160.0;
inline constexpr double kOilPressAngleScale = -0.002;  // the pressure needle turns the other way
inline constexpr double kOilPressAngleOffset = 50.0;
inline constexpr double kFuelQtyAngleScale = 0.603954;
inline constexpr double kFuelQtyAngleOffset = 134.0;
inline constexpr double kFuelTankTempAngleScale = 1.33333;
inline constexpr double kFuelTankTempAngleOffset = 270.0;
// Fuel temperature: the displayed value is the temperature + 20; the two
// needles turn in opposite senses.
inline constexpr double kFuelTempOffset = 20.0;
inline constexpr double kFuelTempAAngleScale = 1.0;
inline constexpr double kFuelTempAAngleOffset = 160.0;
inline constexpr double kFuelTempBAngleScale = -1.0;
inline constexpr double kFuelTempBAngleOffset = 20.0;

// ---------------------------------------------------------------------------
// Dial faces

enum class Dial : uint32_t {
    Torque,
    Rpm,
    Nh,
    Nl,
    Itt,
    FuelFlow,
    Oil,
    FuelQty,
    FuelTankTemp,
    FuelTemp,
};
inline constexpr int kDialCount = 10;

// One printed scale and the needle that reads it. Scale values are in the
// unit printed on the dial; the needle's displayed value is
// value x unit_factor + unit_offset.
struct DialScale {
    double angle_scale;
    double angle_offset;
    double unit_factor;
    double unit_offset;
    double first;  // scale ends, printed unit
    double last;
    double minor;  // tick spacing
    double major;
    double label_every;    // a numeral at each multiple of this
    double label_divisor;  // the numeral printed is value / divisor
    double red_line;       // a red limit mark at this value (when has_red_line)
    bool has_red_line;
    const char* legend;  // small legend beside the scale, or null
};

// Digital readout window (a string element drawn by the host over it). The
// host sets a right-aligned text this many pixels in from the box's right edge.
inline constexpr int kReadoutPadding = 3;

struct ReadoutLayout {
    int x;
    int y;
    int width;
    int height;
    int font_height;
    int tenths;  // 1: the readout counts tenths; a decimal point is printed before its last digit
};

enum class NeedleShape : uint32_t { Pointer, Bug };

struct DialLayout {
    const char* title;  // '\n' separates lines
    const char* units;
    int size;  // the gauge is a square of this many design pixels
    // Places of the title and the unit legend: offsets from the centre.
    int title_dx;
    int title_dy;
    int units_dx;
    int units_dy;
    int scale_count;
    DialScale scale[2];
    NeedleShape needle_shape[2];
    bool has_readout;
    ReadoutLayout readout;
    bool has_test_button;
    bool has_over_limit_lamp;
};

inline constexpr double kNoRed = 0.0;

inline constexpr DialLayout kDials[kDialCount] = {
    // Torque: percent; the readout counts tenths of a percent.
    {"TORQUE",
     "%",
     200,
     0,
     -30,
     0,
     -17,
     2,
     {{kTorqueAngleScale, kTorqueAngleOffset, 32.938, 0.0, 0, 110, 2, 10, 20, 1, 103.5, true,
       nullptr},
      // The reference bug reads the same scale (16000 sits at 100 %).
      {kTorqueBugAngleScale, kTorqueBugAngleOffset, 0.0, 0.0, 0, 0, 0, 0, 0, 1, kNoRed, false,
       nullptr}},
     {NeedleShape::Pointer, NeedleShape::Bug},
     true,
     {108, 106, 76, 30, 22, 1},
     true,
     true},
    {"PROP",
     "RPM x 100",
     200,
     0,
     -30,
     0,
     -17,
     1,
     {{kRpmAngleScale, kRpmAngleOffset, 1.0, 0.0, 0, 1200, 50, 100, 200, 100, 1212, false,
       nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     true,
     {108, 106, 76, 30, 22, 0},
     true,
     false},
    {"NH",
     "% RPM",
     200,
     0,
     -30,
     0,
     -17,
     1,
     {{kNhAngleScale, kNhAngleOffset, 1.0, 0.0, 0, 110, 2, 10, 20, 1, 103, false, nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     true,
     {108, 106, 76, 30, 22, 1},
     true,
     false},
    {"NL",
     "% RPM",
     200,
     0,
     -30,
     0,
     -17,
     1,
     {{kNlAngleScale, kNlAngleOffset, 10.0, 0.0, 0, 110, 2, 10, 20, 1, 103, false, nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     true,
     {108, 106, 76, 30, 22, 1},
     true,
     false},
    {"ITT",
     "\xC2\xB0"
     "C x 100",
     200,
     0,
     -30,
     0,
     -17,
     1,
     {{kIttAngleScale, kIttAngleOffset, 1.0, 0.0, 0, 1100, 20, 100, 200, 100, 800, true, nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     true,
     {108, 106, 76, 30, 22, 0},
     true,
     true},
    {"FUEL FLOW",
     "PPH x 100",
     200,
     0,
     -30,
     0,
     -17,
     1,
     {{kFuelFlowAngleScale, kFuelFlowAngleOffset, 1.0, 0.0, 0, 1600, 50, 200, 400, 100, 1600, false,
       nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     true,
     {104, 110, 72, 28, 22, 0},
     true,
     false},
    // Oil: the temperature source counts 150ths of a degree Celsius and the
    // pressure source 375ths of a psi (see docs/gauges.md).
    {"OIL",
     nullptr,
     176,
     40,
     12,
     0,
     0,
     2,
     {{kOilTempAngleScale, kOilTempAngleOffset, 150.0, 0.0, 0, 120, 10, 20, 40, 1, 0, false,
       "\xC2\xB0"
       "C"},
      {kOilPressAngleScale, kOilPressAngleOffset, 375.0, 0.0, 0, 120, 10, 40, 40, 1, 0, false,
       "PSI"}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     false,
     {},
     false,
     false},
    {"FUEL QTY",
     "x 100",
     156,
     12,
     -28,
     12,
     -15,
     1,
     {{kFuelQtyAngleScale, kFuelQtyAngleOffset, 1.0, 0.0, 0, 450, 25, 50, 100, 100, 0, false,
       nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     false,
     {},
     false,
     false},
    {"FUEL TANK",
     "\xC2\xB0"
     "C",
     156,
     18,
     -22,
     18,
     -8,
     1,
     {{kFuelTankTempAngleScale, kFuelTankTempAngleOffset, 1.0, 0.0, -50, 50, 5, 25, 25, 1, 0, false,
       nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     false,
     {},
     false,
     false},
    {"FUEL\nTEMP",
     "\xC2\xB0"
     "C",
     186,
     44,
     -8,
     -44,
     0,
     2,
     {{kFuelTempAAngleScale, kFuelTempAAngleOffset, 1.0, kFuelTempOffset, -50, 50, 5, 25, 25, 1, 0,
       false, nullptr},
      {kFuelTempBAngleScale, kFuelTempBAngleOffset, 1.0, kFuelTempOffset, -50, 50, 5, 25, 25, 1, 0,
       false, nullptr}},
     {NeedleShape::Pointer, NeedleShape::Pointer},
     false,
     {},
     false,
     false},
};

inline constexpr const DialLayout& Layout(Dial d) {
    return kDials[static_cast<int>(d)];
}

// Needle angle of a scale for a value in the printed unit.
inline constexpr double ScaleAngle(const DialScale& s, double value) {
    return (value * s.unit_factor + s.unit_offset) * s.angle_scale + s.angle_offset;
}

// ---------------------------------------------------------------------------
// Geometry derived from the size

inline constexpr int Centre(const DialLayout& d) {
    return d.size / 2;
}
inline constexpr int FaceRadius(const DialLayout& d) {
    return d.size * 45 / 100;
}

// Test button: a round push button at the lower left of the case.
struct Box {
    int x;
    int y;
    int width;
    int height;
};
inline constexpr int TestButtonRadius(const DialLayout& d) {
    return d.size / 20;
}
inline constexpr int TestButtonCentreX(const DialLayout& d) {
    return d.size * 11 / 100;
}
inline constexpr int TestButtonCentreY(const DialLayout& d) {
    return d.size * 89 / 100;
}
inline constexpr Box TestButtonBox(const DialLayout& d) {
    return {TestButtonCentreX(d) - TestButtonRadius(d) - 3,
            TestButtonCentreY(d) - TestButtonRadius(d) - 3, 2 * TestButtonRadius(d) + 6,
            2 * TestButtonRadius(d) + 6};
}

// Over-limit lamp at the upper right of the case.
inline constexpr int kLampSize = 20;
inline constexpr Box OverLimitLampBox(const DialLayout& d) {
    return {d.size - kLampSize - 5, 5, kLampSize, kLampSize};
}

// Needle bitmaps are drawn pointing up; the pivot is where the host places
// the dial centre.
struct NeedleGeometry {
    int width;
    int height;
    int pivot_x;
    int pivot_y;
    int length;  // pivot to tip
};
inline constexpr NeedleGeometry Needle(const DialLayout& d, int n) {
    const int r = FaceRadius(d);
    if (d.needle_shape[n] == NeedleShape::Bug) {
        // A marker riding on the rim, pointing at the scale.
        return {16, r + 1, 8, r, r};
    }
    const int length = r - 10;
    const int hub = d.size / 18;
    const int tail = length / 5;
    const int width = 2 * hub + 2;
    return {width, length + tail + 2, width / 2, length + 1, length};
}

// ---------------------------------------------------------------------------
// Bitmap numbers: 16 per dial, then the shared lamp.

inline constexpr uint32_t kDialResourceStride = 16;
inline constexpr uint32_t FaceLitId(Dial d) {
    return res::kEngineInstrumentsBlock + kDialResourceStride * static_cast<uint32_t>(d);
}
inline constexpr uint32_t FaceUnlitId(Dial d) {
    return FaceLitId(d) + 1;
}
inline constexpr uint32_t NeedleUnlitId(Dial d, int n) {
    return FaceLitId(d) + 2 + 2 * static_cast<uint32_t>(n);
}
inline constexpr uint32_t NeedleLitId(Dial d, int n) {
    return NeedleUnlitId(d, n) + 1;
}
inline constexpr uint32_t kOverLimitLampId = res::kEngineInstrumentsBlock + 0xF0;

}  // namespace zu::engine_dials
