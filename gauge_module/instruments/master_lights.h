// The glareshield's master fire warning, master caution and master warning
// push-button lamps and the propeller ground-range lamps (refresh group 4).
//
// A master lamp shows while its alert stands; a click acknowledges it (the
// caution logic clears the alert on its next pass). Master caution and
// master warning flash two ticks on, two off, and publish their flash phase
// in MasterCautionFlash / MasterWarningFlash, which the caution panels'
// warning row flashes with. Prop_Ground shows one lamp per engine while its
// power lever is in the ground range, steady, or flashing in the pilot side
// panel's switch position -1.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Mouse rectangles: 1 the lamp (left click).
extern gauge::ElementHeader* Master_Fire_WarningElementList[2];
extern gauge::MouseRect Master_Fire_WarningMouseRect[];
void MasterFireWarningCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* Master_Caution_LightElementList[2];
extern gauge::MouseRect Master_Caution_LightMouseRect[];
void MasterCautionCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* Master_Warning_LightElementList[2];
extern gauge::MouseRect Master_Warning_LightMouseRect[];
void MasterWarningCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

extern gauge::ElementHeader* Prop_GroundElementList[2];
void PropGroundCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

// Power-lever positions below which an engine is in the ground range.
inline constexpr int32_t kGroundRangeAirborne = 10500;
inline constexpr int32_t kGroundRangeOnGround = 8500;

// The fire warning value the fire light last acted on.
extern int32_t FireWarningShown;

// Whether an engine's propeller lamp shows this frame (the rule of the
// Prop_Ground gauge; exposed for tests).
bool PropGroundLampShown(int engine);

}  // namespace zu
