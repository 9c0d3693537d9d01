#include "panels/engine_control_panels.h"

#include <cstring>

#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "instruments/engine_instruments.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/pedestal_art.h"

namespace zu {

int32_t AutofeatherWord(int engine) {
    if (engine < 0 || engine > 1) return 0;
    return Autofeather.trigger[engine] > 0 || Autofeather.feather[engine] > 0 ? 255 : 0;
}

namespace {

using gauge::ElementHeader;
using gauge::NeedleElement;
using gauge::StringElement;
namespace pa = pedestal_art;

constexpr int32_t kClickPan = 1032;
constexpr int32_t kEgcKnobPan = 1365;
constexpr int32_t kTorqueDip = 23;
constexpr int32_t kFuelTestCount = 135;
constexpr int32_t kSpringReturn = 100;
constexpr int32_t kTestLightStart = 100;
constexpr int32_t kSwitchOn = 255;
constexpr int32_t kLampTest = 2;

bool LampTest() {
    return AnnunciatorTestSwitch.get() == kLampTest && BusPowered.get(kPoweredRightEssential) != 0;
}

constexpr TextStyle kGreenLegend{"Arial", 9, 0x0040D040u, 0x00000000u, 1};
constexpr TextStyle kAmberLegend{"Arial", 9, 0x0000B0FFu, 0x00000000u, 1};
constexpr uint32_t kLegendFlags = gauge::kImageTransparent | gauge::kImageLuminous;

constexpr StringElement Legend(pa::Box window, bool upper, const TextStyle& style, uint32_t flags,
                               ElementHeader** next, gauge::ElementCallback callback) {
    const int32_t half = window.height / 2;
    return TextRecord(window.x, upper ? window.y : window.y + half, window.width, half, style,
                      flags, next, callback);
}

void SetText(ElementHeader* element, const char* text) {
    char* buffer = StringBuffer(element);
    std::strncpy(buffer, text, kStringBufferSize - 1);
    buffer[kStringBufferSize - 1] = '\0';
}

// ===========================================================================
// EGC_panel

double EgcKnobAngle(ElementHeader*) {
    switch (PowerplantState.EgcSelector) {
        case 1:
            return 60.0;
        case 2:
            return 112.0;
        default:
            return 0.0;
    }
}

// Upper legend "ON" while the engine's switch is 0, lower "MAN" while it is
// 1; all dark without the left essential bus.
template <int Engine, bool Upper>
double EgcLegend(ElementHeader* element) {
    const char* text = "";
    if (BusPowered.get(kPoweredLeftEssential) != 0) {
        if (Upper && EgcSwitch[Engine] == 0) text = "ON";
        if (!Upper && EgcSwitch[Engine] == 1) text = "MAN";
    }
    SetText(element, text);
    return 0.0;
}

struct EgcElements {
    ElementHeader plate;
    ElementHeader background;
    ElementHeader lit;
    NeedleElement knob[2];
    StringElement legend[4];
    ElementHeader lamp;
    ElementHeader* next[10][2];
};

constexpr NeedleElement EgcKnob(bool lit, ElementHeader** next) {
    constexpr int32_t half = pa::kEgcKnobSize / 2;
    return NeedleRecord(pa::kEgcKnob, pa::kEgcKnobX, pa::kEgcKnobY, {half, half},
                        lit ? kLitCopy : 0u, next, 0, EgcKnobAngle);
}

constexpr EgcElements MakeEgc(EgcElements* self) {
    EgcElements p{};
    p.plate = StaticImageRecord(pa::kEgcPlate, 0, 0, 0, self->next[0]);
    p.background = StaticImageRecord(pa::kEgcPlate, 0, 0, kStartHidden, self->next[1]);
    p.lit = StaticImageRecord(pa::kEgcLit, 0, 0, kLitCopy, self->next[2]);
    p.knob[0] = EgcKnob(false, self->next[3]);
    p.knob[1] = EgcKnob(true, self->next[4]);
    p.legend[0] = Legend(pa::kEgcButton[0], true, kGreenLegend, kLegendFlags, self->next[5],
                         EgcLegend<0, true>);
    p.legend[1] = Legend(pa::kEgcButton[1], true, kGreenLegend, kLegendFlags, self->next[6],
                         EgcLegend<1, true>);
    p.legend[2] = Legend(pa::kEgcButton[0], false, kAmberLegend, kLegendFlags, self->next[7],
                         EgcLegend<0, false>);
    p.legend[3] = Legend(pa::kEgcButton[1], false, kAmberLegend, kLegendFlags, self->next[8],
                         EgcLegend<1, false>);
    p.lamp = StaticImageRecord(pa::kEgcLamp, pa::kEgcLampBox.x, pa::kEgcLampBox.y,
                               kStartHidden | gauge::kImageLuminous, self->next[9]);
    ElementHeader* order[10] = {&self->background,
                                &self->lit,
                                &self->knob[0].header,
                                &self->knob[1].header,
                                &self->legend[0].header,
                                &self->legend[1].header,
                                &self->legend[2].header,
                                &self->legend[3].header,
                                &self->lamp,
                                nullptr};
    for (int i = 0; i < 10; ++i) p.next[i][0] = order[i];
    return p;
}

constinit EgcElements gEgc = MakeEgc(&gEgc);
gauge::GaugeHeader* gEgcHeader = nullptr;
uint8_t gEgcIsVc = 0;

void EgcVisibility() {
    ElementHeader* first = &gEgc.background;
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gEgcIsVc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(LampTest()).Add(AutofeatherWord(0)).Add(AutofeatherWord(1));
    if (!VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, false);
    ShowElement(first, 1, lit);
    ShowElement(first, 2, !lit);
    ShowElement(first, 3, lit);
    ShowElement(first, 8, LampTest() || AutofeatherWord(0) != 0 || AutofeatherWord(1) != 0);
    VisibilityKept(memo, first, key.Key());
}

void EgcUpdate() {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    }
    if (ConsumeTrigger(&SystemTimers.first)) ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    if (ConsumeTrigger(&FireRefreshCountdown)) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
        ArmRefresh(kRefreshEngineInstruments, RefreshHoldCount2);
    }
    if (RefreshGroupStep(kRefreshRadios)) EgcVisibility();
}

