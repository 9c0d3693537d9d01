// The electrical system: batteries, DC and AC generators, external power,
// buses, ties, transformer-rectifiers, inverters and transformers, turned
// every 64 ms tick into bus voltages, bus-powered flags, meter values,
// lighting outputs and the electrical caution lights.
//
// All of it lives in one packed record, `Electrics_sys`, which is also the
// stored format: it is saved and restored byte for byte with the saved
// flight. Its fields sit at fixed byte offsets (many of them odd), so the
// record is a byte image read and written little-endian through the typed
// field accessors below; each accessor is named after its field. Switch
// words hold 0 (off) or 255 (on); voltages are whole volts in 32-bit
// integers; the bus-powered bytes are 1 while their bus is powered.
//
// The overhead panels' mouse handlers (gauge thread) write the switch words
// and the instructor link writes the failure table; the systems tick reads
// them once per pass, without locks.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zu {

inline constexpr std::size_t kElectricsRecordSize = 775;

struct ElectricsRecord {
    uint8_t bytes[kElectricsRecordSize];
};
static_assert(sizeof(ElectricsRecord) == kElectricsRecordSize);

// The electrical and panel-switch record.
extern ElectricsRecord Electrics_sys;

namespace electrics_detail {

template <typename T>
inline T LoadLe(const uint8_t* p) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 4);
    if constexpr (sizeof(T) == 1) {
        return static_cast<T>(*p);
    } else {
        uint32_t u;
        std::memcpy(&u, p, 4);
        if constexpr (std::endian::native == std::endian::big) {
            u = (u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24);
        }
        return std::bit_cast<T>(u);
    }
}

template <typename T>
inline void StoreLe(uint8_t* p, T v) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 4);
    if constexpr (sizeof(T) == 1) {
        *p = static_cast<uint8_t>(v);
    } else {
        uint32_t u = std::bit_cast<uint32_t>(v);
        if constexpr (std::endian::native == std::endian::big) {
            u = (u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24);
        }
        std::memcpy(p, &u, 4);
    }
}

}  // namespace electrics_detail

// One field of Electrics_sys: its type and byte offset. A field that would
// reach past the end of the record does not compile.
template <typename T>
struct ElectricsField {
    uint32_t offset;
    consteval ElectricsField(uint32_t off) : offset(off) {
        if (off + sizeof(T) > kElectricsRecordSize) throw "field outside Electrics_sys";
    }
    T get() const { return electrics_detail::LoadLe<T>(Electrics_sys.bytes + offset); }
    void set(T v) const { electrics_detail::StoreLe<T>(Electrics_sys.bytes + offset, v); }
};

// N consecutive fields of one type. An index outside the array reads 0 and
// writes nothing.
template <typename T, std::size_t N>
struct ElectricsArray {
    uint32_t offset;
    static constexpr std::size_t size = N;
    consteval ElectricsArray(uint32_t off) : offset(off) {
        if (off + N * sizeof(T) > kElectricsRecordSize) throw "array outside Electrics_sys";
    }
    T get(std::size_t i) const {
        if (i >= N) [[unlikely]]
            return T{};
        return electrics_detail::LoadLe<T>(Electrics_sys.bytes + offset + i * sizeof(T));
    }
    void set(std::size_t i, T v) const {
        if (i >= N) [[unlikely]]
            return;
        electrics_detail::StoreLe<T>(Electrics_sys.bytes + offset + i * sizeof(T), v);
    }
};

// An ElectricsArray whose elements are reached only through the names of
// the enum `Index`: an index meant for another array (or a bare number)
// does not compile.
template <typename T, typename Index, std::size_t N>
struct ElectricsNamedArray {
    ElectricsArray<T, N> elements;
    static constexpr std::size_t size = N;
    consteval ElectricsNamedArray(uint32_t off) : elements(off) {}
    T get(Index i) const { return elements.get(i); }
    void set(Index i, T v) const { elements.set(i, v); }
};

using EI32 = ElectricsField<int32_t>;
using EF32 = ElectricsField<float>;
using EU8 = ElectricsField<uint8_t>;

// ---------------------------------------------------------------------------
// DC switches and sources

