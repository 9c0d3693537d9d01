#include "core/flight_controls.h"

namespace zu {

int32_t flight_controls_FLAPS[2] = {0, 0};
int32_t flight_controls_GEAR = 16383;
int32_t GearLegPosition[3] = {76, 76, 76};
int32_t GearTransitCountdown = 0;
uint8_t GearFlags[kGearFlagCount] = {};
uint8_t FlapMotionFlag = 0;
uint8_t GearAltExtension = 0;
uint8_t RuddersShutoffA[2] = {0, 0};
uint8_t RuddersShutoffB[2] = {0, 0};
uint8_t HydraulicShutoff[2] = {0, 0};

int32_t FlapSelection() {
    return flight_controls_FLAPS[0];
}

}  // namespace zu