// The knob clicks only when it moves; the panel re-evaluates either way.
template <int Step>
int32_t EgcKnobHandler(gauge::Point*, uint32_t) {
    int32_t& selector = PowerplantState.EgcSelector;
    const bool moves = Step < 0 ? selector > 0 : selector < 2;
    if (moves) {
        selector += Step;
        PlayClick(&SoundSet[kSoundClickTiny], kEgcKnobPan);
    }
    ArmRefresh(kRefreshRadios, RefreshHoldCount);
    return 0;
}

template <int Engine>
int32_t EgcButtonHandler(gauge::Point*, uint32_t) {
    EgcSwitch[Engine] = EgcSwitch[Engine] == 0 ? 1 : 0;
    PowerplantState.TorqueDipCountdown[Engine] = kTorqueDip;
    return 0;
}

constexpr gauge::MouseRect Rect(pa::Box b, uint32_t cursor, uint32_t events,
                                gauge::MouseHandler handler) {
    return MouseChild(b.x, b.y, b.width, b.height, cursor, events, handler);
}

constexpr int32_t kKnobHalf = pa::kEgcKnobSize / 2;
constexpr pa::Box kEgcKnobLeft = {pa::kEgcKnobX - kKnobHalf, pa::kEgcKnobY - kKnobHalf, kKnobHalf,
                                  pa::kEgcKnobSize};
constexpr pa::Box kEgcKnobRight = {pa::kEgcKnobX, pa::kEgcKnobY - kKnobHalf, kKnobHalf,
                                   pa::kEgcKnobSize};

