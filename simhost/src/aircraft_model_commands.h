// Scenario verbs of the stand-in's aircraft model (pilot controls, pause,
// position, traffic and weather); see aircraft_model_commands.cpp.
#pragma once

#include <vector>

#include "zu/simhost/scenario.h"

namespace zu::simhost {

std::vector<ScenarioVerb> AircraftModelVerbs();

}  // namespace zu::simhost
