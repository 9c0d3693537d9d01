// Network sessions for the instructor link: one host (the gauge module) and
// any number of clients (instructor panels) over TCP.
//
// Wire protocol (fixed; see docs/instructor-link.md):
//   * every frame is a u32 little-endian byte count (0..8192) followed by
//     that many bytes; a frame of 0 bytes is a keep-alive, which only a
//     client sends and the host never hands to its handler;
//   * the client's first frame is its connect request: the 16-byte
//     application identifier (kInstructorAppId), optionally followed by the
//     name of the session it looks for (1..128 bytes); without a name the
//     host is found by the identifier alone;
//   * the host answers with one frame: i32 result (0 accepted, negative
//     refused) and u32 player id (8 bytes); to a request that named the
//     session, accepted, a u8 length and the host's server name follow; a
//     refused client is disconnected;
//   * after that each frame of 1..8192 bytes is one application message.
// A malformed frame closes that connection only.
//
// Each side receives on a worker thread of its own and calls the handler
// there; handlers must copy what they keep (the data pointer is valid for the
// call only). Sending may be called from any thread: the frame is copied and
// written by the worker, in the order of the calls. Close must not be called
// from a handler. A client's handler gets player 0 (the host) with its
// messages.
//
// Bounds (SessionLimits, host side): a connection that has not completed
// the connect request within the handshake time is closed, and so is an
// accepted one whose frame, once begun, is not complete within that time; a
// connection beyond the cap of simultaneous connections is closed as soon as
// it is accepted, unless an accepted peer has been silent long enough to be
// closed to make room for it; each connection's send queue has a fixed
// size, and a frame that does not fit is dropped (kSessionBusy) and counted
// for that peer. A client sends a keep-alive when it has sent nothing for a
// while, so a live panel is never taken for a silent one. Memory of a
// connection is freed when it closes. Sending allocates nothing: the queues
// are allocated when a connection is accepted. A host's sender may queue a
// burst of frames (QueueTo) and wake the worker once (Flush). The bounds'
// times are measured on the session clock (session_clock.h), which tests
// advance.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zu::platform {

using AppId = std::array<uint8_t, 16>;

// {1AD4CA3B-AC68-4D9B-9522-BE59CD485276}: first field u32 little-endian, two
// u16 little-endian, then the last eight bytes as written.
inline constexpr AppId kInstructorAppId = {0x3B, 0xCA, 0xD4, 0x1A, 0x68, 0xAC, 0x9B, 0x4D,
                                           0x95, 0x22, 0xBE, 0x59, 0xCD, 0x48, 0x52, 0x76};

inline constexpr uint32_t kMaxFrameBytes = 8192;
// Longest session or server name; longer ones are cut.
inline constexpr size_t kMaxSessionNameBytes = 128;
using PlayerId = uint32_t;

// Results (negative: failure), after the fashion of COM result codes.
inline constexpr int32_t kSessionOk = 0;
inline constexpr int32_t kSessionRefused = -1;
inline constexpr int32_t kSessionNoHost = -2;  // nothing answered at that address
inline constexpr int32_t kSessionBadArgument = -3;
inline constexpr int32_t kSessionNotConnected = -4;
inline constexpr int32_t kSessionAddressInUse = -5;
inline constexpr int32_t kSessionBusy = -6;  // the peer has stopped reading; frame dropped

enum class SessionEvent { Connected, Message, Disconnected };

// Why a client's connection ended (SessionClient::EndReason).
enum class SessionEnd {
    None,            // still connected, never connected, or closed by this side
    Closed,          // the host closed the connection between two frames
    ClosedMidFrame,  // the host closed it in the middle of a frame
    BadFrame,        // the host sent a length outside 1..8192
};

// A session's bounds against idle, slow or hostile peers. The host uses all
// but keepalive_ms; a client uses keepalive_ms and send_queue_bytes.
struct SessionLimits {
    // Simultaneous connections, accepted or still in their handshake; one
    // more is closed at once unless a silent peer makes room for it.
    size_t max_connections = 64;
    // Time from the TCP accept to a complete connect request; and, for an
    // accepted peer, from the first byte of a frame to its last.
    uint32_t handshake_timeout_ms = 10000;
    // With every connection taken, a newcomer closes the accepted peer that
    // has sent nothing for the longest time, when that is at least this
    // long; otherwise the newcomer is closed. 0: never.
    uint32_t silent_peer_ms = 30000;
    // Bytes (frames with their 4-byte headers) that may wait for one peer;
    // a frame that does not fit is dropped.
    size_t send_queue_bytes = 64 * 1024;
    // Client: a keep-alive goes out when nothing was sent for this long (it
    // counts as sending, so never more often). 0: none.
    uint32_t keepalive_ms = 10000;
};

// What a host calls its session, and itself (each at most
// kMaxSessionNameBytes; bytes as given).
struct SessionDescription {
    std::string session_name;
    std::string server_name;
};

// One accepted peer of a host.
struct SessionPeerStats {
    PlayerId player = 0;
    uint64_t frames_sent = 0;       // queued for writing
    uint64_t frames_dropped = 0;    // refused because the peer's queue was full
    uint64_t frames_received = 0;   // messages handed to the handler
    uint64_t received_dropped = 0;  // of those, dropped by the host's owner (NoteReceivedDropped)
    uint64_t keepalives = 0;        // keep-alives received (never handed to the handler)
    bool mid_frame = false;         // a frame has begun and is not complete yet
};