// ===========================================================================
// FUEL_panel

// Upper legend "CLSD" while the side's transfer valve is shut, lower "OPEN"
// while it is open; all dark without the left essential bus.
template <int Side, bool Upper>
double FuelLegend(ElementHeader* element) {
    const char* text = "";
    if (BusPowered.get(kPoweredLeftEssential) != 0) {
        const bool open = FuelSystemState.transfer_valve[Side] != 0;
        if (Upper && !open) text = "CLSD";
        if (!Upper && open) text = "OPEN";
    }
    SetText(element, text);
    return 0.0;
}

// The side's pump lamp: the tank valve the fuel step opens.
int32_t FuelValveLamp(int side) {
    return side == 0 ? FuelSystemState.left_valve : FuelSystemState.right_valve;
}

constexpr ImageSpec kFuelImages[9] = {
    {pa::kFuelSelectorRight, pa::kFuelSelector.x, pa::kFuelSelector.y, kStartHidden},
    {pa::kFuelSelectorLeft, pa::kFuelSelector.x, pa::kFuelSelector.y, kStartHidden},
    {pa::kFuelSelectorUp, pa::kFuelSelector.x, pa::kFuelSelector.y, kStartHidden},
    {pa::kFuelLamp, pa::kFuelLampBox[0].x, pa::kFuelLampBox[0].y,
     kStartHidden | gauge::kImageLuminous},
    {pa::kFuelLamp, pa::kFuelLampBox[1].x, pa::kFuelLampBox[1].y,
     kStartHidden | gauge::kImageLuminous},
    {pa::kToggleDown, pa::kFuelPump[0].x, pa::kFuelPump[0].y, kStartHidden},
    {pa::kToggleUp, pa::kFuelPump[0].x, pa::kFuelPump[0].y, kStartHidden},
    {pa::kToggleDown, pa::kFuelPump[1].x, pa::kFuelPump[1].y, kStartHidden},
    {pa::kToggleUp, pa::kFuelPump[1].x, pa::kFuelPump[1].y, kStartHidden},
};

struct FuelElements {
    ElementHeader plate;
    ElementHeader background;
    ElementHeader lit;
    StringElement legend[4];
    ImageChain<9> images;
    ElementHeader* next[7][2];
};

constexpr FuelElements MakeFuel(FuelElements* self) {
    FuelElements p{};
    p.plate = StaticImageRecord(pa::kFuelPlate, 0, 0, 0, self->next[0]);
    p.background = StaticImageRecord(pa::kFuelPlate, 0, 0, kStartHidden, self->next[1]);
    p.lit = StaticImageRecord(pa::kFuelLit, 0, 0, kLitCopy, self->next[2]);
    p.legend[0] = Legend(pa::kFuelValveWindow[0], true, kAmberLegend, kLegendFlags, self->next[3],
                         FuelLegend<0, true>);
    p.legend[1] = Legend(pa::kFuelValveWindow[1], true, kAmberLegend, kLegendFlags, self->next[4],
                         FuelLegend<1, true>);
    p.legend[2] = Legend(pa::kFuelValveWindow[0], false, kGreenLegend, kLegendFlags, self->next[5],
                         FuelLegend<0, false>);
    p.legend[3] = Legend(pa::kFuelValveWindow[1], false, kGreenLegend, kLegendFlags, self->next[6],
                         FuelLegend<1, false>);
    p.images = MakeImageChain(&self->images, kFuelImages);
    ElementHeader* order[7] = {&self->background,       &self->lit,
                               &self->legend[0].header, &self->legend[1].header,
                               &self->legend[2].header, &self->legend[3].header,
                               &self->images.e[0]};
    for (int i = 0; i < 7; ++i) p.next[i][0] = order[i];
    return p;
}

constinit FuelElements gFuel = MakeFuel(&gFuel);
gauge::GaugeHeader* gFuelHeader = nullptr;
uint8_t gFuelIsVc = 0;

