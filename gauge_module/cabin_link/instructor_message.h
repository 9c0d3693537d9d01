// The instructor link's one message, exchanged in both directions between the
// gauge module (server) and the instructor panel (client), with its kinds,
// system groups, reply counts, item meanings and failure codes.
//
// Self-contained on purpose: the instructor panel includes this file too, so
// both programs share one definition. It needs nothing of the module.
//
// Layout (packed, little-endian, 4103 bytes):
//   0  u8   kind
//   1  u16  group
//   3  u16  value_count   items 0 .. value_count-1 carry a value
//   5  u16  state_count   items 0 .. state_count-1 carry a state
//   7  512 items of 8 bytes: f32 value (+0), f32 state (+4)
// Values are readings of the aircraft (flags as 0.0 / 1.0); states are the
// integers of the group's instructor state table, carried as floats.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace zu {

static_assert(std::endian::native == std::endian::little,
              "the instructor message is read and written in place as little-endian");

#pragma pack(push, 1)
struct InstructorItem {
    float value;
    float state;
};

struct InstructorMessage {
    uint8_t kind;
    uint16_t group;
    uint16_t value_count;
    uint16_t state_count;
    InstructorItem items[512];
};
#pragma pack(pop)

inline constexpr size_t kInstructorItemCount = 512;
inline constexpr size_t kInstructorHeaderSize = 7;
inline constexpr size_t kInstructorMessageSize = 4103;
// The server sends the header and the first 383 items and 6 bytes: enough for
// the largest reply (57 items).
inline constexpr size_t kInstructorReplySize = 3077;

static_assert(sizeof(InstructorItem) == 8);
static_assert(offsetof(InstructorItem, value) == 0);
static_assert(offsetof(InstructorItem, state) == 4);
static_assert(sizeof(InstructorMessage) == kInstructorMessageSize);
static_assert(offsetof(InstructorMessage, kind) == 0);
static_assert(offsetof(InstructorMessage, group) == 1);
static_assert(offsetof(InstructorMessage, value_count) == 3);
static_assert(offsetof(InstructorMessage, state_count) == 5);
static_assert(offsetof(InstructorMessage, items) == kInstructorHeaderSize);
static_assert(kInstructorHeaderSize + 8 * kInstructorItemCount == kInstructorMessageSize);

// ---- Kinds ----------------------------------------------------------------
// DataRequest: client asks for a group; counts and items carry nothing.
inline constexpr uint8_t kInstructorDataRequest = 1;
// SetValue: counts 0; item 0 value = the state index (as a float), item 0
// state = the new state (as a float).
inline constexpr uint8_t kInstructorSetValue = 2;
// Acknowledge: server's answer to SetValue and BulkSet; counts 0.
inline constexpr uint8_t kInstructorAcknowledge = 4;
// BulkSet (group 15): value_count items, value = a target identifier, state =
// the target value. Not sent by the instructor panel.
inline constexpr uint8_t kInstructorBulkSet = 8;
// DataReply: the group's value_count values and state_count states.
inline constexpr uint8_t kInstructorDataReply = 64;

// ---- Groups ---------------------------------------------------------------
inline constexpr uint16_t kInstructorGroupNone = 0;  // a request for it gets no reply
inline constexpr uint16_t kInstructorGroupHydraulics = 1;
inline constexpr uint16_t kInstructorGroupFlightSurfaces = 3;
inline constexpr uint16_t kInstructorGroupPowerplants = 4;
inline constexpr uint16_t kInstructorGroupElectrics = 5;
inline constexpr uint16_t kInstructorGroupAvionics = 10;
inline constexpr uint16_t kInstructorGroupBulk = 15;  // BulkSet only
// Any other group: a DataReply with both counts 0.

