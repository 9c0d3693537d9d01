// Air conditioning and pressurisation.
#pragma once

#include <cstdint>

namespace zu {

struct AirConditioningStateRecord {
    int32_t RecircFan;     // recirculation fan word, non-zero while it runs
    int32_t PackValue[2];  // pack valve position per pack, 0..14
};
extern AirConditioningStateRecord AirConditioningState;

struct PressurisationStateRecord {
    float Differential;  // cabin differential pressure, psi
    float Rate;          // cabin rate, ft/min
};
extern PressurisationStateRecord PressurisationState;

struct PressurisationState2Record {
    float CabinAltitude;  // feet
};
extern PressurisationState2Record PressurisationState2;

}  // namespace zu