inline constexpr EI32 BatteryMasterSwitch{0};  // gates both battery switches
inline constexpr EI32 MainBatterySwitch{4};
inline constexpr EI32 AuxBatterySwitch{8};
inline constexpr EI32 ExternalDcSwitch{12};
inline constexpr EI32 ExternalDcFeed{16};  // external DC voltage while switched on
inline constexpr EI32 ExternalDcFeedPrev{20};
inline constexpr EI32 DcGenerator2Switch{24};
inline constexpr EI32 DcGenerator1Switch{28};
inline constexpr EI32 MainBusTieSwitch{32};
inline constexpr EI32 DcBusFailureResetSwitch{36};  // momentary; cleared once acted on
inline constexpr EI32 DcVoltmeterSelector{40};      // 0..5
inline constexpr EI32 DcLoadSelector{44};           // 0..3
inline constexpr EI32 MainBatteryVoltage{48};
inline constexpr EI32 AuxBatteryVoltage{52};
inline constexpr EI32 ExternalDcVoltage{56};  // 27 while available, else 0
inline constexpr EI32 DcGenerator2Voltage{60};
inline constexpr EI32 DcGenerator1Voltage{64};

// Indices of the eight DC bus voltages, in record order.
enum DcBus : std::size_t {
    kMainBatteryBus = 0,
    kAuxBatteryBus = 1,
    kRightEssentialBus = 2,
    kLeftEssentialBus = 3,
    kRightMainBus = 4,
    kLeftMainBus = 5,
    kRightSecondaryBus = 6,
    kLeftSecondaryBus = 7,
};
inline constexpr DcBus kDcBuses[8] = {kMainBatteryBus,    kAuxBatteryBus,   kRightEssentialBus,
                                      kLeftEssentialBus,  kRightMainBus,    kLeftMainBus,
                                      kRightSecondaryBus, kLeftSecondaryBus};
// The DC bus voltages (whole volts), indexed by DcBus only.
inline constexpr ElectricsNamedArray<int32_t, DcBus, 8> BusVolts{68};

inline constexpr EI32 Tru2Voltage{100};
inline constexpr EI32 Tru1Voltage{104};
inline constexpr EI32 LeftMainBusHold{108};   // ticks, armed with 15
inline constexpr EI32 RightMainBusHold{112};  // ticks, armed with 15
inline constexpr EF32 DcGenerator2Load{116};
inline constexpr EF32 DcGenerator1Load{120};
inline constexpr EF32 MainBatteryCurrent{124};  // positive charges
inline constexpr EF32 AuxBatteryCurrent{128};
inline constexpr EU8 ExternalDcOnLine{156};  // 255 / 0

// Indices of the bus-powered bytes (0x9D..0xA4). Their order is not the order
// of BusVolts: BusPowered takes these names only.
enum BusPoweredByte : std::size_t {
    kPoweredMainBattery = 0,     // 0x9D
    kPoweredAuxBattery = 1,      // 0x9E
    kPoweredRightMainDc = 2,     // 0x9F
    kPoweredLeftMainDc = 3,      // 0xA0, also the FMS power
    kPoweredRightEssential = 4,  // 0xA1, annunciators and displays
    kPoweredLeftEssential = 5,   // 0xA2, side-2 and weather-radar displays
    kPoweredRightSecondary = 6,  // 0xA3
    kPoweredLeftSecondary = 7,   // 0xA4
};
inline constexpr BusPoweredByte kBusPoweredBytes[8] = {
    kPoweredMainBattery,    kPoweredAuxBattery,    kPoweredRightMainDc,    kPoweredLeftMainDc,
    kPoweredRightEssential, kPoweredLeftEssential, kPoweredRightSecondary, kPoweredLeftSecondary};
// The bus whose voltage each bus-powered byte shows.
inline constexpr DcBus kBusOfPoweredByte[8] = {
    kMainBatteryBus,    kAuxBatteryBus,    kRightMainBus,      kLeftMainBus,
    kRightEssentialBus, kLeftEssentialBus, kRightSecondaryBus, kLeftSecondaryBus};

// 1 while its DC bus is above 20 V, else 0.
inline constexpr ElectricsNamedArray<uint8_t, BusPoweredByte, 8> BusPowered{157};
inline bool Powered(BusPoweredByte b) {
    return BusPowered.get(b) != 0;
}

inline constexpr EF32 MainBatteryCharge{165};  // 0..100
inline constexpr EF32 AuxBatteryCharge{169};   // 0..50
inline constexpr EF32 DcGenerator2LoadPrev{173};
inline constexpr EF32 DcGenerator1LoadPrev{177};
inline constexpr EF32 Tru1LoadPrev{181};
inline constexpr EF32 Tru2LoadPrev{185};

// ---------------------------------------------------------------------------
// AC switches and sources

