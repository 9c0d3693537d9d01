#include "panels/lighting_panels.h"

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/sound_objects.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t RightPanelLights[2] = {0, 0};
int32_t RightPanelSwitchLatch = 0;
LightsPanelRecord Lights_Panel = {0, 0, 0};

namespace {

namespace oa = overhead_art;

constexpr int32_t kLightsPanelPan = 100;
constexpr int32_t kRightPanelPan = 1000;
constexpr int32_t kExterior1Pan = 33;
constexpr int32_t kExterior2Pan = 233;
constexpr int32_t kCautionRefreshCount = 24;
constexpr int32_t kBrightnessReturnPasses = 3;

constexpr int16_t Column(int i) {
    return static_cast<int16_t>(16 + 36 * i);
}
constexpr int16_t kSwitchY = 52;

constexpr ImageSpec At(uint32_t art, int column, uint32_t flags = kStartHidden) {
    return {art, Column(column), kSwitchY, flags};
}

// --- Element lists. Each panel: its plate (backdrop), then 0 the lit
// plate and the switch images.

// Lights_Panel: 1/2/3 storm switch at 1/0/2, 4/5 level 255/0, 6/7 0x24D
// on/off, 8/9 0x251, 10/11 0x255, 12/13 0x259.
constexpr ImageSpec kLightsSpec[15] = {
    {oa::kLightsPlate, 0, 0, 0}, {oa::kLightsPlate, 0, 0, kLitCopy},
    At(oa::kToggleUp, 0),        At(oa::kToggleCentre, 0),
    At(oa::kToggleDown, 0),      At(oa::kToggleUp, 1),
    At(oa::kToggleDown, 1),      At(oa::kToggleUp, 2),
    At(oa::kToggleDown, 2),      At(oa::kToggleUp, 3),
    At(oa::kToggleDown, 3),      At(oa::kToggleUp, 4),
    At(oa::kToggleDown, 4),      At(oa::kToggleUp, 5),
    At(oa::kToggleDown, 5),
};
// Lights_rightpanel: 1/2/3 emergency lights at 0/1/2, 4/5 first toggle
// on/off, 6/7 second toggle on/off, 8/9/10 annunciator test at 2/0/1,
// 11/12/13 caution brightness switch at 1/0/2.
constexpr ImageSpec kRightSpec[15] = {
    {oa::kLightsRightPlate, 0, 0, 0},
    {oa::kLightsRightPlate, 0, 0, kLitCopy},
    At(oa::kToggleDown, 0),
    At(oa::kToggleCentre, 0),
    At(oa::kToggleUp, 0),
    At(oa::kToggleUp, 1),
    At(oa::kToggleDown, 1),
    At(oa::kToggleUp, 2),
    At(oa::kToggleDown, 2),
    At(oa::kToggleDown, 3),
    At(oa::kToggleCentre, 3),
    At(oa::kToggleUp, 3),
    At(oa::kToggleUp, 4),
    At(oa::kToggleCentre, 4),
    At(oa::kToggleDown, 4),
};
// Lights_exterior1_Panel: 1/2 0x2A1 on/off, 3/4 0x2A5, 5/6 0x2A9.
constexpr ImageSpec kExterior1Spec[8] = {
    {oa::kExterior1Plate, 0, 0, 0}, {oa::kExterior1Plate, 0, 0, kLitCopy},
    At(oa::kToggleUp, 0),           At(oa::kToggleDown, 0),
    At(oa::kToggleUp, 1),           At(oa::kToggleDown, 1),
    At(oa::kToggleUp, 2),           At(oa::kToggleDown, 2),
};
// Lights_exterior2_Panel: 1/2 0x291 on/off, 3/4/5 0x299 at 1/0/2, 6/7
// 0x29D on/off, 8/9 0x295 on/off.
constexpr ImageSpec kExterior2Spec[11] = {
    {oa::kExterior2Plate, 0, 0, 0}, {oa::kExterior2Plate, 0, 0, kLitCopy},
    At(oa::kToggleUp, 0),           At(oa::kToggleDown, 0),
    At(oa::kToggleCentre, 1),       At(oa::kToggleDown, 1),
    At(oa::kToggleUp, 1),           At(oa::kToggleUp, 2),
    At(oa::kToggleDown, 2),         At(oa::kToggleUp, 3),
    At(oa::kToggleDown, 3),
};
// Storm lights: 0 clear, 1 the wash.
constexpr ImageSpec kStormSpec[2] = {
    {oa::kClear, 0, 0, 0},
    {oa::kWash, 0, 0, kStartHidden},
};
// Gear inhibit: 0 lit plate, 1 switch on, 2 switch off, 3 guard closed,
// 4 guard open.
constexpr ImageSpec kGearInhibitSpec[6] = {
    {oa::kGearInhibitPlate, 0, 0, 0},      {oa::kGearInhibitPlate, 0, 0, kLitCopy},
    {oa::kToggleUp, 31, 30, kStartHidden}, {oa::kToggleDown, 31, 30, kStartHidden},
    {oa::kGuardClosed, 25, 25, 0},         {oa::kGuardOpen, 25, 14, kStartHidden},
};
// Nose-gear door: 0 cover open (frame), 1 cover closed, 2 handle stowed,
// 3 handle pulled.
constexpr ImageSpec kNoseDoorSpec[5] = {
    {oa::kNoseDoorPlate, 0, 0, 0},
    {oa::kGuardOpen, 51, 24, kStartHidden},
    {oa::kGuardClosed, 51, 36, 0},
    {oa::kHandle, 46, 46, kStartHidden},
    {oa::kHandlePulled, 46, 52, kStartHidden},
};

constinit ImageChain<15> gLights = MakeImageChain(&gLights, kLightsSpec);
constinit ImageChain<15> gRight = MakeImageChain(&gRight, kRightSpec);
constinit ImageChain<8> gExterior1 = MakeImageChain(&gExterior1, kExterior1Spec);
constinit ImageChain<11> gExterior2 = MakeImageChain(&gExterior2, kExterior2Spec);
constinit ImageChain<2> gStorm1 = MakeImageChain(&gStorm1, kStormSpec);
constinit ImageChain<2> gStorm2 = MakeImageChain(&gStorm2, kStormSpec);
constinit ImageChain<6> gGearInhibit = MakeImageChain(&gGearInhibit, kGearInhibitSpec);
constinit ImageChain<5> gNoseDoor = MakeImageChain(&gNoseDoor, kNoseDoorSpec);

struct PanelInstance {
    gauge::GaugeHeader* header;
    uint8_t is_vc;
};
PanelInstance gLightsGauge{};
PanelInstance gRightGauge{};
PanelInstance gExterior1Gauge{};
PanelInstance gExterior2Gauge{};
PanelInstance gGearInhibitGauge{};
PanelInstance gNoseDoorGauge{};
gauge::GaugeHeader* gStormHeader[2] = {nullptr, nullptr};

// The lit state of a panel: the lit plate (element 0) and the lit bit of
// its switch images.
void ApplyPanelLighting(gauge::ElementHeader* first, int32_t glowing_count, bool lit) {
    static constexpr int8_t kGlowing[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    ApplyLitBit(first, 0, kGlowing, glowing_count, lit);
}

bool On(EI32 field) {
    return field.get() != 0;
}

void ShowToggle(gauge::ElementHeader* first, bool on, int8_t on_image, int8_t off_image) {
    const int8_t set[2] = {on_image, off_image};
    ShowOneOf(first, set, 2, on ? on_image : off_image);
}

// A position switch: `images[p]` is the image of position p.
void ShowPosition(gauge::ElementHeader* first, int32_t position, const int8_t (&images)[3]) {
    ShowOneOf(first, images, 3, position >= 0 && position < 3 ? images[position] : -1);
}

// --- Lights_Panel.

gauge::ElementHeader* LightsFirst() {
    return &gLights.e[1];
}

void LightsPanelImages() {
    gauge::ElementHeader* first = LightsFirst();
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gLightsGauge.is_vc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(Lights_Panel.position).Add(Lights_Panel.level).Add(LightingSwitchA.get());
    key.Add(LightingSwitchB.get()).Add(LightingSwitchC.get()).Add(LightingSwitchD.get());
    if (!VisibilityStale(memo, first, key.Key())) return;
    ApplyPanelLighting(first, 13, lit);
    static constexpr int8_t kStorm[3] = {2, 1, 3};
    ShowPosition(first, Lights_Panel.position, kStorm);
    ShowToggle(first, Lights_Panel.level == 255, 4, 5);
    ShowToggle(first, On(LightingSwitchA), 6, 7);
    ShowToggle(first, On(LightingSwitchB), 8, 9);
    ShowToggle(first, On(LightingSwitchC), 10, 11);
    ShowToggle(first, On(LightingSwitchD), 12, 13);
    VisibilityKept(memo, first, key.Key());
}

void LightsPanelRefresh() {
    LightsPanelImages();
    if (Lights_Panel.position != Lights_Panel.shown_position) {
        ArmRefresh(kRefreshClocksCaution, kCautionRefreshCount);
        Lights_Panel.shown_position = Lights_Panel.position;
    }
}

template <int32_t Position>
int32_t StormSwitch(gauge::Point*, uint32_t) {
    Lights_Panel.position = Position;
    LightingSelectorF.set(Position == 0 ? 0 : 255);
    LightsPanelLevel.set(Position == 2 ? 255 : Lights_Panel.level);
    ClickAndArm(kSoundClickSwitchSmall, kLightsPanelPan, kRefreshLightsPanel);
    if (Position != 1) ArmRefresh(kRefreshClocksCaution, kCautionRefreshCount);
    return 0;
}

int32_t LevelToggle(gauge::Point*, uint32_t) {
    Lights_Panel.level = 255 - Lights_Panel.level;
    LightsPanelLevel.set(Lights_Panel.position == 2 ? 255 : Lights_Panel.level);
    ClickAndArm(kSoundClickSwitchSmall, kLightsPanelPan, kRefreshLightsPanel);
    return 0;
}

template <const EI32& Field>
int32_t LightingToggle(gauge::Point*, uint32_t) {
    Field.set(255 - Field.get());
    ClickAndArm(kSoundClickTiny, kLightsPanelPan, kRefreshLightsPanel);
    return 0;
}

// --- Lights_rightpanel.

gauge::ElementHeader* RightFirst() {
    return &gRight.e[1];
}

void BrightnessSpringReturn() {
    const int32_t left = CautionBrightnessReturn.get();
    if (left <= 0) return;
    if (left == 1) {
        CautionBrightnessSwitch.set(0);
        CautionBrightnessReturn.set(0);
    } else {
        CautionBrightnessReturn.set(left - 1);
    }
    RedrawRequest.store(255, std::memory_order_relaxed);
}

void RightPanelImages() {
    gauge::ElementHeader* first = RightFirst();
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gRightGauge.is_vc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(EmergencyLightsSwitch.get()).Add(RightPanelLights[0]);
    key.Add(RightPanelLights[1]).Add(AnnunciatorTestSwitch.get());
    key.Add(CautionBrightnessSwitch.get());
    if (!VisibilityStale(memo, first, key.Key())) return;
    ApplyPanelLighting(first, 12, lit);
    static constexpr int8_t kEmergency[3] = {1, 2, 3};
    ShowPosition(first, EmergencyLightsSwitch.get(), kEmergency);
    ShowToggle(first, RightPanelLights[0] != 0, 4, 5);
    ShowToggle(first, RightPanelLights[1] != 0, 6, 7);
    static constexpr int8_t kTest[3] = {9, 10, 8};
    ShowPosition(first, AnnunciatorTestSwitch.get(), kTest);
    static constexpr int8_t kBrightness[3] = {12, 11, 13};
    ShowPosition(first, CautionBrightnessSwitch.get(), kBrightness);
    VisibilityKept(memo, first, key.Key());
}

void RightPanelRefresh() {
    RightPanelImages();
    BrightnessSpringReturn();
    // The annunciator test cannot stay on without its supply.
    if (!Powered(BusPowered.get(kPoweredLeftEssential))) AnnunciatorTestSwitch.set(0);
}

int32_t RightClick() {
    ClickAndArm(kSoundClickSwitchSmall, kRightPanelPan, kRefreshOverhead);
    return 0;
}

template <int32_t Position>
int32_t EmergencyLights(gauge::Point*, uint32_t) {
    EmergencyLightsSwitch.set(Position);
    return RightClick();
}

template <int I>
int32_t RightToggle(gauge::Point*, uint32_t) {
    if (I == 1) RightPanelSwitchLatch = RightPanelLights[1] != 255 ? 1 : 0;
    RightPanelLights[I] = 255 - RightPanelLights[I];
    return RightClick();
}

void StopSound(SoundSetIndex sound) {
    if (SoundSet[sound].buffer != nullptr) platform::SoundBufferStop(SoundSet[sound].buffer);
}

template <int32_t Position>
int32_t AnnunciatorTest(gauge::Point*, uint32_t) {
    if (Position == 0) StopSound(kSoundElectricsInit);
    if (Position == 2) StopSound(kSoundApDisconnect);
    AnnunciatorTestSwitch.set(Position);
    return RightClick();
}

template <int32_t Position>
int32_t CautionBrightnessClick(gauge::Point*, uint32_t) {
    CautionBrightnessSwitch.set(Position);
    CautionBrightness.set(Position == 1 ? 255 : 0);
    CautionBrightnessReturn.set(kBrightnessReturnPasses);
    return RightClick();
}

// --- Exterior panels.

void Exterior1Refresh() {
    gauge::ElementHeader* first = &gExterior1.e[1];
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gExterior1Gauge.is_vc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(TaxiLightSwitch.get()).Add(LandingLightSwitch1.get());
    key.Add(LandingLightSwitch2.get());
    if (!VisibilityStale(memo, first, key.Key())) return;
    ApplyPanelLighting(first, 6, lit);
    ShowToggle(first, On(TaxiLightSwitch), 1, 2);
    ShowToggle(first, On(LandingLightSwitch1), 3, 4);
    ShowToggle(first, On(LandingLightSwitch2), 5, 6);
    VisibilityKept(memo, first, key.Key());
}

void Exterior2Refresh() {
    gauge::ElementHeader* first = &gExterior2.e[1];
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gExterior2Gauge.is_vc);
    static VisibilityMemo memo;
    RepaintKeyBuilder key;
    key.Add(lit).Add(StrobeLightSwitch.get()).Add(LightsPanelSwitch.get());
    key.Add(WingLightSwitch.get()).Add(NavBeaconSelector.get());
    if (!VisibilityStale(memo, first, key.Key())) return;
    ApplyPanelLighting(first, 9, lit);
    ShowToggle(first, On(StrobeLightSwitch), 1, 2);
    ShowToggle(first, On(LightsPanelSwitch), 8, 9);
    ShowToggle(first, On(WingLightSwitch), 6, 7);
    static constexpr int8_t kNavBeacon[3] = {4, 3, 5};
    ShowPosition(first, NavBeaconSelector.get(), kNavBeacon);
    VisibilityKept(memo, first, key.Key());
}

template <const EI32& Field, SoundSetIndex Sound>
int32_t Exterior1Toggle(gauge::Point*, uint32_t) {
    Field.set(255 - Field.get());
    ClickAndArm(Sound, kExterior1Pan, kRefreshOverhead);
    return 0;
}

template <const EI32& Field>
int32_t Exterior2Toggle(gauge::Point*, uint32_t) {
    Field.set(255 - Field.get());
    ClickAndArm(kSoundClickSwitchSmall, kExterior2Pan, kRefreshOverhead);
    return 0;
}

template <int32_t Position>
int32_t NavBeacon(gauge::Point*, uint32_t) {
    NavBeaconSelector.set(Position);
    ClickAndArm(kSoundClickSwitchSmall, kExterior2Pan, kRefreshOverhead);
    return 0;
}

// --- Gear inhibit and nose-gear door.

void GearInhibitRefresh() {
    gauge::ElementHeader* first = &gGearInhibit.e[1];
    ApplyPanelLighting(first, 4, PanelLightingCircuit1.get() != 0);
    if (GearInhibitGuard == 0) {
        ShowElement(first, 3, true);
        for (int8_t k : {1, 2, 4}) ShowElement(first, k, false);
    } else {
        ShowElement(first, 4, true);
        ShowElement(first, 3, false);
        ShowToggle(first, GearInhibitSwitch != 0, 1, 2);
    }
}

void NoseDoorRefresh() {
    gauge::ElementHeader* first = &gNoseDoor.e[1];
    const bool lit = PanelLit(PanelLightingCircuit1.get(), gNoseDoorGauge.is_vc);
    for (int8_t k = 0; k < 4; ++k) SetElementLit(first, k, lit);
    if (NoseGearAltDoorGuard == 0) {
        ShowElement(first, 1, true);
        for (int8_t k : {0, 2, 3}) ShowElement(first, k, false);
    } else {
        ShowElement(first, 0, true);
        ShowElement(first, 1, false);
        ShowToggle(first, AltGearState.nose_door == 0, 2, 3);
    }
    if (AltGearState.nose_door > 1) {
        --AltGearState.nose_door;
        RedrawRequest.store(255, std::memory_order_relaxed);
    }
}

// The update of the panels on group 0: count it down and refresh.
template <void (*Refresh)()>
void GroupZeroUpdate(PanelInstance* instance, gauge::GaugeHeader* gauge, int32_t service,
                     bool has_vc) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (!KeepHeader(&instance->header, gauge, service)) return;
    if (has_vc) instance->is_vc = GaugeIsVcFrom(gauge);
    if (RefreshGroupStep(kRefreshOverhead)) Refresh();
}

