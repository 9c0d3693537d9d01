// The instructor link's server: hosts the session the instructor panel
// connects to (TCP port 2660, the instructor application identifier), hands
// each received message to the systems tick and sends the tick's replies.
//
// Hand-over between the network thread and the tick. The receive handler
// runs on the session's worker thread; it copies each message, with the
// player that sent it, into the next free slot of a fixed ring of
// kInstructorReceiveSlots messages, publishes the slot and raises
// NetworkReceiveFlag (release). The tick, seeing the flag (acquire), lowers
// it and takes every waiting message in arrival order, one at a time, into
// InstructorMessageBuffer, where it is decoded and the reply built in place;
// the reply goes to the sender of that message only. A message arriving
// while the tick works on an earlier one lands in another slot, so nothing
// is overwritten. The network thread never waits for the tick: each peer
// has a share of the ring (kInstructorPeerShare messages waiting at once);
// a message beyond its sender's share, or one that finds the ring full, is
// dropped and counted for that peer (the session layer's received_dropped,
// and InstructorReceiveDropped), as a reply that does not fit is. A panel
// has one poll waiting at a time, so only a peer that floods loses
// messages, and the others are read, answered and accepted meanwhile; the
// panel's next poll recovers a lost one.
//
// Payloads: longer than a message are cut to the message size; shorter ones
// are padded with zeros; shorter than the 7-byte header are ignored.
//
// Nothing here allocates after the start; the ring and the buffer are
// static.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "cabin_link/instructor_message.h"

namespace zu {

// The message the tick works on: taken from the ring, decoded, and turned
// into the reply in place. Tick thread only.
extern InstructorMessage InstructorMessageBuffer;
// The player that sent the message in InstructorMessageBuffer; its reply
// goes to this player.
extern uint32_t InstructorMessageSender;

// 1 while received messages wait for the tick.
extern std::atomic<uint8_t> NetworkReceiveFlag;

// Port the server listens on (all IPv4 addresses).
extern uint32_t NetServerPort;  // 2660
// The session's name, set at each start to kNetServerSessionName (at most
// 128 characters); the server calls itself kNetServerInfoName. A panel
// finds the session by the application identifier and needs neither.
inline constexpr char kNetServerSessionName[] = "VUD4A77RA";
inline constexpr char kNetServerInfoName[] = "Server";
extern char NetServerSessionName[129];
// Bounds of the server against idle or hostile peers, taken at each start:
// a connection that has not sent its connect request after
// NetServerHandshakeTimeoutMs is closed, and so is a peer whose frame is not
// complete that long after its first byte; with NetServerMaxConnections
// simultaneous connections a newcomer closes the peer that has sent nothing
// for the longest time, when that is at least NetServerSilentPeerMs (a panel
// keeps itself alive every 10 s), and is closed itself otherwise. A panel
// that stops reading loses the replies that no longer fit its send queue;
// the session layer counts them per peer (platform::HostedSessions).
extern uint32_t NetServerHandshakeTimeoutMs;  // 10000
extern uint32_t NetServerMaxConnections;      // 64
extern uint32_t NetServerSilentPeerMs;        // 30000
// 1 while the session is hosted.
extern std::atomic<uint8_t> NetServerHosting;

// The receive ring: slot i % kInstructorReceiveSlots holds message i. The
// network thread advances InstructorReceiveHead, the tick
// InstructorReceiveTail.
inline constexpr uint32_t kInstructorReceiveSlots = 64;
struct InstructorReceiveSlot {
    InstructorMessage message;
    uint32_t sender;
};
extern InstructorReceiveSlot InstructorReceiveRing[kInstructorReceiveSlots];
extern std::atomic<uint32_t> InstructorReceiveHead;
extern std::atomic<uint32_t> InstructorReceiveTail;
// Messages of one peer that may wait in the ring at once: a quarter, so
// that a peer flooding the link leaves the rest to the others.
inline constexpr uint32_t kInstructorPeerShare = 16;
// Messages dropped so far (over a share, or the ring full).
extern std::atomic<uint32_t> InstructorReceiveDropped;

// Starts the server (update service, once, when NETWORK_SERVER is set):
// empties the exchange buffer and the ring, lowers NetworkReceiveFlag and
// hosts on NetServerPort. A failed start leaves the module running without
// the link.
void InstructorLinkStart();
// Hosts the session; returns the session result (0 = hosting).
int32_t NetServerStart();
// Closes the session (kill service). Safe when not hosting; a later
// InstructorLinkStart hosts again.
void NetServerStop();

// The receive handler (network thread): queues one payload from `player`.
void NetServerReceive(uint32_t player, const uint8_t* data, size_t size);

// Tick: moves the next waiting message into InstructorMessageBuffer and its
// sender into InstructorMessageSender; false when none waits.
bool InstructorReceiveNext();

// Sends the first kInstructorReplySize bytes of InstructorMessageBuffer to
// InstructorMessageSender (nothing when not hosting). Results are not
// checked: a lost reply is recovered by the panel's next poll. The reply is
// copied into the peer's preallocated send queue, behind that peer's
// earlier replies (one that does not fit is dropped and counted for the
// peer), and waits there for NetServerFlushReplies; nothing is allocated on
// the tick.
void NetServerSendBlock();
// Wakes the network thread once to write every reply NetServerSendBlock
// queued: the tick calls it after its last reply, so that a tick answering
// many messages costs one wake instead of one per reply.
void NetServerFlushReplies();

}  // namespace zu
