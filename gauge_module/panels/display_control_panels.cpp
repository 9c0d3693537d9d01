#include "panels/display_control_panels.h"

namespace zu {

uint8_t DisplayFormatFlags1[4] = {};
DisplayControlRecord DisplayControlState1{};
DisplayControlRecord DisplayControlState2{};
int32_t DisplayBrightnessLevel = 191;
int32_t DisplayFormat[2] = {0, 0};

}  // namespace zu
