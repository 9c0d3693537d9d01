#include "cabin_link/instructor_link_server.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/module_frame.h"
#include "zu/platform/net_session.h"

namespace zu {

InstructorMessage InstructorMessageBuffer{};
uint32_t InstructorMessageSender = 0;
std::atomic<uint8_t> NetworkReceiveFlag{0};
uint32_t NetServerPort = 2660;
uint32_t NetServerHandshakeTimeoutMs = 10000;
uint32_t NetServerMaxConnections = 64;
uint32_t NetServerSilentPeerMs = 30000;
char NetServerSessionName[129] = {};
std::atomic<uint8_t> NetServerHosting{0};
InstructorReceiveSlot InstructorReceiveRing[kInstructorReceiveSlots]{};
std::atomic<uint32_t> InstructorReceiveHead{0};
std::atomic<uint32_t> InstructorReceiveTail{0};
std::atomic<uint32_t> InstructorReceiveDropped{0};

namespace {

// The session object, created by the first start and kept (a stopped
// session can host again).
std::unique_ptr<platform::SessionHost> NetServerSession;

// Messages of `player` waiting in slots [tail, head) of the ring. Only the
// network thread writes the slots, so their senders are read without a race
// while the tick takes messages (a slot the tick is taking may still count:
// the share errs on the small side).
uint32_t WaitingFrom(uint32_t player, uint32_t tail, uint32_t head) {
    uint32_t waiting = 0;
    for (uint32_t i = tail; i != head; ++i) {
        waiting += InstructorReceiveRing[i % kInstructorReceiveSlots].sender == player ? 1u : 0u;
    }
    return waiting;
}

void NetServerEvent(platform::SessionEvent event, platform::PlayerId player, const uint8_t* data,
                    size_t size) {
    if (event == platform::SessionEvent::Message) NetServerReceive(player, data, size);
}

}  // namespace

void InstructorLinkStart() {
    InstructorMessageBuffer.value_count = 0;
    InstructorMessageBuffer.state_count = 0;
    NetworkReceiveFlag.store(0, std::memory_order_release);
    // Nothing receives or decodes now: the session is closed and the tick
    // only decodes while the flag is up.
    InstructorReceiveTail.store(InstructorReceiveHead.load(std::memory_order_acquire),
                                std::memory_order_release);
    if (NetServerStart() == platform::kSessionOk) TraceLine("NETWORK INITIALIZATION OK", 0);
}

int32_t NetServerStart() {
    if (NetServerHosting.load(std::memory_order_acquire) != 0) return platform::kSessionOk;
    NetworkReceiveFlag.store(0, std::memory_order_release);
    if (!NetServerSession) NetServerSession = platform::CreateSessionHost();
    std::snprintf(NetServerSessionName, sizeof NetServerSessionName, "%s", kNetServerSessionName);
    platform::SessionDescription description;
    description.session_name = NetServerSessionName;
    description.server_name = kNetServerInfoName;
    platform::SessionLimits limits;
    limits.handshake_timeout_ms = NetServerHandshakeTimeoutMs;
    limits.max_connections = NetServerMaxConnections;
    limits.silent_peer_ms = NetServerSilentPeerMs;
    const int32_t result =
        NetServerSession->Host(static_cast<uint16_t>(NetServerPort), platform::kInstructorAppId,
                               NetServerEvent, limits, description);
    if (result == platform::kSessionOk) NetServerHosting.store(1, std::memory_order_release);
    return result;
}

void NetServerStop() {
    NetServerHosting.store(0, std::memory_order_release);
    if (NetServerSession) NetServerSession->Close();
}

void NetServerReceive(uint32_t player, const uint8_t* data, size_t size) {
    if (data == nullptr || size < kInstructorHeaderSize) return;
    const size_t n = std::min(size, kInstructorMessageSize);

    // Single producer: only the session's worker thread advances the head.
    // It never waits for the tick: a message over its sender's share, or
    // one that finds the ring full, is dropped and counted for that peer.
    const uint32_t head = InstructorReceiveHead.load(std::memory_order_relaxed);
    const uint32_t tail = InstructorReceiveTail.load(std::memory_order_acquire);
    if (head - tail >= kInstructorReceiveSlots ||
        WaitingFrom(player, tail, head) >= kInstructorPeerShare) {
        InstructorReceiveDropped.fetch_add(1, std::memory_order_relaxed);
        if (NetServerSession) NetServerSession->NoteReceivedDropped(player);
        return;
    }

    InstructorReceiveSlot& slot = InstructorReceiveRing[head % kInstructorReceiveSlots];
    auto* bytes = reinterpret_cast<uint8_t*>(&slot.message);
    std::memcpy(bytes, data, n);
    std::memset(bytes + n, 0, kInstructorMessageSize - n);
    slot.sender = player;
    InstructorReceiveHead.store(head + 1, std::memory_order_release);
    NetworkReceiveFlag.store(1, std::memory_order_release);
}

bool InstructorReceiveNext() {
    const uint32_t tail = InstructorReceiveTail.load(std::memory_order_relaxed);
    if (tail == InstructorReceiveHead.load(std::memory_order_acquire)) return false;
    const InstructorReceiveSlot& slot = InstructorReceiveRing[tail % kInstructorReceiveSlots];
    std::memcpy(&InstructorMessageBuffer, &slot.message, kInstructorMessageSize);
    InstructorMessageSender = slot.sender;
    InstructorReceiveTail.store(tail + 1, std::memory_order_release);
    return true;
}

void NetServerSendBlock() {
    if (NetServerHosting.load(std::memory_order_acquire) == 0 || !NetServerSession) return;
    NetServerSession->QueueTo(InstructorMessageSender, &InstructorMessageBuffer,
                              kInstructorReplySize);
}

void NetServerFlushReplies() {
    if (NetServerHosting.load(std::memory_order_acquire) == 0 || !NetServerSession) return;
    NetServerSession->Flush();
}

}  // namespace zu
