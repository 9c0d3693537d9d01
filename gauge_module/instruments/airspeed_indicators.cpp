#include "instruments/airspeed_indicators.h"

#include <algorithm>
#include <cmath>

#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "displays/display_pixel_size.h"
#include "instruments/dial_records.h"
#include "instruments/flight_dials.h"
#include "instruments/gauge_framework.h"

namespace zu {

AirspeedBugs AirspeedSide[2] = {{200, 0, 10, 1}, {200, 0, 10, 1}};
int32_t AsiTouchZone[2] = {};

namespace {

using gauge::ElementHeader;
using gauge::IconElement;
using gauge::MovingImageElement;
using gauge::NeedleElement;
namespace fd = flight_dials;

constexpr double kVmoLowAltitude = 14000.0;
constexpr double kVmoLowKnots = 242.0;
constexpr double kVmoKnotsPerFoot = 0.0031847134;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr int32_t kBugOffset = 3;
constexpr int32_t kLowestBugAngle = -70;

}  // namespace

double AirspeedNeedleAngle(float indicated_airspeed) {
    int32_t knots = TruncToInt32(indicated_airspeed);
    if (knots < fd::kAsiMinShown) knots = fd::kAsiMinShown;
    if (knots > fd::kAsiMaxShown) knots = fd::kAsiMaxShown;
    return fd::AsiAngle(knots);
}

double MaxSpeedKnots(float altitude_ft) {
    if (!(altitude_ft >= kVmoLowAltitude)) return kVmoLowKnots;
    return kVmoLowKnots - (altitude_ft - kVmoLowAltitude) * kVmoKnotsPerFoot;
}

void AirspeedDialClick(int side, int32_t x, int32_t y, int32_t w, int32_t h) {
    // Without a recorded display size there is nothing to scale by.
    if (w <= 0 || h <= 0) return;
    const int64_t fx = int64_t{x} * 169 / w;
    const int64_t fy = int64_t{y} * 131 / h - 47;
    int32_t angle;
    if (fx == 0) {
        angle = fy > 0 ? 180 : 0;
    } else {
        angle = TruncToInt32(std::atan(static_cast<double>(fy) / static_cast<double>(fx)) *
                             kDegreesPerRadian);
        if (angle < kLowestBugAngle) angle = kLowestBugAngle;
    }
    AirspeedBugs& b = AirspeedSide[side];
    b.toggle = b.toggle == 0 ? 1 : 0;
    if (b.toggle != 0) {
        b.bug_a = angle - kBugOffset;
    } else {
        b.bug_b = angle - kBugOffset;
    }
    ArmRefresh(kRefreshEngineInstruments, RefreshHoldCount2);
}

namespace {

// ---------------------------------------------------------------------------
// Element callbacks

double KnotsStrip(ElementHeader*) {
    const int32_t knots = TruncToInt32(IndicatedAirspeed) % 100;
    return std::clamp(knots, fd::kAsiStripMin, fd::kAsiStripMax);
}
double MaxSpeedPointer(ElementHeader*) {
    return fd::VmoAngle(MaxSpeedKnots(Altitude));
}
double AirspeedNeedle(ElementHeader*) {
    return AirspeedNeedleAngle(IndicatedAirspeed);
}
template <int S>
double BugA(ElementHeader*) {
    return AirspeedSide[S].bug_a;
}
template <int S>
double BugB(ElementHeader*) {
    return AirspeedSide[S].bug_b;
}
template <int S>
double KnobBug(ElementHeader*) {
    return fd::AsiAngle(AirspeedSide[S].knob);
}
template <int S>
double KnobPointer(ElementHeader*) {
    return AirspeedSide[S].knob * fd::kKnobPointerScale + fd::kKnobPointerOffset;
}

// ---------------------------------------------------------------------------
// Element lists

struct AirspeedElements {
    ElementHeader face_lit;
    IconElement face;
    MovingImageElement strip;
    NeedleElement needle[12];  // elements 3-14: unlit, lit pairs
    ElementHeader* next[15][2];
};

constexpr uint32_t kLitCopyFlags = gauge::kImageHidden | gauge::kImageLuminous;

constexpr NeedleElement DialNeedle(uint32_t resource, fd::NeedleSize size, bool lit,
                                   ElementHeader** next, gauge::ElementCallback callback) {
    return NeedleRecord(resource + (lit ? 1 : 0), fd::kAsiCentre, fd::kAsiCentre,
                        {size.width / 2, size.length}, lit ? kLitCopyFlags : 0, next, 0, callback);
}

template <int S>
constexpr AirspeedElements MakeAirspeed(AirspeedElements* self) {
    AirspeedElements a{};
    a.face_lit = StaticImageRecord(fd::kAsiFaceLit, 0, 0, kLitCopyFlags, self->next[0]);
    a.face = IconRecord(fd::kAsiFace, 0, 0, 0, self->next[1]);
    a.strip = MovingImageRecord(fd::kAsiStrip, fd::kAsiStripMask, fd::kAsiStripX, fd::kAsiStripY, 0,
                                self->next[2], KnotsStrip, fd::kAsiStripScale, nullptr, 0.0);
    for (int lit = 0; lit < 2; ++lit) {
        const bool l = lit != 0;
        a.needle[0 + lit] = DialNeedle(fd::kAsiVmoPointer, fd::kVmoPointerSize, l,
                                       self->next[3 + lit], MaxSpeedPointer);
        a.needle[2 + lit] =
            DialNeedle(fd::kAsiNeedle, fd::kAsiNeedleSize, l, self->next[5 + lit], AirspeedNeedle);
        a.needle[4 + lit] =
            DialNeedle(fd::kAsiClickBug, fd::kAsiBugSize, l, self->next[7 + lit], BugA<S>);
        a.needle[6 + lit] =
            DialNeedle(fd::kAsiClickBug, fd::kAsiBugSize, l, self->next[9 + lit], BugB<S>);
        a.needle[8 + lit] =
            DialNeedle(fd::kAsiKnobBug, fd::kAsiBugSize, l, self->next[11 + lit], KnobBug<S>);
        a.needle[10 + lit] =
            NeedleRecord(fd::kAsiKnobPointer + lit, fd::kAsiKnobX, fd::kAsiKnobY,
                         {fd::kKnobPointerSize.width / 2, fd::kKnobPointerSize.length},
                         l ? kLitCopyFlags : 0, self->next[13 + lit], 0, KnobPointer<S>);
    }
    a.next[0][0] = &self->face.header;
    a.next[1][0] = &self->strip.header;
    a.next[2][0] = &self->needle[0].header;
    for (int n = 0; n < 11; ++n) a.next[3 + n][0] = &self->needle[n + 1].header;
    return a;
}

constinit AirspeedElements gSpeedometer1 = MakeAirspeed<0>(&gSpeedometer1);
constinit AirspeedElements gSpeedometer2 = MakeAirspeed<1>(&gSpeedometer2);
constinit AirspeedElements gSpeedometer1Touch = MakeAirspeed<0>(&gSpeedometer1Touch);
constinit AirspeedElements gSpeedometer2Touch = MakeAirspeed<1>(&gSpeedometer2Touch);

// ---------------------------------------------------------------------------
// Gauge callback

constexpr int kStripElement = 2;

// One memo per airspeed gauge, by its list.
VisibilityMemo& MemoOf(const ElementHeader* first) {
    static VisibilityMemo memos[5];
    const ElementHeader* const lists[4] = {&gSpeedometer1.face_lit, &gSpeedometer2.face_lit,
                                           &gSpeedometer1Touch.face_lit,
                                           &gSpeedometer2Touch.face_lit};
    int i = 0;
    while (i < 4 && lists[i] != first) ++i;
    return memos[i];
}

void Visibility(gauge::GaugeHeader* gauge) {
    ElementHeader* first = FirstElement(gauge);
    const bool lit = PanelLightingCircuit3.get() != 0;
    VisibilityMemo& memo = MemoOf(first);
    RepaintKeyBuilder key;
    key.Add(lit);
    if (!VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, lit);
    ShowElement(first, 1, !lit);
    for (int k = 3; k <= 14; ++k) ShowElement(first, k, (k % 2 == 0) == lit);
    SetElementLit(first, kStripElement, lit);
    VisibilityKept(memo, first, key.Key());
}

void AirspeedCallback(gauge::GaugeHeader* gauge, int32_t service) {
    if (service != gauge::kServiceUpdate) return;
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshEngineInstruments, RefreshHoldCount2);
    }
    if (RefreshGroupStep(kRefreshEngineInstruments)) Visibility(gauge);
}