void FuelVisibility() {
    ElementHeader* first = &gFuel.background;
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gFuelIsVc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(FuelSystemState.transfer_switch).Add(LampTest()).Add(FuelValveLamp(0));
    key.Add(FuelValveLamp(1)).Add(FuelSystemState.panel_switch[0]);
    key.Add(FuelSystemState.panel_switch[1]);
    if (!VisibilityStale(memo, first, key.Key())) return;
    static constexpr int8_t kGlowing[7] = {6, 7, 8, 11, 12, 13, 14};
    ApplyLitBit(first, 1, kGlowing, 7, lit);
    static constexpr int8_t kSelector[3] = {6, 7, 8};
    const int32_t position = FuelSystemState.transfer_switch;
    ShowOneOf(first, kSelector, 3, position == 1 ? 6 : position == 0 ? 8 : position == -1 ? 7 : -1);
    const bool test = LampTest();
    ShowElement(first, 9, test || FuelValveLamp(0) == 1);
    ShowElement(first, 10, test || FuelValveLamp(1) == 1);
    const bool pump1 = FuelSystemState.panel_switch[0] != 0;
    const bool pump2 = FuelSystemState.panel_switch[1] != 0;
    ShowElement(first, 11, !pump1);
    ShowElement(first, 12, pump1);
    ShowElement(first, 13, !pump2);
    ShowElement(first, 14, pump2);
    VisibilityKept(memo, first, key.Key());
}

void FuelPanelUpdate() {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    }
    if (ConsumeTrigger(&SystemTimers.first)) ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    if (RefreshGroupStep(kRefreshRadios)) FuelVisibility();
}

template <int Position>
int32_t FuelSelectorHandler(gauge::Point*, uint32_t) {
    FuelSystemState.transfer_switch = Position;
    ClickAndArm(kSoundClickSwitchLarge, kClickPan, kRefreshRadios, RefreshHoldCount2);
    return 0;
}

template <int Side>
int32_t FuelPumpHandler(gauge::Point*, uint32_t) {
    int32_t& sw = FuelSystemState.panel_switch[Side];
    sw = sw > 0 ? 0 : kSwitchOn;
    ClickAndArm(kSoundClickSwitchSmall, kClickPan, kRefreshRadios, RefreshHoldCount2);
    return 0;
}

int32_t FuelTestHandler(gauge::Point*, uint32_t) {
    FuelQtyTestCountdown = kFuelTestCount;
    ClickAndArm(kSoundClickTiny, kClickPan, kRefreshRadios, RefreshHoldCount2);
    return 0;
}

constexpr int32_t kSelectorThird = pa::kFuelSelector.width / 3;
constexpr pa::Box SelectorPart(int part) {
    return {pa::kFuelSelector.x + part * kSelectorThird, pa::kFuelSelector.y,
            part == 1 ? pa::kFuelSelector.width - 2 * kSelectorThird : kSelectorThird,
            pa::kFuelSelector.height};
}

// ===========================================================================
// Autofeather_panel

// "ARM" and "SLCT" are written on their first two calls only.
int32_t gAfLegendCalls[2] = {0, 0};
template <int Legend>
double AfLegend(ElementHeader* element) {
    if (gAfLegendCalls[Legend] < 2) {
        ++gAfLegendCalls[Legend];
        SetText(element, Legend == 0 ? "ARM" : "SLCT");
    }
    return 0.0;
}

