#include "core/hydraulics.h"

namespace zu {

HydraulicsStateRecord HydraulicsState{};
int32_t RollSpoilerPressure[4] = {0, 0, 0, 0};

}  // namespace zu
