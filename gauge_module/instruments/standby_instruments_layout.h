// Layout of the standby attitude indicator, the flight-control-surface
// indicator and the radio magnetic indicator: bitmap numbers, sizes, pivots
// and places, shared by the gauges (standby_instruments.cpp) and the artwork
// generator (tools/artwork), so that faces, needles, masks and click zones
// line up.
//
// Design pixels, one per millimetre of the gauge's width: the standby
// attitude indicator is 100 x 100, the PFCS 93 x 93, the RMI 104 x 104.
//
// Needles whose angle formula puts zero at three o'clock (the RMI bearing
// pointers, the PFCS needles) are drawn along +x from their pivot; the host
// turns them clockwise by the angle. The RMI card is drawn north up and
// turned by minus the heading.
//
// This header depends on nothing but <cstdint> and the resource numbers so
// the generator can use it.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::standby_layout {

struct Box {
    int32_t x, y, width, height;
};

struct Pivot {
    int32_t x, y;  // on the gauge
};

// ---------------------------------------------------------------------------
// Bitmap numbers (block kAttitudeHeadingBlock, first half)

inline constexpr uint32_t kBlock = res::kAttitudeHeadingBlock;

// Standby attitude indicator.
inline constexpr uint32_t kStbyFaceUnlit = kBlock + 0x00;  // always shown, under the rest
inline constexpr uint32_t kStbyFaceLit = kBlock + 0x01;    // element 0
inline constexpr uint32_t kStbyBall = kBlock + 0x02;       // element 1, pitch and bank
inline constexpr uint32_t kStbyBallMask = kBlock + 0x03;
inline constexpr uint32_t kStbyBankPointer = kBlock + 0x04;  // element 2, bank only
inline constexpr uint32_t kStbyBankMask = kBlock + 0x05;
inline constexpr uint32_t kStbyAircraft = kBlock + 0x06;  // element 3
inline constexpr uint32_t kStbyFlag = kBlock + 0x07;      // element 4, "ATT"
// The flag window of both warning flags (standby attitude and RMI).
inline constexpr uint32_t kFlagMask = kBlock + 0x08;

// PFCS.
inline constexpr uint32_t kPfcsFaceUnlit = kBlock + 0x10;  // always shown, under the rest
inline constexpr uint32_t kPfcsFaceLit = kBlock + 0x11;    // element 0
inline constexpr uint32_t kPfcsSpoilerUnlit = kBlock + 0x12;
inline constexpr uint32_t kPfcsSpoilerLit = kBlock + 0x13;
inline constexpr uint32_t kPfcsRudderUnlit = kBlock + 0x14;
inline constexpr uint32_t kPfcsRudderLit = kBlock + 0x15;

// RMI.
inline constexpr uint32_t kRmiFaceLit = kBlock + 0x20;    // element 0
inline constexpr uint32_t kRmiFaceUnlit = kBlock + 0x21;  // element 1
inline constexpr uint32_t kRmiCardUnlit = kBlock + 0x22;
inline constexpr uint32_t kRmiCardLit = kBlock + 0x23;
inline constexpr uint32_t kRmiFlag = kBlock + 0x24;  // "HDG"
inline constexpr uint32_t kRmiPointer1Unlit = kBlock + 0x25;
inline constexpr uint32_t kRmiPointer1Lit = kBlock + 0x26;
inline constexpr uint32_t kRmiPointer2Unlit = kBlock + 0x27;
inline constexpr uint32_t kRmiPointer2Lit = kBlock + 0x28;
// Selector knobs turned to ADF (left) or VOR (right), and the source
// legends beside them.
inline constexpr uint32_t kRmiKnobAdf = kBlock + 0x29;
inline constexpr uint32_t kRmiKnobVor = kBlock + 0x2A;
inline constexpr uint32_t kRmiLegendAdf = kBlock + 0x2B;
inline constexpr uint32_t kRmiLegendVor = kBlock + 0x2C;

