#include "core/air_data.h"

namespace zu {

float BaroAltitude1 = 0.0f;
float BaroAltitude2 = 0.0f;

}  // namespace zu
