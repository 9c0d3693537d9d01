#include "instruments/pedestal_indicators.h"

#include <cmath>

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "instruments/dial_records.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/pedestal_art.h"

namespace zu {

TrimsPanelStateRecord TrimsPanelState{};
int32_t TrimSwitchDirection = 0;
int32_t TrimSwitchHold = 0;
float FlapNeedlePosition = -90.0f;

namespace {

using gauge::ElementHeader;
using gauge::NeedleElement;
namespace pa = pedestal_art;

constexpr int32_t kTrimClickPan = -1365;
constexpr uint32_t kEvtTrimStepDown = 0x102E4;
constexpr uint32_t kEvtTrimStepUp = 0x102E5;
constexpr int32_t kTrimHoldPasses = 4;

bool LeftMainPowered() {
    return BusPowered.get(kPoweredLeftMainDc) != 0;
}

// ===========================================================================
// TRIMS

double ElevatorNeedle(ElementHeader*) {
    return TrimsElevatorNeedle();
}
double IndicationNeedle(ElementHeader*) {
    return TrimsIndicationNeedle();
}
double KnobPointer(ElementHeader*) {
    return TrimsKnobPointer();
}

constexpr NeedleElement TrimsNeedle(int32_t x, int32_t y, bool lit, ElementHeader** next,
                                    gauge::ElementCallback callback) {
    return NeedleRecord(pa::kTrimsNeedle, x, y,
                        {pa::kTrimsNeedleWidth / 2, pa::kTrimsNeedleHeight / 2},
                        lit ? kLitCopy : 0u, next, 0, callback);
}

constexpr NeedleElement TrimsKnob(bool lit, ElementHeader** next) {
    constexpr int32_t half = pa::kTrimsKnobSize / 2;
    return NeedleRecord(pa::kTrimsKnob, pa::kTrimsKnobX, pa::kTrimsKnobY, {half, half},
                        lit ? kLitCopy : 0u, next, 0, KnobPointer);
}

struct TrimsElements {
    ElementHeader plate;
    ElementHeader lit;
    NeedleElement elevator[2];
    NeedleElement indication[2];
    ElementHeader rocker[3];
    NeedleElement knob[2];
    ElementHeader* next[11][2];
};

constexpr TrimsElements MakeTrims(TrimsElements* self) {
    TrimsElements p{};
    p.plate = StaticImageRecord(pa::kTrimsPlate, 0, 0, 0, self->next[0]);
    p.lit = StaticImageRecord(pa::kTrimsLit, 0, 0, kLitCopy, self->next[1]);
    p.elevator[0] =
        TrimsNeedle(pa::kTrimsDialX, pa::kTrimsDialY, false, self->next[2], ElevatorNeedle);
    p.elevator[1] =
        TrimsNeedle(pa::kTrimsDialX, pa::kTrimsDialY, true, self->next[3], ElevatorNeedle);
    p.indication[0] = TrimsNeedle(pa::kTrimsIndicationX, pa::kTrimsIndicationY, false,
                                  self->next[4], IndicationNeedle);
    p.indication[1] = TrimsNeedle(pa::kTrimsIndicationX, pa::kTrimsIndicationY, true, self->next[5],
                                  IndicationNeedle);
    const pa::Box r = pa::kTrimsRocker;
    p.rocker[0] = StaticImageRecord(pa::kTrimsRockerCentre, r.x, r.y, 0, self->next[6]);
    p.rocker[1] = StaticImageRecord(pa::kTrimsRockerDown, r.x, r.y, kStartHidden, self->next[7]);
    p.rocker[2] = StaticImageRecord(pa::kTrimsRockerUp, r.x, r.y, kStartHidden, self->next[8]);
    p.knob[0] = TrimsKnob(false, self->next[9]);
    p.knob[1] = TrimsKnob(true, self->next[10]);
    ElementHeader* order[11] = {&self->lit,
                                &self->elevator[0].header,
                                &self->elevator[1].header,
                                &self->indication[0].header,
                                &self->indication[1].header,
                                &self->rocker[0],
                                &self->rocker[1],
                                &self->rocker[2],
                                &self->knob[0].header,
                                &self->knob[1].header,
                                nullptr};
    for (int i = 0; i < 11; ++i) p.next[i][0] = order[i];
    return p;
}

constinit TrimsElements gTrims = MakeTrims(&gTrims);
gauge::GaugeHeader* gTrimsHeader = nullptr;
uint8_t gTrimsIsVc = 0;

void TrimsLighting() {
    ElementHeader* first = &gTrims.lit;
    const ElementList list(first);
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gTrimsIsVc);
    for (int k : {0, 2, 4, 9}) ShowElement(list, k, lit);
    for (int k : {1, 3, 8}) ShowElement(list, k, !lit);
    for (int k = 5; k <= 7; ++k) SetElementLit(list, k, lit);
}

void TrimsSwitchImage() {
    static constexpr int8_t kImages[3] = {5, 6, 7};
    const int32_t d = TrimSwitchDirection;
    ShowOneOf(&gTrims.lit, kImages, 3, d == 0 ? 5 : d < 0 ? 6 : 7);
}

// The switch springs back, with a click, on the third pass after a click.
void TrimsSwitchHoldStep() {
    if (TrimSwitchHold == 0 && TrimSwitchDirection != 0) TrimSwitchHold = kTrimHoldPasses;
    if (TrimSwitchHold > 0) {
        --TrimSwitchHold;
        RedrawRequest.store(255, std::memory_order_release);
        if (TrimSwitchHold == 1) {
            PlayClick(&SoundSet[kSoundClickTiny], kTrimClickPan);
            TrimSwitchDirection = 0;
        }
    }
}

void TrimsVisibility() {
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(PanelLit(PanelLightingCircuit2.get(), gTrimsIsVc)).Add(TrimSwitchDirection);
    if (VisibilityStale(memo, &gTrims.lit, key.Key())) {
        TrimsLighting();
        TrimsSwitchImage();
        VisibilityKept(memo, &gTrims.lit, key.Key());
    }
    TrimsSwitchHoldStep();
}

void TrimsUpdate(gauge::GaugeHeader* gauge) {
    gTrimsIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeElectricalChange()) ArmRefresh(kRefreshRadios, RefreshHoldCount);
    if (RefreshGroupStep(kRefreshRadios)) TrimsVisibility();
}

