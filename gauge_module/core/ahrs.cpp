#include "core/ahrs.h"

namespace zu {

double LongitudinalAccelFiltered = 0.0;

}  // namespace zu
