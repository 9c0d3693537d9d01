#include "core/systems_tick.h"

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_state_exchange.h"
#include "cabin_link/sound_scheme.h"
#include "core/ahrs.h"
#include "core/air_conditioning.h"
#include "core/air_data.h"
#include "core/blade_angle_locator.h"
#include "core/cabin_doors.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_client.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/named_variables.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "displays/efis_resources.h"
#include "displays/flight_data_recorder.h"
#include "displays/head_up_guidance.h"
#include "displays/tcas.h"
#include "displays/weather_radar.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"

namespace zu {

std::atomic<uint32_t> TickCounter{0};
uint32_t TickCounterPrevious = 0;
std::atomic<uint32_t> FrameChangeBits{0};

uint32_t HostPassCounter = 0;
uint32_t HostPassCounterPrevious = 0;
uint32_t HostPassChangeBits = 0;

std::atomic<int32_t> RemoteDisplayCountdown{0};
std::atomic<uint8_t> PowerplantValuesPending{0};

namespace {

// One half of the repositioning burst: one frame's step of the countdown
// and of the instructor's smoothing towards its targets.
// Only the host pass lowers it; the instructor link may re-arm it at any
// time, so the decrement does not overwrite a fresh arm.
void RepositionBurstStep() {
    int32_t v = RemoteDisplayCountdown.load(std::memory_order_acquire);
    while (v > 0) {
        if (RemoteDisplayCountdown.compare_exchange_weak(v, v - 1, std::memory_order_acq_rel,
                                                         std::memory_order_acquire)) {
            RedrawRequest.store(255, std::memory_order_release);
            InstructorSmoothValues();
            break;
        }
    }
}

}  // namespace

void SystemsTick(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
    // Counter and rate mask: bit k of the mask is set exactly on every 2^k-th
    // tick, so a step that tests 0x02 runs every 2nd tick, 0x10 every 16th.
    const uint32_t counter = TickCounter.load(std::memory_order_relaxed) + 1;
    TickCounter.store(counter, std::memory_order_release);
    const uint32_t rate = counter ^ TickCounterPrevious;
    FrameChangeBits.store(rate, std::memory_order_release);
    TickCounterPrevious = counter;

    // The systems, in their fixed order.
    SimPauseWatch();
    FlightPersistenceStep();
    if (NetworkReceiveFlag.load(std::memory_order_acquire) != 0) InstructorProcessMessage();
    ElectricalUpdate();  // with the caution logic

    // Cabin reset (once), air conditioning and pressurisation [2nd],
    // hydraulics [2nd], ice protection [16th], wipers, fire protection [2nd].
    if (rate & 0x02) {
        CabinPressureReset();
        AirConditioningUpdate();
        PressurisationUpdate();
        HydraulicsDriver();
    }
    if (rate & 0x10) IceProtectionUpdate();
    WiperUpdate();
    if (rate & 0x02) FireProtectionUpdate();
    // Propeller rpm (while no powerplant values are pending) and the
    // powerplant and fuel steps follow. Then the
    // per-engine values are ready for the key events:
    if (PowerplantValuesPending.load(std::memory_order_acquire) == 0) PropRpmUpdate();
    PowerLeversUpdate();
    EngineStartUpdate();
    EnginePressureLights();
    EngineOilUpdate();
    EngineManualLights();
    FuelUpdate();
    AutofeatherUpdate();
    PilotPanelRequestUpdate();
    PilotTrimTimerStep();
    PowerplantValuesPending.store(1, std::memory_order_release);

    // AHRS 1 and 2, then the alerting.
    AhrsUpdate(Ahrs1);
    AhrsUpdate(Ahrs2);
    if (rate & 0x02) RadioAltitudeReadout();
    StallWarningUpdate();
    if (rate & 0x02) GpwsUpdate();
    FlightGuidanceTick(rate);  // not while frozen or loading a flight
    AirDataUpdate();
    TcasCompute();  // traffic, with the transponder head's timers
    WxRadarUpdate();
    ClockUpdate(0);
    ClockUpdate(1);
    UpdateDisplayBrightness();
    if (rate & 0x04) FdrUpdate();
    FmsUpdate();
    if (rate & 0x02) DoorRampUpdate();
    HgsUpdate();  // head-up guidance
    // The landing gear and the autofeather timers follow, and the sound tick
    // closes the tick.
    GearSequenceUpdate();
    AutofeatherTimers();
    if ((FeatureDisableMask & kSkipSoundTick) == 0 && SoundSystemStarted != 0) SoundTick();
}

void MaingaugeProc() {
    // 1. Counter and rate mask.
    ++HostPassCounter;
    HostPassChangeBits = HostPassCounter ^ HostPassCounterPrevious;
    HostPassCounterPrevious = HostPassCounter;

    // 2. Simulator input, unless the instructor is repositioning the
    //    aircraft: host variables, then the FSUIPC exchange.
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) == 0) {
        if ((FeatureDisableMask & kSkipHostVarsPoll) == 0) HostVarsPoll();
        if (RemoteDisplayCountdown.load(std::memory_order_acquire) == 0 &&
            FsuipcLinkReady.load(std::memory_order_acquire) != 0) {
            FsuipcBusy.store(1, std::memory_order_release);
            if ((FeatureDisableMask & kSkipFsuipcPoll) == 0) FsuipcPoll();
            if (FlightLoadCounter == 0 ||
                LoadedFlightPathArrived.load(std::memory_order_acquire) == 0) {
                FlightPathRequest();
            }
            FsuipcBusy.store(0, std::memory_order_release);
        }
    }

    // 3. Navigation sources.
    NavSourcesUpdate();

    // 4. Repositioning burst, first half.
    RepositionBurstStep();

    // 5. Navigation-source reset and flight controls.
    NavSourcesReset();
    NoseSteeringUpdate();
    FlightSurfacesUpdate();
    GearHandleUpdate();
    TorqueEffectsUpdate();
    StickPusherUpdate();

    // 6. Repositioning burst, second half.
    RepositionBurstStep();

    // 7. Key events.
    if ((FeatureDisableMask & kSkipKeyEvents) == 0) HostKeyEventsSend();
    // 8. Propeller blade angle.
    PropBladeAngleUpdate(1);

    // 9. FSUIPC write batch.
    FsuipcBusy.store(1, std::memory_order_release);
    if ((FeatureDisableMask & kSkipFsuipcWriteBatch) == 0) FsuipcWriteBatch();
    FsuipcBusy.store(0, std::memory_order_release);

    // 10. Named variables, once the blade angles are found.
    if ((FeatureDisableMask & kSkipNamedVarsPublish) == 0 && PropBetaLocated != 0) {
        NamedVarsPublish();
    }

    // 11. Repositioning write.
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) != 0) {
        FsuipcBusy.store(1, std::memory_order_release);
        AircraftReposition();
        FsuipcBusy.store(0, std::memory_order_release);
    }
}

}  // namespace zu
