#include "instruments/hydraulic_indicators.h"

#include <algorithm>

#include "core/electrical_system.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/system_panels_art.h"

namespace zu {

HydraulicIndicatorRecord HydraulicIndicators = {};

namespace {

namespace sa = system_panels_art;

HydraulicIndicatorRecord& V = HydraulicIndicators;

constexpr float kStep = 1.0f;
constexpr float kSystemCap = 100.0f;

bool Bus(BusPoweredByte b) {
    return Powered(BusPowered.get(b));
}

// One step of a follower toward `target`; 0 at once while unpowered.
float Follow(float* shown, bool powered, float target) {
    *shown = powered ? RateLimit(target, *shown, kStep) : 0.0f;
    return *shown;
}

// --- Element lists.

template <int Needles>
struct IndicatorElements {
    gauge::ElementHeader face[2];  // lit, unlit
    gauge::NeedleElement needle[2 * Needles];
    gauge::ElementHeader* next[2 + 2 * Needles][2];
};

template <int Needles>
constexpr IndicatorElements<Needles> MakeIndicator(IndicatorElements<Needles>* self, sa::Dial dial,
                                                   const gauge::ElementCallback (&cb)[Needles]) {
    IndicatorElements<Needles> g{};
    g.face[0] = StaticImageRecord(sa::FaceOf(dial, true), 0, 0, kLitCopy, self->next[0]);
    g.face[1] = StaticImageRecord(sa::FaceOf(dial, false), 0, 0, 0, self->next[1]);
    const gauge::Point pivot{sa::kNeedleSize.width / 2, sa::kNeedleSize.height - 6};
    const int32_t cx = sa::kDialSize.width / 2;
    const int32_t cy = sa::kDialSize.height / 2;
    for (int n = 0; n < 2 * Needles; ++n) {
        const bool lit = n % 2 == 1;
        g.needle[n] = NeedleRecord(lit ? sa::kNeedleLit : sa::kNeedle, cx, cy, pivot,
                                   lit ? kLitCopy : 0u, self->next[2 + n], 0, cb[n / 2]);
    }
    g.next[0][0] = &self->face[1];
    g.next[1][0] = &self->needle[0].header;
    for (int n = 0; n + 1 < 2 * Needles; ++n) g.next[2 + n][0] = &self->needle[n + 1].header;
    g.next[1 + 2 * Needles][0] = nullptr;
    return g;
}

constexpr gauge::ElementCallback kStbyCb[2] = {StbyHydrNeedle1, StbyHydrNeedle2};
constexpr gauge::ElementCallback kMainCb[2] = {MainHydrNeedle1, MainHydrNeedle2};
constexpr gauge::ElementCallback kBrakeCb[1] = {BrakeHydrNeedle};
constexpr gauge::ElementCallback kQtyCb[2] = {HydrQtyNeedle1, HydrQtyNeedle2};

constinit IndicatorElements<2> gStby = MakeIndicator(&gStby, sa::kDialStbyHydr, kStbyCb);
constinit IndicatorElements<2> gMain = MakeIndicator(&gMain, sa::kDialMainHydr, kMainCb);
constinit IndicatorElements<1> gBrake = MakeIndicator(&gBrake, sa::kDialBrakeHydr, kBrakeCb);
constinit IndicatorElements<2> gQty = MakeIndicator(&gQty, sa::kDialHydrQty, kQtyCb);

gauge::GaugeHeader* gHeader = nullptr;

// Lit face and needles with the engine-instrument lighting, else the unlit.
void HydraulicGaugeVisibility(gauge::ElementHeader* first) {
    static constexpr LitPair kPairs[3] = {{0, 1}, {3, 2}, {5, 4}};
    ApplyLitPairs(first, kPairs, 3, PanelLightingCircuit2.get() != 0);
}

}  // namespace

double StbyHydrNeedle1(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicsState.StandbyOutput[0] / 40);
    return Follow(&V.standby[0], Bus(kPoweredLeftSecondary), target) + 130.0;
}

double StbyHydrNeedle2(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicsState.StandbyOutput[1] / 40);
    return 50.0 - Follow(&V.standby[1], Bus(kPoweredRightSecondary), target);
}

double MainHydrNeedle1(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicsState.SystemPressure[0] / 35);
    Follow(&V.system[0], Bus(kPoweredLeftEssential), target);
    V.system[0] = std::min(V.system[0], kSystemCap);
    return V.system[0] + 130.0;
}

double MainHydrNeedle2(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicsState.SystemPressure[1] / 35);
    if (!Bus(kPoweredRightEssential)) {
        V.system[1] = 0.0f;
        return 50.0;
    }
    Follow(&V.system[1], true, target);
    if (V.system[1] > kSystemCap) {
        V.system[1] = kSystemCap;
        return -50.0;
    }
    return 50.0 - V.system[1];
}

double BrakeHydrNeedle(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicFluidState.Accumulator / 40);
    return Follow(&V.accumulator, Bus(kPoweredRightMainDc), target) + 130.0;
}

double HydrQtyNeedle1(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicsState.Reservoir[0] * 40.0);
    return Follow(&V.quantity[0], Bus(kPoweredLeftEssential), target) + 140.0;
}

double HydrQtyNeedle2(gauge::ElementHeader*) {
    const float target = static_cast<float>(HydraulicsState.Reservoir[1] * 20.0);
    return 40.0 - Follow(&V.quantity[1], Bus(kPoweredRightEssential), target);
}

gauge::ElementHeader* Stby_hydr_presElementList[2] = {&gStby.face[0], nullptr};
gauge::ElementHeader* Main_hydr_presElementList[2] = {&gMain.face[0], nullptr};
gauge::ElementHeader* Brake_hydr_presElementList[2] = {&gBrake.face[0], nullptr};
gauge::ElementHeader* Hydr_qtyElementList[2] = {&gQty.face[0], nullptr};

void HydraulicIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gHeader, gauge, service)) return;
    if (RefreshGroupStep(kRefreshHydraulics)) HydraulicGaugeVisibility(FirstElement(gauge));
}

}  // namespace zu
