#include "panels/autopilot_panel.h"

#include <cstdlib>

#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/systems_tick.h"
#include "panels/guidance_panels_art.h"
#include "panels/panel_elements.h"

namespace zu {

int32_t ApTouchZone = 0;
int32_t ApTouchLastTick = 2;
int32_t ApTouchCountdown = 2;

namespace {

namespace ga = guidance_art;

constexpr int32_t kButtonPan = 682;
constexpr int32_t kKnobElement = 9;
constexpr int32_t kLampCount = 8;

// Element 0 the lit overlay, 1-8 the lamps, 9 the knob strip.
struct AutopilotElements {
    ImageChain<9> images;
    gauge::MovingImageElement knob;
    gauge::ElementHeader* knob_next[2];
};

double KnobStripOffset(gauge::ElementHeader*) {
    return ApKnobDisplayValue(ApKnob.load(std::memory_order_relaxed));
}

constexpr ImageSpec LampSpec(int lamp) {
    const ga::Box b = ga::ApLampBox(lamp);
    return {ga::kApLamp + static_cast<uint32_t>(lamp - 1), b.x, b.y, kLitCopy};
}

constexpr ImageSpec kApSpec[9] = {
    {ga::kApFaceLit, 0, 0, kLitCopy},
    LampSpec(1),
    LampSpec(2),
    LampSpec(3),
    LampSpec(4),
    LampSpec(5),
    LampSpec(6),
    LampSpec(7),
    LampSpec(8),
};

constexpr AutopilotElements MakeAutopilot(AutopilotElements* self) {
    AutopilotElements a{};
    a.images = MakeImageChain(&self->images, kApSpec, &self->knob.header);
    a.knob.header = {gauge::ElementType::MovingImage,
                     ga::kApKnobStrip,
                     {ga::kApKnobWindow.x, ga::kApKnobWindow.y - ga::kApKnobOverhang},
                     0,
                     self->knob_next,
                     0,
                     0.0,
                     nullptr};
    a.knob.mask_resource_id = ga::kApKnobMask;
    a.knob.y_callback = KnobStripOffset;
    a.knob.x_scale = 0.0;
    a.knob.y_scale = ga::kApKnobPixelsPerCount;
    a.knob_next[0] = nullptr;
    a.knob_next[1] = nullptr;
    return a;
}

constinit AutopilotElements gAutopilot = MakeAutopilot(&gAutopilot);
constinit AutopilotElements gAutopilotTouch = MakeAutopilot(&gAutopilotTouch);

gauge::GaugeHeader* gAutopilotHeader = nullptr;
gauge::GaugeHeader* gAutopilotTouchHeader = nullptr;
uint8_t gAutopilotIsVc = 0;

// Whether lamp k (1-8) is lit by the guidance's state.
bool LampCondition(int lamp) {
    const int32_t coupled = FgcSide1.coupled_side;
    const int32_t source = FgcSide1.nav_select_side;
    switch (lamp) {
        case 1:
            return FGC_comp_AP1_engaged != 0;
        case 2:
            return FGC_comp_AP2_engaged != 0;
        case 3:
            return FGC_comp_YD1_engaged != 0;
        case 4:
            return FGC_comp_YD2_engaged != 0;
        case 5:
            return (coupled & 1) != 0;
        case 6:
            return (coupled & 2) != 0;
        case 7:
            return (source & 1) != 0;
        case 8:
            return (source & 2) != 0;
        default:
            return false;
    }
}

void LampRoutine(gauge::ElementHeader* first, bool overlay_lit) {
    const ElementList list(first);
    ShowElement(list, 0, overlay_lit);
    for (int lamp = 1; lamp <= kLampCount; ++lamp) ShowElement(list, lamp, false);
    if (!Powered(BusPowered.get(kPoweredRightMainDc))) return;
    const bool test = AnnunciatorTestSwitch.get() == 2;
    for (int lamp = 1; lamp <= kLampCount; ++lamp) {
        if (test || LampCondition(lamp)) ShowElement(list, lamp, true);
    }
}

// Update service steps 2-4: the refresh-all countdown, the re-arming
// triggers, then the group's countdown with the lamp routine.
void AutopilotUpdate(gauge::ElementHeader* first, bool overlay_lit) {
    const bool refresh_all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (refresh_all || RemoteDisplayCountdown.load(std::memory_order_relaxed) != 0 ||
        HostPassChangeBits != 0) {
        ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
    }
    if (RefreshGroupStep(kRefreshSelectors)) LampRoutine(first, overlay_lit);
}

// Shared services; true when the caller has an update to do.
bool AutopilotService(gauge::GaugeHeader** keep, gauge::GaugeHeader* gauge, int32_t service) {
    switch (service) {
        case gauge::kServiceInstall:
            *keep = gauge;
            ArmRefresh(kRefreshSelectors, RefreshHoldCount2);
            return false;
        case gauge::kServiceKill:
            PanelKill();
            return false;
        default:
            return KeepHeader(keep, gauge, service);
    }
}

template <int Byte, bool Click>
int32_t RequestButton(gauge::Point*, uint32_t) {
    ApButtonRequest[Byte].store(1, std::memory_order_release);
    if (Click) PlayClick(&SoundSet[kSoundClickTiny], kButtonPan);
    ArmRefresh(kRefreshSelectors);
    return 0;
}

template <int Step>
int32_t KnobArea(gauge::Point*, uint32_t) {
    ApKnob.fetch_add(Step, std::memory_order_relaxed);
    ArmRefresh(kRefreshSelectors);
    return 0;
}

template <int Zone>
int32_t TouchZone(gauge::Point*, uint32_t) {
    ApTouchZoneMessage(Zone);
    return 0;
}

constexpr gauge::MouseRect Button(int index, gauge::MouseHandler handler) {
    const ga::Box b = ga::kApButtons[index].box;
    return MouseChild(b.x, b.y, b.width, b.height, kCursorHand, kClick, handler);
}

}  // namespace

void StepTouchKnob(int32_t step) {
    const int32_t now = static_cast<int32_t>(TickCounter.load(std::memory_order_relaxed));
    if (std::llabs(int64_t{now} - ApTouchLastTick) >= kApTouchQuickTicks) {
        ApTouchCountdown = kApTouchQuickTicks;
    } else if (ApTouchCountdown > 0) {
        --ApTouchCountdown;
    }
    ApTouchLastTick = now;
    ApKnob.fetch_add(ApTouchCountdown == 0 ? kApTouchFastStep * step : step,
                     std::memory_order_relaxed);
}

int32_t ApTouchZoneMessage(int32_t zone) {
    const int32_t last = ApTouchZone;
    int32_t step = 0;
    if (zone == last + 1) {
        step = -1;  // dragged down
    } else if (zone == last - 1) {
        step = 1;  // dragged up
    }
    ApTouchZone = zone;
    if (step != 0) StepTouchKnob(step);
    return step;
}

int32_t ApKnobDisplayValue(int32_t knob) {
    return knob % 64;  // C++ keeps the dividend's sign: -70 shows -6
}

void AutopilotCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!AutopilotService(&gAutopilotHeader, gauge, service)) return;
    gAutopilotIsVc = GaugeIsVcFrom(gauge);
    AutopilotUpdate(&gAutopilot.images.e[0], PanelLit(PanelLightingCircuit4.get(), gAutopilotIsVc));
}

void AutopilotTouchCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!AutopilotService(&gAutopilotTouchHeader, gauge, service)) return;
    AutopilotUpdate(&gAutopilotTouch.images.e[0], PanelLightingCircuit4.get() != 0);
}

gauge::ElementHeader* AutopilotElementList[2] = {&gAutopilot.images.e[0], nullptr};
gauge::ElementHeader* Autopilot_touchElementList[2] = {&gAutopilotTouch.images.e[0], nullptr};

#define ZU_AP_BUTTONS                                                            \
    Button(0, RequestButton<0, true>), Button(1, RequestButton<1, true>),        \
        Button(2, RequestButton<2, false>), Button(3, RequestButton<3, false>),  \
        Button(4, RequestButton<6, true>), Button(5, RequestButton<9, true>),    \
        Button(6, RequestButton<12, true>), Button(7, RequestButton<7, true>),   \
        Button(8, RequestButton<10, true>), Button(9, RequestButton<13, true>),  \
        Button(10, RequestButton<8, true>), Button(11, RequestButton<11, true>), \
        Button(12, RequestButton<14, true>), Button(13, RequestButton<4, true>), \
        Button(14, RequestButton<5, true>)

gauge::MouseRect AutopilotMouseRect[] = {
    MouseParent(ga::kApSize.width, ga::kApSize.height), ZU_AP_BUTTONS,
    MouseChild(135, 0, 36, 47, kCursorIncrease, kHeldClick, KnobArea<1>),
    MouseChild(135, 47, 36, 47, kCursorDecrease, kHeldClick, KnobArea<-1>), MouseEnd()};

gauge::MouseRect Autopilot_touchMouseRect[] = {
    MouseParent(ga::kApSize.width, ga::kApSize.height),
    ZU_AP_BUTTONS,
    MouseChild(132, -13, 30, 30, kCursorHand, kTouchZone, TouchZone<0>),
    MouseChild(132, 17, 30, 30, kCursorHand, kTouchZone, TouchZone<1>),
    MouseChild(132, 47, 30, 30, kCursorHand, kTouchZone, TouchZone<2>),
    MouseChild(132, 77, 30, 30, kCursorHand, kTouchZone, TouchZone<3>),
    MouseEnd()};

#undef ZU_AP_BUTTONS

}  // namespace zu
