#include "core/flight_guidance.h"

namespace zu {

int32_t FGC_comp_AP1_engaged = 0;
int32_t FGC_comp_AP2_engaged = 0;
int32_t FGC_comp_YD1_engaged = 0;
int32_t FgcCoupledSide = 1;
int32_t FGC_comp_FGC1_system_test_timer = 360;
int32_t FGC_comp_FGC2_system_test_timer = 360;
int32_t FGC_comp_AP1_vertical_mode = 5;
int32_t FGC_comp_AP2_vertical_mode = 5;
uint8_t AirDataFlags[4] = {};
uint8_t AltitudeAlertFlag = 0;

}  // namespace zu
