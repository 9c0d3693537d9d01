#include "core/fire_protection.h"

namespace zu {

int32_t FireWarningActive = 0;
uint8_t FireWarningAck = 0;

}  // namespace zu
