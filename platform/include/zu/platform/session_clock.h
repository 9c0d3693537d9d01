// The clock of the network sessions' time bounds (net_session.h): a
// connection's handshake time, the time a frame once begun has to be
// complete, a peer's silence and a client's keep-alive interval all run on it.
//
// It reads as the steady clock plus whatever tests have advanced it by. A
// process that never advances it (every program) has the steady clock and
// nothing else: no thread, no extra wake-up. A test advances it to reach a
// bound of seconds at once, so what the test asserts follows from the
// advances and not from how fast the machine is. Real time keeps counting
// as well, so the clock only ever moves forward.
#pragma once

#include <chrono>

namespace zu::platform {

// A steady clock type, usable wherever the standard clocks are.
struct SessionClock {
    using duration = std::chrono::steady_clock::duration;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<SessionClock>;
    static constexpr bool is_steady = true;
    static time_point now() noexcept;
};

// Moves the session clock forward by `by` and returns once every session of
// this process (host or client, connected or in its handshake) has acted on
// the new time: a connection overdue with its connect request or with a
// frame is closed, its socket shut and the host's counters and Disconnected
// handler call made; a keep-alive that has fallen due is handed to the
// system. Any thread but a session's own (its handlers). Returns false,
// with the clock moved all the same, when called from a session's handler
// (no session is waited for) or when some session has not acted within 10 s
// of real time (a handler that blocks). A negative `by` is refused (false,
// nothing moves).
bool AdvanceSessionClock(std::chrono::milliseconds by);

}  // namespace zu::platform
