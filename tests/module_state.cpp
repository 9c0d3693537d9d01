// The loaded values of the module's globals, captured once and put back
// before each flight of a test or benchmark.
#include "module_state.h"

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

#include "cabin_link/cabin_entertainment.h"
#include "cabin_link/instructor_link_server.h"
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
#include "core/fsuipc_client.h"
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
#include "core/shared_maths.h"
#include "core/sound_objects.h"
#include "core/systems_tick.h"
#include "displays/attitude_display.h"
#include "displays/display_pixel_size.h"
#include "displays/efis_display_gauges.h"
#include "displays/efis_resources.h"
#include "displays/ehsi_map.h"
#include "displays/head_up_guidance.h"
#include "displays/hgs_panels.h"
#include "displays/hgs_runway_projection.h"
#include "displays/navigation_display.h"
#include "displays/sg_select_panels.h"
#include "displays/tcas.h"
#include "displays/tcas_display.h"
#include "displays/weather_radar.h"
#include "fms/cdu_engine.h"
#include "fms/cdu_pages.h"
#include "fms/cdu_pages_nav.h"
#include "fms/flight_plan.h"
#include "fms/fms_gauges.h"
#include "fms/fms_lifecycle.h"
#include "fms/fms_nav_output.h"
#include "fms/leg_geometry.h"
#include "fms/magnetic_variation.h"
#include "fms/nav_database.h"
#include "instruments/adf_control_heads.h"
#include "instruments/air_indicators.h"
#include "instruments/airspeed_indicators.h"
#include "instruments/altimeters.h"
#include "instruments/atc_control_head.h"
#include "instruments/audio_panel.h"
#include "instruments/clocks.h"
#include "instruments/com_control_heads.h"
#include "instruments/course_selectors.h"
#include "instruments/engine_instruments.h"
#include "instruments/hydraulic_indicators.h"
#include "instruments/inclinometer.h"
#include "instruments/master_lights.h"
#include "instruments/pedestal_indicators.h"
#include "instruments/standby_instruments.h"
#include "instruments/vor_control_heads.h"
#include "panels/ahrs_panels.h"
#include "panels/al801_panel.h"
#include "panels/anti_ice_panel.h"
#include "panels/autopilot_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/caution_panels.h"
#include "panels/display_control_panels.h"
#include "panels/electrical_meters.h"
#include "panels/engine_panel.h"
#include "panels/engine_start_panels.h"
#include "panels/fdr_switchboard.h"
#include "panels/gear_panel.h"
#include "panels/id809_panels.h"
#include "panels/lighting_panels.h"
#include "panels/pa_cvr_panels.h"
#include "panels/pressurisation_panel.h"
#include "panels/rnav_panels.h"
#include "panels/side_panels.h"

