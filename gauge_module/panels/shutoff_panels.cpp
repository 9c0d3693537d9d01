#include "panels/shutoff_panels.h"

#include <cmath>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/sound_objects.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/system_panels_art.h"

namespace zu {

namespace {

namespace sa = system_panels_art;

constexpr int32_t kHoldCount = 25;
constexpr int32_t kRollPan = 682;
constexpr int32_t kRuddersPan = 1365;
constexpr int32_t kPusherPan = -500;
constexpr float kSurfaceDeflected = 0.012f;
constexpr float kLegend3BelowKnots = 140.0f;

constexpr TextStyle kLegendStyle{"Arial", 8, 0x0000B4FFu, 0x00000000u, 1};
constexpr uint32_t kLegendFlags = gauge::kImageTransparent | gauge::kImageLuminous;

bool AnnunciatorPower() {
    return Powered(BusPowered.get(kPoweredRightEssential));
}

void WriteLegend(gauge::ElementHeader* e, const char* text) {
    CopyText(StringBuffer(e), kStringBufferSize, text);
}

// A shut-off panel: backdrop, lit captions, N legends over the switches.
template <int N>
struct ShutoffElements {
    gauge::ElementHeader plate;
    gauge::ElementHeader lit;
    gauge::StringElement legend[N];
    gauge::ElementHeader* next[N + 2][2];
};

template <int N>
constexpr ShutoffElements<N> MakeShutoff(ShutoffElements<N>* self, uint32_t plate, uint32_t lit,
                                         int16_t width, uint32_t legend_flags,
                                         const gauge::ElementCallback (&cb)[N]) {
    ShutoffElements<N> p{};
    p.plate = StaticImageRecord(plate, 0, 0, 0, self->next[0]);
    p.lit = StaticImageRecord(lit, 0, 0, kLitCopy, self->next[1]);
    const int16_t pitch = static_cast<int16_t>(width / N);
    for (int i = 0; i < N; ++i) {
        p.legend[i] = TextRecord(pitch * i + pitch / 2 - 11, 22, 22, 14, kLegendStyle, legend_flags,
                                 self->next[2 + i], cb[i]);
    }
    p.next[0][0] = &self->lit;
    p.next[1][0] = &self->legend[0].header;
    for (int i = 0; i + 1 < N; ++i) p.next[2 + i][0] = &self->legend[i + 1].header;
    p.next[N + 1][0] = nullptr;
    return p;
}

constexpr gauge::ElementCallback kRollCb[2] = {ShutoffLegendOffLeft, ShutoffLegendOffRight};
constexpr gauge::ElementCallback kRuddersCb[4] = {PushOffLegend, PushOffLegend, PushOffLegend,
                                                  PushOffLegend};
constexpr gauge::ElementCallback kPusherCb[1] = {PushOffLegend};

constinit ShutoffElements<2> gRoll = MakeShutoff(&gRoll, sa::kRollShutoffPlate, sa::kRollShutoffLit,
                                                 sa::kRollShutoffSize.width, kLegendFlags, kRollCb);
constinit ShutoffElements<4> gRudders =
    MakeShutoff(&gRudders, sa::kRuddersShutoffPlate, sa::kRuddersShutoffLit,
                sa::kRuddersShutoffSize.width, kLegendFlags | kStartHidden, kRuddersCb);
constinit ShutoffElements<1> gPusher =
    MakeShutoff(&gPusher, sa::kPusherShutoffPlate, sa::kPusherShutoffLit,
                sa::kPusherShutoffSize.width, kLegendFlags | kStartHidden, kPusherCb);

gauge::GaugeHeader* gRollHeader = nullptr;
gauge::GaugeHeader* gRuddersHeader = nullptr;
gauge::GaugeHeader* gPusherHeader = nullptr;
uint8_t gRollIsVc = 0;
uint8_t gRuddersIsVc = 0;
uint8_t gPusherIsVc = 0;

// --- Visibility.

// Only the virtual-cockpit instance of this panel shows its lit captions.
void RollSpoilersVisibility() {
    ShowElement(&gRoll.lit, 0, PanelLightingCircuit3.get() != 0 && gRollIsVc != 0);
}

bool Failed(int index) {
    return FlightSurfacesInstructorStates[index] != 0;
}

void RuddersVisibility() {
    const ElementList list(&gRudders.lit);
    ShowElement(list, 0, PanelLit(PanelLightingCircuit4.get(), gRuddersIsVc));
    for (int k = 1; k <= 4; ++k) ShowElement(list, k, false);
    if (!AnnunciatorPower()) return;
    const bool deflected = std::fabs(ControlSurfacePositions[0]) > kSurfaceDeflected;
    ShowElement(list, 1, (FlightSurfacesInstructorStates[2] & 1) != 0 && RuddersShutoffA[0] == 0);
    if ((Failed(9) || Failed(10)) && deflected && RuddersShutoffB[0] == 0) {
        ShowElement(list, 2, true);
        ArmRefresh(kRefreshSelectors, kHoldCount);
    }
    if ((Failed(7) || Failed(8)) && IndicatedAirspeed < kLegend3BelowKnots && deflected &&
        RuddersShutoffB[1] == 0) {
        ShowElement(list, 3, true);
        ArmRefresh(kRefreshSelectors, kHoldCount);
    }
    ShowElement(list, 4, Failed(2) && RuddersShutoffA[1] == 0);
}

void PusherVisibility() {
    const ElementList list(&gPusher.lit);
    ShowElement(list, 0, PanelLit(PanelLightingCircuit4.get(), gPusherIsVc));
    ShowElement(list, 1, AnnunciatorPower() && StickPusherShutoff != 0);
}

// --- Handlers.

template <int Side>
int32_t RollClick(gauge::Point*, uint32_t) {
    HydraulicShutoff[Side] = static_cast<uint8_t>(255 - HydraulicShutoff[Side]);
    ClickAndArm(kSoundClickTiny, kRollPan, kRefreshHydraulics, kHoldCount);
    return 0;
}

void Invert(uint8_t* byte) {
    *byte = *byte == 0 ? 1 : 0;
}

template <int Switch>
int32_t RuddersClick(gauge::Point*, uint32_t) {
    static constexpr uint8_t* kByte[4] = {&RuddersShutoffA[0], &RuddersShutoffB[0],
                                          &RuddersShutoffB[1], &RuddersShutoffA[1]};
    Invert(kByte[Switch]);
    ClickAndArm(kSoundClickTiny, kRuddersPan, kRefreshSelectors, kHoldCount);
    return 0;
}

int32_t PusherClick(gauge::Point*, uint32_t) {
    Invert(&StickPusherShutoff);
    ClickAndArm(kSoundClickTiny, kPusherPan, kRefreshSelectors, kHoldCount);
    return 0;
}

constexpr gauge::MouseRect SwitchRect(int16_t width, int n, int i, gauge::MouseHandler handler) {
    const int16_t pitch = static_cast<int16_t>(width / n);
    return MouseChild(pitch * i + pitch / 2 - 14, 12, 28, 36, kCursorHand, kClick, handler);
}

// The update service shared by the three: the refresh-all trigger re-arms
// the group, whose countdown then runs the panel's visibility.
bool PanelUpdate(gauge::GaugeHeader** keep, uint8_t* is_vc, gauge::GaugeHeader* gauge,
                 int32_t service, int32_t group) {
    if (service == gauge::kServiceKill) {
        PanelKill();
        return false;
    }
    if (service == gauge::kServiceInstall) ArmRefresh(group, kHoldCount);
    if (!KeepHeader(keep, gauge, service)) return false;
    *is_vc = GaugeIsVcFrom(gauge);
    if (ConsumeTrigger(&RefreshCountdown[kRefreshAll])) ArmRefresh(group, kHoldCount);
    return RefreshGroupStep(group);
}

}  // namespace

double ShutoffLegendOffLeft(gauge::ElementHeader* e) {
    WriteLegend(e, AnnunciatorPower() && HydraulicShutoff[0] != 0 ? "OFF" : "");
    return 0.0;
}

double ShutoffLegendOffRight(gauge::ElementHeader* e) {
    WriteLegend(e, AnnunciatorPower() && HydraulicShutoff[1] != 0 ? "OFF" : "");
    return 0.0;
}

double PushOffLegend(gauge::ElementHeader* e) {
    WriteLegend(e, "PUSH OFF");
    return 0.0;
}

gauge::ElementHeader* RollSpoilersShutoffFirst() {
    return &gRoll.lit;
}
gauge::ElementHeader* RuddersShutoffFirst() {
    return &gRudders.lit;
}
gauge::ElementHeader* StickPusherShutoffFirst() {
    return &gPusher.lit;
}

gauge::ElementHeader* Roll_spoilers_shutoffElementList[2] = {&gRoll.plate, nullptr};
gauge::ElementHeader* Rudders_shutoffElementList[2] = {&gRudders.plate, nullptr};
gauge::ElementHeader* StickPusher_shutoffElementList[2] = {&gPusher.plate, nullptr};

gauge::MouseRect Roll_spoilers_shutoffMouseRect[] = {
    MouseParent(sa::kRollShutoffSize.width, sa::kRollShutoffSize.height),
    SwitchRect(sa::kRollShutoffSize.width, 2, 0, RollClick<0>),
    SwitchRect(sa::kRollShutoffSize.width, 2, 1, RollClick<1>), MouseEnd()};

gauge::MouseRect Rudders_shutoffMouseRect[] = {
    MouseParent(sa::kRuddersShutoffSize.width, sa::kRuddersShutoffSize.height),
    SwitchRect(sa::kRuddersShutoffSize.width, 4, 0, RuddersClick<0>),
    SwitchRect(sa::kRuddersShutoffSize.width, 4, 1, RuddersClick<1>),
    SwitchRect(sa::kRuddersShutoffSize.width, 4, 2, RuddersClick<2>),
    SwitchRect(sa::kRuddersShutoffSize.width, 4, 3, RuddersClick<3>),
    MouseEnd()};

gauge::MouseRect StickPusher_shutoffMouseRect[] = {
    MouseParent(sa::kPusherShutoffSize.width, sa::kPusherShutoffSize.height),
    SwitchRect(sa::kPusherShutoffSize.width, 1, 0, PusherClick), MouseEnd()};

void RollSpoilersShutoffCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (PanelUpdate(&gRollHeader, &gRollIsVc, gauge, service, kRefreshHydraulics)) {
        RollSpoilersVisibility();
    }
}

void RuddersShutoffCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (PanelUpdate(&gRuddersHeader, &gRuddersIsVc, gauge, service, kRefreshSelectors)) {
        RuddersVisibility();
    }
}

void StickPusherShutoffCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (PanelUpdate(&gPusherHeader, &gPusherIsVc, gauge, service, kRefreshSelectors)) {
        PusherVisibility();
    }
}

}  // namespace zu