inline constexpr EI32 PrimaryInverterSwitch{189};
inline constexpr EI32 SecondaryInverterSwitch{193};
// The auxiliary inverter selector: exactly one of the three words is 255.
inline constexpr EI32 AuxInverterSelectRight{197};
inline constexpr EI32 AuxInverterSelectLeft{201};
inline constexpr EI32 AuxInverterSelectOff{205};
inline constexpr EI32 AcGenerator2Switch{209};
inline constexpr EI32 AcGenerator1Switch{213};
inline constexpr EI32 ExternalAcSwitch{217};
inline constexpr EI32 AcMeterSelector1{221};  // 0..2
inline constexpr EI32 AcMeterSelector2{225};  // 0..5
inline constexpr EI32 ExternalAcFeed{229};    // external AC voltage while switched on
inline constexpr EI32 ExternalAcFeedPrev{233};
inline constexpr EI32 ExternalAcVoltage{237};  // 114 while available, else 0
inline constexpr EI32 PrimaryInverterVoltage{241};
inline constexpr EI32 SecondaryInverterVoltage{245};
inline constexpr EI32 AuxInverterVoltage{249};
inline constexpr EI32 AcGenerator2Voltage{253};
inline constexpr EI32 AcGenerator1Voltage{257};
inline constexpr EI32 RightVariableAcBus{261};
inline constexpr EI32 LeftVariableAcBus{265};
inline constexpr EI32 LeftVariableAcHold{269};   // ticks, armed with 16
inline constexpr EI32 RightVariableAcHold{273};  // ticks, armed with 16
inline constexpr EI32 RightAvionicsBus{277};     // 115 V
inline constexpr EI32 LeftAvionicsBus{281};
inline constexpr EI32 Right26VBus{285};
inline constexpr EI32 Left26VBus{289};
inline constexpr EI32 RightAvionicsHold{293};  // ticks, armed with 15
inline constexpr EI32 LeftAvionicsHold{297};   // ticks, armed with 15
inline constexpr EF32 RightVariableAcLoad{301};
inline constexpr EF32 LeftVariableAcLoad{305};
inline constexpr EF32 PrimaryInverterLoad{309};
inline constexpr EF32 AuxInverterLoad{313};
inline constexpr EF32 AcMeterValue{317};
inline constexpr EF32 Tru1Load{321};
inline constexpr EF32 Tru2Load{325};
inline constexpr EF32 RightVariableAcLoadPrev{329};
inline constexpr EF32 LeftVariableAcLoadPrev{333};
inline constexpr EF32 PrimaryInverterLoadPrev{337};
inline constexpr EF32 AuxInverterLoadPrev{341};
inline constexpr EU8 ExternalAcOnLine{345};  // 255 / 0

// 1 while above 106 V: [0] right and [1] left variable AC bus, [2] right
// and [3] left avionics bus.
inline constexpr ElectricsArray<uint8_t, 4> AcBusPowered{346};
// 1 while above 20 V: [0] right and [1] left 26 V AC bus.
inline constexpr ElectricsArray<uint8_t, 2> BusPowered2{350};

inline constexpr EI32 DcGenerator1SwitchPrev{352};
inline constexpr EI32 DcGenerator2SwitchPrev{356};
inline constexpr EI32 MainBatteryVoltagePrev{368};
inline constexpr EI32 AuxBatteryVoltagePrev{372};
// Previous copies of the ten consecutive words from DcGenerator2Voltage
// through BusVolts[7].
inline constexpr ElectricsArray<int32_t, 10> DcVoltsPrev{380};
inline constexpr EF32 MainBatteryCurrentPrev{428};
inline constexpr EF32 AuxBatteryCurrentPrev{432};

// ---------------------------------------------------------------------------
// Failures (0 or non-zero; written only by the instructor-input step)

inline constexpr ElectricsArray<uint8_t, 25> ElectricalFailures{436};
enum ElectricalFailure : std::size_t {
    kFailLeftDcGenerator = 0,
    kFailRightDcGenerator,
    kFailLeftAcGenerator,
    kFailRightAcGenerator,
    kFailAuxBatteryBus,
    kFailMainBatteryBus,
    kFailLeftEssentialBus,
    kFailRightEssentialBus,
    kFailLeftMainBus,  // latched until the DC bus failure reset
    kFailRightMainBus,
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
};

