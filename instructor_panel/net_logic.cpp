#include "net_logic.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace rizezo {

namespace {

constexpr size_t kHeaderBytes = zu::kInstructorHeaderSize;
constexpr size_t kItemBytes = sizeof(zu::InstructorItem);

// A received state back to the integer the server holds. Out-of-range and
// NaN values (a damaged reply) are clamped instead of being converted with
// undefined results.
int32_t TruncState(float state) {
    if (std::isnan(state)) return 0;
    if (state >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
    if (state <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(state);
}

}  // namespace

void NetLogic::SetConnected(bool connected) {
    connected_ = connected;
    acknowledged_ = true;
    ticks_waiting_ = 0;
}

void NetLogic::PollTick(int page) {
    poll_counter_ = poll_counter_ >= 5 ? 0 : poll_counter_ + 1;
    if (!acknowledged_) {
        // Nothing has come back for the pending command: neither its
        // acknowledgement nor any other message that would trigger a resend.
        if (++ticks_waiting_ >= kCommandResendTicks) {
            SendCommand(pending_group_, pending_index_, pending_value_);
        }
        return;
    }
    if (poll_counter_ > 0) RequestGroup(page);
}

bool NetLogic::RequestGroup(int page) {
    if (!acknowledged_ || !connected_) return false;
    const int group = GroupForPage(page);
    if (group == kGroupNone) return false;
    // The counts and items keep whatever the buffer held; the server reads
    // only the kind and the group of a request.
    buffer_.kind = zu::kInstructorDataRequest;
    buffer_.group = static_cast<uint16_t>(group);
    return SendBuffer() == 0;
}

bool NetLogic::SendCommand(int group, int index, int value) {
    if (!connected_) return false;
    buffer_.kind = zu::kInstructorSetValue;
    buffer_.group = static_cast<uint16_t>(group);
    buffer_.value_count = 0;
    buffer_.state_count = 0;
    buffer_.items[0].value = static_cast<float>(index);
    buffer_.items[0].state = static_cast<float>(value);
    if (SendBuffer() != 0) return false;  // the link is down: nothing to wait for
    pending_group_ = group;
    pending_index_ = index;
    pending_value_ = value;
    acknowledged_ = false;
    ticks_waiting_ = 0;
    return true;
}

bool NetLogic::ReceivePayload(const uint8_t* data, size_t size) {
    if (data == nullptr || size < 4) {
        buffer_.kind = 0;
        return false;
    }
    const size_t copied = std::min(size, sizeof buffer_);
    std::memcpy(&buffer_, data, copied);
    const size_t items_received = copied > kHeaderBytes ? (copied - kHeaderBytes) / kItemBytes : 0;
    return HandleMessage(items_received);
}

bool NetLogic::HandleMessage(size_t items_received) {
    if (!acknowledged_) {
        const bool acknowledgement = buffer_.kind == zu::kInstructorAcknowledge;
        if (acknowledgement) {
            acknowledged_ = true;
            ticks_waiting_ = 0;
        } else {
            // Something else came first: the command or its acknowledgement
            // may have been lost, so send it again.
            SendCommand(pending_group_, pending_index_, pending_value_);
        }
        buffer_.kind = 0;
        return acknowledgement;
    }
    return buffer_.kind == zu::kInstructorDataReply && StoreReply(items_received);
}

bool NetLogic::StoreReply(size_t items_received) {
    GroupArrays arrays = arrays_.ForGroup(buffer_.group);
    if (arrays.states.empty()) return false;  // not a group of the panel's
    // Counts beyond the arrays or beyond the items the payload carried are
    // cut; the rest of the buffer may hold an older message.
    const size_t states =
        std::min({static_cast<size_t>(buffer_.state_count), arrays.states.size(), items_received});
    const size_t values =
        std::min({static_cast<size_t>(buffer_.value_count), arrays.values.size(), items_received});
    for (size_t i = 0; i < states; ++i) arrays.states[i] = TruncState(buffer_.items[i].state);
    for (size_t i = 0; i < values; ++i) arrays.values[i] = buffer_.items[i].value;
    return true;
}

int32_t NetLogic::SendBuffer() {
    if (!connected_ || transport_ == nullptr) return -1;
    const int32_t result = transport_->Send(&buffer_, sizeof buffer_);
    if (result != 0) SetConnected(false);
    return result;
}

}  // namespace rizezo
