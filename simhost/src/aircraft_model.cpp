// The stand-in's aircraft model (see aircraft_model.h and
// docs/aircraft-model.md).
#include "zu/simhost/aircraft_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "zu/platform/process_heaps.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kG = 32.174;           // feet per second squared
constexpr double kKnot = 1.6878098571;  // feet per second
constexpr double kFeetPerNm = 6076.11549;
constexpr double kMetre = 3.28083989501;      // feet
constexpr double kWingArea = 700.0;           // square feet
constexpr double kEmptyWeight = 33000.0;      // pounds
constexpr double kTankCapacity = 2800.0;      // pounds per tank
constexpr double kMotoringNh = 9.0;           // percent, on the starter alone
constexpr double kGroundIdleNh = 64.0;        // percent
constexpr double kCruisePowerAxis = 10564.0;  // power axis for Nh 85 % in the air
constexpr double kLatitudeUnits = 477302732389508.7;
constexpr double kLongitudeUnits = 51240955760304312.0;
constexpr double kAngleUnits = 4294967296.0 / 360.0;
constexpr double kAirborneMinSpeed = 40.0;  // feet per second, the floor while airborne
constexpr double kSetDownHeight = 10.0;     // feet above the ground
// The strip around a runway that counts as on it: beyond its sides and
// ends (feet).
constexpr double kStripBesideFt = 250.0;
constexpr double kStripBeyondEndsFt = 200.0;
constexpr double kReverseShare = 0.6;  // reverse thrust per forward thrust at a torque

double Clamp(double v, double lo, double hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// First-order lag toward `target` with time constant `tau` seconds.
double Lag(double value, double target, double tau, double dt) {
    if (tau <= 0) return target;
    return value + (target - value) * std::min(1.0, dt / tau);
}

// Bleed-air pressure an engine delivers (psi): none while it does not
// burn fuel, from about 20 at ground idle to about 46 at full power.
double BleedPressure(const EngineState& eng) {
    if (!eng.combustion) return 0.0;
    return Clamp((eng.nh - 20.0) * 0.58, 0.0, 46.0);
}

// Moves toward `target` by at most `rate` per second.
// Attitude response: a spring and damper toward the target angle, so rate
// and acceleration stay continuous.
constexpr double kPitchOmega = 1.6;  // rad/s
constexpr double kPitchDamping = 0.9;
constexpr double kBankOmega = 1.8;
constexpr double kBankDamping = 0.9;

void Spring(double& angle, double& rate, double& accel, double target, double omega, double damping,
            double dt) {
    accel = omega * omega * (target - angle) - 2.0 * damping * omega * rate;
    rate += accel * dt;
    angle += rate * dt;
}

double Slew(double value, double target, double rate, double dt) {
    const double step = rate * dt;
    if (target > value + step) return value + step;
    if (target < value - step) return value - step;
    return target;
}

double Wrap360(double deg) {
    double v = std::fmod(deg, 360.0);
    if (v < 0) v += 360.0;
    return v;
}

double Wrap180(double deg) {
    double v = Wrap360(deg + 180.0) - 180.0;
    return v;
}

// Elevator trim in radians: one trim step (256 units) is the 0.00174 rad
// the trim indicator's switch adds.
constexpr double kTrimRadiansPerUnit = 0.00174 / 256.0;

// The slip ball (-127..127, positive right): at rest on the ground; in the
// air pushed away from the yaw of the rudder and of a torque difference.
double Ball(const AircraftState& s) {
    if (s.on_ground) return 0.0;
    const double yaw = 60.0 * s.rudder + 1.0 * (s.engines[0].torque - s.engines[1].torque);
    return std::clamp(-yaw, -127.0, 127.0);
}

// ISA density ratio and temperature at an altitude in feet.
double DensityRatio(double altitude_ft) {
    const double t = std::max(0.2, 1.0 - 6.8756e-6 * altitude_ft);
    return std::pow(t, 4.2561);
}
double IsaTemperature(double altitude_ft) {
    return 15.0 - 1.98 * altitude_ft / 1000.0;
}
double IsaPressureHpa(double altitude_ft) {
    const double t = std::max(0.2, 1.0 - 6.8756e-6 * altitude_ft);
    return 1013.25 * std::pow(t, 5.2559);
}

template <typename T>
void Put(Simulator& sim, uint32_t offset, T value) {
    sim.fsuipc().Publish(offset, &value, sizeof value);
}

template <typename T>
void Put(FsuipcServer::Batch& image, uint32_t offset, T value) {
    image.Publish(offset, &value, sizeof value);
}

int32_t SignedValue(uint32_t value) {
    return static_cast<int32_t>(value);
}

}  // namespace

namespace {

// The simulator's memory the locator scans (see kHeapMarkerValue).
struct SimulatorMemory {
    alignas(8) uint8_t marker_block[kHeapMarkerBlockSize] = {};
    alignas(8) uint8_t engine_block[kEngineBlockSize] = {};
    platform::HeapHandle heap = 0;
};

// Made and registered once; never freed (trivially destructible, so it is
// not torn down at exit either while a module may still hold into it).
SimulatorMemory& ProcessSimulatorMemory() {
    static SimulatorMemory memory;
    static const bool registered = [] {
        std::memcpy(memory.marker_block + kHeapMarkerOffset, &kHeapMarkerValue,
                    sizeof kHeapMarkerValue);
        memory.heap = platform::HeapRegister();
        platform::HeapAddEntry(memory.heap, memory.marker_block, sizeof memory.marker_block,
                               platform::kHeapEntryBusy);
        platform::HeapAddEntry(memory.heap, memory.engine_block, sizeof memory.engine_block,
                               platform::kHeapEntryBusy);
        return true;
    }();
    (void)registered;
    return memory;
}

static_assert(std::is_trivially_destructible_v<SimulatorMemory>);

}  // namespace

AircraftModel::AircraftModel() {
    ProcessSimulatorMemory();
}

const uint8_t* AircraftModel::HeapEngineBlock() const {
    return ProcessSimulatorMemory().engine_block;
}

const uint8_t* AircraftModel::HeapBladeAngleAddress(int engine) const {
    return HeapEngineBlock() + kBladeAngleOffset + static_cast<size_t>(engine) * kEngineRecordSize;
}

double AircraftModel::HeapBladeAngle(int engine) const {
    if (engine < 0 || engine >= kHeapEngines) return 0.0;
    double v;
    std::memcpy(&v, HeapBladeAngleAddress(engine), sizeof v);
    return v;
}

void AircraftModel::TakeSimulatorMemory() {
    BladeAnglesToHeap();
}

// The heap is locked while the model reads or writes it, as a walker locks
// it while it scans.
void AircraftModel::BladeAnglesFromHeap() {
    SimulatorMemory& memory = ProcessSimulatorMemory();
    platform::HeapLock(memory.heap);
    for (int e = 0; e < 2; ++e)
        state_.engines[static_cast<size_t>(e)].blade_angle = HeapBladeAngle(e);
    platform::HeapUnlock(memory.heap);
}

void AircraftModel::BladeAnglesToHeap() {
    SimulatorMemory& memory = ProcessSimulatorMemory();
    platform::HeapLock(memory.heap);
    for (int e = 0; e < 2; ++e) {
        std::memcpy(
            memory.engine_block + kBladeAngleOffset + static_cast<size_t>(e) * kEngineRecordSize,
            &state_.engines[static_cast<size_t>(e)].blade_angle, sizeof(double));
    }
    platform::HeapUnlock(memory.heap);
}

