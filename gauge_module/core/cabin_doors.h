// The cabin doors: their opening level, ramped every second systems tick,
// and the three door caution lights. The sound scheme reads the level too.
#pragma once

#include <cstdint>

namespace zu {

// Opening level of the cabin doors, 0 (closed) to 100 (open).
extern int32_t DoorOpenLevel;

// One ramp step: the doors open by 10 while the aircraft stands still on
// the ground with both engines stopped and the navigation/beacon selector
// off, and close by 10 otherwise. "PASS DOOR", "BAG DOOR" and
// "SERVICE DOOR" light while the doors are more than half open and the left
// main DC bus is powered.
void DoorRampUpdate();

}  // namespace zu
