#include "core/flight_guidance.h"

namespace zu {

int32_t FGC_comp_FGC1_system_test_timer = 0;
uint8_t FdBarSense = 0;
int32_t FGC_comp_HSI1_heading_sel = 0;
int32_t FGC_comp_HSI2_heading_sel = 0;
MapDisplayStateRecord MapDisplayState{};
uint8_t WindComponentSense[2] = {0, 0};

}  // namespace zu
