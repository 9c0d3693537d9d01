#include "panels/pressurisation_panel.h"

#include "core/electrical_system.h"
#include "instruments/gauge_framework.h"
#include "panels/environment_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t PressurisationMode = 0;
int32_t PressurisationSwitch = 0;
int32_t PressPanelKnob = 0;
float CabinRateKnob = 50.0f;
int32_t LandingFieldElevation = 0;
int32_t CabinAltSetKnob = 50;
int32_t PressModeChangeTimer = 10;
int32_t PressKnobQuadrant = 0;

namespace {

namespace ea = environment_art;
using gauge::ElementHeader;
using gauge::NeedleElement;

constexpr int32_t kClickPan = 666;
constexpr int32_t kPanelRefresh = 300;
constexpr int32_t kModeChangeCount = 10;
constexpr int32_t kKnobStep = 3;
constexpr float kRateStep = 3.0f;
constexpr int32_t kElevationStepFt = 100;
constexpr int32_t kElevationLowFt = -1000;
constexpr int32_t kElevationHighFt = 10000;

// ---------------------------------------------------------------------------
// Element lists

constexpr int8_t kModeImages[3] = {5, 6, 7};
constexpr int8_t kBright[] = {5, 6, 7, 8, 9, 10, 11};
constexpr int32_t kModeLight = 12;

double ManualKnob(ElementHeader*) {
    return PressManualKnobAngle();
}
double RateKnob(ElementHeader*) {
    return PressRateKnobAngle();
}

constexpr NeedleElement Knob(ea::Point c, bool lit, ElementHeader** next,
                             gauge::ElementCallback callback) {
    return NeedleRecord(lit ? ea::kRoundKnobLit : ea::kRoundKnob, c.x, c.y,
                        {ea::kKnobHalf, ea::kKnobHalf}, lit ? kStartHidden : 0u, next, 0, callback);
}
// Mode 2 is the top position, mode 0 the bottom one.
constexpr ElementHeader ModeImage(int mode, ElementHeader** next) {
    constexpr uint32_t kImages[3] = {ea::kModeKnob2, ea::kModeKnob1, ea::kModeKnob0};
    return StaticImageRecord(kImages[mode], ea::kPressModeKnob.x, ea::kPressModeKnob.y,
                             mode == 0 ? 0u : kStartHidden, next);
}
constexpr ElementHeader Cap(ea::Point c, ElementHeader** next) {
    return StaticImageRecord(ea::kRoundKnob, c.x - ea::kKnobHalf, c.y - ea::kKnobHalf, 0, next);
}

struct PressElements {
    ElementHeader face;
    ElementHeader overlay;    // 0
    NeedleElement knobs[4];   // 1..4
    ElementHeader images[8];  // 5..12
    ElementHeader* next[14][2];
};

constexpr PressElements MakePress(PressElements* self) {
    PressElements p{};
    ElementHeader** n[14];
    for (int i = 0; i < 14; ++i) n[i] = self->next[i];
    p.face = StaticImageRecord(ea::kPressFace, 0, 0, 0, n[0]);
    p.overlay = StaticImageRecord(ea::kPressFaceLit, 0, 0, kLitCopy, n[1]);
    p.knobs[0] = Knob(ea::kPressManualKnob, true, n[2], ManualKnob);
    p.knobs[1] = Knob(ea::kPressManualKnob, false, n[3], ManualKnob);
    p.knobs[2] = Knob(ea::kPressRateKnob, true, n[4], RateKnob);
    p.knobs[3] = Knob(ea::kPressRateKnob, false, n[5], RateKnob);
    for (int mode = 0; mode < 3; ++mode) p.images[mode] = ModeImage(mode, n[6 + mode]);
    p.images[3] =
        StaticImageRecord(ea::kToggleDown, ea::kPressToggle.x, ea::kPressToggle.y, 0, n[9]);
    p.images[4] = StaticImageRecord(ea::kToggleUp, ea::kPressToggle.x, ea::kPressToggle.y,
                                    kStartHidden, n[10]);
    p.images[5] = Cap(ea::kPressElevationKnob, n[11]);
    p.images[6] = Cap(ea::kPressSmallKnob, n[12]);
    p.images[7] = StaticImageRecord(ea::kModeLamp, ea::kPressLamp.x, ea::kPressLamp.y,
                                    kStartHidden | gauge::kImageLuminous, n[13]);

    ElementHeader* order[14] = {&self->face, &self->overlay};
    for (int i = 0; i < 4; ++i) order[2 + i] = &self->knobs[i].header;
    for (int i = 0; i < 8; ++i) order[6 + i] = &self->images[i];
    for (int i = 0; i < 14; ++i) {
        p.next[i][0] = i + 1 < 14 ? order[i + 1] : nullptr;
        p.next[i][1] = nullptr;
    }
    return p;
}

constinit PressElements gPress = MakePress(&gPress);
constinit PressElements gPressTouch = MakePress(&gPressTouch);

gauge::GaugeHeader* gPressHeader = nullptr;
gauge::GaugeHeader* gPressTouchHeader = nullptr;
uint8_t gPressIsVc = 0;

// ---------------------------------------------------------------------------
// Visibility

// 1. Panel lighting: overlay and lit knobs, or the unlit knobs.
void LightingStep(ElementHeader* first, bool lit) {
    ApplyLitBit(first, 0, kBright, static_cast<int32_t>(sizeof kBright), lit);
    ShowElement(first, 1, lit);
    ShowElement(first, 3, lit);
    ShowElement(first, 2, !lit);
    ShowElement(first, 4, !lit);
}

// 2. The mode selector; a mode outside 0..2 changes nothing.
void ModeStep(ElementHeader* first) {
    const int32_t mode = PressurisationMode;
    if (mode < 0 || mode > 2) return;
    ShowOneOf(first, kModeImages, 3, kModeImages[mode]);
}

// 3. The toggle.
void ToggleStep(ElementHeader* first) {
    const bool on = PressurisationSwitch != 0;
    ShowElement(first, 8, !on);
    ShowElement(first, 9, on);
}

// 4. The mode-change light: the annunciator bus and a running countdown.
void LightStep(ElementHeader* first) {
    ShowElement(first, kModeLight, false);
    if (Powered(BusPowered.get(kPoweredRightEssential)) && PressModeChangeTimer > 0) {
        ShowElement(first, kModeLight, true);
    }
}

void Refresh(PressElements& elements, uint8_t is_vc) {
    if (!RefreshGroupStep(kRefreshOverhead)) return;
    PressPanelVisibility(&elements.overlay, PanelLit(PanelLightingCircuit1.get(), is_vc));
}

// ---------------------------------------------------------------------------
// Handlers

void Click() {
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kClickPan);
}
int32_t Done() {
    ArmRefresh(kRefreshOverhead, kPanelRefresh);
    return 0;
}