constexpr ImageSpec kAfImages[12] = {
    {pa::kToggleUp, pa::kAfTestSwitch[0].x, pa::kAfTestSwitch[0].y, kStartHidden},
    {pa::kToggleDown, pa::kAfTestSwitch[0].x, pa::kAfTestSwitch[0].y, kStartHidden},
    {pa::kToggleUp, pa::kAfTestSwitch[1].x, pa::kAfTestSwitch[1].y, kStartHidden},
    {pa::kToggleDown, pa::kAfTestSwitch[1].x, pa::kAfTestSwitch[1].y, kStartHidden},
    {pa::kToggleUp, pa::kAfSpringSwitch[0].x, pa::kAfSpringSwitch[0].y, kStartHidden},
    {pa::kToggleCentre, pa::kAfSpringSwitch[0].x, pa::kAfSpringSwitch[0].y, kStartHidden},
    {pa::kToggleDown, pa::kAfSpringSwitch[0].x, pa::kAfSpringSwitch[0].y, kStartHidden},
    {pa::kToggleUp, pa::kAfSpringSwitch[1].x, pa::kAfSpringSwitch[1].y, kStartHidden},
    {pa::kToggleCentre, pa::kAfSpringSwitch[1].x, pa::kAfSpringSwitch[1].y, kStartHidden},
    {pa::kToggleDown, pa::kAfSpringSwitch[1].x, pa::kAfSpringSwitch[1].y, kStartHidden},
    {pa::kAfTestLamp, pa::kAfTestLampBox[0].x, pa::kAfTestLampBox[0].y,
     kStartHidden | gauge::kImageLuminous},
    {pa::kAfTestLamp, pa::kAfTestLampBox[1].x, pa::kAfTestLampBox[1].y,
     kStartHidden | gauge::kImageLuminous},
};

struct AfElements {
    ElementHeader plate;
    ElementHeader background;
    ElementHeader lit;
    StringElement legend[2];
    ImageChain<12> images;
    ElementHeader* next[5][2];
};

constexpr AfElements MakeAf(AfElements* self) {
    AfElements p{};
    p.plate = StaticImageRecord(pa::kAfPlate, 0, 0, 0, self->next[0]);
    p.background = StaticImageRecord(pa::kAfPlate, 0, 0, kStartHidden, self->next[1]);
    p.lit = StaticImageRecord(pa::kAfLit, 0, 0, kLitCopy, self->next[2]);
    p.legend[0] = Legend(pa::kAfSelect, false, kGreenLegend, kStartHidden | kLegendFlags,
                         self->next[3], AfLegend<0>);
    p.legend[1] = Legend(pa::kAfSelect, true, kAmberLegend, kStartHidden | kLegendFlags,
                         self->next[4], AfLegend<1>);
    p.images = MakeImageChain(&self->images, kAfImages);
    ElementHeader* order[5] = {&self->background, &self->lit, &self->legend[0].header,
                               &self->legend[1].header, &self->images.e[0]};
    for (int i = 0; i < 5; ++i) p.next[i][0] = order[i];
    return p;
}

constinit AfElements gAf = MakeAf(&gAf);
gauge::GaugeHeader* gAfHeader = nullptr;
uint8_t gAfIsVc = 0;

// A spring switch shows its position and, while off centre, runs its
// return timer down and springs back to centre when it has run out.
void SpringSwitch(ElementHeader* first, int engine, int8_t up_element) {
    int32_t& sw = Autofeather.feather_switch[engine];
    int32_t& timer = SystemTimers2.AutofeatherReturn[engine];
    if (sw != 0) {
        if (timer > 0) --timer;
        if (timer == 0) sw = 0;
    }
    const int8_t set[3] = {up_element, static_cast<int8_t>(up_element + 1),
                           static_cast<int8_t>(up_element + 2)};
    const int32_t position = sw > 0 ? 0 : sw < 0 ? 2 : 1;
    ShowOneOf(first, set, 3, set[position]);
}

