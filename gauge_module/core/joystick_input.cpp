#include "core/joystick_input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/flight_persistence.h"
#include "core/fsuipc_client.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/settings_file.h"
#include "core/shared_maths.h"

namespace zu {

platform::JoystickHandle JoystickDevice = 0;
platform::JoystickState JoystickDeviceState = {};
uint8_t JoystickConfig[6] = {};
int32_t JoystickSampleAileron = 0;
int32_t JoystickSampleElevator = 0;
int32_t JoystickSampleRudder = 0;
int32_t JoystickRudderBias = 0;
int64_t JoystickRudderSum = 0;
int32_t JoystickRudderCount = 0;
uint8_t JoystickRudderBiasLearnt = 0;
int16_t JoystickAileronOut = 0;
int16_t JoystickElevatorOut = 0;
int16_t JoystickAileronAxis = 0;
int16_t JoystickElevatorAxis = 0;
int16_t JoystickRudderAxis = 0;

namespace {

constexpr int32_t kAxisRange = 16383;
constexpr int32_t kAxisClamp = 16500;
constexpr int32_t kElevatorOffset = 8192;
constexpr int32_t kRudderOverride = 300;  // a flight-control rudder beyond this wins

// Curves: x values, then y values.
constexpr float kAileronCurve[16] = {-16383, -4096, 0, 4096, 16383, 16383, 16383, 16383,
                                     -16383, -6000, 0, 6000, 16383, 16383, 16383, 16383};
constexpr float kRudderCurve[16] = {-12383, -8192,  -4096, 0, 4096, 8192,  12383, 16383,
                                    -16383, -10000, -2048, 0, 2048, 10000, 16383, 16383};

enum ConfigByte {
    kElevatorDevice,
    kElevatorAxisNum,
    kAileronDevice,
    kAileronAxisNum,
    kRudderDevice,
    kRudderAxisNum
};

// 1. Poll; the elevator sample is offset by a quarter of its range.
bool PollStep(int32_t* a, int32_t* e, int32_t* r) {
    if (JoystickPoll(a, e, r) < 0) return false;
    *e += kElevatorOffset;
    return true;
}

// 2. The rudder's centre is learnt from the samples taken while a flight
//    loads, once, and taken off every sample after that.
void RudderCentreStep(int32_t* r) {
    if (FlightLoadCounter < kFlightLoadTicks) {
        JoystickRudderSum += *r;
        ++JoystickRudderCount;
    } else if (JoystickRudderBiasLearnt == 0) {
        // No samples before the load ended: no bias.
        JoystickRudderBias = JoystickRudderCount > 0
                                 ? static_cast<int32_t>(JoystickRudderSum / JoystickRudderCount)
                                 : 0;
        JoystickRudderSum = 0;
        JoystickRudderCount = 0;
        JoystickRudderBiasLearnt = 1;
    }
    if (JoystickRudderBiasLearnt != 0) *r -= JoystickRudderBias;
}

// 3. Dead zones: strictly inside ± the zone reads 0.
int32_t DeadZone(int32_t v, int32_t zone) {
    const int64_t z = std::abs(static_cast<int64_t>(zone));
    return std::abs(static_cast<int64_t>(v)) < z ? 0 : v;
}

// 4.
int32_t ClampAxis(int32_t v) {
    return std::clamp(v, -kAxisClamp, kAxisClamp);
}

int16_t Curve(const float* table, int32_t v) {
    return static_cast<int16_t>(std::trunc(TableLookup8(table, static_cast<float>(v))));
}

// 5. Outputs to the simulator, held while the autopilot's servos fly.
void OutputStep(int32_t a, int32_t e) {
    if (ApServoEngaged != 0) return;
    JoystickAileronOut = Curve(kAileronCurve, a);
    JoystickElevatorOut = static_cast<int16_t>(e);
}

// 6. First-order filter with factor k (a negative factor counts as 0).
int16_t Filter(int16_t old, double k, int32_t v) {
    if (!(k > 0)) k = 0;
    const double f = std::trunc((old * k + v) / (k + 1));
    return static_cast<int16_t>(std::clamp(f, -32768.0, 32767.0));
}

void FilterStep(int32_t a, int32_t e, int32_t r) {
    JoystickAileronAxis = Filter(JoystickAileronAxis, DINPUT_ailerons_axis_dump, a);
    JoystickElevatorAxis = Filter(JoystickElevatorAxis, DINPUT_elevator_axis_dump, e);
    JoystickRudderAxis =
        Filter(JoystickRudderAxis, DINPUT_rudder_axis_dump, Curve(kRudderCurve, r));
}

void Write16(uint32_t offset, int32_t value) {
    const int16_t v = static_cast<int16_t>(value);
    FsuipcWrite(offset, 2, &v, &FsuipcResult);
}

}  // namespace

int32_t JoystickChannel(const platform::JoystickState& s, uint32_t channel) {
    const int32_t pos[6] = {s.lX, s.lY, s.lZ, s.lRx, s.lRy, s.lRz};
    const int32_t acc[6] = {s.lAX, s.lAY, s.lAZ, s.lARx, s.lARy, s.lARz};
    const int32_t force[6] = {s.lFX, s.lFY, s.lFZ, s.lFRx, s.lFRy, s.lFRz};
    const int32_t vel[6] = {s.lVX, s.lVY, s.lVZ, s.lVRx, s.lVRy, s.lVRz};
    if (channel < 6) return pos[channel];
    if (channel < 12) return acc[channel - 6];
    if (channel < 18) return force[channel - 12];
    if (channel < 24) return vel[channel - 18];
    switch (channel) {
        case 24:
        case 25:
            return s.rglSlider[channel - 24];
        case 26:
        case 27:
            return s.rglASlider[channel - 26];
        case 28:
        case 29:
            return s.rglFSlider[channel - 28];
        case 30:
        case 31:
            return s.rglVSlider[channel - 30];
        default:
            return 0;
    }
}

int32_t JoystickInit(const uint8_t config[6]) {
    TraceLine("ATTEMPTING DINPUT INITIALIZATION", 0);
    std::copy(config, config + 6, JoystickConfig);
    JoystickRelease();  // nothing left over from an earlier attempt
    int32_t r = platform::JoystickOpen(&JoystickDevice);
    if (r >= 0) r = platform::JoystickSetRange(JoystickDevice, -kAxisRange, kAxisRange);
    if (r < 0) {
        JoystickRelease();
        return r;
    }
    TraceLine("DINPUT INITIALIZATION OK", 0);
    return r;
}

int32_t JoystickPoll(int32_t* a, int32_t* e, int32_t* r) {
    if (platform::JoystickPoll(JoystickDevice) < 0) platform::JoystickAcquire(JoystickDevice);
    const int32_t result = platform::JoystickGetState(JoystickDevice, &JoystickDeviceState);
    if (result < 0) return result;
    *a = JoystickChannel(JoystickDeviceState, JoystickConfig[kAileronAxisNum]);
    *e = -JoystickChannel(JoystickDeviceState, JoystickConfig[kElevatorAxisNum]);
    *r = -JoystickChannel(JoystickDeviceState, JoystickConfig[kRudderAxisNum]);
    return result;
}

void ReadJoystickAxes() {
    if (JoystickReady == 0 || DINPUT_USE == 0) return;
    int32_t a = 0;
    int32_t e = 0;
    int32_t r = 0;
    // A failed poll keeps the last samples and outputs.
    if (!PollStep(&a, &e, &r)) return;
    JoystickSampleAileron = a;
    JoystickSampleElevator = e;
    JoystickSampleRudder = r;
    RudderCentreStep(&r);
    a = ClampAxis(DeadZone(a, DINPUT_ailerons_axis_deadzone));
    e = ClampAxis(DeadZone(e, DINPUT_elevator_axis_deadzone));
    r = ClampAxis(DeadZone(r, DINPUT_rudder_axis_deadzone));
    OutputStep(a, e);
    FilterStep(a, e, r);
}

void SendControlInputs() {
    if (FsuipcLinkReady.load(std::memory_order_acquire) == 0) return;
    Write16(0x0BC0, ElevatorTrimOut);
    if (DINPUT_USE != 0) {
        Write16(0x0BB6, JoystickAileronOut);
        Write16(0x0BB2, JoystickElevatorOut);
        if (RudderInputInhibit == 0) {
            const bool flight_controls = std::abs(int32_t{JoystickRudderOut}) > kRudderOverride;
            Write16(0x0BBA, flight_controls ? JoystickRudderOut : JoystickRudderAxis);
        }
    }
    FsuipcProcess(&FsuipcResult);
}

void JoystickRelease() {
    if (JoystickDevice == 0) return;
    platform::JoystickUnacquire(JoystickDevice);
    platform::JoystickClose(JoystickDevice);
    JoystickDevice = 0;
}

}  // namespace zu