template <int Mode>
int32_t ModeHandler(gauge::Point*, uint32_t) {
    PressSetMode(Mode);
    Click();
    return Done();
}
int32_t ToggleHandler(gauge::Point*, uint32_t) {
    PressurisationSwitch = 255 - PressurisationSwitch;
    Click();
    return Done();
}
template <int Sign>
int32_t ManualKnobHandler(gauge::Point*, uint32_t) {
    StepClamped(&PressPanelKnob, Sign * kKnobStep, 0, 100);
    return Done();
}
template <int Sign>
int32_t RateKnobHandler(gauge::Point*, uint32_t) {
    float v = CabinRateKnob + static_cast<float>(Sign) * kRateStep;
    if (!(v >= 0.0f)) v = 0.0f;  // also a value that is not a number
    if (v > 100.0f) v = 100.0f;
    CabinRateKnob = v;
    return Done();
}
template <int Sign>
int32_t ElevationHandler(gauge::Point*, uint32_t) {
    StepClamped(&LandingFieldElevation, Sign * kElevationStepFt, kElevationLowFt, kElevationHighFt);
    return Done();
}
template <int Sign>
int32_t SmallKnobHandler(gauge::Point*, uint32_t) {
    StepClamped(&CabinAltSetKnob, Sign * kKnobStep, 0, 100);
    return Done();
}
template <int Quadrant>
int32_t QuadrantHandler(gauge::Point*, uint32_t) {
    const int32_t step = TouchZoneDirection(&PressKnobQuadrant, Quadrant, 4);
    if (step != 0) {
        StepClamped(&PressPanelKnob, step * kKnobStep, 0, 100);
        ArmRefresh(kRefreshOverhead, kPanelRefresh);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Mouse rectangles

constexpr gauge::MouseRect ModeRow(int row, gauge::MouseHandler h) {
    return MouseChild(ea::kPressModeKnob.x - 2, ea::kPressModeKnob.y - 3 + row * 12, 60, 12,
                      kCursorHand, kClick, h);
}
constexpr gauge::MouseRect KnobHalf(ea::Point c, bool left, gauge::MouseHandler h) {
    return MouseChild(left ? c.x - ea::kKnobHalf : c.x, c.y - ea::kKnobHalf, ea::kKnobHalf,
                      ea::kKnobSize.height, left ? kCursorDecrease : kCursorIncrease, kHeldClick,
                      h);
}
// Quadrants clockwise from the upper left.
constexpr gauge::MouseRect Quadrant(ea::Point c, int q, gauge::MouseHandler h) {
    const bool right = q == 1 || q == 2;
    const bool lower = q >= 2;
    return MouseChild(right ? c.x : c.x - ea::kKnobHalf, lower ? c.y : c.y - ea::kKnobHalf,
                      ea::kKnobHalf, ea::kKnobHalf, kCursorHand, kTouchZone, h);
}

}  // namespace

#define ZU_PRESS_SWITCH_RECTS                                                                 \
    ModeRow(0, ModeHandler<2>), ModeRow(1, ModeHandler<1>), ModeRow(2, ModeHandler<0>),       \
        MouseChild(ea::kPressToggle.x - 4, ea::kPressToggle.y - 2, ea::kToggleSize.width + 8, \
                   ea::kToggleSize.height + 4, kCursorHand, kClick, ToggleHandler)

#define ZU_PRESS_OTHER_KNOB_RECTS                                      \
    KnobHalf(ea::kPressRateKnob, false, RateKnobHandler<1>),           \
        KnobHalf(ea::kPressRateKnob, true, RateKnobHandler<-1>),       \
        KnobHalf(ea::kPressElevationKnob, false, ElevationHandler<1>), \
        KnobHalf(ea::kPressElevationKnob, true, ElevationHandler<-1>), \
        KnobHalf(ea::kPressSmallKnob, false, SmallKnobHandler<1>),     \
        KnobHalf(ea::kPressSmallKnob, true, SmallKnobHandler<-1>)

gauge::MouseRect PressPanelMouseRect[14] = {
    MouseParent(ea::kPressSize.width, ea::kPressSize.height),
    ZU_PRESS_SWITCH_RECTS,
    KnobHalf(ea::kPressManualKnob, false, ManualKnobHandler<1>),
    KnobHalf(ea::kPressManualKnob, true, ManualKnobHandler<-1>),
    ZU_PRESS_OTHER_KNOB_RECTS,
    MouseEnd(),
};

gauge::MouseRect PressPanelTouchMouseRect[16] = {
    MouseParent(ea::kPressSize.width, ea::kPressSize.height),
    ZU_PRESS_SWITCH_RECTS,
    Quadrant(ea::kPressManualKnob, 0, QuadrantHandler<0>),
    Quadrant(ea::kPressManualKnob, 1, QuadrantHandler<1>),
    Quadrant(ea::kPressManualKnob, 2, QuadrantHandler<2>),
    Quadrant(ea::kPressManualKnob, 3, QuadrantHandler<3>),
    ZU_PRESS_OTHER_KNOB_RECTS,
    MouseEnd(),
};

#undef ZU_PRESS_SWITCH_RECTS
#undef ZU_PRESS_OTHER_KNOB_RECTS

gauge::ElementHeader* PressPanelElementList[2] = {&gPress.face, nullptr};
gauge::ElementHeader* PressPanelTouchElementList[2] = {&gPressTouch.face, nullptr};

double PressManualKnobAngle() {
    return 3.0 * PressPanelKnob - 30.0;
}

double PressRateKnobAngle() {
    return 2.0 * static_cast<double>(CabinRateKnob) - 120.0;
}

void PressSetMode(int32_t mode) {
    if (mode != 2 && PressurisationMode == 2) PressModeChangeTimer = kModeChangeCount;
    PressurisationMode = mode;
}

void PressPanelVisibility(gauge::ElementHeader* first, bool lit) {
    if (first == nullptr) return;
    // Each instance keeps its own memo (the 2D and the touch panel).
    static VisibilityMemo memos[2];
    VisibilityMemo& memo = memos[first == &gPressTouch.overlay ? 1 : 0];
    RepaintKeyBuilder key;
    key.Add(lit).Add(PressurisationMode).Add(PressurisationSwitch);
    key.Add(Powered(BusPowered.get(kPoweredRightEssential)) && PressModeChangeTimer > 0);
    if (!VisibilityStale(memo, first, key.Key())) return;
    LightingStep(first, lit);
    ModeStep(first);
    ToggleStep(first);
    LightStep(first);
    VisibilityKept(memo, first, key.Key());
}

void PressPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gPressHeader, gauge, service)) return;
    gPressIsVc = GaugeIsVcFrom(gauge);
    Refresh(gPress, gPressIsVc);
}

void PressPanelTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gPressTouchHeader, gauge, service)) return;
    Refresh(gPressTouch, 0);
}

}  // namespace zu