void AfVisibility() {
    ElementHeader* first = &gAf.background;
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gAfIsVc);
    static constexpr int8_t kGlowing[10] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    // A spring switch off centre counts its return down: the run is due.
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(BusPowered.get(kPoweredRightMainDc)).Add(Autofeather.select);
    key.Add(Autofeather.armed).Add(BusPowered.get(kPoweredRightEssential));
    key.Add(AnnunciatorTestSwitch.get()).Add(Autofeather.test_light).Add(Autofeather.test);
    const bool springs_still =
        Autofeather.feather_switch[0] == 0 && Autofeather.feather_switch[1] == 0;
    if (springs_still && !VisibilityStale(memo, first, key.Key())) return;
    ShowElement(first, 0, false);
    ApplyLitBit(first, 1, kGlowing, 10, lit);
    const bool powered = BusPowered.get(kPoweredRightMainDc) != 0;
    ShowElement(first, 3, Autofeather.select != 0 && powered);
    ShowElement(first, 2, Autofeather.armed != 0 && powered);
    const bool lamps = BusPowered.get(kPoweredRightEssential) != 0;
    const bool test = AnnunciatorTestSwitch.get() == kLampTest;
    ShowElement(first, 14, lamps && (test || Autofeather.test_light[0] > 0));
    ShowElement(first, 15, lamps && (test || Autofeather.test_light[1] > 0));
    ShowElement(first, 4, Autofeather.test[0] == kSwitchOn);
    ShowElement(first, 5, Autofeather.test[0] != kSwitchOn);
    ShowElement(first, 6, Autofeather.test[1] == kSwitchOn);
    ShowElement(first, 7, Autofeather.test[1] != kSwitchOn);
    SpringSwitch(first, 0, 8);
    SpringSwitch(first, 1, 11);
    VisibilityKept(memo, first, key.Key());
}

// A spring switch off centre keeps the group running until it has sprung
// back: with several gauges of the group on view the group's count runs
// out before the switch's 100 evaluations, and a switch left at +1 or -1
// would keep commanding feather or unfeather.
void AfPanelUpdate() {
    if (RefreshCountdown[kRefreshAll] > 0) {
        ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    } else if (ConsumeTrigger(&SystemTimers.first) ||
               ConsumeTrigger(&SystemTimers2.BatteryTempTest)) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    }
    if (Autofeather.feather_switch[0] != 0 || Autofeather.feather_switch[1] != 0) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    }
    if (RefreshGroupStep(kRefreshRadios)) AfVisibility();
}

int32_t AfSelectHandler(gauge::Point*, uint32_t) {
    if (BusPowered.get(kPoweredRightMainDc) != 0) {
        Autofeather.select = Autofeather.select == 0 ? 1 : 0;
    }
    ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    return 0;
}

// A test switch turned on starts its test lamp; turned off with the other
// one off too, it clears the selection.
template <int Engine>
int32_t AfTestHandler(gauge::Point*, uint32_t) {
    int32_t& sw = Autofeather.test[Engine];
    if (sw == kSwitchOn) {
        sw = 0;
        if (Autofeather.test[1 - Engine] == 0) Autofeather.select = 0;
    } else {
        sw = kSwitchOn;
        Autofeather.test_light[Engine] = kTestLightStart;
    }
    ClickAndArm(kSoundClickSwitchSmall, kClickPan, kRefreshRadios, RefreshHoldCount2);
    return 0;
}

template <int Engine, int Direction>
int32_t AfSpringHandler(gauge::Point*, uint32_t) {
    Autofeather.feather_switch[Engine] = Direction;
    SystemTimers2.AutofeatherReturn[Engine] = kSpringReturn;
    ClickAndArm(kSoundClickSwitchLarge, kClickPan, kRefreshRadios, RefreshHoldCount2);
    return 0;
}

constexpr pa::Box Half(pa::Box b, bool upper) {
    return {b.x, upper ? b.y : b.y + b.height / 2, b.width, b.height / 2};
}

// ===========================================================================
// Callbacks

