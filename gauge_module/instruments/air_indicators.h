// The air-system indicators: `DuctTemp` (duct temperature, its source
// chosen on the bleed-air panel), `CabAltSetIndicator` (the two setting
// dials of the pressurisation controller) and `PressComp_Diff`,
// `PressComp_Alt` and `PressComp_Rate` (cabin differential pressure,
// altitude and rate of climb). No mouse rectangles; refresh group 0.
//
// Elements of DuctTemp and the three PressComp gauges: 0 the lit face, 1
// the unlit face, 2 the unlit needle, 3 the lit needle. CabAltSetIndicator:
// 0 its face, 1/2 dial 1's needle unlit / lit, 3 the markings (lit bit),
// 4/5 dial 2's needle unlit / lit.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Values the needle callbacks smooth (start at 0): the three duct and zone
// temperatures the duct-temperature indicator can show (degrees C, held
// within 0..70) and the cabin rate (ft/min, held within +/-3000).
struct AirIndicatorRecord {
    float duct_temperature[3];  // sources 0, 1, 2 of TempIndicatorSelector
    float cabin_rate;
};
extern AirIndicatorRecord AirIndicators;

extern gauge::ElementHeader* DuctTempElementList[2];
extern gauge::ElementHeader* CabAltSetIndicatorElementList[2];
extern gauge::ElementHeader* PressComp_DiffElementList[2];
extern gauge::ElementHeader* PressComp_AltElementList[2];
extern gauge::ElementHeader* PressComp_RateElementList[2];
void AirIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void CabAltSetIndicatorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// The needle values (degrees clockwise from up).
double DuctTempNeedle(gauge::ElementHeader* element);
double CabAltSetDial1(gauge::ElementHeader* element);
double CabAltSetDial2(gauge::ElementHeader* element);
double CabinDiffNeedle(gauge::ElementHeader* element);
double CabinAltNeedle(gauge::ElementHeader* element);
double CabinRateNeedle(gauge::ElementHeader* element);

}  // namespace zu
