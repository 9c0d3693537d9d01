#include "link_client.h"

#include <utility>

#include "zu/platform/net_session.h"

namespace rizezo {

LinkClient::LinkClient(EventSink sink) : sink_(std::move(sink)) {}

LinkClient::~LinkClient() {
    Disconnect();
}

int32_t LinkClient::ConnectToHost(const std::string& host, uint16_t port, uint32_t timeout_ms) {
    Disconnect();  // never two connections, never a leaked one
    const uint64_t connection = connection_.fetch_add(1, std::memory_order_acq_rel) + 1;
    session_ = zu::platform::CreateSessionClient();
    // The session outlives its handler's calls: Disconnect joins its worker.
    zu::platform::SessionClient* session = session_.get();
    auto handler = [this, connection, session](zu::platform::SessionEvent event,
                                               zu::platform::PlayerId, const uint8_t* data,
                                               size_t size) {
        if (!sink_) return;
        switch (event) {
            case zu::platform::SessionEvent::Message:
                sink_(Event{connection, EventKind::Message,
                            std::vector<uint8_t>(data, data + (data != nullptr ? size : 0))});
                break;
            case zu::platform::SessionEvent::Disconnected:
                sink_(Event{connection, EventKind::Disconnected, {}, session->EndReason()});
                break;
            case zu::platform::SessionEvent::Connected:
                break;
        }
    };
    const int32_t result = session_->Connect(host, port, zu::platform::kInstructorAppId,
                                             std::move(handler), timeout_ms);
    if (result < 0) Disconnect();
    return result;
}

void LinkClient::Disconnect() {
    if (!session_) return;
    session_->Close();  // joins the worker: no event is delivered after this
    session_.reset();
    connection_.fetch_add(1, std::memory_order_acq_rel);
}

int32_t LinkClient::Send(const void* data, size_t size) {
    if (!session_) return zu::platform::kSessionNotConnected;
    return session_->Send(data, size);
}

}  // namespace rizezo
