// Air data: the barometric altitudes of both sides (feet), corrected with
// the altimeter settings by the barometric-altitude step.
#pragma once

namespace zu {

extern float BaroAltitude1;
extern float BaroAltitude2;

}  // namespace zu
