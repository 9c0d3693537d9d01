#include "instruments/altimeters.h"

#include <cstdlib>

#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "instruments/dial_records.h"
#include "instruments/flight_dials.h"
#include "instruments/gauge_framework.h"

namespace zu {

StbyAltimeterBaroRecord StbyAltimeterBaro = {1013.25f, 29.92f};
AltimeterDrumState AltimeterDrums[kAltimeterCount] = {};
int32_t AltimeterTouchZone[kAltimeterCount] = {};

namespace {

using gauge::ElementHeader;
using gauge::IconElement;
using gauge::MovingImageElement;
using gauge::NeedleElement;
namespace fd = flight_dials;

// ---------------------------------------------------------------------------
// Drum and pointer rules

// Adds the roll of the drum below while its carry lies strictly between 10
// and 20; returns the drum's value, which is the carry for the next drum.
int32_t CarriedDrum(int32_t digit, int32_t carry_below) {
    int32_t value = fd::DigitDrumValue(digit);
    if (carry_below > 10 && carry_below < 20) value += carry_below - 20;
    return value;
}

int32_t Digit(int64_t x, int k) {
    int64_t p = 10;
    for (int i = 0; i < k; ++i) p *= 10;
    return static_cast<int32_t>((x / p) % 10);
}

}  // namespace

void AltitudeDrums(AltimeterDrumState* s, bool standby) {
    const int32_t v = s->whole;
    const int32_t r = v % 100;
    s->drum[0] = 110 - r / 2;
    s->carry[0] = standby ? 60 - r / 2 : 110 - r;
    for (int k = 1; k <= 3; ++k) {
        s->drum[k] = CarriedDrum(Digit(v, k), s->carry[k - 1]);
        s->carry[k] = s->drum[k];
    }
    if (s->negative != 0) s->drum[3] = 0;
}

void SettingDrums(int32_t x, int32_t out[4]) {
    out[0] = 110 - x % 100;
    int32_t carry = out[0];
    for (int k = 1; k <= 3; ++k) {
        out[k] = CarriedDrum(Digit(x, k), carry);
        carry = out[k];
    }
}

int32_t AltimeterPointerAngle(int32_t feet, bool negative) {
    const int64_t turn = (int64_t{feet} * (negative ? -360 : 360)) / 1000;
    return static_cast<int32_t>(turn % 360) - 90;
}

namespace {

// ---------------------------------------------------------------------------
// Per-frame steps

AltimeterBaroSettingRecord& SideBaro(int side) {
    return side == kAltimeter1 ? Altimeter1Baro : Altimeter2Baro;
}
float SideBaroAltitude(int side) {
    return side == kAltimeter1 ? BaroAltitude1 : BaroAltitude2;
}
int32_t& SideShown(int side) {
    return side == kAltimeter1 ? AltimeterShownAltitude1 : AltimeterShownAltitude2;
}
bool SideAlert(int side) {
    return (side == kAltimeter1 ? PfdAdvisoryFlag : PfdAdvisoryFlag2) != 0;
}

void FollowBaroAltitude(int side) {
    if (BusPowered.get(kPoweredRightEssential) == 0 && BusPowered.get(kPoweredLeftEssential) == 0) {
        return;
    }
    int32_t& shown = SideShown(side);
    const double baro = SideBaroAltitude(side);
    const int32_t d = TruncToInt32(shown - baro);
    if (std::llabs(int64_t{d}) > kShownAltitudeRate) {
        shown = TruncToInt32(static_cast<double>(shown) +
                             (d > 0 ? -kShownAltitudeRate : kShownAltitudeRate));
    } else {
        shown = TruncToInt32(baro);
    }
}

void SetDrumSource(AltimeterDrumState& s, double altitude) {
    s.negative = altitude < 0 ? 1 : 0;
    s.source = static_cast<float>(altitude < 0 ? -altitude : altitude);
}

// Keeps the other side current while only one pilot's altimeter is open.
void MirrorOtherSide(int side) {
    const int other = side == kAltimeter1 ? kAltimeter2 : kAltimeter1;
    SideShown(other) = TruncToInt32(SideBaroAltitude(other));
    AltimeterDrums[other].source = SideBaroAltitude(other);
}

void ComputeDrums(int index, float hpa, float inhg) {
    AltimeterDrumState& s = AltimeterDrums[index];
    s.whole = TruncToInt32(s.source);
    AltitudeDrums(&s, index == kStbyAltimeter);
    s.pointer = AltimeterPointerAngle(s.whole, s.negative != 0);
    SettingDrums(TruncToInt32(double{hpa} * 10.0), s.hpa);
    SettingDrums(TruncToInt32(double{inhg} * 1000.0), s.inhg);
}

void MoveOffFlag(int side) {
    int32_t& travel = SideBaro(side).off_flag;
    const bool unpowered = BusPowered.get(kPoweredLeftEssential) == 0;
    const bool test = AirDataFlags[side] != 0;
    travel += test || unpowered ? 2 : -2;
    if (travel < 0) travel = 0;
    if (travel > kOffFlagTravel) travel = kOffFlagTravel;
}

// ---------------------------------------------------------------------------
// Element callbacks

template <int I, int Drum>
double AltitudeDrum(ElementHeader*) {
    return AltimeterDrums[I].drum[Drum];
}
template <int I, int Drum>
double HpaDrum(ElementHeader*) {
    return AltimeterDrums[I].hpa[Drum];
}
template <int I, int Drum>
double InHgDrum(ElementHeader*) {
    return AltimeterDrums[I].inhg[Drum];
}
template <int I>
double OffFlag(ElementHeader*) {
    return kOffFlagTravel - SideBaro(I).off_flag;
}
template <int I>
double Pointer(ElementHeader*) {
    return AltimeterDrums[I].pointer;
}

// ---------------------------------------------------------------------------
// Element lists

struct AltimeterElements {
    ElementHeader face_lit;
    IconElement face;
    MovingImageElement drum[13];  // elements 2-14
    MovingImageElement off_flag;
    NeedleElement pointer_unlit;
    NeedleElement pointer_lit;
    IconElement alert;
    IconElement overlay;
    ElementHeader* next[20][2];
};

constexpr int kDrumElements = 13;

template <int I>
constexpr MovingImageElement DrumElement(AltimeterElements* self, int n) {
    const bool standby = I == kStbyAltimeter;
    ElementHeader** next = self->next[2 + n];
    const uint32_t hidden_if_standby = standby ? gauge::kImageHidden : 0;
    switch (n) {
        case 0:
            return DrumRecord(fd::kAltTwentyStrip, fd::kAltDrumMask, fd::kDrumX[3], fd::kDrumRowY,
                              0, next, AltitudeDrum<I, 0>, fd::kDrumScale);
        case 1:
            return DrumRecord(fd::kAltZeroStrip, fd::kAltDrumMask, fd::kDrumX[4], fd::kDrumRowY, 0,
                              next, AltitudeDrum<I, 0>, fd::kDrumScale);
        case 2:
            return DrumRecord(fd::kAltDigitStrip, fd::kAltDrumMask, fd::kDrumX[2], fd::kDrumRowY, 0,
                              next, AltitudeDrum<I, 1>, fd::kDrumScale);
        case 3:
            return DrumRecord(standby ? fd::kStbyThousandsStrip : fd::kAltDigitStrip,
                              fd::kAltDrumMask, fd::kDrumX[1], fd::kDrumRowY, 0, next,
                              AltitudeDrum<I, 2>, fd::kDrumScale);
        case 4:
            return DrumRecord(fd::kAltDigitStrip, fd::kAltDrumMask, fd::kDrumX[0], fd::kDrumRowY, 0,
                              next, AltitudeDrum<I, 3>, fd::kDrumScale);
        case 5:
            return DrumRecord(fd::kSetLowStripHpa, fd::kSetLowMask, fd::SetDrumX(fd::kSetHpaX, 0),
                              fd::kSetRowY, 0, next, HpaDrum<I, 0>, fd::kSetLowScale);
        case 6:
        case 7:
        case 8:
            return DrumRecord(fd::kSetDigitStrip, fd::kSetDigitMask,
                              fd::SetDrumX(fd::kSetHpaX, n - 5), fd::kSetRowY, 0, next,
                              n == 6   ? HpaDrum<I, 1>
                              : n == 7 ? HpaDrum<I, 2>
                                       : HpaDrum<I, 3>,
                              fd::kSetDrumScale);
        case 9:
            return DrumRecord(fd::kSetLowStripInHg, fd::kSetLowMask, fd::SetDrumX(fd::kSetInHgX, 0),
                              fd::kSetRowY, hidden_if_standby, next, InHgDrum<I, 0>,
                              fd::kSetLowScale);
        default:
            return DrumRecord(fd::kSetDigitStrip, fd::kSetDigitMask,
                              fd::SetDrumX(fd::kSetInHgX, n - 9), fd::kSetRowY, hidden_if_standby,
                              next,
                              n == 10   ? InHgDrum<I, 1>
                              : n == 11 ? InHgDrum<I, 2>
                                        : InHgDrum<I, 3>,
                              fd::kSetDrumScale);
    }
}

template <int I>
constexpr AltimeterElements MakeAltimeter(AltimeterElements* self) {
    const bool standby = I == kStbyAltimeter;
    AltimeterElements a{};
    a.face_lit = StaticImageRecord(standby ? fd::kStbyFaceLit : fd::kAltFaceLit, 0, 0,
                                   gauge::kImageHidden | gauge::kImageLuminous, self->next[0]);
    a.face = IconRecord(standby ? fd::kStbyFace : fd::kAltFace, 0, 0, 0, self->next[1]);
    for (int n = 0; n < kDrumElements; ++n) a.drum[n] = DrumElement<I>(self, n);
    a.off_flag = DrumRecord(fd::kAltOffFlag, fd::kAltOffFlagMask, fd::kOffFlagX, fd::kOffFlagY,
                            standby ? gauge::kImageHidden : 0, self->next[15], OffFlag<I>,
                            fd::kOffFlagScale);
    // The pointer is drawn along +x with its pivot at its left end (after a
    // short tail), so the formula's zero at three o'clock needs no offset.
    const gauge::Point pointer_pivot{fd::kAltPointerTail, fd::kAltPointerWidth / 2};
    a.pointer_unlit = NeedleRecord(standby ? fd::kStbyPointer : fd::kAltPointer, fd::kAltCentre,
                                   fd::kAltCentre, pointer_pivot, 0, self->next[16], 0, Pointer<I>);
    a.pointer_lit = NeedleRecord(
        standby ? fd::kStbyPointerLit : fd::kAltPointerLit, fd::kAltCentre, fd::kAltCentre,
        pointer_pivot, gauge::kImageHidden | gauge::kImageLuminous, self->next[17], 0, Pointer<I>);
    a.alert = IconRecord(fd::kAltAlertLamp, fd::kAlertLampX, fd::kAlertLampY,
                         gauge::kImageHidden | gauge::kImageLuminous, self->next[18]);
    a.overlay = IconRecord(standby ? fd::kStbyLitOverlay : fd::kAltLitOverlay, 0, 0,
                           gauge::kImageHidden | gauge::kImageLuminous, self->next[19]);
    a.next[0][0] = &self->face.header;
    a.next[1][0] = &self->drum[0].header;
    for (int n = 0; n < kDrumElements - 1; ++n) a.next[2 + n][0] = &self->drum[n + 1].header;
    a.next[14][0] = &self->off_flag.header;
    a.next[15][0] = &self->pointer_unlit.header;
    a.next[16][0] = &self->pointer_lit.header;
    a.next[17][0] = &self->alert.header;
    a.next[18][0] = &self->overlay.header;
    return a;
}

constinit AltimeterElements gAltimeter1 = MakeAltimeter<kAltimeter1>(&gAltimeter1);
constinit AltimeterElements gAltimeter2 = MakeAltimeter<kAltimeter2>(&gAltimeter2);
constinit AltimeterElements gAltimeter1Touch = MakeAltimeter<kAltimeter1>(&gAltimeter1Touch);
constinit AltimeterElements gAltimeter2Touch = MakeAltimeter<kAltimeter2>(&gAltimeter2Touch);
constinit AltimeterElements gStby = MakeAltimeter<kStbyAltimeter>(&gStby);
constinit AltimeterElements gStbyTouch = MakeAltimeter<kStbyAltimeter>(&gStbyTouch);

// ---------------------------------------------------------------------------
// Visibility

constexpr int kOffFlagElement = 15;
constexpr int kAlertElement = 18;

// One memo per altimeter gauge, by its list.
VisibilityMemo& MemoOf(const ElementHeader* first) {
    static VisibilityMemo memos[7];
    const ElementHeader* const lists[6] = {
        &gAltimeter1.face_lit,      &gAltimeter2.face_lit, &gAltimeter1Touch.face_lit,
        &gAltimeter2Touch.face_lit, &gStby.face_lit,       &gStbyTouch.face_lit};
    int i = 0;
    while (i < 6 && lists[i] != first) ++i;
    return memos[i];
}

void Visibility(gauge::GaugeHeader* gauge, bool standby) {
    ElementHeader* first = FirstElement(gauge);
    const bool lit = (standby ? PanelLightingCircuit2.get() : PanelLightingCircuit3.get()) != 0;
    VisibilityMemo& memo = MemoOf(first);
    RepaintKeyBuilder key;
    key.Add(lit).Add(standby);
    if (!VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, lit);
    ShowElement(first, 1, !lit);
    ShowElement(first, 16, !lit);
    ShowElement(first, 17, lit);
    ShowElement(first, 19, lit);
    for (int k = 2; k <= 14; ++k) SetElementLit(first, k, lit);
    if (standby) {
        for (int k = 11; k <= kOffFlagElement; ++k) ShowElement(first, k, false);
        ShowElement(first, kAlertElement, false);
    }
    VisibilityKept(memo, first, key.Key());
}

// Refresh-all countdown, then the group step; true while the group runs.
bool RefreshStep() {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshEngineInstruments, RefreshHoldCount2);
    }
    return RefreshGroupStep(kRefreshEngineInstruments);
}

