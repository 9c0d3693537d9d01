#include "panels/electrical_panels.h"

#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "panels/panel_elements.h"

namespace zu {

namespace {

namespace oa = overhead_art;

constexpr int32_t kBatteryPan = -341;
constexpr int32_t kAcPan = 1032;
constexpr int32_t kResetHoldCount = 64;

// A two-position switch: its field and its four images (off unlit, on
// unlit, off lit, on lit).
struct TwoWaySwitch {
    EI32 field;
    int8_t off_unlit;
    int8_t on_unlit;
    int8_t off_lit;
    int8_t on_lit;
};

// The first switch of each panel also carries the lit panel background.
constexpr int8_t kLitBackground = 3;

constexpr TwoWaySwitch kAuxBattery{AuxBatterySwitch, 1, 2, 4, 5};  // 0x08
constexpr TwoWaySwitch kMainBattery{MainBatterySwitch, 6, 7, 8, 9};
constexpr TwoWaySwitch kBatteryMaster{BatteryMasterSwitch, 10, 11, 12, 13};
constexpr TwoWaySwitch kDcGen1{DcGenerator1Switch, 14, 15, 16, 17};  // 0x1C
constexpr TwoWaySwitch kDcGen2{DcGenerator2Switch, 18, 19, 20, 21};  // 0x18
constexpr TwoWaySwitch kBusTie{MainBusTieSwitch, 22, 23, 24, 25};
constexpr TwoWaySwitch kDcReset{DcBusFailureResetSwitch, 26, 27, 28, 29};
constexpr TwoWaySwitch kExternalDc{ExternalDcSwitch, 30, 31, 32, 33};
constexpr int8_t kBatteryLamp = 34;

constexpr TwoWaySwitch kExternalAc{ExternalAcSwitch, 1, 2, 4, 5};  // 0xD9
constexpr TwoWaySwitch kPrimaryInverter{PrimaryInverterSwitch, 6, 7, 8, 9};
constexpr TwoWaySwitch kSecondaryInverter{SecondaryInverterSwitch, 16, 17, 18, 19};
constexpr TwoWaySwitch kAcGen1{AcGenerator1Switch, 20, 21, 22, 23};  // 0xD5
constexpr TwoWaySwitch kAcGen2{AcGenerator2Switch, 24, 25, 26, 27};  // 0xD1
constexpr int8_t kAcLamp = 28;

// The auxiliary inverter selector: A (0xC5) unlit 10 / lit 13, B (0xC9)
// 12 / 15, C (0xCD) 11 / 14.
struct ThreeWayImages {
    EI32 field;
    int8_t unlit;
    int8_t lit;
};
constexpr ThreeWayImages kAuxInverter[3] = {
    {AuxInverterSelectRight, 10, 13},
    {AuxInverterSelectLeft, 12, 15},
    {AuxInverterSelectOff, 11, 14},
};

// Element layout: images of each switch at the switch's place.
constexpr int16_t kRow1 = 42;
constexpr int16_t kRow2 = 98;
constexpr int16_t Column(int i) {
    return static_cast<int16_t>(22 + 40 * i);
}

constexpr ImageSpec Switch(uint32_t art, int column, int16_t row, bool lit) {
    return {art, Column(column), row, lit ? kLitCopy : kStartHidden};
}

constexpr ImageSpec kBatterySpec[35] = {
    {oa::kBatteryPlate, 0, 0, 0},
    Switch(oa::kToggleDown, 0, kRow1, false),  // 0x08
    Switch(oa::kToggleUp, 0, kRow1, false),
    {oa::kBatteryPlate, 0, 0, kLitCopy},
    Switch(oa::kToggleDown, 0, kRow1, true),
    Switch(oa::kToggleUp, 0, kRow1, true),
    Switch(oa::kToggleDown, 1, kRow1, false),  // 0x04
    Switch(oa::kToggleUp, 1, kRow1, false),
    Switch(oa::kToggleDown, 1, kRow1, true),
    Switch(oa::kToggleUp, 1, kRow1, true),
    Switch(oa::kToggleDown, 2, kRow1, false),  // 0x00
    Switch(oa::kToggleUp, 2, kRow1, false),
    Switch(oa::kToggleDown, 2, kRow1, true),
    Switch(oa::kToggleUp, 2, kRow1, true),
    Switch(oa::kToggleDown, 0, kRow2, false),  // 0x1C
    Switch(oa::kToggleUp, 0, kRow2, false),
    Switch(oa::kToggleDown, 0, kRow2, true),
    Switch(oa::kToggleUp, 0, kRow2, true),
    Switch(oa::kToggleDown, 1, kRow2, false),  // 0x18
    Switch(oa::kToggleUp, 1, kRow2, false),
    Switch(oa::kToggleDown, 1, kRow2, true),
    Switch(oa::kToggleUp, 1, kRow2, true),
    Switch(oa::kToggleDown, 2, kRow2, false),  // 0x20
    Switch(oa::kToggleUp, 2, kRow2, false),
    Switch(oa::kToggleDown, 2, kRow2, true),
    Switch(oa::kToggleUp, 2, kRow2, true),
    Switch(oa::kToggleDown, 3, kRow2, false),  // 0x24
    Switch(oa::kToggleUp, 3, kRow2, false),
    Switch(oa::kToggleDown, 3, kRow2, true),
    Switch(oa::kToggleUp, 3, kRow2, true),
    Switch(oa::kToggleDown, 4, kRow2, false),  // 0x0C
    Switch(oa::kToggleUp, 4, kRow2, false),
    Switch(oa::kToggleDown, 4, kRow2, true),
    Switch(oa::kToggleUp, 4, kRow2, true),
    {oa::kExtPowerLamp, 160, kRow1 + 6, kStartHidden},
};

constexpr ImageSpec kAcSpec[29] = {
    {oa::kAcPlate, 0, 0, 0},
    Switch(oa::kToggleDown, 0, kRow1, false),  // 0xD9
    Switch(oa::kToggleUp, 0, kRow1, false),
    {oa::kAcPlate, 0, 0, kLitCopy},
    Switch(oa::kToggleDown, 0, kRow1, true),
    Switch(oa::kToggleUp, 0, kRow1, true),
    Switch(oa::kToggleDown, 1, kRow1, false),  // 0xBD
    Switch(oa::kToggleUp, 1, kRow1, false),
    Switch(oa::kToggleDown, 1, kRow1, true),
    Switch(oa::kToggleUp, 1, kRow1, true),
    Switch(oa::kToggleUp, 2, kRow1, false),      // A unlit
    Switch(oa::kToggleCentre, 2, kRow1, false),  // C unlit
    Switch(oa::kToggleDown, 2, kRow1, false),    // B unlit
    Switch(oa::kToggleUp, 2, kRow1, true),       // A lit
    Switch(oa::kToggleCentre, 2, kRow1, true),   // C lit
    Switch(oa::kToggleDown, 2, kRow1, true),     // B lit
    Switch(oa::kToggleDown, 0, kRow2, false),    // 0xC1
    Switch(oa::kToggleUp, 0, kRow2, false),
    Switch(oa::kToggleDown, 0, kRow2, true),
    Switch(oa::kToggleUp, 0, kRow2, true),
    Switch(oa::kToggleDown, 1, kRow2, false),  // 0xD5
    Switch(oa::kToggleUp, 1, kRow2, false),
    Switch(oa::kToggleDown, 1, kRow2, true),
    Switch(oa::kToggleUp, 1, kRow2, true),
    Switch(oa::kToggleDown, 2, kRow2, false),  // 0xD1
    Switch(oa::kToggleUp, 2, kRow2, false),
    Switch(oa::kToggleDown, 2, kRow2, true),
    Switch(oa::kToggleUp, 2, kRow2, true),
    {oa::kExtPowerLamp, 160, kRow1 + 6, kStartHidden},
};

constinit ImageChain<35> gBattery = MakeImageChain(&gBattery, kBatterySpec);
constinit ImageChain<29> gAc = MakeImageChain(&gAc, kAcSpec);

gauge::GaugeHeader* gBatteryHeader = nullptr;
gauge::GaugeHeader* gAcHeader = nullptr;
uint8_t gBatteryIsVc = 0;
uint8_t gAcIsVc = 0;

gauge::ElementHeader* BatteryFirst() {
    return &gBattery.e[0];
}
gauge::ElementHeader* AcFirst() {
    return &gAc.e[0];
}

// Shows the image of the switch's position, lit or unlit, and hides its
// other images; the first switch also shows the lit background while lit.
void ShowSwitch(gauge::ElementHeader* first, const TwoWaySwitch& s, bool lit, bool carries_bg) {
    const bool on = s.field.get() == 255;
    const int8_t set[4] = {s.off_unlit, s.on_unlit, s.off_lit, s.on_lit};
    const int8_t shown = lit ? (on ? s.on_lit : s.off_lit) : (on ? s.on_unlit : s.off_unlit);
    ShowOneOf(first, set, 4, shown);
    if (carries_bg) ShowElement(first, kLitBackground, lit);
}

void ShowAuxInverter(bool lit) {
    int8_t set[6];
    int32_t shown = -1;
    for (int i = 0; i < 3; ++i) {
        set[2 * i] = kAuxInverter[i].unlit;
        set[2 * i + 1] = kAuxInverter[i].lit;
        if (kAuxInverter[i].field.get() == 255 && shown < 0) {
            shown = lit ? kAuxInverter[i].lit : kAuxInverter[i].unlit;
        }
    }
    ShowOneOf(AcFirst(), set, 6, shown);
}

bool BatteryLit() {
    return PanelLit(PanelLightingCircuit1.get(), gBatteryIsVc);
}
bool AcLit() {
    return PanelLit(PanelLightingCircuit1.get(), gAcIsVc);
}

// Flips a two-position switch (255 becomes 0, anything else 255) and shows
// the new position.
void FlipSwitch(gauge::ElementHeader* first, const TwoWaySwitch& s, bool lit, bool carries_bg) {
    s.field.set(s.field.get() == 255 ? 0 : 255);
    ShowSwitch(first, s, lit, carries_bg);
}

// Steps the auxiliary inverter selector A -> B -> C -> A; nothing when
// none of the three is on.
void StepAuxInverter() {
    for (int i = 0; i < 3; ++i) {
        if (kAuxInverter[i].field.get() == 255) {
            kAuxInverter[i].field.set(0);
            kAuxInverter[(i + 1) % 3].field.set(255);
            break;
        }
    }
    ShowAuxInverter(AcLit());
}

template <const TwoWaySwitch& S, SoundSetIndex Sound, bool CarriesBg>
int32_t BatterySwitchClick(gauge::Point*, uint32_t) {
    if (&S == &kAuxBattery) SendKeyEvent(kBatterySwitchKeyEvent, 1);
    ArmRefresh(kRefreshOverhead);
    FlipSwitch(BatteryFirst(), S, BatteryLit(), CarriesBg);
    PlayClick(&SoundSet[Sound], kBatteryPan);
    if (&S == &kDcReset) ArmRefresh(kRefreshOverhead, kResetHoldCount);
    return 0;
}

template <const TwoWaySwitch& S, bool CarriesBg>
int32_t AcSwitchClick(gauge::Point*, uint32_t) {
    ArmRefresh(kRefreshOverhead);
    FlipSwitch(AcFirst(), S, AcLit(), CarriesBg);
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kAcPan);
    return 0;
}

int32_t AuxInverterClick(gauge::Point*, uint32_t) {
    ArmRefresh(kRefreshOverhead);
    StepAuxInverter();
    PlayClick(&SoundSet[kSoundClickSwitchSmall], kAcPan);
    return 0;
}

// The refresh's countdown step: group 0 and refresh-all, each counted down
// while it runs; true when either ran.
bool OverheadRefreshStep() {
    const bool group = RefreshGroupStep(kRefreshOverhead);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    return group || all;
}

VisibilityMemo gBatteryMemo;
VisibilityMemo gAcMemo;

void BatteryPanelRefresh() {
    gauge::ElementHeader* first = BatteryFirst();
    const bool lit = BatteryLit();
    RepaintKeyBuilder key;
    key.Add(lit).Add(ExternalDcLampShown());
    for (const TwoWaySwitch* s : {&kAuxBattery, &kBatteryMaster, &kMainBattery, &kDcGen1, &kDcGen2,
                                  &kBusTie, &kDcReset, &kExternalDc}) {
        key.Add(s->field.get());
    }
    if (!VisibilityStale(gBatteryMemo, first, key.Key())) return;
    ShowSwitch(first, kAuxBattery, lit, true);
    ShowSwitch(first, kBatteryMaster, lit, false);
    ShowSwitch(first, kMainBattery, lit, false);
    ShowSwitch(first, kDcGen1, lit, false);
    ShowSwitch(first, kDcGen2, lit, false);
    ShowSwitch(first, kBusTie, lit, false);
    ShowSwitch(first, kDcReset, lit, false);
    ShowSwitch(first, kExternalDc, lit, false);
    ShowElement(first, kBatteryLamp, ExternalDcLampShown());
    VisibilityKept(gBatteryMemo, first, key.Key());
}

void AcPanelRefresh() {
    gauge::ElementHeader* first = AcFirst();
    const bool lit = AcLit();
    RepaintKeyBuilder key;
    key.Add(lit).Add(ExternalAcLampShown());
    for (const TwoWaySwitch* s :
         {&kExternalAc, &kPrimaryInverter, &kSecondaryInverter, &kAcGen1, &kAcGen2}) {
        key.Add(s->field.get());
    }
    for (const ThreeWayImages& a : kAuxInverter) key.Add(a.field.get());
    if (!VisibilityStale(gAcMemo, first, key.Key())) return;
    ShowSwitch(first, kExternalAc, lit, true);
    ShowSwitch(first, kPrimaryInverter, lit, false);
    ShowAuxInverter(lit);
    ShowSwitch(first, kSecondaryInverter, lit, false);
    ShowSwitch(first, kAcGen1, lit, false);
    ShowSwitch(first, kAcGen2, lit, false);
    ShowElement(first, kAcLamp, ExternalAcLampShown());
    VisibilityKept(gAcMemo, first, key.Key());
}

constexpr gauge::MouseRect SwitchRect(int column, int16_t row, gauge::MouseHandler h) {
    return MouseChild(Column(column) - 6, row - 4, oa::kToggleW + 12, oa::kToggleH + 8, kCursorHand,
                      kClick, h);
}

}  // namespace

