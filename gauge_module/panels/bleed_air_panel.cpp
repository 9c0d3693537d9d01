#include "panels/bleed_air_panel.h"

#include "core/electrical_system.h"
#include "instruments/gauge_framework.h"
#include "panels/environment_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t PneuPanelSwitches[4] = {255, 255, 255, 255};
int32_t PneuSwitch[4] = {0, 0, 0, 0};
int32_t PneuKnob[3] = {0, 0, 0};
int32_t TempIndicatorSelector = 1;
int32_t PneuFlowKnobSector = 0;
int32_t PneuSelectorSector = 1;

namespace {

namespace ea = environment_art;
using gauge::ElementHeader;
using gauge::NeedleElement;

constexpr int32_t kClickPan = 1000;
constexpr int32_t kPanelRefresh = 300;

// ---------------------------------------------------------------------------
// Element lists

// Numbered elements of each kind.
constexpr int8_t kToggleOff[4] = {3, 5, 1, 23};  // switch [0]..[3]; on is one further
constexpr int8_t kTempSwitch[2][3] = {{7, 8, 9}, {10, 11, 12}};
constexpr int8_t kModeSelector[2][3] = {{13, 14, 26}, {15, 16, 25}};
constexpr int8_t kBright[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                              11, 12, 13, 14, 15, 16, 23, 24, 25, 26};
constexpr LitPair kKnobPairs[4] = {{18, 17}, {20, 19}, {22, 21}, {28, 27}};

double FlowKnob(ElementHeader*) {
    return PneuFlowKnobAngle();
}
double Zone1Knob(ElementHeader*) {
    return PneuZoneKnobAngle(0);
}
double Zone2Knob(ElementHeader*) {
    return PneuZoneKnobAngle(1);
}
double IndicatorKnob(ElementHeader*) {
    return PneuIndicatorSelectorAngle();
}

constexpr uint32_t Shown(bool shown) {
    return shown ? 0u : kStartHidden;
}
constexpr ElementHeader Toggle(ea::Point at, bool on, bool shown, ElementHeader** next) {
    return StaticImageRecord(on ? ea::kToggleUp : ea::kToggleDown, at.x, at.y, Shown(shown), next);
}
constexpr ElementHeader TempSwitch(int zone, int position, ElementHeader** next) {
    constexpr uint32_t kImages[3] = {ea::kToggleDown, ea::kToggleCentre, ea::kToggleUp};
    return StaticImageRecord(kImages[position], ea::PneuZoneX(zone) + ea::kPneuTempSwitchX,
                             ea::kPneuTempSwitchY, Shown(position == 1), next);
}
constexpr ElementHeader ModeKnob(int zone, int position, ElementHeader** next) {
    constexpr uint32_t kImages[3] = {ea::kModeKnob0, ea::kModeKnob1, ea::kModeKnob2};
    return StaticImageRecord(kImages[position], ea::PneuZoneX(zone) + ea::kPneuModeKnobX,
                             ea::kPneuModeKnobY, Shown(position == 0), next);
}
constexpr NeedleElement Knob(ea::Point at, uint32_t image, bool lit, ElementHeader** next,
                             gauge::ElementCallback callback) {
    return NeedleRecord(lit ? image + 1 : image, at.x, at.y, {ea::kKnobHalf, ea::kKnobHalf},
                        lit ? kStartHidden : 0u, next, 0, callback);
}

struct PneuElements {
    ElementHeader face;
    ElementHeader overlay;      // 0
    ElementHeader images[16];   // 1..16
    NeedleElement knobs[6];     // 17..22
    ElementHeader images2[4];   // 23..26
    NeedleElement selector[2];  // 27, 28
    ElementHeader* next[30][2];
};

constexpr PneuElements MakePneu(PneuElements* self) {
    PneuElements p{};
    ElementHeader** n[30];
    for (int i = 0; i < 30; ++i) n[i] = self->next[i];
    p.face = StaticImageRecord(ea::kPneuFace, 0, 0, 0, n[0]);
    p.overlay = StaticImageRecord(ea::kPneuFaceLit, 0, 0, kLitCopy, n[1]);
    p.images[0] = Toggle(ea::kPneuToggle[2], false, false, n[2]);
    p.images[1] = Toggle(ea::kPneuToggle[2], true, true, n[3]);
    p.images[2] = Toggle(ea::kPneuToggle[0], false, false, n[4]);
    p.images[3] = Toggle(ea::kPneuToggle[0], true, true, n[5]);
    p.images[4] = Toggle(ea::kPneuToggle[1], false, false, n[6]);
    p.images[5] = Toggle(ea::kPneuToggle[1], true, true, n[7]);
    for (int pos = 0; pos < 3; ++pos) {
        p.images[6 + pos] = TempSwitch(0, pos, n[8 + pos]);
        p.images[9 + pos] = TempSwitch(1, pos, n[11 + pos]);
    }
    p.images[12] = ModeKnob(0, 0, n[14]);
    p.images[13] = ModeKnob(0, 1, n[15]);
    p.images[14] = ModeKnob(1, 0, n[16]);
    p.images[15] = ModeKnob(1, 1, n[17]);
    p.knobs[0] = Knob(ea::kPneuFlowKnob, ea::kRoundKnob, false, n[18], FlowKnob);
    p.knobs[1] = Knob(ea::kPneuFlowKnob, ea::kRoundKnob, true, n[19], FlowKnob);
    p.knobs[2] = Knob(ea::kPneuZoneKnob[1], ea::kRoundKnob, false, n[20], Zone2Knob);
    p.knobs[3] = Knob(ea::kPneuZoneKnob[1], ea::kRoundKnob, true, n[21], Zone2Knob);
    p.knobs[4] = Knob(ea::kPneuZoneKnob[0], ea::kRoundKnob, false, n[22], Zone1Knob);
    p.knobs[5] = Knob(ea::kPneuZoneKnob[0], ea::kRoundKnob, true, n[23], Zone1Knob);
    p.images2[0] = Toggle(ea::kPneuToggle[3], false, false, n[24]);
    p.images2[1] = Toggle(ea::kPneuToggle[3], true, true, n[25]);
    p.images2[2] = ModeKnob(1, 2, n[26]);
    p.images2[3] = ModeKnob(0, 2, n[27]);
    p.selector[0] = Knob(ea::kPneuIndicatorKnob, ea::kBarKnob, false, n[28], IndicatorKnob);
    p.selector[1] = Knob(ea::kPneuIndicatorKnob, ea::kBarKnob, true, n[29], IndicatorKnob);

    ElementHeader* order[30] = {&self->face, &self->overlay};
    for (int i = 0; i < 16; ++i) order[2 + i] = &self->images[i];
    for (int i = 0; i < 6; ++i) order[18 + i] = &self->knobs[i].header;
    for (int i = 0; i < 4; ++i) order[24 + i] = &self->images2[i];
    order[28] = &self->selector[0].header;
    order[29] = &self->selector[1].header;
    for (int i = 0; i < 30; ++i) {
        p.next[i][0] = i + 1 < 30 ? order[i + 1] : nullptr;
        p.next[i][1] = nullptr;
    }
    return p;
}

constinit PneuElements gPneu = MakePneu(&gPneu);
constinit PneuElements gPneuTouch = MakePneu(&gPneuTouch);

struct PanelInstance {
    gauge::GaugeHeader* header = nullptr;
    uint8_t is_vc = 0;
    PneuElements* elements = nullptr;
};
PanelInstance gPanel{nullptr, 0, &gPneu};
PanelInstance gTouchPanel{nullptr, 0, &gPneuTouch};

void Update(PanelInstance& panel, gauge::GaugeHeader* gauge, int32_t service) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&panel.header, gauge, service)) return;
    panel.is_vc = GaugeIsVcFrom(gauge);
    if (RefreshGroupStep(kRefreshOverhead)) {
        PneuPanelVisibility(&panel.elements->overlay,
                            PanelLit(PanelLightingCircuit1.get(), panel.is_vc));
    }
}

