#include "core/hydraulics.h"

namespace zu {

HydraulicsStateRecord HydraulicsState{};
int32_t FlapDrivePressure = 0;
int32_t RudderPressure[2] = {0, 0};
int32_t SpoilerInboardPressure[2] = {0, 0};
int32_t SpoilerOutboardPressure[2] = {0, 0};
int32_t FlapHydraulicWord = 0;

}  // namespace zu
