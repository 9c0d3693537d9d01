#include "core/flight_guidance.h"

namespace zu {

int32_t FGC_comp_AP1_engaged = 0;
int32_t FGC_comp_AP2_engaged = 0;
int32_t FGC_comp_YD1_engaged = 0;
int32_t FGC_comp_FGC1_system_test_timer = 360;
int32_t FGC_comp_FGC2_system_test_timer = 360;
int32_t FGC_comp_AP1_vertical_mode = 5;
int32_t FGC_comp_AP2_vertical_mode = 5;
uint8_t AirDataFlags[4] = {};
uint8_t AltitudeAlertFlag = 0;
int32_t FGC_comp_AP1_lateral_mode = 7;
int32_t FGC_comp_AP2_lateral_mode = 7;
FgcSideRecord FgcSide1 = {1, 1, &NavSources[kNavVor1]};
FgcSideRecord FgcSide2 = {2, 1, &NavSources[kNavVor2]};
uint32_t FgcFmsLegParam1 = 0;
uint32_t FgcFmsLegParam2 = 0;
MapDisplayStateRecord MapDisplayState = {0.0f, 0.0f, 0.0};
int32_t RadioLookupHoldoff = 0;

int32_t FGC_comp_DH_altitude1 = 200;
int32_t FGC_comp_HSI1_heading_sel = 0;
uint8_t FgcState = 0;
uint8_t FdBarSense = 0;
uint8_t FmaFlags1[2] = {0, 0};
uint8_t FgcFlags1[4] = {0, 0, 0, 0};
uint8_t Fgc2TcsActive = 0;

}  // namespace zu
