#include "panels/alternate_gear_pump.h"

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/system_panels_art.h"

namespace zu {

namespace {

namespace sa = system_panels_art;

constexpr int kElements = 11;
constexpr int16_t kSwitchX = 38;
constexpr int16_t kSwitchY = 52;

constexpr ImageSpec kSpec[kElements] = {
    {sa::kAltGearPlate, 0, 0, 0},
    {sa::kAltGearCover, kSwitchX, kSwitchY, kStartHidden},
    {sa::kAltGearCover, kSwitchX, kSwitchY - 24, kStartHidden},
    {sa::kAltGearLamp, 8, 18, kStartHidden},
    {sa::kAltGearLamp, 38, 18, kStartHidden},
    {sa::kAltGearLamp, 68, 18, kStartHidden},
    {sa::kAltGearLamp, 8, 56, kStartHidden},
    {sa::kAltGearLamp, 68, 56, kStartHidden},
    {sa::kAltGearSwitchOn, kSwitchX, kSwitchY, kStartHidden},
    {sa::kAltGearSwitchOff, kSwitchX, kSwitchY, 0},
    {sa::kAltGearSwitchOn, kSwitchX, kSwitchY, kStartHidden},
};
constinit ImageChain<kElements> gPanel = MakeImageChain(&gPanel, kSpec);
gauge::GaugeHeader* gHeader = nullptr;

void CountDownToOne(int32_t* word) {
    if (*word < 2) return;
    *word -= 1;
    RedrawRequest.store(255, std::memory_order_relaxed);
}

void AltGearPumpVisibility() {
    gauge::ElementHeader* first = &gPanel.e[0];
    const bool lit = PanelLightingCircuit1.get() != 0;
    for (int k = 1; k <= 5; ++k) SetElementLit(first, k, lit);
    for (int k = 0; k < kElements; ++k) ShowElement(first, k, false);
    CountDownToOne(&AltGearState.pump[0]);
    CountDownToOne(&AltGearState.pump[1]);
    ShowElement(first, 0, true);
    ShowElement(first, 9, true);
}

}  // namespace

gauge::ElementHeader* Alternate_Gear_PumpElementList[2] = {&gPanel.e[0], nullptr};

void AlternateGearPumpCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gHeader, gauge, service)) return;
    const bool running = RefreshGroupStep(kRefreshHydraulics);
    if (running || AltGearState.pump[1] != 0 || GearTransitCountdown != 0) {
        AltGearPumpVisibility();
    }
}

}  // namespace zu
