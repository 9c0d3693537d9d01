#include "core/air_conditioning.h"

namespace zu {

AirConditioningRecord AirConditioningState{};
PressurisationStateRecord PressurisationState{};
PressurisationState2Record PressurisationState2{};

}  // namespace zu
