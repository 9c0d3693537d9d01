#include "instruments/inclinometer.h"

namespace zu {

float InclinometerInput = 0.0f;

}  // namespace zu
