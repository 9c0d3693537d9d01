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
FgcSideRecord FgcSide1 = {1, 1, &NavSources[kNavVor1], {}};
FgcSideRecord FgcSide2 = {2, 1, &NavSources[kNavVor2], {}};
uint32_t FgcFmsLegParam1 = 0;
uint32_t FgcFmsLegParam2 = 0;
MapDisplayStateRecord MapDisplayState = {0.0f, 0.0f, 0.0};
int32_t RadioLookupHoldoff = 0;

uint8_t FGC_comp_AP1_dual_approach_mode = 0;
int32_t FGC_comp_AP1_vertical_armed_mode_1 = 0;
int32_t FGC_comp_AP1_vertical_armed_mode_2 = 0;
int32_t FGC_comp_AP1_lateral_armed_mode = 0;
int32_t FGC_comp_AP1_IAS_speed = 0;
int32_t FGC_comp_AP1_VS_speed = 0;
int32_t FGC_comp_AP1_ALT_value = 0;
int32_t FGC_comp_AP_master = 0;
int32_t FGC_comp_AP_prog_alt = 0;
int32_t FGC_comp_ZAZ_AP1_GS_CHECK = 0;
uint8_t FGC_comp_AP2_dual_approach_mode = 0;
int32_t FGC_comp_AP2_vertical_armed_mode_1 = 0;
int32_t FGC_comp_AP2_vertical_armed_mode_2 = 0;
int32_t FGC_comp_AP2_lateral_armed_mode = 0;
int32_t FGC_comp_AP2_IAS_speed = 0;
int32_t FGC_comp_AP2_VS_speed = 0;
int32_t FGC_comp_AP2_ALT_value = 0;
int32_t FGC_comp_YD2_engaged = 0;
int32_t FGC_comp_ZAZ_AP2_GS_CHECK = 0;
int32_t FGC_comp_HSI1_bearing0_select = 0;
int32_t FGC_comp_HSI1_bearing1_select = 0;
int32_t FGC_comp_HSI2_bearing0_select = 0;
int32_t FGC_comp_HSI2_bearing1_select = 0;
int32_t FGC_comp_DH_altitude1 = 200;
int32_t FGC_comp_DH_altitude2 = 200;
int32_t FGC_comp_HSI1_heading_sel = 0;
int32_t FGC_comp_HSI2_heading_sel = 0;
NavSourceRecord* FgcSide1Source = &NavSources[kNavVor1];
int32_t FgcGlideslopeDeviation = 0;
uint8_t FgcState = 0;
uint8_t FdBarSense = 0;
uint8_t FmaFlags1[2] = {0, 0};
uint8_t FgcFlags1[4] = {0, 0, 0, 0};
uint8_t Fgc2TcsActive = 0;

std::atomic<uint8_t> ApButtonRequest[kApRequestCount] = {};
std::atomic<int32_t> ApKnob{0};
std::atomic<uint8_t> RnavRequest1{0};
std::atomic<uint8_t> RnavRequest2{0};
uint8_t FmaFlags2[2] = {0, 0};
uint8_t FgcSide2Flags[4] = {0, 0, 0, 0};
char FgcMessageLines[6][20] = {};
FgcMessageStateRecord FgcMessageState1 = {};
FgcMessageStateRecord FgcMessageState2 = {};

}  // namespace zu
