#include "panels/side_panels.h"

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_data.h"
#include "core/alerting.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "panels/panel_elements.h"

namespace zu {

PilotPanelStateRecord PilotPanelState = {0, {0, 0}, 0};
uint8_t PilotPanelBlink = 0;
int32_t CopilotSwitchHold = 0;

namespace {

namespace oa = overhead_art;

constexpr int32_t kPilotPan = -1365;
constexpr int32_t kCopilotPan = 1365;
constexpr int32_t kPilotHoldCount = 25;
constexpr int32_t kCopilotHoldCount = 128;
constexpr int32_t kPilotTrimTicks = 8;
constexpr int32_t kCopilotTimerPaused = 48;
constexpr int32_t kCopilotTimerRunning = 24;

// Columns of the pilot panel's controls.
constexpr int16_t Col(int i) {
    return static_cast<int16_t>(12 + 33 * i);
}
constexpr int16_t kSwitchY = 56;
constexpr int16_t kLampY = 30;

enum PilotColumn : int {
    kColNose,
    kColLighting,
    kColStall,
    kColAdc,
    kColTrim,
    kColToggle,
    kColWord1,
    kColWord2,
    kColLast,
    kColGpws,
};

// Plate (backdrop), then the numbered run: 0 lit plate, 1/2 nose steering
// off/on, 3/4/5 stall test 1/0/2, 6/7/8 air-data test +1/0/-1, 9/10/11 trim
// +1/0/-1, 12/13/14 request word 2 +1/0/-1, 15/16/17 request word 1
// +1/0/-1, 18/19/20 request word 0 (never shown), 21 GPWS button, 22 the
// toggle released, 23/24/25 last word +1/0/-1, 26/27 lighting off/on,
// 28 the toggle pressed, 29 (never shown), 30 GPWS override lamp.
constexpr ImageSpec kPilotSpec[32] = {
    {oa::kPilotPlate, 0, 0, 0},
    {oa::kPilotPlate, 0, 0, kLitCopy},
    {oa::kToggleDown, Col(kColNose), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColNose), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColStall), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColStall), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColStall), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColAdc), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColAdc), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColAdc), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColTrim), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColTrim), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColTrim), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColWord2), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColWord2), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColWord2), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColWord1), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColWord1), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColWord1), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kButton, Col(kColGpws), kSwitchY + 6, 0},
    {oa::kButton, Col(kColToggle), kSwitchY + 6, 0},
    {oa::kToggleUp, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kToggleCentre, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kToggleDown, Col(kColLighting), kSwitchY, kStartHidden},
    {oa::kToggleUp, Col(kColLighting), kSwitchY, kStartHidden},
    {oa::kButtonIn, Col(kColToggle), kSwitchY + 6, kStartHidden},
    {oa::kButtonIn, Col(kColLast), kSwitchY, kStartHidden},
    {oa::kGpwsLamp, Col(kColGpws) - 4, kLampY, kStartHidden},
};
constinit ImageChain<32> gPilot = MakeImageChain(&gPilot, kPilotSpec);

// Plate (backdrop), then 0 lit plate, 1/2/3 antiskid +1/-1/0 (upper,
// middle, lower), 4 toggle on, 5 toggle off, 6 light.
constexpr ImageSpec kCopilotSpec[8] = {
    {oa::kCopilotPlate, 0, 0, 0},
    {oa::kCopilotPlate, 0, 0, kLitCopy},
    {oa::kToggleUp, 20, 46, kStartHidden},
    {oa::kToggleCentre, 20, 46, kStartHidden},
    {oa::kToggleDown, 20, 46, kStartHidden},
    {oa::kToggleUp, 64, 46, kStartHidden},
    {oa::kToggleDown, 64, 46, kStartHidden},
    {oa::kCopilotLamp, 58, 24, kStartHidden},
};
constinit ImageChain<8> gCopilot = MakeImageChain(&gCopilot, kCopilotSpec);

gauge::GaugeHeader* gPilotHeader = nullptr;
gauge::GaugeHeader* gCopilotHeader = nullptr;
uint8_t gPilotIsVc = 0;
uint8_t gCopilotIsVc = 0;

