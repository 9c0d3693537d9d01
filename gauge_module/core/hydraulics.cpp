#include "core/hydraulics.h"

namespace zu {

HydraulicsStateRecord HydraulicsState{};
int32_t FlapsHydraulicPressure = 0;
int32_t RudderPressure[2] = {0, 0};
int32_t RollSpoilerPressure[4] = {0, 0, 0, 0};
int32_t FlapHydraulicWord = 0;

}  // namespace zu
