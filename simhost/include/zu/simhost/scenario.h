// Scenario files: timed commands that the stand-in runs during a flight.
//
// One command per line: `at SECONDS VERB ARGS...`. '#' starts a comment
// (outside double quotes); arguments with blanks are written in double quotes
// ("Stby Altimeter"). Commands run in time order (file order for equal
// times), in the first frame whose simulated time has reached their time,
// after the clock has advanced and before the gauges run.
//
// The verbs live in one table (ScenarioVerbs); a new verb is one entry there:
// a name, a usage line and a parser that turns the arguments into an action.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zu::simhost {

class Simulator;

// What a running scenario reaches: the simulator, the snapshot writer and
// whether the run has been asked to stop.
struct ScenarioContext {
    Simulator& sim;
    // Writes a snapshot under `name`; false with `error` when it cannot.
    std::function<bool(const std::string& name, std::string* error)> snapshot;
    // True once the run is to stop (a stop signal): a command that waits
    // (for the instructor link) gives up soon after.
    std::function<bool()> stop_requested = [] { return false; };
};

// Runs a parsed command. Returns false when the command failed (a failed
// `expect`, a click on a gauge that is not placed, ...); `message` says what
// happened either way (may stay empty on success).
using ScenarioAction = std::function<bool(ScenarioContext& ctx, std::string* message)>;

struct ScenarioVerb {
    std::string name;
    std::string usage;  // "var TOKEN VALUE"
    // Checks the arguments and returns the action; on bad arguments returns
    // an empty action and sets `error`.
    std::function<ScenarioAction(const std::vector<std::string>& args, std::string* error)> parse;
    bool is_check = false;  // a check that never ran counts as a failure
    // The parser sees words given in double quotes with their quotes.
    bool quoted_words = false;
    // Checks, once the aircraft is loaded and before the flight, that what
    // the command names is there (a placed gauge, its rectangle); false with
    // `error`. May be empty.
    std::function<bool(const std::vector<std::string>& args, Simulator& sim, std::string* error)>
        check = nullptr;
};

// The verb table. Extend it in scenario_commands.cpp.
const std::vector<ScenarioVerb>& ScenarioVerbs();

struct ScenarioResult {
    int line = 0;
    double at = 0;
    uint64_t frame = 0;   // frame in which it ran (0: never ran)
    std::string command;  // the command as written (after the time)
    bool ran = false;
    bool ok = true;
    std::string message;
};

class Scenario {
  public:
    // Parses a scenario. False with `error` ("NAME:LINE: ...") on the first
    // bad line.
    static bool Parse(const std::string& text, const std::string& source_name, Scenario* out,
                      std::string* error);
    static bool Load(const std::filesystem::path& file, Scenario* out, std::string* error);

    bool empty() const { return commands_.empty(); }
    // Checks every command against the loaded aircraft (see
    // ScenarioVerb::check): one "NAME:LINE: ..." a problem found, in file
    // order; none when all is there.
    std::vector<std::string> CheckTargets(Simulator& sim) const;
    // The commands timed after `end_seconds`, which a flight of that length
    // never runs: one "NAME:LINE: at T s: COMMAND" each, in file order.
    std::vector<std::string> CommandsAfter(double end_seconds) const;
    // Time of the last command (0 when none).
    double LastTime() const;
    // Runs every command not yet run whose time is at or before `now_seconds`.
    // Returns the results of the commands it ran.
    std::vector<ScenarioResult> RunDue(ScenarioContext& ctx, double now_seconds);
    // Marks the commands that never ran: a check that never ran fails.
    std::vector<ScenarioResult> Finish();

    // Records a failure that no command of the file checked (a crash of
    // the aircraft): it counts as a failed result of line 0.
    void RecordFailure(double at, uint64_t frame, const std::string& what,
                       const std::string& message);

    const std::vector<ScenarioResult>& results() const { return results_; }
    int failures() const;
    const std::string& source_name() const { return source_name_; }

  private:
    struct Command {
        double at = 0;
        bool is_check = false;
        ScenarioAction action;
        std::function<bool(Simulator& sim, std::string* error)> check;
        size_t result = 0;  // index in results_
    };
    std::string source_name_;
    std::vector<Command> commands_;  // sorted by time, file order for equal times
    size_t next_ = 0;
    std::vector<ScenarioResult> results_;  // in file order
};

// Splits a scenario line into words: blanks separate, double quotes group,
// '#' outside quotes ends the line. False with `error` on an open quote.
// With `keep_quotes` a quoted word keeps its double quotes.
bool SplitScenarioWords(const std::string& line, std::vector<std::string>* words,
                        std::string* error, bool keep_quotes = false);

}  // namespace zu::simhost
