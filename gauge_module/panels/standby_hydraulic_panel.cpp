#include "panels/standby_hydraulic_panel.h"

#include "core/electrical_system.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/system_panels_art.h"

namespace zu {

namespace {

namespace sa = system_panels_art;

constexpr int32_t kPan = 1365;
constexpr int32_t kHoldCount = 25;
constexpr int32_t kToggleOn = 255;
constexpr int32_t kPumpOnAbovePsi = 1500;
constexpr int32_t kPumpLampPsi = 401;

constexpr int16_t kToggleX[2] = {21, 63};
constexpr int16_t kToggleY = 30;
constexpr int16_t kButtonX = 103;
constexpr int16_t kButtonY = 30;

constexpr ImageSpec kSpec[9] = {
    {sa::kStbyHydrPlate, 0, 0, 0},
    {sa::kStbyHydrLit, 0, 0, kLitCopy},
    {sa::kToggleNeutral, kToggleX[0], kToggleY, 0},
    {sa::kToggleOn, kToggleX[0], kToggleY, kStartHidden},
    {sa::kToggleNeutral, kToggleX[1], kToggleY, 0},
    {sa::kToggleOn, kToggleX[1], kToggleY, kStartHidden},
    {sa::kPtuLamp, kButtonX, kButtonY, kStartHidden},
    {sa::kToggleAuto, kToggleX[0], kToggleY, kStartHidden},
    {sa::kToggleAuto, kToggleX[1], kToggleY, kStartHidden},
};
constinit ImageChain<9> gPanel = MakeImageChain(&gPanel, kSpec);
gauge::GaugeHeader* gHeader = nullptr;
uint8_t gIsVc = 0;

gauge::ElementHeader* First() {
    return &gPanel.e[1];
}

// The selector of one pump: element `at1` for 1, `at2` for 2, the neutral
// image hidden either way.
void SelectorImages(int32_t select, int8_t neutral, int8_t at2, int8_t at1) {
    if (select != 1 && select != 2) return;
    ShowElement(First(), neutral, false);
    ShowElement(First(), at1, select == 1);
    ShowElement(First(), at2, select == 2);
}

void StbyHydrVisibility() {
    const bool lit = PanelLit(PanelLightingCircuit3.get(), gIsVc);
    const HydraulicsStateRecord& h = HydraulicsState;
    const bool running = h.PtuSwitchFlag > 0 && h.SystemPressure[0] >= kPumpLampPsi;
    const bool annunciated =
        Powered(BusPowered.get(kPoweredRightEssential)) && h.PtuAutoCommand >= 1;
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(StbyHydPumpSelect[0]).Add(StbyHydPumpSelect[1]).Add(running || annunciated);
    if (!VisibilityStale(memo, First(), key.Key())) return;
    static constexpr int8_t kBright[4] = {2, 4, 6, 7};
    ApplyLitBit(First(), 0, kBright, 4, lit);
    SelectorImages(StbyHydPumpSelect[0], 1, 2, 6);
    SelectorImages(StbyHydPumpSelect[1], 3, 4, 7);
    ShowElement(First(), 5, running || annunciated);
    VisibilityKept(memo, First(), key.Key());
}

template <int Pump>
int32_t SelectorClick(gauge::Point*, uint32_t) {
    StbyHydPumpSelect[Pump] = StbyHydPumpSelect[Pump] == 2 ? 1 : 2;
    ClickAndArm(kSoundClickSwitchSmall, kPan, kRefreshHydraulics, kHoldCount);
    return 0;
}

int32_t ButtonClick(gauge::Point*, uint32_t) {
    StbyPumpButton();
    ClickAndArm(kSoundClickTiny, kPan, kRefreshHydraulics, kHoldCount);
    return 0;
}

constexpr gauge::MouseRect SelectorPart(int pump, int part, gauge::MouseHandler handler) {
    constexpr int16_t kTops[3] = {kToggleY - 4, kToggleY + 10, kToggleY + 24};
    constexpr int16_t kHeights[3] = {14, 14, 14};
    return MouseChild(kToggleX[pump] - 4, kTops[part], sa::kToggleSize.width + 8, kHeights[part],
                      kCursorHand, kClick, handler);
}

}  // namespace

void StbyPumpButton() {
    if (StbyPumpToggle == kToggleOn) {
        StbyPumpToggle = 0;
    } else if (HydraulicsState.SystemPressure[0] > kPumpOnAbovePsi) {
        StbyPumpToggle = kToggleOn;
    }
}

gauge::ElementHeader* StbyHydrFirst() {
    return First();
}

gauge::ElementHeader* Stby_hydrElementList[2] = {&gPanel.e[0], nullptr};

gauge::MouseRect Stby_hydrMouseRect[] = {
    MouseParent(sa::kStbyHydrSize.width, sa::kStbyHydrSize.height),
    SelectorPart(0, 0, SelectorClick<0>),
    SelectorPart(0, 1, SelectorClick<0>),
    SelectorPart(0, 2, SelectorClick<0>),
    SelectorPart(1, 0, SelectorClick<1>),
    SelectorPart(1, 1, SelectorClick<1>),
    SelectorPart(1, 2, SelectorClick<1>),
    MouseChild(kButtonX, kButtonY, sa::kPtuLampSize.width, sa::kPtuLampSize.height, kCursorHand,
               kClick, ButtonClick),
    MouseEnd()};

void StbyHydrCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) ArmRefresh(kRefreshHydraulics, kHoldCount);
    if (!KeepHeader(&gHeader, gauge, service)) return;
    gIsVc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) ArmRefresh(kRefreshHydraulics, kHoldCount);
    if (ConsumeTrigger(&SystemTimers.HydraulicTimer)) ArmRefresh(kRefreshHydraulics, kHoldCount);
    if (RefreshGroupStep(kRefreshHydraulics)) StbyHydrVisibility();
}

}  // namespace zu
