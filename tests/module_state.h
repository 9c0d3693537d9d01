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
#include "core/air_conditioning.h"
#include "core/air_data.h"
#include "core/autopilot_control_laws.h"
#include "core/blade_angle_locator.h"
#include "core/cabin_doors.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/flight_guidance_annunciation.h"
#include "core/flight_persistence.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/joystick_input.h"
#include "core/module_frame.h"
#include "core/named_variables.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/settings_file.h"
#include "core/systems_tick.h"
#include "displays/head_up_guidance.h"
#include "displays/sg_select_panels.h"
#include "displays/tcas.h"
#include "fms/cdu_engine.h"
#include "fms/flight_plan.h"
#include "fms/leg_geometry.h"
#include "instruments/adf_control_heads.h"
#include "instruments/airspeed_indicators.h"
#include "instruments/altimeters.h"
#include "instruments/atc_control_head.h"
#include "instruments/audio_panel.h"
#include "instruments/clocks.h"
#include "instruments/com_control_heads.h"
#include "instruments/course_selectors.h"
#include "instruments/standby_instruments.h"
#include "instruments/vor_control_heads.h"
#include "panels/al801_panel.h"
#include "panels/autopilot_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/display_control_panels.h"
#include "panels/engine_panel.h"
#include "panels/engine_start_panels.h"
#include "panels/id809_panels.h"
#include "panels/pressurisation_panel.h"
#include "panels/rnav_panels.h"
#include "panels/side_panels.h"

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
    f(FGC_comp_AP2_engaged, s.fg_FGC_comp_AP2_engaged);
    f(FGC_comp_YD2_engaged, s.fg_FGC_comp_YD2_engaged);
    f(FGC_comp_AP1_vertical_mode, s.fg_FGC_comp_AP1_vertical_mode);
    f(FGC_comp_AP2_vertical_mode, s.fg_FGC_comp_AP2_vertical_mode);
    f(FGC_comp_AP1_lateral_mode, s.fg_FGC_comp_AP1_lateral_mode);
    f(FGC_comp_AP2_lateral_mode, s.fg_FGC_comp_AP2_lateral_mode);
    f(FGC_comp_AP1_vertical_armed_mode_1, s.fg_FGC_comp_AP1_vertical_armed_mode_1);
    f(FGC_comp_AP1_vertical_armed_mode_2, s.fg_FGC_comp_AP1_vertical_armed_mode_2);
    f(FGC_comp_AP1_lateral_armed_mode, s.fg_FGC_comp_AP1_lateral_armed_mode);
    f(FGC_comp_AP2_vertical_armed_mode_1, s.fg_FGC_comp_AP2_vertical_armed_mode_1);
    f(FGC_comp_AP2_vertical_armed_mode_2, s.fg_FGC_comp_AP2_vertical_armed_mode_2);
    f(FGC_comp_AP2_lateral_armed_mode, s.fg_FGC_comp_AP2_lateral_armed_mode);
    f(FGC_comp_AP1_dual_approach_mode, s.fg_FGC_comp_AP1_dual_approach_mode);
    f(FGC_comp_AP2_dual_approach_mode, s.fg_FGC_comp_AP2_dual_approach_mode);
    f(FGC_comp_ZAZ_AP1_GS_CHECK, s.fg_FGC_comp_ZAZ_AP1_GS_CHECK);
    f(FGC_comp_ZAZ_AP2_GS_CHECK, s.fg_FGC_comp_ZAZ_AP2_GS_CHECK);
    f(FgcSide2, s.fg_FgcSide2);
    f(FmaFlags1, s.fg_FmaFlags1);
    f(FmaFlags2, s.fg_FmaFlags2);
    f(FgcFlags1, s.fg_FgcFlags1);
    f(FgcSide2Flags, s.fg_FgcSide2Flags);
    f(Fgc2TcsActive, s.fg_Fgc2TcsActive);
    f(FgcState, s.fg_FgcState);
    f(FdBarSense, s.fg_FdBarSense);
    f(FdBarSense2, s.fg_FdBarSense2);
    f(FgcPitchTarget, s.fg_FgcPitchTarget);
    f(FgcVsTarget, s.fg_FgcVsTarget);
    f(FgcIasTarget, s.fg_FgcIasTarget);
    f(FGC_comp_AP_prog_alt, s.fg_FGC_comp_AP_prog_alt);
    f(FgcBankLimit, s.fg_FgcBankLimit);
    f(FgcRollCommand, s.fg_FgcRollCommand);
    f(FgcRollCommand2, s.fg_FgcRollCommand2);
    f(FgcHeadingTarget, s.fg_FgcHeadingTarget);
    f(FgcHeadingTarget2, s.fg_FgcHeadingTarget2);
    f(FgcFmsLegParam1, s.fg_FgcFmsLegParam1);
    f(FgcFmsLegParam2, s.fg_FgcFmsLegParam2);
    f(FgcGlideslopeDeviation, s.fg_FgcGlideslopeDeviation);
    f(FgcGlideslopeDeviation2, s.fg_FgcGlideslopeDeviation2);
    f(AfcsPower1, s.fg_AfcsPower1);
    f(AfcsPower2, s.fg_AfcsPower2);
    f(BaroAltitudeSource, s.fg_BaroAltitudeSource);
    f(FgcChannel1, s.fg_FgcChannel1);
    f(FgcChannel2, s.fg_FgcChannel2);
    f(FgcSelect, s.fg_FgcSelect);
    f(FgcPassageInput, s.fg_FgcPassageInput);
    f(ApLaw1, s.fg_ApLaw1);
    f(ApLaw2, s.fg_ApLaw2);
    f(FlightDirectorRollCommand, s.fg_FlightDirectorRollCommand);
    f(FlightDirectorPitchCommand, s.fg_FlightDirectorPitchCommand);
    f(FlightDirectorRollCommand2, s.fg_FlightDirectorRollCommand2);
    f(FlightDirectorPitchCommand2, s.fg_FlightDirectorPitchCommand2);
    f(ApRollServoOutput, s.fg_ApRollServoOutput);
    f(ApPitchServoOutput1, s.fg_ApPitchServoOutput1);
    f(ApPitchServoOutput2, s.fg_ApPitchServoOutput2);
    f(FgcServoValid, s.fg_FgcServoValid);
    f(FgcServoFault, s.fg_FgcServoFault);
    f(FgcMessageLines, s.fg_FgcMessageLines);
    f(TasDisplayCountdown, s.fg_TasDisplayCountdown);
    f(AltitudeAlertCountdown, s.fg_AltitudeAlertCountdown);
    f(AltitudeAlertFlag, s.fg_AltitudeAlertFlag);
    f(PfdAdvisoryFlag, s.fg_PfdAdvisoryFlag);
    f(PfdAdvisoryFlag2, s.fg_PfdAdvisoryFlag2);
    f(AirDataFlags, s.fg_AirDataFlags);
    f(MapDisplayState, s.fg_MapDisplayState);
    f(LongitudinalAccelFiltered, s.fg_LongitudinalAccelFiltered);
    f(HgsPitchCommandFactor, s.fg_HgsPitchCommandFactor);
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
    f(PilotPanelState, s.pp_PilotPanelState);
    f(PowerLeverSoundLatch, s.pp_PowerLeverSoundLatch);
    f(EngineFuelFeed, s.pp_EngineFuelFeed);
    f(GearCommanded, s.pp_GearCommanded);
    f(flight_controls_GEAR, s.pp_flight_controls_GEAR);
    f(GearHandlePrevious, s.pp_GearHandlePrevious);
    f(GearHandleCountdown, s.pp_GearHandleCountdown);
    f(GearToggleCountdown, s.pp_GearToggleCountdown);
    f(GearFlags, s.pp_GearFlags);
    f(GearTransitCountdown, s.pp_GearTransitCountdown);
    f(GearLegPosition, s.pp_GearLegPosition);
    f(GearLegLight, s.pp_GearLegLight);
    f(GearStates, s.pp_GearStates);
    f(AltGearState, s.pp_AltGearState);
    f(GearAltExtension, s.pp_GearAltExtension);
    f(GearAltExtensionCountdown, s.pp_GearAltExtensionCountdown);
    f(GearInhibitSwitch, s.pp_GearInhibitSwitch);
    f(NoseGearAltDoorGuard, s.pp_NoseGearAltDoorGuard);
    f(GearInhibitGuard, s.pp_GearInhibitGuard);
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
    f(GearWarningTestCount, s.pp_GearWarningTestCount);
    f(GearWarningRequest, s.pp_GearWarningRequest);
    f(flight_controls_COPILOT_antiskid_sw, s.pp_flight_controls_COPILOT_antiskid_sw);
    f(CopilotPanelTimer, s.pp_CopilotPanelTimer);
    f(CopilotSwitchPowered, s.pp_CopilotSwitchPowered);
    f(flight_controls_FF_TRIM, s.pp_flight_controls_FF_TRIM);
    f(HydraulicsState, s.pp_HydraulicsState);
    f(FlapsHydraulicPressure, s.pp_FlapsHydraulicPressure);
    f(RudderPressure, s.pp_RudderPressure);
    f(RollSpoilerPressure, s.pp_RollSpoilerPressure);
    f(FlapHydraulicWord, s.pp_FlapHydraulicWord);
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
    f(TcasRangeNm, s.tcas_range);
    f(TcasIntruders, s.tcas_intruders);
    f(TcasOwn, s.tcas_own);
    f(SgTransfer, s.sg_transfer);
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
    // The flight dials: selectors, clocks, airspeed indicators, altimeters.
    f(CourseKnobDisplay, s.course_knob_display);
    f(CourseTouchKnob, s.course_touch_knob);
    f(HeadingTouchKnob, s.heading_touch_knob);
    f(FGC_comp_HSI1_heading_sel, s.heading_sel1);
    f(FGC_comp_HSI2_heading_sel, s.heading_sel2);
    f(ClockReadoutBrightSeen, s.clock_bright_seen);
    f(AirspeedSide, s.airspeed_side);
    f(AsiTouchZone, s.asi_touch_zone);
    f(AltimeterDrums, s.altimeter_drums);
    f(AltimeterTouchZone, s.altimeter_touch_zone);
    f(StbyAltimeterBaro, s.stby_altimeter_baro);
    f(AltimeterShownAltitude1, s.shown_altitude1);
    f(AltimeterShownAltitude2, s.shown_altitude2);
    f(AdcTestTimer1, s.adc_test_timer1);
    f(AdcTestTimer2, s.adc_test_timer2);
    f(PfdAdvisoryFlag, s.pfd_advisory_flag);
    f(PfdAdvisoryFlag2, s.pfd_advisory_flag2);
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
    // The RMI's selectors, the warning flags and the instructor's altimeter
    // flag.
    f(RmiSourceSelect1, s.rmi_source1);
    f(RmiSourceSelect2, s.rmi_source2);
    f(StbyAttitudeFlagTravel, s.stby_flag_travel);
    f(RmiHeadingFlagTravel, s.rmi_flag_travel);
    f(Altimeter1FlagVisible, s.altimeter1_flag);
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
    // The glare-shield guidance panels.
    f(ApTouchZone, s.ap_touch_zone);
    f(ApTouchLastTick, s.ap_touch_last_tick);
    f(ApTouchCountdown, s.ap_touch_countdown);
    f(Al801Touch, s.al801_touch);
    f(Id809BlankCountdown, s.id809_blank1);
    f(Id809BlankCountdown2, s.id809_blank2);
    f(RnavFlashPhase, s.rnav_flash_phase);
    // Hydraulics, fire protection, air conditioning, pressurisation and ice
    // protection, with their panels' settings.
    f(HydraulicFluidState, s.hydraulic_fluid);
    f(StbyHydPumpSelect, s.stby_pump_select);
    f(StbyPumpToggle, s.stby_pump_toggle);
    f(RudderInputInhibit, s.rudder_input_inhibit);
    f(FireProtectionState, s.fire);
    f(EngineFireWarning, s.engine_fire_warning);
    f(FireWarningActive, s.fire_warning_active);
    f(FireWarningAck, s.fire_warning_ack);
    f(EngineFuelFeed, s.engine_fuel_feed);
    f(FireTestCountdown, s.fire_test_countdown);
    f(FireRefreshCountdown, s.fire_refresh_countdown);
    f(IceProtectionState, s.ice);
    f(AirConditioningState, s.air_conditioning);
    f(AirConditioningValues, s.air_conditioning_values);
    f(PressurisationState, s.pressurisation);
    f(PressurisationState2, s.pressurisation2);
    f(CabinPressureResetRequest, s.cabin_reset_request);
    f(PneuPanelSwitches, s.pneu_switches);
    f(PneuSwitch, s.pneu_switch);
    f(PneuKnob, s.pneu_knob);
    f(PressurisationMode, s.press_mode);
    f(PressurisationSwitch, s.press_switch);
    f(PressPanelKnob, s.press_knob);
    f(CabinRateKnob, s.cabin_rate_knob);
    f(LandingFieldElevation, s.landing_field);
    f(PressModeChangeTimer, s.press_timer);
    f(RuddersShutoffA, s.rudders_shutoff_a);
    f(RuddersShutoffB, s.rudders_shutoff_b);
    f(HydraulicShutoff, s.hydraulic_shutoff);
    f(FlapMotionFlag, s.flap_motion_flag);
    f(GearAltExtension, s.gear_alt_extension);
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
    Stored<decltype(PilotPanelState)> pp_PilotPanelState;
    Stored<decltype(PowerLeverSoundLatch)> pp_PowerLeverSoundLatch;
    Stored<decltype(EngineFuelFeed)> pp_EngineFuelFeed;
    Stored<decltype(GearCommanded)> pp_GearCommanded;
    Stored<decltype(flight_controls_GEAR)> pp_flight_controls_GEAR;
    Stored<decltype(GearHandlePrevious)> pp_GearHandlePrevious;
    Stored<decltype(GearHandleCountdown)> pp_GearHandleCountdown;
    Stored<decltype(GearToggleCountdown)> pp_GearToggleCountdown;
    Stored<decltype(GearFlags)> pp_GearFlags;
    Stored<decltype(GearTransitCountdown)> pp_GearTransitCountdown;
    Stored<decltype(GearLegPosition)> pp_GearLegPosition;
    Stored<decltype(GearLegLight)> pp_GearLegLight;
    Stored<decltype(GearStates)> pp_GearStates;
    Stored<decltype(AltGearState)> pp_AltGearState;
    Stored<decltype(GearAltExtension)> pp_GearAltExtension;
    Stored<decltype(GearAltExtensionCountdown)> pp_GearAltExtensionCountdown;
    Stored<decltype(GearInhibitSwitch)> pp_GearInhibitSwitch;
    Stored<decltype(NoseGearAltDoorGuard)> pp_NoseGearAltDoorGuard;
    Stored<decltype(GearInhibitGuard)> pp_GearInhibitGuard;
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
    Stored<decltype(GearWarningTestCount)> pp_GearWarningTestCount;
    Stored<decltype(GearWarningRequest)> pp_GearWarningRequest;
    Stored<decltype(flight_controls_COPILOT_antiskid_sw)> pp_flight_controls_COPILOT_antiskid_sw;
    Stored<decltype(CopilotPanelTimer)> pp_CopilotPanelTimer;
    Stored<decltype(CopilotSwitchPowered)> pp_CopilotSwitchPowered;
    Stored<decltype(flight_controls_FF_TRIM)> pp_flight_controls_FF_TRIM;
    Stored<decltype(HydraulicsState)> pp_HydraulicsState;
    Stored<decltype(FlapsHydraulicPressure)> pp_FlapsHydraulicPressure;
    Stored<decltype(RudderPressure)> pp_RudderPressure;
    Stored<decltype(RollSpoilerPressure)> pp_RollSpoilerPressure;
    Stored<decltype(FlapHydraulicWord)> pp_FlapHydraulicWord;
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
    Stored<decltype(TcasRangeNm)> tcas_range;
    Stored<decltype(TcasIntruders)> tcas_intruders;
    Stored<decltype(TcasOwn)> tcas_own;
    Stored<decltype(SgTransfer)> sg_transfer;
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
    Stored<decltype(CourseKnobDisplay)> course_knob_display;
    Stored<decltype(CourseTouchKnob)> course_touch_knob;
    Stored<decltype(HeadingTouchKnob)> heading_touch_knob;
    Stored<decltype(FGC_comp_HSI1_heading_sel)> heading_sel1;
    Stored<decltype(FGC_comp_HSI2_heading_sel)> heading_sel2;
    Stored<decltype(ClockReadoutBrightSeen)> clock_bright_seen;
    Stored<decltype(AirspeedSide)> airspeed_side;
    Stored<decltype(AsiTouchZone)> asi_touch_zone;
    Stored<decltype(AltimeterDrums)> altimeter_drums;
    Stored<decltype(AltimeterTouchZone)> altimeter_touch_zone;
    Stored<decltype(StbyAltimeterBaro)> stby_altimeter_baro;
    Stored<decltype(AltimeterShownAltitude1)> shown_altitude1;
    Stored<decltype(AltimeterShownAltitude2)> shown_altitude2;
    Stored<decltype(AdcTestTimer1)> adc_test_timer1;
    Stored<decltype(AdcTestTimer2)> adc_test_timer2;
    Stored<decltype(PfdAdvisoryFlag)> pfd_advisory_flag;
    Stored<decltype(PfdAdvisoryFlag2)> pfd_advisory_flag2;
    Stored<decltype(PropBetaLocated)> prop_beta_located;
    Stored<decltype(PropBladeAnglePointer)> blade_angle_pointers;
    Stored<decltype(BladeLocatorCalls)> locator_calls;
    Stored<decltype(BladeLocatorAttempts)> locator_attempts;
    Stored<decltype(NamedVariableIds)> named_variable_ids;
    Stored<decltype(NoAiiiBlinkCounter)> no_aiii_blink;
    Stored<decltype(RunwayElevationShown)> runway_elevation_shown;
    Stored<decltype(RunwayElevationTimer)> runway_elevation_timer;
    Stored<decltype(HgsIasMax)> hgs_ias_max;
    Stored<decltype(RmiSourceSelect1)> rmi_source1;
    Stored<decltype(RmiSourceSelect2)> rmi_source2;
    Stored<decltype(StbyAttitudeFlagTravel)> stby_flag_travel;
    Stored<decltype(RmiHeadingFlagTravel)> rmi_flag_travel;
    Stored<decltype(Altimeter1FlagVisible)> altimeter1_flag;
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
    Stored<decltype(ApTouchZone)> ap_touch_zone;
    Stored<decltype(ApTouchLastTick)> ap_touch_last_tick;
    Stored<decltype(ApTouchCountdown)> ap_touch_countdown;
    Stored<decltype(Al801Touch)> al801_touch;
    Stored<decltype(Id809BlankCountdown)> id809_blank1;
    Stored<decltype(Id809BlankCountdown2)> id809_blank2;
    Stored<decltype(RnavFlashPhase)> rnav_flash_phase;
    Stored<decltype(FGC_comp_AP2_engaged)> fg_FGC_comp_AP2_engaged;
    Stored<decltype(FGC_comp_YD2_engaged)> fg_FGC_comp_YD2_engaged;
    Stored<decltype(FGC_comp_AP1_vertical_mode)> fg_FGC_comp_AP1_vertical_mode;
    Stored<decltype(FGC_comp_AP2_vertical_mode)> fg_FGC_comp_AP2_vertical_mode;
    Stored<decltype(FGC_comp_AP1_lateral_mode)> fg_FGC_comp_AP1_lateral_mode;
    Stored<decltype(FGC_comp_AP2_lateral_mode)> fg_FGC_comp_AP2_lateral_mode;
    Stored<decltype(FGC_comp_AP1_vertical_armed_mode_1)> fg_FGC_comp_AP1_vertical_armed_mode_1;
    Stored<decltype(FGC_comp_AP1_vertical_armed_mode_2)> fg_FGC_comp_AP1_vertical_armed_mode_2;
    Stored<decltype(FGC_comp_AP1_lateral_armed_mode)> fg_FGC_comp_AP1_lateral_armed_mode;
    Stored<decltype(FGC_comp_AP2_vertical_armed_mode_1)> fg_FGC_comp_AP2_vertical_armed_mode_1;
    Stored<decltype(FGC_comp_AP2_vertical_armed_mode_2)> fg_FGC_comp_AP2_vertical_armed_mode_2;
    Stored<decltype(FGC_comp_AP2_lateral_armed_mode)> fg_FGC_comp_AP2_lateral_armed_mode;
    Stored<decltype(FGC_comp_AP1_dual_approach_mode)> fg_FGC_comp_AP1_dual_approach_mode;
    Stored<decltype(FGC_comp_AP2_dual_approach_mode)> fg_FGC_comp_AP2_dual_approach_mode;
    Stored<decltype(FGC_comp_ZAZ_AP1_GS_CHECK)> fg_FGC_comp_ZAZ_AP1_GS_CHECK;
    Stored<decltype(FGC_comp_ZAZ_AP2_GS_CHECK)> fg_FGC_comp_ZAZ_AP2_GS_CHECK;
    Stored<decltype(FgcSide2)> fg_FgcSide2;
    Stored<decltype(FmaFlags1)> fg_FmaFlags1;
    Stored<decltype(FmaFlags2)> fg_FmaFlags2;
    Stored<decltype(FgcFlags1)> fg_FgcFlags1;
    Stored<decltype(FgcSide2Flags)> fg_FgcSide2Flags;
    Stored<decltype(Fgc2TcsActive)> fg_Fgc2TcsActive;
    Stored<decltype(FgcState)> fg_FgcState;
    Stored<decltype(FdBarSense)> fg_FdBarSense;
    Stored<decltype(FdBarSense2)> fg_FdBarSense2;
    Stored<decltype(FgcPitchTarget)> fg_FgcPitchTarget;
    Stored<decltype(FgcVsTarget)> fg_FgcVsTarget;
    Stored<decltype(FgcIasTarget)> fg_FgcIasTarget;
    Stored<decltype(FGC_comp_AP_prog_alt)> fg_FGC_comp_AP_prog_alt;
    Stored<decltype(FgcBankLimit)> fg_FgcBankLimit;
    Stored<decltype(FgcRollCommand)> fg_FgcRollCommand;
    Stored<decltype(FgcRollCommand2)> fg_FgcRollCommand2;
    Stored<decltype(FgcHeadingTarget)> fg_FgcHeadingTarget;
    Stored<decltype(FgcHeadingTarget2)> fg_FgcHeadingTarget2;
    Stored<decltype(FgcFmsLegParam1)> fg_FgcFmsLegParam1;
    Stored<decltype(FgcFmsLegParam2)> fg_FgcFmsLegParam2;
    Stored<decltype(FgcGlideslopeDeviation)> fg_FgcGlideslopeDeviation;
    Stored<decltype(FgcGlideslopeDeviation2)> fg_FgcGlideslopeDeviation2;
    Stored<decltype(AfcsPower1)> fg_AfcsPower1;
    Stored<decltype(AfcsPower2)> fg_AfcsPower2;
    Stored<decltype(BaroAltitudeSource)> fg_BaroAltitudeSource;
    Stored<decltype(FgcChannel1)> fg_FgcChannel1;
    Stored<decltype(FgcChannel2)> fg_FgcChannel2;
    Stored<decltype(FgcSelect)> fg_FgcSelect;
    Stored<decltype(FgcPassageInput)> fg_FgcPassageInput;
    Stored<decltype(ApLaw1)> fg_ApLaw1;
    Stored<decltype(ApLaw2)> fg_ApLaw2;
    Stored<decltype(FlightDirectorRollCommand)> fg_FlightDirectorRollCommand;
    Stored<decltype(FlightDirectorPitchCommand)> fg_FlightDirectorPitchCommand;
    Stored<decltype(FlightDirectorRollCommand2)> fg_FlightDirectorRollCommand2;
    Stored<decltype(FlightDirectorPitchCommand2)> fg_FlightDirectorPitchCommand2;
    Stored<decltype(ApRollServoOutput)> fg_ApRollServoOutput;
    Stored<decltype(ApPitchServoOutput1)> fg_ApPitchServoOutput1;
    Stored<decltype(ApPitchServoOutput2)> fg_ApPitchServoOutput2;
    Stored<decltype(FgcServoValid)> fg_FgcServoValid;
    Stored<decltype(FgcServoFault)> fg_FgcServoFault;
    Stored<decltype(FgcMessageLines)> fg_FgcMessageLines;
    Stored<decltype(TasDisplayCountdown)> fg_TasDisplayCountdown;
    Stored<decltype(AltitudeAlertCountdown)> fg_AltitudeAlertCountdown;
    Stored<decltype(AltitudeAlertFlag)> fg_AltitudeAlertFlag;
    Stored<decltype(PfdAdvisoryFlag)> fg_PfdAdvisoryFlag;
    Stored<decltype(PfdAdvisoryFlag2)> fg_PfdAdvisoryFlag2;
    Stored<decltype(AirDataFlags)> fg_AirDataFlags;
    Stored<decltype(MapDisplayState)> fg_MapDisplayState;
    Stored<decltype(LongitudinalAccelFiltered)> fg_LongitudinalAccelFiltered;
    Stored<decltype(HgsPitchCommandFactor)> fg_HgsPitchCommandFactor;
    Stored<decltype(HydraulicFluidState)> hydraulic_fluid;
    Stored<decltype(StbyHydPumpSelect)> stby_pump_select;
    Stored<decltype(StbyPumpToggle)> stby_pump_toggle;
    Stored<decltype(RudderInputInhibit)> rudder_input_inhibit;
    Stored<decltype(FireProtectionState)> fire;
    Stored<decltype(EngineFireWarning)> engine_fire_warning;
    Stored<decltype(FireWarningActive)> fire_warning_active;
    Stored<decltype(FireWarningAck)> fire_warning_ack;
    Stored<decltype(EngineFuelFeed)> engine_fuel_feed;
    Stored<decltype(FireTestCountdown)> fire_test_countdown;
    Stored<decltype(FireRefreshCountdown)> fire_refresh_countdown;
    Stored<decltype(IceProtectionState)> ice;
    Stored<decltype(AirConditioningState)> air_conditioning;
    Stored<decltype(AirConditioningValues)> air_conditioning_values;
    Stored<decltype(PressurisationState)> pressurisation;
    Stored<decltype(PressurisationState2)> pressurisation2;
    Stored<decltype(CabinPressureResetRequest)> cabin_reset_request;
    Stored<decltype(PneuPanelSwitches)> pneu_switches;
    Stored<decltype(PneuSwitch)> pneu_switch;
    Stored<decltype(PneuKnob)> pneu_knob;
    Stored<decltype(PressurisationMode)> press_mode;
    Stored<decltype(PressurisationSwitch)> press_switch;
    Stored<decltype(PressPanelKnob)> press_knob;
    Stored<decltype(CabinRateKnob)> cabin_rate_knob;
    Stored<decltype(LandingFieldElevation)> landing_field;
    Stored<decltype(PressModeChangeTimer)> press_timer;
    Stored<decltype(RuddersShutoffA)> rudders_shutoff_a;
    Stored<decltype(RuddersShutoffB)> rudders_shutoff_b;
    Stored<decltype(HydraulicShutoff)> hydraulic_shutoff;
    Stored<decltype(FlapMotionFlag)> flap_motion_flag;
    Stored<decltype(GearAltExtension)> gear_alt_extension;
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
    // The flight guidance's hand-over words.
    for (auto& r : ApButtonRequest) r.store(0);
    ApKnob.store(0);
    FGC_comp_AP_master.store(1);
    RnavRequest1.store(0);
    RnavRequest2.store(0);
    FgcNewData1.store(0);
    FgcNewData2.store(0);
    TcsButtonState.store(0);
    ApDisconnectButtonState.store(0);
    ApDisconnectRequest.store(0);
    for (auto& r : TasDisplayRequest) r.store(0);
    TcasIntruderShown.store(0);
    for (FgcMessageStateRecord* m : {&FgcMessageState1, &FgcMessageState2}) {
        m->code.store(0);
        m->upper_time = 0;
        m->code3_flag = 0;
        m->lower_time = 0;
    }
    CduResetForLoad();
}

}  // namespace zu::e2e
