// The flight data recorder's caution light: "FLT DATA RECORDER" (row 0,
// column 13 of CautionLightArray) lights while the recorder has power and
// is not running — the left essential and left main DC buses powered, the
// FDR panel's test switch released and the navigation/beacon lights off.
#pragma once

namespace zu {

inline constexpr int kFdrCautionIndex = 117;

// One pass of the recorder light (every 4th systems tick).
void FdrUpdate();

}  // namespace zu
