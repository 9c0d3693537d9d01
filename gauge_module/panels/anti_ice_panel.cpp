#include "panels/anti_ice_panel.h"

#include "core/electrical_system.h"
#include "core/ice_protection.h"
#include "core/powerplant.h"
#include "instruments/gauge_framework.h"
#include "panels/environment_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t WiperSelector = 1;

namespace {

namespace ea = environment_art;
using gauge::ElementHeader;
using gauge::NeedleElement;

constexpr int32_t kClickPan = -682;
constexpr int32_t kPanelRefresh = 300;
constexpr int32_t kHornTestCount = 2;
constexpr int32_t kPropTestCount = 5;
constexpr int kLights = 16;

IceProtectionStateRecord& I = IceProtectionState;

// ---------------------------------------------------------------------------
// Element lists

constexpr LitPair kKnobPairs[5] = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
constexpr int8_t kThreeWay[3] = {11, 12, 13};
constexpr int32_t kFirstBright = 11;
constexpr int32_t kLastBright = 27;
constexpr int32_t kFirstLight = 28;

double CycleKnob(ElementHeader*) {
    return AntiiceCycleSelectorAngle();
}
double KnobA(ElementHeader*) {
    return AntiiceKnobAAngle();
}
double KnobB(ElementHeader*) {
    return AntiiceKnobBAngle();
}
double KnobC(ElementHeader*) {
    return AntiiceKnobCAngle();
}
double WiperKnob(ElementHeader*) {
    return AntiiceWiperAngle();
}

constexpr uint32_t Shown(bool shown) {
    return shown ? 0u : kStartHidden;
}
constexpr NeedleElement Knob(ea::Point c, bool lit, ElementHeader** next,
                             gauge::ElementCallback callback) {
    return NeedleRecord(lit ? ea::kBarKnobLit : ea::kBarKnob, c.x, c.y,
                        {ea::kKnobHalf, ea::kKnobHalf}, lit ? kStartHidden : 0u, next, 0, callback);
}
constexpr ElementHeader Image(uint32_t id, ea::Point at, bool shown, ElementHeader** next) {
    return StaticImageRecord(id, at.x, at.y, Shown(shown), next);
}

struct IceElements {
    ElementHeader face;
    ElementHeader overlay;          // 0
    NeedleElement knobs[10];        // 1..10
    ElementHeader images[17];       // 11..27
    ElementHeader lights[kLights];  // 28..43
    ElementHeader* next[45][2];
};

constexpr IceElements MakeIce(IceElements* self) {
    IceElements p{};
    ElementHeader** n[45];
    for (int i = 0; i < 45; ++i) n[i] = self->next[i];
    p.face = StaticImageRecord(ea::kIceFace, 0, 0, 0, n[0]);
    p.overlay = StaticImageRecord(ea::kIceFaceLit, 0, 0, kLitCopy, n[1]);
    constexpr ea::Point kKnobAt[5] = {ea::kIceCycleKnob, ea::kIceKnobA, ea::kIceKnobB,
                                      ea::kIceKnobC, ea::kIceWiperKnob};
    constexpr gauge::ElementCallback kKnobAngle[5] = {CycleKnob, KnobA, KnobB, KnobC, WiperKnob};
    for (int k = 0; k < 5; ++k) {
        p.knobs[2 * k] = Knob(kKnobAt[k], true, n[2 + 2 * k], kKnobAngle[k]);
        p.knobs[2 * k + 1] = Knob(kKnobAt[k], false, n[3 + 2 * k], kKnobAngle[k]);
    }
    // 11..27, the three-position switch at -1 being its upper position.
    p.images[0] = Image(ea::kToggleUp, ea::kIceThreeWay, false, n[12]);
    p.images[1] = Image(ea::kToggleCentre, ea::kIceThreeWay, true, n[13]);
    p.images[2] = Image(ea::kToggleDown, ea::kIceThreeWay, false, n[14]);
    p.images[3] = Image(ea::kToggleDown, ea::kIceT1, true, n[15]);
    p.images[4] = Image(ea::kToggleUp, ea::kIceT1, false, n[16]);
    p.images[5] = Image(ea::kPushOut, ea::kIcePush, true, n[17]);
    p.images[6] = Image(ea::kPushIn, ea::kIcePush, false, n[18]);
    p.images[7] = Image(ea::kToggleDown, ea::kIceT2, true, n[19]);
    p.images[8] = Image(ea::kToggleUp, ea::kIceT2, false, n[20]);
    p.images[9] = Image(ea::kToggleDown, ea::kIceSpare, false, n[21]);
    p.images[10] = Image(ea::kToggleUp, ea::kIceSpare, false, n[22]);
    p.images[11] = Image(ea::kToggleDown, ea::kIcePitot[0], true, n[23]);
    p.images[12] = Image(ea::kToggleUp, ea::kIcePitot[0], false, n[24]);
    p.images[13] = Image(ea::kToggleDown, ea::kIcePitot[1], true, n[25]);
    p.images[14] = Image(ea::kToggleUp, ea::kIcePitot[1], false, n[26]);
    p.images[15] = Image(ea::kToggleUp, ea::kIceT3, false, n[27]);
    p.images[16] = Image(ea::kToggleDown, ea::kIceT3, true, n[28]);
    for (int i = 0; i < kLights; ++i) {
        p.lights[i] = StaticImageRecord(ea::kDeiceLamp, ea::IceLamp(i).x, ea::IceLamp(i).y,
                                        kStartHidden | gauge::kImageLuminous, n[29 + i]);
    }

    ElementHeader* order[45] = {&self->face, &self->overlay};
    for (int i = 0; i < 10; ++i) order[2 + i] = &self->knobs[i].header;
    for (int i = 0; i < 17; ++i) order[12 + i] = &self->images[i];
    for (int i = 0; i < kLights; ++i) order[29 + i] = &self->lights[i];
    for (int i = 0; i < 45; ++i) {
        p.next[i][0] = i + 1 < 45 ? order[i + 1] : nullptr;
        p.next[i][1] = nullptr;
    }
    return p;
}

constinit IceElements gIce = MakeIce(&gIce);
gauge::GaugeHeader* gIceHeader = nullptr;
uint8_t gIceIsVc = 0;

// ---------------------------------------------------------------------------
// Visibility

// 1. Panel lighting.
void LightingStep(ElementHeader* first, bool lit) {
    ShowElement(first, 0, lit);
    ApplyLitPairs(first, kKnobPairs, 5, lit);
    for (int32_t k = kFirstBright; k <= kLastBright; ++k) SetElementLit(first, k, lit);
}

// 2. The three-position switch; a value outside -1..+1 changes nothing.
void ThreeWayStep(ElementHeader* first) {
    const int32_t v = I.HornHeatTestSwitch;
    if (v < -1 || v > 1) return;
    ShowOneOf(first, kThreeWay, 3, kThreeWay[v + 1]);
}

// 3. Toggles and the push-button: on image for a non-zero value.
void ShowOnOff(ElementHeader* first, int32_t off, int32_t on, int32_t value) {
    ShowElement(first, off, value == 0);
    ShowElement(first, on, value != 0);
}
void TogglesStep(ElementHeader* first) {
    ShowOnOff(first, 14, 15, I.HeaterSwitch);
    ShowOnOff(first, 16, 17, I.PropTestLamp);
    ShowOnOff(first, 18, 19, I.SideWindowSwitch);
    ShowOnOff(first, 22, 23, Antiice_sys_pitot1_ice_sw);
    ShowOnOff(first, 24, 25, Antiice_sys_pitot2_ice_sw);
    ShowOnOff(first, 27, 26, I.IsolationSwitch);
}

// 4. The de-ice lights, all of them during the lamp test.
void LightsStep(ElementHeader* first) {
    const bool test =
        AnnunciatorTestSwitch.get() == 2 && Powered(BusPowered.get(kPoweredRightEssential));
    for (int i = 0; i < kLights; ++i) {
        ShowElement(first, kFirstLight + i, test || IceTimingWord(i + 1) != 0);
    }
}

void Update() {
    const bool group = RefreshGroupStep(kRefreshOverhead);
    const bool ice = ConsumeTrigger(&SystemTimers.IceTimer);
    if (group || ice) {
        AntiicePanelVisibility(&gIce.overlay, PanelLit(PanelLightingCircuit1.get(), gIceIsVc));
    }
}

// ---------------------------------------------------------------------------
// Handlers

int32_t Done() {
    ArmRefresh(kRefreshOverhead, kPanelRefresh);
    return 0;
}
void KnobClick() {
    PlayClick(&SoundSet[kSoundClickTiny], kClickPan);
}
void SwitchClick() {
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kClickPan);
}
// Sets a word, clicking only when the value changes.
void SetWithClick(int32_t* word, int32_t value, bool knob) {
    if (*word == value) return;
    *word = value;
    if (knob) {
        KnobClick();
    } else {
        SwitchClick();
    }
}

