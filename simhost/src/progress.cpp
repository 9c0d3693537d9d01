// The progress line (see progress.h).
#include "zu/simhost/progress.h"

#include <chrono>
#include <cstdio>

namespace zu::simhost {
namespace {

constexpr int64_t kNanos = 1000000000;

}  // namespace

int64_t ProgressLine::SteadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ProgressLine::ProgressLine(std::ostream& out, double flight_seconds, bool terminal, Clock clock)
    : out_(out),
      flight_seconds_(flight_seconds),
      terminal_(terminal),
      clock_(clock),
      start_ns_(clock()),
      next_ns_(start_ns_ + static_cast<int64_t>(kProgressAfterSeconds * kNanos)) {
    line_[0] = '\0';
}

void ProgressLine::Frame(double simulated_seconds) {
    const int64_t now = clock_();
    if (now < next_ns_) return;
    next_ns_ = now + kNanos;
    const double wall = static_cast<double>(now - start_ns_) / kNanos;
    const double speed = wall > 0 ? simulated_seconds / wall : 0;
    int n = 0;
    if (flight_seconds_ > 0) {
        const double left =
            flight_seconds_ > simulated_seconds ? flight_seconds_ - simulated_seconds : 0.0;
        const double eta = speed > 0 ? left / speed : 0;
        n = std::snprintf(line_, sizeof line_,
                          "%ssimhost: simulated %.0f s of %.0f s (%.0f %%), %.1fx real time, "
                          "ends in about %.0f s%s",
                          terminal_ ? "\r" : "", simulated_seconds, flight_seconds_,
                          100.0 * simulated_seconds / flight_seconds_, speed, eta,
                          terminal_ ? "   " : "\n");
    } else {
        n = std::snprintf(line_, sizeof line_, "%ssimhost: simulated %.0f s, %.1fx real time%s",
                          terminal_ ? "\r" : "", simulated_seconds, speed,
                          terminal_ ? "   " : "\n");
    }
    if (n <= 0) return;
    out_.write(line_, n < static_cast<int>(sizeof line_) ? n : static_cast<int>(sizeof line_) - 1);
    out_.flush();
    open_line_ = terminal_;
    ++reports_;
}

void ProgressLine::Finish() {
    if (!open_line_) return;
    out_.put('\n');
    out_.flush();
    open_line_ = false;
}

}  // namespace zu::simhost