double AircraftModel::IndicatedAirspeedKt() const {
    return state_.tas_ft_s * std::sqrt(DensityRatio(state_.altitude_ft)) / kKnot;
}

void AircraftModel::Attach(Simulator& sim) {
    sim.fsuipc().SetWriteObserver([this](uint32_t offset, uint32_t size, uint8_t* image) {
        OnFsuipcWrite(offset, size, image);
    });
    // What a simulator holds before anybody tunes or asks anything.
    Put<uint16_t>(sim, 0x034E, 0x1800);  // COM1 118.00
    Put<uint16_t>(sim, 0x3118, 0x1825);  // COM2 118.25
    Put<uint16_t>(sim, 0x0350, 0x1000);  // NAV1 110.00
    Put<uint16_t>(sim, 0x0352, 0x1000);  // NAV2 110.00
    Put<uint16_t>(sim, 0x034C, 0x0320);  // ADF1 320.0
    Put<uint16_t>(sim, 0x0356, 0x0000);
    Put<uint16_t>(sim, 0x02D4, 0x0320);  // ADF2 320.0
    Put<uint16_t>(sim, 0x02D6, 0x0000);
    Put<uint16_t>(sim, 0x0354, 0x1200);  // transponder
    Put<uint16_t>(sim, 0x0330, 16212);   // altimeter setting 1013.25 hPa x 16
    Put<uint16_t>(sim, kTrafficSlotSizeOffset, kTrafficSlotSize);
    Put<uint16_t>(sim, kTrafficSlotCountOffset, kTrafficSlots);
    char callsign[12] = "ZU-ZUV";
    sim.fsuipc().Publish(0x313C, callsign, sizeof callsign);
    char flight[128] = "Zuvav sample flight";
    sim.fsuipc().Publish(0x0400, flight, sizeof flight);
    Publish(sim);
}

void AircraftModel::SetThrottleLever(int engine, double fraction) {
    const double v = Clamp(fraction, -0.25, 1.0) * 16383.0;
    for (int e = 0; e < 2; ++e) {
        if (engine < 0 || engine == e) lever_[e] = v;
    }
}

void AircraftModel::SetCondition(int engine, double fraction) {
    const double v = fraction < 0 ? -4096.0 : Clamp(fraction, 0, 1) * 16383.0;
    for (int e = 0; e < 2; ++e) {
        if (engine < 0 || engine == e) condition_axis_[e] = v;
    }
}

void AircraftModel::SetFlaps(int detent) {
    flap_lever_ = (Clamp(detent, 0, 4) + 2) * 2048.0;
}

void AircraftModel::SetBrakes(double fraction) {
    state_.brake_left = state_.brake_right = Clamp(fraction, 0, 1) * 16383.0;
}

void AircraftModel::PlaceOnGround(double latitude, double longitude, double elevation_ft,
                                  double heading) {
    state_.latitude = latitude;
    state_.longitude = longitude;
    state_.ground_elevation_ft = elevation_ft;
    state_.altitude_ft = elevation_ft;
    state_.heading_true = Wrap360(heading);
    state_.on_ground = true;
    state_.tas_ft_s = 0;
    state_.gamma = 0;
    state_.pitch = 0;
    state_.bank = 0;
    state_.pitch_rate = state_.roll_rate = state_.yaw_rate = 0;
}

void AircraftModel::PlaceAirborne(double altitude_ft, double speed_kt) {
    state_.altitude_ft = std::max(altitude_ft, state_.ground_elevation_ft + 50.0);
    state_.tas_ft_s = speed_kt * kKnot / std::sqrt(DensityRatio(state_.altitude_ft));
    state_.on_ground = false;
    state_.gamma = 0;
    state_.pitch = 2.0;
    state_.pitch_rate = state_.roll_rate = state_.yaw_rate = 0;
    state_.gear_handle_down = false;
    state_.gear = 0;
    state_.parking_brake = false;
    // The pilot's levers at cruise power (Nh 85 %) and the condition levers
    // forward; the engines already run at what the module will command.
    for (int e = 0; e < 2; ++e) {
        lever_[e] = kCruisePowerAxis;
        condition_axis_[e] = 16383;
    }
    for (EngineState& eng : state_.engines) {
        eng.condition = 16000;
        eng.prop_lever = 10196;
        eng.combustion = true;
        eng.nh = 85;
        eng.nl = 82;
        eng.prop_rpm = 1020;
        eng.throttle = 8685;
        eng.itt = 650;
        eng.oil_temp = 70;
        eng.oil_press = 80;
    }
}

void AircraftModel::OnKeyEvent(uint32_t id, uint32_t value) {
    const int32_t v = SignedValue(value);
    AircraftState& s = state_;
    switch (id) {
        case 0x1011C:
        case 0x1011D:
            s.engines[id - 0x1011C].throttle = Clamp(v, -16383, 16383);
            break;
        case 0x1017F:
        case 0x10180:
            s.engines[id - 0x1017F].condition = Clamp(v, 0, 19000);
            break;
        case 0x10183:
        case 0x10184:
            s.engines[id - 0x10183].prop_lever = Clamp(v, -4096, 16383);
            break;
        case 0x10185:
        case 0x10186:
            condition_axis_[id - 0x10185] = Clamp(v, -4096, 16383);
            break;
        case 0x1011E:
        case 0x1011F:
            lever_[id - 0x1011E] = Clamp(v, -4096, 16383);
            break;
        case 0x102E4:
            s.elevator_trim = Clamp(s.elevator_trim - 256, -16383, 16383);
            break;
        case 0x102E5:
            s.elevator_trim = Clamp(s.elevator_trim + 256, -16383, 16383);
            break;
        case 0x1018C:
            s.engines[0].starter_switch = value;
            break;
        case 0x10192:
            s.engines[1].starter_switch = value;
            break;
        case 0x1009E:
            s.elevator = Clamp(-v / 16383.0, -1, 1);
            break;
        case 0x1009F:
            s.aileron = Clamp(-v / 16383.0, -1, 1);  // + rolls left
            break;
        case 0x100A0:
            s.rudder = Clamp(v / 16383.0, -1, 1);
            break;
        case 0x100A2:
            s.flap_handle = Clamp(v, 0, 16383);  // the surfaces: (v - 4096) / 8192 of travel
            break;
        case 0x100AA:
            s.elevator_trim = Clamp(v, -16383, 16383);
            break;
        case 0x100FA:
            s.rudder_trim = Clamp(v, 0, 16383);  // the pitch-trim value: shown, it does not steer
            break;
        case 0x10047:
            s.elevator_trim = Clamp(s.elevator_trim - 256, -16383, 16383);
            break;
        case 0x1004F:
            s.elevator_trim = Clamp(s.elevator_trim + 256, -16383, 16383);
            break;
        case 0x10307:
        case 0x10308:
            s.brake_pulse = 0.3;
            break;
        case 0x1021F:
            s.gear_handle_down = false;
            break;
        case 0x10220:
            s.gear_handle_down = true;
            break;
        case 0x10022:
            s.gear_handle_down = !s.gear_handle_down;
            break;
        default:
            break;
    }
}

