// Named variables: values the module hands to the simulator's own gauges,
// to the aircraft's visual model and to external lever hardware through the
// host's named-variable services (check, register, set). Twelve variables
// belong to others (the visual model's propeller and wiper animation, the
// lever hardware) and are only looked up; the module registers the rest,
// almost all of them the head-up guidance symbology that a simulator gauge
// draws.
//
// NamedVarsRegister runs once per install from the main gauge's update
// service once the FSUIPC link is up; NamedVarsPublish runs in every host
// pass once the blade-angle locator has found its values.
#pragma once

#include <cstdint>

namespace zu {

// Identifier slots, in registration order. "Hgs fake" is registered into the
// slot that "Hgs mode" then takes over, so it is never set.
enum NamedVarSlot : int {
    kNvProp0Rpm,
    kNvProp1Rpm,
    kNvProp0Pitch,
    kNvProp1Pitch,
    kNvWiperPosition,
    kNvWiperOperating,
    kNvCl1Position,
    kNvCl2Position,
    kNvPl1Position,
    kNvPl2Position,
    kNvControlLockPosition,
    kNvFlapsPosition,
    kNvNoAiii,
    kNvMode,
    kNvIas,
    kNvIasTrend,
    kNvGs,
    kNvVsel,
    kNvAlt,
    kNvRaAlt,
    kNvAltTrend,
    kNvVs,
    kNvAltsel,
    kNvWindDirection,
    kNvWindSpeed,
    kNvWindVectorVisible,
    kNvRollAngle,
    kNvMagHdg,
    kNvSlipSkid,
    kNvPitch,
    kNvPitchCompressionFactor,
    kNvCourseDgr,
    kNvCourseDeviation,
    kNvHeadingselDgr,
    kNvCourseSelConform,
    kNvHeadingSelConform,
    kNvApLateralMode,
    kNvApLateralModeAct,
    kNvApVerticalMode,
    kNvApVerticalModeAct,
    kNvNavSource,
    kNvNavToFromPointer,
    kNvGsPointer,
    kNvDmeReadout,
    kNvZeroLineY,
    kNvGsLineY,
    kNvGsAngle,
    kNvZeroLineGhosted,
    kNvFpsX,
    kNvFpsY,
    kNvFpsGhosted,
    kNvFpsSlipSkidVisible,
    kNvFpsFlareCue,
    kNvFlareCommandY,
    kNvFdCueX,
    kNvFdCueY,
    kNvDhMessage,
    kNvLateralDeviationX,
    kNvLateralDeviationY,
    kNvVerticalDeviationX,
    kNvVerticalDeviationY,
    kNvAccelerationY,
    kNvApproachStatus,
    kNvRunwayElevation,
    kNvEdgePointsVisible,
    kNvEdgeAX,
    kNvEdgeAY,
    kNvEdgeAAngle,
    kNvEdgeALength,
    kNvEdgeBX,
    kNvEdgeBY,
    kNvEdgeBAngle,
    kNvEdgeBLength,
    kNvGroundLocLineX,
    kNvWow,
    kNvIdleMsg,
    kNvApchWarn,
    kNvApTcsAnnunciator,
    kNvIasMax,
    kNvMarker,
    kNvForceImc,
    kNamedVarSlots,
};

inline constexpr int kNamedVarsLookedUp = 12;
inline constexpr const char* kNamedVarFake = "Hgs fake";
// The name of each slot (case-sensitive, as the simulator's gauges use them).
extern const char* const kNamedVarNames[kNamedVarSlots];

// The host's identifier of each variable (unknown ones make the set a no-op).
extern uint32_t NamedVariableIds[kNamedVarSlots];

// Publication state.
extern int32_t NoAiiiBlinkCounter;
extern int32_t RunwayElevationShown;
extern int32_t RunwayElevationTimer;
extern double HgsIasMax;

void NamedVarsRegister();
void NamedVarsPublish();

// The pieces of the publication that are worth checking on their own.
// "HGS ias max" before its 44/7-knot steps.
double HgsIasLimit();
// The angle (radians, 0..2 pi) and length of a runway edge on the screen.
double EdgeAngle(double x1, double y1, double x2, double y2);
double EdgeLength(double x1, double y1, double x2, double y2);

}  // namespace zu
