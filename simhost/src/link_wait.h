// How long simhost waits for the module's instructor link (the scenario verb
// `instructor`, the state file's failure query): a bound of real time, cut
// short when the run is asked to stop (SIGINT, SIGTERM). Once a stop is
// asked a wait lasts at most kLinkStopGrace more, so that a link that still
// answers is heard and one that never answers does not hold the run.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

namespace zu::simhost {

inline constexpr std::chrono::milliseconds kLinkStopGrace{500};
// Connection attempts are this long at most, so that a stop is seen
// between them.
inline constexpr std::chrono::milliseconds kLinkConnectSlice{500};

class LinkWait {
  public:
    using Clock = std::chrono::steady_clock;

    LinkWait(std::chrono::milliseconds bound, std::function<bool()> stop_requested)
        : deadline_(Clock::now() + bound), stop_requested_(std::move(stop_requested)) {}

    // True once the bound has passed, or the grace after a stop request.
    bool Over() {
        const Clock::time_point now = Clock::now();
        if (!stopped_ && stop_requested_ && stop_requested_()) {
            stopped_ = true;
            deadline_ = std::min(deadline_, now + kLinkStopGrace);
        }
        return now >= deadline_;
    }
    // The wait was cut short by a stop request.
    bool stopped() const { return stopped_; }
    // Time left (0 once over).
    std::chrono::milliseconds Left() {
        if (Over()) return std::chrono::milliseconds(0);
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
    }

  private:
    Clock::time_point deadline_;
    std::function<bool()> stop_requested_;
    bool stopped_ = false;
};

// Connects with `connect` (given a time-out in milliseconds, returning the
// session layer's result) in attempts of at most kLinkConnectSlice until one
// is answered or `wait` is over. An attempt that ends before its time-out
// was answered (accepted or refused) and is returned as it is; one that ran
// out of time is made again. `no_host` is the result of an attempt that
// nothing answered.
inline int32_t ConnectWithin(LinkWait& wait, int32_t no_host,
                             const std::function<int32_t(uint32_t timeout_ms)>& connect) {
    int32_t result = no_host;
    while (!wait.Over()) {
        const std::chrono::milliseconds slice = std::min(wait.Left(), kLinkConnectSlice);
        if (slice.count() <= 0) break;
        const LinkWait::Clock::time_point start = LinkWait::Clock::now();
        result = connect(static_cast<uint32_t>(slice.count()));
        if (result != no_host || LinkWait::Clock::now() - start < slice) return result;
    }
    return result;
}

}  // namespace zu::simhost