// Counts the server answers with (and the sizes of its state tables).
inline constexpr uint16_t kHydraulicsValueCount = 12;
inline constexpr uint16_t kHydraulicsStateCount = 22;
inline constexpr uint16_t kFlightSurfacesValueCount = 13;
inline constexpr uint16_t kFlightSurfacesStateCount = 13;
inline constexpr uint16_t kPowerplantsValueCount = 52;
inline constexpr uint16_t kPowerplantsStateCount = 23;
inline constexpr uint16_t kElectricsValueCount = 57;
inline constexpr uint16_t kElectricsStateCount = 26;
inline constexpr uint16_t kAvionicsValueCount = 1;
inline constexpr uint16_t kAvionicsStateCount = 1;

// The reply counts of a group; false for a group that has none (0 and
// unknown groups; the caller decides between "no reply" and "empty reply").
constexpr bool InstructorGroupCounts(uint16_t group, uint16_t& values, uint16_t& states) {
    switch (group) {
        case kInstructorGroupHydraulics:
            values = kHydraulicsValueCount, states = kHydraulicsStateCount;
            return true;
        case kInstructorGroupFlightSurfaces:
            values = kFlightSurfacesValueCount, states = kFlightSurfacesStateCount;
            return true;
        case kInstructorGroupPowerplants:
            values = kPowerplantsValueCount, states = kPowerplantsStateCount;
            return true;
        case kInstructorGroupElectrics:
            values = kElectricsValueCount, states = kElectricsStateCount;
            return true;
        case kInstructorGroupAvionics:
            values = kAvionicsValueCount, states = kAvionicsStateCount;
            return true;
        default:
            values = 0, states = 0;
            return false;
    }
}

// Array sizes the instructor panel keeps per group (at least the counts above).
inline constexpr int kPanelHydraulicsValues = 57, kPanelHydraulicsStates = 26;
inline constexpr int kPanelElectricsValues = 57, kPanelElectricsStates = 26;
inline constexpr int kPanelPowerplantsValues = 53, kPanelPowerplantsStates = 23;
inline constexpr int kPanelFlightSurfacesValues = 13, kPanelFlightSurfacesStates = 13;
inline constexpr int kPanelAvionicsValues = 2, kPanelAvionicsStates = 2;

// ---- Failure codes carried in states -----------------------------------------
// Hydraulic components: bits.
inline constexpr int32_t kHydFailLeak = 1;
inline constexpr int32_t kHydFailInoperative = 2;
inline constexpr int32_t kHydFailHot = 4;
// Powerplant components: bits 0..2 hold one exclusive code ...
inline constexpr int32_t kPowerplantFailCodeMask = 7;
inline constexpr int32_t kPowerplantFailInoperative = 1;
inline constexpr int32_t kPowerplantFailOpened = 2;
inline constexpr int32_t kPowerplantFailClosed = 4;
// ... and these bits are independent.
inline constexpr int32_t kPowerplantFailFire = 8;
inline constexpr int32_t kPowerplantFailHangStart = 16;
inline constexpr int32_t kPowerplantFailHotStart = 32;
inline constexpr int32_t kPowerplantFailOilLeak = 64;
inline constexpr int32_t kPowerplantFailNoCutOff = 128;
inline constexpr int32_t kPowerplantFailSelect = 256;
inline constexpr int32_t kPowerplantFailArm = 512;
// Flight surfaces: exactly one code.
inline constexpr int32_t kSurfaceFailInoperative = 1;
inline constexpr int32_t kSurfaceFailDeflectLeft = 2;
inline constexpr int32_t kSurfaceFailDeflectRight = 4;
inline constexpr int32_t kSurfaceFailFreeFloating = 8;
inline constexpr int32_t kSurfaceFailTrim = 16;
inline constexpr int32_t kSurfaceFailJammed = 32;
inline constexpr int32_t kSurfaceFailDisagree = 64;
// Electrics and avionics elements.
inline constexpr int32_t kElementNormal = 0;
inline constexpr int32_t kElementFailed = 255;

