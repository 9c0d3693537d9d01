// The module's 147 gauge headers, in the order of the Linkage record.
//
// Every header carries its gauge's name as the panel configuration refers to
// it, version 800, the seven standard routines and the default width in
// millimetres. A gauge's own element list, mouse rectangles and callback
// live in the file of its panel; to put a gauge into service, include that
// panel's header in gauge_table.cpp and replace the gauge's line
//     MakeGauge("Torque1", 83),
// by
//     MakeGauge("Torque1", 83, Torque1ElementList, Torque1MouseRect, Torque1Callback),
// (any of the three may stay nullptr). Nothing else needs to change.
#pragma once

#include "zu/platform/gauge_api.h"

namespace zu {

extern gauge::GaugeHeader GaugeTable[gauge::kGaugeCount];

// Index of the main gauge in GaugeTable.
inline constexpr int kMaingaugeIndex = 0;

}  // namespace zu
