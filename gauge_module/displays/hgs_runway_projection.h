// Head-up runway projection: in the approach mode AIII the head-up display
// lays the outline of the runway over the real one. The outline is built as
// points on the ground from two station positions of the tuned ILS (the
// glideslope transmitter of the selected source and the NAV1 station), then
// projected with a pinhole camera at the aircraft, turned by its heading,
// pitch and bank, into the head-up display's pixel grid
// (HgsRunwayScreenPoints). Both steps run inside HgsUpdate.
//
// Ground frame: x east, y north, z up, in nautical miles. A simulator
// position converts as north = latitude units x 90/10001750 x 60, east =
// longitude units x 360/2^32 x cos(aircraft latitude) x 60, up = metres /
// 1852, so that it matches the aircraft's own distance factors.
#pragma once

#include <cstdint>

#include "displays/head_up_guidance.h"

namespace zu {

// Runway half width and the outline's extent before and beyond the point
// abeam the station, nautical miles.
inline constexpr double kHgsRunwayHalfWidthNm = 0.012;
inline constexpr double kHgsRunwayBeforeNm = 0.1;
inline constexpr double kHgsRunwayBeyondNm = 0.5;
// Size of the projection window, pixels.
inline constexpr double kHgsProjectionSize = 1024.0;

// Five ground points (x, y, z): [0] the centreline point abeam the station,
// [1] left edge near end, [2] left edge far end, [3] right edge far end, [4]
// right edge near end.
extern double HgsRunwayGroundPoints[kHgsRunwayPoints][3];

// Builds the ground points; a source without runway data (glideslope
// latitude 0) leaves the previous ones.
void HgsRunwayOutline();
// Projects the ground points into HgsRunwayScreenPoints; a point the camera
// rejects keeps its previous screen value.
void HgsRunwayProject();

}  // namespace zu