// ---- Group 1, hydraulics ----------------------------------------------------
// Values.
inline constexpr int kHydValueSystem1Pressure = 0;  // psi
inline constexpr int kHydValueSystem2Pressure = 1;
inline constexpr int kHydValueEdp1Pressure = 2;  // engine-driven pumps
inline constexpr int kHydValueEdp2Pressure = 3;
inline constexpr int kHydValueStby1Pressure = 4;  // standby pumps
inline constexpr int kHydValueStby2Pressure = 5;
inline constexpr int kHydValueStby2LinePressure = 6;  // same source as 5
inline constexpr int kHydValueReservoir2Isolation = 7;
inline constexpr int kHydValueReservoir1Quarts = 8;
inline constexpr int kHydValueReservoir2Quarts = 9;
inline constexpr int kHydValuePtuRunning = 10;
inline constexpr int kHydValueParkingAccumulator = 11;  // psi
// States: 0..18 failure bits of component i + 1 (panel tag), then:
inline constexpr int kHydStateComponentCount = 19;
inline constexpr int kHydStateLeakSpeed = 19;  // 0..100
inline constexpr int kHydStateRefill1 = 20;    // any new number refills reservoir 1
inline constexpr int kHydStateRefill2 = 21;

// ---- Group 3, flight surfaces -------------------------------------------------
// Value i: 1 while the surface with panel tag i + 1 is available; state i: its
// failure code. The pairs (0,1), (3,4), (5,6) always fail together.
inline constexpr int kSurfaceElevator1 = 0;
inline constexpr int kSurfaceElevator2 = 1;
inline constexpr int kSurfaceRudder = 2;
inline constexpr int kSurfaceFlapLeft = 3;
inline constexpr int kSurfaceFlapRight = 4;
inline constexpr int kSurfaceAileron1 = 5;
inline constexpr int kSurfaceAileron2 = 6;
inline constexpr int kSurfaceSpoiler1Outboard = 7;
inline constexpr int kSurfaceSpoiler2Outboard = 8;
inline constexpr int kSurfaceSpoiler1Inboard = 9;
inline constexpr int kSurfaceSpoiler2Inboard = 10;
// 11 and 12: not shown, value 0.

// ---- Group 4, powerplants ---------------------------------------------------
// Components (panel tag 200 + i); value = availability or a status byte,
// state = the component's failure word.
inline constexpr int kPpEngine1StbyPump = 0;
inline constexpr int kPpEngine1PcuPump = 1;
inline constexpr int kPpEngine1Governor = 2;
inline constexpr int kPpEngine1Osgv = 3;
inline constexpr int kPpEngine1Mfv = 4;
inline constexpr int kPpEngine1Afv = 5;
inline constexpr int kPpUnused6 = 6;  // value 0
inline constexpr int kPpEngine1 = 7;  // state: engine failure word 1
inline constexpr int kPpEcu1 = 8;
inline constexpr int kPpSynchrophaser = 9;
inline constexpr int kPpTorque1 = 10;
inline constexpr int kPpEngine1OilRefill = 11;  // state: refill token
inline constexpr int kPpEngine2StbyPump = 12;
inline constexpr int kPpEngine2PcuPump = 13;
inline constexpr int kPpEngine2Governor = 14;
inline constexpr int kPpEngine2Osgv = 15;
inline constexpr int kPpEngine2Mfv = 16;
inline constexpr int kPpEngine2Afv = 17;
inline constexpr int kPpEngine2 = 18;  // state: engine failure word 2
inline constexpr int kPpEcu2 = 19;
inline constexpr int kPpTorque2 = 20;
inline constexpr int kPpAutofeather = 21;
inline constexpr int kPpEngine2OilRefill = 22;  // state: refill token
// Further values: 23..45 engine status bytes (line shapes), then:
inline constexpr int kPpValueStatusFirst = 23;
inline constexpr int kPpValueStatusLast = 45;
inline constexpr int kPpValueBladeAngle1 = 46;  // radians
inline constexpr int kPpValueBladeAngle2 = 47;
inline constexpr int kPpValueStbyOilQty1 = 48;  // 0..1
inline constexpr int kPpValueStbyOilQty2 = 49;
inline constexpr int kPpValueEngineOilQty1 = 50;  // quarts
inline constexpr int kPpValueEngineOilQty2 = 51;
// Blade angle reported while that engine's feather countdown runs.
inline constexpr float kPpFeatheredBladeAngle = 1.4035088f;

