// The state file: what the simulator sees of the module after (or during) a
// flight, as JSON. See docs/simhost.md for the fields.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace zu::simhost {

class Simulator;
class Scenario;
struct InstructorFailures;

// `scenario` may be null. `instructor_failures` is what the instructor link
// answered at the end of the flight (AskInstructorFailures); null for a state
// file written without asking (during the flight), which says so.
// Writes the state file's text to `out` as it is made, one top-level member
// (and one gauge) at a time.
void WriteStateJson(std::ostream& out, const Simulator& sim, const Scenario* scenario,
                    const InstructorFailures* instructor_failures = nullptr);
std::string BuildStateJson(const Simulator& sim, const Scenario* scenario,
                           const InstructorFailures* instructor_failures = nullptr);
// Writes BuildStateJson to `file` (creating its folder); false with `error`.
bool WriteStateJson(const std::filesystem::path& file, const Simulator& sim,
                    const Scenario* scenario, std::string* error,
                    const InstructorFailures* instructor_failures = nullptr);

}  // namespace zu::simhost