inline constexpr EI32 LeftMainBusFailureDelay{461};   // ticks; 60 while not failed
inline constexpr EI32 RightMainBusFailureDelay{465};  // ticks; 60 while not failed
inline constexpr EI32 SecondaryBusBreakerDelay{469};  // ticks; 40 while not failed

// Relay and state bytes (255 / 0).
inline constexpr EU8 DcGenerator1OnLine{473};
inline constexpr EU8 DcGenerator2OnLine{474};
inline constexpr EU8 AuxBatteryAvailable{475};
inline constexpr EU8 MainBatteryAvailable{476};
inline constexpr EU8 LeftMainSecondaryTieClosed{477};
inline constexpr EU8 RightMainSecondaryTieClosed{478};
inline constexpr EU8 AuxBatteryConnected{479};
inline constexpr EU8 MainBatteryConnected{480};
inline constexpr EU8 ExternalDcFeedsLeft{481};
inline constexpr EU8 ExternalDcFeedsRight{482};
inline constexpr EU8 Tru1Feeding{483};
inline constexpr EU8 Tru2Feeding{484};
inline constexpr EU8 MainBusTieClosed{485};
inline constexpr EU8 SecondaryBusTieClosed{486};
inline constexpr EU8 AcGenerator2OnLine{487};
inline constexpr EU8 AcGenerator1OnLine{488};
inline constexpr EU8 AcBusTieClosed{489};
inline constexpr EU8 ExternalAcConnected{490};
inline constexpr EU8 AvionicsCrossTieClosed{491};
inline constexpr EU8 BreakerF5Closed{492};
inline constexpr EI32 AcBusTieDelay{493};  // ticks, armed with 24

// Previous copies of the inverter outputs, AC generator voltages and the
// variable, avionics and 26 V buses, in the order of AcVoltsPrevSource.
inline constexpr ElectricsArray<int32_t, 11> AcVoltsPrev{533};

// ---------------------------------------------------------------------------
// Lighting

inline constexpr EI32 LightsPanelLevel{581};   // written by the lights panel
inline constexpr EI32 LightingSelectorF{585};  // storm lights
inline constexpr EI32 LightingSwitchA{589};
inline constexpr EI32 LightingSwitchB{593};
inline constexpr EI32 LightingSwitchC{597};  // engine panel
inline constexpr EI32 LightingSwitchD{601};
inline constexpr EI32 PanelLightingSwitch3{605};  // lighting switch E
// Lighting outputs: non-zero = lit.
inline constexpr EI32 PanelLightingCircuit1{609};  // A: switch A on the left main bus
inline constexpr EI32 PanelLightingCircuit1Prev{613};
inline constexpr EI32 PanelLightingCircuit2{617};  // D: switch D on the right main bus
inline constexpr EI32 PanelLightingCircuit2Prev{621};
inline constexpr EI32 PanelLightingCircuit3{625};  // E: switch E on the right main bus
inline constexpr EI32 PanelLightingCircuit3Prev{629};
inline constexpr EI32 EnginePanelLighting{633};  // C: switch C AND right essential volts
inline constexpr EI32 EnginePanelLightingPrev{637};
inline constexpr EI32 PanelLightingCircuit4{641};  // B: switch B on the left main bus
inline constexpr EI32 PanelLightingCircuit4Prev{645};
inline constexpr EI32 StormLights{649};  // F: 255 / 0
inline constexpr EI32 StormLightsPrev{653};
inline constexpr EI32 StrobeLightSwitch{657};
inline constexpr EI32 LightsPanelSwitch{661};
inline constexpr EI32 NavBeaconSelector{665};  // 0 off, 1 navigation, 2 beacon
inline constexpr EI32 WingLightSwitch{669};
inline constexpr EI32 TaxiLightSwitch{673};
inline constexpr EI32 LandingLightSwitch1{677};
inline constexpr EI32 LandingLightSwitch2{681};
inline constexpr EU8 TaxiLightOutput{688};
inline constexpr EU8 LandingLightOutput1{689};
inline constexpr EU8 LandingLightOutput2{690};
inline constexpr EU8 KeyEventFlag{695};

// ---------------------------------------------------------------------------
// Master warning and master caution