// ---------------------------------------------------------------------------
// Visibility

// 1. Panel lighting: the overlay, the bright flag and the lit knob images.
void LightingStep(ElementHeader* first, bool lit) {
    ApplyLitBit(first, 0, kBright, static_cast<int32_t>(sizeof kBright), lit);
    ApplyLitPairs(first, kKnobPairs, 4, lit);
}

// 2. Each toggle shows its on or its off image.
void ToggleStep(ElementHeader* first) {
    for (int i = 0; i < 4; ++i) {
        const bool on = PneuPanelSwitches[i] != 0;
        ShowElement(first, kToggleOff[i], !on);
        ShowElement(first, kToggleOff[i] + 1, on);
    }
}

// 3. Each temperature switch shows the image of its value; a value outside
// -1..+1 leaves the images as they are.
void TempSwitchStep(ElementHeader* first) {
    for (int zone = 0; zone < 2; ++zone) {
        const int32_t v = PneuSwitch[zone * 2];
        if (v < -1 || v > 1) continue;
        ShowOneOf(first, kTempSwitch[zone], 3, kTempSwitch[zone][v + 1]);
    }
}

// 4. Each mode selector shows the image of its value, none for a value
// outside 0..2.
void ModeSelectorStep(ElementHeader* first) {
    for (int zone = 0; zone < 2; ++zone) {
        const int32_t v = PneuSwitch[zone * 2 + 1];
        ShowOneOf(first, kModeSelector[zone], 3, v >= 0 && v <= 2 ? kModeSelector[zone][v] : -1);
    }
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

template <int I>
int32_t ToggleHandler(gauge::Point*, uint32_t) {
    PneuPanelSwitches[I] = 255 - PneuPanelSwitches[I];
    Click();
    return Done();
}
template <int Zone, int Value>
int32_t TempSwitchHandler(gauge::Point*, uint32_t) {
    PneuSwitch[Zone * 2] = Value;
    Click();
    return Done();
}
template <int Zone, int Value>
int32_t ModeHandler(gauge::Point*, uint32_t) {
    PneuSwitch[Zone * 2 + 1] = Value;
    Click();
    return Done();
}
template <int Knob, int Step>
int32_t KnobHandler(gauge::Point*, uint32_t) {
    if (Knob == 0) {
        StepClamped(&PneuKnob[0], Step, 0, 9);
    } else {
        StepClamped(&PneuKnob[Knob], Step, -5, 5);
    }
    return Done();
}
template <int Step>
int32_t SelectorHandler(gauge::Point*, uint32_t) {
    TempIndicatorSelector = (TempIndicatorSelector + Step + 3) % 3;
    if (TempIndicatorSelector < 0) TempIndicatorSelector += 3;
    Click();
    return Done();
}

// The touch sectors: 1 left, 2 top, 3 right, in the knob's sense of
// increase; the last sector 0 means none yet.
int32_t SectorStep(int32_t* last, int32_t sector) {
    int32_t direction = 0;
    if (*last >= 1 && *last <= 3) {
        int32_t zone = *last - 1;
        direction = TouchZoneDirection(&zone, sector - 1, 3);
    }
    *last = sector;
    return direction;
}
template <int Sector>
int32_t FlowSectorHandler(gauge::Point*, uint32_t) {
    const int32_t step = SectorStep(&PneuFlowKnobSector, Sector);
    if (step != 0) {
        StepClamped(&PneuKnob[0], step, 0, 9);
        ArmRefresh(kRefreshOverhead, kPanelRefresh);
    }
    return 0;
}
template <int Sector>
int32_t SelectorSectorHandler(gauge::Point*, uint32_t) {
    const int32_t step = SectorStep(&PneuSelectorSector, Sector);
    if (step != 0) {
        if (StepClamped(&TempIndicatorSelector, step, 0, 2)) Click();
        ArmRefresh(kRefreshOverhead, kPanelRefresh);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Mouse rectangles

constexpr gauge::MouseRect ToggleRect(ea::Point at, gauge::MouseHandler h) {
    return MouseChild(at.x - 4, at.y - 2, ea::kToggleSize.width + 8, ea::kToggleSize.height + 4,
                      kCursorHand, kClick, h);
}
// Temperature switch thirds: value +1 at the top, -1 at the bottom.
constexpr gauge::MouseRect TempThird(int zone, int value, gauge::MouseHandler h) {
    const int32_t third = (ea::kToggleSize.height + 6) / 3;
    return MouseChild(ea::PneuZoneX(zone) + ea::kPneuTempSwitchX - 6,
                      ea::kPneuTempSwitchY - 3 + (1 - value) * third, ea::kToggleSize.width + 12,
                      third, value > 0 ? kCursorIncrease : kCursorDecrease, kClick, h);
}
// Mode selector rows, top to bottom, across the knob and its captions.
constexpr gauge::MouseRect ModeRow(int zone, int row, gauge::MouseHandler h) {
    return MouseChild(ea::PneuZoneX(zone) + ea::kPneuModeKnobX - 2,
                      ea::kPneuModeKnobY - 3 + row * 12, 54, 12, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect KnobHalf(ea::Point c, bool left, gauge::MouseHandler h) {
    return MouseChild(left ? c.x - ea::kKnobHalf : c.x, c.y - ea::kKnobHalf, ea::kKnobHalf,
                      ea::kKnobSize.height, left ? kCursorDecrease : kCursorIncrease, kHeldClick,
                      h);
}
// Touch sectors 1 left, 2 top, 3 right of a knob.
constexpr gauge::MouseRect Sector(ea::Point c, int sector, gauge::MouseHandler h) {
    const int32_t r = ea::kKnobHalf + 3;
    if (sector == 1) return MouseChild(c.x - r, c.y - r / 2, r - 4, r, kCursorHand, kTouchZone, h);
    if (sector == 2)
        return MouseChild(c.x - r + 4, c.y - r, 2 * r - 8, r / 2 + 2, kCursorHand, kTouchZone, h);
    return MouseChild(c.x + 4, c.y - r / 2, r - 4, r, kCursorHand, kTouchZone, h);
}

}  // namespace

#define ZU_PNEU_SWITCH_RECTS                                                                  \
    ToggleRect(ea::kPneuToggle[0], ToggleHandler<0>),                                         \
        ToggleRect(ea::kPneuToggle[1], ToggleHandler<1>),                                     \
        ToggleRect(ea::kPneuToggle[2], ToggleHandler<2>),                                     \
        ToggleRect(ea::kPneuToggle[3], ToggleHandler<3>),                                     \
        TempThird(0, -1, TempSwitchHandler<0, -1>), TempThird(0, 0, TempSwitchHandler<0, 0>), \
        TempThird(0, 1, TempSwitchHandler<0, 1>), TempThird(1, -1, TempSwitchHandler<1, -1>), \
        TempThird(1, 0, TempSwitchHandler<1, 0>), TempThird(1, 1, TempSwitchHandler<1, 1>),   \
        ModeRow(0, 0, ModeHandler<0, 0>), ModeRow(0, 1, ModeHandler<0, 1>),                   \
        ModeRow(0, 2, ModeHandler<0, 2>), ModeRow(1, 0, ModeHandler<1, 0>),                   \
        ModeRow(1, 1, ModeHandler<1, 1>), ModeRow(1, 2, ModeHandler<1, 2>)

#define ZU_PNEU_ZONE_KNOB_RECTS                                   \
    KnobHalf(ea::kPneuZoneKnob[0], true, KnobHandler<1, -1>),     \
        KnobHalf(ea::kPneuZoneKnob[0], false, KnobHandler<1, 1>), \
        KnobHalf(ea::kPneuZoneKnob[1], true, KnobHandler<2, -1>), \
        KnobHalf(ea::kPneuZoneKnob[1], false, KnobHandler<2, 1>)

gauge::MouseRect PneuPanelMouseRect[26] = {
    MouseParent(ea::kPneuSize.width, ea::kPneuSize.height),
    ZU_PNEU_SWITCH_RECTS,
    KnobHalf(ea::kPneuFlowKnob, true, KnobHandler<0, -1>),
    KnobHalf(ea::kPneuFlowKnob, false, KnobHandler<0, 1>),
    ZU_PNEU_ZONE_KNOB_RECTS,
    KnobHalf(ea::kPneuIndicatorKnob, true, SelectorHandler<-1>),
    KnobHalf(ea::kPneuIndicatorKnob, false, SelectorHandler<1>),
    MouseEnd(),
};

gauge::MouseRect PneuPanelTouchMouseRect[28] = {
    MouseParent(ea::kPneuSize.width, ea::kPneuSize.height),
    ZU_PNEU_SWITCH_RECTS,
    Sector(ea::kPneuFlowKnob, 1, FlowSectorHandler<1>),
    Sector(ea::kPneuFlowKnob, 2, FlowSectorHandler<2>),
    Sector(ea::kPneuFlowKnob, 3, FlowSectorHandler<3>),
    ZU_PNEU_ZONE_KNOB_RECTS,
    Sector(ea::kPneuIndicatorKnob, 1, SelectorSectorHandler<1>),
    Sector(ea::kPneuIndicatorKnob, 2, SelectorSectorHandler<2>),
    Sector(ea::kPneuIndicatorKnob, 3, SelectorSectorHandler<3>),
    MouseEnd(),
};

#undef ZU_PNEU_SWITCH_RECTS
#undef ZU_PNEU_ZONE_KNOB_RECTS

gauge::ElementHeader* PneuPanelElementList[2] = {&gPneu.face, nullptr};
gauge::ElementHeader* PneuPanelTouchElementList[2] = {&gPneuTouch.face, nullptr};

double PneuFlowKnobAngle() {
    return 30.0 * PneuKnob[0] - 40.0;
}

double PneuZoneKnobAngle(int zone) {
    return 30.0 * (PneuKnob[zone == 0 ? 1 : 2] - 3);
}

double PneuIndicatorSelectorAngle() {
    return 90.0 * TempIndicatorSelector - 90.0;
}

void PneuPanelVisibility(gauge::ElementHeader* first, bool lit) {
    // Each instance keeps its own memo (the 2D and the touch panel).
    static VisibilityMemo memos[2];
    VisibilityMemo& memo = memos[first == &gPneuTouch.overlay ? 1 : 0];
    RepaintKeyBuilder key;
    key.Add(lit).Add(PneuPanelSwitches).Add(PneuSwitch);
    if (!VisibilityStale(memo, first, key.Key())) return;
    LightingStep(first, lit);
    ToggleStep(first);
    TempSwitchStep(first);
    ModeSelectorStep(first);
    VisibilityKept(memo, first, key.Key());
}

void PneuPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    Update(gPanel, gauge, service);
}

void PneuPanelTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    Update(gTouchPanel, gauge, service);
}

}  // namespace zu
