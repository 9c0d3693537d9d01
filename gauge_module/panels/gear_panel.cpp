#include "panels/gear_panel.h"

#include <cstring>

#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/pedestal_art.h"

namespace zu {

int32_t GearWarningSwitchUp = 0;

double GearLeverValue(gauge::ElementHeader*) {
    return flight_controls_GEAR - 16383.0;
}

namespace {

using gauge::ElementHeader;
using gauge::SliderElement;
using gauge::StringElement;
namespace pa = pedestal_art;

constexpr uint32_t kEvtGearToggle = 0x10022;
constexpr uint32_t kGearToggleValue = 255;
constexpr uint8_t kWarningTestCount = 64;
constexpr int32_t kUpReturnCount = 3;
constexpr int32_t kLegendWrites = 4;
constexpr int32_t kLampTest = 2;

// The legends, in element order 4..12.
constexpr const char* kLegendText[9] = {"L DOOR", "N DOOR", "R DOOR", " LEFT ", " NOSE ",
                                        " RIGHT", " LEFT ", " NOSE ", " RIGHT"};
int32_t gLegendCalls[9] = {};
int32_t gDrawCalls = 0;
int32_t gUpReturn = 0;
uint8_t gIsVc = 0;
gauge::GaugeHeader* gHeader = nullptr;

// Each legend writes its fixed text on its first four calls.
template <int L>
double LegendText(ElementHeader* element) {
    if (gLegendCalls[L] < kLegendWrites) {
        ++gLegendCalls[L];
        char* buffer = StringBuffer(element);
        std::strncpy(buffer, kLegendText[L], kStringBufferSize - 1);
        buffer[kStringBufferSize - 1] = '\0';
    }
    return 1.0;
}

double Zero(ElementHeader*) {
    return 0.0;
}

constexpr SliderElement Lever(uint32_t resource, uint32_t flags, ElementHeader** next) {
    return {{gauge::ElementType::Slider,
             resource,
             {pa::kGearLeverX, pa::kGearLeverDownY},
             flags,
             next,
             0,
             0.0,
             Zero},
            GearLeverValue,
            0.0,
            pa::kGearLeverTravel / 16383.0,
            0.0,
            0.0};
}

constexpr uint32_t kLegendColour[3] = {0x0000B0FFu, 0x0040D040u, 0x002020E0u};
constexpr StringElement LegendRecord(int l, ElementHeader** next, gauge::ElementCallback callback) {
    const int row = l / 3;
    const pa::Box b = pa::GearLampBox(row, l % 3);
    const TextStyle style{"Arial", 9, kLegendColour[row], 0x00000000u, 1};
    return TextRecord(b.x, b.y, b.width, b.height, style,
                      gauge::kImageHidden | gauge::kImageTransparent | gauge::kImageLuminous, next,
                      callback);
}

constexpr ImageSpec kTailImages[5] = {
    {pa::kGearDoorOpen, pa::kGearDoorFlag.x, pa::kGearDoorFlag.y, kStartHidden},
    {pa::kGearDoorClosed, pa::kGearDoorFlag.x, pa::kGearDoorFlag.y, 0},
    {pa::kToggleUp, pa::kGearSwitch.x, pa::kGearSwitch.y + 5, kStartHidden},
    {pa::kToggleCentre, pa::kGearSwitch.x, pa::kGearSwitch.y + 5, 0},
    {pa::kToggleDown, pa::kGearSwitch.x, pa::kGearSwitch.y + 5, kStartHidden},
};

struct GearElements {
    ElementHeader plate;
    ElementHeader lit;
    SliderElement lever[3];
    StringElement legend[9];
    ImageChain<5> tail;
    ElementHeader* next[14][2];
};

constexpr GearElements MakeGear(GearElements* self) {
    GearElements p{};
    p.plate = StaticImageRecord(pa::kGearPlate, 0, 0, 0, self->next[0]);
    p.lit = StaticImageRecord(pa::kGearLit, 0, 0, kLitCopy, self->next[1]);
    p.lever[0] = Lever(pa::kGearLever, 0, self->next[2]);
    p.lever[1] = Lever(pa::kGearLever, kLitCopy, self->next[3]);
    p.lever[2] = Lever(pa::kGearLeverLight, kStartHidden | gauge::kImageLuminous, self->next[4]);
    p.legend[0] = LegendRecord(0, self->next[5], LegendText<0>);
    p.legend[1] = LegendRecord(1, self->next[6], LegendText<1>);
    p.legend[2] = LegendRecord(2, self->next[7], LegendText<2>);
    p.legend[3] = LegendRecord(3, self->next[8], LegendText<3>);
    p.legend[4] = LegendRecord(4, self->next[9], LegendText<4>);
    p.legend[5] = LegendRecord(5, self->next[10], LegendText<5>);
    p.legend[6] = LegendRecord(6, self->next[11], LegendText<6>);
    p.legend[7] = LegendRecord(7, self->next[12], LegendText<7>);
    p.legend[8] = LegendRecord(8, self->next[13], LegendText<8>);
    p.tail = MakeImageChain(&self->tail, kTailImages);
    p.next[0][0] = &self->lit;
    p.next[1][0] = &self->lever[0].header;
    p.next[2][0] = &self->lever[1].header;
    p.next[3][0] = &self->lever[2].header;
    p.next[4][0] = &self->legend[0].header;
    for (int i = 0; i < 8; ++i) p.next[5 + i][0] = &self->legend[i + 1].header;
    p.next[13][0] = &self->tail.e[0];
    return p;
}

constinit GearElements gGear = MakeGear(&gGear);

ElementHeader* First() {
    return &gGear.lit;
}

// Gear states as the sequence keeps them, by the panel's word numbers:
// per leg (left, nose, right) the in-transit flag and the disagree flag,
// then the nose-door word.
int32_t GearStateWord(int k) {
    if (k == 6) return GearStates.nose_door;
    const int leg = k / 2;
    return k % 2 == 0 ? GearStates.in_transit[leg] : GearStates.disagree[leg];
}

// The down-and-locked lights by caption; GearLegLight counts nose, left,
// right.
constexpr int kLegLightOf[3] = {1, 0, 2};

void Lighting() {
    ElementHeader* first = First();
    const bool lit = PanelLit(PanelLightingCircuit2.get(), gIsVc);
    ShowElement(first, 0, lit);
    ShowElement(first, 2, lit);
    ShowElement(first, 1, !lit);
    for (int k = 13; k <= 17; ++k) SetElementLit(first, k, lit);
}

void Lamps() {
    ElementHeader* first = First();
    const bool test = AnnunciatorTestSwitch.get() == kLampTest;
    const bool lever_bus = BusPowered.get(kPoweredLeftMainDc) != 0;
    const bool lamp_bus = BusPowered.get(kPoweredLeftEssential) != 0;
    auto lamp = [&](int k, bool bus, int32_t word) {
        ShowElement(first, k, bus && (test || word != 0));
    };
    lamp(3, lever_bus, GearStateWord(3));
    for (int column = 0; column < 3; ++column) {
        lamp(4 + column, lamp_bus, GearStateWord(2 * column));
        lamp(7 + column, lamp_bus, GearLegLight[kLegLightOf[column]]);
        lamp(10 + column, lamp_bus, GearStateWord(2 * column + 1));
    }
}

void Indicator() {
    const bool open = GearStateWord(6) != 0;
    ShowElement(First(), 13, open);
    ShowElement(First(), 14, !open);
}

void WarningSwitch() {
    static constexpr int8_t kSwitch[3] = {15, 16, 17};
    const int8_t shown = GearWarningTestCount != 0 ? 17 : GearWarningSwitchUp != 0 ? 15 : 16;
    ShowOneOf(First(), kSwitch, 3, shown);
}

// The up position shows for two evaluations and springs back to centre.
void UpReturn() {
    if (gUpReturn > 0) --gUpReturn;
    if (gUpReturn == 1) GearWarningSwitchUp = 0;
}

VisibilityMemo gGearMemo;

void Visibility() {
    RepaintKeyBuilder key;
    key.Add(PanelLightingCircuit2.get()).Add(gIsVc).Add(AnnunciatorTestSwitch.get());
    key.Add(BusPowered.get(kPoweredLeftMainDc)).Add(BusPowered.get(kPoweredLeftEssential));
    for (int k = 0; k <= 6; ++k) key.Add(GearStateWord(k));
    key.Add(GearLegLight).Add(GearWarningTestCount).Add(GearWarningSwitchUp);
    const bool stale = VisibilityStale(gGearMemo, First(), key.Key());
    if (stale) {
        Lighting();
        Lamps();
        Indicator();
        WarningSwitch();
    }
    UpReturn();
    if (!stale) return;
    if (gIsVc != 0) {
        for (int k = 1; k <= 3; ++k) ShowElement(First(), k, false);
    }
    VisibilityKept(gGearMemo, First(), key.Key());
}

void Update() {
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    } else if (ConsumeTrigger(&SystemTimers.first) || GearTransitCountdown != 0) {
        ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    }
    if (GearWarningTestCount != 0) ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    if (RefreshGroupStep(kRefreshRadios)) Visibility();
}

// The legends start dark: the first four draws after install hide them.
void Draw() {
    if (gDrawCalls >= kLegendWrites) return;
    ++gDrawCalls;
    for (int k = 4; k <= 12; ++k) ShowElement(First(), k, false);
}

int32_t LeverHandler(gauge::Point*, uint32_t) {
    SendKeyEvent(kEvtGearToggle, kGearToggleValue);
    return 0;
}

int32_t SwitchUpHandler(gauge::Point*, uint32_t) {
    gUpReturn = kUpReturnCount;
    GearWarningSwitchUp = 1;
    GearWarningTestCount = 0;
    PlayClickKeepPan(&SoundSet[kSoundClickSwitchSmall]);
    ArmRefresh(kRefreshRadios, RefreshHoldCount2);
    GearWarningRequest = 1;
    return 0;
}

int32_t SwitchCentreHandler(gauge::Point*, uint32_t) {
    GearWarningSwitchUp = 0;
    GearWarningTestCount = 0;
    PlayClickKeepPan(&SoundSet[kSoundClickSwitchSmall]);
    return 0;
}

int32_t SwitchDownHandler(gauge::Point*, uint32_t) {
    GearWarningSwitchUp = 0;
    GearWarningTestCount = kWarningTestCount;
    PlayClickKeepPan(&SoundSet[kSoundClickSwitchSmall]);
    return 0;
}

constexpr int32_t kThird = pa::kGearSwitch.height / 3;
constexpr gauge::MouseRect SwitchThird(int third, gauge::MouseHandler handler) {
    return MouseChild(pa::kGearSwitch.x - 4, pa::kGearSwitch.y + third * kThird,
                      pa::kGearSwitch.width + 8, kThird, kCursorHand, kClick, handler);
}

}  // namespace

