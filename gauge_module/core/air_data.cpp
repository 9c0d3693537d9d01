#include "core/air_data.h"

namespace zu {

int32_t AIRDATA_comp_selected_alt = 0;
int32_t AltimeterShownAltitude1 = 0;
int32_t AltimeterShownAltitude2 = 0;

}  // namespace zu