template <typename Update>
void PanelCallback(gauge::GaugeHeader** keep, uint8_t* is_vc, gauge::GaugeHeader* gauge,
                   int32_t service, Update update) {
    switch (service) {
        case gauge::kServiceInstall:
            *keep = gauge;
            ArmRefresh(kRefreshRadios, RefreshHoldCount2);
            return;
        case kServiceInitialise:
            *keep = gauge;
            return;
        case gauge::kServiceKill:
            PanelKill();
            return;
        case gauge::kServiceUpdate:
            *keep = gauge;
            *is_vc = GaugeIsVcFrom(gauge);
            update();
            return;
        default:
            return;
    }
}

}  // namespace

gauge::ElementHeader* EgcPanelFirst() {
    return &gEgc.background;
}
gauge::ElementHeader* FuelPanelFirst() {
    return &gFuel.background;
}
gauge::ElementHeader* AutofeatherPanelFirst() {
    return &gAf.background;
}

gauge::ElementHeader* EGC_panelElementList[2] = {&gEgc.plate, nullptr};
gauge::MouseRect EGC_panelMouseRect[6] = {
    MouseParent(pa::kEgcWidth, pa::kEgcHeight),
    Rect(kEgcKnobLeft, kCursorDecrease, kClick, EgcKnobHandler<-1>),
    Rect(kEgcKnobRight, kCursorIncrease, kClick, EgcKnobHandler<1>),
    Rect(pa::kEgcButton[0], kCursorIncrease, kClick, EgcButtonHandler<0>),
    Rect(pa::kEgcButton[1], kCursorIncrease, kClick, EgcButtonHandler<1>),
    MouseEnd(),
};

void EgcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    PanelCallback(&gEgcHeader, &gEgcIsVc, gauge, service, EgcUpdate);
}

gauge::ElementHeader* FUEL_panelElementList[2] = {&gFuel.plate, nullptr};
gauge::MouseRect FUEL_panelMouseRect[8] = {
    MouseParent(pa::kFuelWidth, pa::kFuelHeight),
    Rect(SelectorPart(0), kCursorDecrease, kClick, FuelSelectorHandler<-1>),
    Rect(SelectorPart(1), kCursorHand, kClick, FuelSelectorHandler<0>),
    Rect(SelectorPart(2), kCursorIncrease, kClick, FuelSelectorHandler<1>),
    Rect(pa::kFuelPump[0], kCursorHand, kClick, FuelPumpHandler<0>),
    Rect(pa::kFuelPump[1], kCursorHand, kClick, FuelPumpHandler<1>),
    Rect(pa::kFuelTest, kCursorHand, kHeldClick, FuelTestHandler),
    MouseEnd(),
};

void FuelPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    PanelCallback(&gFuelHeader, &gFuelIsVc, gauge, service, FuelPanelUpdate);
}

gauge::ElementHeader* Autofeather_panelElementList[2] = {&gAf.plate, nullptr};
gauge::MouseRect Autofeather_panelMouseRect[9] = {
    MouseParent(pa::kAfWidth, pa::kAfHeight),
    Rect(pa::kAfSelect, kCursorHand, kClick, AfSelectHandler),
    Rect(pa::kAfTestSwitch[0], kCursorDecrease, kClick, AfTestHandler<0>),
    Rect(pa::kAfTestSwitch[1], kCursorDecrease, kClick, AfTestHandler<1>),
    Rect(Half(pa::kAfSpringSwitch[0], true), kCursorIncrease, kClick, AfSpringHandler<0, 1>),
    Rect(Half(pa::kAfSpringSwitch[1], true), kCursorIncrease, kClick, AfSpringHandler<1, 1>),
    Rect(Half(pa::kAfSpringSwitch[0], false), kCursorDecrease, kClick, AfSpringHandler<0, -1>),
    Rect(Half(pa::kAfSpringSwitch[1], false), kCursorDecrease, kClick, AfSpringHandler<1, -1>),
    MouseEnd(),
};

void AutofeatherPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceInstall) gAfLegendCalls[0] = gAfLegendCalls[1] = 0;
    PanelCallback(&gAfHeader, &gAfIsVc, gauge, service, AfPanelUpdate);
}

}  // namespace zu