void AircraftModel::OnFsuipcWrite(uint32_t offset, uint32_t size, uint8_t* image) {
    const uint32_t end = offset + size;
    auto covers = [&](uint32_t at, uint32_t n) { return offset <= at && end >= at + n; };
    if (covers(kWeatherOffset + 4, 28)) {
        uint32_t signature;
        std::memcpy(&signature, image + kWeatherOffset + 4, 4);
        if (signature == kWeatherRequestSignature) AnswerWeather(image);
    }
    if (covers(0x0262, 2)) {
        uint16_t pause;
        std::memcpy(&pause, image + 0x0262, 2);
        if (pause != 0) state_.reposition_pause = true;
    }
    if (covers(0x0560, 8)) {
        int64_t lat;
        std::memcpy(&lat, image + 0x0560, 8);
        state_.latitude = Clamp(static_cast<double>(lat) / kLatitudeUnits, -90, 90);
        repositioned_ = true;
    }
    if (covers(0x0568, 8)) {
        int64_t lon;
        std::memcpy(&lon, image + 0x0568, 8);
        state_.longitude = Wrap180(static_cast<double>(lon) / kLongitudeUnits);
        repositioned_ = true;
    }
    if (covers(0x0574, 4)) {
        int32_t metres;
        std::memcpy(&metres, image + 0x0574, 4);
        state_.altitude_ft = std::max(state_.ground_elevation_ft, metres * kMetre);
        // An aircraft too slow to fly that is put a few feet above the
        // ground is set down on it, not dropped: the module writes whole
        // metres and adds a margin, so a parked aircraft arrives up to 7 ft
        // up, and airborne it would gain the airborne floor speed.
        const double height = state_.altitude_ft - state_.ground_elevation_ft;
        state_.on_ground =
            height <= 1.0 || (height <= kSetDownHeight && state_.tas_ft_s < kAirborneMinSpeed);
        if (state_.on_ground) state_.altitude_ft = state_.ground_elevation_ft;
        repositioned_ = true;
    }
    auto angle = [&](uint32_t at) {
        int32_t w;
        std::memcpy(&w, image + at, 4);
        return w / kAngleUnits;
    };
    if (covers(0x0578, 4)) state_.pitch = -angle(0x0578);  // negative nose up
    if (covers(0x057C, 4)) state_.bank = -angle(0x057C);   // positive left wing down
    if (covers(0x0580, 4)) state_.heading_true = Wrap360(angle(0x0580) + state_.variation);
    // The control inputs, written by a module that reads the joystick
    // itself: elevator (+ push), aileron, rudder and elevator trim.
    auto axis = [&](uint32_t at) {
        int16_t v;
        std::memcpy(&v, image + at, 2);
        return static_cast<double>(v);
    };
    if (covers(0x0BB2, 2)) state_.elevator = Clamp(-axis(0x0BB2) / 16383.0, -1, 1);
    if (covers(0x0BB6, 2)) state_.aileron = Clamp(-axis(0x0BB6) / 16383.0, -1, 1);
    if (covers(0x0BBA, 2)) state_.rudder = Clamp(axis(0x0BBA) / 16383.0, -1, 1);
    if (covers(0x0BC0, 2)) state_.elevator_trim = Clamp(axis(0x0BC0), -16383, 16383);
    if (covers(0x023A, 1)) {
        // The clock's set control: the second of the minute.
        const int second = std::min<int>(image[0x023A], 59);
        const double minute_start = std::floor(state_.utc_s / 60.0) * 60.0;
        state_.utc_s = minute_start + second + (state_.utc_s - std::floor(state_.utc_s));
    }
    if (covers(0x2418, 8)) std::memcpy(&state_.engines[0].blade_angle, image + 0x2418, 8);
    if (covers(0x2518, 8)) std::memcpy(&state_.engines[1].blade_angle, image + 0x2518, 8);
    if (covers(0x2418, 8) || covers(0x2518, 8)) BladeAnglesToHeap();
}

// The weather record at a sample point: the cloud layers of every weather
// cell whose radius covers the point.
void AircraftModel::AnswerWeather(uint8_t* image) {
    uint8_t* rec = image + kWeatherOffset;
    double lat = 0;
    double lon = 0;
    std::memcpy(&lat, rec + 16, 8);
    std::memcpy(&lon, rec + 24, 8);
    std::memset(rec + 32, 0, kWeatherRecordSize - 32);
    int32_t layers = 0;
    for (const WeatherCell& c : state_.weather) {
        const double dn = (lat - c.latitude) * 60.0;
        const double de = (lon - c.longitude) * 60.0 * std::cos(c.latitude * kDeg);
        if (std::hypot(dn, de) > c.radius_nm) continue;
        if (640 + (layers + 1) * 16 > static_cast<int>(kWeatherRecordSize)) break;
        uint8_t* layer = rec + 640 + layers * 16;
        const uint16_t top = static_cast<uint16_t>(Clamp(c.top_ft, 0, 65535));
        const int16_t base = static_cast<int16_t>(Clamp(c.base_ft, -32768, 32767));
        std::memcpy(layer + 0, &top, 2);
        layer[6] = 8;  // overcast
        layer[7] = 2;  // rain
        std::memcpy(layer + 10, &base, 2);
        layer[13] = static_cast<uint8_t>(Clamp(c.intensity, 1, 5));
        ++layers;
    }
    std::memcpy(rec + 636, &layers, 4);
}

void AircraftModel::StepEngines(double dt) {
    AircraftState& s = state_;
    const double tas_kt = s.tas_ft_s / kKnot;
    for (int e = 0; e < 2; ++e) {
        EngineState& eng = s.engines[e];
        const bool fuel_on = eng.condition > 0 && s.fuel_lb[e] > 0;
        const bool feathered = eng.prop_lever <= -4096;
        const bool starter = eng.starter_switch != 0;
        const double power = eng.throttle > 0 ? Clamp(eng.throttle / 16383.0, 0, 1) : 0;
        const double reverse = eng.throttle < 0 ? Clamp(-eng.throttle / 16383.0, 0, 1) : 0;

        // Spool: the starter motors it to about 9 %; fuel with the starter
        // lights it off above 8 % and it accelerates to its power setting,
        // the inverse of the module's Nh-target-to-throttle table
        // (62 % + 43 % per 16237), at least ground idle.
        if (!eng.combustion) {
            eng.nh = starter ? Lag(eng.nh, kMotoringNh, 2.0, dt) : Lag(eng.nh, 0.0, 8.0, dt);
            if (starter && fuel_on && eng.nh >= 8.0) eng.combustion = true;
        } else if (!fuel_on) {
            eng.combustion = false;
        }
        if (eng.combustion) {
            const double target =
                std::max(kGroundIdleNh, 62.0 + 43.0 * std::fabs(eng.throttle) / 16237.0);
            eng.nh =
                eng.nh < 60.0 ? std::min(target, eng.nh + 2.5 * dt) : Lag(eng.nh, target, 2.5, dt);
        }
        eng.nl = Lag(eng.nl, eng.combustion ? eng.nh * 0.97 : 0.0, 1.5, dt);

        // Propeller: the lever sets the governed speed (feathered at -4096).
        double rpm_target = 0;
        const double lever = Clamp((eng.prop_lever - 3000.0) / 11000.0, 0, 1);
        if (eng.combustion && !feathered) {
            rpm_target = eng.nh < 60.0 ? eng.nh * 12.0 : 800.0 + 400.0 * lever;
        } else if (!feathered) {
            rpm_target = std::min(600.0, tas_kt * 3.0);
        }
        eng.prop_rpm = Lag(eng.prop_rpm, rpm_target, 2.0, dt);

        double blade = feathered
                           ? 80.0
                           : (reverse > 0 ? -10.0 * reverse : 10.0 + 25.0 * power + tas_kt / 20.0);
        eng.blade_angle = Lag(eng.blade_angle, blade * kDeg, 1.0, dt);

        const double core = Clamp((eng.nh - 64.0) / 34.0, 0, 1);
        eng.torque =
            Lag(eng.torque, eng.combustion && eng.prop_rpm > 100 ? 100.0 * core : 0.0, 1.0, dt);
        const double itt = eng.combustion ? (eng.nh < 60.0 ? 720.0 : 480.0 + 330.0 * core) : 15.0;
        eng.itt = Lag(eng.itt, itt, eng.combustion ? 3.0 : 20.0, dt);
        eng.fuel_flow = eng.combustion ? 180.0 + 900.0 * eng.torque / 100.0 : 0.0;
        eng.oil_temp = Lag(eng.oil_temp, eng.combustion ? 75.0 : 15.0, 90.0, dt);
        eng.oil_press = Lag(eng.oil_press, eng.combustion ? 40.0 + 0.5 * eng.nh : 0.0, 1.0, dt);
        // Below zero the command turns the engine's power into reverse
        // thrust: it grows with the torque, which follows the command's
        // magnitude as forward power does.
        const double shaft = eng.torque / 100.0 * 5200.0;
        if (!eng.combustion) {
            eng.thrust = 0.0;
        } else if (reverse > 0) {
            eng.thrust = -kReverseShare * shaft;
        } else {
            eng.thrust = shaft * std::max(0.3, 1.0 - tas_kt / 600.0);
        }
        s.fuel_lb[e] = std::max(0.0, s.fuel_lb[e] - eng.fuel_flow / 3600.0 * dt);
    }
}