namespace zu {

namespace {

// Electrics, cautions, doors and the engine speeds they read.
template <typename F>
void ForElectricsGlobals(F& f) {
    f(Electrics_sys);
    f(ElectricsDefaultsDone);
    f(ExternalPowerHoldCountdown);
    f(CautionLightArray);
    f(DoorOpenLevel);
    f(EngineStartSelector);
    f(PropRpm);
    f(Nh1State);
    f(Nh2State);
}

// Instructor tables and the bulk targets.
template <typename F>
void ForInstructorTablesGlobals(F& f) {
    f(ElectricsInstructorStates);
    f(FlightSurfacesInstructorStates);
    f(HydraulicsInstructorStates);
    f(PowerplantsInstructorStates);
    f(AvionicsInstructorStates);
    f(RemoteTargetInts);
    f(RemoteTargetValues);
    f(RemoteCurrentValues);
    f(RemoteStepValues);
    f(RemoteValueCount);
    f(RemoteBurstStarted);
    f(RemoteLastUpdatePass);
    f(RemotePositionValues);
    f(RemoteApMirror);
    f(RemoteYdMirror);
    f(RemoteApEngageWord);
}

// Flight guidance and the gear handle the bulk targets write.
template <typename F>
void ForFlightGuidanceGlobals(F& f) {
    f(FGC_comp_AP1_engaged);
    f(FGC_comp_YD1_engaged);
    f(FgcSide1);
    f(FGC_comp_FGC1_system_test_timer);
    f(FGC_comp_FGC2_system_test_timer);
    f(HostGearHandle);
    f(FGC_comp_AP2_engaged);
    f(FGC_comp_YD2_engaged);
    f(FGC_comp_AP1_vertical_mode);
    f(FGC_comp_AP2_vertical_mode);
    f(FGC_comp_AP1_lateral_mode);
    f(FGC_comp_AP2_lateral_mode);
    f(FGC_comp_AP1_vertical_armed_mode_1);
    f(FGC_comp_AP1_vertical_armed_mode_2);
    f(FGC_comp_AP1_lateral_armed_mode);
    f(FGC_comp_AP2_vertical_armed_mode_1);
    f(FGC_comp_AP2_vertical_armed_mode_2);
    f(FGC_comp_AP2_lateral_armed_mode);
    f(FGC_comp_AP1_dual_approach_mode);
    f(FGC_comp_AP2_dual_approach_mode);
    f(FGC_comp_ZAZ_AP1_GS_CHECK);
    f(FGC_comp_ZAZ_AP2_GS_CHECK);
    f(FgcSide2);
    f(FmaFlags1);
    f(FmaFlags2);
    f(FgcFlags1);
    f(FgcSide2Flags);
    f(Fgc2TcsActive);
    f(FgcState);
    f(FdBarSense);
    f(FdBarSense2);
    f(FgcPitchTarget);
    f(FgcVsTarget);
    f(FgcIasTarget);
    f(FGC_comp_AP_prog_alt);
    f(FgcBankLimit);
    f(FgcRollCommand);
    f(FgcRollCommand2);
    f(FgcHeadingTarget);
    f(FgcHeadingTarget2);
    f(FgcFmsLegParam1);
    f(FgcFmsLegParam2);
    f(FgcGlideslopeDeviation);
    f(FgcGlideslopeDeviation2);
    f(AfcsPower1);
    f(AfcsPower2);
    f(BaroAltitudeSource);
    f(FgcChannel1);
    f(FgcChannel2);
    f(FgcSelect);
    f(FgcPassageInput);
    f(ApLaw1);
    f(ApLaw2);
    f(FlightDirectorRollCommand);
    f(FlightDirectorPitchCommand);
    f(FlightDirectorRollCommand2);
    f(FlightDirectorPitchCommand2);
    f(ApRollServoOutput);
    f(ApPitchServoOutput1);
    f(ApPitchServoOutput2);
    f(FgcServoValid);
    f(FgcServoFault);
    f(FgcMessageLines);
    f(TasDisplayCountdown);
    f(AltitudeAlertCountdown);
    f(AltitudeAlertFlag);
    f(PfdAdvisoryFlag);
    f(PfdAdvisoryFlag2);
    f(AirDataFlags);
    f(MapDisplayState);
    f(MapLastTrack);
    f(SystemTimers2);
    f(HydraulicDecayFactor);
    f(EngineAirValue);
    f(AirConditioningHostValues);
    f(AmbientTemperature);
    f(IndicatedAirspeed);
    f(Altitude);
    f(ReferencePressure);
    f(ParkingBrake);
    f(LongitudinalAccelFiltered);
    f(HgsPitchCommandFactor);
}

// Head-up guidance: modes, entries, flare state, runway points, panels.
template <typename F>
void ForHeadUpGuidanceGlobals(F& f) {
    f(HGS_HGS_actual_mode);
    f(HGS_HGS_stby_mode);
    f(HGS_HGS_elevation_set);
    f(HGS_HGS_gs_slope_angle);
    f(HgsBlinkCounter);
    f(HgsEntryLength);
    f(HgsEntryText);
    f(HgsPanelBrightness);
    f(HGS_RASU_speed);
    f(HgsPowered);
    f(HgsBothIls);
    f(HgsAiiiAvailable);
    f(HgsAiiiArmed);
    f(HgsApproachWarning);
    f(HgsElevationEntry);
    f(HgsSlopeEntry);
    f(HgsEntryTyped);
    f(HgsWindVectorVisible);
    f(HgsIdleMessage);
    f(HgsFlareArmed);
    f(HgsFlareActive);
    f(HgsIdleTimer);
    f(HgsFlareSinkRef);
    f(HgsFlareCommand);
    f(HgsFlarePitchTarget);
    f(HgsAiiiPresetLatch);
    f(HgsGoAroundLatch);
    f(HgsOnGroundPrevious);
    f(HgsRunwayGroundPoints);
    f(HgsRunwayScreenPoints);
    f(HGS_HGS_HUD_show_flag);
    f(RasuTouchSector);
}

// Settings: a flight without a settings file keeps the built-in values.
template <typename F>
void ForSettingsGlobals(F& f) {
    f(NETWORK_SERVER);
    f(Throttles_delta);
    f(SPLIT_PLS_SYNC_FACTOR);
}

// Host input and output: start-up hold, values and last-sent copies.
template <typename F>
void ForHostIoGlobals(F& f) {
    f(HostIoStartDelay);
    f(FlightLoadCounter);
    f(FlightSaveCounterSeen);
    f(LoadingWindowOpened);
    f(FlightSaveCountdown);
    f(FlightSaveCounter);
    f(FlightName);
    f(LoadedFlightPath);
    f(Antiice_sys_pitot1_ice_sw);
    f(JoystickReady);
    f(JoystickRudderBias);
    f(JoystickRudderSum);
    f(JoystickRudderCount);
    f(JoystickRudderBiasLearnt);
    f(JoystickAileronOut);
    f(JoystickElevatorOut);
    f(JoystickAileronAxis);
    f(JoystickElevatorAxis);
    f(JoystickRudderAxis);
    f(DINPUT_USE);
    f(Antiice_sys_pitot2_ice_sw);
    f(OnGround);
    f(OnGroundHold);
    f(ThrottleLastSent);
    f(PropLeverLastSent);
    f(PowerplantValuesSent);
    f(FlapDetent);
    f(FlapDetentSent);
    f(KeyEventPairSent);
    f(LandingLightCopy);
    f(ThrottlesReleased);
    f(RudderDriven);
    f(ThrottleLimiterSent);
    f(TrimInhibit);
    f(TrimInhibitPrevious);
    f(PilotPanelOverride);
    f(PropControlDemand);
    f(ThrottleCommand);
    f(ConditionCommand);
    f(PowerLeverPosition);
    f(Powerplants_controls_throttle_limiter);
    f(PropPitch1);
    f(PropPitch2);
    f(RefreshCountdown);
    f(LightsWordSent);
    f(TransponderCodeBcd);
    f(TransponderCodeBcdSent);
    f(AudioRoutingMaskSent);
    f(TransponderState);
    f(NavSources);
    f(Com1Radio);
    f(Com2Radio);
    f(Com1PanelState);
    f(Adf1Radio);
    f(Adf2Radio);
}

// Powerplant, flight controls and the hydraulic words they read.
template <typename F>
void ForPowerplantGlobals(F& f) {
    f(PowerplantState);
    f(TorqueBugValue);
    f(NLValue);
    f(IttCorrection);
    f(EngineOilQty);
    f(StbyOilQty);
    f(FuelTemp);
    f(SystemTimers);
    f(HostThrottleLever);
    f(HostThrottleInput);
    f(PowerLeverValue);
    f(NhTarget);
    f(PropFeatherCountdown);
    f(PropFeatherHold);
    f(PropFeatherFromOil);
    f(PropFeatherHeldAngle);
    f(PropBladeHoldCountdown);
    f(Powerplants_engine_ign1);
    f(Powerplants_engine_ign2);
    f(PowerLeverLastHostValue);
    f(EgcSwitch);
    f(EngineManualFlag);
    f(EngineStartRequest);
    f(UptrimFlag);
    f(Autofeather);
    f(FuelSystemState);
    f(TorqueFiltered);
    f(TorqueSmoothCount);
    f(EngineOilStatus);
    f(EngineModel);
    f(PropSyncCorrection);
    f(PilotPanelBlink);
    f(PilotPanelState);
    f(PowerLeverSoundLatch);
    f(EngineFuelFeed);
    f(GearCommanded);
    f(flight_controls_GEAR);
    f(GearHandlePrevious);
    f(GearHandleCountdown);
    f(GearToggleCountdown);
    f(GearFlags);
    f(GearTransitCountdown);
    f(GearLegPosition);
    f(GearLegLight);
    f(GearStates);
    f(AltGearState);
    f(GearAltExtension);
}

// The filters' last samples.
template <typename F>
void ForFiltersGlobals(F& f) {
    f(RadioAltitudeRateClock);
    f(RadioAltitudeRatePrevious);
    f(LongitudinalAccelLastIas);
    f(GpwsTestRequestSeen);
}

// The pilot's settings: feature switches, joystick buttons and axes, folders and files.
template <typename F>
void ForPilotSettingsGlobals(F& f) {
    f(FeatureDisableMask);
    f(AP_DISC_BUTTON_NUMBER);
    f(AP_DISC_JOYSTICK_NUMBER);
    f(AP_TCS_BUTTON_NUMBER);
    f(AP_TCS_JOYSTICK_NUMBER);
    f(AhrsPanelIsVc);
    f(AircraftFolderPath);
    f(BRAKES_FAILURE_ENABLED);
    f(ButtonSlotBytes);
    f(ButtonSlotClaimed);
    f(ButtonSlotOffset);
    f(DINPUT_ailerons_axis_deadzone);
    f(DINPUT_ailerons_axis_dump);
    f(DINPUT_ailerons_axis_num);
    f(DINPUT_ailerons_device_num);
    f(DINPUT_elevator_axis_deadzone);
    f(DINPUT_elevator_axis_dump);
    f(DINPUT_elevator_axis_num);
    f(DINPUT_elevator_device_num);
    f(DINPUT_rudder_axis_deadzone);
    f(DINPUT_rudder_axis_dump);
    f(DINPUT_rudder_axis_num);
    f(DINPUT_rudder_device_num);
    f(EPIC_OUTPUT_SLOWDOWN);
    f(FSUIPC_CALIBR_DISABLE);
    f(FmsDirectoryPath);
    f(HSI_HALF_SLOW);
    f(HUD_RWY_CAMERA_X_SHIFT);
    f(HUD_RWY_EDGE_CENTER_X);
    f(HUD_RWY_EDGE_CENTER_Y);
    f(HUD_RWY_EDGE_LAT_ANGLEx100);
    f(HUD_RWY_EDGE_LINES_ZOOMx100);
    f(HUD_RWY_EDGE_VERT_ANGLEx100);
    f(SURROUND_SOUND);
    f(SettingsIniPath);
    f(SoundDirectoryPath);
    f(VSI_HALF_SLOW);
}

// The CDU's pages, fields and screen.
template <typename F>
void ForCduScreenGlobals(F& f) {
    f(CduActiveField);
    f(CduBlinkAttribute);
    f(CduBlinkPhase);
    f(CduChar);
    f(CduChosenWaypoint);
    f(CduCursorPhase);
    f(CduDirectPending);
    f(CduDirectTurn);
    f(CduEditBuffer);
    f(CduEditCursor);
    f(CduEditModified);
    f(CduEntryField);
    f(CduEntryText);
    f(CduEntryValue);
    f(CduEvent);
    f(CduFormatBuffer);
    f(CduHoldArmed);
    f(CduHoldEntry);
    f(CduHoldEvent);
    f(CduHoldFromDirect);
    f(CduHoldLeg);
    f(CduInfoRecord);
    f(CduKey);
    f(CduLastPage);
    f(CduLastSubPage);
    f(CduLinkedKey);
    f(CduListChanged);
    f(CduNavLegField);
    f(CduPage);
    f(CduPageEntered);
    f(CduPvorCourse);
    f(CduPvorLeg);
    f(CduPvorMode);
    f(CduPvorOutbound);
    f(CduPvorRadial);
    f(CduRedraw);
    f(CduRedrawHold);
    f(CduRegionCount);
    f(CduRegions);
    f(CduReturnPage);
    f(CduReturnSubPage);
    f(CduScreen);
    f(CduSubPage);
    f(CduSubPageCount);
    f(CduWarmup);
}

// The head-up display's cues and layout.
template <typename F>
void ForHeadUpCuesGlobals(F& f) {
    f(HgsAccelCueY);
    f(HgsAccelerations);
    f(HgsBankMatrix);
    f(HgsFdCueX);
    f(HgsFdCueY);
    f(HgsFlareCueY);
    f(HgsFpsLimited);
    f(HgsFpsX);
    f(HgsFpsY);
    f(HgsGroundLocLineX);
    f(HgsGsLineY);
    f(HgsGsPointer);
    f(HgsLateralDeviation);
    f(HgsLayoutLimits);
    f(HgsPitchCompression);
    f(HgsRate);
    f(HgsVerticalDeviation);
}

// The flight management's steering values, holds and gauge states.
template <typename F>
void ForFmsSteeringGlobals(F& f) {
    f(FmsBearingToWaypoint);
    f(FmsCrossTrack);
    f(FmsGaugeState);
    f(FmsLnavFlag);
    f(FmsPosition);
    f(FmsPowered);
    f(FmsSlotIdsSeen);
    f(FmsTrackError);
    f(FmsVcGaugeState);
    f(GeometryLastLatitude);
    f(GeometryLastLongitude);
    f(GreatCircleDistanceCourseResult);
    f(HoldEntryKind);
    f(HoldEntryLegId);
    f(HoldEntryStep);
    f(HoldLegId);
    f(HoldPointLatitude);
    f(HoldPointLongitude);
}

// The flight controls: flaps, trims, rudder, brakes, stick pusher, their
// hydraulics and the gear warning.
template <typename F>
void ForFlightControlsGlobals(F& f) {
    f(AileronInputWord);
    f(BrakeCountdown);
    f(BrakeInputWords);
    f(BrakesApplied);
    f(ControlSurfacePositions);
    f(CopilotSwitchHold);
    f(ElevatorInputWord);
    f(ElevatorTrim);
    f(ElevatorTrimHostValue);
    f(ElevatorTrimInput);
    f(ElevatorTrimOut);
    f(FlapPosition);
    f(PilotTrimRequest);
    f(PilotTrimTimer);
    f(RudderTrimSent);
    f(TrimDisplayCountdown);
    f(TrimOutput);
    f(TrimOutputKept);
    f(TrimRunValue);
    f(GearAltExtensionCountdown);
    f(GearInhibitSwitch);
    f(NoseGearAltDoorGuard);
    f(GearInhibitGuard);
    f(flight_controls_FLAPS);
    f(FlapLastCommand);
    f(FlapCountdown);
    f(FlapDriveWait);
    f(FlapMotionFlag);
    f(JoystickRudderOut);
    f(NoseSteeringSwitch);
    f(RuddersShutoffA);
    f(RuddersShutoffB);
    f(HydraulicShutoff);
    f(StickPusherShutoff);
    f(RudderTrimOutput);
    f(FlightControlGating);
    f(TorqueYawValue);
    f(RudderTrimValue);
    f(ControlTorque);
    f(PusherHoldCountdown);
    f(PusherPushCountdown);
    f(PusherBudget);
    f(GearWarningTestCount);
    f(GearWarningRequest);
    f(flight_controls_COPILOT_antiskid_sw);
    f(CopilotPanelTimer);
    f(CopilotSwitchPowered);
    f(flight_controls_FF_TRIM);
    f(HydraulicsState);
    f(FlapsHydraulicPressure);
    f(RudderPressure);
    f(RollSpoilerPressure);
    f(FlapHydraulicWord);
}

// The engine, propeller and fuel indications and their tests.
template <typename F>
void ForEngineIndicationsGlobals(F& f) {
    f(AcMeterTestCountdown);
    f(BladeAngleHostVariables);
    f(DcMeterTestCountdown);
    f(EngineDisplayValue);
    f(EngineHostValue702);
    f(EngineHostValueA);
    f(EngineHostValueB);
    f(EngineStartLegendShown);
    f(EngineStartSelectShown);
    f(EngineStarterValue);
    f(EngineTestCountdown);
    f(FuelFlowValue);
    f(FuelQtyTestCountdown);
    f(FuelQuantity);
    f(FuelTankTempDisplay);
    f(FuelTankWords);
    f(HostBladeAngle1);
    f(IttCallCount);
    f(IttDisplay);
    f(IttRaw);
    f(MeterBlinkCounter);
    f(MeterValues);
    f(NhDisplay);
    f(NlDisplay);
    f(OilPressDisplay);
    f(OilTempDisplay);
    f(PowerplantHostValue);
    f(PowerplantLoaded);
    f(PropBladeHold);
    f(PropBladeTarget);
    f(PropFeatherBlend);
    f(PropRpmCommand);
    f(PropRpmDisplay);
    f(TorqueDisplay);
}

// What the frame and the host pass exchange with the simulator: its variables, counters, clock,
// joystick samples and the instructor's values.
template <typename F>
void ForHostExchangeGlobals(F& f) {
    f(FrameRate);
    f(FrameRateAverage);
    f(FrameRateJitter);
    f(FrameRatePrevious);
    f(FrameRateWord);
    f(HostControlValues);
    f(HostFeed31A0);
    f(HostFeed31C8);
    f(HostFeed31E8);
    f(HostFlapsValue);
    f(HostNavBearing);
    f(HostPassChangeBits);
    f(HostPassCounter);
    f(HostPassCounterPrevious);
    f(HostPauseIndicator);
    f(HostSpeedValue);
    f(HostStateWords);
    f(HostTickCount);
    f(HostValue325);
    f(HostValue369);
    f(HostVariables);
    f(InstructorDisplayValues);
    f(InstructorMessageBuffer);
    f(InstructorMessageSender);
    f(JoystickDisconnectBits);
    f(JoystickSampleAileron);
    f(JoystickSampleElevator);
    f(JoystickSampleRudder);
    f(KeyEventPanelWords);
    f(PauseWatchCountdown);
    f(PauseWatchPrevious);
    f(RemoteAltitudeAtChange);
    f(RemoteClimbRate);
    f(RemoteFrameNumber);
    f(RemoteFrameNumberSeen);
    f(RemoteSourceDisplay);
    f(SimClockSeconds);
    f(SimClockUtc);
    f(SimDateTime);
    f(SimDayOfYear);
    f(SimYear);
    f(TickCounterPrevious);
    f(ViewCamera);
    f(WeatherSampleIndex);
    f(WeatherSampleLatitude);
    f(WeatherSampleLines);
    f(WeatherSampleLongitude);
}

// The aircraft's attitude, air data, position, radio and traffic data as the instruments read them.
template <typename F>
void ForFlightDataGlobals(F& f) {
    f(AIRDATA_comp_selected_alt);
    f(AircraftPosition);
    f(AngleOfAttack);
    f(ApServoEngaged);
    f(BankAttitude);
    f(BaroAltitude1);
    f(BaroAltitude2);
    f(ClosestApproachSeparation);
    f(FGC_comp_ADF1_MODE);
    f(FGC_comp_ADF2_MODE);
    f(FGC_comp_AP1_ALT_value);
    f(FGC_comp_AP1_IAS_speed);
    f(FGC_comp_AP1_VS_speed);
    f(FGC_comp_AP2_ALT_value);
    f(FGC_comp_AP2_IAS_speed);
    f(FGC_comp_AP2_VS_speed);
    f(FGC_comp_VOR1_MODE);
    f(FGC_comp_VOR2_MODE);
    f(FgcAdvisoryHostValue);
    f(GrossWeight);
    f(GroundSpeed);
    f(Heading);
    f(MarkerBeacons);
    f(Nav1StationPosition);
    f(NavHeading);
    f(NavReceiverBearing);
    f(NavSourceIdentTexts);
    f(NavSourceSel1);
    f(NavSourceSel2);
    f(PitchAcceleration);
    f(PitchAttitude);
    f(PitchRate);
    f(PressureAltitude);
    f(RadioAltNotReady);
    f(RadioAltOutOfRange);
    f(RadioAltitude);
    f(RadioAltitudeRate);
    f(RadioAltitudeReadoutValue);
    f(RateLimitResult);
    f(RollAcceleration);
    f(RollRate);
    f(StallSystemFail);
    f(StallWarnUnpowered);
    f(TcasTrafficCount);
    f(TcasTrafficSlots);
    f(TrueAirspeed);
    f(VerticalSpeed);
    f(VerticalSpeedHostWord);
    f(VerticalSpeedRaw);
    f(WindComponentSense);
    f(WindTickRotation);
    f(WindData);
    f(YawAcceleration);
    f(YawRate);
}

// The display screens' sets, warm-up, brightness and pacing.
template <typename F>
void ForDisplayScreensGlobals(F& f) {
    f(DisplayBrightness);
    f(DisplayWarmUp);
    f(EadiSets);
    f(EhsiMapPhase);
    f(EhsiSets);
    f(HalfRateSkip);
    f(VsiSelRequest1);
    f(VsiSelRequest2);
    f(VsiSelValues);
}

// The cockpit panels' switches, lamps, tests and sound levels.
template <typename F>
void ForCockpitPanelsGlobals(F& f) {
    f(AdcTestSwitch);
    f(Al801EpicText);
    f(Al801WindowText);
    f(AmbientSecondValue);
    f(AtcCallsign);
    f(AvionicsSoundLevel);
    f(BatTempTestMode);
    f(BleedSoundLevel);
    f(CabinMusicSwitchLast);
    f(CabinSignWord);
    f(CautionLargePanel);
    f(CautionLatch);
    f(CautionPanel);
    f(ClockSetBytes);
    f(Com1PanelHostFlag);
    f(ComPanelHostFlag);
    f(CvrEraseCountdown);
    f(CvrTestDone);
    f(CvrTestTimer);
    f(EPIC);
    f(ElectricalChangeFlag);
    f(EpicTextSlots);
    f(ExteriorBeaconLights);
    f(ExteriorNavLights);
    f(ExteriorNavOrBeaconLights);
    f(ExteriorPanelLights);
    f(ExteriorStrobeLights);
    f(ExteriorWingLights);
    f(FdrPanelMode);
    f(FdrPanelSwitch);
    f(FdrTestCountdown);
    f(FireWarningShown);
    f(GpwsAlertFlag);
    f(GpwsGlideslopeRequest);
    f(GpwsHighestAltitude);
    f(GpwsPanelState);
    f(GpwsPullUpRequest);
    f(GpwsReferenceAltitude);
    f(GpwsTakeoffCountdown);
    f(GpwsTakeoffPhase);
    f(GpwsTestAcknowledge);
    f(HeapScan);
    f(Lights_Panel);
    f(PaPanelSwitches);
    f(PilotPanelFlag);
    f(RadioChangedFlag);
    f(RadioLookupHoldoff);
    f(RecircSoundLevel);
    f(RightPanelLights);
    f(RightPanelSwitchLatch);
    f(SwitchboardState);
}

// Pedestal panels and indicators.
template <typename F>
void ForPedestalGlobals(F& f) {
    f(GearWarningSwitchUp);
    f(TrimsPanelState);
    f(TrimSwitchDirection);
    f(TrimSwitchHold);
    f(FlapNeedlePosition);
    f(InclinometerBall);
    f(InclinometerShown);
    f(InclinometerInput);
}

// Radio heads: modes, presets and the transponder's codes.
template <typename F>
void ForRadioHeadsGlobals(F& f) {
    f(Vor1Radio);
    f(Vor2Radio);
    f(Vor1PanelState);
    f(Vor2PanelState);
    f(Adf1PanelState);
    f(Adf2PanelState);
    f(Com2PanelState);
    f(TransponderIdent);
    f(TransponderCodeText);
    f(TransponderVfrCodeText);
    f(TransponderCodePtr);
    f(TransponderAltSource);
    f(TcasState);
}

// The weather radar.
template <typename F>
void ForWeatherRadarGlobals(F& f) {
    f(WxRadarState);
    f(WxRangeIndex);
    f(WxRange);
    f(WxGain);
    f(WxGainFactor);
    f(WxTilt);
    f(WxRangeRings);
    f(WxButton2);
    f(WxBlink);
    f(WxRedraw);
    f(WxPolarGrid);
    f(WxGridColumn);
    f(WxGridBin);
    f(TcasRangeNm);
    f(TcasIntruders);
    f(TcasOwn);
    f(SgTransfer);
}

// Sound settings, the audio and entertainment panels, the sound families
// and the cabin.
template <typename F>
void ForSoundGlobals(F& f) {
    f(SOUND_VOLUME);
    f(MUSIC_VOLUME);
    f(ENTERTAINMENT);
    f(SOUND_SPLIT_PLS);
    f(AudioRoutingMask);
    f(MarkerPanelSwitches);
    f(AudioPanelToggle);
    f(AudioPanelSwitches);
    f(AudioPanelVolume);
    f(EntertainmentOn);
    f(EntertainmentSelection);
    f(CabinMusicSwitch);
    f(WiperState);
    f(VoiceAlertSequencer);
    f(EngineSound);
    f(SoundSchemeState);
    f(FlightPhaseState);
    f(AnnouncementLastSelection);
}

// The flight plan.
template <typename F>
void ForFlightPlanGlobals(F& f) {
    f(FlightPlan);
    f(FmsFromLeg);
    f(FmsToLeg);
    f(FmsNextLeg);
    f(FmsToLegCopy);
    f(FmsToLegIndex);
    f(FmsNextLegIndex);
    f(FmsLastLegCount);
    f(FmsSequenceRequest);
    f(FmsHoldSlots);
    f(FmsKeepNext);
    f(LateralTurnState);
    f(HoldRecompute);
}

// The CDU pages' own state.
template <typename F>
void ForCduPagesGlobals(F& f) {
    f(CduDepartureChoice);
    f(CduArrivalChoice);
    f(CduProcedureStep);
    f(CduListCategory);
    f(CduListLastCategory);
    f(CduListTicks);
    f(CduInsertPosition);
    f(CduDeleteIndex);
    f(CduLegSelected);
}

// AHRS, air data, clocks and alerting.
template <typename F>
void ForSensorsGlobals(F& f) {
    f(Ahrs1);
    f(Ahrs2);
    f(Altimeter1Baro);
    f(Altimeter2Baro);
    f(Clock1State);
    f(Clock2State);
    f(StallWarningState);
    f(RadioAltWarmupCountdown);
    f(VoiceAlertIndex);
    f(GpwsFlags);
}

// The flight dials: selectors, clocks, airspeed indicators, altimeters.
template <typename F>
void ForFlightDialsGlobals(F& f) {
    f(CourseKnobDisplay);
    f(CourseTouchKnob);
    f(HeadingTouchKnob);
    f(FGC_comp_HSI1_heading_sel);
    f(FGC_comp_HSI2_heading_sel);
    f(ClockReadoutBrightSeen);
    f(AirspeedSide);
    f(AsiTouchZone);
    f(AltimeterDrums);
    f(AltimeterTouchZone);
    f(StbyAltimeterBaro);
    f(AltimeterShownAltitude1);
    f(AltimeterShownAltitude2);
    f(AdcTestTimer1);
    f(AdcTestTimer2);
}

// The blade-angle locator (its pointers reach into one flight's
// simulator) and the named variables' publication state.
template <typename F>
void ForBladeLocatorGlobals(F& f) {
    f(PropBetaLocated);
    f(PropBladeAnglePointer);
    f(BladeLocatorCalls);
    f(BladeLocatorAttempts);
    f(NamedVariableIds);
    f(NoAiiiBlinkCounter);
    f(RunwayElevationShown);
    f(RunwayElevationTimer);
    f(HgsIasMax);
}

// The RMI's selectors, the warning flags and the instructor's altimeter
// flag.
template <typename F>
void ForRmiAndFlagsGlobals(F& f) {
    f(RmiSourceSelect1);
    f(RmiSourceSelect2);
    f(StbyAttitudeFlagTravel);
    f(RmiHeadingFlagTravel);
    f(Altimeter1FlagVisible);
}

// The display control panels.
template <typename F>
void ForDisplayControlGlobals(F& f) {
    f(DisplayBrightnessLevel);
    f(DisplayFormat);
    f(DisplayFormatFlags1);
    f(DisplayFormatToggle);
    f(DisplayControlState1);
    f(DisplayControlState2);
    f(BrightnessKnobTurn);
    f(BrightnessKnobHold);
    f(DhKnobQuadrant);
    f(BrightnessKnobQuadrant);
    f(FGC_comp_DH_altitude1);
    f(FGC_comp_DH_altitude2);
    f(FGC_comp_HSI1_bearing0_select);
    f(FGC_comp_HSI1_bearing1_select);
    f(FGC_comp_HSI2_bearing0_select);
    f(FGC_comp_HSI2_bearing1_select);
    f(RadioAltTestCountdown);
}

// The glare-shield guidance panels.
template <typename F>
void ForGuidancePanelsGlobals(F& f) {
    f(ApTouchZone);
    f(ApTouchLastTick);
    f(ApTouchCountdown);
    f(Al801Touch);
    f(Id809BlankCountdown);
    f(Id809BlankCountdown2);
    f(RnavFlashPhase);
}

// Hydraulics, fire protection, air conditioning, pressurisation and ice
// protection, with their panels' settings.
template <typename F>
void ForEnvironmentSystemsGlobals(F& f) {
    f(HydraulicFluidState);
    f(StbyHydPumpSelect);
    f(StbyPumpToggle);
    f(RudderInputInhibit);
    f(FireProtectionState);
    f(EngineFireWarning);
    f(FireWarningActive);
    f(FireWarningAck);
    f(FireTestCountdown);
    f(FireRefreshCountdown);
    f(IceProtectionState);
    f(AirConditioningState);
    f(AirConditioningValues);
    f(PressurisationState);
    f(PressurisationState2);
    f(HydraulicIndicators);
    f(AirIndicators);
    f(CabinPressureResetRequest);
    f(PneuPanelSwitches);
    f(PneuSwitch);
    f(PneuKnob);
    f(PressurisationMode);
    f(PressurisationSwitch);
    f(PressPanelKnob);
    f(CabinRateKnob);
    f(LandingFieldElevation);
    f(PressModeChangeTimer);
    f(TempIndicatorSelector);
    f(PneuFlowKnobSector);
    f(PneuSelectorSector);
    f(CabinAltSetKnob);
    f(PressKnobQuadrant);
    f(WiperSelector);
}

// The display gauges' drawing state: the smooth layer's brightness,
// alpha and pen, the rotations, the pixel sizes, the keys of the
// battery graphs and the standby ball.
template <typename F>
void ForDisplayDrawingGlobals(F& f) {
    f(SmoothBrightnessLevel);
    f(SmoothAlphaBits);
    f(SmoothPenX);
    f(SmoothPenY);
    f(EfisRotation);
    f(TcasTickRotation);
    f(DisplayPixelSize);
    f(DisplayPixelSize2);
    f(BatTempPictureKey);
    f(BatTempTestSerial);
    f(StbyBallPitch);
    f(StbyBallBank);
}

// The weather radar's picture and its generator's seeding.
template <typename F>
void ForWeatherPictureGlobals(F& f) {
    f(WxPicture);
    f(WxRandomSeeded);
    f(WxScreenPowerOn);
}

// The instructor link's receive ring.
template <typename F>
void ForInstructorRingGlobals(F& f) {
    f(InstructorReceiveRing);
}

// The flight management's lists, caches and the leg identifiers, and
// the INIT page's clock.
template <typename F>
void ForFmsListsGlobals(F& f) {
    f(LegIdSequence);
    f(WorkLegsA);
    f(WorkLegsB);
    f(WorkLegsC);
    f(ProcedureQueryCache);
    f(TerminalProcedureCount);
    f(ProcedureNameList);
    f(RunwayList);
    f(WaypointSearchResults);
    f(MagVarAnnualChange);
    f(CduInitClockSeconds);
}

// Applies `f` to every global a reset puts back to its loaded value.
template <typename F>
void ForEachGlobal(F&& f) {
    ForElectricsGlobals(f);
    ForInstructorTablesGlobals(f);
    ForFlightGuidanceGlobals(f);
    ForHeadUpGuidanceGlobals(f);
    ForSettingsGlobals(f);
    ForHostIoGlobals(f);
    ForPowerplantGlobals(f);
    ForFiltersGlobals(f);
    ForPilotSettingsGlobals(f);
    ForCduScreenGlobals(f);
    ForHeadUpCuesGlobals(f);
    ForFmsSteeringGlobals(f);
    ForFlightControlsGlobals(f);
    ForEngineIndicationsGlobals(f);
    ForHostExchangeGlobals(f);
    ForFlightDataGlobals(f);
    ForDisplayScreensGlobals(f);
    ForCockpitPanelsGlobals(f);
    ForPedestalGlobals(f);
    ForRadioHeadsGlobals(f);
    ForWeatherRadarGlobals(f);
    ForSoundGlobals(f);
    ForFlightPlanGlobals(f);
    ForCduPagesGlobals(f);
    ForSensorsGlobals(f);
    ForFlightDialsGlobals(f);
    ForBladeLocatorGlobals(f);
    ForRmiAndFlagsGlobals(f);
    ForDisplayControlGlobals(f);
    ForGuidancePanelsGlobals(f);
    ForEnvironmentSystemsGlobals(f);
    ForDisplayDrawingGlobals(f);
    ForWeatherPictureGlobals(f);
    ForInstructorRingGlobals(f);
    ForFmsListsGlobals(f);
}

// The loaded values, one after the other in the order of ForEachGlobal.
std::vector<std::byte>& LoadedBytes() {
    static std::vector<std::byte> bytes;
    return bytes;
}

// Taken during the program's static initialisation, before any flight runs.
const bool kLoadedCaptured = [] {
    std::size_t size = 0;
    ForEachGlobal([&](auto& global) {
        static_assert(std::is_trivially_copyable_v<std::remove_cvref_t<decltype(global)>>);
        size += sizeof global;
    });
    std::vector<std::byte>& bytes = LoadedBytes();
    bytes.resize(size);
    std::size_t at = 0;
    ForEachGlobal([&](auto& global) {
        std::memcpy(bytes.data() + at, &global, sizeof global);
        at += sizeof global;
    });
    return true;
}();

}  // namespace

void e2e::RestoreLoadedModuleState() {
    const std::vector<std::byte>& bytes = LoadedBytes();
    std::size_t at = 0;
    ForEachGlobal([&](auto& global) {
        std::memcpy(static_cast<void*>(&global), bytes.data() + at, sizeof global);
        at += sizeof global;
    });
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
    // The head-up guidance's keys.
    HgsDigitKey.store(-1);
    for (auto* k :
         {&HgsKeyPress.transfer, &HgsKeyPress.cycle, &HgsKeyPress.elevation, &HgsKeyPress.slope,
          &HgsKeyPress.enter, &HgsKeyPress.clear, &HgsKeyPress.bright, &HgsKeyPress.dark,
          &HgsKeyPress.test, &HgsKeyPress.rasu_down, &HgsKeyPress.rasu_up,
          &HgsKeyPress.rasu_bright_down, &HgsKeyPress.rasu_bright_up}) {
        k->store(0);
    }
    for (auto& r : TasDisplayRequest) r.store(0);
    TcasIntruderShown.store(0);
    for (FgcMessageStateRecord* m : {&FgcMessageState1, &FgcMessageState2}) {
        m->code.store(0);
        m->upper_time = 0;
        m->code3_flag = 0;
        m->lower_time = 0;
    }
    // The tick's counter and the flags handed between threads.
    TickCounter.store(0);
    FrameChangeBits.store(0);
    PauseWatchClock.store(0.0);
    SimFrozen.store(1);
    RedrawRequest.store(0);
    PowerplantValuesPending.store(0);
    NetworkReceiveFlag.store(0);
    FmsKeyCode.store(0);
    for (auto& w : WeatherSampleFlags) w.store(0);
    WxPictureShown.store(0);
    WxPictureSerial.store(0);
    InstructorReceiveHead.store(0);
    InstructorReceiveTail.store(0);
    InstructorReceiveDropped.store(0);
    // The display screens' picture state (their surfaces and drawing
    // objects come and go with their gauges' install and kill).
    for (DisplayScreen& d : DisplayScreens) {
        d.applied_transfer = -1;
        d.last_drawn_tick = 0;
        d.new_tick = false;
        d.busy = false;
        d.pictures = 0;
        d.copies = 0;
        d.last_key = RepaintKey{};
        d.unshown = false;
        d.kept_key = RepaintKey{};
        d.kept_tick = 0;
        d.kept_moved = false;
        d.kept_used = false;
        d.kept_unused = 0;
    }
    for (TcasScreen& t : TcasScreens) {
        t.power_on = 0;
        t.last_drawn_tick = 0;
        t.busy = false;
        t.last_needle_angle = 0.0f;
        t.pictures = 0;
        t.last_key = RepaintKey{};
        t.unshown = false;
    }
    CduResetForLoad();
}

}  // namespace zu