template <int Direction>
int32_t TrimSwitchHandler(gauge::Point*, uint32_t) {
    TrimSwitch(Direction);
    return 0;
}

template <int Direction>
int32_t TrimKnobHandler(gauge::Point*, uint32_t) {
    TrimsPanelState.indication += Direction * kTrimClickStep;
    ArmRefresh(kRefreshRadios, RefreshHoldCount);
    return 0;
}

// ===========================================================================
// FLAPS indicator

double FlapNeedle(ElementHeader*) {
    return FlapNeedleStep();
}

double FlapTarget(int32_t detent) {
    if (detent < 2 || detent > 6) return -90.0;
    return pa::kFlapDetentAngle[detent - 2];
}

constexpr NeedleElement FlapsNeedle(bool lit, ElementHeader** next) {
    constexpr int32_t c = pa::kFlapsSize / 2;
    return NeedleRecord(pa::kFlapsNeedle, c, c,
                        {pa::kFlapsNeedleWidth / 2, pa::kFlapsNeedleHeight / 2},
                        lit ? kLitCopy : 0u, next, 0, FlapNeedle);
}

struct FlapsElements {
    ElementHeader lit_face;
    gauge::IconElement face;
    NeedleElement needle[2];
    ElementHeader* next[4][2];
};

constexpr FlapsElements MakeFlaps(FlapsElements* self) {
    FlapsElements p{};
    p.lit_face = StaticImageRecord(pa::kFlapsFaceLit, 0, 0, kLitCopy, self->next[0]);
    p.face = IconRecord(pa::kFlapsFace, 0, 0, 0, self->next[1]);
    p.needle[0] = FlapsNeedle(false, self->next[2]);
    p.needle[1] = FlapsNeedle(true, self->next[3]);
    p.next[0][0] = &self->face.header;
    p.next[1][0] = &self->needle[0].header;
    p.next[2][0] = &self->needle[1].header;
    p.next[3][0] = nullptr;
    return p;
}

constinit FlapsElements gFlaps = MakeFlaps(&gFlaps);
gauge::GaugeHeader* gFlapsHeader = nullptr;

void FlapsVisibility() {
    ElementHeader* first = &gFlaps.lit_face;
    const ElementList list(first);
    const bool lit = PanelLightingCircuit2.get() != 0;
    ShowElement(list, 0, lit);
    ShowElement(list, 3, lit);
    ShowElement(list, 1, !lit);
    ShowElement(list, 2, !lit);
}

void FlapsUpdate() {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshHydraulics, RefreshHoldCount2);
    }
    if (RefreshGroupStep(kRefreshHydraulics)) FlapsVisibility();
}

// ===========================================================================
// Whiskey compass

double CardAcross(ElementHeader*) {
    return CompassCardValue();
}
double CardDown(ElementHeader*) {
    return 1.0;
}

struct CompassElements {
    ElementHeader face;
    gauge::MovingImageElement card[2];
    ElementHeader* next[3][2];
};

constexpr gauge::MovingImageElement Card(bool lit, ElementHeader** next) {
    const pa::Box w = pa::kCompassWindow;
    return MovingImageRecord(lit ? pa::kCompassCardLit : pa::kCompassCard, pa::kCompassMask, w.x,
                             w.y, lit ? kLitCopy : 0u, next, CardAcross, -pa::kCardPixelsPerDegree,
                             CardDown, 0.0);
}