inline constexpr EU8 MasterWarningFlag{697};
inline constexpr EU8 MasterWarningFlash{698};  // flash phase, written by the master lights
inline constexpr EU8 MasterWarningFlashPrev{699};
inline constexpr EU8 MasterWarningAck{700};
inline constexpr EU8 OvertorqueLatch{701};
inline constexpr EI32 WarningChecksum{703};
inline constexpr EI32 WarningChecksumLatched{707};
inline constexpr EI32 WarningChecksumPrev{711};
inline constexpr EI32 WarningChecksumSettled{715};
inline constexpr EI32 WarningRedrawCountdown{719};  // armed with 5
inline constexpr EI32 CautionChecksum{723};
inline constexpr EI32 CautionChecksumLatched{727};
inline constexpr EI32 CautionChecksumPrev{731};
inline constexpr EI32 CautionChecksumSettled{735};
inline constexpr EI32 CautionRedrawCountdown{739};  // armed with 5
inline constexpr EU8 MasterCautionFlag{743};
inline constexpr EU8 MasterCautionFlash{744};  // flash phase, written by the master lights
inline constexpr EU8 MasterCautionFlashPrev{745};
inline constexpr EU8 MasterCautionAck{746};
inline constexpr EI32 EmergencyLightsSwitch{747};  // 0 = disarmed; 0..2
// 0 off, 1 lights every caution and warning light, 2 panel lamp test.
inline constexpr EI32 AnnunciatorTestSwitch{751};
inline constexpr EI32 AnnunciatorTestSwitchPrev{755};
inline constexpr EI32 CautionBrightnessSwitch{759};  // 0 centre, 1 bright, 2 dim
inline constexpr EI32 CautionBrightness{763};        // 255 bright, else dim
inline constexpr EI32 CautionBrightnessShown{767};   // last applied by the caution panels
inline constexpr EI32 CautionBrightnessReturn{771};  // spring-return countdown

static_assert(BusVolts.elements.offset == 0x44 && BusPowered.elements.offset == 0x9D);
static_assert(AcBusPowered.offset == 0x15A && BusPowered2.offset == 0x15E);
static_assert(PanelLightingCircuit1.offset == 0x261 && PanelLightingCircuit4.offset == 0x281);
static_assert(PanelLightingSwitch3.offset == 0x25D && StormLights.offset == 0x289);
static_assert(MasterWarningFlag.offset == 0x2B9 && MasterCautionAck.offset == 0x2EA);
static_assert(AnnunciatorTestSwitch.offset == 0x2EF && CautionBrightnessShown.offset == 0x2FF);
static_assert(CautionBrightnessReturn.offset + 4 == kElectricsRecordSize);

// ---------------------------------------------------------------------------
// Module-wide values beside the record

// 1 when any electrical value changed in the last pass (or the master
// caution flag is set), else 0. Gauges test it to re-arm their refresh.
extern int32_t ElectricalChangeFlag;

// Ticks during which external DC and AC power are unavailable.
extern int32_t ExternalPowerHoldCountdown;

// Set once the defaults were written (or a saved record was restored).
extern uint8_t ElectricsDefaultsDone;

// Exterior light outputs (0/1), turned into the simulator's light bits by
// the FSUIPC exchange together with the taxi and landing outputs.
extern int32_t ExteriorPanelLights;
extern int32_t ExteriorStrobeLights;
extern int32_t ExteriorNavLights;
extern int32_t ExteriorBeaconLights;
extern int32_t ExteriorNavOrBeaconLights;
extern int32_t ExteriorWingLights;

// Copy (0/1) of the first right-panel lighting switch, the cabin sign that
// the sound scheme chimes on.
extern int32_t CabinSignWord;

// ---------------------------------------------------------------------------
// Routines

// Writes the default values of a cold aircraft: full batteries, both
// inverters on, auxiliary inverter on the right bus, breaker F5 closed,
// caution panels bright. Everything else stays as it is (0 at load).
void ElectricsDefaults();

// Copies the instructor's electrical failures into the failure bytes and
// runs the failure delays.
void ElectricsInstructorInputs();

// The whole electrical computation and caution logic of one tick.
void ElectricalUpdate();

// CountdownTick on a countdown field of the record: when it is above 0 it
// is decremented, RedrawRequest is raised and the result is true.
bool CountdownTick(EI32 counter);

// Copies the record, byte for byte, into `out`. Returns false (and writes
// nothing) unless `size` is exactly the record size.
bool ElectricsSave(uint8_t* out, std::size_t size);

// Replaces the record with a saved one. Returns false and changes nothing
// unless `size` is exactly the record size. A restored record has its
// position words and countdowns brought into range and its non-finite
// floats replaced, and its caution brightness marked for re-synchronising.
bool ElectricsRestore(const uint8_t* data, std::size_t size);

}  // namespace zu
