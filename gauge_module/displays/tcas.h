// Traffic collision avoidance: range and the traffic-advisory request.
#pragma once

#include <cstdint>

namespace zu {

struct TcasStateRecord {
    int32_t RangeStep;       // 0..3 (5, 10, 20, 40 nm)
    uint8_t TrafficRequest;  // raised by the traffic logic, cleared by the voice
    uint8_t PanelByte;
};
extern TcasStateRecord TcasState;

}  // namespace zu