gauge::ElementHeader* GearPanelFirst() {
    return First();
}

gauge::ElementHeader* GearElementList[2] = {&gGear.plate, nullptr};

gauge::MouseRect GearMouseRect[6] = {
    MouseParent(pa::kGearWidth, pa::kGearHeight),
    MouseChild(pa::kGearLeverZone.x, pa::kGearLeverZone.y, pa::kGearLeverZone.width,
               pa::kGearLeverZone.height, kCursorHand, kClick, LeverHandler),
    SwitchThird(0, SwitchUpHandler),
    SwitchThird(1, SwitchCentreHandler),
    SwitchThird(2, SwitchDownHandler),
    MouseEnd(),
};

void GearPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    switch (service) {
        case gauge::kServiceInstall:
            gHeader = gauge;
            for (int32_t& calls : gLegendCalls) calls = 0;
            gDrawCalls = 0;
            ArmRefresh(kRefreshRadios, RefreshHoldCount2);
            return;
        case kServiceInitialise:
        case gauge::kServiceKill:
            gHeader = gauge;
            return;
        case gauge::kServiceUpdate:
            gHeader = gauge;
            gIsVc = GaugeIsVcFrom(gauge);
            Update();
            return;
        case gauge::kServiceDraw:
            Draw();
            return;
        default:
            return;
    }
}

}  // namespace zu
