#include "fms/fms_lifecycle.h"

namespace zu {

uint8_t FmsPowered = 1;

}  // namespace zu
