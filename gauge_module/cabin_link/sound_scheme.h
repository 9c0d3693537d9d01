// The sound scheme. Only the windshield-wiper blade it moves is part of the
// module yet; it keeps its initial (parked) value.
#pragma once

#include <cstdint>

namespace zu {

// Windshield-wiper blade: position 170 (parked) .. 290 and direction +1/-1.
struct WiperStateRecord {
    int32_t position;
    int32_t direction;
};
extern WiperStateRecord WiperState;

}  // namespace zu