// ---------------------------------------------------------------------------
// Gauge callbacks

void InstallPilot(int side) {
    const int32_t feet = TruncToInt32(Altitude);
    SideShown(side) = feet;
    AltimeterDrums[side].source = static_cast<float>(feet);
}

void PilotUpdate(gauge::GaugeHeader* gauge, int side, bool mirror) {
    const bool alert = SideAlert(side);
    if (RefreshStep() || alert) Visibility(gauge, false);
    ShowElement(FirstElement(gauge), kAlertElement, alert);
    FollowBaroAltitude(side);
    SetDrumSource(AltimeterDrums[side], SideShown(side));
    if (mirror) MirrorOtherSide(side);
    const AltimeterBaroSettingRecord& baro = SideBaro(side);
    ComputeDrums(side, baro.hpa, baro.inhg);
    MoveOffFlag(side);
}

void StbyUpdate(gauge::GaugeHeader* gauge) {
    if (RefreshStep()) Visibility(gauge, true);
    SetDrumSource(AltimeterDrums[kStbyAltimeter],
                  PressureAltitude - (kStbyStandardHpa - StbyAltimeterBaro.hpa) * kFeetPerHpa);
    ComputeDrums(kStbyAltimeter, StbyAltimeterBaro.hpa, StbyAltimeterBaro.inhg);
}

