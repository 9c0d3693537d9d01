#include "core/caution_logic.h"

#include "core/air_conditioning.h"
#include "core/electrical_system.h"
#include "core/powerplant.h"
#include "panels/lighting_panels.h"

namespace zu {

uint32_t CautionLightArray[kCautionLights] = {};
int32_t CautionLatch[kCautionColumns] = {};

namespace {

void Light(int row, int column, bool on) {
    CautionLightArray[CautionIndex(row, column)] = on ? 1u : 0u;
}

void ElectricalCautionLights() {
    const bool left_ess_powered = BusPowered.get(kPoweredLeftEssential) != 0;
    const bool right_ess_powered = BusPowered.get(kPoweredRightEssential) != 0;

    if (BusVolts.get(kLeftEssentialBus) < 10) {
        // Without annunciator power the electrical lights, and the two ice
        // protection lights on the same supply, are dark.
        static constexpr int kDark[][2] = {
            {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}, {1, 1}, {2, 1},  {3, 1}, {4, 1}, {3, 5},
            {4, 5}, {2, 7}, {3, 7}, {2, 8}, {3, 8}, {4, 8}, {6, 9}, {6, 10}, {2, 5}, {5, 5},
        };
        for (const auto& rc : kDark) Light(rc[0], rc[1], false);
        return;
    }

    auto failed = [](ElectricalFailure f) { return ElectricalFailures.get(f) != 0; };
    const bool ext_ac_on_line = ExternalAcOnLine.get() != 0;
    const bool ac_gen1_on_line = AcGenerator1OnLine.get() != 0;
    const bool ac_gen2_on_line = AcGenerator2OnLine.get() != 0;

    Light(0, 0, PrimaryInverterVoltage.get() < 100 && left_ess_powered);    // "PRI INV"
    Light(1, 0, SecondaryInverterVoltage.get() < 100 && left_ess_powered);  // "SEC INV"
    Light(2, 0,
          (AuxInverterVoltage.get() < 100 || AuxInverterSelectOff.get() != 0) &&
              left_ess_powered);                                       // "AUX INV"
    Light(3, 0, Left26VBus.get() < 23 && left_ess_powered);            // "L26 AC"
    Light(4, 0, Right26VBus.get() < 23 && left_ess_powered);           // "R26 AC"
    Light(0, 1, failed(kFailLeftVariableAcBus) && left_ess_powered);   // "L AC BUS"
    Light(1, 1, failed(kFailRightVariableAcBus) && left_ess_powered);  // "R AC BUS"
    Light(2, 1,
          failed(kFailLeftMainBus) || failed(kFailRightMainBus) ||
              BusVolts.get(kLeftMainBus) < 10 || BusVolts.get(kRightMainBus) < 10);  // "DC BUS"
    Light(3, 1,
          Tru1Feeding.get() == 0 && left_ess_powered && EngineStartRequest[0] == 0);  // "L TRU"
    Light(4, 1,
          Tru2Feeding.get() == 0 && right_ess_powered && EngineStartRequest[1] == 0);  // "R TRU"
    Light(3, 5, MainBatteryConnected.get() == 0 && left_ess_powered);  // "MAIN BATTERY"
    Light(4, 5, AuxBatteryConnected.get() == 0 && left_ess_powered);   // "AUX BATERY"
    Light(2, 7, DcGenerator1OnLine.get() == 0 || DcGenerator1Voltage.get() < 24.5);  // "#1 DC GEN"
    Light(3, 7,
          AcGenerator1Voltage.get() < 100 || ext_ac_on_line || !ac_gen1_on_line);    // "#1 AC GEN"
    Light(2, 8, DcGenerator2OnLine.get() == 0 || DcGenerator2Voltage.get() < 24.5);  // "#2 DC GEN"
    Light(3, 8,
          AcGenerator2Voltage.get() < 100 || ext_ac_on_line || !ac_gen2_on_line);  // "#2 AC GEN"
    Light(4, 8, !ac_gen1_on_line || !ac_gen2_on_line);  // "#2 SPU AUX PWR"
    Light(6, 9,
          AirConditioningState.battery_temperature[0] > kBatteryHotDegrees);  // "MAIN BAT HOT"
    Light(6, 10,
          AirConditioningState.battery_temperature[1] > kBatteryHotDegrees);  // "AUX BAT HOT"
}

// The weighted sum of the lit lights of the caution rows. Any rise of it
// (a new light, or a light written as 255 in place of 1) raises the flag.
int32_t CautionRowsChecksum() {
    uint32_t sum = 0;
    for (uint32_t c = 0; c < kCautionColumns; ++c) {
        for (uint32_t r = 0; r < kWarningRow; ++r) {
            sum += CautionLightArray[CautionIndex(r, c)] * (c + 1) * (r + 1) * 14u;
        }
    }
    return static_cast<int32_t>(sum);
}

int32_t WarningRowChecksum() {
    uint32_t sum = 0;
    for (uint32_t c = 0; c < kCautionColumns; ++c) {
        sum += CautionLightArray[CautionIndex(kWarningRow, c)] * (c + 1) * 98u;
    }
    return static_cast<int32_t>(sum);
}

struct MasterFields {
    EI32 checksum, latched, previous, settled, redraw;
    EU8 flag, ack;
};

// One master light: its flag rises whenever the settled checksum exceeds
// the value last latched, and the acknowledge clears flag and acknowledge.
// Returns true when an acknowledge was taken.
bool MasterLightStep(const MasterFields& m, int32_t sum) {
    m.checksum.set(sum);
    if (sum != m.previous.get()) {
        m.redraw.set(5);
        m.previous.set(sum);
    }
    CountdownTick(m.redraw);
    m.settled.set(sum);
    if (sum < 1) {
        m.latched.set(0);
        m.ack.set(0);
        m.flag.set(0);
        return false;
    }
    if (sum > m.latched.get()) m.flag.set(1);
    m.latched.set(sum);
    if (m.ack.get() != 0) {
        m.ack.set(0);
        m.flag.set(0);
        return true;
    }
    return false;
}

}  // namespace

void CautionLogicUpdate() {
    ElectricalCautionLights();

    const bool right_ess_low = BusVolts.get(kRightEssentialBus) < 7;

    static constexpr MasterFields kCaution{
        CautionChecksum,        CautionChecksumLatched, CautionChecksumPrev, CautionChecksumSettled,
        CautionRedrawCountdown, MasterCautionFlag,      MasterCautionAck};
    MasterLightStep(kCaution, CautionRowsChecksum());
    if (right_ess_low) MasterCautionFlag.set(0);

    static constexpr MasterFields kWarning{
        WarningChecksum,        WarningChecksumLatched, WarningChecksumPrev, WarningChecksumSettled,
        WarningRedrawCountdown, MasterWarningFlag,      MasterWarningAck};
    if (MasterLightStep(kWarning, WarningRowChecksum())) {
        for (int32_t& latch : CautionLatch) latch = 0;
    }
    if (right_ess_low) {
        MasterWarningFlag.set(0);
        MasterWarningAck.set(0);
    }

    // "EMER LTS DISARMED" follows the right essential bus, not the
    // annunciator supply.
    Light(0, 2, EmergencyLightsSwitch.get() == 0 && BusVolts.get(kRightEssentialBus) > 10);
    CabinSignWord = RightPanelLights[0] != 0 ? 1 : 0;
}

}  // namespace zu