// ---------------------------------------------------------------------------
// Mouse

template <int S, int Step>
int32_t SpeedKnob(gauge::Point*, uint32_t) {
    int32_t& knob = AirspeedSide[S].knob;
    if (Step < 0 && knob > kSpeedBugLow) knob += Step;
    if (Step > 0 && knob < kSpeedBugHigh) knob += Step;
    ArmRefresh(kRefreshEngineInstruments, RefreshHoldCount2);
    return 0;
}

template <int S>
int32_t DialPlain(gauge::Point* p, uint32_t) {
    if (p != nullptr) AirspeedDialClick(S, p->x, p->y, DisplayPixelSize2[0], DisplayPixelSize2[1]);
    return 0;
}

template <int S>
int32_t DialTouch(gauge::Point* p, uint32_t) {
    if (p != nullptr) AirspeedDialClick(S, p->x, p->y, DisplayPixelSize[0], DisplayPixelSize[1]);
    return 0;
}

template <int S, int Zone>
int32_t KnobZone(gauge::Point* p, uint32_t f) {
    const int32_t direction = TouchZoneDirection(&AsiTouchZone[S], Zone, 4);
    if (direction > 0) return SpeedKnob<S, kSpeedBugStep>(p, f);
    if (direction < 0) return SpeedKnob<S, -kSpeedBugStep>(p, f);
    return 0;
}