gauge::ElementHeader* PilotFirst() {
    return &gPilot.e[1];
}
gauge::ElementHeader* CopilotFirst() {
    return &gCopilot.e[1];
}

// --- Pilot_Panel visibility, one step per group of images.

void PilotLighting() {
    static constexpr int8_t kGlowing[27] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                            15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    ApplyLitBit(PilotFirst(), 0, kGlowing, 27, PanelLit(PanelLightingCircuit3.get(), gPilotIsVc));
}

// The image of a three-image switch for +1 / 0 / -1 (any other value
// shows the middle one).
void ShowThreeWay(int32_t value, int8_t plus, int8_t middle, int8_t minus) {
    const int8_t set[3] = {plus, middle, minus};
    ShowOneOf(PilotFirst(), set, 3, value == 1 ? plus : value == -1 ? minus : middle);
}

void PilotSwitchImages() {
    gauge::ElementHeader* first = PilotFirst();
    static constexpr int8_t kNose[2] = {1, 2};
    ShowOneOf(first, kNose, 2, NoseSteeringSwitch == 255 ? 2 : 1);
    static constexpr int8_t kLighting[2] = {26, 27};
    ShowOneOf(first, kLighting, 2, PanelLightingSwitch3.get() == 255 ? 27 : 26);
    static constexpr int8_t kStall[3] = {3, 4, 5};
    const int32_t stall = StallWarningState.test_state;
    ShowOneOf(first, kStall, 3, stall == 0 ? 4 : stall == 1 ? 3 : stall == 2 ? 5 : -1);
    ShowThreeWay(AdcTestSwitch, 6, 7, 8);
    ShowThreeWay(PilotTrimRequest, 9, 10, 11);
    ShowElement(first, 28, PilotPanelFlag != 0);
}

void PilotRequestImages() {
    gauge::ElementHeader* first = PilotFirst();
    for (int8_t k : {18, 19, 20, 29}) ShowElement(first, k, false);
    ShowThreeWay(PropGroundSwitch[0], 15, 16, 17);
    ShowThreeWay(PropGroundSwitch[1], 12, 13, 14);
    ShowThreeWay(PilotPanelOverride, 23, 24, 25);
    ShowElement(first, 30, GpwsFlags[kGpwsOverrideCopy] != 0);
}

// Everything the pilot panel's images depend on.
RepaintKey PilotPanelKey() {
    RepaintKeyBuilder key;
    key.Add(PanelLightingCircuit3.get()).Add(gPilotIsVc).Add(NoseSteeringSwitch);
    key.Add(PanelLightingSwitch3.get()).Add(StallWarningState.test_state).Add(AdcTestSwitch);
    key.Add(PilotTrimRequest).Add(PilotPanelFlag).Add(PropGroundSwitch).Add(PilotPanelOverride);
    key.Add(GpwsFlags[kGpwsOverrideCopy]);
    return key.Key();
}

VisibilityMemo gPilotMemo;

void PilotPanelVisibility() {
    const RepaintKey key = PilotPanelKey();
    if (!VisibilityStale(gPilotMemo, &gPilot.e[0], key)) return;
    PilotLighting();
    PilotSwitchImages();
    PilotRequestImages();
    VisibilityKept(gPilotMemo, &gPilot.e[0], key);
}

// --- Copilot panel visibility.

void CopilotLighting() {
    static constexpr int8_t kGlowing[5] = {1, 2, 3, 4, 5};
    ApplyLitBit(CopilotFirst(), 0, kGlowing, 5,
                PanelLit(PanelLightingCircuit3.get(), gCopilotIsVc));
}

void CopilotSwitchImages() {
    gauge::ElementHeader* first = CopilotFirst();
    static constexpr int8_t kAntiskid[3] = {1, 2, 3};
    const int32_t sw = flight_controls_COPILOT_antiskid_sw;
    ShowOneOf(first, kAntiskid, 3, sw == 1 ? 1 : sw == -1 ? 2 : sw == 0 ? 3 : -1);
    const bool off =
        PilotPanelState.copilot_toggle == 0 || PowerplantsInstructorStates[kPpSynchrophaser] != 0;
    ShowElement(first, 5, off);
    ShowElement(first, 4, !off);
}