template <int I, bool Touch>
void AltimeterCallback(gauge::GaugeHeader* gauge, int32_t service) {
    if (service == gauge::kServiceInstall) {
        if (I == kStbyAltimeter) {
            AltimeterDrums[I].source = Altitude;
        } else {
            InstallPilot(I);
        }
    } else if (service == gauge::kServiceUpdate) {
        if (I == kStbyAltimeter) {
            StbyUpdate(gauge);
        } else {
            PilotUpdate(gauge, I, !Touch);
        }
    }
}

// ---------------------------------------------------------------------------
// Setting knobs

float& SettingHpa(int index) {
    return index == kStbyAltimeter ? StbyAltimeterBaro.hpa : SideBaro(index).hpa;
}
float& SettingInHg(int index) {
    return index == kStbyAltimeter ? StbyAltimeterBaro.inhg : SideBaro(index).inhg;
}

void StepSetting(int index, int direction) {
    float& hpa = SettingHpa(index);
    if (direction < 0 && hpa > kBaroSettingLow) hpa -= kBaroSettingStep;
    if (direction > 0 && hpa < kBaroSettingHigh) hpa += kBaroSettingStep;
    SettingInHg(index) = static_cast<float>(hpa * kInHgPerHpa);
    ArmRefresh(kRefreshEngineInstruments, RefreshHoldCount2);
}

