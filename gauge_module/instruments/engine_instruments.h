// The eighteen engine indicators of the centre panel: torque, propeller
// speed, Nh, NL, ITT and fuel flow per engine (each with a needle, a digital
// readout and a press-to-test button), the oil temperature and pressure
// dial per engine, the two fuel-quantity indicators, and the fuel-tank and
// fuel temperature indicators.
//
// Each needle computes its displayed value from the engine state in a fixed
// order (normal reading, failures, test, power loss, the instructor's remote
// display; later steps override earlier ones), stores it for the readout and
// for the other systems, and returns the needle angle. The dials show lit or
// unlit copies of their faces and needles by the engine-instrument panel
// lighting (PanelLightingCircuit2). All gauges use refresh group 2.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// The indicators; the first twelve have test buttons and are also the
// indices of EngineTestCountdown.
enum EngineIndicator : int32_t {
    kTorque1Indicator,
    kTorque2Indicator,
    kRpm1Indicator,
    kRpm2Indicator,
    kNh1Indicator,
    kNh2Indicator,
    kNl1Indicator,
    kNl2Indicator,
    kItt1Indicator,
    kItt2Indicator,
    kFf1Indicator,
    kFf2Indicator,
    kOil1Indicator,
    kOil2Indicator,
    kFuelQty1Indicator,
    kFuelQty2Indicator,
    kFuelTankTempIndicator,
    kFuelTempIndicator,
    kEngineIndicatorCount,
};
inline constexpr int32_t kEngineTestCount = 12;

// What a test-button click loads into its indicator's test countdown. The
// gauge callback and the needle both count it down, so a test shows for
// about half as many frames.
inline constexpr int32_t kEngineTestLoad = 55;

// Values shown while an indicator is tested.
inline constexpr float kTorqueTestValue = 3419.0f;
inline constexpr float kAutofeatherTestTorque = 2009.218f;
inline constexpr float kRpmTestValue = 1050.0f;
inline constexpr float kNhTestValue = 105.0f;
inline constexpr float kNlTestValue = 1050.0f;
inline constexpr float kIttTestValue = 1050.0f;
inline constexpr float kFuelFlowTestValue = 1050.0f;
inline constexpr float kFuelQtyTestValue = 444.0f;

// Over-limit lamps: torque and ITT displayed above these.
inline constexpr float kTorqueOverLimit = 3410.0f;
inline constexpr float kIttOverLimit = 800.0f;

// ---------------------------------------------------------------------------
// Module state

// Test countdown per indicator with a test button.
extern int32_t EngineTestCountdown[kEngineTestCount];
// Test countdown of both fuel-quantity indicators (loaded by the fuel panel).
extern int32_t FuelQtyTestCountdown;

// Displayed values per engine (needle and readout show them).
extern float TorqueDisplay[2];
extern float PropRpmDisplay[2];
extern float NhDisplay[2];
extern float NlDisplay[2];
extern float IttDisplay[2];
// ITT: the raw value of the last computation and the needle's call counter
// (a new raw value is computed on odd calls only).
extern float IttRaw[2];
extern int32_t IttCallCount[2];

// Published: displayed fuel flow per engine (read by the flight management
// system), displayed fuel quantity per tank, oil temperature and pressure
// per engine (the caution logic reads the pressure), fuel-tank temperature.
extern float FuelFlowValue[2];
extern float EngineDisplayValue[2];
extern float OilTempDisplay[2];
extern float OilPressDisplay[2];
extern float FuelTankTempDisplay;

// Header of each indicator's last serviced instance.
extern gauge::GaugeHeader* EngineGaugeHeader[kEngineIndicatorCount];

// ---------------------------------------------------------------------------
// Gauge table entries: element list, mouse rectangles and gauge callback of
// each indicator (indicators without a test button have no rectangles).

extern gauge::ElementHeader* Torque1ElementList[2];
extern gauge::ElementHeader* Torque2ElementList[2];
extern gauge::ElementHeader* Rpm1ElementList[2];
extern gauge::ElementHeader* Rpm2ElementList[2];
extern gauge::ElementHeader* Nh1ElementList[2];
extern gauge::ElementHeader* Nh2ElementList[2];
extern gauge::ElementHeader* NL1ElementList[2];
extern gauge::ElementHeader* NL2ElementList[2];
extern gauge::ElementHeader* Itt1ElementList[2];
extern gauge::ElementHeader* Itt2ElementList[2];
extern gauge::ElementHeader* ff1ElementList[2];
extern gauge::ElementHeader* ff2ElementList[2];
extern gauge::ElementHeader* Oil1ElementList[2];
extern gauge::ElementHeader* Oil2ElementList[2];
extern gauge::ElementHeader* F_QTY1ElementList[2];
extern gauge::ElementHeader* F_QTY2ElementList[2];
extern gauge::ElementHeader* F_TANK_TEMPElementList[2];
extern gauge::ElementHeader* F_TEMPElementList[2];

extern gauge::MouseRect Torque1MouseRect[3];
extern gauge::MouseRect Torque2MouseRect[3];
extern gauge::MouseRect Rpm1MouseRect[3];
extern gauge::MouseRect Rpm2MouseRect[3];
extern gauge::MouseRect Nh1MouseRect[3];
extern gauge::MouseRect Nh2MouseRect[3];
extern gauge::MouseRect NL1MouseRect[3];
extern gauge::MouseRect NL2MouseRect[3];
extern gauge::MouseRect Itt1MouseRect[3];
extern gauge::MouseRect Itt2MouseRect[3];
extern gauge::MouseRect ff1MouseRect[3];
extern gauge::MouseRect ff2MouseRect[3];

void Torque1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Torque2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Rpm1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Rpm2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Nh1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Nh2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void NL1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void NL2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Itt1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Itt2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void ff1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void ff2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Oil1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void Oil2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void F_QTY1Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void F_QTY2Callback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void F_TANK_TEMPCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);
void F_TEMPCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