constexpr gauge::MouseRect Whole(int column, gauge::MouseHandler h) {
    return MouseChild(Column(column) - 6, kSwitchY - 4, 30, 42, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect Half(int column, int part, gauge::MouseHandler h) {
    return MouseChild(Column(column) - 6, kSwitchY - 4 + 21 * part, 30, 21, kCursorHand, kClick, h);
}
constexpr gauge::MouseRect Third(int column, int part, gauge::MouseHandler h) {
    return MouseChild(Column(column) - 6, kSwitchY - 4 + 14 * part, 30, 14, kCursorHand, kClick, h);
}

}  // namespace

void LightsPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (service == gauge::kServiceKill) return PanelKill();
    if (service == gauge::kServiceInstall) ArmRefresh(kRefreshLightsPanel);
    if (!KeepHeader(&gLightsGauge.header, gauge, service)) return;
    gLightsGauge.is_vc = GaugeIsVcFrom(gauge);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    const bool overhead = ConsumeTrigger(&RefreshCountdown[kRefreshOverhead]);
    if (all || overhead) ArmRefresh(kRefreshLightsPanel);
    if (RefreshGroupStep(kRefreshLightsPanel)) LightsPanelRefresh();
}

void LightsRightPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupZeroUpdate<RightPanelRefresh>(&gRightGauge, gauge, service, true);
}

