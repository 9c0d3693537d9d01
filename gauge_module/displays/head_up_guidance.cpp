#include "displays/head_up_guidance.h"

namespace zu {

int32_t HGS_HGS_actual_mode = 0;
int32_t HGS_HGS_elevation_set = 543;
float HGS_HGS_gs_slope_angle = -3.0f;
int32_t HgsPitchCompression = 1;
int32_t HGS_RASU_speed = 55;
double HgsPitchCommandFactor = 1.0;

uint8_t HgsAiiiAvailable = 0;
uint8_t HgsApproachWarning = 0;
int32_t HgsWindVectorVisible = 0;
uint8_t HgsIdleMessage = 0;

double HgsFpsX = 0.0;
double HgsFpsY = 0.0;
int32_t HgsFpsLimited = 0;
double HgsGsLineY = 0.0;
double HgsLateralDeviation = 0.0;
double HgsVerticalDeviation = 0.0;
double HgsGroundLocLineX = 0.0;
double HgsAccelCueY = 0.0;
double HgsFdCueX = 0.0;
double HgsFdCueY = 0.0;
double HgsFlareCueY = 0.0;
double HgsGsPointer = 0.0;

int32_t HgsRunwayScreenPoints[kHgsRunwayPoints][2] = {};

}  // namespace zu