void AircraftModel::StepFlight(double dt) {
    AircraftState& s = state_;
    s.gross_weight_lb = kEmptyWeight + s.fuel_lb[0] + s.fuel_lb[1];
    const double weight = s.gross_weight_lb;
    const double mass = weight / kG;
    s.flaps = Slew(s.flaps, Clamp((s.flap_handle - 4096.0) / 8192.0, 0, 1), 0.15, dt);
    s.gear = Slew(s.gear, s.gear_handle_down ? 1.0 : 0.0, 1.0 / 8.0, dt);
    if (s.on_ground) s.gear = 1.0;  // the gear stays down under the weight

    const double sigma = DensityRatio(s.altitude_ft);
    const double rho = 0.0023769 * sigma;
    const double v = s.tas_ft_s;
    const double q = 0.5 * rho * v * v;
    const double thrust = s.engines[0].thrust + s.engines[1].thrust;
    // Nose-up trim reaches the elevator's full authority, nose-down trim
    // half of it: an airframe trims further nose up than nose down.
    const double trim = s.elevator_trim / 16383.0;
    const double control = s.elevator + (trim > 0 ? trim : 0.5 * trim);
    const double ias_kt = v * std::sqrt(sigma) / kKnot;

    const double old_heading = s.heading_true;
    double pitch_target = s.on_ground ? (ias_kt > 95.0 && control > 0.1 ? 15.0 * control : 0.0)
                                      : 2.0 + 15.0 * control;
    Spring(s.pitch, s.pitch_rate, s.pitch_accel, Clamp(pitch_target, -15.0, 20.0), kPitchOmega,
           kPitchDamping, dt);
    s.alpha = s.pitch - s.gamma / kDeg;
    const double cl = std::min(0.35 + 5.5 * s.alpha * kDeg + 0.45 * s.flaps, 1.6 + 0.45 * s.flaps);
    const double lift = q * kWingArea * cl;
    const double cd = 0.03 + 0.045 * cl * cl + 0.04 * s.flaps + 0.02 * s.gear;
    const double drag = q * kWingArea * cd;

    if (s.on_ground) {
        s.gamma = 0;
        Spring(s.bank, s.roll_rate, s.roll_accel, 0.0, kBankOmega, kBankDamping, dt);
        const double load = std::max(0.0, weight - lift);
        double brake = std::max(s.brake_left, s.brake_right) / 16383.0;
        if (s.parking_brake || s.brake_pulse > 0) brake = 1.0;
        const double resist = 0.02 * load + 0.4 * load * brake;
        const double push = thrust - drag;
        if (v <= 0.01 && std::fabs(push) <= resist) {
            s.tas_ft_s = 0;
            s.accel_long = 0;
        } else {
            const double a = (push - (v > 0.01 ? resist : std::copysign(resist, push))) / mass;
            s.accel_long = a;
            s.tas_ft_s = std::max(0.0, v + a * dt);
        }
        const double steer = s.rudder * 10.0;
        s.heading_true = Wrap360(s.heading_true + steer * std::min(1.0, v / 30.0) * dt);
        if (lift > weight && s.pitch > 3.0) s.on_ground = false;
    } else {
        Spring(s.bank, s.roll_rate, s.roll_accel, 35.0 * s.aileron, kBankOmega, kBankDamping, dt);
        const double a = (thrust - drag) / mass - kG * std::sin(s.gamma);
        s.accel_long = a;
        s.tas_ft_s = std::max(kAirborneMinSpeed, v + a * dt);
        const double vv = std::max(v, 80.0);
        s.gamma += (lift * std::cos(s.bank * kDeg) - weight * std::cos(s.gamma)) / (mass * vv) * dt;
        s.gamma = Clamp(s.gamma, -0.5, 0.5);
        s.heading_true = Wrap360(s.heading_true + kG * std::tan(s.bank * kDeg) / vv / kDeg * dt);
        s.altitude_ft += v * std::sin(s.gamma) * dt;
        if (s.altitude_ft <= s.ground_elevation_ft) {
            s.altitude_ft = s.ground_elevation_ft;
            RecordTouchdown(v * std::sin(s.gamma) * 60.0);
            s.gamma = 0;
            s.on_ground = true;
        }
    }
    const double gs = s.tas_ft_s * std::cos(s.gamma);
    const double north = gs * std::cos(s.heading_true * kDeg);
    const double east = gs * std::sin(s.heading_true * kDeg);
    s.latitude = Clamp(s.latitude + north * dt / kFeetPerNm / 60.0, -89.9, 89.9);
    s.longitude =
        Wrap180(s.longitude + east * dt / kFeetPerNm / 60.0 / std::cos(s.latitude * kDeg));
    if (dt > 0) {
        const double yaw_rate = Wrap180(s.heading_true - old_heading) / dt;
        s.yaw_accel = (yaw_rate - s.yaw_rate) / dt;
        s.yaw_rate = yaw_rate;
    }
    s.brake_pulse = std::max(0.0, s.brake_pulse - dt);
}

void AircraftModel::Step(Simulator& sim, double dt) {
    BladeAnglesFromHeap();
    const bool frozen = state_.paused || state_.reposition_pause;
    if (repositioned_) {
        // A repositioned aircraft keeps its speed but flies level.
        state_.gamma = 0;
        repositioned_ = false;
    }
    if (!frozen && dt > 0) {
        state_.clock_s += dt;
        state_.utc_s += dt;
        if (state_.utc_s >= 86400.0) {
            state_.utc_s -= 86400.0;
            state_.day_of_year = state_.day_of_year % 365 + 1;
        }
        state_.tick_count += 18.2 * dt;
        StepEngines(dt);
        BladeAnglesToHeap();
        now_s_ = sim.elapsed_seconds();
        FollowGround();
        StepFlight(dt);
        StepTraffic(dt);
    }
    Publish(sim);  // 0x0264 shows this frame's repositioning pause
    state_.reposition_pause = false;
}

