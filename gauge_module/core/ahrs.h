// The two attitude and heading reference systems. The AHRS step fills the
// records; the displays, the flight guidance and the flight management
// system read them.
#pragma once

#include <cstdint>

namespace zu {

#pragma pack(push, 1)
struct AhrsRecord {
    double heading;  // degrees 0..360
    double heading_bias;
    double bank;
    double pitch;
    uint8_t powered;
    uint8_t valid_a, valid_b, valid_c, valid_d;
    uint8_t gyro_mode;
    uint8_t standby;
    uint8_t test;
    uint8_t aligned;
    uint8_t spare_flag;
    uint8_t fast_align_request;
    int32_t align_countdown;       // initial 40
    int32_t fine_align_countdown;  // initial 128
    int32_t redraw_countdown;
    int32_t heading_ahead;
    int32_t slew_switch;
};
#pragma pack(pop)

extern AhrsRecord Ahrs1;
extern AhrsRecord Ahrs2;

}  // namespace zu
