// The pilot's and copilot's side consoles: `Pilot_Panel` (nose steering,
// side-panel lighting, stall and air-data tests, pilot trim, the three
// three-position switches, a toggle and the GPWS button; refresh group 3)
// and `Copilot panel` (copilot antiskid switch and a toggle with its light;
// group 5). Both only write switch state for the systems and show it.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The pilot panel's request words. Words 1 and 2 are the propeller
// ground-range lamp switches of engines 1 and 2 (+1 lamp test, 0 steady,
// -1 flashing); the last word is PilotPanelOverride
// (core/host_panel_services.h), which the key events read.
struct PilotPanelStateRecord {
    int32_t request0;             // word 0: no mouse rectangle sets it
    int32_t PropGroundSwitch[2];  // words 1 and 2
    uint8_t copilot_toggle;       // 0 / 1, the Copilot panel's toggle
};
extern PilotPanelStateRecord PilotPanelState;
inline int32_t (&PropGroundSwitch)[2] = PilotPanelState.PropGroundSwitch;

// Toggled by the systems pass; Prop_Ground flashes its lamps with it.
extern uint8_t PilotPanelBlink;

// The nose-wheel steering switch (NoseSteeringSwitch, 0 / 255), the
// copilot antiskid switch (flight_controls_COPILOT_antiskid_sw, +1, 0, -1)
// and its timer (CopilotPanelTimer: 48 while paused, else 24) belong to the
// flight controls (core/flight_controls.h). The spring return brings +1
// back to -1 after four panel passes.
extern int32_t CopilotSwitchHold;
inline constexpr int32_t kCopilotSwitchHoldPasses = 4;

// Pilot_Panel mouse rectangles 1-19: nose steering, lighting, stall test
// upper and lower, air-data test upper and lower, trim upper and lower, the
// toggle, request word 1 (+1, 0, -1), request word 2 (+1, 0, -1), the last
// word (+1, 0, -1), GPWS.
extern gauge::ElementHeader* Pilot_PanelElementList[2];
extern gauge::MouseRect Pilot_PanelMouseRect[];
void PilotPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Copilot panel mouse rectangles 1-4: antiskid upper, middle, lower, toggle.
extern gauge::ElementHeader* Copilot_panelElementList[2];
extern gauge::MouseRect Copilot_panelMouseRect[];
void CopilotPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