void CopilotLight() {
    const bool shown = Powered(BusPowered.get(kPoweredRightMainDc)) &&
                       (AnnunciatorTestSwitch.get() == 2 || PilotPanelState.copilot_toggle != 0);
    ShowElement(CopilotFirst(), 6, shown);
}

void CopilotSpringReturn() {
    if (CopilotSwitchHold > 0) {
        --CopilotSwitchHold;
        RedrawRequest.store(255, std::memory_order_relaxed);
    }
    if (CopilotSwitchHold == 0 && flight_controls_COPILOT_antiskid_sw == 1) {
        flight_controls_COPILOT_antiskid_sw = -1;
    }
}

void CopilotPanelVisibility() {
    CopilotLighting();
    CopilotSwitchImages();
    CopilotLight();
    CopilotSpringReturn();
}

// --- Pilot_Panel handlers.

int32_t PilotClick(SoundSetIndex sound) {
    ClickAndArm(sound, kPilotPan, kRefreshRmi, kPilotHoldCount);
    return 0;
}

int32_t NoseSteering(gauge::Point*, uint32_t) {
    NoseSteeringSwitch = NoseSteeringSwitch == 255 ? 0 : 255;
    return PilotClick(kSoundClickSwitchSmall);
}

int32_t LightingSwitch(gauge::Point*, uint32_t) {
    PanelLightingSwitch3.set(255 - (PanelLightingSwitch3.get() & 0xFF));
    return PilotClick(kSoundClickTiny);
}

template <int32_t Side>
int32_t StallTest(gauge::Point*, uint32_t) {
    StallWarningState.test_state = Side;
    StallWarningState.test_countdown = kStallTestTicks;
    return PilotClick(kSoundClickSwitchSmall);
}

template <int32_t Direction>
int32_t AdcTest(gauge::Point*, uint32_t) {
    AdcTestSwitch = Direction;
    (Direction > 0 ? AdcTestTimer1 : AdcTestTimer2) = kAdcTestTicks;
    return PilotClick(kSoundClickSwitchSmall);
}

template <int32_t Direction>
int32_t PilotTrim(gauge::Point*, uint32_t) {
    PilotTrimRequest = Direction;
    PilotTrimTimer = kPilotTrimTicks;
    return PilotClick(kSoundClickSwitchSmall);
}

int32_t PilotToggle(gauge::Point*, uint32_t) {
    PilotPanelFlag = static_cast<uint8_t>(1 - PilotPanelFlag);
    return PilotClick(kSoundClickSwitchSmall);
}

int32_t* RequestWord(int word) {
    switch (word) {
        case 1:
            return &PropGroundSwitch[0];
        case 2:
            return &PropGroundSwitch[1];
        case 3:
            return &PilotPanelOverride;
        default:
            return &PilotPanelState.request0;
    }
}

template <int Word, int32_t Value>
int32_t RequestSwitch(gauge::Point*, uint32_t) {
    *RequestWord(Word) = Value;
    return PilotClick(kSoundClickSwitchSmall);
}

int32_t GpwsButton(gauge::Point*, uint32_t) {
    GpwsFlags[kGpwsOverride] = static_cast<uint8_t>(GpwsFlags[kGpwsOverride] == 0 ? 1 : 0);
    return PilotClick(kSoundClickTiny);
}

// --- Copilot panel handlers.

int32_t CopilotClick() {
    ClickAndArm(kSoundClickSwitchSmall, kCopilotPan, kRefreshHydraulics, kCopilotHoldCount);
    return 0;
}

int32_t AntiskidUpper(gauge::Point*, uint32_t) {
    flight_controls_COPILOT_antiskid_sw = 1;
    CopilotPanelTimer = HostPauseIndicator != 0 ? kCopilotTimerPaused : kCopilotTimerRunning;
    CopilotSwitchHold = kCopilotSwitchHoldPasses;
    return CopilotClick();
}

