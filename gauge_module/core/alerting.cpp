#include "core/alerting.h"

namespace zu {

uint8_t StallSystemFail[2] = {0, 0};
int32_t VoiceAlertIndex = 0;
uint8_t GpwsFlags[kGpwsFlagCount] = {};
StallWarningRecord StallWarningState = {0, 0};

}  // namespace zu
