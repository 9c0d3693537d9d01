#include "cabin_link/instructor_state_exchange.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "cabin_link/instructor_link_server.h"
#include "core/air_data.h"
#include "core/electrical_system.h"
#include "core/flight_controls.h"
#include "core/flight_guidance.h"
#include "core/fsuipc_data_exchange.h"
#include "core/host_panel_services.h"
#include "core/hydraulics.h"
#include "core/nav_sources.h"
#include "core/powerplant.h"
#include "core/radio_altitude_alerting.h"
#include "core/shared_maths.h"
#include "core/systems_tick.h"
#include "displays/head_up_guidance.h"
#include "fms/flight_plan.h"
#include "instruments/adf_control_heads.h"
#include "instruments/atc_control_head.h"
#include "instruments/com_control_heads.h"
#include "instruments/vor_control_heads.h"

namespace zu {

int32_t HydraulicsInstructorStates[kHydraulicsStateCount] = {};
int32_t FlightSurfacesInstructorStates[kFlightSurfacesStateCount] = {};
int32_t ElectricsInstructorStates[kElectricsStateCount] = {};
int32_t AvionicsInstructorStates[kAvionicsStateCount] = {};
int32_t PowerplantsInstructorStates[kPowerplantsInstructorStateCount] = {};
double HydraulicDecayFactor = 0.995;
InstructorDisplayRecord InstructorDisplayValues{};

int32_t RemoteTargetInts[kRemoteTargetCapacity] = {};
double RemoteTargetValues[kRemoteTargetCapacity] = {};
int32_t RemoteValueCount = 0;
double RemoteCurrentValues[kRemoteTargetCapacity] = {};
double RemoteStepValues[kRemoteTargetCapacity] = {};
std::atomic<uint8_t> RemoteValuesSetFlag{0};
uint8_t RemoteBurstStarted = 0;
uint32_t RemoteLastUpdatePass = 0;

uint8_t RemoteApMirror = 0;
uint8_t RemoteYdMirror = 0;
int32_t RemoteApEngageWord = 0;
uint8_t RemoteSourceDisplay[2] = {0, 0};
int32_t RemoteFrameNumber = 0;
int32_t RemoteFrameNumberSeen = 0;
float RemoteAltitudeAtChange = 0.0f;
double RemoteClimbRate = 0.0;

namespace {

constexpr double kRadToDeg = 57.29577951308232;

// The whole part of a number from the network, when it is finite and lies
// within lo..hi.
bool WholeInRange(double v, double lo, double hi, int32_t& out) {
    if (!std::isfinite(v)) return false;
    const double t = std::trunc(v);
    if (t < lo || t > hi) return false;
    out = static_cast<int32_t>(t);
    return true;
}

constexpr double kInt32Min = std::numeric_limits<int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<int32_t>::max();

double Flag(bool b) {
    return b ? 1.0 : 0.0;
}

double Wrap360(double a) {
    if (a >= 360.0) a -= 360.0;
    if (a < 0.0) a += 360.0;
    return a;
}

// The state table of a group and its size; null for a group without one.
int32_t* StateTable(uint16_t group, int& size) {
    switch (group) {
        case kInstructorGroupHydraulics:
            size = kHydraulicsStateCount;
            return HydraulicsInstructorStates;
        case kInstructorGroupFlightSurfaces:
            size = kFlightSurfacesStateCount;
            return FlightSurfacesInstructorStates;
        case kInstructorGroupPowerplants:
            size = kPowerplantsStateCount;
            return PowerplantsInstructorStates;
        case kInstructorGroupElectrics:
            size = kElectricsStateCount;
            return ElectricsInstructorStates;
        case kInstructorGroupAvionics:
            size = kAvionicsStateCount;
            return AvionicsInstructorStates;
        default:
            size = 0;
            return nullptr;
    }
}

void BuildDataReply(InstructorMessage& m) {
    uint16_t values = 0, states = 0;
    InstructorGroupCounts(m.group, values, states);
    int table_size = 0;
    const int32_t* table = StateTable(m.group, table_size);
    for (int i = 0; i < values; ++i) {
        m.items[i].value = static_cast<float>(InstructorGetValue(m.group, i));
    }
    for (int i = 0; i < states && i < table_size; ++i) {
        m.items[i].state = static_cast<float>(table[i]);
    }
    m.value_count = values;
    m.state_count = states;
}

void ApplySetValue(const InstructorMessage& m) {
    int size = 0;
    int32_t* table = StateTable(m.group, size);
    if (table == nullptr) return;
    int32_t index = 0, state = 0;
    if (!WholeInRange(m.items[0].value, 0, size - 1, index)) return;
    if (!WholeInRange(m.items[0].state, kInt32Min, kInt32Max, state)) return;
    table[index] = state;

    if (m.group == kInstructorGroupHydraulics && index == kHydStateLeakSpeed) {
        HydraulicDecayFactor = (100 - std::clamp(state, 0, 100)) * 0.0002 + 0.979;
    }
    if (m.group == kInstructorGroupFlightSurfaces) {
        // The two elevators, the two flaps and the two ailerons fail together.
        switch (index) {
            case kSurfaceElevator1:
                table[kSurfaceElevator2] = state;
                break;
            case kSurfaceElevator2:
                table[kSurfaceElevator1] = state;
                break;
            case kSurfaceFlapLeft:
                table[kSurfaceFlapRight] = state;
                break;
            case kSurfaceFlapRight:
                table[kSurfaceFlapLeft] = state;
                break;
            case kSurfaceAileron1:
                table[kSurfaceAileron2] = state;
                break;
            case kSurfaceAileron2:
                table[kSurfaceAileron1] = state;
                break;
            default:
                break;
        }
    }
}

void ApplyBulkSet(const InstructorMessage& m) {
    const int count = std::min<int>(m.value_count, kRemoteTargetCapacity);
    for (int i = 0; i < count; ++i) {
        int32_t id = 0;
        const double target = m.items[i].state;
        if (!WholeInRange(m.items[i].value, kInt32Min, kInt32Max, id) || !std::isfinite(target)) {
            RemoteTargetInts[i] = 0;  // changes nothing
            RemoteTargetValues[i] = 0.0;
            continue;
        }
        RemoteTargetInts[i] = id;
        RemoteTargetValues[i] = target;
    }
    RemoteValueCount = count;
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) == 0) RemoteBurstStarted = 0;
    RemoteDisplayCountdown.store(kRemoteBurstFrames, std::memory_order_release);
    RemoteValuesSetFlag.store(1, std::memory_order_release);
}

