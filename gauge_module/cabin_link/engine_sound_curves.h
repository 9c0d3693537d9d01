// Curves of the engine and propeller sound mixer: one table of 8-point
// TableLookup8 curves (x values ascending, then y values). Volumes are the
// product of the curves a sound lists and its scale, and come out in the
// 0..4995 range of PlaySoundObject; frequencies are in Hz.
//
// Inputs: Nh in percent, the sound rpm R, the filtered blade angle in
// degrees (about -10 in reverse, 20 in fine pitch, 80 feathered), indicated
// airspeed in knots, the load factor 0..1, the propeller-speed command in
// rpm and the power lever 128 (full reverse) .. 24000.
#pragma once

namespace zu {

enum EngineSoundCurve : int {
    kCurveStepR1,        // rpm step of R per tick against R, engine 1
    kCurveStepR2,        // engine 2
    kCurveOffsetCmd1,    // rpm offset of R's target against the command, engine 1
    kCurveOffsetCmd2,    // engine 2
    kCurveLoadBlade,     // load numerator against the blade angle
    kCurveN1Nh,          // N1 level against Nh
    kCurveN1R,           // against R
    kCurveN1Load,        // against the load
    kCurveN1Blade,       // N1 sound volume against the blade angle
    kCurveN1Frequency,   // N1 sound frequency against Nh
    kCurveFeatherNh,     // feathered-propeller hum against Nh
    kCurveFeatherR,      // against R
    kCurveFeatherBlade,  // against the blade angle
    kCurveFeatherFreq,   // its frequency against R
    kCurveGroundBlade,   // ground idle (prop_minus3_800_ground) against the blade angle
    kCurveGroundR,       // against R
    kCurveGroundIas,     // against airspeed
    kCurveGroundLoad,    // against the load
    kCurveLowBlade,      // low-speed flight (prop_1050_low_flight) against the blade angle
    kCurveLowR,          // against R
    kCurveLowCmd,        // against the command
    kCurveLowLoad,       // against the load
    kCurveReverseBlade,  // reverse (prop_minus3_reverse_ground) against the blade angle
    kCurveReverseLever,  // against the power lever (carries the scale)
    kCurveReverseR,      // against R
    kCurveReverseIas,    // against airspeed
    kCurveReverseLoad,   // against the load
    kCurveReverseFreq,   // its frequency against R
    kCurveHighGrBlade,   // high-speed ground (prop_1200_high_ground) against the blade angle
    kCurveHighGrR,       // against R (carries the scale)
    kCurveHighGrCmd,     // against the command
    kCurveHighGrLoad,    // against the load
    kCurveHighFlBlade,   // high-speed flight (prop_1200_high_flight) against the blade angle
    kCurveHighFlR,       // against R (carries the scale)
    kCurveHighFlCmd,     // against the command
    kCurveHighFlLoad,    // against the load
    kCurveHighFlFreq,    // its frequency against R
    kCurveSplitRate,     // split ground sound against the blade-angle rate (degrees per tick)
    kCurveSplitR,        // against R
    kCurveSplitLever,    // against the power lever (carries the scale, up to 10000)
    kEngineSoundCurveCount
};

// clang-format off
inline constexpr float kEngineSoundCurves[kEngineSoundCurveCount][16] = {
    // kCurveStepR1, kCurveStepR2
    {0, 875, 900, 1000, 1100, 1200, 1250, 1300,   2, 2, 3, 4, 5, 6, 7, 8},
    {0, 875, 900, 1000, 1100, 1200, 1250, 1300,   2, 2, 3, 4, 5, 6, 6, 7},
    // kCurveOffsetCmd1, kCurveOffsetCmd2
    {0, 800, 900, 1000, 1100, 1200, 1250, 1300,   0, 0, 0, 0, 0, 0, 0, 0},
    {0, 800, 900, 1000, 1100, 1200, 1250, 1300,   6, 6, 6, 6, 6, 6, 6, 6},
    // kCurveLoadBlade
    {-15, -5, 0, 10, 20, 30, 45, 80,   1.5f, 0.6f, 0.2f, 0.3f, 0.8f, 1.6f, 2.5f, 0},
    // kCurveN1Nh, kCurveN1R, kCurveN1Load
    {0, 10, 20, 40, 60, 80, 100, 110,   0, 0.15f, 0.3f, 0.5f, 0.7f, 0.9f, 1, 1},
    {0, 200, 400, 600, 800, 1000, 1200, 1300,   0.6f, 0.65f, 0.7f, 0.75f, 0.8f, 0.9f, 1, 1},
    {0, 0.2f, 0.4f, 0.6f, 0.8f, 1, 1, 1,   0.7f, 0.75f, 0.8f, 0.9f, 0.95f, 1, 1, 1},
    // kCurveN1Blade, kCurveN1Frequency
    {-15, 0, 10, 20, 40, 60, 80, 90,   0.5f, 0.5f, 0.5f, 0.48f, 0.45f, 0.42f, 0.4f, 0.4f},
    {0, 10, 20, 40, 60, 80, 100, 110,   8000, 9000, 11000, 14000, 17000, 20500, 24000, 25000},
    // kCurveFeatherNh, kCurveFeatherR, kCurveFeatherBlade, kCurveFeatherFreq
    {0, 10, 30, 50, 60, 70, 80, 100,   0, 0.1f, 0.3f, 0.5f, 0.6f, 0.65f, 0.7f, 0.7f},
    {0, 100, 300, 500, 700, 800, 900, 1300,   0, 0.3f, 0.6f, 0.8f, 1, 0.8f, 0.4f, 0},
    {0, 30, 50, 60, 70, 75, 80, 90,   0, 0, 0.2f, 0.5f, 0.8f, 0.95f, 1, 1},
    {0, 100, 300, 500, 700, 900, 1100, 1300,   11025, 12000, 14000, 16000, 18000, 20000, 22050, 24000},
    // kCurveGroundBlade, kCurveGroundR, kCurveGroundIas, kCurveGroundLoad
    {-15, -5, 0, 10, 20, 30, 40, 90,   0.2f, 0.6f, 1, 1, 0.7f, 0.3f, 0, 0},
    {0, 200, 400, 600, 800, 900, 1000, 1300,   0, 0.3f, 0.6f, 0.8f, 1, 0.7f, 0.3f, 0},
    {0, 20, 40, 60, 80, 100, 120, 250,   1, 1, 0.9f, 0.7f, 0.5f, 0.3f, 0.2f, 0.2f},
    {0, 0.2f, 0.4f, 0.6f, 0.8f, 1, 1, 1,   0.8f, 0.85f, 0.9f, 0.95f, 1, 1, 1, 1},
    // kCurveLowBlade, kCurveLowR, kCurveLowCmd, kCurveLowLoad
    {-15, 0, 10, 20, 30, 40, 50, 90,   0, 0, 0.3f, 0.8f, 1, 0.8f, 0.3f, 0},
    {0, 600, 800, 900, 1000, 1100, 1200, 1300,   0, 0, 0.3f, 0.7f, 1, 0.9f, 0.6f, 0.4f},
    {0, 800, 900, 1000, 1050, 1100, 1200, 1300,   0.6f, 0.6f, 0.8f, 1, 1, 0.8f, 0.6f, 0.6f},
    {0, 0.2f, 0.4f, 0.6f, 0.8f, 1, 1, 1,   0.4f, 0.5f, 0.6f, 0.75f, 0.9f, 1, 1, 1},
    // kCurveReverseBlade, kCurveReverseLever, kCurveReverseR, kCurveReverseIas,
    // kCurveReverseLoad, kCurveReverseFreq
    {-20, -10, -5, 0, 5, 10, 20, 90,   1, 1, 0.8f, 0.4f, 0, 0, 0, 0},
    {128, 1000, 2000, 3000, 5000, 8000, 12000, 24000,   4500, 4000, 3000, 1500, 0, 0, 0, 0},
    {0, 200, 400, 600, 800, 1000, 1200, 1300,   0, 0.3f, 0.5f, 0.7f, 0.85f, 1, 1, 1},
    {0, 20, 40, 60, 80, 100, 120, 250,   1, 1, 1, 0.9f, 0.8f, 0.7f, 0.6f, 0.6f},
    {0, 0.2f, 0.4f, 0.6f, 0.8f, 1, 1, 1,   0.8f, 0.85f, 0.9f, 0.95f, 1, 1, 1, 1},
    {0, 200, 400, 600, 800, 1000, 1200, 1300,   12000, 13500, 15000, 16500, 18000, 20000, 22050, 23000},
    // kCurveHighGrBlade, kCurveHighGrR, kCurveHighGrCmd, kCurveHighGrLoad
    {-15, 0, 10, 20, 30, 40, 60, 90,   0, 0.2f, 0.6f, 1, 1, 0.8f, 0.3f, 0},
    {0, 800, 900, 1000, 1100, 1150, 1200, 1300,   0, 0, 1000, 2500, 3800, 4300, 4600, 4600},
    {0, 900, 1000, 1100, 1150, 1200, 1250, 1300,   0.5f, 0.5f, 0.7f, 0.9f, 1, 1, 1, 1},
    {0, 0.2f, 0.4f, 0.6f, 0.8f, 1, 1, 1,   0.9f, 0.9f, 0.95f, 1, 1, 1, 1, 1},
    // kCurveHighFlBlade, kCurveHighFlR, kCurveHighFlCmd, kCurveHighFlLoad, kCurveHighFlFreq
    {-15, 0, 10, 20, 30, 40, 60, 90,   0, 0, 0.3f, 0.7f, 1, 1, 0.6f, 0},
    {0, 800, 900, 1000, 1100, 1150, 1200, 1300,   0, 0, 800, 2000, 3200, 4000, 4500, 4500},
    {0, 900, 1000, 1100, 1150, 1200, 1250, 1300,   0.5f, 0.5f, 0.7f, 0.9f, 1, 1, 1, 1},
    {0, 0.2f, 0.4f, 0.6f, 0.8f, 1, 1, 1,   0.5f, 0.6f, 0.7f, 0.85f, 0.95f, 1, 1, 1},
    {0, 800, 900, 1000, 1100, 1200, 1250, 1300,   15000, 15000, 16500, 18000, 19500, 21000, 22050, 23000},
    // kCurveSplitRate, kCurveSplitR, kCurveSplitLever
    {0, 0.25f, 0.5f, 1, 2, 4, 8, 16,   1, 1.05f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.5f},
    {0, 300, 500, 700, 800, 900, 1000, 1300,   0, 0.4f, 0.7f, 0.9f, 1, 0.9f, 0.7f, 0.5f},
    {128, 3000, 6000, 9000, 12000, 16000, 20000, 24000,   4000, 3000, 3500, 4500, 5500, 6000, 6500, 6500},
};
// clang-format on

}  // namespace zu
