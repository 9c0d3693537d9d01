#include "core/air_data.h"

namespace zu {

int32_t AdcTestSwitch = 0;
int32_t AdcTestTimer1 = 0;
int32_t AdcTestTimer2 = 0;
int32_t CvrTestTimer = 0;
uint8_t CvrTestReady = 1;
float BaroAltitude1 = 0.0f;
float BaroAltitude2 = 0.0f;

int32_t AIRDATA_comp_selected_alt = 0;
int32_t AltimeterShownAltitude1 = 0;
int32_t AltimeterShownAltitude2 = 0;

}  // namespace zu