// ---------------------------------------------------------------------------
// Warning flags (moving images): the flag's offset from its element is
// (20 - travel, travel + 4), so it slides in diagonally from the upper right
// as the travel runs from 0 to 16. The mask shows only the flag's place at
// full travel.

inline constexpr int32_t kFlagTravelMax = 16;
inline constexpr int32_t kFlagSize = 16;
inline constexpr int32_t kFlagMaskSize = 40;
inline constexpr Box kFlagWindow = {4, 20, kFlagSize, kFlagSize};  // in the mask

// ---------------------------------------------------------------------------
// Standby attitude indicator

inline constexpr int32_t kStbySize = 100;
inline constexpr Pivot kStbyCentre = {50, 50};
inline constexpr int32_t kStbyWindowRadius = 34;  // the ball shows through this
inline constexpr int32_t kStbyBezelRadius = 45;   // bank scale between window and bezel
// Pitch: the ball moves this many pixels per degree; the callback holds
// pitch to +-kStbyPitchLimit degrees.
inline constexpr double kStbyPixelsPerDegree = 0.9;
inline constexpr double kStbyPitchLimit = 60.0;
// The ball bitmap is large enough to fill the window at full pitch and any
// bank.
inline constexpr int32_t kStbyBallSize = 2 * (kStbyWindowRadius + 56) + 4;
inline constexpr Box kStbyAircraftBox = {20, 45, 60, 12};
inline constexpr Pivot kStbyFlagPlace = {56, 32};  // the flag element
// Bank scale marks, degrees either side of the top.
inline constexpr int32_t kStbyBankMarks[] = {10, 20, 30, 45, 60};

// ---------------------------------------------------------------------------
// PFCS: four roll-spoiler needles (left ones rest at 0, pointing right;
// right ones at 180, pointing left; both sweep downward as the spoiler
// rises) and the fourth surface's needle (rests at 270, pointing up).

inline constexpr int32_t kPfcsSize = 93;
inline constexpr Pivot kPfcsLeftInner = {9, 27};
inline constexpr Pivot kPfcsLeftOuter = {9, 53};
inline constexpr Pivot kPfcsRightInner = {84, 27};
inline constexpr Pivot kPfcsRightOuter = {84, 53};
inline constexpr Pivot kPfcsRudder = {46, 84};
inline constexpr int32_t kPfcsSpoilerLength = 28;
inline constexpr int32_t kPfcsRudderLength = 20;
inline constexpr int32_t kPfcsNeedleTail = 4;
inline constexpr int32_t kPfcsNeedleHeight = 8;
// Scale of the spoiler needles (0 to this many degrees of sweep) and of the
// fourth surface (either side of up).
inline constexpr double kPfcsSpoilerSweep = 45.0;
inline constexpr double kPfcsRudderSweep = 30.0;

// ---------------------------------------------------------------------------
// RMI

inline constexpr int32_t kRmiSize = 104;
inline constexpr Pivot kRmiCentre = {52, 48};
inline constexpr int32_t kRmiCardRadius = 38;
inline constexpr int32_t kRmiCardBitmap = 2 * kRmiCardRadius + 2;
// Bearing pointers: drawn across the whole card along +x, the head at +x.
inline constexpr int32_t kRmiPointerHalf = 36;
inline constexpr int32_t kRmiPointerHeight = 11;
inline constexpr Pivot kRmiFlagPlace = {58, 6};  // the flag element
// The source selectors: the click zones and where knob and legend sit.
inline constexpr Box kRmiLeftSelector = {5, 79, 27, 25};
inline constexpr Box kRmiRightSelector = {77, 79, 27, 25};
inline constexpr int32_t kRmiKnobSize = 22;
inline constexpr Pivot kRmiLeftKnob = {7, 81};  // top-left of the knob bitmap
inline constexpr Pivot kRmiRightKnob = {79, 81};
inline constexpr int32_t kRmiLegendWidth = 18;
inline constexpr int32_t kRmiLegendHeight = 9;
inline constexpr Pivot kRmiLeftLegend = {31, 94};
inline constexpr Pivot kRmiRightLegend = {56, 94};

}  // namespace zu::standby_layout
