#include "instruments/air_indicators.h"

#include <algorithm>
#include <cmath>

#include "core/air_conditioning.h"
#include "core/electrical_system.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "instruments/gauge_framework.h"
#include "panels/bleed_air_panel.h"
#include "panels/panel_elements.h"
#include "panels/pressurisation_panel.h"
#include "panels/system_panels_art.h"

namespace zu {

AirIndicatorRecord AirIndicators = {};

namespace {

namespace sa = system_panels_art;

AirIndicatorRecord& V = AirIndicators;

constexpr float kDuctStep = 0.01f;
constexpr float kDuctMax = 70.0f;
constexpr float kRateStep = 10.0f;
constexpr float kRateLimitFpm = 3000.0f;
constexpr float kDiffMaxPsi = 6.0f;
constexpr float kDiffUnpoweredPsi = -0.3f;

// Cabin altitude (ft) to needle offset (degrees).
constexpr float kCabinAltTable[16] = {-1000, 0, 5000, 10000, 14000, 20000, 30000, 30000,
                                      0,     0, 82,   167,   200,   235,   260,   260};

bool Bus(BusPoweredByte b) {
    return Powered(BusPowered.get(b));
}

// --- Element lists.

struct DialElements {
    gauge::ElementHeader face[2];    // lit, unlit
    gauge::NeedleElement needle[2];  // unlit, lit
    gauge::ElementHeader* next[4][2];
};

constexpr DialElements MakeDial(DialElements* self, sa::Dial dial, gauge::ElementCallback cb) {
    DialElements g{};
    g.face[0] = StaticImageRecord(sa::FaceOf(dial, true), 0, 0, kLitCopy, self->next[0]);
    g.face[1] = StaticImageRecord(sa::FaceOf(dial, false), 0, 0, 0, self->next[1]);
    const gauge::Point pivot{sa::kNeedleSize.width / 2, sa::kNeedleSize.height - 6};
    const int32_t c = sa::kAirDialSize.width / 2;
    g.needle[0] = NeedleRecord(sa::kNeedle, c, c, pivot, 0, self->next[2], 0, cb);
    g.needle[1] = NeedleRecord(sa::kNeedleLit, c, c, pivot, kLitCopy, self->next[3], 0, cb);
    g.next[0][0] = &self->face[1];
    g.next[1][0] = &self->needle[0].header;
    g.next[2][0] = &self->needle[1].header;
    g.next[3][0] = nullptr;
    return g;
}

constinit DialElements gDuct = MakeDial(&gDuct, sa::kDialDuctTemp, DuctTempNeedle);
constinit DialElements gDiff = MakeDial(&gDiff, sa::kDialCabinDiff, CabinDiffNeedle);
constinit DialElements gAlt = MakeDial(&gAlt, sa::kDialCabinAlt, CabinAltNeedle);
constinit DialElements gRate = MakeDial(&gRate, sa::kDialCabinRate, CabinRateNeedle);

struct CabAltSetElements {
    gauge::ElementHeader face;
    gauge::NeedleElement dial1[2];  // unlit, lit
    gauge::ElementHeader marks;
    gauge::NeedleElement dial2[2];
    gauge::ElementHeader* next[6][2];
};

constexpr int16_t kSetDialX[2] = {21, 63};
constexpr int16_t kSetDialY = 24;

constexpr CabAltSetElements MakeCabAltSet(CabAltSetElements* self) {
    CabAltSetElements g{};
    g.face = StaticImageRecord(sa::FaceOf(sa::kDialCabAltSet, false), 0, 0, 0, self->next[0]);
    const gauge::Point pivot{sa::kSmallNeedleSize.width / 2, sa::kSmallNeedleSize.height - 4};
    g.dial1[0] = NeedleRecord(sa::kSmallNeedle, kSetDialX[0], kSetDialY, pivot, 0, self->next[1], 0,
                              CabAltSetDial1);
    g.dial1[1] = NeedleRecord(sa::kSmallNeedleLit, kSetDialX[0], kSetDialY, pivot, kLitCopy,
                              self->next[2], 0, CabAltSetDial1);
    g.marks = StaticImageRecord(sa::FaceOf(sa::kDialCabAltSet, true), 0, 0,
                                gauge::kImageTransparent, self->next[3]);
    g.dial2[0] = NeedleRecord(sa::kSmallNeedle, kSetDialX[1], kSetDialY, pivot, 0, self->next[4], 0,
                              CabAltSetDial2);
    g.dial2[1] = NeedleRecord(sa::kSmallNeedleLit, kSetDialX[1], kSetDialY, pivot, kLitCopy,
                              self->next[5], 0, CabAltSetDial2);
    g.next[0][0] = &self->dial1[0].header;
    g.next[1][0] = &self->dial1[1].header;
    g.next[2][0] = &self->marks;
    g.next[3][0] = &self->dial2[0].header;
    g.next[4][0] = &self->dial2[1].header;
    g.next[5][0] = nullptr;
    return g;
}

constinit CabAltSetElements gCabAltSet = MakeCabAltSet(&gCabAltSet);

gauge::GaugeHeader* gHeader = nullptr;
gauge::GaugeHeader* gCabAltSetHeader = nullptr;

// Lit face and needle with the panel lights, else the unlit ones.
void DialVisibility(gauge::ElementHeader* first) {
    static constexpr LitPair kPairs[2] = {{0, 1}, {3, 2}};
    ApplyLitPairs(first, kPairs, 2, PanelLightingCircuit1.get() != 0);
}

void CabAltSetVisibility(gauge::ElementHeader* first) {
    const bool lit = PanelLightingCircuit1.get() != 0;
    static constexpr LitPair kPairs[2] = {{2, 1}, {5, 4}};
    ApplyLitPairs(first, kPairs, 2, lit);
    SetElementLit(first, 3, lit);
}

// One step of each duct temperature toward its source, held within 0..70.
void SmoothDuctTemperatures() {
    const AirConditioningValuesRecord& a = AirConditioningValues;
    const float source[3] = {a.DuctTemperature[0], a.ZoneTemperature[0], a.DuctTemperature[1]};
    for (int i = 0; i < 3; ++i) {
        // A source that is not a number leaves the needle where it is.
        if (!std::isfinite(source[i])) continue;
        const float next = RateLimit(source[i], V.duct_temperature[i], kDuctStep);
        V.duct_temperature[i] = std::clamp(next, 0.0f, kDuctMax);
    }
}

}  // namespace

double DuctTempNeedle(gauge::ElementHeader*) {
    SmoothDuctTemperatures();
    if (!Bus(kPoweredRightSecondary)) return 180.0;
    const int32_t select = TempIndicatorSelector;
    const float t = V.duct_temperature[select == 0 ? 0 : select == 1 ? 1 : 2];
    return 193.0 + 2.1 * t;
}

double CabAltSetDial1(gauge::ElementHeader*) {
    return LandingFieldElevation * 0.026 + 153.0;
}

double CabAltSetDial2(gauge::ElementHeader*) {
    return (85.0 - CabinAltSetKnob) * 2.0;
}

double CabinDiffNeedle(gauge::ElementHeader*) {
    const float p = Bus(kPoweredRightMainDc)
                        ? std::clamp(PressurisationState.Differential, 0.0f, kDiffMaxPsi)
                        : kDiffUnpoweredPsi;
    return 248.0 + 48.0 * p;
}

double CabinAltNeedle(gauge::ElementHeader*) {
    if (!Bus(kPoweredLeftSecondary)) return 265.0 - 33.0;
    return 265.0 + TableLookup8(kCabinAltTable, PressurisationState2.CabinAltitude);
}

double CabinRateNeedle(gauge::ElementHeader*) {
    if (!Bus(kPoweredRightMainDc)) {
        V.cabin_rate = 0.0f;
        return 180.0;
    }
    const float rate = PressurisationState.Rate;
    if (std::isfinite(rate)) {
        const float next = RateLimit(rate, V.cabin_rate, kRateStep);
        V.cabin_rate = std::clamp(next, -kRateLimitFpm, kRateLimitFpm);
    }
    return 180.0 + V.cabin_rate * 0.045454547f;
}

gauge::ElementHeader* DuctTempElementList[2] = {&gDuct.face[0], nullptr};
gauge::ElementHeader* CabAltSetIndicatorElementList[2] = {&gCabAltSet.face, nullptr};
gauge::ElementHeader* PressComp_DiffElementList[2] = {&gDiff.face[0], nullptr};
gauge::ElementHeader* PressComp_AltElementList[2] = {&gAlt.face[0], nullptr};
gauge::ElementHeader* PressComp_RateElementList[2] = {&gRate.face[0], nullptr};

void AirIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gHeader, gauge, service)) return;
    if (RefreshGroupStep(kRefreshOverhead)) DialVisibility(FirstElement(gauge));
}

void CabAltSetIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    if (!KeepHeader(&gCabAltSetHeader, gauge, service)) return;
    if (RefreshGroupStep(kRefreshOverhead)) CabAltSetVisibility(FirstElement(gauge));
}

}  // namespace zu