namespace {

// North and east feet of a point from a reference point (flat earth).
void Offset(double lat, double lon, double ref_lat, double ref_lon, double* north, double* east) {
    *north = (lat - ref_lat) * 60.0 * kFeetPerNm;
    *east = Wrap180(lon - ref_lon) * 60.0 * kFeetPerNm * std::cos(ref_lat * kDeg);
}

}  // namespace

const WorldAirport* AircraftModel::NearestAirport(double latitude, double longitude,
                                                  double max_nm) const {
    const WorldAirport* best = nullptr;
    double best_ft = max_nm * kFeetPerNm;
    for (const WorldAirport& a : world_.airports) {
        double north = 0, east = 0;
        Offset(latitude, longitude, a.latitude, a.longitude, &north, &east);
        const double d = std::hypot(north, east);
        if (d > best_ft) continue;
        best_ft = d;
        best = &a;
    }
    return best;
}

const WorldRunway* AircraftModel::RunwayAt(double latitude, double longitude,
                                           double heading_true) const {
    const WorldRunway* best = nullptr;
    double best_diff = 1e9;
    for (const WorldRunway& r : world_.runways) {
        double north = 0, east = 0;
        Offset(latitude, longitude, r.latitude, r.longitude, &north, &east);
        const double c = r.course * kDeg;
        const double along = north * std::cos(c) + east * std::sin(c);
        const double across = east * std::cos(c) - north * std::sin(c);
        if (along < -kStripBeyondEndsFt || along > r.length_ft + kStripBeyondEndsFt ||
            std::fabs(across) > r.width_ft / 2.0 + kStripBesideFt)
            continue;
        const double diff = std::fabs(Wrap180(heading_true - r.course));
        if (diff >= best_diff) continue;
        best_diff = diff;
        best = &r;
    }
    return best;
}

// The ground under the aircraft: the nearest airport's elevation within
// 5 nm, else what it was; on the ground the aircraft stands on it.
void AircraftModel::FollowGround() {
    AircraftState& s = state_;
    const WorldAirport* a = NearestAirport(s.latitude, s.longitude, kAirportGroundRadiusNm);
    if (a != nullptr) s.ground_elevation_ft = a->elevation_ft;
    if (s.on_ground) s.altitude_ft = s.ground_elevation_ft;
}

// Called as the wheels meet the ground, before the ground holds the gear
// down: a touchdown with the gear not down, sinking faster than 1000 fpm or
// off the runways faster than 60 kt (when the world has runways) is a
// crash.
void AircraftModel::RecordTouchdown(double vertical_speed_fpm) {
    const AircraftState& s = state_;
    Touchdown t;
    t.time_s = now_s_;
    t.vertical_speed_fpm = vertical_speed_fpm;
    t.gear = s.gear;
    t.ground_speed_kt = s.tas_ft_s * std::cos(s.gamma) / kKnot;
    t.altitude_ft = s.altitude_ft;
    t.latitude = s.latitude;
    t.longitude = s.longitude;
    t.heading_true = s.heading_true;
    if (const WorldAirport* a = NearestAirport(s.latitude, s.longitude, kAirportGroundRadiusNm))
        t.airport = a->ident;
    const WorldRunway* r = RunwayAt(s.latitude, s.longitude, s.heading_true);
    if (r != nullptr) {
        t.airport = r->airport;
        t.runway = r->designator;
    }
    char reason[96] = {};
    if (s.gear < 1.0) {
        std::snprintf(reason, sizeof reason, "gear not down (%.0f %% down)", s.gear * 100.0);
    } else if (vertical_speed_fpm < -kCrashSinkRateFpm) {
        std::snprintf(reason, sizeof reason, "sinking at %.0f fpm", -vertical_speed_fpm);
    } else if (r == nullptr && !world_.runways.empty() && t.ground_speed_kt > kCrashOffRunwayKt) {
        std::snprintf(reason, sizeof reason, "off the runways at %.0f kt", t.ground_speed_kt);
    }
    t.crash = reason[0] != '\0';
    t.crash_reason = reason;
    if (t.crash) ++crashes_;
    last_touchdown_ = std::move(t);
}

double AircraftModel::VerticalSpeedFpm() const {
    return state_.tas_ft_s * std::sin(state_.gamma) * 60.0;
}

// The ground track is the heading: the stand-in flies without wind.
double AircraftModel::TrackTrue() const {
    return state_.heading_true;
}

// The variables one step publishes, handed to the simulator in order under
// one lock when the batch ends (or fills).
class VariableBatch {
  public:
    explicit VariableBatch(Simulator& sim) : sim_(sim) {}
    ~VariableBatch() { Flush(); }
    VariableBatch(const VariableBatch&) = delete;
    VariableBatch& operator=(const VariableBatch&) = delete;

    void operator()(uint32_t token, double value) {
        if (count_ == values_.size()) Flush();
        values_[count_++] = {token, value};
    }
    void Flush() {
        if (count_ > 0) sim_.PublishVariables(values_.data(), count_);
        count_ = 0;
    }

  private:
    Simulator& sim_;
    std::array<std::pair<uint32_t, double>, 128> values_{};
    size_t count_ = 0;
};

