#include "displays/weather_radar.h"

namespace zu {

WxRadarRecord WxRadarState{0, 0, 0, 0, 200, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
int32_t WxRangeIndex = 3;
int32_t WxRange = 100;

}  // namespace zu
