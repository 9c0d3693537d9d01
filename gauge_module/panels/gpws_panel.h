// The ground-proximity panel on the glare shield, `GPWS_Panel`: the
// warning lamp with the test button and the below-glideslope lamp with the
// glideslope-cancel button. The ground-proximity logic flashes the lamp
// bytes; the panel shows them. Refresh group 4.
#pragma once

#include <cstdint>

#include "zu/platform/gauge_api.h"

namespace zu {

// Rectangles 1-2: GPWS test, glideslope cancel.
extern gauge::ElementHeader* GPWS_PanelElementList[2];
extern gauge::MouseRect GPWS_PanelMouseRect[];
void GpwsPanelCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t extra);

}  // namespace zu