void AircraftModel::Publish(Simulator& sim) {
    // Variables and offsets go over each under one lock; the variables once
    // the offsets' lock is let go.
    VariableBatch var(sim);
    FsuipcServer::Batch image(sim.fsuipc());
    const AircraftState& s = state_;
    const double sigma = DensityRatio(s.altitude_ft);
    const double tas_kt = s.tas_ft_s / kKnot;
    const double ias_kt = tas_kt * std::sqrt(sigma);
    const double vs_ft_s = s.tas_ft_s * std::sin(s.gamma);
    const double gs_ft_s = s.tas_ft_s * std::cos(s.gamma);
    const double mag_heading = Wrap360(s.heading_true - s.variation);
    const double temp = IsaTemperature(s.altitude_ft);

    var(1, std::floor(s.tick_count));
    var(341, temp);
    var(800, temp + tas_kt * tas_kt / 87000.0);
    var(61, ias_kt);
    var(64, tas_kt / 0.00005);
    var(73, s.altitude_ft / kMetre);
    var(74, s.altitude_ft);
    var(60, s.on_ground ? 1 : 0);
    var(79, Wrap360(-s.bank));  // the simulator's sign: positive left wing down
    var(77, -s.pitch);          // the simulator's sign: negative nose up
    var(82, s.variation);
    var(81, mag_heading);
    var(614, (s.altitude_ft - s.ground_elevation_ft) / kMetre);  // radio altitude, metres
    var(0x4E, s.pitch);                                          // standby attitude
    var(0x50, Wrap180(s.bank));
    var(65, vs_ft_s / kMetre * 256.0);
    var(70, vs_ft_s * 60.0);
    const uint32_t per_engine[][2] = {{703, 711}, {131, 166}, {705, 713}, {700, 708}, {626, 645},
                                      {627, 646}, {633, 652}, {634, 653}, {706, 714}, {707, 715},
                                      {198, 233}, {199, 234}, {563, 573}, {304, 303}};
    for (int e = 0; e < 2; ++e) {
        const EngineState& eng = s.engines[e];
        var(per_engine[0][e], HeapBladeAngle(e));
        var(per_engine[1][e], eng.combustion ? 1 : 0);
        var(per_engine[2][e], eng.torque);
        var(per_engine[3][e], eng.prop_rpm);
        var(per_engine[4][e], eng.nh);
        var(per_engine[5][e], eng.nl);
        var(per_engine[6][e], eng.itt);
        var(per_engine[7][e], BleedPressure(eng));
        var(per_engine[8][e], eng.fuel_flow);
        var(per_engine[9][e], eng.oil_press);
        var(per_engine[10][e], lever_[e]);
        var(per_engine[11][e], condition_axis_[e]);
        var(per_engine[12][e], static_cast<double>(SignedValue(eng.starter_switch)));
        var(per_engine[13][e], s.fuel_lb[e] / kTankCapacity * 450.0);
        var(e == 0 ? 631 : 650, (eng.itt + 273.15) * 1.8);  // the dial's source: degrees Rankine
        var(e == 0 ? 638 : 657, eng.fuel_flow);
        var(e == 0 ? 147 : 182, (eng.oil_temp + 101.0) / 0.0454545);
        var(e == 0 ? 148 : 183, eng.oil_press * 100.0);
    }
    // Engines 3 and 4 of the simulator's engine block (none here).
    var(719, HeapBladeAngle(2));
    var(727, HeapBladeAngle(3));
    var(328, flap_lever_);
    var(784, -s.aileron);
    var(786, s.rudder);
    var(331, s.gear_handle_down ? 16383 : 0);
    var(785, s.elevator_trim * kTrimRadiansPerUnit);
    var(0x45, Ball(s));
    var(787, s.elevator_trim / 16383.0);
    // Engine 1's oil temperature, which the packs read as their bleed heat.
    var(147, (s.engines[0].oil_temp + 101.0) / 0.0454545);
    var(348, IsaPressureHpa(s.altitude_ft) / 0.0628931);
    var(343, 0);
    var(344, 270);

    Put<uint8_t>(image, 0x023A, static_cast<uint8_t>(static_cast<int>(s.utc_s) % 60));
    Put<uint8_t>(image, 0x0239, static_cast<uint8_t>(static_cast<int>(s.utc_s) / 60 % 60));
    Put<uint8_t>(image, 0x023B, static_cast<uint8_t>(static_cast<int>(s.utc_s) / 3600));
    Put<uint16_t>(image, 0x023E, static_cast<uint16_t>(s.day_of_year));
    Put<uint16_t>(image, 0x0240, static_cast<uint16_t>(s.year));
    Put<uint16_t>(image, 0x0264, s.paused || s.reposition_pause ? 1 : 0);
    Put<uint16_t>(image, 0x0274, static_cast<uint16_t>(32768 / std::max(1, sim.config().fps)));
    Put<uint32_t>(image, 0x02B4, static_cast<uint32_t>(gs_ft_s / kMetre * 65536.0));
    Put<int32_t>(image, 0x02B8, static_cast<int32_t>(tas_kt * 128.0));
    Put<int32_t>(image, 0x02BC, static_cast<int32_t>(ias_kt * 128.0));
    Put<int32_t>(image, 0x02C8, static_cast<int32_t>(std::lround(vs_ft_s / kMetre * 256.0)));
    Put<double>(image, 0x0310, s.clock_s);
    Put<int64_t>(image, 0x0560, static_cast<int64_t>(s.latitude * kLatitudeUnits));
    Put<int64_t>(image, 0x0568, static_cast<int64_t>(Wrap180(s.longitude) * kLongitudeUnits));
    Put<uint32_t>(image, 0x0570, 0);
    Put<int32_t>(image, 0x0574, static_cast<int32_t>(std::floor(s.altitude_ft / kMetre)));
    Put<int32_t>(image, 0x0578, static_cast<int32_t>(-s.pitch * kAngleUnits));
    Put<int32_t>(image, 0x057C, static_cast<int32_t>(Wrap180(-s.bank) * kAngleUnits));
    Put<uint32_t>(image, 0x0580, static_cast<uint32_t>(mag_heading * kAngleUnits));
    for (int e = 0; e < 2; ++e) {
        Put<uint32_t>(
            image, e == 0 ? 0x0B7C : 0x0B98,
            static_cast<uint32_t>(s.fuel_lb[e] / kTankCapacity * 100.0 * 128.0 * 65536.0));
        Put<double>(image, e == 0 ? 0x2418 : 0x2518, s.engines[e].blade_angle);
    }
    Put<int16_t>(image, 0x0BB2, static_cast<int16_t>(-s.elevator * 16383.0));
    Put<int16_t>(image, 0x0BB6, static_cast<int16_t>(-s.aileron * 16383.0));
    Put<int16_t>(image, 0x0BC0, static_cast<int16_t>(s.elevator_trim));
    Put<int16_t>(image, 0x0BC4, static_cast<int16_t>(s.brake_left));
    Put<int16_t>(image, 0x0BC6, static_cast<int16_t>(s.brake_right));
    Put<int16_t>(image, 0x0BCA, static_cast<int16_t>(std::max(s.brake_left, s.brake_right)));
    Put<int16_t>(image, 0x0BC8, static_cast<int16_t>(s.parking_brake ? 32767 : 0));
    Put<double>(image, 0x2ED0, s.alpha * kDeg);  // angle of attack, radians
    Put<double>(image, 0x30C0, s.gross_weight_lb);
    Put<double>(image, 0x3060, vs_ft_s);
    Put<double>(image, 0x3090, gs_ft_s);
    Put<double>(image, 0x3198, gs_ft_s * std::sin(s.heading_true * kDeg));
    Put<double>(image, 0x3190, gs_ft_s * std::cos(s.heading_true * kDeg));
    // Body rates (rad/s) and accelerations (rad/s^2) in the sense of the
    // published angles: pitch nose down, bank left wing down, heading.
    Put<double>(image, 0x31A8, -s.pitch_rate * kDeg);
    Put<double>(image, 0x3078, -s.pitch_accel * kDeg);
    Put<double>(image, 0x31B0, -s.roll_rate * kDeg);
    Put<double>(image, 0x3080, -s.roll_accel * kDeg);
    Put<double>(image, 0x31B8, s.yaw_rate * kDeg);
    Put<double>(image, 0x3088, s.yaw_accel * kDeg);
    Put<double>(image, 0x31C8, s.pitch_rate);  // nose up, degrees per second
    Put<double>(image, 0x3070, s.accel_long);
    PublishRadios(image, var);
    PublishTraffic(image);
}

bool AircraftModel::SetTraffic(uint32_t slot, const TrafficTarget& target) {
    if (slot >= kTrafficSlots) return false;
    state_.traffic[slot] = target;
    state_.traffic[slot].active = target.identifier != 0;
    return true;
}

void AircraftModel::StepTraffic(double dt) {
    for (TrafficTarget& t : state_.traffic) {
        if (!t.active || (t.ground_speed == 0 && t.vertical_speed == 0)) continue;
        const double nm = t.ground_speed * dt / 3600.0;
        const double h = t.heading * kDeg;
        t.latitude = std::clamp(t.latitude + nm * std::cos(h) / 60.0, -89.9, 89.9);
        const double cos_lat = std::max(0.01, std::cos(t.latitude * kDeg));
        t.longitude = std::remainder(t.longitude + nm * std::sin(h) / (60.0 * cos_lat), 360.0);
        t.altitude_ft += t.vertical_speed * dt / 60.0;
    }
}

