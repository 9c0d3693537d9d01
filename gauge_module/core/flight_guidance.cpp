#include "core/flight_guidance.h"

namespace zu {

int32_t FGC_comp_AP1_engaged = 0;
int32_t FGC_comp_AP2_engaged = 0;
int32_t FGC_comp_YD1_engaged = 0;
int32_t FgcCoupledSide = 1;
int32_t FGC_comp_FGC1_system_test_timer = 360;
int32_t FGC_comp_FGC2_system_test_timer = 360;

int32_t FGC_comp_DH_altitude1 = 200;
int32_t FGC_comp_DH_altitude2 = 200;
int32_t FGC_comp_HSI1_heading_sel = 0;
int32_t FGC_comp_HSI2_heading_sel = 0;
NavSourceRecord* FgcSide1Source = &NavSources[kNavVor1];
int32_t FgcGlideslopeDeviation = 0;
uint8_t AirDataFlags[4] = {0, 0, 0, 0};

}  // namespace zu
