// The module's globals as a fresh load has them, for the end-to-end tests
// that run the module linked into this process. The simulator loads the
// module once per process; so do these tests, and whatever one flight
// leaves in the module's state (last-sent copies, settings, switch words,
// failures, a repositioning burst) would otherwise carry into the next.
//
// The values are copied when the test program starts, before any test has
// run, so they are the module's own built-in values.
// RestoreLoadedModuleState() puts them back; every fixture that starts a
// flight calls it first.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <type_traits>

#include "cabin_link/instructor_state_exchange.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/module_frame.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/com_control_heads.h"
#include "panels/engine_start_panels.h"

namespace zu::e2e {

namespace module_state_detail {

// Applies `f(global, saved)` to every global restored, `saved` being the
// matching member of the snapshot.
template <typename Snapshot, typename F>
void ForEachGlobal(Snapshot& s, F&& f) {  // Snapshot may be const
    // Electrics, cautions, doors and the engine speeds they read.
    f(Electrics_sys, s.electrics);
    f(ElectricsDefaultsDone, s.electrics_defaults_done);
    f(ExternalPowerHoldCountdown, s.external_power_hold);
    f(CautionLightArray, s.caution_lights);
    f(DoorOpenLevel, s.door_open_level);
    f(EngineStartSelector, s.engine_start_selector);
    f(PropRpm, s.prop_rpm);
    f(Nh1State, s.nh1);
    f(Nh2State, s.nh2);
    // Instructor tables and the bulk targets.
    f(ElectricsInstructorStates, s.electrics_instructor);
    f(FlightSurfacesInstructorStates, s.surfaces_instructor);
    f(HydraulicsInstructorStates, s.hydraulics_instructor);
    f(PowerplantsInstructorStates, s.powerplants_instructor);
    f(AvionicsInstructorStates, s.avionics_instructor);
    f(RemoteTargetInts, s.remote_ids);
    f(RemoteTargetValues, s.remote_targets);
    f(RemoteCurrentValues, s.remote_current);
    f(RemoteStepValues, s.remote_steps);
    f(RemoteValueCount, s.remote_count);
    f(RemoteBurstStarted, s.remote_burst_started);
    f(RemoteLastUpdatePass, s.remote_last_update);
    f(RemotePositionValues, s.remote_position);
    f(RemoteApMirror, s.remote_ap_mirror);
    f(RemoteYdMirror, s.remote_yd_mirror);
    f(RemoteApEngageWord, s.remote_engage_word);
    // Flight guidance and the gear handle the bulk targets write.
    f(FGC_comp_AP1_engaged, s.ap1_engaged);
    f(FGC_comp_YD1_engaged, s.yd1_engaged);
    f(FgcCoupledSide, s.coupled_side);
    f(FGC_comp_FGC1_system_test_timer, s.fgc1_test_timer);
    f(FGC_comp_FGC2_system_test_timer, s.fgc2_test_timer);
    f(HostGearHandle, s.gear_handle);
    // Settings: a flight without a settings file keeps the built-in values.
    f(NETWORK_SERVER, s.network_server);
    f(Throttles_delta, s.throttles_delta);
    f(SPLIT_PLS_SYNC_FACTOR, s.split_pls_sync);
    // Host input and output: start-up hold, values and last-sent copies.
    f(HostIoStartDelay, s.host_io_start_delay);
    f(FlightLoadCounter, s.flight_load_counter);
    f(OnGround, s.on_ground);
    f(OnGroundHold, s.on_ground_hold);
    f(ThrottleLastSent, s.throttle_sent);
    f(PropLeverLastSent, s.prop_lever_sent);
    f(PowerplantValuesSent, s.powerplant_sent);
    f(FlapDetent, s.flap_detent);
    f(FlapDetentSent, s.flap_detent_sent);
    f(KeyEventPairSent, s.pair_sent);
    f(LandingLightCopy, s.landing_light_copy);
    f(ThrottlesReleased, s.throttles_released);
    f(RudderDriven, s.rudder_driven);
    f(ThrottleLimiterSent, s.throttle_limiter_sent);
    f(TrimInhibit, s.trim_inhibit);
    f(TrimInhibitPrevious, s.trim_inhibit_previous);
    f(PilotPanelOverride, s.pilot_panel_override);
    f(PropControlDemand, s.prop_control_demand);
    f(ThrottleCommand, s.throttle_command);
    f(ConditionCommand, s.condition_command);
    f(PowerLeverPosition, s.power_levers);
    f(Powerplants_controls_throttle_limiter, s.throttle_limiter);
    f(PropPitch1, s.prop_pitch1);
    f(PropPitch2, s.prop_pitch2);
    f(RefreshCountdown, s.refresh_countdown);
    f(LightsWordSent, s.lights_sent);
    f(TransponderCodeBcd, s.transponder_code);
    f(TransponderCodeBcdSent, s.transponder_code_sent);
    f(AudioRoutingMaskSent, s.audio_sent);
    f(TransponderState, s.transponder);
    f(NavSources, s.nav_sources);
    f(Com1Radio, s.com1);
    f(Com2Radio, s.com2);
    f(Com1PanelState, s.com1_panel);
    f(Adf1Radio, s.adf1);
    f(Adf2Radio, s.adf2);
    // Powerplant, flight controls and the hydraulic words they read.
    f(PowerplantState, s.pp_PowerplantState);
    f(TorqueBugValue, s.pp_TorqueBugValue);
    f(NLValue, s.pp_NLValue);
    f(IttCorrection, s.pp_IttCorrection);
    f(EngineOilQty, s.pp_EngineOilQty);
    f(StbyOilQty, s.pp_StbyOilQty);
    f(FuelTemp, s.pp_FuelTemp);
    f(SystemTimers, s.pp_SystemTimers);
    f(HostThrottleLever, s.pp_HostThrottleLever);
    f(HostThrottleInput, s.pp_HostThrottleInput);
    f(PowerLeverValue, s.pp_PowerLeverValue);
    f(NhTarget, s.pp_NhTarget);
    f(PropFeatherCountdown, s.pp_PropFeatherCountdown);
    f(PropFeatherHold, s.pp_PropFeatherHold);
    f(PropFeatherFromOil, s.pp_PropFeatherFromOil);
    f(PropFeatherHeldAngle, s.pp_PropFeatherHeldAngle);
    f(PropBladeHoldCountdown, s.pp_PropBladeHoldCountdown);
    f(Powerplants_engine_ign1, s.pp_Powerplants_engine_ign1);
    f(Powerplants_engine_ign2, s.pp_Powerplants_engine_ign2);
    f(PowerLeverLastHostValue, s.pp_PowerLeverLastHostValue);
    f(EgcSwitch, s.pp_EgcSwitch);
    f(EngineManualFlag, s.pp_EngineManualFlag);
    f(EngineStartRequest, s.pp_EngineStartRequest);
    f(UptrimFlag, s.pp_UptrimFlag);
    f(Autofeather, s.pp_Autofeather);
    f(FuelSystemState, s.pp_FuelSystemState);
    f(TorqueFiltered, s.pp_TorqueFiltered);
    f(TorqueSmoothCount, s.pp_TorqueSmoothCount);
    f(EngineOilStatus, s.pp_EngineOilStatus);
    f(EngineModel, s.pp_EngineModel);
    f(PropSyncCorrection, s.pp_PropSyncCorrection);
    f(PilotPanelBlink, s.pp_PilotPanelBlink);
    f(EngineFuelFeed, s.pp_EngineFuelFeed);
    f(GearCommanded, s.pp_GearCommanded);
    f(flight_controls_GEAR, s.pp_flight_controls_GEAR);
    f(GearHandlePrevious, s.pp_GearHandlePrevious);
    f(GearHandleCountdown, s.pp_GearHandleCountdown);
    f(GearToggleCountdown, s.pp_GearToggleCountdown);
    f(GearHandleMoving, s.pp_GearHandleMoving);
    f(GearTransitTimer, s.pp_GearTransitTimer);
    f(GearLegPosition, s.pp_GearLegPosition);
    f(GearLegLight, s.pp_GearLegLight);
    f(GearStates, s.pp_GearStates);
    f(AltGearState, s.pp_AltGearState);
    f(GearAltExtension, s.pp_GearAltExtension);
    f(GearAltExtensionCountdown, s.pp_GearAltExtensionCountdown);
    f(GearInhibitSwitch, s.pp_GearInhibitSwitch);
    f(NoseGearAltDoorGuard, s.pp_NoseGearAltDoorGuard);
    f(flight_controls_FLAPS, s.pp_flight_controls_FLAPS);
    f(FlapLastCommand, s.pp_FlapLastCommand);
    f(FlapCountdown, s.pp_FlapCountdown);
    f(FlapDriveWait, s.pp_FlapDriveWait);
    f(FlapMotionFlag, s.pp_FlapMotionFlag);
    f(JoystickRudderOut, s.pp_JoystickRudderOut);
    f(NoseSteeringSwitch, s.pp_NoseSteeringSwitch);
    f(RuddersShutoffA, s.pp_RuddersShutoffA);
    f(RuddersShutoffB, s.pp_RuddersShutoffB);
    f(HydraulicShutoff, s.pp_HydraulicShutoff);
    f(StickPusherShutoff, s.pp_StickPusherShutoff);
    f(RudderTrimOutput, s.pp_RudderTrimOutput);
    f(FlightControlGating, s.pp_FlightControlGating);
    f(TorqueYawValue, s.pp_TorqueYawValue);
    f(RudderTrimValue, s.pp_RudderTrimValue);
    f(ControlTorque, s.pp_ControlTorque);
    f(PusherHoldCountdown, s.pp_PusherHoldCountdown);
    f(PusherPushCountdown, s.pp_PusherPushCountdown);
    f(PusherBudget, s.pp_PusherBudget);
    f(GearWarning, s.pp_GearWarning);
    f(OverspeedWarning, s.pp_OverspeedWarning);
    f(GearWarningTestCount, s.pp_GearWarningTestCount);
    f(GearWarningRequest, s.pp_GearWarningRequest);
    f(flight_controls_COPILOT_antiskid_sw, s.pp_flight_controls_COPILOT_antiskid_sw);
    f(CopilotPanelTimer, s.pp_CopilotPanelTimer);
    f(CopilotPanelToggle, s.pp_CopilotPanelToggle);
    f(CopilotSwitchPowered, s.pp_CopilotSwitchPowered);
    f(flight_controls_FF_TRIM, s.pp_flight_controls_FF_TRIM);
    f(HydraulicSystemPressure, s.pp_HydraulicSystemPressure);
    f(FlapDrivePressure, s.pp_FlapDrivePressure);
    f(RudderPressure, s.pp_RudderPressure);
    f(SpoilerInboardPressure, s.pp_SpoilerInboardPressure);
    f(SpoilerOutboardPressure, s.pp_SpoilerOutboardPressure);
    f(FlapHydraulicWord, s.pp_FlapHydraulicWord);
}

template <typename T>
using Stored = std::remove_cvref_t<T>;

struct Snapshot {
    Stored<decltype(Electrics_sys)> electrics;
    Stored<decltype(ElectricsDefaultsDone)> electrics_defaults_done;
    Stored<decltype(ExternalPowerHoldCountdown)> external_power_hold;
    Stored<decltype(CautionLightArray)> caution_lights;
    Stored<decltype(DoorOpenLevel)> door_open_level;
    Stored<decltype(EngineStartSelector)> engine_start_selector;
    Stored<decltype(PropRpm)> prop_rpm;
    Stored<decltype(Nh1State)> nh1;
    Stored<decltype(Nh2State)> nh2;
    Stored<decltype(ElectricsInstructorStates)> electrics_instructor;
    Stored<decltype(FlightSurfacesInstructorStates)> surfaces_instructor;
    Stored<decltype(HydraulicsInstructorStates)> hydraulics_instructor;
    Stored<decltype(PowerplantsInstructorStates)> powerplants_instructor;
    Stored<decltype(AvionicsInstructorStates)> avionics_instructor;
    Stored<decltype(RemoteTargetInts)> remote_ids;
    Stored<decltype(RemoteTargetValues)> remote_targets;
    Stored<decltype(RemoteCurrentValues)> remote_current;
    Stored<decltype(RemoteStepValues)> remote_steps;
    Stored<decltype(RemoteValueCount)> remote_count;
    Stored<decltype(RemoteBurstStarted)> remote_burst_started;
    Stored<decltype(RemoteLastUpdatePass)> remote_last_update;
    Stored<decltype(RemotePositionValues)> remote_position;
    Stored<decltype(RemoteApMirror)> remote_ap_mirror;
    Stored<decltype(RemoteYdMirror)> remote_yd_mirror;
    Stored<decltype(RemoteApEngageWord)> remote_engage_word;
    Stored<decltype(FGC_comp_AP1_engaged)> ap1_engaged;
    Stored<decltype(FGC_comp_YD1_engaged)> yd1_engaged;
    Stored<decltype(FgcCoupledSide)> coupled_side;
    Stored<decltype(FGC_comp_FGC1_system_test_timer)> fgc1_test_timer;
    Stored<decltype(FGC_comp_FGC2_system_test_timer)> fgc2_test_timer;
    Stored<decltype(HostGearHandle)> gear_handle;
    Stored<decltype(NETWORK_SERVER)> network_server;
    Stored<decltype(Throttles_delta)> throttles_delta;
    Stored<decltype(SPLIT_PLS_SYNC_FACTOR)> split_pls_sync;
    Stored<decltype(HostIoStartDelay)> host_io_start_delay;
    Stored<decltype(FlightLoadCounter)> flight_load_counter;
    Stored<decltype(OnGround)> on_ground;
    Stored<decltype(OnGroundHold)> on_ground_hold;
    Stored<decltype(ThrottleLastSent)> throttle_sent;
    Stored<decltype(PropLeverLastSent)> prop_lever_sent;
    Stored<decltype(PowerplantValuesSent)> powerplant_sent;
    Stored<decltype(FlapDetent)> flap_detent;
    Stored<decltype(FlapDetentSent)> flap_detent_sent;
    Stored<decltype(KeyEventPairSent)> pair_sent;
    Stored<decltype(LandingLightCopy)> landing_light_copy;
    Stored<decltype(ThrottlesReleased)> throttles_released;
    Stored<decltype(RudderDriven)> rudder_driven;
    Stored<decltype(ThrottleLimiterSent)> throttle_limiter_sent;
    Stored<decltype(TrimInhibit)> trim_inhibit;
    Stored<decltype(TrimInhibitPrevious)> trim_inhibit_previous;
    Stored<decltype(PilotPanelOverride)> pilot_panel_override;
    Stored<decltype(PropControlDemand)> prop_control_demand;
    Stored<decltype(ThrottleCommand)> throttle_command;
    Stored<decltype(ConditionCommand)> condition_command;
    Stored<decltype(PowerLeverPosition)> power_levers;
    Stored<decltype(Powerplants_controls_throttle_limiter)> throttle_limiter;
    Stored<decltype(PropPitch1)> prop_pitch1;
    Stored<decltype(PropPitch2)> prop_pitch2;
    Stored<decltype(RefreshCountdown)> refresh_countdown;
    Stored<decltype(LightsWordSent)> lights_sent;
    Stored<decltype(TransponderCodeBcd)> transponder_code;
    Stored<decltype(TransponderCodeBcdSent)> transponder_code_sent;
    Stored<decltype(AudioRoutingMaskSent)> audio_sent;
    Stored<decltype(TransponderState)> transponder;
    Stored<decltype(NavSources)> nav_sources;
    Stored<decltype(Com1Radio)> com1;
    Stored<decltype(Com2Radio)> com2;
    Stored<decltype(Com1PanelState)> com1_panel;
    Stored<decltype(Adf1Radio)> adf1;
    Stored<decltype(Adf2Radio)> adf2;
    Stored<decltype(PowerplantState)> pp_PowerplantState;
    Stored<decltype(TorqueBugValue)> pp_TorqueBugValue;
    Stored<decltype(NLValue)> pp_NLValue;
    Stored<decltype(IttCorrection)> pp_IttCorrection;
    Stored<decltype(EngineOilQty)> pp_EngineOilQty;
    Stored<decltype(StbyOilQty)> pp_StbyOilQty;
    Stored<decltype(FuelTemp)> pp_FuelTemp;
    Stored<decltype(SystemTimers)> pp_SystemTimers;
    Stored<decltype(HostThrottleLever)> pp_HostThrottleLever;
    Stored<decltype(HostThrottleInput)> pp_HostThrottleInput;
    Stored<decltype(PowerLeverValue)> pp_PowerLeverValue;
    Stored<decltype(NhTarget)> pp_NhTarget;
    Stored<decltype(PropFeatherCountdown)> pp_PropFeatherCountdown;
    Stored<decltype(PropFeatherHold)> pp_PropFeatherHold;
    Stored<decltype(PropFeatherFromOil)> pp_PropFeatherFromOil;
    Stored<decltype(PropFeatherHeldAngle)> pp_PropFeatherHeldAngle;
    Stored<decltype(PropBladeHoldCountdown)> pp_PropBladeHoldCountdown;
    Stored<decltype(Powerplants_engine_ign1)> pp_Powerplants_engine_ign1;
    Stored<decltype(Powerplants_engine_ign2)> pp_Powerplants_engine_ign2;
    Stored<decltype(PowerLeverLastHostValue)> pp_PowerLeverLastHostValue;
    Stored<decltype(EgcSwitch)> pp_EgcSwitch;
    Stored<decltype(EngineManualFlag)> pp_EngineManualFlag;
    Stored<decltype(EngineStartRequest)> pp_EngineStartRequest;
    Stored<decltype(UptrimFlag)> pp_UptrimFlag;
    Stored<decltype(Autofeather)> pp_Autofeather;
    Stored<decltype(FuelSystemState)> pp_FuelSystemState;
    Stored<decltype(TorqueFiltered)> pp_TorqueFiltered;
    Stored<decltype(TorqueSmoothCount)> pp_TorqueSmoothCount;
    Stored<decltype(EngineOilStatus)> pp_EngineOilStatus;
    Stored<decltype(EngineModel)> pp_EngineModel;
    Stored<decltype(PropSyncCorrection)> pp_PropSyncCorrection;
    Stored<decltype(PilotPanelBlink)> pp_PilotPanelBlink;
    Stored<decltype(EngineFuelFeed)> pp_EngineFuelFeed;
    Stored<decltype(GearCommanded)> pp_GearCommanded;
    Stored<decltype(flight_controls_GEAR)> pp_flight_controls_GEAR;
    Stored<decltype(GearHandlePrevious)> pp_GearHandlePrevious;
    Stored<decltype(GearHandleCountdown)> pp_GearHandleCountdown;
    Stored<decltype(GearToggleCountdown)> pp_GearToggleCountdown;
    Stored<decltype(GearHandleMoving)> pp_GearHandleMoving;
    Stored<decltype(GearTransitTimer)> pp_GearTransitTimer;
    Stored<decltype(GearLegPosition)> pp_GearLegPosition;
    Stored<decltype(GearLegLight)> pp_GearLegLight;
    Stored<decltype(GearStates)> pp_GearStates;
    Stored<decltype(AltGearState)> pp_AltGearState;
    Stored<decltype(GearAltExtension)> pp_GearAltExtension;
    Stored<decltype(GearAltExtensionCountdown)> pp_GearAltExtensionCountdown;
    Stored<decltype(GearInhibitSwitch)> pp_GearInhibitSwitch;
    Stored<decltype(NoseGearAltDoorGuard)> pp_NoseGearAltDoorGuard;
    Stored<decltype(flight_controls_FLAPS)> pp_flight_controls_FLAPS;
    Stored<decltype(FlapLastCommand)> pp_FlapLastCommand;
    Stored<decltype(FlapCountdown)> pp_FlapCountdown;
    Stored<decltype(FlapDriveWait)> pp_FlapDriveWait;
    Stored<decltype(FlapMotionFlag)> pp_FlapMotionFlag;
    Stored<decltype(JoystickRudderOut)> pp_JoystickRudderOut;
    Stored<decltype(NoseSteeringSwitch)> pp_NoseSteeringSwitch;
    Stored<decltype(RuddersShutoffA)> pp_RuddersShutoffA;
    Stored<decltype(RuddersShutoffB)> pp_RuddersShutoffB;
    Stored<decltype(HydraulicShutoff)> pp_HydraulicShutoff;
    Stored<decltype(StickPusherShutoff)> pp_StickPusherShutoff;
    Stored<decltype(RudderTrimOutput)> pp_RudderTrimOutput;
    Stored<decltype(FlightControlGating)> pp_FlightControlGating;
    Stored<decltype(TorqueYawValue)> pp_TorqueYawValue;
    Stored<decltype(RudderTrimValue)> pp_RudderTrimValue;
    Stored<decltype(ControlTorque)> pp_ControlTorque;
    Stored<decltype(PusherHoldCountdown)> pp_PusherHoldCountdown;
    Stored<decltype(PusherPushCountdown)> pp_PusherPushCountdown;
    Stored<decltype(PusherBudget)> pp_PusherBudget;
    Stored<decltype(GearWarning)> pp_GearWarning;
    Stored<decltype(OverspeedWarning)> pp_OverspeedWarning;
    Stored<decltype(GearWarningTestCount)> pp_GearWarningTestCount;
    Stored<decltype(GearWarningRequest)> pp_GearWarningRequest;
    Stored<decltype(flight_controls_COPILOT_antiskid_sw)> pp_flight_controls_COPILOT_antiskid_sw;
    Stored<decltype(CopilotPanelTimer)> pp_CopilotPanelTimer;
    Stored<decltype(CopilotPanelToggle)> pp_CopilotPanelToggle;
    Stored<decltype(CopilotSwitchPowered)> pp_CopilotSwitchPowered;
    Stored<decltype(flight_controls_FF_TRIM)> pp_flight_controls_FF_TRIM;
    Stored<decltype(HydraulicSystemPressure)> pp_HydraulicSystemPressure;
    Stored<decltype(FlapDrivePressure)> pp_FlapDrivePressure;
    Stored<decltype(RudderPressure)> pp_RudderPressure;
    Stored<decltype(SpoilerInboardPressure)> pp_SpoilerInboardPressure;
    Stored<decltype(SpoilerOutboardPressure)> pp_SpoilerOutboardPressure;
    Stored<decltype(FlapHydraulicWord)> pp_FlapHydraulicWord;
};

template <typename T>
void CopyBytes(T& to, const T& from) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(&to, &from, sizeof(T));
}

inline Snapshot Capture() {
    Snapshot s{};
    ForEachGlobal(s, [](auto& global, auto& saved) { CopyBytes(saved, global); });
    return s;
}

// Taken during the program's static initialisation, before main.
inline const Snapshot kLoaded = Capture();

}  // namespace module_state_detail

inline void RestoreLoadedModuleState() {
    using namespace module_state_detail;
    ForEachGlobal(kLoaded, [](auto& global, const auto& saved) { CopyBytes(global, saved); });
    RemoteDisplayCountdown.store(0);
    RemoteValuesSetFlag.store(0);
}

}  // namespace zu::e2e