// The traffic table: 40-byte slots (identifier, latitude, longitude,
// altitude as f32, heading as a 16-bit angle, ground speed in knots and
// vertical speed in feet per minute); empty slots are zero.
void AircraftModel::PublishTraffic(FsuipcServer::Batch& image) {
    for (uint32_t i = 0; i < kTrafficSlots; ++i) {
        const TrafficTarget& t = state_.traffic[i];
        uint8_t rec[kTrafficSlotSize] = {};
        if (t.active) {
            const float lat = static_cast<float>(t.latitude);
            const float lon = static_cast<float>(t.longitude);
            const float alt = static_cast<float>(t.altitude_ft);
            const auto hdg =
                static_cast<uint16_t>(std::lround(Wrap360(t.heading) * 65536.0 / 360.0) & 0xFFFF);
            const auto gs = static_cast<uint16_t>(std::clamp(t.ground_speed, 0.0, 65535.0));
            const auto vs = static_cast<int16_t>(std::clamp(t.vertical_speed, -32768.0, 32767.0));
            std::memcpy(rec + 0, &t.identifier, 4);
            std::memcpy(rec + 4, &lat, 4);
            std::memcpy(rec + 8, &lon, 4);
            std::memcpy(rec + 12, &alt, 4);
            std::memcpy(rec + 16, &hdg, 2);
            std::memcpy(rec + 18, &gs, 2);
            std::memcpy(rec + 20, &vs, 2);
        }
        image.Publish(kTrafficSlotsOffset + i * kTrafficSlotSize, rec, sizeof rec);
    }
}

namespace {

constexpr double kVorRangeNm = 150.0;
constexpr double kNdbRangeNm = 100.0;
constexpr double kLocalizerBeyondThresholdNm = 1.5;

int32_t Bcd4(uint16_t w) {
    return ((w >> 12) & 0xF) * 1000 + ((w >> 8) & 0xF) * 100 + ((w >> 4) & 0xF) * 10 + (w & 0xF);
}

double Diff180(double a) {
    a = std::fmod(a, 360.0);
    if (a > 180.0) a -= 360.0;
    if (a <= -180.0) a += 360.0;
    return a;
}

struct StationView {
    const RadioStation* station = nullptr;
    double bearing_true = 0;  // from the aircraft to the station
    double distance_nm = 0;
};

// The nearest station of the kinds on the frequency, within range (flat
// earth around the aircraft).
void NearestTuned(const AircraftState& s, const std::vector<RadioStation>& stations,
                  int32_t frequency, bool ndb, double* best_distance, StationView* best) {
    for (const RadioStation& st : stations) {
        if ((st.kind == RadioStation::kNdb) != ndb || st.frequency != frequency) continue;
        const double north = (st.latitude - s.latitude) * 60.0;
        const double east =
            Wrap180(st.longitude - s.longitude) * 60.0 * std::cos(s.latitude * kDeg);
        const double d = std::hypot(north, east);
        if (d > *best_distance) continue;
        *best_distance = d;
        best->station = &st;
        best->bearing_true = Wrap360(std::atan2(east, north) / kDeg);
        best->distance_nm = d;
    }
}

// The nearest station on the frequency, of the world's and the scenario's.
StationView Tuned(const AircraftState& s, const World& world, int32_t frequency, bool ndb) {
    StationView best;
    double best_distance = ndb ? kNdbRangeNm : kVorRangeNm;
    NearestTuned(s, world.stations, frequency, ndb, &best_distance, &best);
    NearestTuned(s, s.stations, frequency, ndb, &best_distance, &best);
    return best;
}

// What a tuned VOR/ILS receiver shows of its station.
struct ReceiverOutput {
    uint8_t flags = 0;    // 1 VOR, 3 localiser
    uint8_t to_from = 0;  // 1 to, 2 from
    uint8_t gs_flag = 0;
    int8_t gs_needle = 0;         // + aircraft above the glide path
    double deviation = 0.0;       // needle units, + course to the right
    double bearing = 90.0;        // relative to the heading
    double radio_value = 0.0;     // above 50000 over the station
    uint16_t inclination = 0;     // glide path, 65536 = 360 degrees, descending negative
    uint16_t inverse_runway = 0;  // front course + 180, 65536 = 360 degrees
    char ident[31] = {};
};

uint16_t AngleWord(double degrees) {
    return static_cast<uint16_t>(std::lround(Wrap360(degrees) * 65536.0 / 360.0) & 0xFFFF);
}

// An ILS's localiser antenna and glideslope transmitter: the station's
// own, or the localiser 1.5 nm beyond the threshold along the course and
// the glideslope at the threshold.
struct IlsSites {
    double localizer_lat, localizer_lon;
    double glideslope_lat, glideslope_lon, glideslope_elevation_ft;
};

IlsSites Sites(const RadioStation& st) {
    IlsSites out{};
    if (st.has_localizer_site) {
        out.localizer_lat = st.localizer_latitude;
        out.localizer_lon = st.localizer_longitude;
    } else {
        out.localizer_lat =
            st.latitude + kLocalizerBeyondThresholdNm * std::cos(st.course * kDeg) / 60.0;
        out.localizer_lon = st.longitude + kLocalizerBeyondThresholdNm *
                                               std::sin(st.course * kDeg) /
                                               (60.0 * std::cos(st.latitude * kDeg));
    }
    if (st.has_glideslope_site) {
        out.glideslope_lat = st.glideslope_latitude;
        out.glideslope_lon = st.glideslope_longitude;
        out.glideslope_elevation_ft = st.glideslope_elevation_ft;
    } else {
        out.glideslope_lat = st.latitude;
        out.glideslope_lon = st.longitude;
        out.glideslope_elevation_ft = st.elevation_ft;
    }
    return out;
}

// A point's offset from the aircraft, nautical miles north and east.
struct NmOffset {
    double north, east;
};
NmOffset OffsetNm(const AircraftState& s, double lat, double lon) {
    return {(lat - s.latitude) * 60.0,
            Wrap180(lon - s.longitude) * 60.0 * std::cos(s.latitude * kDeg)};
}

ReceiverOutput Receive(const AircraftState& s, const StationView& v, int16_t obs) {
    ReceiverOutput out;
    const RadioStation& st = *v.station;
    std::snprintf(out.ident, sizeof out.ident, "%s", st.ident.c_str());
    out.bearing = Wrap360(v.bearing_true - s.heading_true);
    // Closer stations read larger: 15000 at 2 nm, 600 at 50 nm.
    out.radio_value = 30000.0 / std::max(v.distance_nm, 0.05);
    if (st.kind == RadioStation::kDme) return out;  // a distance only
    if (st.kind == RadioStation::kVor) {
        out.flags = 1;
        // Full scale 10 degrees either side of the selected course.
        const double to_station = Wrap360(v.bearing_true - s.variation);
        const double off_to = Diff180(to_station - obs);
        if (std::fabs(off_to) <= 90.0) {
            out.to_from = 1;
            out.deviation = off_to / 10.0 * 127.0;
        } else {
            out.to_from = 2;
            out.deviation = -Diff180(to_station + 180.0 - obs) / 10.0 * 127.0;
        }
        return out;
    }
    out.flags = 3;
    // Localiser: full scale half the course width either side of the front
    // course, seen from its antenna beyond the far end of the runway.
    const IlsSites sites = Sites(st);
    const NmOffset loc = OffsetNm(s, sites.localizer_lat, sites.localizer_lon);
    out.deviation = Diff180(Wrap360(std::atan2(loc.east, loc.north) / kDeg) - st.course) /
                    (st.width_deg / 2.0) * 127.0;
    // Glide path: the angle above the glideslope transmitter.
    const NmOffset gs = OffsetNm(s, sites.glideslope_lat, sites.glideslope_lon);
    const double height_nm = (s.altitude_ft - sites.glideslope_elevation_ft) / 6076.12;
    const double angle =
        std::atan2(height_nm, std::max(std::hypot(gs.north, gs.east), 0.01)) / kDeg;
    out.gs_flag = 1;
    out.gs_needle = static_cast<int8_t>(
        std::lround(std::clamp((angle - st.glide_path_deg) / 0.7 * 127.0, -127.0, 127.0)));
    out.inclination = AngleWord(-st.glide_path_deg);
    out.inverse_runway = AngleWord(st.course + 180.0);
    return out;
}

// A position in the simulator's station words: latitude in 90/10001750
// degree units, longitude in 360/2^32 degree units, elevation in metres.
struct StationWords {
    int32_t latitude = 0;
    int32_t longitude = 0;
    int32_t elevation_m = 0;
};

StationWords Words(double latitude, double longitude, double elevation_ft) {
    StationWords w;
    w.latitude = static_cast<int32_t>(std::lround(latitude * 10001750.0 / 90.0));
    const double lon_units = std::round(Wrap180(longitude) * 4294967296.0 / 360.0);
    w.longitude = static_cast<int32_t>(static_cast<int64_t>(lon_units) & 0xFFFFFFFF);
    w.elevation_m = static_cast<int32_t>(std::lround(elevation_ft / 3.28084));
    return w;
}

// A tuned station's position, and for an ILS its glideslope transmitter:
// the glide path's origin at the station's point; the localiser antenna
// stands beyond the far end of the runway.
void StationPositions(const RadioStation* st, StationWords* station, StationWords* glideslope) {
    *station = {};
    *glideslope = {};
    if (st == nullptr) return;
    if (st->kind != RadioStation::kIls) {
        *station = Words(st->latitude, st->longitude, st->elevation_ft);
        return;
    }
    const IlsSites sites = Sites(*st);
    *station = Words(sites.localizer_lat, sites.localizer_lon, st->elevation_ft);
    *glideslope = Words(sites.glideslope_lat, sites.glideslope_lon, sites.glideslope_elevation_ft);
}

uint8_t ByteForm(double needle) {
    const int v = static_cast<int>(std::lround(std::clamp(needle, -127.0, 127.0)));
    return static_cast<uint8_t>(v & 0xFF);
}

}  // namespace