// First smoothing call of a burst: the aircraft is set up to fly as the
// remote source does (batteries and generators on, levers forward, radios
// on).
void BurstPreset() {
    BatteryMasterSwitch.set(255);
    MainBatterySwitch.set(255);
    AuxBatterySwitch.set(255);
    DcGenerator2Switch.set(255);
    DcGenerator1Switch.set(255);
    AcGenerator2Switch.set(255);
    AcGenerator1Switch.set(255);
    PropPitch1 = 0.3508772;
    PropPitch2 = 0.3508772;
    PowerLeverPosition[0] = 16000;
    PowerLeverPosition[1] = 16000;
    PowerLeverValue[0] = 10000;
    PowerLeverValue[1] = 10000;
    Powerplants_controls_throttle_limiter = 0;
    FGC_comp_VOR1_MODE = 1;
    FGC_comp_VOR2_MODE = 1;
    FGC_comp_ADF1_MODE = 1;
    TransponderState.mode = 6;
    TransponderState.display_mode = 3;
    Com1PanelState.mode = 1;
    FGC_comp_FGC1_system_test_timer = 0;
    FGC_comp_FGC2_system_test_timer = 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Values

double InstructorHydraulicsValue(int index) {
    const HydraulicsStateRecord& h = HydraulicsState;
    switch (index) {
        case kHydValueSystem1Pressure:
            return h.SystemPressure[0];
        case kHydValueSystem2Pressure:
            return h.SystemPressure[1];
        case kHydValueEdp1Pressure:
            return h.EdpPressure[0];
        case kHydValueEdp2Pressure:
            return h.EdpPressure[1];
        case kHydValueStby1Pressure:
            return h.StandbyOutput[0];
        case kHydValueStby2Pressure:
        case kHydValueStby2LinePressure:
            return h.StandbyOutput[1];
        case kHydValueReservoir2Isolation:
            return h.System2Weak;
        case kHydValueReservoir1Quarts:
            return h.Reservoir[0];
        case kHydValueReservoir2Quarts:
            return h.Reservoir[1];
        case kHydValuePtuRunning:
            // The switch's demand counts with system 1 above 2000 psi, the
            // automatic command (the PTU valve) with its bus powered.
            return Flag((h.SystemPressure[0] > 2000 && h.PtuSwitchFlag >= 1) ||
                        (h.PtuAutoCommand >= 1 && Powered(kPoweredRightEssential)));
        case kHydValueParkingAccumulator:
            return HydraulicFluidState.Accumulator;
        default:
            return 0.0;
    }
}

double InstructorFlightSurfacesValue(int index) {
    switch (index) {
        case kSurfaceElevator1:
        case kSurfaceElevator2:
        case kSurfaceAileron1:
        case kSurfaceAileron2:
            return Flag(Powerplants_controls_throttle_limiter == 0);
        case kSurfaceRudder:
            // 1 = the surface is available: the rudder is not inhibited.
            return Flag(RudderInputInhibit == 0);
        case kSurfaceFlapLeft:
        case kSurfaceFlapRight:
            return Flag(FlapsHydraulicPressure > 500);
        case kSurfaceSpoiler1Outboard:
            return Flag(RollSpoilerPressure[1] > 200);
        case kSurfaceSpoiler2Outboard:
            return Flag(RollSpoilerPressure[3] > 200);
        case kSurfaceSpoiler1Inboard:
            return Flag(RollSpoilerPressure[0] > 200);
        case kSurfaceSpoiler2Inboard:
            return Flag(RollSpoilerPressure[2] > 200);
        // 11 and 12 are not shown.
        default:
            return 0.0;
    }
}

namespace {

// Where the powerplant values read from the propeller oil system's status
// bytes come from: a byte of the status-byte run of PowerplantState or of
// one of its three oil status flag rows (the meanings are the oil step's,
// core/powerplant.h).
enum class StatusRow : uint8_t { kNone, kRun, kA, kB, kC };
struct StatusRoute {
    StatusRow row;
    uint8_t byte;
};
struct StatusRouteEntry {
    int value;
    StatusRoute route;
};
constexpr StatusRouteEntry kStatusRouteList[] = {
    {1, {StatusRow::kRun, 13}},  {2, {StatusRow::kRun, 1}},   {3, {StatusRow::kRun, 17}},
    {4, {StatusRow::kRun, 16}},  {5, {StatusRow::kRun, 15}},  {13, {StatusRow::kRun, 18}},
    {14, {StatusRow::kRun, 2}},  {15, {StatusRow::kRun, 22}}, {16, {StatusRow::kRun, 21}},
    {17, {StatusRow::kRun, 20}}, {22, {StatusRow::kB, 1}},    {23, {StatusRow::kB, 5}},
    {24, {StatusRow::kC, 1}},    {25, {StatusRow::kC, 5}},    {26, {StatusRow::kA, 0}},
    {27, {StatusRow::kRun, 1}},  {28, {StatusRow::kRun, 3}},  {29, {StatusRow::kRun, 5}},
    {30, {StatusRow::kRun, 7}},  {31, {StatusRow::kRun, 9}},  {32, {StatusRow::kRun, 11}},
    {33, {StatusRow::kB, 4}},    {34, {StatusRow::kC, 0}},    {35, {StatusRow::kC, 4}},
    {36, {StatusRow::kRun, 0}},  {37, {StatusRow::kA, 7}},    {38, {StatusRow::kRun, 2}},
    {39, {StatusRow::kRun, 4}},  {40, {StatusRow::kRun, 6}},  {41, {StatusRow::kRun, 8}},
    {42, {StatusRow::kRun, 10}}, {43, {StatusRow::kRun, 12}}, {44, {StatusRow::kA, 8}},
    {45, {StatusRow::kB, 0}},
};
constexpr int kStatusRoutedValues = kPpValueStatusLast + 1;
constexpr std::array<StatusRoute, kStatusRoutedValues> kStatusRoutes = [] {
    std::array<StatusRoute, kStatusRoutedValues> t{};
    for (const StatusRouteEntry& e : kStatusRouteList) t[e.value] = e.route;
    return t;
}();

double StatusByteValue(StatusRoute r) {
    const PowerplantStateRecord& p = PowerplantState;
    switch (r.row) {
        case StatusRow::kRun:
            return Flag(p.StatusBytes[r.byte] != 0);
        case StatusRow::kA:
            return Flag(p.OilStatusFlagsA[r.byte] != 0);
        case StatusRow::kB:
            return Flag(p.OilStatusFlagsB[r.byte] != 0);
        case StatusRow::kC:
            return Flag(p.OilStatusFlagsC[r.byte] != 0);
        case StatusRow::kNone:
            break;
    }
    return 0.0;
}

}  // namespace

double InstructorPowerplantsValue(int index) {
    switch (index) {
        case kPpEngine1StbyPump:
            return Flag(EngineOilStatus[0].standby_oil != 0);
        case kPpEngine2StbyPump:
            return Flag(EngineOilStatus[1].standby_oil != 0);
        case kPpEngine1:
            return Flag(Nh1State.nh > 52.0f);
        case kPpEngine2:
            return Flag(Nh2State.nh > 52.0f);
        case kPpEcu1:
            return Flag(EngineManualFlag[0] == 0);
        case kPpEcu2:
            return Flag(EngineManualFlag[1] == 0);
        case kPpSynchrophaser:
            return Flag(SynchrophaserAvailable());
        case kPpAutofeather:
            return Flag(Autofeather.armed != 0);
        case kPpValueBladeAngle1:
            return PropFeatherCountdown[0] > 0 ? kPpFeatheredBladeAngle : PropPitch1;
        case kPpValueBladeAngle2:
            return PropFeatherCountdown[1] > 0 ? kPpFeatheredBladeAngle : PropPitch2;
        case kPpValueStbyOilQty1:
            return StbyOilQty[0];
        case kPpValueStbyOilQty2:
            return StbyOilQty[1];
        case kPpValueEngineOilQty1:
            return EngineOilQty[0];
        case kPpValueEngineOilQty2:
            return EngineOilQty[1];
        default:
            break;
    }
    // The components and lines read from the status bytes; 6 (not shown),
    // the torque components 10 and 20, engine 1's oil reservoir 11 and
    // anything else read 0.
    if (index >= 0 && index < kStatusRoutedValues) return StatusByteValue(kStatusRoutes[index]);
    return 0.0;
}

double InstructorElectricsValue(int index) {
    switch (index) {
        case kElecLeftEssentialBus:
            return BusPowered.get(kPoweredLeftEssential);
        case kElecRightEssentialBus:
            return BusPowered.get(kPoweredRightEssential);
        case kElecAuxBatteryBus:
            return BusPowered.get(kPoweredAuxBattery);
        case kElecMainBatteryBus:
            return BusPowered.get(kPoweredMainBattery);
        case kElecLeftMainDcBus:
            return BusPowered.get(kPoweredLeftMainDc);
        case kElecRightMainDcBus:
            return BusPowered.get(kPoweredRightMainDc);
        case kElecLeftSecondaryDcBus:
            return BusPowered.get(kPoweredLeftSecondary);
        case kElecRightSecondaryDcBus:
            return BusPowered.get(kPoweredRightSecondary);
        case kElecLeftAvionics115AcBus:
            return AcBusPowered.get(3);
        case kElecRightAvionics115AcBus:
            return AcBusPowered.get(2);
        case kElecLeftAvionics26AcBus:
            return BusPowered2.get(1);
        case kElecRightAvionics26AcBus:
            return BusPowered2.get(0);
        case kElecLeftVariableAcBus:
            return AcBusPowered.get(1);
        case kElecRightVariableAcBus:
            return AcBusPowered.get(0);
        case kElecTru1:
            return Flag(Tru1Voltage.get() > 20);
        case kElecTru2:
            return Flag(Tru2Voltage.get() > 20);
        case kElecXfmr1:
            return static_cast<int32_t>(LeftAvionicsBus.get() * 0.22624434389140272) &
                   ~static_cast<int32_t>(ElectricalFailures.get(kFailTransformer1));
        case kElecXfmr2:
            return static_cast<int32_t>(RightAvionicsBus.get() * 0.22624434389140272) &
                   ~static_cast<int32_t>(ElectricalFailures.get(kFailTransformer2));
        case kElecPriInverter:
            return Flag(PrimaryInverterVoltage.get() > 100);
        case kElecSecInverter:
            return Flag(SecondaryInverterVoltage.get() > 100);
        case kElecAuxInverter:
            return Flag(AuxInverterVoltage.get() > 100);
        case kElecLeftDcGen:
            return Flag(DcGenerator1Voltage.get() >= 24.5);
        case kElecRightDcGen:
            return Flag(DcGenerator2Voltage.get() >= 24.5);
        case kElecLeftAcGen:
            return Flag(AcGenerator1Voltage.get() > 100);
        case kElecRightAcGen:
            return Flag(AcGenerator2Voltage.get() > 100);
        case kElecValueSwitchBatAux:
            return AuxBatterySwitch.get();
        case kElecValueSwitchBatMaster:
            return BatteryMasterSwitch.get();
        case kElecValueSwitchBatMain:
            return MainBatterySwitch.get();
        case kElecValueSwitchGen1Dc:
            return DcGenerator1Switch.get();
        case kElecValueSwitchGen2Dc:
            return DcGenerator2Switch.get();
        case kElecValueSwitchGen1Ac:
            return AcGenerator1Switch.get();
        case kElecValueSwitchGen2Ac:
            return AcGenerator2Switch.get();
        case kElecValueSwitchPriInv:
            return PrimaryInverterSwitch.get();
        case kElecValueSwitchSecInv:
            return SecondaryInverterSwitch.get();
        case kElecValueAuxInvSelector:
            return (AuxInverterSelectRight.get() != 0) + 2 * (AuxInverterSelectLeft.get() != 0);
        case kElecValueSwitchMainBusTie:
            return MainBusTieSwitch.get();
        case kElecValueSwitchExtDc:
            return ExternalDcSwitch.get();
        case kElecValueSwitchExtAc:
            return ExternalAcSwitch.get();
        case kElecValueCbF5:
            return BreakerF5Closed.get();
        default:
            // Values 25..42: the relay bytes K1..K10, K17, K18, K21, K22,
            // AC generator 2 and 1, variable AC cross-feed and external AC,
            // which lie in this order in the record.
            if (index >= kElecValueRelayK1 && index <= kElecValueRelayVarAcExtPower) {
                return Electrics_sys.bytes[DcGenerator1OnLine.offset + (index - kElecValueRelayK1)];
            }
            return 0.0;
    }
}

double InstructorAvionicsValue(int index) {
    switch (index) {
        case kAvionicsHgsApproachStatus:  // available and not failed
            return HgsAiiiAvailable != 0 && HgsApproachWarning == 0 ? 1.0 : 0.0;
        default:
            return 0.0;
    }
}

double InstructorGetValue(int group, int index) {
    switch (group) {
        case kInstructorGroupHydraulics:
            return InstructorHydraulicsValue(index);
        case kInstructorGroupFlightSurfaces:
            return InstructorFlightSurfacesValue(index);
        case kInstructorGroupPowerplants:
            return InstructorPowerplantsValue(index);
        case kInstructorGroupElectrics:
            return InstructorElectricsValue(index);
        case kInstructorGroupAvionics:
            return InstructorAvionicsValue(index);
        default:
            return 0.0;
    }
}

// ---------------------------------------------------------------------------
// Decoding

bool InstructorDecodeMessage() {
    InstructorMessage& m = InstructorMessageBuffer;
    switch (m.kind) {
        case kInstructorDataRequest:
            m.value_count = 0;
            m.state_count = 0;
            if (m.group == kInstructorGroupNone) {
                m.kind = 0;
                return false;
            }
            m.kind = kInstructorDataReply;
            BuildDataReply(m);
            return true;
        case kInstructorSetValue:
            ApplySetValue(m);
            break;
        case kInstructorBulkSet:
            if (m.group == kInstructorGroupBulk) ApplyBulkSet(m);
            break;
        default:
            return false;  // not a request: nothing to answer
    }
    m.kind = kInstructorAcknowledge;
    m.value_count = 0;
    m.state_count = 0;
    return true;
}

void InstructorProcessMessage() {
    // Lowered before taking the messages: one that arrives meanwhile is
    // either taken now or raises the flag again for the next tick.
    NetworkReceiveFlag.exchange(0, std::memory_order_acq_rel);
    bool replied = false;
    while (InstructorReceiveNext()) {
        if (InstructorDecodeMessage()) {
            NetServerSendBlock();
            replied = true;
        }
    }
    // The replies wait in their peers' send queues; one wake of the network
    // thread writes them all.
    if (replied) NetServerFlushReplies();
}

// ---------------------------------------------------------------------------
// Bulk targets

namespace {

// A bulk row: what one identifier does with its value.
using BulkRow = void (*)(int32_t id, double value);

// A value above the threshold turns a row on; any other value turns it off.
bool On(double value) {
    return value > kRemoteOnThreshold;
}

// Rows 1 and 115: the autopilot and yaw-damper mirror bytes.
void RowApMirror(int32_t, double value) {
    RemoteApMirror = On(value) ? 255 : 0;
}
void RowYdMirror(int32_t, double value) {
    RemoteYdMirror = On(value) ? 255 : 0;
}

// Row 2: the inclinometer ball shown during a burst, from the remote
// source's sideslip, held within the tube.
void RowBall(int32_t, double value) {
    InstructorDisplayValues.ball = std::clamp(-630.0 * value, -126.0, 126.0);
}

// The vertical ([0]) and lateral ([1]) fields of FGC 1's annunciator show
// a captured mode.
void ShowCaptured(int field) {
    FmaFlags1[field] = 1;
}

// Rows 7, 13, 15 and 25: FGC 1's vertical mode. On engages the row's mode,
// shown captured except the glideslope; off drops it only while it is the
// row's own.
void RowVerticalMode(int32_t id, double value) {
    const int32_t mode = id == 7 ? kVertAlt : id == 13 ? kVertGs : id == 15 ? kVertIas : kVertVs;
    if (On(value)) {
        FGC_comp_AP1_vertical_mode = mode;
        if (mode != kVertGs) ShowCaptured(0);
    } else if (FGC_comp_AP1_vertical_mode == mode) {
        FGC_comp_AP1_vertical_mode = kVertPitch;
    }
}

// Rows 10 and 14: FGC 1's lateral mode 8 (a mode of the remote source that
// the FGC's own logic never selects) and heading, shown captured.
void RowLateralMode(int32_t id, double value) {
    const int32_t mode = id == 10 ? 8 : kLatHdg;
    if (On(value)) {
        FGC_comp_AP1_lateral_mode = mode;
        ShowCaptured(1);
    } else if (FGC_comp_AP1_lateral_mode == mode) {
        FGC_comp_AP1_lateral_mode = kLatBasic;
    }
}

// Row 12: go-around on FGC 1.
void RowGoAround(int32_t, double value) {
    FgcState = On(value) ? 255 : 0;
}

// Row 18: FGC 1 navigates on FMS 1; off drops the mode only while side 1
// still flies FMS 1.
void RowFmsNav(int32_t, double value) {
    if (On(value)) {
        FGC_comp_AP1_lateral_mode = kLatNav;
        ShowCaptured(1);
        NavSourceSel1 = kNavFms1;
    } else if (FGC_comp_AP1_lateral_mode == kLatNav && NavSourceSel1 == kNavFms1) {
        FGC_comp_AP1_lateral_mode = kLatBasic;
    }
}

// Rows 16 and 20: the coupled side takes (on) or gives up (off) side 1 or 2.
void RowCoupling(int32_t id, double value) {
    const int32_t side_bit = id == 16 ? 1 : 2;
    FgcSide1.coupled_side =
        On(value) ? (FgcSide1.coupled_side | side_bit) : (FgcSide1.coupled_side & (3 - side_bit));
}

// Rows 17 and 21: the engage word takes or gives up side 1 or 2; with both
// sides coupled an engaged autopilot is engaged on both.
void RowEngage(int32_t id, double value) {
    const int32_t side_bit = id == 17 ? 1 : 2;
    RemoteApEngageWord =
        On(value) ? (RemoteApEngageWord | side_bit) : (RemoteApEngageWord & (3 - side_bit));
    if (FgcSide1.coupled_side == 3 && RemoteApEngageWord != 0) RemoteApEngageWord = 3;
}

// Rows 19 and 24: the FMS lateral modes. The FMS active-leg kind byte is
// that of the TO leg's copy.
void RowFmsLateral(int32_t id, double value) {
    const uint8_t kind = id == 19 ? 2 : 1;
    if (On(value)) {
        FGC_comp_AP1_lateral_mode = kLatNav;
        FmsToLegCopy.list_kind = kind;
        ShowCaptured(1);
    } else if (FGC_comp_AP1_lateral_mode == (id == 19 ? 2 : 5) && FmsToLegCopy.list_kind == kind) {
        FGC_comp_AP1_lateral_mode = 0;
    }
}

void RowAltitude(int32_t, double value) {
    Altitude = static_cast<float>(value);
}

void RowAltimeterFlag(int32_t, double value) {
    Altimeter1FlagVisible = value == kAltimeterFlagShownValue ? 255 : 0;
}

void RowAngleOfAttack(int32_t, double value) {
    AngleOfAttack = value / kRadToDeg;
}

// Row 36: side 1 navigates on FMS 1, or on the VOR of its coupled side.
void RowFmsSource(int32_t, double value) {
    if (On(value)) {
        NavSourceSel1 = kNavFms1;
        RemoteSourceDisplay[0] = 1;
    } else {
        NavSourceSel1 = (FgcSide1.coupled_side & 2) != 0 ? kNavVor2 : kNavVor1;
        RemoteSourceDisplay[0] = 0;
    }
}

// Rows 37 and 38: the two remote-source display bytes.
void RowSourceDisplay(int32_t id, double value) {
    RemoteSourceDisplay[id - 37] = On(value) ? 1 : 0;
}

// Rows 39 and 63: the bearing and the lateral deviation of side 1's source.
void RowSourceBearing(int32_t id, double value) {
    if (NavSourceSel1 < 0 || NavSourceSel1 >= kNavSourceCount) return;
    NavSourceRecord& r = NavSources[NavSourceSel1];
    if (id == 39) {
        r.bearing = value;
    } else {
        r.lateral_deviation = value * 127 * 0.0025;
    }
}

// Rows 45 and 46.
void RowFuelFlow(int32_t id, double value) {
    InstructorDisplayValues.fuel_flow[id - 45] = value;
}

// The instructor's flap angle (degrees) onto the lever's selections 0..4:
// 0, 5, 10, 15 and 35 degrees, each reached 1.5 degrees early. The flaps
// jump there: no flap transition runs.
constexpr float kInstructorFlapTable[16] = {0, 5, 10, 15, 35, 35, 35, 35, 0, 1, 2, 3, 4, 4, 4, 4};

void RowFlaps(int32_t, double degrees) {
    if (!std::isfinite(degrees)) return;
    const auto selection = static_cast<int32_t>(TableLookup8(
        kInstructorFlapTable, static_cast<float>(std::clamp(degrees, -90.0, 90.0) + 1.5)));
    flight_controls_FLAPS[0] = selection;
    FlapDetent = selection + 2;
    FlapCountdown = 0;
}

// Decision height: whole feet below 1000, anything else (and a value no
// 32-bit word holds) 0.
void RowDecisionHeight(int32_t, double value) {
    FGC_comp_DH_altitude1 =
        value < 1000.0 && value > -2147483648.0 ? static_cast<int32_t>(value) : 0;
}

void RowAutofeather(int32_t, double value) {
    Autofeather.select = Autofeather.armed = value != 0.0 ? 1 : 0;
}

void RowHeading(int32_t, double value) {
    Heading = static_cast<float>(value);
}

// Rows 56 and 57: the engine-driven pumps' pressures.
void RowEdpPressure(int32_t id, double value) {
    HydraulicsState.EdpPressure[id - 56] = value >= 100000.0 ? 2700 : 0;
}

void RowAirspeed(int32_t, double value) {
    IndicatedAirspeed = static_cast<float>(value);
}

// Row 60: ITT 1, and the marker beacons while on.
void RowIttMarkers(int32_t, double value) {
    InstructorDisplayValues.itt[0] = value;
    if (On(value)) {
        MarkerBeacons = 3;
    } else if (MarkerBeacons == 3) {
        MarkerBeacons = 0;
    }
}

// Rows 61 and 62.
void RowItt(int32_t id, double value) {
    InstructorDisplayValues.itt[id - 61] = value;
}

// Rows 67 and 68: the remote source's master warning and master caution,
// whole numbers held within the flag bytes.
void RowMasterLights(int32_t id, double value) {
    const auto flag = static_cast<uint8_t>(std::clamp(TruncToInt32(value), 0, 255));
    if (id == 67) {
        MasterWarningFlag.set(flag);
    } else {
        MasterCautionFlag.set(flag);
    }
}

void RowNh1(int32_t, double value) {
    Nh1State.nh = static_cast<float>(value);
}
void RowNh2(int32_t, double value) {
    Nh2State.nh = static_cast<float>(value);
}

// Rows 74 and 75.
void RowNl(int32_t id, double value) {
    NLValue[id - 74] = static_cast<float>(value);
}

// Rows 76 and 77.
void RowPropRpm(int32_t id, double value) {
    PropRpm[id - 76] = value;
}

void RowPitch(int32_t, double value) {
    PitchAttitude = static_cast<float>(-value);
}
void RowBank(int32_t, double value) {
    BankAttitude = static_cast<float>(-value);
}

// Rows 81 and 82: a nonzero value feathers the propeller.
void RowFeather(int32_t id, double value) {
    if (value != 0.0) PropFeatherCountdown[id - 81] = 255;
}

void RowRadioAltitude(int32_t, double value) {
    RadioAltitude = value * 0.3043491493441276;
}

// Rows 93..96: the control-surface displays.
void RowSpoiler(int32_t id, double value) {
    InstructorDisplayValues.spoiler[id - 93] = value / (1.5 * kRadToDeg);
}

// Rows 100 and 101: the engine's published torque and its rpm command.
void RowTorque(int32_t id, double value) {
    PowerplantState.Torque[id - 100] = value;
    PropRpmCommand[id - 100] = value;
}

void RowOnGround(int32_t, double value) {
    OnGround = value == 100217.0 ? 255 : 0;
}

void RowFrameNumber(int32_t, double value) {
    RemoteFrameNumber = TruncToInt32(value);
}

void RowGroundSpeed(int32_t, double value) {
    GroundSpeed = TruncToInt32(value);
}

// Rows 121 and 122: the northing and easting of the repositioning.
void RowPosition(int32_t id, double value) {
    RemotePositionValues[id - 120] = value;
}

// The rows by identifier (0..122); an identifier without a row changes
// nothing.
constexpr int32_t kBulkRowCount = 123;

constexpr std::array<BulkRow, kBulkRowCount> MakeBulkRows() {
    std::array<BulkRow, kBulkRowCount> rows{};
    rows[1] = RowApMirror;
    rows[2] = RowBall;
    rows[7] = rows[13] = rows[15] = rows[25] = RowVerticalMode;
    rows[10] = rows[14] = RowLateralMode;
    rows[12] = RowGoAround;
    rows[16] = rows[20] = RowCoupling;
    rows[17] = rows[21] = RowEngage;
    rows[18] = RowFmsNav;
    rows[19] = rows[24] = RowFmsLateral;
    rows[28] = RowAltitude;
    rows[29] = RowAltimeterFlag;
    rows[34] = RowAngleOfAttack;
    rows[36] = RowFmsSource;
    rows[37] = rows[38] = RowSourceDisplay;
    rows[39] = rows[63] = RowSourceBearing;
    rows[45] = rows[46] = RowFuelFlow;
    rows[47] = RowFlaps;
    rows[48] = RowDecisionHeight;
    rows[49] = RowAutofeather;
    rows[53] = RowHeading;
    rows[56] = rows[57] = RowEdpPressure;
    rows[58] = RowAirspeed;
    rows[60] = RowIttMarkers;
    rows[61] = rows[62] = RowItt;
    rows[67] = rows[68] = RowMasterLights;
    rows[72] = RowNh1;
    rows[73] = RowNh2;
    rows[74] = rows[75] = RowNl;
    rows[76] = rows[77] = RowPropRpm;
    rows[79] = RowPitch;
    rows[81] = rows[82] = RowFeather;
    rows[83] = RowRadioAltitude;
    rows[87] = RowBank;
    for (int32_t id = 93; id <= 96; ++id) rows[id] = RowSpoiler;
    rows[100] = rows[101] = RowTorque;
    rows[114] = RowOnGround;
    rows[115] = RowYdMirror;
    rows[kRemoteIdFrameNumber] = RowFrameNumber;
    rows[120] = RowGroundSpeed;
    rows[121] = rows[122] = RowPosition;
    return rows;
}
constexpr std::array<BulkRow, kBulkRowCount> kBulkRows = MakeBulkRows();

// The one row of the identifier.
void ApplyBulkRow(int32_t id, double value) {
    if (id < 0 || id >= kBulkRowCount) return;
    if (const BulkRow row = kBulkRows[id]; row != nullptr) row(id, value);
}

// The remote source engages autopilot 1 and yaw damper 1 through their
// mirror bytes and the engage word.
void BulkEngagedWords() {
    FGC_comp_YD1_engaged = RemoteYdMirror != 0 ? RemoteApEngageWord : 0;
    FGC_comp_AP1_engaged = RemoteApMirror != 0 ? RemoteApEngageWord : 0;
}

// The gear handle follows the height: up above 1000 ft, down below.
void BulkGearFollowsHeight() {
    if (HostGearHandle != 0 && RadioAltitudeReadoutValue > 1000) {
        HostGearHandle = 0;
    } else if (HostGearHandle == 0 && RadioAltitudeReadoutValue < 1000) {
        HostGearHandle = 32767;
    }
}

}  // namespace

void InstructorApplyValue(int32_t id, double value) {
    FGC_comp_FGC1_system_test_timer = 0;
    FGC_comp_FGC2_system_test_timer = 0;
    ApplyBulkRow(id, value);
    BulkEngagedWords();
    BulkGearFollowsHeight();
}

void InstructorSmoothValues() {
    if (RemoteBurstStarted == 0) {
        BurstPreset();
        RemoteBurstStarted = 1;
    }
    const int count = std::clamp(RemoteValueCount, 0, kRemoteTargetCapacity);

    if (RemoteValuesSetFlag.load(std::memory_order_acquire) != 0) {
        const uint32_t frames =
            std::clamp<uint32_t>(HostPassCounter - RemoteLastUpdatePass, 1u, 600u);
        RemoteLastUpdatePass = HostPassCounter;
        const double span = 1.75 * frames;
        for (int i = 0; i < count; ++i) {
            if (RemoteTargetInts[i] == kRemoteIdHeading) {
                RemoteStepValues[i] =
                    AngleDiff(RemoteTargetValues[i], RemoteCurrentValues[i]) / span;
                RemoteCurrentValues[i] = Wrap360(RemoteCurrentValues[i]);
            } else {
                RemoteStepValues[i] = (RemoteTargetValues[i] - RemoteCurrentValues[i]) / span;
            }
        }
        RemotePositionValues[0] += 1.0;  // target updates so far
    }

    const double updates = RemotePositionValues[0];
    for (int i = 0; i < count; ++i) {
        double& current = RemoteCurrentValues[i];
        const double target = RemoteTargetValues[i];
        if (target < kRemoteOnThreshold && current < kRemoteOnThreshold && updates > 2.0) {
            current += RemoteStepValues[i];
            // A heading gliding past north stays within 0..360.
            if (RemoteTargetInts[i] == kRemoteIdHeading) current = Wrap360(current);
        } else {
            current = target;
        }
    }

    PropPitch1 = 0.42105263;
    PropPitch2 = 0.42105263;

    if (updates > 5.0) {
        for (int i = 0; i < count; ++i)
            InstructorApplyValue(RemoteTargetInts[i], RemoteCurrentValues[i]);
    }

    // Climb rate from the altitude change between two remote frames,
    // smoothed into the vertical speed on every call.
    if (RemoteFrameNumber != RemoteFrameNumberSeen) {
        RemoteClimbRate = (static_cast<double>(Altitude) - RemoteAltitudeAtChange) * 48.84;
        RemoteAltitudeAtChange = Altitude;
        RemoteFrameNumberSeen = RemoteFrameNumber;
    }
    VerticalSpeedRaw = TruncToInt32((VerticalSpeedRaw * 30.0 + RemoteClimbRate) / 31.0);

    HostPauseIndicator = 0;
    RemoteValuesSetFlag.store(0, std::memory_order_release);
}

}  // namespace zu
