// Set-up shared by the tests of the air-conditioning, hydraulic, ice- and
// fire-protection steps (not part of the module): the inputs these steps
// read start from known values, and the buses can be powered by hand without
// running the electrical step. Each test starts from the module's loaded
// state (tests/unit/fresh_module_state.cpp).
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
        frame_bits_ = FrameChangeBits.load();
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

    // The module's other globals are put back before the next test by the
    // test program's fresh-state listener; the frame bits are an atomic it
    // leaves alone.
    void TearDown() override { FrameChangeBits.store(frame_bits_); }

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
    uint32_t frame_bits_ = 0;
};

}  // namespace zu
