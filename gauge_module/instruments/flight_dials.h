// Layout of the pilots' flight dials: the course and heading selectors, the
// clocks, the airspeed indicators and the altimeters. It holds the angle
// and drum formulas, the places of windows, knobs and switches, and the
// numbers of their bitmaps.
//
// The gauges (course_selectors, clocks, airspeed_indicators, altimeters)
// and the artwork generator (tools/artwork) both read it, so every printed
// mark sits where the needle or drum shows that value.
//
// Needle bitmaps are drawn pointing up unless told otherwise. Angles are degrees clockwise from
// straight up, as the host turns needle bitmaps. The altimeter pointer's formula puts zero at three
// o'clock (angle - 90): its bitmap is drawn along +x, so the host's turn by the formula's angle
// makes it point at angle + 90 on the face.
//
// Moving images (drums, strips, the OFF flag) are placed at their window's
// top-left corner; the host shifts the strip by value x scale and shows it
// through the window's mask. A strip's label for value v is centred on row
// (or column) window / 2 - v x scale of the strip bitmap.
//
// This header depends on nothing but <cstdint> and the resource numbers so
// the generator can use it.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::flight_dials {

// ---------------------------------------------------------------------------
// Bitmaps

inline constexpr uint32_t kBlock = res::kFlightDialsBlock;

// Course and heading selector.
inline constexpr uint32_t kSelectorFace = kBlock + 0x00;  // unlit face, always shown
inline constexpr uint32_t kSelectorFaceLit = kBlock + 0x01;
inline constexpr uint32_t kSelectorCourseNeedle = kBlock + 0x02;
inline constexpr uint32_t kSelectorCourseNeedleLit = kBlock + 0x03;
inline constexpr uint32_t kSelectorHeadingNeedle = kBlock + 0x04;
inline constexpr uint32_t kSelectorHeadingNeedleLit = kBlock + 0x05;
inline constexpr uint32_t kSelectorTouchFace = kBlock + 0x06;

// Clock.
inline constexpr uint32_t kClockFace = kBlock + 0x08;  // unlit face, always shown
inline constexpr uint32_t kClockFaceLit = kBlock + 0x09;
inline constexpr uint32_t kClockSwitchMinus = kBlock + 0x0A;  // lever to the left (-1)
inline constexpr uint32_t kClockSwitchPlus = kBlock + 0x0B;   // lever to the right (1)
inline constexpr uint32_t kClockSwitchCentre = kBlock + 0x0C;

// Airspeed indicator.
inline constexpr uint32_t kAsiFaceLit = kBlock + 0x10;
inline constexpr uint32_t kAsiFace = kBlock + 0x11;
inline constexpr uint32_t kAsiStrip = kBlock + 0x12;
inline constexpr uint32_t kAsiStripMask = kBlock + 0x13;
inline constexpr uint32_t kAsiVmoPointer = kBlock + 0x14;
inline constexpr uint32_t kAsiVmoPointerLit = kBlock + 0x15;
inline constexpr uint32_t kAsiNeedle = kBlock + 0x16;
inline constexpr uint32_t kAsiNeedleLit = kBlock + 0x17;
inline constexpr uint32_t kAsiClickBug = kBlock + 0x18;
inline constexpr uint32_t kAsiClickBugLit = kBlock + 0x19;
inline constexpr uint32_t kAsiKnobBug = kBlock + 0x1A;
inline constexpr uint32_t kAsiKnobBugLit = kBlock + 0x1B;
inline constexpr uint32_t kAsiKnobPointer = kBlock + 0x1C;
inline constexpr uint32_t kAsiKnobPointerLit = kBlock + 0x1D;

