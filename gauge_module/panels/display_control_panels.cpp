#include "panels/display_control_panels.h"

namespace zu {

int32_t DisplayBrightnessLevel = 191;
int32_t DisplayFormat[2] = {0, 0};
int32_t HsiMode[2] = {0, 0};
uint8_t WxOverlay[2] = {0, 0};
int32_t BearingPointerSource[2][2] = {{0, 0}, {0, 0}};
uint8_t DisplayFormatFlags1[4] = {0, 0, 0, 0};
uint8_t DisplayFormatFlags2[3] = {0, 0, 0};
uint8_t DisplayFormatToggle = 0;

}  // namespace zu
