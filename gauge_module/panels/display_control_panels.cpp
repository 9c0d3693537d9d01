#include "panels/display_control_panels.h"

namespace zu {

uint8_t DisplayFormatFlags1[4] = {};
DisplayControlRecord DisplayControlState1{};
DisplayControlRecord DisplayControlState2{};

}  // namespace zu
