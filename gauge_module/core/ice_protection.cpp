#include "core/ice_protection.h"

namespace zu {

int32_t IceProtectionAntiIceSelector = 0;
int32_t Antiice_sys_pitot1_ice_sw = 0;
int32_t Antiice_sys_pitot2_ice_sw = 0;

}  // namespace zu
