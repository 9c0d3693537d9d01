// Feeds arbitrary payloads through the instructor link's receive path and
// decoder, as the network would deliver them, and checks the reply.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/host_panel_services.h"
#include "core/systems_tick.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zu;
    NetServerReceive(1, data, size);
    while (InstructorReceiveNext()) {
        const uint8_t kind = InstructorMessageBuffer.kind;
        const bool reply = InstructorDecodeMessage();
        if (reply) {
            const InstructorMessage& m = InstructorMessageBuffer;
            if (m.kind != kInstructorAcknowledge && m.kind != kInstructorDataReply) std::abort();
            if (m.value_count > kElectricsValueCount || m.state_count > kElectricsStateCount) {
                std::abort();
            }
            if (kind != kInstructorDataRequest && kind != kInstructorSetValue &&
                kind != kInstructorBulkSet) {
                std::abort();  // only requests are answered
            }
        }
    }
    // Let the bulk targets reach the aircraft state, as the host pass does.
    if (RemoteValuesSetFlag.load() != 0) {
        RemotePositionValues[0] = 10;
        InstructorSmoothValues();
        RemoteDisplayCountdown.store(0);
    }
    return 0;
}