// Altimeters.
inline constexpr uint32_t kAltFaceLit = kBlock + 0x20;
inline constexpr uint32_t kAltFace = kBlock + 0x21;
inline constexpr uint32_t kAltTwentyStrip = kBlock + 0x22;  // 0 2 4 6 8 of the twenty-foot drum
inline constexpr uint32_t kAltZeroStrip = kBlock + 0x23;    // its fixed-looking 0
inline constexpr uint32_t kAltDigitStrip = kBlock + 0x24;   // hundreds and up
inline constexpr uint32_t kAltDrumMask = kBlock + 0x25;
inline constexpr uint32_t kSetLowStripHpa = kBlock + 0x26;  // two digits, units.tenths
inline constexpr uint32_t kSetLowStripInHg = kBlock + 0x27;
inline constexpr uint32_t kSetDigitStrip = kBlock + 0x28;
inline constexpr uint32_t kSetDigitMask = kBlock + 0x29;
inline constexpr uint32_t kSetLowMask = kBlock + 0x2A;
inline constexpr uint32_t kAltOffFlag = kBlock + 0x2B;
inline constexpr uint32_t kAltOffFlagMask = kBlock + 0x2C;
inline constexpr uint32_t kAltPointer = kBlock + 0x2D;
inline constexpr uint32_t kAltPointerLit = kBlock + 0x2E;
inline constexpr uint32_t kAltAlertLamp = kBlock + 0x2F;
inline constexpr uint32_t kAltLitOverlay = kBlock + 0x30;
inline constexpr uint32_t kStbyFaceLit = kBlock + 0x31;
inline constexpr uint32_t kStbyFace = kBlock + 0x32;
inline constexpr uint32_t kStbyThousandsStrip = kBlock + 0x33;
inline constexpr uint32_t kStbyPointer = kBlock + 0x34;
inline constexpr uint32_t kStbyPointerLit = kBlock + 0x35;
inline constexpr uint32_t kStbyLitOverlay = kBlock + 0x36;

// ---------------------------------------------------------------------------
// Course and heading selector: two knobs one above the other, each with a
// needle round it.

inline constexpr int kSelectorWidth = 84;
inline constexpr int kSelectorHeight = 168;
inline constexpr int kSelectorKnobSize = 84;  // each knob's square, course on top
inline constexpr int kSelectorKnobRadius = 24;
inline constexpr int KnobCentreY(int knob) {
    return knob * kSelectorKnobSize + kSelectorKnobSize / 2;
}

// ---------------------------------------------------------------------------
// Clock: three readouts across the middle, switches A and B at the top, the
// mode switch lower left and switch D lower right. Each switch has three
// rectangles side by side: -1, 0, 1.

inline constexpr int kClockWidth = 200;
inline constexpr int kClockHeight = 160;
inline constexpr int kClockSwitchWidth = 54;
inline constexpr int kClockSwitchHeight = 30;
struct ClockSwitchPlace {
    int x;
    int y;
    const char* legend;
};
inline constexpr ClockSwitchPlace kClockSwitches[4] = {
    {24, 22, "SET"}, {122, 22, "ST-ST"}, {24, 116, "UTC ET CHR"}, {122, 116, "CHR RST"}};
inline constexpr int kClockReadoutY = 62;
inline constexpr int kClockReadoutWidth = 52;
inline constexpr int kClockReadoutHeight = 36;
inline constexpr int kClockReadoutX[3] = {18, 74, 130};  // hours, minutes, seconds
inline constexpr int kClockReadoutFont = 30;

// ---------------------------------------------------------------------------
// Airspeed indicator

inline constexpr int kAsiSize = 200;
inline constexpr int kAsiCentre = 100;
inline constexpr int kAsiFaceRadius = 92;
inline constexpr double kAsiAngleScale = 0.915;
inline constexpr double kAsiAngleOffset = -111.0;
inline constexpr double kVmoAngleScale = 0.935;
inline constexpr double kVmoAngleOffset = -111.0;
inline constexpr double kKnobPointerScale = 2.7;
inline constexpr double kKnobPointerOffset = -110.0;
inline constexpr int kAsiMinShown = 50;
inline constexpr int kAsiMaxShown = 380;
inline constexpr double AsiAngle(double knots) {
    return knots * kAsiAngleScale + kAsiAngleOffset;
}
inline constexpr double VmoAngle(double knots) {
    return knots * kVmoAngleScale + kVmoAngleOffset;
}
// Window of the knots strip (whole knots modulo 100, moving horizontally), in
// the gap of the scale at nine o'clock.
inline constexpr int kAsiStripX = 40;
inline constexpr int kAsiStripY = 92;
inline constexpr int kAsiStripWindowWidth = 36;
inline constexpr int kAsiStripWindowHeight = 20;
// Figures sit 40 pixels apart, so that the window shows one of them whole
// and none of its neighbours.
inline constexpr double kAsiStripScale = -40.0;  // pixels per knot
inline constexpr int kAsiStripLength = 101 * 40 + kAsiStripWindowWidth;
// The strip's travel, in knots of its value: below 2 it stays at 2.
inline constexpr int kAsiStripMin = 2;
inline constexpr int kAsiStripMax = 106;
// The speed knob, lower left, with its pointer.
inline constexpr int kAsiKnobX = 17;
inline constexpr int kAsiKnobY = 170;
inline constexpr int kAsiKnobRadius = 16;

