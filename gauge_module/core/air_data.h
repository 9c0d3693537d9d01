// Air data: the altitude alerter's selection and the altitudes the two
// altimeters show. The air-data step is not part of the module yet: these
// keep their initial values until it is.
#pragma once

#include <cstdint>

namespace zu {

// Altitude alerter's selected altitude, feet (saved).
extern int32_t AIRDATA_comp_selected_alt;
// The altitude each side's altimeter shows, feet.
extern int32_t AltimeterShownAltitude1;
extern int32_t AltimeterShownAltitude2;

}  // namespace zu
