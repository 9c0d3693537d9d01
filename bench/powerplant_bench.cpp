// One tick's powerplant and landing-gear steps, and one host pass's
// flight-control steps, with both engines running at take-off power and the
// gear moving. None of them allocates (no containers, no strings).
#include <benchmark/benchmark.h>

#include "core/electrical_system.h"
#include "core/electrical_test_support.h"
#include "core/flight_controls.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/powerplant.h"

namespace {

void RunningEngines() {
    using namespace zu;
    ElectricsEnginesRunning();
    ElectricalUpdate();
    HostVariables[kHvSpool1].value = HostVariables[kHvSpool2].value = 95.0;
    HostVariables[kHvPropRpm1].value = HostVariables[kHvPropRpm2].value = 1020.0;
    HostThrottleLever[0] = HostThrottleLever[1] = 16383.0;
    HostThrottleInput[0] = HostThrottleInput[1] = 16383;
    IttValue[0] = IttValue[1] = 1;
    Powerplants_engine_ign1 = Powerplants_engine_ign2 = 1;
    HydraulicsState.SystemPressure[0] = HydraulicsState.SystemPressure[1] = 3000;
    FlapsHydraulicPressure = 3000;
    Autofeather.select = 1;
}

void BM_PowerplantAndGearTick(benchmark::State& state) {
    using namespace zu;
    RunningEngines();
    int32_t pass = 0;
    for (auto _ : state) {
        PropRpmUpdate();
        PowerLeversUpdate();
        EngineStartUpdate();
        EnginePressureLights();
        EngineOilUpdate();
        EngineManualLights();
        FuelUpdate();
        AutofeatherUpdate();
        PilotPanelRequestUpdate();
        if (GearTransitCountdown == 0) GearCommanded = (++pass & 1) != 0 ? 0 : 16383;
        if (GearTransitCountdown == 0) GearTransitCountdown = 76;
        GearSequenceUpdate();
        AutofeatherTimers();
        benchmark::DoNotOptimize(ThrottleCommand[0]);
    }
}
BENCHMARK(BM_PowerplantAndGearTick);

void BM_FlightControlsHostPass(benchmark::State& state) {
    using namespace zu;
    RunningEngines();
    float flap = 4096.0f;
    for (auto _ : state) {
        flap = flap > 16000.0f ? 4096.0f : flap + 64.0f;
        FlapPosition = flap;
        NoseSteeringUpdate();
        FlightSurfacesUpdate();
        GearHandleUpdate();
        TorqueEffectsUpdate();
        StickPusherUpdate();
        benchmark::DoNotOptimize(RudderTrimOutput);
    }
}
BENCHMARK(BM_FlightControlsHostPass);

}  // namespace