bool ExternalDcLampShown() {
    return (ExternalDcSwitch.get() == 255 && ExternalDcVoltage.get() > 20) ||
           (AnnunciatorTestSwitch.get() == 2 && Powered(BusPowered.get(kPoweredRightEssential)));
}

bool ExternalAcLampShown() {
    const uint32_t both = static_cast<uint32_t>(ExternalAcSwitch.get()) &
                          static_cast<uint32_t>(ExternalAcVoltage.get());
    return static_cast<int32_t>(both) > 20 ||
           (AnnunciatorTestSwitch.get() == 2 && BusVolts.get(kRightEssentialBus) > 10);
}

void BatteryPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gBatteryHeader, gauge, service)) return;
    gBatteryIsVc = GaugeIsVcFrom(gauge);
    if (OverheadRefreshStep()) BatteryPanelRefresh();
}

void AcPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&gAcHeader, gauge, service)) return;
    gAcIsVc = GaugeIsVcFrom(gauge);
    if (OverheadRefreshStep()) AcPanelRefresh();
}

gauge::ElementHeader* battery_panelElementList[2] = {&gBattery.e[0], nullptr};
gauge::ElementHeader* ac_PanelElementList[2] = {&gAc.e[0], nullptr};

gauge::MouseRect battery_panelMouseRect[] = {
    MouseParent(oa::kElectricalSize.width, oa::kElectricalSize.height),
    SwitchRect(0, kRow1, BatterySwitchClick<kAuxBattery, kSoundClickSwitchSmall, true>),
    SwitchRect(1, kRow1, BatterySwitchClick<kMainBattery, kSoundClickSwitchSmall, false>),
    SwitchRect(2, kRow1, BatterySwitchClick<kBatteryMaster, kSoundClickSwitchLarge, false>),
    SwitchRect(0, kRow2, BatterySwitchClick<kDcGen1, kSoundClickSwitchSmall, false>),
    SwitchRect(1, kRow2, BatterySwitchClick<kDcGen2, kSoundClickSwitchSmall, false>),
    SwitchRect(2, kRow2, BatterySwitchClick<kBusTie, kSoundClickSwitchSmall, false>),
    SwitchRect(3, kRow2, BatterySwitchClick<kDcReset, kSoundClickSwitchSmall, false>),
    SwitchRect(4, kRow2, BatterySwitchClick<kExternalDc, kSoundClickSwitchSmall, false>),
    MouseEnd()};

gauge::MouseRect ac_PanelMouseRect[] = {
    MouseParent(oa::kElectricalSize.width, oa::kElectricalSize.height),
    SwitchRect(0, kRow1, AcSwitchClick<kExternalAc, true>),
    SwitchRect(1, kRow1, AcSwitchClick<kPrimaryInverter, false>),
    SwitchRect(2, kRow1, AuxInverterClick),
    SwitchRect(0, kRow2, AcSwitchClick<kSecondaryInverter, false>),
    SwitchRect(1, kRow2, AcSwitchClick<kAcGen1, false>),
    SwitchRect(2, kRow2, AcSwitchClick<kAcGen2, false>),
    MouseEnd()};

}  // namespace zu