void LightsExterior1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupZeroUpdate<Exterior1Refresh>(&gExterior1Gauge, gauge, service, true);
}

void LightsExterior2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupZeroUpdate<Exterior2Refresh>(&gExterior2Gauge, gauge, service, true);
}

void GearInhibitCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupZeroUpdate<GearInhibitRefresh>(&gGearInhibitGauge, gauge, service, false);
}

void NoseGearAltDoorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    GroupZeroUpdate<NoseDoorRefresh>(&gNoseDoorGauge, gauge, service, true);
}

void StormLightsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    ImageChain<2>& chain = gauge != nullptr && gauge->element_list != nullptr &&
                                   gauge->element_list[0] == &gStorm2.e[0]
                               ? gStorm2
                               : gStorm1;
    if (service == kServiceInitialise) {
        gStormHeader[&chain == &gStorm2 ? 1 : 0] = gauge;
        return;
    }
    if (service != gauge::kServiceUpdate && service != gauge::kServiceDraw) return;
    ConsumeTrigger(&RefreshCountdown[kRefreshEngineInstruments]);
    ShowElement(&chain.e[0], 1, StormLights.get() != 0);
}

gauge::ElementHeader* Lights_PanelElementList[2] = {&gLights.e[0], nullptr};
gauge::ElementHeader* Lights_rightpanelElementList[2] = {&gRight.e[0], nullptr};
gauge::ElementHeader* Lights_exterior1_PanelElementList[2] = {&gExterior1.e[0], nullptr};
gauge::ElementHeader* Lights_exterior2_PanelElementList[2] = {&gExterior2.e[0], nullptr};
gauge::ElementHeader* stormlights1ElementList[2] = {&gStorm1.e[0], nullptr};
gauge::ElementHeader* stormlights2ElementList[2] = {&gStorm2.e[0], nullptr};
gauge::ElementHeader* GearInhibitElementList[2] = {&gGearInhibit.e[0], nullptr};
gauge::ElementHeader* NoseGearAltDoorElementList[2] = {&gNoseDoor.e[0], nullptr};