void AircraftModel::PublishRadios(FsuipcServer::Batch& image, VariableBatch& var) {
    const AircraftState& s = state_;
    // The receivers, with their flags offsets: receiver flags, to/from,
    // glideslope flag, glideslope needle, ident; tokens bearing, distance,
    // deviation, radio value.
    struct Receiver {
        uint32_t freq, flags, to_from, gs_flag, gs_needle, ident, obs, inclination, runway;
        uint32_t t_bearing, t_distance, t_deviation, t_radio;
    };
    const Receiver receivers[2] = {
        {0x0350, 0x0C4A, 0x0C4B, 0x0C4C, 0x0C49, 0x3000, 0x0C4E, 0x0872, 0x0870, 40, 59, 58, 31},
        {0x0352, 0x0C5A, 0x0C5B, 0x0C6F, 0x0C6E, 0x301F, 0x0C5E, 0x0846, 0x0844, 49, 50, 35, 20}};
    // Station and glideslope positions: latitude, longitude, elevation.
    static constexpr uint32_t kStationWords[2][3] = {{0x085C, 0x0864, 0x086C},
                                                     {0x0858, 0x0860, 0x0868}};
    static constexpr uint32_t kGlideslopeWords[2][3] = {{0x0874, 0x0878, 0x087C},
                                                        {0x084C, 0x0850, 0x0854}};
    for (int i = 0; i < 2; ++i) {
        const Receiver& r = receivers[i];
        uint16_t word = 0;
        image.Peek(r.freq, &word, 2);
        int16_t obs = 0;
        image.Peek(r.obs, &obs, 2);
        const StationView v = Tuned(s, world_, 10000 + Bcd4(word), false);
        ReceiverOutput out;
        if (v.station != nullptr) out = Receive(s, v, obs);
        Put<uint8_t>(image, r.flags, out.flags);
        Put<uint8_t>(image, r.to_from, out.to_from);
        Put<uint8_t>(image, r.gs_flag, out.gs_flag);
        Put<int8_t>(image, r.gs_needle, out.gs_needle);
        Put<uint16_t>(image, r.inclination, out.inclination);
        Put<uint16_t>(image, r.runway, out.inverse_runway);
        StationWords station, glideslope;
        StationPositions(v.station, &station, &glideslope);
        Put<int32_t>(image, kStationWords[i][0], station.latitude);
        Put<int32_t>(image, kStationWords[i][1], station.longitude);
        Put<int32_t>(image, kStationWords[i][2], station.elevation_m);
        Put<int32_t>(image, kGlideslopeWords[i][0], glideslope.latitude);
        Put<int32_t>(image, kGlideslopeWords[i][1], glideslope.longitude);
        Put<int32_t>(image, kGlideslopeWords[i][2], glideslope.elevation_m);
        image.Publish(r.ident, out.ident, 25);
        var(r.t_bearing, out.bearing);
        const bool ranged =
            v.station != nullptr && (v.station->dme || v.station->kind != RadioStation::kVor);
        var(r.t_distance, ranged ? v.distance_nm : 0.0);
        var(r.t_deviation, ByteForm(out.deviation));
        var(r.t_radio, out.radio_value);
        NavReceiverView& view = nav_view_[i];
        view.frequency_mhz = (10000 + Bcd4(word)) / 100.0;
        view.ident = out.ident;
        view.received = v.station != nullptr;
        view.localizer = out.flags == 3;
        view.deviation = out.deviation;
        view.glideslope_deviation = out.gs_needle;
        view.distance_nm = ranged ? v.distance_nm : 0.0;
    }
    // ADF 1 (token 39) and ADF 2 (0x02D8): relative bearings of the NDBs.
    auto adf = [&](uint32_t main_offset, uint32_t ext_offset) {
        uint16_t main = 0, ext = 0;
        image.Peek(main_offset, &main, 2);
        image.Peek(ext_offset, &ext, 2);
        const int32_t khz10 = Bcd4(main) * 10 + ((ext >> 8) & 0xF) * 10000 + (ext & 0xF);
        const StationView v = Tuned(s, world_, khz10, true);
        return v.station != nullptr ? Wrap360(v.bearing_true - s.heading_true) : 90.0;
    };
    var(39, adf(0x034C, 0x0356));
    Put<uint16_t>(
        image, 0x02D8,
        static_cast<uint16_t>(std::lround(adf(0x02D4, 0x02D6) * 65536.0 / 360.0) & 0xFFFF));
}

}  // namespace zu::simhost