template <int I, int Direction>
int32_t SettingKnob(gauge::Point*, uint32_t) {
    StepSetting(I, Direction);
    return 0;
}

template <int I, int Zone>
int32_t SettingZone(gauge::Point*, uint32_t) {
    const int32_t direction = TouchZoneDirection(&AltimeterTouchZone[I], Zone, 4);
    if (direction != 0) StepSetting(I, direction);
    return 0;
}

template <int I>
constexpr gauge::MouseRect KnobRect(int part) {
    const int x = I == kStbyAltimeter ? 90 : 9;
    switch (part) {
        case 0:
            return MouseParent(fd::kAltSize, fd::kAltSize);
        case 1:
            return MouseChild(x, 99, 10, 20, kCursorDecrease, kHeldClick, SettingKnob<I, -1>);
        case 2:
            return MouseChild(x + 10, 99, 10, 20, kCursorIncrease, kHeldClick, SettingKnob<I, 1>);
        default:
            return MouseEnd();
    }
}

// Zones 0-3 clockwise from the top left.
template <int I>
constexpr gauge::MouseRect ZoneRect(int part) {
    const int x = I == kStbyAltimeter ? 80 : 0;
    switch (part) {
        case 0:
            return MouseParent(fd::kAltSize, fd::kAltSize);
        case 1:
            return MouseChild(x, 90, 20, 20, kCursorHand, kTouchZone, SettingZone<I, 0>);
        case 2:
            return MouseChild(x + 20, 90, 20, 20, kCursorHand, kTouchZone, SettingZone<I, 1>);
        case 3:
            return MouseChild(x + 20, 110, 20, 20, kCursorHand, kTouchZone, SettingZone<I, 2>);
        case 4:
            return MouseChild(x, 110, 20, 20, kCursorHand, kTouchZone, SettingZone<I, 3>);
        default:
            return MouseEnd();
    }
}

}  // namespace

