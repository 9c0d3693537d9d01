// The ice- and rain-protection panel. Only the windshield-wiper selector is
// part of the module yet; it keeps its initial value.
#pragma once

#include <cstdint>

namespace zu {

// Windshield-wiper selector 0..3 (initial 1).
extern int32_t WiperSelector;

}  // namespace zu
