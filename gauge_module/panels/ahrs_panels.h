// The two AHRS control panels, `AHRS1_Panel` and `AHRS2_Panel`: a
// five-position slew switch, the DG, FAST and alignment buttons and five
// legends ("DG", "SLAVE", "FAST", "BASIC", "AUXPR"). The panels write the
// request fields of their AHRS record (Ahrs1, Ahrs2), which the AHRS step
// acts on every tick; the legends show the record's state. Refresh group 1;
// lit with panel-lighting circuit 2 (never the "VC" instance).
#pragma once

#include <cstdint>

#include "core/ahrs.h"
#include "zu/platform/gauge_api.h"

namespace zu {

// 1 when the panel instance's parameters are "VC" (index 0 AHRS 1).
extern uint8_t AhrsPanelIsVc[2];

// The slew knob's image value: 45 x switch - 90 (-180 .. 0 for -2 .. +2).
double AhrsSlewKnobValue(const AhrsRecord& ahrs);

// The legends' fixed colours (0x00BBGGRR): amber, and green for "BASIC".
inline constexpr uint32_t kAhrsLegendAmber = 0x0000C8C8u;
inline constexpr uint32_t kAhrsLegendGreen = 0x0000C800u;

// Rectangles 1-5: slew left, slew right, DG, FAST, alignment.
extern gauge::ElementHeader* AHRS1_PanelElementList[2];
extern gauge::MouseRect AHRS1_PanelMouseRect[];
void Ahrs1PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
extern gauge::ElementHeader* AHRS2_PanelElementList[2];
extern gauge::MouseRect AHRS2_PanelMouseRect[];
void Ahrs2PanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