template <int Mode>
int32_t CycleHandler(gauge::Point*, uint32_t) {
    SetWithClick(&I.BootMode, Mode, true);
    return Done();
}
template <int Step>
int32_t KnobAHandler(gauge::Point*, uint32_t) {
    int32_t v = I.ManualBootSelector + Step;
    if (v < 0 || v > 7) v = Step > 0 ? 0 : 7;
    I.ManualBootSelector = v;
    KnobClick();
    return Done();
}
// A clamped knob: clicks unless the step was stopped.
void ClampedKnob(int32_t* word, int32_t step, int32_t low, int32_t high) {
    if (StepClamped(word, step, low, high)) KnobClick();
}
template <int Step>
int32_t KnobBHandler(gauge::Point*, uint32_t) {
    ClampedKnob(&I.AntiIceSelector, Step, -2, 2);
    return Done();
}
template <int Step>
int32_t KnobCHandler(gauge::Point*, uint32_t) {
    ClampedKnob(&I.WindshieldMode, Step, 0, 2);
    return Done();
}
template <int Step>
int32_t WiperHandler(gauge::Point*, uint32_t) {
    ClampedKnob(&WiperSelector, Step, 0, 3);
    return Done();
}
template <int Value>
int32_t ThreeWayHandler(gauge::Point*, uint32_t) {
    if (Value < 0) I.HornHeatTestCountdown = kHornTestCount;
    SetWithClick(&I.HornHeatTestSwitch, Value, false);
    return Done();
}
int32_t ToggleWord(int32_t* word) {
    *word = 255 - *word;
    SwitchClick();
    return Done();
}
int32_t T1Handler(gauge::Point*, uint32_t) {
    return ToggleWord(&I.HeaterSwitch);
}
int32_t T2Handler(gauge::Point*, uint32_t) {
    return ToggleWord(&I.SideWindowSwitch);
}
int32_t T3Handler(gauge::Point*, uint32_t) {
    return ToggleWord(&I.IsolationSwitch);
}
int32_t Pitot1Handler(gauge::Point*, uint32_t) {
    return ToggleWord(&Antiice_sys_pitot1_ice_sw);
}
int32_t Pitot2Handler(gauge::Point*, uint32_t) {
    return ToggleWord(&Antiice_sys_pitot2_ice_sw);
}
int32_t PushHandler(gauge::Point*, uint32_t) {
    I.PropTestLamp = 255;
    I.PropTestCountdown = kPropTestCount;
    SwitchClick();
    return Done();
}

