// The panel's side of the instructor link protocol: polls the group of the
// page on view, sends failure commands and holds the polls until the server
// acknowledges them, and stores data replies in the per-group arrays.
//
// Runs on the window thread only; it knows nothing of windows or sockets.
// The transport it sends through is the link client in the program and a
// fake in the tests.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cabin_link/instructor_message.h"
#include "system_types.h"

namespace rizezo {

// Where outgoing messages go. Send returns 0 on success, non-zero when the
// message could not be sent.
class MessageTransport {
  public:
    virtual ~MessageTransport() = default;
    virtual int32_t Send(const void* data, size_t size) = 0;
};

// A command that gets no acknowledgement (and no other message) is sent
// again after this many timer ticks: 8 × 250 ms = 2 s.
inline constexpr int kCommandResendTicks = 8;

class NetLogic {
  public:
    explicit NetLogic(MessageTransport* transport) : transport_(transport) {}
    // Replaces the transport (tests put a fake in place of the link).
    void SetTransport(MessageTransport* transport) { transport_ = transport; }

    // The link came up or went down. Either way no command stays pending:
    // a fresh link starts with polling, and a dead one cannot deliver it.
    void SetConnected(bool connected);
    bool Connected() const { return connected_; }

    // One tick of the 250 ms timer for the page on view: polls on five of
    // every six ticks and resends a command whose acknowledgement is overdue.
    void PollTick(int page);

    // Sends a data request for the page's group; nothing while a command
    // awaits its acknowledgement or for a page without a group.
    // Returns true when a request went out.
    bool RequestGroup(int page);

    // Sends a command setting one state of one group and holds the polls
    // until it is acknowledged. Nothing is sent and nothing is left pending
    // while disconnected. Returns true when the command went out.
    bool SendCommand(int group, int index, int value);

    // Takes one received payload: copies it into the message buffer (cut to
    // the buffer's size) and handles it. A payload shorter than 4 bytes
    // carries no message. Returns true when the message was a reply: the
    // acknowledgement of the pending command, or a data reply of one of the
    // panel's groups (stored). A message of another kind or group, and one
    // that sends the pending command again, is none.
    bool ReceivePayload(const uint8_t* data, size_t size);

    bool Acknowledged() const { return acknowledged_; }
    int PendingGroup() const { return pending_group_; }
    int PendingIndex() const { return pending_index_; }
    int PendingValue() const { return pending_value_; }

    SystemArrays& Arrays() { return arrays_; }
    const zu::InstructorMessage& Buffer() const { return buffer_; }

  private:
    bool HandleMessage(size_t items_received);
    bool StoreReply(size_t items_received);
    // Sends the whole message buffer; a failed send drops the link.
    int32_t SendBuffer();

    MessageTransport* transport_;
    zu::InstructorMessage buffer_{};
    SystemArrays arrays_;
    bool connected_ = false;
    bool acknowledged_ = true;
    int pending_group_ = 0;
    int pending_index_ = 0;
    int pending_value_ = 0;
    int ticks_waiting_ = 0;  // timer ticks since the pending command was last sent
    int poll_counter_ = 0;   // cycles 1, 2, 3, 4, 5, 0
};

}  // namespace rizezo