constexpr gauge::MouseRect DialRect(gauge::MouseHandler handler) {
    return MouseChild(64, 15, 47, 94, kCursorHand, kClick, handler);
}

template <int S>
constexpr gauge::MouseRect PlainRect(int part) {
    switch (part) {
        case 0:
            return MouseParent(fd::kAsiSize, fd::kAsiSize);
        case 1:
            return MouseChild(0, 95, 17, 100, kCursorDecrease, kHeldClick,
                              SpeedKnob<S, -kSpeedBugStep>);
        case 2:
            return MouseChild(17, 95, 17, 100, kCursorIncrease, kHeldClick,
                              SpeedKnob<S, kSpeedBugStep>);
        case 3:
            return DialRect(DialPlain<S>);
        default:
            return MouseEnd();
    }
}

template <int S>
constexpr gauge::MouseRect TouchRect(int part) {
    switch (part) {
        case 0:
            return MouseParent(fd::kAsiSize, fd::kAsiSize);
        case 1:
            return MouseChild(-3, 86, 20, 20, kCursorHand, kTouchZone, KnobZone<S, 0>);
        case 2:
            return MouseChild(17, 86, 20, 20, kCursorHand, kTouchZone, KnobZone<S, 1>);
        case 3:
            return MouseChild(17, 106, 20, 20, kCursorHand, kTouchZone, KnobZone<S, 2>);
        case 4:
            return MouseChild(-3, 106, 20, 20, kCursorHand, kTouchZone, KnobZone<S, 3>);
        case 5:
            return DialRect(DialTouch<S>);
        default:
            return MouseEnd();
    }
}

}  // namespace

gauge::ElementHeader* Speedometer1ElementList[2] = {&gSpeedometer1.face_lit, nullptr};
gauge::ElementHeader* Speedometer2ElementList[2] = {&gSpeedometer2.face_lit, nullptr};
gauge::ElementHeader* Speedometer1TouchElementList[2] = {&gSpeedometer1Touch.face_lit, nullptr};
gauge::ElementHeader* Speedometer2TouchElementList[2] = {&gSpeedometer2Touch.face_lit, nullptr};

gauge::MouseRect Speedometer1MouseRect[5] = {PlainRect<0>(0), PlainRect<0>(1), PlainRect<0>(2),
                                             PlainRect<0>(3), PlainRect<0>(4)};
gauge::MouseRect Speedometer2MouseRect[5] = {PlainRect<1>(0), PlainRect<1>(1), PlainRect<1>(2),
                                             PlainRect<1>(3), PlainRect<1>(4)};
gauge::MouseRect Speedometer1TouchMouseRect[7] = {TouchRect<0>(0), TouchRect<0>(1), TouchRect<0>(2),
                                                  TouchRect<0>(3), TouchRect<0>(4), TouchRect<0>(5),
                                                  TouchRect<0>(6)};
gauge::MouseRect Speedometer2TouchMouseRect[7] = {TouchRect<1>(0), TouchRect<1>(1), TouchRect<1>(2),
                                                  TouchRect<1>(3), TouchRect<1>(4), TouchRect<1>(5),
                                                  TouchRect<1>(6)};

void Speedometer1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AirspeedCallback(g, s);
}
void Speedometer2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AirspeedCallback(g, s);
}

}  // namespace zu
