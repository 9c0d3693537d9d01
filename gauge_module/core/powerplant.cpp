#include "core/powerplant.h"

namespace zu {

PowerplantStateRecord PowerplantState{};
int32_t TorqueBugValue[2] = {0, 0};
float NLValue[2] = {0.0f, 0.0f};
float IttCorrection[2] = {0.0f, 0.0f};
float EngineOilQty[2] = {4.8f, 5.2f};
float FuelTemp = 0.0f;
SystemTimersRecord SystemTimers{};
SystemTimers2Record SystemTimers2{};

double HostThrottleLever[2] = {3000.0, 3000.0};
int32_t HostThrottleInput[2] = {-4096, -4096};
int32_t PowerLeverPosition[2] = {3000, 3000};
int32_t PropControlDemand[2] = {-4096, -4096};
double ThrottleCommand[2] = {-128.0, -128.0};
int32_t ConditionCommand[2] = {0, 0};
int32_t PropFeatherCountdown[2] = {12, 12};
uint8_t PropFeatherHold[2] = {0, 0};
double PropFeatherHeldAngle[2] = {0.0, 0.0};
int32_t Powerplants_engine_ign1 = 0;
int32_t Powerplants_engine_ign2 = 0;
int32_t Powerplants_controls_throttle_limiter = 1;
double PropRpmCommand[2] = {0.0, 0.0};

int32_t PowerLeverValue[2] = {0, 0};
std::atomic<uint8_t> ApDisconnectRequest{0};

}  // namespace zu
