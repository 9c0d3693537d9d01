// The overhead lighting panels, the storm-light overlays and the
// display-only gear inhibit and nose-gear door gauges.
//
// `Lights_Panel` (internal lighting, refresh group 6), `Lights_rightpanel`
// (emergency lights, cabin signs, annunciator test, caution dim/bright),
// `Lights_exterior1_Panel` and `Lights_exterior2_Panel` (exterior lights)
// write the lighting fields of Electrics_sys that the electrical step turns
// into lit panels, storm lights, caution brightness and exterior lights;
// `stormlights1`/`stormlights2` show the storm-light wash; `Landing gear
// inhibit switch` and `Nose Gear Alt Door` show the gear guards.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The two lighting toggles of the right-hand lighting panel (0 / 255);
// the first is the cabin sign.
extern int32_t RightPanelLights[2];
// 1 when the second toggle was last switched on, 0 when switched off; while
// that toggle is off it follows the gear (1 down, 0 up). The sound scheme
// chimes on each change.
extern int32_t RightPanelSwitchLatch;

// Lights_Panel's own state (not saved; 0 at start): the storm-light switch
// position (0, 1, 2), the position last shown and the remembered level
// (0 / 255) it gives field 0x245 outside position 2.
struct LightsPanelRecord {
    int32_t position;
    int32_t shown_position;
    int32_t level;
};
extern LightsPanelRecord Lights_Panel;

// Lights_Panel rectangles 1-8: switch to 1, to 0, to 2, level toggle,
// fields 0x24D, 0x251, 0x255, 0x259.
extern gauge::ElementHeader* Lights_PanelElementList[2];
extern gauge::MouseRect Lights_PanelMouseRect[];
void LightsPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Lights_rightpanel rectangles 1-10: emergency lights := 0, 1, 2; the two
// toggles; annunciator test to 1, to 0, to 2; dim; bright.
extern gauge::ElementHeader* Lights_rightpanelElementList[2];
extern gauge::MouseRect Lights_rightpanelMouseRect[];
void LightsRightPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Lights_exterior1_Panel rectangles 1-3: fields 0x2A1, 0x2A5, 0x2A9.
extern gauge::ElementHeader* Lights_exterior1_PanelElementList[2];
extern gauge::MouseRect Lights_exterior1_PanelMouseRect[];
void LightsExterior1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Lights_exterior2_Panel rectangles 1-6: fields 0x291, 0x295, 0x29D, then
// the navigation/beacon selector 0x299 := 1, 0, 2.
extern gauge::ElementHeader* Lights_exterior2_PanelElementList[2];
extern gauge::MouseRect Lights_exterior2_PanelMouseRect[];
void LightsExterior2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* stormlights1ElementList[2];
extern gauge::ElementHeader* stormlights2ElementList[2];
void StormLightsCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* GearInhibitElementList[2];
void GearInhibitCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* NoseGearAltDoorElementList[2];
void NoseGearAltDoorCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
