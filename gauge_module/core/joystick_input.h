// Joystick input: with the setting DINPUT USE the module reads a joystick
// itself, shapes and filters its aileron, elevator and rudder axes and
// writes them to the simulator's control inputs through FSUIPC, together
// with the elevator trim.
//
// The device is the first listed joystick of the platform's joystick layer;
// the configured device numbers select nothing, the axis numbers pick
// channels of the device state (0..5 the position axes, 24/25 the sliders,
// the velocity, acceleration and force channels as the record orders them;
// any other number reads 0).
#pragma once

#include <cstdint>

#include "zu/platform/joystick.h"

namespace zu {

// The device and its last state.
extern platform::JoystickHandle JoystickDevice;
extern platform::JoystickState JoystickDeviceState;
// The six configuration bytes: elevator device and axis, aileron device and
// axis, rudder device and axis.
extern uint8_t JoystickConfig[6];

// Raw samples of the last good poll.
extern int32_t JoystickSampleAileron;
extern int32_t JoystickSampleElevator;
extern int32_t JoystickSampleRudder;
// Rudder centre: bias, and its running sum and count during the load.
extern int32_t JoystickRudderBias;
extern int64_t JoystickRudderSum;
extern int32_t JoystickRudderCount;
extern uint8_t JoystickRudderBiasLearnt;

// Outputs: to FSUIPC, and the filtered axes.
extern int16_t JoystickAileronOut;
extern int16_t JoystickElevatorOut;
extern int16_t JoystickAileronAxis;
extern int16_t JoystickElevatorAxis;
extern int16_t JoystickRudderAxis;

// Channel 0..31 of a device state; 0 for any other number.
int32_t JoystickChannel(const platform::JoystickState& state, uint32_t channel);

// Opens the joystick and sets its axis range; 0 or above on success. A
// failure releases what it made (the update service tries again next frame).
int32_t JoystickInit(const uint8_t config[6]);
// Reads the device: the aileron, elevator and rudder samples. Below 0 when
// the device did not answer (the samples are left as they were).
int32_t JoystickPoll(int32_t* a, int32_t* e, int32_t* r);
// Draw service: poll, centre, dead zones, clamp, curves and filters.
void ReadJoystickAxes();
// Draw service: the trim and control inputs to the simulator.
void SendControlInputs();
// Kill service.
void JoystickRelease();

}  // namespace zu
