// The state file: what the simulator sees of the module after (or during) a
// flight, as JSON. See docs/simhost.md for the fields.
#pragma once

#include <filesystem>
#include <string>

namespace zu::simhost {

class Simulator;
class Scenario;

// `scenario` may be null.
std::string BuildStateJson(const Simulator& sim, const Scenario* scenario);
// Writes BuildStateJson to `file` (creating its folder); false with `error`.
bool WriteStateJson(const std::filesystem::path& file, const Simulator& sim,
                    const Scenario* scenario, std::string* error);

}  // namespace zu::simhost
