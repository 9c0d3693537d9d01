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

#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/instructor_state_exchange.h"
#include "cabin_link/sound_scheme.h"
#include "core/ahrs.h"
#include "core/air_data.h"
#include "core/blade_angle_locator.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/flight_guidance.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/ice_protection.h"
#include "core/joystick_input.h"
#include "core/module_frame.h"
#include "core/named_variables.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "displays/tcas.h"
#include "fms/cdu_engine.h"
#include "fms/flight_plan.h"
#include "fms/leg_geometry.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/audio_panel.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"
#include "panels/display_control_panels.h"
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
    f(FgcSide1, s.fgc_side1);
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
    f(FlightSaveCounterSeen, s.flight_save_seen);
    f(LoadingWindowOpened, s.loading_window_opened);
    f(FlightSaveCountdown, s.flight_save_countdown);
    f(FlightSaveCounter, s.flight_save_counter);
    f(FlightName, s.flight_name);
    f(LoadedFlightPath, s.loaded_flight_path);
    f(Antiice_sys_pitot1_ice_sw, s.pitot1);
    f(JoystickReady, s.joystick_ready);
    f(JoystickRudderBias, s.joystick_bias);
    f(JoystickRudderSum, s.joystick_sum);
    f(JoystickRudderCount, s.joystick_count);
    f(JoystickRudderBiasLearnt, s.joystick_learnt);
    f(JoystickAileronOut, s.joystick_aileron_out);
    f(JoystickElevatorOut, s.joystick_elevator_out);
    f(JoystickAileronAxis, s.joystick_aileron_axis);
    f(JoystickElevatorAxis, s.joystick_elevator_axis);
    f(JoystickRudderAxis, s.joystick_rudder_axis);
    f(DINPUT_USE, s.dinput_use);
    f(Antiice_sys_pitot2_ice_sw, s.pitot2);
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
    // Radio heads: modes, presets and the transponder's codes.
    f(Vor1Radio, s.vor1);
    f(Vor2Radio, s.vor2);
    f(Vor1PanelState, s.vor1_panel);
    f(Vor2PanelState, s.vor2_panel);
    f(Adf1PanelState, s.adf1_panel);
    f(Adf2PanelState, s.adf2_panel);
    f(Com2PanelState, s.com2_panel);
    f(TransponderIdent, s.transponder_ident);
    f(TransponderCodeText, s.transponder_code_text);
    f(TransponderVfrCodeText, s.transponder_vfr_code_text);
    f(TransponderCodePtr, s.transponder_code_ptr);
    f(TransponderAltSource, s.transponder_alt_source);
    f(TcasState, s.tcas);
    // Sound settings, the audio and entertainment panels, the sound families
    // and the cabin.
    f(SOUND_VOLUME, s.sound_volume);
    f(MUSIC_VOLUME, s.music_volume);
    f(ENTERTAINMENT, s.entertainment);
    f(SOUND_SPLIT_PLS, s.sound_split);
    f(AudioRoutingMask, s.audio_routing);
    f(MarkerPanelSwitches, s.marker_switches);
    f(AudioPanelToggle, s.audio_toggle);
    f(AudioPanelSwitches, s.audio_switches);
    f(AudioPanelVolume, s.audio_volume);
    f(EntertainmentOn, s.entertainment_on);
    f(EntertainmentSelection, s.entertainment_selection);
    f(CabinMusicSwitch, s.cabin_music);
    f(WiperState, s.wiper);
    f(VoiceAlertSequencer, s.voice_sequencer);
    f(EngineSound, s.engine_sound);
    f(SoundSchemeState, s.sound_scheme);
    f(FlightPhaseState, s.flight_phase);
    f(AnnouncementLastSelection, s.announcement_last);
    // The flight plan.
    f(FlightPlan, s.flight_plan);
    f(FmsFromLeg, s.fms_from);
    f(FmsToLeg, s.fms_to);
    f(FmsNextLeg, s.fms_next);
    f(FmsToLegCopy, s.fms_to_copy);
    f(FmsToLegIndex, s.fms_to_index);
    f(FmsNextLegIndex, s.fms_next_index);
    f(FmsLastLegCount, s.fms_last_count);
    f(FmsSequenceRequest, s.fms_sequence);
    f(FmsHoldSlots, s.fms_hold_slots);
    f(FmsKeepNext, s.fms_keep_next);
    f(LateralTurnState, s.lateral_turn_state);
    f(HoldRecompute, s.hold_recompute);
    // AHRS, air data, clocks and alerting.
    f(Ahrs1, s.ahrs1);
    f(Ahrs2, s.ahrs2);
    f(Altimeter1Baro, s.altimeter1_baro);
    f(Altimeter2Baro, s.altimeter2_baro);
    f(Clock1State, s.clock1);
    f(Clock2State, s.clock2);
    f(StallWarningState, s.stall_warning);
    f(RadioAltWarmupCountdown, s.radio_alt_warmup);
    f(VoiceAlertIndex, s.voice_alert);
    f(GpwsFlags, s.gpws_flags);
    // The blade-angle locator (its pointers reach into one flight's
    // simulator) and the named variables' publication state.
    f(PropBetaLocated, s.prop_beta_located);
    f(PropBladeAnglePointer, s.blade_angle_pointers);
    f(BladeLocatorCalls, s.locator_calls);
    f(BladeLocatorAttempts, s.locator_attempts);
    f(NamedVariableIds, s.named_variable_ids);
    f(NoAiiiBlinkCounter, s.no_aiii_blink);
    f(RunwayElevationShown, s.runway_elevation_shown);
    f(RunwayElevationTimer, s.runway_elevation_timer);
    f(HgsIasMax, s.hgs_ias_max);
    // The display control panels.
    f(DisplayBrightnessLevel, s.display_brightness_level);
    f(DisplayFormat, s.display_format);
    f(DisplayFormatFlags1, s.display_format_flags1);
    f(DisplayFormatToggle, s.display_format_toggle);
    f(DisplayControlState1, s.display_control1);
    f(DisplayControlState2, s.display_control2);
    f(BrightnessKnobTurn, s.brightness_knob_turn);
    f(BrightnessKnobHold, s.brightness_knob_hold);
    f(DhKnobQuadrant, s.dh_knob_quadrant);
    f(BrightnessKnobQuadrant, s.brightness_knob_quadrant);
    f(FGC_comp_DH_altitude1, s.dh_altitude1);
    f(FGC_comp_DH_altitude2, s.dh_altitude2);
    f(FGC_comp_HSI1_bearing0_select, s.hsi1_bearing0);
    f(FGC_comp_HSI1_bearing1_select, s.hsi1_bearing1);
    f(FGC_comp_HSI2_bearing0_select, s.hsi2_bearing0);
    f(FGC_comp_HSI2_bearing1_select, s.hsi2_bearing1);
    f(RadioAltTestCountdown, s.display_test);
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
    Stored<decltype(FgcSide1)> fgc_side1;
    Stored<decltype(FGC_comp_FGC1_system_test_timer)> fgc1_test_timer;
    Stored<decltype(FGC_comp_FGC2_system_test_timer)> fgc2_test_timer;
    Stored<decltype(HostGearHandle)> gear_handle;
    Stored<decltype(NETWORK_SERVER)> network_server;
    Stored<decltype(Throttles_delta)> throttles_delta;
    Stored<decltype(SPLIT_PLS_SYNC_FACTOR)> split_pls_sync;
    Stored<decltype(HostIoStartDelay)> host_io_start_delay;
    Stored<decltype(FlightLoadCounter)> flight_load_counter;
    Stored<decltype(FlightSaveCounterSeen)> flight_save_seen;
    Stored<decltype(LoadingWindowOpened)> loading_window_opened;
    Stored<decltype(FlightSaveCountdown)> flight_save_countdown;
    Stored<decltype(FlightSaveCounter)> flight_save_counter;
    Stored<decltype(FlightName)> flight_name;
    Stored<decltype(LoadedFlightPath)> loaded_flight_path;
    Stored<decltype(Antiice_sys_pitot1_ice_sw)> pitot1;
    Stored<decltype(JoystickReady)> joystick_ready;
    Stored<decltype(JoystickRudderBias)> joystick_bias;
    Stored<decltype(JoystickRudderSum)> joystick_sum;
    Stored<decltype(JoystickRudderCount)> joystick_count;
    Stored<decltype(JoystickRudderBiasLearnt)> joystick_learnt;
    Stored<decltype(JoystickAileronOut)> joystick_aileron_out;
    Stored<decltype(JoystickElevatorOut)> joystick_elevator_out;
    Stored<decltype(JoystickAileronAxis)> joystick_aileron_axis;
    Stored<decltype(JoystickElevatorAxis)> joystick_elevator_axis;
    Stored<decltype(JoystickRudderAxis)> joystick_rudder_axis;
    Stored<decltype(DINPUT_USE)> dinput_use;
    Stored<decltype(Antiice_sys_pitot2_ice_sw)> pitot2;
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
    Stored<decltype(Vor1Radio)> vor1;
    Stored<decltype(Vor2Radio)> vor2;
    Stored<decltype(Vor1PanelState)> vor1_panel;
    Stored<decltype(Vor2PanelState)> vor2_panel;
    Stored<decltype(Adf1PanelState)> adf1_panel;
    Stored<decltype(Adf2PanelState)> adf2_panel;
    Stored<decltype(Com2PanelState)> com2_panel;
    Stored<decltype(TransponderIdent)> transponder_ident;
    Stored<decltype(TransponderCodeText)> transponder_code_text;
    Stored<decltype(TransponderVfrCodeText)> transponder_vfr_code_text;
    Stored<decltype(TransponderCodePtr)> transponder_code_ptr;
    Stored<decltype(TransponderAltSource)> transponder_alt_source;
    Stored<decltype(TcasState)> tcas;
    Stored<decltype(SOUND_VOLUME)> sound_volume;
    Stored<decltype(MUSIC_VOLUME)> music_volume;
    Stored<decltype(ENTERTAINMENT)> entertainment;
    Stored<decltype(SOUND_SPLIT_PLS)> sound_split;
    Stored<decltype(AudioRoutingMask)> audio_routing;
    Stored<decltype(MarkerPanelSwitches)> marker_switches;
    Stored<decltype(AudioPanelToggle)> audio_toggle;
    Stored<decltype(AudioPanelSwitches)> audio_switches;
    Stored<decltype(AudioPanelVolume)> audio_volume;
    Stored<decltype(EntertainmentOn)> entertainment_on;
    Stored<decltype(EntertainmentSelection)> entertainment_selection;
    Stored<decltype(CabinMusicSwitch)> cabin_music;
    Stored<decltype(WiperState)> wiper;
    Stored<decltype(VoiceAlertSequencer)> voice_sequencer;
    Stored<decltype(EngineSound)> engine_sound;
    Stored<decltype(SoundSchemeState)> sound_scheme;
    Stored<decltype(FlightPhaseState)> flight_phase;
    Stored<decltype(AnnouncementLastSelection)> announcement_last;
    Stored<decltype(FlightPlan)> flight_plan;
    Stored<decltype(FmsFromLeg)> fms_from;
    Stored<decltype(FmsToLeg)> fms_to;
    Stored<decltype(FmsNextLeg)> fms_next;
    Stored<decltype(FmsToLegCopy)> fms_to_copy;
    Stored<decltype(FmsToLegIndex)> fms_to_index;
    Stored<decltype(FmsNextLegIndex)> fms_next_index;
    Stored<decltype(FmsLastLegCount)> fms_last_count;
    Stored<decltype(FmsSequenceRequest)> fms_sequence;
    Stored<decltype(FmsHoldSlots)> fms_hold_slots;
    Stored<decltype(FmsKeepNext)> fms_keep_next;
    Stored<decltype(LateralTurnState)> lateral_turn_state;
    Stored<decltype(HoldRecompute)> hold_recompute;
    Stored<decltype(Ahrs1)> ahrs1;
    Stored<decltype(Ahrs2)> ahrs2;
    Stored<decltype(Altimeter1Baro)> altimeter1_baro;
    Stored<decltype(Altimeter2Baro)> altimeter2_baro;
    Stored<decltype(Clock1State)> clock1;
    Stored<decltype(Clock2State)> clock2;
    Stored<decltype(StallWarningState)> stall_warning;
    Stored<decltype(RadioAltWarmupCountdown)> radio_alt_warmup;
    Stored<decltype(VoiceAlertIndex)> voice_alert;
    Stored<decltype(GpwsFlags)> gpws_flags;
    Stored<decltype(PropBetaLocated)> prop_beta_located;
    Stored<decltype(PropBladeAnglePointer)> blade_angle_pointers;
    Stored<decltype(BladeLocatorCalls)> locator_calls;
    Stored<decltype(BladeLocatorAttempts)> locator_attempts;
    Stored<decltype(NamedVariableIds)> named_variable_ids;
    Stored<decltype(NoAiiiBlinkCounter)> no_aiii_blink;
    Stored<decltype(RunwayElevationShown)> runway_elevation_shown;
    Stored<decltype(RunwayElevationTimer)> runway_elevation_timer;
    Stored<decltype(HgsIasMax)> hgs_ias_max;
    Stored<decltype(DisplayBrightnessLevel)> display_brightness_level;
    Stored<decltype(DisplayFormat)> display_format;
    Stored<decltype(DisplayFormatFlags1)> display_format_flags1;
    Stored<decltype(DisplayFormatToggle)> display_format_toggle;
    Stored<decltype(DisplayControlState1)> display_control1;
    Stored<decltype(DisplayControlState2)> display_control2;
    Stored<decltype(BrightnessKnobTurn)> brightness_knob_turn;
    Stored<decltype(BrightnessKnobHold)> brightness_knob_hold;
    Stored<decltype(DhKnobQuadrant)> dh_knob_quadrant;
    Stored<decltype(BrightnessKnobQuadrant)> brightness_knob_quadrant;
    Stored<decltype(FGC_comp_DH_altitude1)> dh_altitude1;
    Stored<decltype(FGC_comp_DH_altitude2)> dh_altitude2;
    Stored<decltype(FGC_comp_HSI1_bearing0_select)> hsi1_bearing0;
    Stored<decltype(FGC_comp_HSI1_bearing1_select)> hsi1_bearing1;
    Stored<decltype(FGC_comp_HSI2_bearing0_select)> hsi2_bearing0;
    Stored<decltype(FGC_comp_HSI2_bearing1_select)> hsi2_bearing1;
    Stored<decltype(RadioAltTestCountdown)> display_test;
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
    LoadedFlightPathArrived.store(0);
    CduResetForLoad();
}

}  // namespace zu::e2e
