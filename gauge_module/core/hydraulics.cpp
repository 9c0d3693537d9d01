#include "core/hydraulics.h"

namespace zu {

HydraulicsStateRecord HydraulicsState{};

}  // namespace zu
