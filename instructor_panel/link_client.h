// The panel's connection to the gauge module's instructor-link server:
// connects by host name or address to port 2660 with the instructor
// application identifier, sends whole messages and hands every received
// message to the owner.
//
// Messages arrive on the session's own worker thread. The owner's callback
// must copy what it needs and pass it on to its own thread; each event
// carries the number of the connection it came from, so events that were on
// their way when a connection closed can be told apart from a newer one's.
// The session keeps the connection alive while the panel sends nothing (a
// page that polls nothing), so the server never takes it for a silent peer.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net_logic.h"
#include "zu/platform/net_session.h"

namespace rizezo {

inline constexpr uint16_t kInstructorPort = 2660;
inline constexpr uint32_t kConnectTimeoutMs = 5000;

class LinkClient final : public MessageTransport {
  public:
    enum class EventKind { Message, Disconnected };
    struct Event {
        uint64_t connection;  // the Connection() the event belongs to
        EventKind kind;
        std::vector<uint8_t> payload;
        // Disconnected: how the server ended the connection.
        zu::platform::SessionEnd end = zu::platform::SessionEnd::None;
    };
    // Called on the session's worker thread.
    using EventSink = std::function<void(Event event)>;

    explicit LinkClient(EventSink sink);
    ~LinkClient() override;
    LinkClient(const LinkClient&) = delete;
    LinkClient& operator=(const LinkClient&) = delete;

    // Closes any previous connection, then connects and waits for the
    // server's answer (at most `timeout_ms`). Returns 0 or a negative
    // failure code.
    int32_t ConnectToHost(const std::string& host, uint16_t port = kInstructorPort,
                          uint32_t timeout_ms = kConnectTimeoutMs);
    // Closes the connection and releases it; safe to call at any time, twice,
    // and after a failed connect.
    void Disconnect();
    // Sends one whole message; non-zero when it could not be sent.
    int32_t Send(const void* data, size_t size) override;

    // The number of the current connection; changes on every connect and
    // disconnect, so older events no longer match.
    uint64_t Connection() const { return connection_.load(std::memory_order_acquire); }

  private:
    EventSink sink_;
    std::unique_ptr<zu::platform::SessionClient> session_;
    std::atomic<uint64_t> connection_{0};
};

}  // namespace rizezo
