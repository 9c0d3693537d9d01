// The progress line simhost prints on standard error during a long run: the
// simulated time reached, the speed against the wall clock and when the run
// should end. It starts once the run has taken kProgressAfterSeconds of wall
// time and is redrawn at most once a second; a short run prints nothing.
#pragma once

#include <cstdint>
#include <ostream>

namespace zu::simhost {

inline constexpr double kProgressAfterSeconds = 5.0;

class ProgressLine {
  public:
    // Monotonic wall time in nanoseconds.
    using Clock = int64_t (*)();
    static int64_t SteadyNanos();

    // `flight_seconds`: the simulated length of the run (0: open-ended).
    // `terminal`: the line is rewritten in place (carriage return);
    // otherwise each report is a line of its own.
    ProgressLine(std::ostream& out, double flight_seconds, bool terminal,
                 Clock clock = SteadyNanos);

    // After each frame, with the simulated seconds reached. Allocates
    // nothing: the line is formatted into a buffer of its own.
    void Frame(double simulated_seconds);
    // Ends a line rewritten in place, so what follows starts on a line of
    // its own.
    void Finish();

    uint64_t reports() const { return reports_; }

  private:
    std::ostream& out_;
    double flight_seconds_;
    bool terminal_;
    Clock clock_;
    int64_t start_ns_;
    int64_t next_ns_;
    uint64_t reports_ = 0;
    bool open_line_ = false;
    char line_[160];
};

}  // namespace zu::simhost
