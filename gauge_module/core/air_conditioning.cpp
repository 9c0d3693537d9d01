#include "core/air_conditioning.h"

namespace zu {

AirConditioningRecord AirConditioningState = {};

}  // namespace zu
