#include "core/fire_protection.h"

namespace zu {

uint8_t EngineFuelFeed[2] = {1, 1};
uint8_t EngineFireWarning[2] = {0, 0};
int32_t FireWarningActive = 0;
uint8_t FireWarningAck = 0;

}  // namespace zu