// ---------------------------------------------------------------------------
// Mouse rectangles

constexpr gauge::MouseRect CycleRect(int position, gauge::MouseHandler h) {
    const ea::Point c = ea::kIceCycleCaption[position];
    return MouseChild(c.x - 9, c.y - 6, 18, 12, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect KnobHalf(ea::Point c, bool left, gauge::MouseHandler h) {
    return MouseChild(left ? c.x - ea::kKnobHalf : c.x, c.y - ea::kKnobHalf, ea::kKnobHalf,
                      ea::kKnobSize.height, left ? kCursorDecrease : kCursorIncrease, kHeldClick,
                      h);
}
constexpr gauge::MouseRect ThreeWayThird(int row, gauge::MouseHandler h) {
    const int32_t third = (ea::kToggleSize.height + 6) / 3;
    return MouseChild(ea::kIceThreeWay.x - 6, ea::kIceThreeWay.y - 3 + row * third,
                      ea::kToggleSize.width + 12, third, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect ToggleRect(ea::Point at, gauge::MouseHandler h) {
    return MouseChild(at.x - 4, at.y - 2, ea::kToggleSize.width + 8, ea::kToggleSize.height + 4,
                      kCursorHand, kClick, h);
}

}  // namespace

gauge::MouseRect AntiicePanelMouseRect[22] = {
    MouseParent(ea::kIceSize.width, ea::kIceSize.height),
    CycleRect(0, CycleHandler<0>),
    CycleRect(1, CycleHandler<1>),
    CycleRect(2, CycleHandler<2>),
    KnobHalf(ea::kIceKnobA, true, KnobAHandler<-1>),
    KnobHalf(ea::kIceKnobA, false, KnobAHandler<1>),
    KnobHalf(ea::kIceKnobB, true, KnobBHandler<-1>),
    KnobHalf(ea::kIceKnobB, false, KnobBHandler<1>),
    KnobHalf(ea::kIceKnobC, true, KnobCHandler<-1>),
    KnobHalf(ea::kIceKnobC, false, KnobCHandler<1>),
    KnobHalf(ea::kIceWiperKnob, true, WiperHandler<-1>),
    KnobHalf(ea::kIceWiperKnob, false, WiperHandler<1>),
    ThreeWayThird(0, ThreeWayHandler<-1>),
    ThreeWayThird(1, ThreeWayHandler<0>),
    ThreeWayThird(2, ThreeWayHandler<1>),
    ToggleRect(ea::kIceT1, T1Handler),
    ToggleRect(ea::kIceT2, T2Handler),
    ToggleRect(ea::kIcePitot[0], Pitot1Handler),
    ToggleRect(ea::kIcePitot[1], Pitot2Handler),
    ToggleRect(ea::kIceT3, T3Handler),
    MouseChild(ea::kIcePush.x - 2, ea::kIcePush.y - 2, ea::kPushSize.width + 4,
               ea::kPushSize.height + 4, kCursorHand, kClick, PushHandler),
    MouseEnd(),
};

gauge::ElementHeader* AntiicePanelElementList[2] = {&gIce.face, nullptr};

double AntiiceCycleSelectorAngle() {
    switch (I.BootMode) {
        case 0:
            return 90.0;
        case 1:
            return 130.0;
        case 2:
            return -180.0;
        default:
            return 0.0;
    }
}

double AntiiceKnobAAngle() {
    return 45.0 * (I.ManualBootSelector + 2);
}

double AntiiceKnobBAngle() {
    return 60.0 * I.AntiIceSelector + 90.0;
}

double AntiiceKnobCAngle() {
    return 45.0 * (I.WindshieldMode + 2);
}

double AntiiceWiperAngle() {
    return 60.0 * WiperSelector + 30.0;
}

int32_t IceTimingWord(int word) {
    if (word >= 1 && word <= 12) return I.BootOutput[word];
    if (word >= 13 && word <= 16) return I.HeaterOutput[word - 13];
    return 0;
}

namespace {

VisibilityMemo gIceMemo;

}  // namespace

void AntiicePanelVisibility(gauge::ElementHeader* first, bool lit) {
    RepaintKeyBuilder key;
    key.Add(lit).Add(I.HornHeatTestSwitch).Add(I.HeaterSwitch).Add(I.PropTestLamp);
    key.Add(I.SideWindowSwitch).Add(Antiice_sys_pitot1_ice_sw).Add(Antiice_sys_pitot2_ice_sw);
    key.Add(I.IsolationSwitch).Add(AnnunciatorTestSwitch.get());
    key.Add(BusPowered.get(kPoweredRightEssential)).Add(I.BootOutput).Add(I.HeaterOutput);
    if (!VisibilityStale(gIceMemo, first, key.Key())) return;
    LightingStep(first, lit);
    ThreeWayStep(first);
    TogglesStep(first);
    LightsStep(first);
    VisibilityKept(gIceMemo, first, key.Key());
}

void AntiicePanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gIceHeader, gauge, service)) return;
    gIceIsVc = GaugeIsVcFrom(gauge);
    Update();
}

}  // namespace zu
