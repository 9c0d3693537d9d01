#include "panels/bypass_doors_panel.h"

#include "core/electrical_system.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/system_panels_art.h"

namespace zu {

namespace {

namespace sa = system_panels_art;

constexpr int kLampTestOn = 2;
constexpr int32_t kDoorOpen = 255;

constexpr int16_t LampX(int door) {
    return static_cast<int16_t>(8 + 58 * door);
}
constexpr int16_t LampY(int lamp) {
    return static_cast<int16_t>(26 + 20 * lamp);
}

constexpr ImageSpec kSpec[8] = {
    {sa::kBypassPlate, 0, 0, 0},
    {sa::kBypassLit, 0, 0, kLitCopy},
    {sa::kDoorClosed, LampX(0), LampY(0), kStartHidden},
    {sa::kDoorHeater, LampX(0), LampY(1), kStartHidden},
    {sa::kDoorOpen, LampX(0), LampY(2), kStartHidden},
    {sa::kDoorClosed, LampX(1), LampY(0), kStartHidden},
    {sa::kDoorHeater, LampX(1), LampY(1), kStartHidden},
    {sa::kDoorOpen, LampX(1), LampY(2), kStartHidden},
};
constinit ImageChain<8> gPanel = MakeImageChain(&gPanel, kSpec);
gauge::GaugeHeader* gHeader = nullptr;
uint8_t gIsVc = 0;

gauge::ElementHeader* First() {
    return &gPanel.e[1];
}

bool Travelling(int32_t position) {
    return position > 0 && position < kDoorOpen;
}

void Lamps() {
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gIsVc);
    const bool test = AnnunciatorTestSwitch.get() == kLampTestOn;
    static constexpr BusPoweredByte kBus[2] = {kPoweredLeftSecondary, kPoweredRightSecondary};
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(test).Add(IceProtectionState.DoorLamp);
    for (BusPoweredByte bus : kBus) key.Add(Powered(BusPowered.get(bus)));
    if (!VisibilityStale(memo, First(), key.Key())) return;
    ShowElement(First(), 0, lit);
    for (int door = 0; door < 2; ++door) {
        const bool powered = Powered(BusPowered.get(kBus[door]));
        for (int lamp = 0; lamp < 3; ++lamp) {
            const bool on = IceProtectionState.DoorLamp[door][lamp] != 0 || test;
            ShowElement(First(), 1 + 3 * door + lamp, powered && on);
        }
    }
    VisibilityKept(memo, First(), key.Key());
}

void Refresh() {
    Lamps();
    const int32_t* position = IceProtectionState.DoorPosition;
    if (Travelling(position[0]) || Travelling(position[1])) ArmRefresh(kRefreshRadios);
}

template <int Door>
int32_t DoorClick(gauge::Point*, uint32_t) {
    int32_t& sw = IceProtectionState.BypassDoorSwitch[Door];
    sw = 255 - sw;
    ArmRefresh(kRefreshRadios);
    return 0;
}

}  // namespace

gauge::ElementHeader* BypassDoorsFirst() {
    return First();
}

gauge::ElementHeader* Bypass_doorsElementList[2] = {&gPanel.e[0], nullptr};

gauge::MouseRect Bypass_doorsMouseRect[] = {
    MouseParent(sa::kBypassSize.width, sa::kBypassSize.height),
    MouseChild(14, 84, 28, 26, kCursorHand, kClick, DoorClick<0>),
    MouseChild(72, 84, 28, 26, kCursorHand, kClick, DoorClick<1>), MouseEnd()};

void BypassDoorsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gHeader, gauge, service)) return;
    gIsVc = GaugeIsVcFrom(gauge);
    const bool own = RefreshGroupStep(kRefreshRadios);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (own || all) Refresh();
}

}  // namespace zu