// A host's counters since its last Host call, read from any thread.
struct SessionHostStats {
    uint16_t port = 0;
    size_t connections = 0;           // open now, handshakes included
    uint64_t connections_served = 0;  // peers accepted in all
    uint64_t closed_over_cap = 0;     // connections closed at once by the cap
    uint64_t handshake_timeouts = 0;  // connections closed for a late connect request
    uint64_t frame_timeouts = 0;      // accepted peers closed for a frame left unfinished
    uint64_t closed_silent = 0;       // silent peers closed to make room for a newcomer
    uint64_t frames_dropped = 0;      // by every peer so far, departed ones included
    uint64_t received_dropped = 0;    // likewise, messages the owner dropped
    uint64_t frames_received = 0;     // messages handed to the handler (it had returned)
    std::string session_name;         // as given to Host
    std::string server_name;
    std::vector<SessionPeerStats> peers;  // accepted peers, by player id
    // 0 while hosting; for a hosting that has ended, its number among the
    // hostings of this process that ended (1 for the first).
    uint64_t ended = 0;
};

// Host side. The handler sees Connected (a client was accepted), Message (a
// frame from that player) and Disconnected.
class SessionHost {
  public:
    using Handler =
        std::function<void(SessionEvent event, PlayerId player, const uint8_t* data, size_t size)>;

    virtual ~SessionHost() = default;
    // Listens on all IPv4 addresses at `port`; returns kSessionOk or a failure.
    virtual int32_t Host(uint16_t port, const AppId& app, Handler handler,
                         const SessionLimits& limits = {},
                         const SessionDescription& description = {}) = 0;
    // Sends one frame to one player (0 < size <= kMaxFrameBytes).
    virtual int32_t SendTo(PlayerId player, const void* data, size_t size) = 0;
    // As SendTo (same queue, order, bound, results and counters), but the
    // worker is not woken: the frame waits in the player's send queue until
    // the next Flush, unless a write to that player is in flight and takes
    // it along. For a thread that sends a burst of frames: waking the worker
    // is a system call, and a worker woken per frame contends with the
    // sender for every queue.
    virtual int32_t QueueTo(PlayerId player, const void* data, size_t size) = 0;
    // Wakes the worker once to write what QueueTo left waiting, for every
    // player. Any thread; allocates nothing.
    virtual void Flush() = 0;
    // The handler could not take a message of `player` (its owner keeps a
    // bounded queue): counted for that peer. Any thread; allocates nothing.
    virtual void NoteReceivedDropped(PlayerId player) = 0;
    // Stops listening, closes every connection and joins the worker; safe to
    // call twice. The port is free again when it returns.
    virtual void Close() = 0;
    virtual size_t PlayerCount() const = 0;
    // Counters; not for the sending thread's hot path (it allocates).
    virtual SessionHostStats Stats() const = 0;
};

// Client side. The handler sees Message and Disconnected (the host went away).
class SessionClient {
  public:
    using Handler =
        std::function<void(SessionEvent event, PlayerId player, const uint8_t* data, size_t size)>;

    virtual ~SessionClient() = default;
    // Connects and waits for the host's answer (at most `timeout_ms`):
    // kSessionOk, kSessionRefused (refused, or closed before answering, as a
    // host at its connection cap does) or kSessionNoHost (nothing answered).
    // With a `session_name` only a host whose session has that name accepts;
    // without one (as the instructor panel connects) any host with the
    // application identifier does.
    virtual int32_t Connect(const std::string& host, uint16_t port, const AppId& app,
                            Handler handler, uint32_t timeout_ms = 5000,
                            const SessionLimits& limits = {},
                            const std::string& session_name = {}) = 0;
    virtual int32_t Send(const void* data, size_t size) = 0;
    // Closes the connection and joins the worker; safe to call twice.
    virtual void Close() = 0;
    virtual bool IsConnected() const = 0;
    // The host's server name, when the connect named the session (else empty).
    virtual std::string ServerName() const = 0;
    // Why the connection ended, once the Disconnected event has come (it is
    // set before the handler sees the event).
    virtual SessionEnd EndReason() const = 0;
};

std::unique_ptr<SessionHost> CreateSessionHost();
std::unique_ptr<SessionClient> CreateSessionClient();

// The counters of every host of this process that is hosting now (the
// module's link among them), ordered by port: what the simulator stand-in
// reports without knowing the module's objects.
std::vector<SessionHostStats> HostedSessions();

// The last counters of the hostings of this process that have ended (each
// Close of a hosting host, and a host destroyed while hosting), oldest
// first: the last kEndedSessionsKept of them. Taken when the hosting ends;
// `peers` are those connected at that moment, `connections` is 0.
inline constexpr size_t kEndedSessionsKept = 64;
std::vector<SessionHostStats> EndedSessions();
// The number of hostings ended so far in this process.
uint64_t EndedSessionsTotal();

// Every Host call of this process that tried to listen, with its port and
// result (kSessionOk, kSessionAddressInUse, ...), so that the program
// hosting a component can tell the user what became of its port: the last
// kHostingAttemptsKept, oldest first, and how many there were in all (a
// cheap check for new ones).
struct HostingAttempt {
    uint16_t port = 0;
    int32_t result = kSessionOk;
};
inline constexpr size_t kHostingAttemptsKept = 64;
// `total` (when given) receives the count in all that goes with the list.
std::vector<HostingAttempt> HostingAttempts(uint64_t* total = nullptr);
uint64_t HostingAttemptsTotal();
// The simulator stand-in's choice: every later Host listens on `port`
// instead of the port it asks for (0: a free port the system picks; the
// port is then read from HostedSessions), so flights run side by side never
// share the module's fixed port; -1 restores the asked-for port.
void SetSessionHostPort(int32_t port);

// Connection objects of this process (hosts and clients) not yet freed; a
// closed connection's memory is returned once its last operation ends.
size_t SessionConnectionsAlive();

}  // namespace zu::platform
