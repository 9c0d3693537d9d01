#include "core/alerting.h"

namespace zu {

StallWarningRecord StallWarningState = {0, 0};
uint8_t GpwsFlags[3] = {0, 0, 0};

}  // namespace zu