// ---- Group 5, electrics -----------------------------------------------------
// Values 0..24: element i powered (panel tag 100 + i); states 0..25: element
// i failed (0 / 255).
inline constexpr int kElecLeftEssentialBus = 0;
inline constexpr int kElecRightEssentialBus = 1;
inline constexpr int kElecAuxBatteryBus = 2;
inline constexpr int kElecMainBatteryBus = 3;
inline constexpr int kElecLeftMainDcBus = 4;
inline constexpr int kElecRightMainDcBus = 5;
inline constexpr int kElecLeftSecondaryDcBus = 6;
inline constexpr int kElecRightSecondaryDcBus = 7;
inline constexpr int kElecLeftAvionics115AcBus = 8;
inline constexpr int kElecRightAvionics115AcBus = 9;
inline constexpr int kElecLeftAvionics26AcBus = 10;
inline constexpr int kElecRightAvionics26AcBus = 11;
inline constexpr int kElecLeftVariableAcBus = 12;
inline constexpr int kElecRightVariableAcBus = 13;
inline constexpr int kElecTru1 = 14;
inline constexpr int kElecTru2 = 15;
inline constexpr int kElecXfmr1 = 16;
inline constexpr int kElecXfmr2 = 17;
inline constexpr int kElecPriInverter = 18;
inline constexpr int kElecSecInverter = 19;
inline constexpr int kElecAuxInverter = 20;
inline constexpr int kElecLeftDcGen = 21;
inline constexpr int kElecRightDcGen = 22;
inline constexpr int kElecLeftAcGen = 23;
inline constexpr int kElecRightAcGen = 24;
inline constexpr int kElecStateCbF5 = 25;  // state only
// Values 25..56: relays and switches (closed when above 0).
inline constexpr int kElecValueRelayK1 = 25;  // 25..34: K1..K10
inline constexpr int kElecValueRelayK17 = 35;
inline constexpr int kElecValueRelayK18 = 36;
inline constexpr int kElecValueRelayK21 = 37;
inline constexpr int kElecValueRelayK22 = 38;
inline constexpr int kElecValueRelayAcGen2 = 39;
inline constexpr int kElecValueRelayAcGen1 = 40;
inline constexpr int kElecValueRelayVarAcXfeed = 41;
inline constexpr int kElecValueRelayVarAcExtPower = 42;
inline constexpr int kElecValueSwitchBatAux = 43;
inline constexpr int kElecValueSwitchBatMaster = 44;
inline constexpr int kElecValueSwitchBatMain = 45;
inline constexpr int kElecValueSwitchGen1Dc = 46;
inline constexpr int kElecValueSwitchGen2Dc = 47;
inline constexpr int kElecValueSwitchGen1Ac = 48;
inline constexpr int kElecValueSwitchGen2Ac = 49;
inline constexpr int kElecValueSwitchPriInv = 50;
inline constexpr int kElecValueSwitchSecInv = 51;
inline constexpr int kElecValueAuxInvSelector = 52;  // 0 centre, 1 right, 2 left
inline constexpr int kElecValueSwitchMainBusTie = 53;
inline constexpr int kElecValueSwitchExtDc = 54;
inline constexpr int kElecValueSwitchExtAc = 55;
inline constexpr int kElecValueCbF5 = 56;

// ---- Group 10, avionics -----------------------------------------------------
inline constexpr int kAvionicsHgsApproachStatus = 0;  // value: available; state: failed (255)

}  // namespace zu
