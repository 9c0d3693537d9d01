// What the instructor has failed, as the module's instructor link tells it.
//
// simhost cannot read the module's instructor tables (the module is a shared
// library behind the gauge table), so it asks the way the instructor panel
// does: it connects to the link, sends the panel's data request for every
// system group and decodes the states of the replies. It does so once, at
// the end of a flight, while the gauges (and with them the link) still live.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zu::simhost {

// One state of a group's instructor table that holds a failure.
struct InstructorFailure {
    uint16_t group = 0;
    int index = 0;
    std::string name;                   // empty where the link's shared header names none
    int32_t state = 0;                  // as the reply carried it (nonzero)
    std::vector<std::string> failures;  // the failure codes set in `state`, by name
};

struct InstructorFailures {
    // Every group answered: its failure states that are set, by group then
    // index (empty: no failure). Unset when the answer is not known, with
    // `unknown` saying why.
    std::optional<std::vector<InstructorFailure>> active;
    std::string unknown;
};

// Asks the link the module hosts (the first network session hosted in this
// process). On the lockstep clock the module's clock is moved on after the
// last frame, a millisecond at a time, to the systems tick that answers (at
// most kInstructorAskMaxMs; the flight's frames and ticks do not count it);
// on the real clock the tick runs by itself. The network is waited for at
// most a few seconds of real time; once `stop_requested` (may be empty)
// says the run is to stop, at most half a second more (the failures are
// then unknown unless the link answered in that time).
InstructorFailures AskInstructorFailures(const std::function<bool()>& stop_requested = {});
inline constexpr uint64_t kInstructorAskMaxMs = 256;

}  // namespace zu::simhost
