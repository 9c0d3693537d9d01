// Game controllers, read on demand.
//
// The layer is shaped as the module's calls to its input API: open the
// first listed joystick, set every axis's range, poll, acquire, read the
// whole device state, release. Results are 32-bit codes: 0 or above is
// success, below 0 a failure (kJoystick*).
//
// Two devices stand behind it, chosen by the host before the module opens
// one (SelectJoystick):
//   - evdev: the kernel's event interface. The first listed joystick
//     (/dev/input/event* in number order whose device has an X and a Y axis
//     and a joystick or gamepad button), or the device at a given path. lX..
//     lRz are ABS_X..ABS_RZ one for one; the two sliders are the next two
//     absolute axes the device has above ABS_RZ; every other channel reads
//     0. Axis values are mapped linearly from the device's min..max onto the
//     range set. The state is read with EVIOCGABS on each GetState; no
//     thread or event pump runs.
//   - scripted: one stick for tests and the stand-in simulator, its eight
//     axes (x, y, z, rx, ry, rz, slider0, slider1) set by the host in
//     -16383..16383 (after the range), centred at start; it can be
//     unplugged (every call fails) and plugged back in.
//   - none: no joystick is attached (opening fails).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zu::platform {

inline constexpr int32_t kJoystickOk = 0;
inline constexpr int32_t kJoystickNoDevice = -1;     // none attached, or unplugged
inline constexpr int32_t kJoystickNotAcquired = -2;  // poll before acquire
inline constexpr int32_t kJoystickReadFailed = -3;   // the device stopped answering
inline constexpr int32_t kJoystickBadHandle = -4;

// The device state: 272 bytes, little-endian, in this order.
#pragma pack(push, 1)
struct JoystickState {
    int32_t lX, lY, lZ, lRx, lRy, lRz;        // position axes
    int32_t rglSlider[2];                     // sliders
    uint32_t rgdwPOV[4];                      // hat switches (0xFFFFFFFF centred)
    uint8_t rgbButtons[128];                  // button bytes (0x80 pressed)
    int32_t lVX, lVY, lVZ, lVRx, lVRy, lVRz;  // velocities
    int32_t rglVSlider[2];
    int32_t lAX, lAY, lAZ, lARx, lARy, lARz;  // accelerations
    int32_t rglASlider[2];
    int32_t lFX, lFY, lFZ, lFRx, lFRy, lFRz;  // forces
    int32_t rglFSlider[2];
};
#pragma pack(pop)
static_assert(sizeof(JoystickState) == 272);
static_assert(offsetof(JoystickState, rglSlider) == 24);
static_assert(offsetof(JoystickState, rgbButtons) == 48);
static_assert(offsetof(JoystickState, lVX) == 176);
static_assert(offsetof(JoystickState, rglVSlider) == 200);
static_assert(offsetof(JoystickState, lAX) == 208);
static_assert(offsetof(JoystickState, rglASlider) == 232);
static_assert(offsetof(JoystickState, lFX) == 240);
static_assert(offsetof(JoystickState, rglFSlider) == 264);

using JoystickHandle = uint32_t;  // 0: none

// The device behind the layer. `evdev_path` empty: the first listed joystick.
enum class JoystickKind { kNone, kScripted, kEvdev };
void SelectJoystick(JoystickKind kind, const std::string& evdev_path = {});

// Opens the first listed joystick into *handle.
int32_t JoystickOpen(JoystickHandle* handle);
// Sets every axis's range (the mapped values run min..max).
int32_t JoystickSetRange(JoystickHandle handle, int32_t min, int32_t max);
// Takes the device for reading; Poll and GetState fail until it is taken.
int32_t JoystickAcquire(JoystickHandle handle);
int32_t JoystickUnacquire(JoystickHandle handle);
// Asks the device for fresh values.
int32_t JoystickPoll(JoystickHandle handle);
// Reads the whole device state.
int32_t JoystickGetState(JoystickHandle handle, JoystickState* state);
// Releases the handle (0 is ignored).
void JoystickClose(JoystickHandle handle);

// The scripted stick. Axis 0..7: x, y, z, rx, ry, rz, slider0, slider1;
// values are clamped to -16383..16383.
void ScriptedJoystickSetAxis(int axis, int32_t value);
int32_t ScriptedJoystickAxis(int axis);
void ScriptedJoystickPlug(bool plugged);
bool ScriptedJoystickPlugged();
// Handles open now (a module that fails to start must not leak any).
int ScriptedJoystickOpenHandles();

}  // namespace zu::platform
