// The state file: what the simulator sees of the module after (or during) a
// flight, as JSON. See docs/simhost.md for the fields.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace zu::simhost {

class Simulator;
class Scenario;

// `scenario` may be null.
// Writes the state file's text to `out` as it is made, one top-level member
// (and one gauge) at a time.
void WriteStateJson(std::ostream& out, const Simulator& sim, const Scenario* scenario);
std::string BuildStateJson(const Simulator& sim, const Scenario* scenario);
// Writes BuildStateJson to `file` (creating its folder); false with `error`.
bool WriteStateJson(const std::filesystem::path& file, const Simulator& sim,
                    const Scenario* scenario, std::string* error);

}  // namespace zu::simhost