// A needle bitmap drawn pointing up: `width` across, the blade `length`
// above the pivot and a `tail` below it; the pivot is (width / 2, length).
struct NeedleSize {
    int width;
    int length;
    int tail;
};
inline constexpr NeedleSize kAsiNeedleSize{12, 80, 18};
inline constexpr NeedleSize kVmoPointerSize{8, 86, 0};
inline constexpr NeedleSize kAsiBugSize{14, 94, 0};  // the bugs ride the rim
inline constexpr NeedleSize kKnobPointerSize{6, 14, 0};
inline constexpr NeedleSize kSelectorNeedleSize{10, 40, 0};

// ---------------------------------------------------------------------------
// Altimeters

inline constexpr int kAltSize = 200;
inline constexpr int kAltCentre = 100;
inline constexpr int kAltFaceRadius = 92;
inline constexpr double kAltDegreesPerFoot = 0.36;
inline constexpr int kAltPointerLength = 78;  // from the pivot
inline constexpr int kAltPointerTail = 16;
inline constexpr int kAltPointerWidth = 12;

// Drum windows. Altitude drums: ten-thousands, thousands, hundreds, then the
// twenty-foot drum's two strips.
inline constexpr int kDrumWidth = 16;
inline constexpr int kDrumHeight = 26;
inline constexpr double kDrumScale = -2.6;  // pixels per drum unit (10 units a digit)
inline constexpr int kDrumRowY = 58;
inline constexpr int kDrumX[5] = {56, 72, 88, 104, 120};  // 10k, 1k, 100, twenty, zero
inline constexpr int kDrumStripLength = kDrumHeight + 120 * 26 / 10;
// Setting windows: hPa on the left, inHg on the right, each four drums:
// three digits and the lowest drum of two digits.
inline constexpr int kSetDrumWidth = 10;
inline constexpr int kSetDrumHeight = 16;
inline constexpr double kSetDrumScale = -1.6;  // 10 units a digit
inline constexpr int kSetLowWidth = 20;
inline constexpr double kSetLowScale = -16.0;  // one unit a label
inline constexpr int kSetRowY = 140;
inline constexpr int kSetHpaX = 44;
inline constexpr int kSetInHgX = 108;
inline constexpr int kSetDigitStripLength = kSetDrumHeight + 120 * 16 / 10;
inline constexpr int kSetLowStripLength = kSetDrumHeight + 112 * 16;
// Window of drum k (0 lowest, 3 thousands) of a setting window at x0.
inline constexpr int SetDrumX(int x0, int k) {
    return k == 0 ? x0 + 3 * kSetDrumWidth : x0 + (3 - k) * kSetDrumWidth;
}
// OFF flag: slides up out of its window as its travel falls.
inline constexpr int kOffFlagX = 136;
inline constexpr int kOffFlagY = 96;
inline constexpr int kOffFlagWidth = 34;
inline constexpr int kOffFlagHeight = 18;
inline constexpr double kOffFlagScale = -1.5;  // pixels per unit of 12 - travel
inline constexpr int kAlertLampX = 30;
inline constexpr int kAlertLampY = 96;
inline constexpr int kAlertLampSize = 18;

// Drum values (shared with the artwork so the strips line up).
inline constexpr int DigitDrumValue(int digit) {
    return (11 - digit) * 10;
}

}  // namespace zu::flight_dials