constexpr CompassElements MakeCompass(CompassElements* self) {
    CompassElements p{};
    p.face = StaticImageRecord(pa::kCompassFace, 0, 0, 0, self->next[0]);
    p.card[0] = Card(false, self->next[1]);
    p.card[1] = Card(true, self->next[2]);
    p.next[0][0] = &self->card[0].header;
    p.next[1][0] = &self->card[1].header;
    p.next[2][0] = nullptr;
    return p;
}

constinit CompassElements gCompass = MakeCompass(&gCompass);
gauge::GaugeHeader* gCompassHeader = nullptr;

void CompassUpdate() {
    const bool group = ConsumeTrigger(&RefreshCountdown[kRefreshRadios]);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (!group && !all) return;
    ElementHeader* first = &gCompass.face;
    const ElementList list(first);
    const bool powered = LeftMainPowered();
    SetElementLit(list, 0, powered);
    ShowElement(list, 2, powered);
    ShowElement(list, 1, !powered);
}

// Install, initialise and kill keep the header; update runs the gauge's
// step.
template <typename Update>
void IndicatorCallback(gauge::GaugeHeader** keep, gauge::GaugeHeader* gauge, int32_t service,
                       Update update) {
    switch (service) {
        case gauge::kServiceInstall:
        case kServiceInitialise:
            *keep = gauge;
            return;
        case gauge::kServiceKill:
            PanelKill();
            return;
        case gauge::kServiceUpdate:
            *keep = gauge;
            update();
            return;
        default:
            return;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TRIMS

double TrimsElevatorNeedle() {
    if (!LeftMainPowered()) return -233.0;
    if (TrimInhibit != 0) return 0.0;
    return ElevatorTrim * 228.0;
}

double TrimsIndicationNeedle() {
    return LeftMainPowered() ? TrimsPanelState.indication * 228.0 + 90.0 : -173.0;
}

double TrimsKnobPointer() {
    return TrimsPanelState.indication * 364.0 + 90.0;
}

void TrimSwitch(int32_t direction) {
    PlayClick(&SoundSet[kSoundClickTiny], kTrimClickPan);
    if (TrimInhibit == 0) ElevatorTrim += static_cast<float>(direction) * kTrimClickStep;
    TrimSwitchDirection = direction;
    ArmRefresh(kRefreshRadios, RefreshHoldCount);
    if (TrimInhibit == 0) SendKeyEvent(direction < 0 ? kEvtTrimStepDown : kEvtTrimStepUp, 1);
}

gauge::ElementHeader* TrimsFirst() {
    return &gTrims.lit;
}

gauge::ElementHeader* TRIMSElementList[2] = {&gTrims.plate, nullptr};

gauge::MouseRect TRIMSMouseRect[6] = {
    MouseParent(pa::kTrimsWidth, pa::kTrimsHeight),
    MouseChild(21, 93, 38, 33, kCursorDecrease, kHeldClick, TrimSwitchHandler<-1>),
    MouseChild(59, 93, 38, 33, kCursorIncrease, kHeldClick, TrimSwitchHandler<1>),
    MouseChild(133, 77, 41, 57, kCursorDecrease, kHeldClick, TrimKnobHandler<-1>),
    MouseChild(173, 77, 41, 57, kCursorIncrease, kHeldClick, TrimKnobHandler<1>),
    MouseEnd(),
};

void TrimsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    IndicatorCallback(&gTrimsHeader, gauge, service, [gauge] { TrimsUpdate(gauge); });
}

// ---------------------------------------------------------------------------
// FLAPS indicator

// The needle runs toward the detent's angle at 0.18 degrees a frame with
// full pressure on the flap drive, 0.05 with low pressure, not at all
// below 111 psi. Its arrival ends the flap motion.
double FlapNeedleStep() {
    const double target = FlapTarget(FlapDetent);
    const int32_t p = FlapsHydraulicPressure;
    const float step = p >= 1001 ? 0.18f : p >= 111 ? 0.05f : 0.0f;
    if (FlapNeedlePosition < target) {
        FlapNeedlePosition += step;
    } else if (FlapNeedlePosition > target) {
        FlapNeedlePosition -= step;
    }
    if (static_cast<int32_t>(FlapNeedlePosition - target) == 0 && p >= 111) FlapMotionFlag = 0;
    return LeftMainPowered() ? FlapNeedlePosition : 0.0;
}

gauge::ElementHeader* FLAPSIndicatorElementList[2] = {&gFlaps.lit_face, nullptr};

void FlapsIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    IndicatorCallback(&gFlapsHeader, gauge, service, FlapsUpdate);
}

// ---------------------------------------------------------------------------
// Whiskey compass

double CompassCardValue() {
    const double v = 360.0 - Heading;
    if (!(v >= 0.0 && v <= 360.0)) return 0.0;
    return v;
}

gauge::ElementHeader* WhiskeyCompassElementList[2] = {&gCompass.face, nullptr};

void WhiskeyCompassCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    IndicatorCallback(&gCompassHeader, gauge, service, CompassUpdate);
}

}  // namespace zu
