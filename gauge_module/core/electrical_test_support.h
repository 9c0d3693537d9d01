// Set-up shared by the electrical system's tests and benchmark (not part of
// the module): the pilot's switches and the engine speeds of an aircraft
// whose engines run with all four generators on line.
#pragma once

#include "core/electrical_system.h"
#include "core/host_panel_services.h"

namespace zu {

// Batteries and all four generator switches on.
inline void ElectricsSwitchesOn() {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator1Switch.set(255);
    DcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
}

// The switches on and both engines turning at the spool speed `nh`
// (percent) and propeller speed `rpm` (for tests of the electrical step
// alone; with the powerplant running, its engine model sets them).
inline void ElectricsEnginesRunning(float nh = 70.0f, double rpm = 1000.0) {
    ElectricsSwitchesOn();
    Nh1State.nh = Nh2State.nh = nh;
    PropRpm[0] = PropRpm[1] = rpm;
}

}  // namespace zu