gauge::ElementHeader* Altimeter1ElementList[2] = {&gAltimeter1.face_lit, nullptr};
gauge::ElementHeader* Altimeter2ElementList[2] = {&gAltimeter2.face_lit, nullptr};
gauge::ElementHeader* Altimeter1TouchElementList[2] = {&gAltimeter1Touch.face_lit, nullptr};
gauge::ElementHeader* Altimeter2TouchElementList[2] = {&gAltimeter2Touch.face_lit, nullptr};
gauge::ElementHeader* StbyAltimeterElementList[2] = {&gStby.face_lit, nullptr};
gauge::ElementHeader* StbyAltimeterTouchElementList[2] = {&gStbyTouch.face_lit, nullptr};

#define ZU_KNOB_RECTS(I) \
    { KnobRect<I>(0), KnobRect<I>(1), KnobRect<I>(2), KnobRect<I>(3) }
#define ZU_ZONE_RECTS(I)                                                                \
    {                                                                                   \
        ZoneRect<I>(0), ZoneRect<I>(1), ZoneRect<I>(2), ZoneRect<I>(3), ZoneRect<I>(4), \
            ZoneRect<I>(5)                                                              \
    }
gauge::MouseRect Altimeter1MouseRect[4] = ZU_KNOB_RECTS(kAltimeter1);
gauge::MouseRect Altimeter2MouseRect[4] = ZU_KNOB_RECTS(kAltimeter2);
gauge::MouseRect StbyAltimeterMouseRect[4] = ZU_KNOB_RECTS(kStbyAltimeter);
gauge::MouseRect Altimeter1TouchMouseRect[6] = ZU_ZONE_RECTS(kAltimeter1);
gauge::MouseRect Altimeter2TouchMouseRect[6] = ZU_ZONE_RECTS(kAltimeter2);
gauge::MouseRect StbyAltimeterTouchMouseRect[6] = ZU_ZONE_RECTS(kStbyAltimeter);
#undef ZU_KNOB_RECTS
#undef ZU_ZONE_RECTS

void Altimeter1Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AltimeterCallback<kAltimeter1, false>(g, s);
}
void Altimeter2Callback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AltimeterCallback<kAltimeter2, false>(g, s);
}
void Altimeter1TouchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AltimeterCallback<kAltimeter1, true>(g, s);
}
void Altimeter2TouchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AltimeterCallback<kAltimeter2, true>(g, s);
}
void StbyAltimeterCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AltimeterCallback<kStbyAltimeter, false>(g, s);
}
void StbyAltimeterTouchCallback(gauge::GaugeHeader* g, int32_t s, uintptr_t) {
    AltimeterCallback<kStbyAltimeter, true>(g, s);
}

}  // namespace zu
