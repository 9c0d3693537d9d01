#include "panels/display_control_panels.h"

#include <utility>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/radio_altitude_alerting.h"
#include "instruments/gauge_framework.h"

namespace zu {

uint8_t DisplayFormatFlags1[4] = {};
DisplayControlRecord DisplayControlState1{};
DisplayControlRecord DisplayControlState2{};
int32_t DisplayBrightnessLevel = 191;
int32_t DisplayFormat[2] = {0, 0};
uint8_t DisplayFormatToggle = 0;
int32_t BrightnessKnobTurn[2] = {0, 0};
int32_t BrightnessKnobHold[2] = {0, 0};
int32_t DhKnobQuadrant = 0;
int32_t BrightnessKnobQuadrant = 0;

namespace {

namespace dc = display_control;
using gauge::ElementHeader;
using gauge::NeedleElement;

constexpr int32_t kClickPan = 1333;
constexpr int32_t kBrightnessStep = 16;
constexpr int32_t kBrightnessFloor = 64;
constexpr int32_t kBrightnessCeiling = 255;

DisplayControlRecord& State(int side) {
    return side == 0 ? DisplayControlState1 : DisplayControlState2;
}
int32_t& DecisionHeight(int side) {
    return side == 0 ? FGC_comp_DH_altitude1 : FGC_comp_DH_altitude2;
}
int32_t& BearingSelect(int side, int pointer) {
    if (side == 0)
        return pointer == 0 ? FGC_comp_HSI1_bearing0_select : FGC_comp_HSI1_bearing1_select;
    return pointer == 0 ? FGC_comp_HSI2_bearing0_select : FGC_comp_HSI2_bearing1_select;
}
// The transfer bytes: 0 navigation, 1 heading, 2 attitude.
uint8_t& TransferByte(int side, int which) {
    return side == 0 ? DisplayFormatFlags1[which] : DisplayControlState2.Transfer[which];
}
uint8_t& ReadoutToggle(int side) {
    return side == 0 ? DisplayFormatToggle : DisplayFormatFlags1[3];
}

void Invert(uint8_t& b) {
    b = b != 0 ? 0 : 1;
}

bool AnnunciatorPowered() {
    return BusPowered.get(kPoweredRightEssential) != 0;
}

void Click() {
    PlayClick(&SoundSet[kSoundClickTiny], kClickPan);
}

// The end of every handler.
int32_t Done() {
    ArmRefresh(kRefreshRadios);
    return 0;
}

// The mode buttons (1 and 3) and the weather button (2).
void ModeButtons(DisplayControlRecord& s, int button, bool powered) {
    if (button == 1 && powered) {
        if (s.Mode == 1) {
            s.Mode = 0;
            s.Overlay = 0;
        } else {
            s.Mode = 1;
        }
    } else if (button == 2) {
        if (powered && s.Mode == 0) s.Mode = 2;
        Invert(s.Overlay);
    } else if (button == 3 && powered) {
        s.Mode = s.Mode == 2 ? 0 : 2;
    }
}

void DhStep(int side, bool up) {
    int32_t& dh = DecisionHeight(side);
    if (up) {
        if (dh <= 980) dh += 10;
    } else if (dh >= 10) {
        dh -= 10;
    }
}

// ---------------------------------------------------------------------------
// Per-gauge state and visibility

struct PanelGauge {
    gauge::GaugeHeader* header = nullptr;
    uint8_t is_vc = 0;
    int side = 0;
};
PanelGauge gPanel1{nullptr, 0, 0};
PanelGauge gPanel1Touch{nullptr, 0, 0};
PanelGauge gPanel2{nullptr, 0, 1};

void DisplayControlVisibility(PanelGauge& g) {
    ElementHeader* first = FirstElement(g.header);
    // 1. Lit or unlit images; the brightness knob's pair is left alone.
    const bool lit = PanelLit(PanelLightingCircuit2.get(), g.is_vc);
    const ElementList list(first);
    for (int k : {0, 2, 4, 6}) ShowElement(list, k, lit);
    for (int k : {1, 3, 5}) ShowElement(list, k, !lit);
    // 2. The brightness knob springs back two passes after a turn.
    int32_t& hold = BrightnessKnobHold[g.side];
    if (hold > 0) {
        --hold;
        RedrawRequest.store(1, std::memory_order_relaxed);
    } else {
        BrightnessKnobTurn[g.side] = 0;
    }
}

void PanelCallback(PanelGauge& g, gauge::GaugeHeader* header, int32_t service) {
    if (header == nullptr) return;
    switch (service) {
        case gauge::kServiceInstall:
            g.header = header;
            ArmRefresh(kRefreshRadios);
            break;
        case kServiceInitialise:
            g.header = header;
            break;
        case gauge::kServiceUpdate: {
            g.header = header;
            g.is_vc = GaugeIsVcFrom(header);
            bool running = false;
            if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) ArmRefresh(kRefreshRadios);
            if (RefreshGroupStep(kRefreshRadios)) running = true;
            if (running || BrightnessKnobHold[g.side] != 0) DisplayControlVisibility(g);
            break;
        }
        case gauge::kServiceKill:
            ModuleActive.store(0, std::memory_order_release);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Element lists: 0 lit overlay, 1/2 decision height, 3/4 bearing 0, 5/6
// bearing 1, 7/8 brightness (unlit, lit).

template <int Side>
double DhAngle(ElementHeader*) {
    return DisplayDhKnobAngle(Side);
}
template <int Side>
double Bearing0Angle(ElementHeader*) {
    return DisplayBearingKnobAngle(Side, 0);
}
template <int Side>
double Bearing1Angle(ElementHeader*) {
    return DisplayBearingKnobAngle(Side, 1);
}
template <int Side>
double BrightnessAngle(ElementHeader*) {
    return DisplayBrightnessKnobAngle(Side);
}

struct PanelElements {
    ElementHeader overlay;
    NeedleElement knob[8];
    ElementHeader* next[9][2];
};

constexpr NeedleElement Knob(int32_t cx, bool lit, ElementHeader** next,
                             gauge::ElementCallback callback) {
    return NeedleRecord(lit ? dc::kKnobLit : dc::kKnobUnlit, cx, dc::kKnobY,
                        {dc::kKnobSize / 2, dc::kKnobSize / 2}, lit ? gauge::kImageHidden : 0u,
                        next, 0, callback);
}

template <int Side>
constexpr PanelElements MakePanel(PanelElements* self) {
    PanelElements p{StaticImageRecord(dc::kOverlayLit, 0, 0, gauge::kImageHidden, self->next[0]),
                    {Knob(dc::kDhKnobX, false, self->next[1], DhAngle<Side>),
                     Knob(dc::kDhKnobX, true, self->next[2], DhAngle<Side>),
                     Knob(dc::kBearing0KnobX, false, self->next[3], Bearing0Angle<Side>),
                     Knob(dc::kBearing0KnobX, true, self->next[4], Bearing0Angle<Side>),
                     Knob(dc::kBearing1KnobX, false, self->next[5], Bearing1Angle<Side>),
                     Knob(dc::kBearing1KnobX, true, self->next[6], Bearing1Angle<Side>),
                     Knob(dc::kBrightnessKnobX, false, self->next[7], BrightnessAngle<Side>),
                     Knob(dc::kBrightnessKnobX, true, self->next[8], BrightnessAngle<Side>)},
                    {}};
    p.next[0][0] = &self->knob[0].header;
    for (int k = 0; k < 7; ++k) p.next[k + 1][0] = &self->knob[k + 1].header;
    return p;
}
constinit PanelElements gElements1 = MakePanel<0>(&gElements1);
constinit PanelElements gElements1Touch = MakePanel<0>(&gElements1Touch);
constinit PanelElements gElements2 = MakePanel<1>(&gElements2);

// ---------------------------------------------------------------------------
// Mouse rectangles

template <int Side, int Button>
int32_t ButtonHandler(gauge::Point*, uint32_t) {
    return DisplayControlButton(Side, Button);
}
template <int Side, int Pointer, bool Left>
int32_t BearingHandler(gauge::Point*, uint32_t) {
    return DisplayBearingKnob(Side, Pointer, Left);
}
template <int Side, bool Left>
int32_t DhHandler(gauge::Point*, uint32_t) {
    return DisplayDhKnob(Side, Left);
}
template <int Side, bool Left>
int32_t BrightnessHandler(gauge::Point*, uint32_t) {
    return DisplayBrightnessKnob(Side, Left);
}
template <int Side>
int32_t TestHandler(gauge::Point*, uint32_t) {
    return DisplayTestButton(Side);
}
template <int Q>
int32_t DhQuadrantHandler(gauge::Point*, uint32_t) {
    return DisplayDhQuadrant(Q);
}
template <int Q>
int32_t BrightnessQuadrantHandler(gauge::Point*, uint32_t) {
    return DisplayBrightnessQuadrant(Q);
}

constexpr int32_t kHalf = dc::kKnobSize / 2;

constexpr gauge::MouseRect ButtonRect(int b, gauge::MouseHandler h) {
    return MouseChild(dc::ButtonX(b), dc::kButtonY, dc::kButtonWidth, dc::kButtonHeight,
                      kCursorHand, kClick, h);
}
constexpr gauge::MouseRect KnobHalf(int32_t cx, bool left, gauge::MouseHandler h) {
    return MouseChild(left ? cx - kHalf : cx, dc::kKnobY - kHalf, kHalf, dc::kKnobSize,
                      left ? kCursorDecrease : kCursorIncrease, kClick, h);
}
// Quadrants clockwise from the upper left.
constexpr gauge::MouseRect Quadrant(int32_t cx, int q, gauge::MouseHandler h) {
    const bool right = q == 1 || q == 2;
    const bool lower = q >= 2;
    return MouseChild(right ? cx : cx - kHalf, lower ? dc::kKnobY : dc::kKnobY - kHalf, kHalf,
                      kHalf, kCursorHand, kTouchZone, h);
}

template <int S>
constexpr gauge::MouseRect ButtonRects(int b) {
    constexpr gauge::MouseHandler kHandlers[7] = {
        ButtonHandler<S, 1>, ButtonHandler<S, 2>, ButtonHandler<S, 3>, ButtonHandler<S, 4>,
        ButtonHandler<S, 5>, ButtonHandler<S, 6>, ButtonHandler<S, 7>};
    return ButtonRect(b, kHandlers[b]);
}

}  // namespace

gauge::ElementHeader* DisplayControlPanel1ElementList[2] = {&gElements1.overlay, nullptr};
gauge::ElementHeader* DisplayControlPanel1TouchElementList[2] = {&gElements1Touch.overlay, nullptr};
gauge::ElementHeader* DisplayControlPanel2ElementList[2] = {&gElements2.overlay, nullptr};

#define ZU_DISPLAY_BUTTONS(S)                                                                      \
    ButtonRects<S>(0), ButtonRects<S>(1), ButtonRects<S>(2), ButtonRects<S>(3), ButtonRects<S>(4), \
        ButtonRects<S>(5), ButtonRects<S>(6),                                                      \
        KnobHalf(dc::kBearing0KnobX, true, BearingHandler<S, 0, true>),                            \
        KnobHalf(dc::kBearing0KnobX, false, BearingHandler<S, 0, false>),                          \
        KnobHalf(dc::kBearing1KnobX, true, BearingHandler<S, 1, true>),                            \
        KnobHalf(dc::kBearing1KnobX, false, BearingHandler<S, 1, false>)

gauge::MouseRect DisplayControlPanelMouseRect1[18] = {
    MouseParent(dc::kWidth, dc::kHeight),
    ZU_DISPLAY_BUTTONS(0),
    KnobHalf(dc::kDhKnobX, true, DhHandler<0, true>),
    KnobHalf(dc::kDhKnobX, false, DhHandler<0, false>),
    KnobHalf(dc::kBrightnessKnobX, true, BrightnessHandler<0, true>),
    KnobHalf(dc::kBrightnessKnobX, false, BrightnessHandler<0, false>),
    ButtonRect(7, TestHandler<0>),
    MouseEnd()};

gauge::MouseRect DisplayControlPanelMouseRect2[18] = {
    MouseParent(dc::kWidth, dc::kHeight),
    ZU_DISPLAY_BUTTONS(1),
    KnobHalf(dc::kDhKnobX, true, DhHandler<1, true>),
    KnobHalf(dc::kDhKnobX, false, DhHandler<1, false>),
    KnobHalf(dc::kBrightnessKnobX, true, BrightnessHandler<1, true>),
    KnobHalf(dc::kBrightnessKnobX, false, BrightnessHandler<1, false>),
    ButtonRect(7, TestHandler<1>),
    MouseEnd()};

gauge::MouseRect DisplayControlPanelMouseRectTouch[22] = {
    MouseParent(dc::kWidth, dc::kHeight),
    ZU_DISPLAY_BUTTONS(0),
    Quadrant(dc::kDhKnobX, 0, DhQuadrantHandler<0>),
    Quadrant(dc::kDhKnobX, 1, DhQuadrantHandler<1>),
    Quadrant(dc::kDhKnobX, 2, DhQuadrantHandler<2>),
    Quadrant(dc::kDhKnobX, 3, DhQuadrantHandler<3>),
    Quadrant(dc::kBrightnessKnobX, 0, BrightnessQuadrantHandler<0>),
    Quadrant(dc::kBrightnessKnobX, 1, BrightnessQuadrantHandler<1>),
    Quadrant(dc::kBrightnessKnobX, 2, BrightnessQuadrantHandler<2>),
    Quadrant(dc::kBrightnessKnobX, 3, BrightnessQuadrantHandler<3>),
    ButtonRect(7, TestHandler<0>),
    MouseEnd()};

#undef ZU_DISPLAY_BUTTONS

// ---------------------------------------------------------------------------
// Handlers

int32_t DisplayControlButton(int side, int button) {
    const bool powered = AnnunciatorPowered();
    DisplayControlRecord& s = State(side);
    if (button <= 3) {
        ModeButtons(s, button, powered);
    } else if (powered) {
        switch (button) {
            case 4:
                Invert(ReadoutToggle(side));
                break;
            case 5:
                Invert(TransferByte(side, 2));
                break;
            case 6:
                Invert(TransferByte(side, 1));
                break;
            case 7:
                Invert(TransferByte(side, 0));
                RefreshCountdown[kRefreshEngineInstruments] = RefreshHoldCount;
                break;
            default:
                break;
        }
    }
    Click();
    return Done();
}

int32_t DisplayBearingKnob(int side, int pointer, bool left_half) {
    int32_t& sel = BearingSelect(side, pointer);
    // Pointer 0 counts up on the left half, pointer 1 on the right.
    const bool up = pointer == 0 ? left_half : !left_half;
    if (up) {
        if (sel < 4) ++sel;
    } else if (sel > 0) {
        --sel;
    }
    Click();
    return Done();
}

int32_t DisplayDhKnob(int side, bool left_half) {
    DhStep(side, !left_half);
    return Done();
}

int32_t DisplayBrightnessKnob(int side, bool left_half) {
    int32_t level = DisplayBrightnessLevel + (left_half ? -kBrightnessStep : kBrightnessStep);
    if (level < kBrightnessFloor) level = kBrightnessFloor;
    if (level > kBrightnessCeiling) level = kBrightnessCeiling;
    DisplayBrightnessLevel = level;
    DisplayFormat[side] = level == kBrightnessFloor ? 1 : 0;
    BrightnessKnobHold[side] = 2;
    BrightnessKnobTurn[side] = left_half ? -1 : 1;
    return Done();
}

int32_t DisplayTestButton(int side) {
    if (FGC_comp_AP1_vertical_mode != 4 && FGC_comp_AP2_vertical_mode != 4) {
        RadioAltTestCountdown[side] = kDisplayTestTicks;
    }
    Click();
    return Done();
}

int32_t DisplayDhQuadrant(int quadrant) {
    const int32_t step = TouchZoneDirection(&DhKnobQuadrant, quadrant, 4);
    if (step != 0) DhStep(0, step > 0);
    return Done();
}

int32_t DisplayBrightnessQuadrant(int quadrant) {
    const int32_t step = TouchZoneDirection(&BrightnessKnobQuadrant, quadrant, 4);
    if (step != 0) return DisplayBrightnessKnob(0, step < 0);
    return Done();
}

double DisplayDhKnobAngle(int side) {
    return DecisionHeight(side) - 210.0;
}

double DisplayBearingKnobAngle(int side, int pointer) {
    const int32_t sel = BearingSelect(side, pointer);
    return pointer == 0 ? 45.0 - 45.0 * sel : 45.0 * (sel - 5);
}

double DisplayBrightnessKnobAngle(int side) {
    return 35.0 * BrightnessKnobTurn[side] - 90.0;
}

void DisplayControlCallback1(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    PanelCallback(gPanel1, gauge, service);
}
void DisplayControlCallback1Touch(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    PanelCallback(gPanel1Touch, gauge, service);
}
void DisplayControlCallback2(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    PanelCallback(gPanel2, gauge, service);
}

}  // namespace zu