template <int32_t Value>
int32_t AntiskidSet(gauge::Point*, uint32_t) {
    flight_controls_COPILOT_antiskid_sw = Value;
    return CopilotClick();
}

int32_t CopilotToggle(gauge::Point*, uint32_t) {
    PilotPanelState.copilot_toggle = PilotPanelState.copilot_toggle != 0 ? 0 : 1;
    return CopilotClick();
}

// Rectangles over a switch column: whole, halves or thirds.
constexpr gauge::MouseRect Whole(int column, gauge::MouseHandler h) {
    return MouseChild(Col(column) - 4, kSwitchY - 4, 26, 42, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect Half(int column, int part, gauge::MouseHandler h) {
    return MouseChild(Col(column) - 4, kSwitchY - 4 + 21 * part, 26, 21, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect Third(int column, int part, gauge::MouseHandler h) {
    return MouseChild(Col(column) - 4, kSwitchY - 4 + 14 * part, 26, 14, kCursorHand, kClick, h);
}

}  // namespace

void PilotPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) ArmRefresh(kRefreshRmi, kPilotHoldCount);
    if (!KeepHeader(&gPilotHeader, gauge, service)) return;
    gPilotIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) ArmRefresh(kRefreshRmi, kPilotHoldCount);
    if (AdcTestTimer1 != 0 || AdcTestTimer2 != 0 || StallWarningState.test_countdown != 0 ||
        PilotTrimTimer != 0) {
        ArmRefresh(kRefreshRmi, kPilotHoldCount);
    }
    if (RefreshGroupStep(kRefreshRmi)) PilotPanelVisibility();
}

void CopilotPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) ArmRefresh(kRefreshHydraulics, kPilotHoldCount);
    if (!KeepHeader(&gCopilotHeader, gauge, service)) return;
    gCopilotIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshHydraulics, kPilotHoldCount);
    }
    if (RefreshGroupStep(kRefreshHydraulics)) CopilotPanelVisibility();
}

gauge::ElementHeader* Pilot_PanelElementList[2] = {&gPilot.e[0], nullptr};
gauge::ElementHeader* Copilot_panelElementList[2] = {&gCopilot.e[0], nullptr};

gauge::MouseRect Pilot_PanelMouseRect[] = {MouseParent(oa::kPilotSize.width, oa::kPilotSize.height),
                                           Whole(kColNose, NoseSteering),
                                           Whole(kColLighting, LightingSwitch),
                                           Half(kColStall, 0, StallTest<1>),
                                           Half(kColStall, 1, StallTest<2>),
                                           Half(kColAdc, 0, AdcTest<1>),
                                           Half(kColAdc, 1, AdcTest<-1>),
                                           Half(kColTrim, 0, PilotTrim<1>),
                                           Half(kColTrim, 1, PilotTrim<-1>),
                                           Whole(kColToggle, PilotToggle),
                                           Third(kColWord1, 0, RequestSwitch<1, 1>),
                                           Third(kColWord1, 1, RequestSwitch<1, 0>),
                                           Third(kColWord1, 2, RequestSwitch<1, -1>),
                                           Third(kColWord2, 0, RequestSwitch<2, 1>),
                                           Third(kColWord2, 1, RequestSwitch<2, 0>),
                                           Third(kColWord2, 2, RequestSwitch<2, -1>),
                                           Third(kColLast, 0, RequestSwitch<3, 1>),
                                           Third(kColLast, 1, RequestSwitch<3, 0>),
                                           Third(kColLast, 2, RequestSwitch<3, -1>),
                                           Whole(kColGpws, GpwsButton),
                                           MouseEnd()};

gauge::MouseRect Copilot_panelMouseRect[] = {
    MouseParent(oa::kCopilotSize.width, oa::kCopilotSize.height),
    MouseChild(16, 42, 26, 14, kCursorHand, kClick, AntiskidUpper),
    MouseChild(16, 56, 26, 14, kCursorHand, kClick, AntiskidSet<-1>),
    MouseChild(16, 70, 26, 14, kCursorHand, kClick, AntiskidSet<0>),
    MouseChild(60, 42, 26, 42, kCursorHand, kClick, CopilotToggle),
    MouseEnd()};

}  // namespace zu
