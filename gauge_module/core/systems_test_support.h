// Set-up shared by the tests of the air-conditioning, hydraulic, ice- and
// fire-protection steps (not part of the module): every module global these
// steps read or write is copied before a test and put back after it, and
// the buses can be powered by hand without running the electrical step.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "cabin_link/instructor_state_exchange.h"
#include "core/air_conditioning.h"
#include "core/caution_logic.h"
#include "core/electrical_system.h"
#include "core/fire_protection.h"
#include "core/flight_controls.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/powerplant.h"
#include "core/systems_tick.h"
#include "panels/bleed_air_panel.h"
#include "panels/pressurisation_panel.h"

namespace zu {

class SystemsStepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        electrics_ = Electrics_sys;
        std::copy(std::begin(CautionLightArray), std::end(CautionLightArray), lights_);
        hyd_ = HydraulicsState;
        fluid_ = HydraulicFluidState;
        fire_ = FireProtectionState;
        ice_ = IceProtectionState;
        ac_ = AirConditioningState;
        acv_ = AirConditioningValues;
        press_ = PressurisationState;
        press2_ = PressurisationState2;
        std::copy(std::begin(HydraulicsInstructorStates), std::end(HydraulicsInstructorStates),
                  hyd_states_);
        std::copy(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), surface_states_);
        std::copy(std::begin(PowerplantsInstructorStates), std::end(PowerplantsInstructorStates),
                  pp_states_);
        timers_ = SystemTimers;
        timers2_ = SystemTimers2;
        std::copy(std::begin(RefreshCountdown), std::end(RefreshCountdown), refresh_);
        decay_ = HydraulicDecayFactor;
        prop_rpm_[0] = PropRpm[0];
        prop_rpm_[1] = PropRpm[1];
        nl_[0] = NLValue[0];
        nl_[1] = NLValue[1];
        engine_air_[0] = EngineAirValue[0];
        engine_air_[1] = EngineAirValue[1];
        heat_[0] = AirConditioningHostValues[0];
        heat_[1] = AirConditioningHostValues[1];
        oat_ = AmbientTemperature;
        ias_ = IndicatedAirspeed;
        altitude_ = Altitude;
        on_ground_ = OnGround;
        reference_pressure_ = ReferencePressure;
        frame_bits_ = FrameChangeBits.load();
        flaps_ = flight_controls_FLAPS[0];
        inhibit_ = RudderInputInhibit;
        parking_ = ParkingBrake;
        std::copy(std::begin(PneuPanelSwitches), std::end(PneuPanelSwitches), pneu_switches_);
        std::copy(std::begin(PneuSwitch), std::end(PneuSwitch), pneu_switch_);
        std::copy(std::begin(PneuKnob), std::end(PneuKnob), pneu_knob_);
        press_mode_ = PressurisationMode;
        press_knob_ = PressPanelKnob;
        press_timer_ = PressModeChangeTimer;
        pitot_[0] = Antiice_sys_pitot1_ice_sw;
        pitot_[1] = Antiice_sys_pitot2_ice_sw;
        fuel_feed_[0] = EngineFuelFeed[0];
        fuel_feed_[1] = EngineFuelFeed[1];
        fire_countdown_ = FireTestCountdown;
        fire_refresh_ = FireRefreshCountdown;
        fire_active_ = FireWarningActive;
        fire_ack_ = FireWarningAck;

        std::fill(std::begin(CautionLightArray), std::end(CautionLightArray), 0u);
        std::fill(std::begin(HydraulicsInstructorStates), std::end(HydraulicsInstructorStates), 0);
        std::fill(std::begin(FlightSurfacesInstructorStates),
                  std::end(FlightSurfacesInstructorStates), 0);
        std::fill(std::begin(PowerplantsInstructorStates), std::end(PowerplantsInstructorStates),
                  0);
        HydraulicDecayFactor = 0.995;
        AmbientTemperature = 15.0f;
        IndicatedAirspeed = 0.0f;
        Altitude = 0.0f;
        OnGround = 1;
        FrameChangeBits.store(0x02);
        PowerAllBuses(true);
    }

    void TearDown() override {
        Electrics_sys = electrics_;
        std::copy(std::begin(lights_), std::end(lights_), CautionLightArray);
        HydraulicsState = hyd_;
        HydraulicFluidState = fluid_;
        FireProtectionState = fire_;
        IceProtectionState = ice_;
        AirConditioningState = ac_;
        AirConditioningValues = acv_;
        PressurisationState = press_;
        PressurisationState2 = press2_;
        std::copy(std::begin(hyd_states_), std::end(hyd_states_), HydraulicsInstructorStates);
        std::copy(std::begin(surface_states_), std::end(surface_states_),
                  FlightSurfacesInstructorStates);
        std::copy(std::begin(pp_states_), std::end(pp_states_), PowerplantsInstructorStates);
        SystemTimers = timers_;
        SystemTimers2 = timers2_;
        std::copy(std::begin(refresh_), std::end(refresh_), RefreshCountdown);
        HydraulicDecayFactor = decay_;
        PropRpm[0] = prop_rpm_[0];
        PropRpm[1] = prop_rpm_[1];
        NLValue[0] = nl_[0];
        NLValue[1] = nl_[1];
        EngineAirValue[0] = engine_air_[0];
        EngineAirValue[1] = engine_air_[1];
        AirConditioningHostValues[0] = heat_[0];
        AirConditioningHostValues[1] = heat_[1];
        AmbientTemperature = oat_;
        IndicatedAirspeed = ias_;
        Altitude = altitude_;
        OnGround = on_ground_;
        ReferencePressure = reference_pressure_;
        FrameChangeBits.store(frame_bits_);
        flight_controls_FLAPS[0] = flaps_;
        RudderInputInhibit = inhibit_;
        ParkingBrake = parking_;
        std::copy(std::begin(pneu_switches_), std::end(pneu_switches_), PneuPanelSwitches);
        std::copy(std::begin(pneu_switch_), std::end(pneu_switch_), PneuSwitch);
        std::copy(std::begin(pneu_knob_), std::end(pneu_knob_), PneuKnob);
        PressurisationMode = press_mode_;
        PressPanelKnob = press_knob_;
        PressModeChangeTimer = press_timer_;
        Antiice_sys_pitot1_ice_sw = pitot_[0];
        Antiice_sys_pitot2_ice_sw = pitot_[1];
        EngineFuelFeed[0] = fuel_feed_[0];
        EngineFuelFeed[1] = fuel_feed_[1];
        FireTestCountdown = fire_countdown_;
        FireRefreshCountdown = fire_refresh_;
        FireWarningActive = fire_active_;
        FireWarningAck = fire_ack_;
    }

    // Every DC bus-powered byte and every AC bus flag.
    static void PowerAllBuses(bool on) {
        for (BusPoweredByte b : kBusPoweredBytes) BusPowered.set(b, on ? 1 : 0);
        for (std::size_t i = 0; i < 4; ++i) AcBusPowered.set(i, on ? 1 : 0);
    }
    static void Power(BusPoweredByte b, bool on) { BusPowered.set(b, on ? 1 : 0); }

    static uint32_t Light(int row, int column) {
        return CautionLightArray[CautionIndex(row, column)];
    }

  private:
    ElectricsRecord electrics_{};
    uint32_t lights_[kCautionLights]{};
    HydraulicsStateRecord hyd_{};
    HydraulicFluidStateRecord fluid_{};
    FireProtectionStateRecord fire_{};
    IceProtectionStateRecord ice_{};
    AirConditioningRecord ac_{};
    AirConditioningValuesRecord acv_{};
    PressurisationStateRecord press_{};
    PressurisationState2Record press2_{};
    int32_t hyd_states_[kHydraulicsStateCount]{};
    int32_t surface_states_[kFlightSurfacesStateCount]{};
    int32_t pp_states_[kPowerplantsInstructorStateCount]{};
    SystemTimersRecord timers_{};
    SystemTimers2Record timers2_{};
    int32_t refresh_[kRefreshGroups]{};
    double decay_ = 0.995;
    double prop_rpm_[2]{};
    float nl_[2]{};
    int32_t engine_air_[2]{};
    int32_t heat_[2]{};
    float oat_ = 15.0f, ias_ = 0.0f, altitude_ = 0.0f;
    int32_t on_ground_ = 0;
    double reference_pressure_ = 1013.0;
    uint32_t frame_bits_ = 0;
    int32_t flaps_ = 0;
    uint8_t inhibit_ = 0;
    int16_t parking_ = 0;
    int32_t pneu_switches_[4]{}, pneu_switch_[4]{}, pneu_knob_[3]{};
    int32_t press_mode_ = 0, press_knob_ = 0, press_timer_ = 0;
    int32_t pitot_[2]{};
    uint8_t fuel_feed_[2]{};
    int32_t fire_countdown_ = 0, fire_refresh_ = 0, fire_active_ = 0;
    uint8_t fire_ack_ = 0;
};

}  // namespace zu