gauge::MouseRect Lights_PanelMouseRect[] = {
    MouseParent(oa::kLightsSize.width, oa::kLightsSize.height),
    Third(0, 0, StormSwitch<1>),
    Third(0, 1, StormSwitch<0>),
    Third(0, 2, StormSwitch<2>),
    Whole(1, LevelToggle),
    Whole(2, LightingToggle<LightingSwitchA>),
    Whole(3, LightingToggle<LightingSwitchB>),
    Whole(4, LightingToggle<LightingSwitchC>),
    Whole(5, LightingToggle<LightingSwitchD>),
    MouseEnd()};

gauge::MouseRect Lights_rightpanelMouseRect[] = {
    MouseParent(oa::kLightsSize.width, oa::kLightsSize.height),
    Third(0, 2, EmergencyLights<0>),
    Third(0, 1, EmergencyLights<1>),
    Third(0, 0, EmergencyLights<2>),
    Whole(1, RightToggle<0>),
    Whole(2, RightToggle<1>),
    Third(3, 0, AnnunciatorTest<1>),
    Third(3, 1, AnnunciatorTest<0>),
    Third(3, 2, AnnunciatorTest<2>),
    Half(4, 1, CautionBrightnessClick<2>),
    Half(4, 0, CautionBrightnessClick<1>),
    MouseEnd()};

gauge::MouseRect Lights_exterior1_PanelMouseRect[] = {
    MouseParent(oa::kExteriorSize.width, oa::kExteriorSize.height),
    Whole(0, Exterior1Toggle<TaxiLightSwitch, kSoundClickSwitchSmall>),
    Whole(1, Exterior1Toggle<LandingLightSwitch1, kSoundClickSwitchLarge>),
    Whole(2, Exterior1Toggle<LandingLightSwitch2, kSoundClickSwitchLarge>), MouseEnd()};

gauge::MouseRect Lights_exterior2_PanelMouseRect[] = {
    MouseParent(oa::kExteriorSize.width, oa::kExteriorSize.height),
    Whole(0, Exterior2Toggle<StrobeLightSwitch>),
    Whole(3, Exterior2Toggle<LightsPanelSwitch>),
    Whole(2, Exterior2Toggle<WingLightSwitch>),
    Third(1, 1, NavBeacon<1>),
    Third(1, 2, NavBeacon<0>),
    Third(1, 0, NavBeacon<2>),
    MouseEnd()};

}  // namespace zu
