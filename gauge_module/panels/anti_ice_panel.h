// Ice- and rain-protection panel.
#pragma once

#include <cstdint>

namespace zu {

// Windshield-wiper selector 0..3 (1 off; 0 single sweep, 2 slow, 3 fast).
extern int32_t WiperSelector;

}  // namespace zu
