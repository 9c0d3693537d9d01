#include "core/electrical_system.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>

#include "cabin_link/instructor_state_exchange.h"
#include "core/caution_logic.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/ice_protection.h"
#include "core/module_frame.h"
#include "core/shared_maths.h"
#include "panels/engine_start_panels.h"

namespace zu {

ElectricsRecord Electrics_sys{};

int32_t ElectricalChangeFlag = 0;
int32_t ExternalPowerHoldCountdown = 0;
uint8_t ElectricsDefaultsDone = 0;
int32_t ExteriorPanelLights = 0;
int32_t ExteriorStrobeLights = 0;
int32_t ExteriorNavLights = 0;
int32_t ExteriorBeaconLights = 0;
int32_t ExteriorNavOrBeaconLights = 0;
int32_t ExteriorWingLights = 0;
int32_t CabinSignWord = 0;

namespace {

constexpr int32_t kMainBusHold = 15;
constexpr int32_t kVariableAcHold = 16;
constexpr int32_t kAvionicsHold = 15;
constexpr int32_t kAcBusTieDelay = 24;
constexpr int32_t kMainBusFailureDelay = 60;
constexpr int32_t kSecondaryBreakerDelay = 40;
constexpr int32_t kExternalPowerHold = 256;
constexpr float kMainBatteryCapacity = 100.0f;
constexpr float kAuxBatteryCapacity = 50.0f;

int32_t Gate(int32_t value, bool condition) {
    return condition ? value : 0;
}

uint8_t Flag(bool on) {
    return on ? 255 : 0;
}

bool Failed(ElectricalFailure f) {
    return ElectricalFailures.get(f) != 0;
}

// Ties two buses: each takes the larger voltage. A failed bus is never fed
// through a tie; the other keeps its own voltage.
void MaxTie(int32_t& a, int32_t& b, bool a_failed, bool b_failed) {
    if (a_failed || b_failed) return;
    const int32_t m = std::max(a, b);
    a = m;
    b = m;
}

// Battery terminal voltage from its charge.
int32_t BatteryVoltage(float charge) {
    if (charge > 7.0f) return 26;
    if (charge <= 2.0f) return 0;
    return TruncToInt32(26.0 - (7.0 - static_cast<double>(charge)));
}

// A bus that has lost its last source keeps reading `held` while its hold
// countdown runs; a fed bus re-arms the countdown.
void HoldBus(int32_t& volts, int32_t threshold, int32_t held, EI32 hold, int32_t arm) {
    if (volts >= threshold) {
        hold.set(arm);
        return;
    }
    if (CountdownTick(hold)) volts = held;
}

// The words compared by the change detection, each with its previous copy.
struct ChangePair {
    uint32_t current;
    uint32_t previous;
    uint32_t size;
};
constexpr ChangePair kChangePairs[] = {
    {ExternalDcFeed.offset, ExternalDcFeedPrev.offset, 4},
    {DcGenerator1Switch.offset, DcGenerator1SwitchPrev.offset, 4},
    {DcGenerator2Switch.offset, DcGenerator2SwitchPrev.offset, 4},
    {MainBatteryVoltage.offset, MainBatteryVoltagePrev.offset, 4},
    {AuxBatteryVoltage.offset, AuxBatteryVoltagePrev.offset, 4},
    {DcGenerator2Voltage.offset, DcVoltsPrev.offset, 40},  // generators and the eight DC buses
    {MainBatteryCurrent.offset, MainBatteryCurrentPrev.offset, 4},
    {AuxBatteryCurrent.offset, AuxBatteryCurrentPrev.offset, 4},
    {DcGenerator2Load.offset, DcGenerator2LoadPrev.offset, 4},
    {DcGenerator1Load.offset, DcGenerator1LoadPrev.offset, 4},
    {Tru1Load.offset, Tru1LoadPrev.offset, 4},
    {Tru2Load.offset, Tru2LoadPrev.offset, 4},
    {ExternalAcFeed.offset, ExternalAcFeedPrev.offset, 4},
    {PrimaryInverterVoltage.offset, AcVoltsPrev.offset, 28},  // inverters, AC gens, variable AC
    {RightAvionicsBus.offset, AcVoltsPrev.offset + 28, 16},   // avionics and 26 V buses
    {RightVariableAcLoad.offset, RightVariableAcLoadPrev.offset, 4},
    {LeftVariableAcLoad.offset, LeftVariableAcLoadPrev.offset, 4},
    {PrimaryInverterLoad.offset, PrimaryInverterLoadPrev.offset, 4},
    {AuxInverterLoad.offset, AuxInverterLoadPrev.offset, 4},
    {PanelLightingCircuit1.offset, PanelLightingCircuit1Prev.offset, 4},
    {PanelLightingCircuit2.offset, PanelLightingCircuit2Prev.offset, 4},
    {PanelLightingCircuit3.offset, PanelLightingCircuit3Prev.offset, 4},
    {EnginePanelLighting.offset, EnginePanelLightingPrev.offset, 4},
    {PanelLightingCircuit4.offset, PanelLightingCircuit4Prev.offset, 4},
    {StormLights.offset, StormLightsPrev.offset, 4},
    {MasterWarningFlash.offset, MasterWarningFlashPrev.offset, 1},
    {MasterCautionFlash.offset, MasterCautionFlashPrev.offset, 1},
    {AnnunciatorTestSwitch.offset, AnnunciatorTestSwitchPrev.offset, 4},
};
static_assert(AcVoltsPrev.offset + 44 == 577);

bool CopyDiffers(const ChangePair& p) {
    return std::memcmp(Electrics_sys.bytes + p.current, Electrics_sys.bytes + p.previous, p.size) !=
           0;
}

void DetectChanges() {
    bool changed = false;
    for (const ChangePair& p : kChangePairs) {
        if (CopyDiffers(p)) {
            changed = true;
            break;
        }
    }
    if (StormLights.get() != StormLightsPrev.get()) RefreshCountdown[9] = 24;
    if (changed || MasterCautionFlag.get() != 0) {
        ElectricalChangeFlag = 1;
        for (const ChangePair& p : kChangePairs) {
            std::memmove(Electrics_sys.bytes + p.previous, Electrics_sys.bytes + p.current, p.size);
        }
        RefreshCountdown[11] = 96;
    } else {
        ElectricalChangeFlag = 0;
    }
}

void UpdateBusPoweredFlags() {
    for (const BusPoweredByte b : kBusPoweredBytes) {
        BusPowered.set(b, BusVolts.get(kBusOfPoweredByte[b]) > 20 ? 1 : 0);
    }
    AcBusPowered.set(0, RightVariableAcBus.get() > 106 ? 1 : 0);
    AcBusPowered.set(1, LeftVariableAcBus.get() > 106 ? 1 : 0);
    AcBusPowered.set(2, RightAvionicsBus.get() > 106 ? 1 : 0);
    AcBusPowered.set(3, LeftAvionicsBus.get() > 106 ? 1 : 0);
    BusPowered2.set(0, Right26VBus.get() > 20 ? 1 : 0);
    BusPowered2.set(1, Left26VBus.get() > 20 ? 1 : 0);
}

float SanitisedFloat(float v, float fallback) {
    return std::isfinite(v) ? v : fallback;
}

// Brings a restored record into a state every later step and gauge can
// work with: position words that panels show by position are held to their
// positions, countdowns to their arming values, floats to finite values and
// the battery charges to their capacity.
void ClampRestoredRecord() {
    auto position = [](EI32 f, int32_t top) {
        const int32_t v = f.get();
        if (v < 0 || v > top) f.set(0);
    };
    position(DcVoltmeterSelector, 5);
    position(DcLoadSelector, 3);
    position(AcMeterSelector1, 2);
    position(AcMeterSelector2, 5);
    position(NavBeaconSelector, 2);
    position(EmergencyLightsSwitch, 2);
    position(AnnunciatorTestSwitch, 2);
    position(CautionBrightnessSwitch, 2);

    auto countdown = [](EI32 f, int32_t arm) { f.set(std::clamp(f.get(), 0, arm)); };
    countdown(LeftMainBusHold, kMainBusHold);
    countdown(RightMainBusHold, kMainBusHold);
    countdown(LeftVariableAcHold, kVariableAcHold);
    countdown(RightVariableAcHold, kVariableAcHold);
    countdown(LeftAvionicsHold, kAvionicsHold);
    countdown(RightAvionicsHold, kAvionicsHold);
    countdown(AcBusTieDelay, kAcBusTieDelay);
    countdown(LeftMainBusFailureDelay, kMainBusFailureDelay);
    countdown(RightMainBusFailureDelay, kMainBusFailureDelay);
    countdown(SecondaryBusBreakerDelay, kSecondaryBreakerDelay);
    countdown(WarningRedrawCountdown, 5);
    countdown(CautionRedrawCountdown, 5);
    countdown(CautionBrightnessReturn, 3);

    const float main_charge = SanitisedFloat(MainBatteryCharge.get(), kMainBatteryCapacity);
    MainBatteryCharge.set(std::clamp(main_charge, 0.0f, kMainBatteryCapacity));
    const float aux_charge = SanitisedFloat(AuxBatteryCharge.get(), kAuxBatteryCapacity);
    AuxBatteryCharge.set(std::clamp(aux_charge, 0.0f, kAuxBatteryCapacity));

    constexpr EF32 kFloats[] = {
        DcGenerator2Load,
        DcGenerator1Load,
        MainBatteryCurrent,
        AuxBatteryCurrent,
        DcGenerator2LoadPrev,
        DcGenerator1LoadPrev,
        Tru1LoadPrev,
        Tru2LoadPrev,
        RightVariableAcLoad,
        LeftVariableAcLoad,
        PrimaryInverterLoad,
        AuxInverterLoad,
        AcMeterValue,
        Tru1Load,
        Tru2Load,
        RightVariableAcLoadPrev,
        LeftVariableAcLoadPrev,
        PrimaryInverterLoadPrev,
        AuxInverterLoadPrev,
        MainBatteryCurrentPrev,
        AuxBatteryCurrentPrev,
    };
    for (EF32 f : kFloats) f.set(SanitisedFloat(f.get(), 0.0f));
}

}  // namespace

void ElectricsDefaults() {
    MainBatteryCharge.set(kMainBatteryCapacity);
    AuxBatteryCharge.set(kAuxBatteryCapacity);
    PrimaryInverterSwitch.set(255);
    SecondaryInverterSwitch.set(255);
    AuxInverterSelectRight.set(255);
    LeftMainBusFailureDelay.set(40);
    RightMainBusFailureDelay.set(40);
    SecondaryBusBreakerDelay.set(40);
    CautionBrightness.set(255);
    CautionBrightnessShown.set(255);
    BreakerF5Closed.set(255);
    ElectricsDefaultsDone = 1;
}

void ElectricsInstructorInputs() {
    int32_t* states = ElectricsInstructorStates;
    auto low_byte = [states](int entry) { return static_cast<uint8_t>(states[entry] & 0xFF); };

    ElectricalFailures.set(kFailLeftEssentialBus, low_byte(0));
    ElectricalFailures.set(kFailRightEssentialBus, low_byte(1));
    ElectricalFailures.set(kFailAuxBatteryBus, low_byte(2));
    ElectricalFailures.set(kFailMainBatteryBus, low_byte(3));

    // The main DC bus failures latch: the instructor sets them, only the
    // reset switch clears them.
    if (states[4] != 0) ElectricalFailures.set(kFailLeftMainBus, 255);
    if (states[5] != 0) ElectricalFailures.set(kFailRightMainBus, 255);
    auto failure_delay = [](ElectricalFailure f, EI32 delay) {
        if (!Failed(f)) {
            delay.set(kMainBusFailureDelay);
        } else {
            CountdownTick(delay);
        }
    };
    failure_delay(kFailLeftMainBus, LeftMainBusFailureDelay);
    failure_delay(kFailRightMainBus, RightMainBusFailureDelay);
    if (DcBusFailureResetSwitch.get() != 0) {
        ElectricalFailures.set(kFailLeftMainBus, 0);
        ElectricalFailures.set(kFailRightMainBus, 0);
        DcBusFailureResetSwitch.set(0);
    }

    static constexpr ElectricalFailure kCopied[] = {
        kFailLeftSecondaryBus,
        kFailRightSecondaryBus,
        kFailLeftAvionicsBus,
        kFailRightAvionicsBus,
        kFailLeft26VBus,
        kFailRight26VBus,
        kFailLeftVariableAcBus,
        kFailRightVariableAcBus,
        kFailTru1,
        kFailTru2,
        kFailTransformer1,
        kFailTransformer2,
        kFailPrimaryInverter,
        kFailSecondaryInverter,
        kFailAuxInverter,
        kFailLeftDcGenerator,
        kFailRightDcGenerator,
        kFailLeftAcGenerator,
        kFailRightAcGenerator,
    };
    static_assert(6 + std::size(kCopied) == 25);
    for (std::size_t i = 0; i < std::size(kCopied); ++i) {
        ElectricalFailures.set(kCopied[i], low_byte(static_cast<int>(6 + i)));
    }

    if (!Failed(kFailLeftSecondaryBus) && !Failed(kFailRightSecondaryBus)) {
        SecondaryBusBreakerDelay.set(kSecondaryBreakerDelay);
    } else {
        CountdownTick(SecondaryBusBreakerDelay);
    }

    // The instructor closes breaker F5 with a one-shot command.
    if (states[25] != 0) {
        BreakerF5Closed.set(255);
        states[25] = 0;
    }
}

namespace {

// The values one pass hands from step to step.
struct ElectricalPass {
    bool master = false;
    int32_t main_battery = 0;
    int32_t aux_battery = 0;
    int32_t ac_gen1 = 0;
    int32_t ac_gen2 = 0;
    int32_t dc_gen1 = 0;
    int32_t dc_gen2 = 0;
    int32_t ext_dc = 0;
    int32_t ext_ac = 0;
    // Battery buses and external feeds.
    bool fail_main_battery_bus = false;
    bool fail_aux_battery_bus = false;
    int32_t main_battery_bus = 0;
    int32_t aux_battery_bus = 0;
    int32_t ext_dc_feed = 0;
    int32_t ext_ac_feed = 0;
    bool ext_dc_on_line = false;
    bool ext_ac_on_line = false;
    int32_t battery_supply = 0;
    // Main DC buses.
    bool fail_left_main = false;
    bool fail_right_main = false;
    bool dc_gen1_on_line = false;
    bool dc_gen2_on_line = false;
    bool one_dc_gen = false;
    bool ext_dc_feeds_left = false;
    bool ext_dc_feeds_right = false;
    bool main_tie = false;
    int32_t left_main = 0;
    int32_t right_main = 0;
    // Variable-frequency AC buses.
    bool fail_left_var = false;
    bool fail_right_var = false;
    bool ac_gen1_on_line = false;
    bool ac_gen2_on_line = false;
    bool ext_ac_connected = false;
    int32_t left_var = 0;
    int32_t right_var = 0;
    // Transformer-rectifiers and secondary DC buses.
    bool fail_left_sec = false;
    bool fail_right_sec = false;
    bool tru1_feeding = false;
    bool tru2_feeding = false;
    bool sec_tie = false;
    int32_t tru1 = 0;
    int32_t tru2 = 0;
    int32_t left_sec = 0;
    int32_t right_sec = 0;
    // Essential buses and inverters.
    int32_t left_ess = 0;
    int32_t right_ess = 0;
    bool aux_on_left = false;
    bool aux_on_right = false;
    int32_t primary_inv = 0;
    int32_t aux_inv = 0;
};

// 1. Defaults once, then the instructor's failures.
void DefaultsAndInstructorInputs(ElectricalPass& p) {
    if (!ElectricsDefaultsDone) ElectricsDefaults();
    ElectricsInstructorInputs();
    p.master = BatteryMasterSwitch.get() != 0;
}

// 2. Battery voltages from the charges of the last pass.
void BatteryVoltages(ElectricalPass& p) {
    p.main_battery = BatteryVoltage(MainBatteryCharge.get());
    p.aux_battery = BatteryVoltage(AuxBatteryCharge.get());
    MainBatteryVoltage.set(p.main_battery);
    AuxBatteryVoltage.set(p.aux_battery);
}

// 3. Charge integration with the currents of the last pass.
void BatteryCharges() {
    double main_charge = static_cast<double>(MainBatteryCharge.get()) +
                         static_cast<double>(MainBatteryCurrent.get()) * 0.0046;
    double aux_charge = static_cast<double>(AuxBatteryCharge.get()) +
                        static_cast<double>(AuxBatteryCurrent.get()) * 0.0092;
    if (!(main_charge == main_charge)) main_charge = 0.0;
    if (!(aux_charge == aux_charge)) aux_charge = 0.0;
    MainBatteryCharge.set(
        static_cast<float>(std::clamp(main_charge, 0.0, double{kMainBatteryCapacity})));
    AuxBatteryCharge.set(
        static_cast<float>(std::clamp(aux_charge, 0.0, double{kAuxBatteryCapacity})));
}

// 4. AC generators, driven by the propellers.
int32_t AcGeneratorVoltage(double rpm, bool failed) {
    if (failed || !(rpm >= 300.0)) return 0;
    return TruncToInt32(std::min((rpm - 299.0) * 0.3, 120.0));
}

void AcGenerators(ElectricalPass& p) {
    p.ac_gen1 = AcGeneratorVoltage(PropRpm[0], Failed(kFailLeftAcGenerator));
    p.ac_gen2 = AcGeneratorVoltage(PropRpm[1], Failed(kFailRightAcGenerator));
    AcGenerator1Voltage.set(p.ac_gen1);
    AcGenerator2Voltage.set(p.ac_gen2);
}

// 5. DC generators (starter-generators), driven by the high-pressure
//    spools; the one of the engine being started gives nothing.
int32_t DcGeneratorVoltage(double nh, bool starting, bool failed) {
    if (starting || failed || !(nh > 0.0)) return 0;
    return TruncToInt32(std::min(nh * 0.4516711833785005, 27.0));
}

void DcGenerators(ElectricalPass& p) {
    const int32_t start_selector = EngineStartSelector;
    p.dc_gen1 = DcGeneratorVoltage(Nh1State.nh, start_selector == 0, Failed(kFailLeftDcGenerator));
    p.dc_gen2 = DcGeneratorVoltage(Nh2State.nh, start_selector == 2, Failed(kFailRightDcGenerator));
    DcGenerator1Voltage.set(p.dc_gen1);
    DcGenerator2Voltage.set(p.dc_gen2);
}

// 6. External power; the ground cart is unplugged while the aircraft moves
//    or both propellers turn fast, and comes back 256 ticks later.
void ExternalPower(ElectricalPass& p) {
    p.ext_dc = 27;
    p.ext_ac = 114;
    if (CountdownTick(&ExternalPowerHoldCountdown)) {
        p.ext_dc = 0;
        p.ext_ac = 0;
    }
    if ((PropRpm[0] > 500.0 && PropRpm[1] > 500.0) || GroundSpeed > 15) {
        ExternalPowerHoldCountdown = kExternalPowerHold;
    }
    ExternalDcVoltage.set(p.ext_dc);
    ExternalAcVoltage.set(p.ext_ac);
}

// 7. Battery buses and external feeds.
void BatteryBusesAndExternalFeeds(ElectricalPass& p) {
    p.fail_main_battery_bus = Failed(kFailMainBatteryBus);
    p.fail_aux_battery_bus = Failed(kFailAuxBatteryBus);
    p.main_battery_bus = Gate(p.main_battery, !p.fail_main_battery_bus);
    p.aux_battery_bus = Gate(p.aux_battery, !p.fail_aux_battery_bus);
    BusVolts.set(kMainBatteryBus, p.main_battery_bus);
    BusVolts.set(kAuxBatteryBus, p.aux_battery_bus);
    p.ext_dc_feed = Gate(p.ext_dc, ExternalDcSwitch.get() != 0);
    p.ext_ac_feed = Gate(p.ext_ac, ExternalAcSwitch.get() != 0);
    ExternalDcFeed.set(p.ext_dc_feed);
    ExternalAcFeed.set(p.ext_ac_feed);
    p.ext_dc_on_line = p.ext_dc_feed >= 25;
    p.ext_ac_on_line = p.ext_ac_feed >= 113;
    ExternalDcOnLine.set(Flag(p.ext_dc_on_line));
    ExternalAcOnLine.set(Flag(p.ext_ac_on_line));
    const bool main_battery_available = p.master && !p.fail_main_battery_bus;
    const bool aux_battery_available = p.master && !p.fail_aux_battery_bus;
    MainBatteryAvailable.set(Flag(main_battery_available));
    AuxBatteryAvailable.set(Flag(aux_battery_available));
    p.battery_supply = 0;
    if (main_battery_available) p.battery_supply = std::max(p.battery_supply, p.main_battery_bus);
    if (aux_battery_available) p.battery_supply = std::max(p.battery_supply, p.aux_battery_bus);
}

// 8. Main DC buses.
void MainBuses(ElectricalPass& p) {
    p.fail_left_main = Failed(kFailLeftMainBus);
    p.fail_right_main = Failed(kFailRightMainBus);
    const bool left_main_alive = !p.fail_left_main || LeftMainBusFailureDelay.get() > 0;
    const bool right_main_alive = !p.fail_right_main || RightMainBusFailureDelay.get() > 0;

    p.dc_gen1_on_line = p.dc_gen1 > 24 && !Failed(kFailLeftDcGenerator) &&
                        DcGenerator1Switch.get() != 0 && !p.ext_dc_on_line && left_main_alive;
    p.dc_gen2_on_line = p.dc_gen2 > 24 && !Failed(kFailRightDcGenerator) &&
                        DcGenerator2Switch.get() != 0 && !p.ext_dc_on_line && right_main_alive;
    DcGenerator1OnLine.set(Flag(p.dc_gen1_on_line));
    DcGenerator2OnLine.set(Flag(p.dc_gen2_on_line));
    p.one_dc_gen = p.dc_gen1_on_line != p.dc_gen2_on_line;

    p.ext_dc_feeds_left = p.ext_dc_on_line && !p.fail_left_main;
    p.ext_dc_feeds_right = p.ext_dc_on_line && !p.fail_right_main;
    ExternalDcFeedsLeft.set(Flag(p.ext_dc_feeds_left));
    ExternalDcFeedsRight.set(Flag(p.ext_dc_feeds_right));

    const bool aux_battery_connected =
        AuxBatterySwitch.get() != 0 && p.master && left_main_alive && !p.fail_aux_battery_bus;
    const bool main_battery_connected =
        MainBatterySwitch.get() != 0 && p.master && right_main_alive && !p.fail_main_battery_bus;
    AuxBatteryConnected.set(Flag(aux_battery_connected));
    MainBatteryConnected.set(Flag(main_battery_connected));

    // Each main bus takes the highest of the sources connected to it.
    p.right_main = std::max({Gate(p.ext_dc_feed, p.ext_dc_feeds_right),
                             Gate(p.main_battery_bus, main_battery_connected),
                             Gate(p.dc_gen2, p.dc_gen2_on_line)});
    p.left_main =
        std::max(Gate(p.ext_dc_feed, p.ext_dc_feeds_left), Gate(p.dc_gen1, p.dc_gen1_on_line));

    p.main_tie = MainBusTieSwitch.get() != 0;
    if (p.ext_dc_on_line && (!p.fail_left_main || !p.fail_right_main)) p.main_tie = true;
    if (p.one_dc_gen) p.main_tie = true;
    if (p.fail_left_main || p.fail_right_main) p.main_tie = false;
    MainBusTieClosed.set(Flag(p.main_tie));
    if (p.main_tie) MaxTie(p.left_main, p.right_main, false, false);
    if (p.fail_left_main) p.left_main = 0;
    if (p.fail_right_main) p.right_main = 0;
    HoldBus(p.left_main, 5, 27, LeftMainBusHold, kMainBusHold);
    HoldBus(p.right_main, 5, 27, RightMainBusHold, kMainBusHold);
}

// While no transfer is under way, a variable AC bus that lost its
// generator keeps its voltage for a moment. A failed bus is not held.
void HoldVariableAc(int32_t& volts, bool failed, EI32 hold) {
    const bool dropping = AcBusTieDelay.get() == kAcBusTieDelay && volts <= 104;
    if (failed) {
        hold.set(0);
    } else if (!dropping) {
        hold.set(kVariableAcHold);
    } else if (CountdownTick(hold)) {
        volts = 114;
    }
}

// 9. Variable-frequency AC buses.
void VariableAcBuses(ElectricalPass& p) {
    p.fail_left_var = Failed(kFailLeftVariableAcBus);
    p.fail_right_var = Failed(kFailRightVariableAcBus);
    const bool fail_ac_gen1 = Failed(kFailLeftAcGenerator);
    const bool fail_ac_gen2 = Failed(kFailRightAcGenerator);
    p.ac_gen1_on_line = p.ac_gen1 > 100 && !p.fail_left_var && AcGenerator1Switch.get() != 0 &&
                        !fail_ac_gen1 && !p.ext_ac_on_line;
    p.ac_gen2_on_line = p.ac_gen2 > 100 && !p.fail_right_var && AcGenerator2Switch.get() != 0 &&
                        !fail_ac_gen2 && !p.ext_ac_on_line;
    AcGenerator1OnLine.set(Flag(p.ac_gen1_on_line));
    AcGenerator2OnLine.set(Flag(p.ac_gen2_on_line));
    p.ext_ac_connected = p.ext_ac_on_line && !fail_ac_gen1 && !fail_ac_gen2;
    ExternalAcConnected.set(Flag(p.ext_ac_connected));

    p.left_var =
        std::max(Gate(p.ac_gen1, p.ac_gen1_on_line), Gate(p.ext_ac_feed, p.ext_ac_connected));
    p.right_var =
        std::max(Gate(p.ac_gen2, p.ac_gen2_on_line), Gate(p.ext_ac_feed, p.ext_ac_connected));
    if (p.fail_left_var) p.left_var = 0;
    if (p.fail_right_var) p.right_var = 0;

    bool ac_tie = p.ext_ac_connected;
    if (p.ac_gen1_on_line != p.ac_gen2_on_line) {
        CountdownTick(AcBusTieDelay);
        if (AcBusTieDelay.get() <= 0) ac_tie = true;
    } else {
        AcBusTieDelay.set(kAcBusTieDelay);
    }
    if (p.fail_left_var || p.fail_right_var) ac_tie = false;
    AcBusTieClosed.set(Flag(ac_tie));

    HoldVariableAc(p.left_var, p.fail_left_var, LeftVariableAcHold);
    HoldVariableAc(p.right_var, p.fail_right_var, RightVariableAcHold);
    if (ac_tie) MaxTie(p.left_var, p.right_var, p.fail_left_var, p.fail_right_var);
}

// 10. Transformer-rectifiers and secondary DC buses.
void SecondaryBuses(ElectricalPass& p) {
    p.fail_left_sec = Failed(kFailLeftSecondaryBus);
    p.fail_right_sec = Failed(kFailRightSecondaryBus);
    p.tru1 = Gate(TruncToInt32(p.left_var * 0.23998080153587714), !Failed(kFailTru1));
    p.tru2 = Gate(TruncToInt32(p.right_var * 0.23998080153587714), !Failed(kFailTru2));
    p.tru1_feeding = p.tru1 > 22 && !p.fail_left_sec;
    p.tru2_feeding = p.tru2 > 22 && !p.fail_right_sec;
    Tru1Feeding.set(Flag(p.tru1_feeding));
    Tru2Feeding.set(Flag(p.tru2_feeding));
    p.left_sec = Gate(p.tru1, p.tru1_feeding);
    p.right_sec = Gate(p.tru2, p.tru2_feeding);

    p.sec_tie = (p.tru1_feeding != p.tru2_feeding) ||
                (p.ext_dc_on_line && (!p.fail_left_main || !p.fail_right_main));
    if (p.fail_left_sec || p.fail_right_sec) {
        if (SecondaryBusBreakerDelay.get() <= 0) {
            BreakerF5Closed.set(0);
        } else {
            p.sec_tie = false;
        }
    }
    SecondaryBusTieClosed.set(Flag(p.sec_tie));
    if (BreakerF5Closed.get() != 0 && p.sec_tie) {
        MaxTie(p.left_sec, p.right_sec, p.fail_left_sec, p.fail_right_sec);
    }
}

// 11. Ties between each main bus and its secondary bus.
void MainSecondaryTies(ElectricalPass& p) {
    const bool no_dc_gen = !p.dc_gen1_on_line && !p.dc_gen2_on_line;
    const bool no_tru = !p.tru1_feeding && !p.tru2_feeding;
    bool left_tie = p.ext_dc_feeds_left || no_dc_gen || no_tru;
    bool right_tie = p.ext_dc_feeds_right || no_dc_gen || no_tru;
    const bool no_source = !p.ext_ac_connected && !p.ext_dc_feeds_left && !p.ext_dc_feeds_right &&
                           !p.ac_gen1_on_line && !p.ac_gen2_on_line && no_dc_gen;
    if (no_source) left_tie = right_tie = false;
    if (p.fail_left_sec || p.fail_left_main) left_tie = false;
    if (p.fail_right_sec || p.fail_right_main) right_tie = false;
    if (!p.ext_dc_on_line && !p.ext_ac_on_line) {
        if (p.sec_tie || p.fail_left_main || p.fail_right_main || p.one_dc_gen) {
            left_tie = right_tie = false;
        }
    }
    LeftMainSecondaryTieClosed.set(Flag(left_tie));
    RightMainSecondaryTieClosed.set(Flag(right_tie));
    if (left_tie) MaxTie(p.left_main, p.left_sec, p.fail_left_main, p.fail_left_sec);
    if (right_tie) MaxTie(p.right_main, p.right_sec, p.fail_right_main, p.fail_right_sec);
}

// 12. Second pass over the ties; the DC and variable AC buses are then
//     final.
void SecondTiePass(ElectricalPass& p) {
    if (p.fail_left_sec) p.left_sec = 0;
    if (p.fail_right_sec) p.right_sec = 0;
    if (p.main_tie) MaxTie(p.left_main, p.right_main, p.fail_left_main, p.fail_right_main);
    if (p.fail_left_main) p.left_main = 0;
    if (p.fail_right_main) p.right_main = 0;
    if (p.sec_tie) MaxTie(p.left_sec, p.right_sec, p.fail_left_sec, p.fail_right_sec);

    BusVolts.set(kRightMainBus, p.right_main);
    BusVolts.set(kLeftMainBus, p.left_main);
    BusVolts.set(kRightSecondaryBus, p.right_sec);
    BusVolts.set(kLeftSecondaryBus, p.left_sec);
    Tru1Voltage.set(p.tru1);
    Tru2Voltage.set(p.tru2);
    LeftVariableAcBus.set(p.left_var);
    RightVariableAcBus.set(p.right_var);
}

// 13. Essential buses, fed from the batteries and both main buses.
void EssentialBuses(ElectricalPass& p) {
    const int32_t essential = std::max({p.battery_supply, p.left_main, p.right_main});
    p.left_ess = Gate(essential, !Failed(kFailLeftEssentialBus));
    p.right_ess = Gate(essential, !Failed(kFailRightEssentialBus));
    BusVolts.set(kLeftEssentialBus, p.left_ess);
    BusVolts.set(kRightEssentialBus, p.right_ess);
}

// An avionics bus below 5 V reads 115 while its hold countdown runs; a
// failed one is not held up.
void HoldAvionics(int32_t& volts, bool failed, EI32 hold) {
    if (failed) {
        hold.set(0);
    } else {
        HoldBus(volts, 5, 115, hold, kAvionicsHold);
    }
}

// 14. Inverters, avionics buses and 26 V buses.
void InvertersAndAcBuses(ElectricalPass& p) {
    const bool primary_on = PrimaryInverterSwitch.get() != 0;
    const bool secondary_on = SecondaryInverterSwitch.get() != 0;
    p.aux_on_left = AuxInverterSelectLeft.get() != 0;
    p.aux_on_right = AuxInverterSelectRight.get() != 0;
    p.primary_inv =
        Gate(TruncToInt32(p.left_ess * 4.26), primary_on && !Failed(kFailPrimaryInverter));
    const int32_t secondary_inv =
        Gate(TruncToInt32(p.right_ess * 4.27), secondary_on && !Failed(kFailSecondaryInverter));
    p.aux_inv = Gate(TruncToInt32(p.left_main * 4.25), !Failed(kFailAuxInverter));
    PrimaryInverterVoltage.set(p.primary_inv);
    SecondaryInverterVoltage.set(secondary_inv);
    AuxInverterVoltage.set(p.aux_inv);

    const bool fail_left_av = Failed(kFailLeftAvionicsBus);
    const bool fail_right_av = Failed(kFailRightAvionicsBus);
    int32_t left_av = p.aux_on_left ? p.aux_inv : Gate(p.primary_inv, primary_on);
    int32_t right_av = p.aux_on_right ? p.aux_inv : Gate(secondary_inv, secondary_on);
    if (fail_left_av) left_av = 0;
    if (fail_right_av) right_av = 0;
    HoldAvionics(left_av, fail_left_av, LeftAvionicsHold);
    HoldAvionics(right_av, fail_right_av, RightAvionicsHold);
    const bool av_cross_tie = !Failed(kFailLeft26VBus);
    AvionicsCrossTieClosed.set(Flag(av_cross_tie));
    if (av_cross_tie) MaxTie(left_av, right_av, fail_left_av, fail_right_av);
    LeftAvionicsBus.set(left_av);
    RightAvionicsBus.set(right_av);

    const int32_t right_26 = Gate(TruncToInt32(right_av * 0.22624434389140272),
                                  !Failed(kFailRight26VBus) && !Failed(kFailTransformer2));
    const int32_t left_26 = Gate(TruncToInt32(left_av * 0.22624434389140272),
                                 !Failed(kFailTransformer1) && !Failed(kFailLeft26VBus));
    Right26VBus.set(right_26);
    Left26VBus.set(left_26);
}

// 15. Lighting outputs (on the bus-powered flags of the last pass), battery
//     currents and meter values.
void LightingOutputs(const ElectricalPass& p) {
    const bool left_main_powered = BusPowered.get(kPoweredLeftMainDc) != 0;
    const bool right_main_powered = BusPowered.get(kPoweredRightMainDc) != 0;
    const bool right_ess_powered = BusPowered.get(kPoweredRightEssential) != 0;
    const bool left_sec_powered = BusPowered.get(kPoweredLeftSecondary) != 0;
    const bool right_sec_powered = BusPowered.get(kPoweredRightSecondary) != 0;
    PanelLightingCircuit1.set(Gate(LightingSwitchA.get(), left_main_powered));
    PanelLightingCircuit4.set(Gate(LightingSwitchB.get(), left_main_powered));
    PanelLightingCircuit2.set(Gate(LightingSwitchD.get(), right_main_powered));
    PanelLightingCircuit3.set(Gate(PanelLightingSwitch3.get(), right_main_powered));
    EnginePanelLighting.set(LightingSwitchC.get() & p.right_ess);
    StormLights.set(LightingSelectorF.get() != 0 && left_sec_powered ? 255 : 0);

    const int32_t nav_beacon = NavBeaconSelector.get();
    ExteriorPanelLights = right_ess_powered ? 1 : 0;
    ExteriorStrobeLights = StrobeLightSwitch.get() != 0 && right_ess_powered ? 1 : 0;
    ExteriorNavOrBeaconLights = nav_beacon != 0 && left_main_powered ? 1 : 0;
    ExteriorNavLights = nav_beacon == 1 && left_main_powered ? 1 : 0;
    ExteriorBeaconLights = nav_beacon == 2 && left_main_powered ? 1 : 0;
    ExteriorWingLights = WingLightSwitch.get() != 0 && left_main_powered ? 1 : 0;
    TaxiLightOutput.set(TaxiLightSwitch.get() != 0 && left_main_powered ? 1 : 0);
    LandingLightOutput1.set(
        LandingLightSwitch1.get() != 0 && (left_sec_powered || right_sec_powered) ? 1 : 0);
    LandingLightOutput2.set(LandingLightSwitch2.get() != 0 &&
                                    ((right_sec_powered && right_main_powered) ||
                                     (left_sec_powered && left_main_powered))
                                ? 1
                                : 0);
}

// Battery currents: discharge while the batteries carry the buses, charge
// while a bus stands above the battery.
void BatteryCurrents(const ElectricalPass& p) {
    const bool main_switch = MainBatterySwitch.get() != 0;
    const int32_t gen_gated =
        (DcGenerator1Switch.get() & p.dc_gen1) + (DcGenerator2Switch.get() & p.dc_gen2);
    double main_current = 0.0;
    double aux_current = 0.0;
    if (p.master && p.right_ess > 5 && p.right_main < 5) {
        main_current = -0.1;
        aux_current = -0.11;
    } else if (p.master && p.right_ess > 5 && gen_gated < 5 && main_switch && p.ext_dc_feed < 5 &&
               p.ext_ac_feed < 5) {
        main_current = -0.3;
    }
    if (p.master && main_switch && p.right_main > p.main_battery) {
        main_current = (p.right_main - p.main_battery) * (1.0 / 15.0);
    }
    if (AuxBatterySwitch.get() != 0 && p.left_main > p.aux_battery) {
        aux_current = (p.left_main - p.aux_battery) * (1.0 / 15.0);
    }
    main_current *= 2.0 * (1.0 + IceProtectionState.DcLoadFactor[0]);
    MainBatteryCurrent.set(static_cast<float>(main_current));
    AuxBatteryCurrent.set(static_cast<float>(aux_current));
}

void MeterValues(const ElectricalPass& p) {
    DcGenerator1Load.set(static_cast<float>((DcGenerator1Switch.get() & p.dc_gen1) * 0.0185 *
                                            (1.0 + IceProtectionState.DcLoadFactor[0])));
    DcGenerator2Load.set(static_cast<float>((DcGenerator2Switch.get() & p.dc_gen2) * 0.0185 *
                                            (1.0 + IceProtectionState.DcLoadFactor[1])));
    LeftVariableAcLoad.set(
        static_cast<float>(p.left_var * 0.0041 * (1.0 + IceProtectionState.AcLoadFactor[0])));
    RightVariableAcLoad.set(
        static_cast<float>(p.right_var * 0.0041 * (1.0 + IceProtectionState.AcLoadFactor[1])));
    PrimaryInverterLoad.set(static_cast<float>(p.primary_inv * 0.0021));
    AuxInverterLoad.set(p.aux_on_left || p.aux_on_right ? static_cast<float>(p.aux_inv * 0.0021)
                                                        : 0.0f);
    Tru1Load.set(static_cast<float>(p.tru1 * 0.002 * (1.0 + IceProtectionState.TruLoadFactor[0])));
    Tru2Load.set(static_cast<float>(p.tru2 * 0.002 * (1.0 + IceProtectionState.TruLoadFactor[1])));
}

void LightingAndMeterOutputs(const ElectricalPass& p) {
    LightingOutputs(p);
    BatteryCurrents(p);
    MeterValues(p);
}

}  // namespace

void ElectricalUpdate() {
    ElectricalPass p;
    DefaultsAndInstructorInputs(p);   // 1
    BatteryVoltages(p);               // 2
    BatteryCharges();                 // 3
    AcGenerators(p);                  // 4
    DcGenerators(p);                  // 5
    ExternalPower(p);                 // 6
    BatteryBusesAndExternalFeeds(p);  // 7
    MainBuses(p);                     // 8
    VariableAcBuses(p);               // 9
    SecondaryBuses(p);                // 10
    MainSecondaryTies(p);             // 11
    SecondTiePass(p);                 // 12
    EssentialBuses(p);                // 13
    InvertersAndAcBuses(p);           // 14
    LightingAndMeterOutputs(p);       // 15
    CautionLogicUpdate();             // 16: caution lights, master caution and warning
    DetectChanges();                  // 17
    // 18. Bus-powered flags, last, so that every later system of this tick
    //     and every gauge sees this tick's buses.
    UpdateBusPoweredFlags();
}

bool CountdownTick(EI32 counter) {
    const int32_t v = counter.get();
    if (v < 1) return false;
    counter.set(v - 1);
    RedrawRequest.store(255, std::memory_order_release);
    return true;
}

bool ElectricsSave(uint8_t* out, std::size_t size) {
    if (out == nullptr || size != kElectricsRecordSize) return false;
    std::memcpy(out, Electrics_sys.bytes, kElectricsRecordSize);
    return true;
}

bool ElectricsRestore(const uint8_t* data, std::size_t size) {
    if (data == nullptr || size != kElectricsRecordSize) return false;
    std::memcpy(Electrics_sys.bytes, data, kElectricsRecordSize);
    ClampRestoredRecord();
    // The caution panels re-apply their brightness on their next pass.
    CautionBrightnessShown.set(-2);
    // A restored record carries its own switch positions and charges; the
    // cold-aircraft defaults must not overwrite them.
    ElectricsDefaultsDone = 1;
    return true;
}

}  // namespace zu
