// The hydraulic indicators: `Stby_hydr_pres` (standby pump pressures),
// `Main_hydr_pres` (system 1 and 2 pressures), `Brake_hydr_pres` (the
// parking-brake accumulator) and `Hydr_qty` (reservoir quantities). No
// mouse rectangles; refresh group 5.
//
// Each needle follows its scaled input by at most one unit per call of its
// element callback, starting from the value it showed last, and parks at
// its zero at once while its bus is unpowered.
//
// Elements: 0 the lit face, 1 the unlit face, 2/3 needle 1 unlit / lit,
// 4/5 needle 2 unlit / lit (two-needle gauges).
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The values the needles show, in scale units.
struct HydraulicIndicatorRecord {
    float standby[2];   // standby pressure / 40
    float system[2];    // system pressure / 35 (system 1 held at 100)
    float accumulator;  // accumulator pressure / 40
    float quantity[2];  // reservoir 1 x 40, reservoir 2 x 20
};
extern HydraulicIndicatorRecord HydraulicIndicators;

extern gauge::ElementHeader* Stby_hydr_presElementList[2];
extern gauge::ElementHeader* Main_hydr_presElementList[2];
extern gauge::ElementHeader* Brake_hydr_presElementList[2];
extern gauge::ElementHeader* Hydr_qtyElementList[2];
void HydraulicIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The needle values (degrees), one step of their followers each call.
double StbyHydrNeedle1(gauge::ElementHeader* element);
double StbyHydrNeedle2(gauge::ElementHeader* element);
double MainHydrNeedle1(gauge::ElementHeader* element);
double MainHydrNeedle2(gauge::ElementHeader* element);
double BrakeHydrNeedle(gauge::ElementHeader* element);
double HydrQtyNeedle1(gauge::ElementHeader* element);
double HydrQtyNeedle2(gauge::ElementHeader* element);

}  // namespace zu
