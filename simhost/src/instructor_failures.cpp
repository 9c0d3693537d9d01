// Asking the module's instructor link for the failures (see
// instructor_failures.h), with the instructor panel's own link client.
#include "zu/simhost/instructor_failures.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "cabin_link/instructor_message.h"
#include "link_client.h"
#include "link_wait.h"
#include "net_logic.h"
#include "zu/platform/net_session.h"
#include "zu/platform/timer.h"

namespace zu::simhost {
namespace {

// How each group's states carry their failures.
enum class Codes { HydraulicBits, PowerplantWord, SurfaceCode, Element };

struct GroupTable {
    uint16_t group;
    int page;     // the instructor panel's page that asks for it
    int states;   // failure states 0 .. states-1 ...
    int skip[2];  // ... but these (tokens and settings, not failures; -1: none)
    Codes codes;
};

constexpr GroupTable kGroups[] = {
    // Hydraulics: the components' failure bits; then leak speed and the refill tokens.
    {kInstructorGroupHydraulics,
     rizezo::kPageHydraulics,
     kHydStateComponentCount,
     {-1, -1},
     Codes::HydraulicBits},
    {kInstructorGroupFlightSurfaces,
     rizezo::kPageFlightSurfaces,
     kFlightSurfacesStateCount,
     {-1, -1},
     Codes::SurfaceCode},
    {kInstructorGroupPowerplants,
     rizezo::kPagePowerplants,
     kPowerplantsStateCount,
     {kPpEngine1OilRefill, kPpEngine2OilRefill},
     Codes::PowerplantWord},
    {kInstructorGroupElectrics,
     rizezo::kPageElectrics,
     kElectricsStateCount,
     {-1, -1},
     Codes::Element},
    {kInstructorGroupAvionics,
     rizezo::kPageAvionics,
     kAvionicsStateCount,
     {-1, -1},
     Codes::Element},
};

// The states the link's shared header names, in its words.
struct StateName {
    uint16_t group;
    int index;
    const char* name;
};

constexpr StateName kNames[] = {
    {kInstructorGroupFlightSurfaces, kSurfaceElevator1, "elevator 1"},
    {kInstructorGroupFlightSurfaces, kSurfaceElevator2, "elevator 2"},
    {kInstructorGroupFlightSurfaces, kSurfaceRudder, "rudder"},
    {kInstructorGroupFlightSurfaces, kSurfaceFlapLeft, "flap left"},
    {kInstructorGroupFlightSurfaces, kSurfaceFlapRight, "flap right"},
    {kInstructorGroupFlightSurfaces, kSurfaceAileron1, "aileron 1"},
    {kInstructorGroupFlightSurfaces, kSurfaceAileron2, "aileron 2"},
    {kInstructorGroupFlightSurfaces, kSurfaceSpoiler1Outboard, "spoiler 1 outboard"},
    {kInstructorGroupFlightSurfaces, kSurfaceSpoiler2Outboard, "spoiler 2 outboard"},
    {kInstructorGroupFlightSurfaces, kSurfaceSpoiler1Inboard, "spoiler 1 inboard"},
    {kInstructorGroupFlightSurfaces, kSurfaceSpoiler2Inboard, "spoiler 2 inboard"},
    {kInstructorGroupPowerplants, kPpEngine1StbyPump, "engine 1 stby pump"},
    {kInstructorGroupPowerplants, kPpEngine1PcuPump, "engine 1 PCU pump"},
    {kInstructorGroupPowerplants, kPpEngine1Governor, "engine 1 governor"},
    {kInstructorGroupPowerplants, kPpEngine1Osgv, "engine 1 OSGV"},
    {kInstructorGroupPowerplants, kPpEngine1Mfv, "engine 1 MFV"},
    {kInstructorGroupPowerplants, kPpEngine1Afv, "engine 1 AFV"},
    {kInstructorGroupPowerplants, kPpEngine1, "engine 1"},
    {kInstructorGroupPowerplants, kPpEcu1, "ECU 1"},
    {kInstructorGroupPowerplants, kPpSynchrophaser, "synchrophaser"},
    {kInstructorGroupPowerplants, kPpTorque1, "torque 1"},
    {kInstructorGroupPowerplants, kPpEngine2StbyPump, "engine 2 stby pump"},
    {kInstructorGroupPowerplants, kPpEngine2PcuPump, "engine 2 PCU pump"},
    {kInstructorGroupPowerplants, kPpEngine2Governor, "engine 2 governor"},
    {kInstructorGroupPowerplants, kPpEngine2Osgv, "engine 2 OSGV"},
    {kInstructorGroupPowerplants, kPpEngine2Mfv, "engine 2 MFV"},
    {kInstructorGroupPowerplants, kPpEngine2Afv, "engine 2 AFV"},
    {kInstructorGroupPowerplants, kPpEngine2, "engine 2"},
    {kInstructorGroupPowerplants, kPpEcu2, "ECU 2"},
    {kInstructorGroupPowerplants, kPpTorque2, "torque 2"},
    {kInstructorGroupPowerplants, kPpAutofeather, "autofeather"},
    {kInstructorGroupElectrics, kElecLeftEssentialBus, "left essential bus"},
    {kInstructorGroupElectrics, kElecRightEssentialBus, "right essential bus"},
    {kInstructorGroupElectrics, kElecAuxBatteryBus, "aux battery bus"},
    {kInstructorGroupElectrics, kElecMainBatteryBus, "main battery bus"},
    {kInstructorGroupElectrics, kElecLeftMainDcBus, "left main DC bus"},
    {kInstructorGroupElectrics, kElecRightMainDcBus, "right main DC bus"},
    {kInstructorGroupElectrics, kElecLeftSecondaryDcBus, "left secondary DC bus"},
    {kInstructorGroupElectrics, kElecRightSecondaryDcBus, "right secondary DC bus"},
    {kInstructorGroupElectrics, kElecLeftAvionics115AcBus, "left avionics 115 AC bus"},
    {kInstructorGroupElectrics, kElecRightAvionics115AcBus, "right avionics 115 AC bus"},
    {kInstructorGroupElectrics, kElecLeftAvionics26AcBus, "left avionics 26 AC bus"},
    {kInstructorGroupElectrics, kElecRightAvionics26AcBus, "right avionics 26 AC bus"},
    {kInstructorGroupElectrics, kElecLeftVariableAcBus, "left variable AC bus"},
    {kInstructorGroupElectrics, kElecRightVariableAcBus, "right variable AC bus"},
    {kInstructorGroupElectrics, kElecTru1, "TRU 1"},
    {kInstructorGroupElectrics, kElecTru2, "TRU 2"},
    {kInstructorGroupElectrics, kElecXfmr1, "XFMR 1"},
    {kInstructorGroupElectrics, kElecXfmr2, "XFMR 2"},
    {kInstructorGroupElectrics, kElecPriInverter, "pri inverter"},
    {kInstructorGroupElectrics, kElecSecInverter, "sec inverter"},
    {kInstructorGroupElectrics, kElecAuxInverter, "aux inverter"},
    {kInstructorGroupElectrics, kElecLeftDcGen, "left DC gen"},
    {kInstructorGroupElectrics, kElecRightDcGen, "right DC gen"},
    {kInstructorGroupElectrics, kElecLeftAcGen, "left AC gen"},
    {kInstructorGroupElectrics, kElecRightAcGen, "right AC gen"},
    {kInstructorGroupElectrics, kElecStateCbF5, "CB F5"},
    {kInstructorGroupAvionics, kAvionicsHgsApproachStatus, "HGS approach status"},
};

const char* NameOf(uint16_t group, int index) {
    for (const StateName& n : kNames) {
        if (n.group == group && n.index == index) return n.name;
    }
    return "";
}

// The failure codes a state holds, named as the instructor panel offers them.
std::vector<std::string> FailuresOf(Codes codes, int32_t state) {
    std::vector<std::string> out;
    auto bit = [&](int32_t mask, const char* name) {
        if ((state & mask) != 0) out.emplace_back(name);
    };
    switch (codes) {
        case Codes::HydraulicBits:
            bit(kHydFailLeak, "leak");
            bit(kHydFailInoperative, "inoperative");
            bit(kHydFailHot, "hot");
            break;
        case Codes::PowerplantWord:
            switch (state & kPowerplantFailCodeMask) {
                case kPowerplantFailInoperative:
                    out.emplace_back("inoperative");
                    break;
                case kPowerplantFailOpened:
                    out.emplace_back("failed opened");
                    break;
                case kPowerplantFailClosed:
                    out.emplace_back("failed closed");
                    break;
                default:
                    break;
            }
            bit(kPowerplantFailFire, "fire");
            bit(kPowerplantFailHangStart, "hang start");
            bit(kPowerplantFailHotStart, "hot start");
            bit(kPowerplantFailOilLeak, "oil leak");
            bit(kPowerplantFailNoCutOff, "no cut off");
            bit(kPowerplantFailSelect, "SELECT fail");
            bit(kPowerplantFailArm, "ARM fail");
            break;
        case Codes::SurfaceCode:
            switch (state) {
                case kSurfaceFailInoperative:
                    out.emplace_back("inoperative");
                    break;
                case kSurfaceFailDeflectLeft:
                    out.emplace_back("fully deflect left");
                    break;
                case kSurfaceFailDeflectRight:
                    out.emplace_back("fully deflect right");
                    break;
                case kSurfaceFailFreeFloating:
                    out.emplace_back("free floating");
                    break;
                case kSurfaceFailTrim:
                    out.emplace_back("trim failure");
                    break;
                case kSurfaceFailJammed:
                    out.emplace_back("jammed");
                    break;
                case kSurfaceFailDisagree:
                    out.emplace_back("disagree");
                    break;
                default:
                    break;
            }
            break;
        case Codes::Element:
            if (state == kElementFailed) out.emplace_back("failed");
            break;
    }
    return out;
}

std::optional<platform::SessionPeerStats> Peer(uint16_t port, platform::PlayerId player) {
    for (const platform::SessionHostStats& h : platform::HostedSessions()) {
        if (h.port != port) continue;
        for (const platform::SessionPeerStats& p : h.peers) {
            if (p.player == player) return p;
        }
    }
    return std::nullopt;
}

// Messages from the link's worker thread, taken on ours.
struct Inbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::vector<uint8_t>> messages;
    bool closed = false;
};

constexpr auto kNetworkBound = std::chrono::seconds(5);

}  // namespace

InstructorFailures AskInstructorFailures(const std::function<bool()>& stop_requested) {
    InstructorFailures result;
    const std::vector<platform::SessionHostStats> hosts = platform::HostedSessions();
    if (hosts.empty()) {
        result.unknown = "the module hosts no instructor link";
        return result;
    }
    const uint16_t port = hosts.front().port;
    std::set<platform::PlayerId> others;
    for (const platform::SessionPeerStats& p : hosts.front().peers) others.insert(p.player);

    Inbox inbox;  // outlives the client, whose worker writes to it
    rizezo::LinkClient client([&inbox](rizezo::LinkClient::Event event) {
        std::lock_guard<std::mutex> lock(inbox.mutex);
        if (event.kind == rizezo::LinkClient::EventKind::Message) {
            inbox.messages.push_back(std::move(event.payload));
        } else {
            inbox.closed = true;
        }
        inbox.arrived.notify_all();
    });
    const std::string where = " on port " + std::to_string(port);
    const std::string stopped = "the run was stopped before the instructor link" + where;
    LinkWait connecting(kNetworkBound, stop_requested);
    const int32_t connected = ConnectWithin(
        connecting, platform::kSessionNoHost,
        [&](uint32_t timeout_ms) { return client.ConnectToHost("127.0.0.1", port, timeout_ms); });
    if (connected != platform::kSessionOk) {
        result.unknown = connecting.stopped() ? stopped + " answered"
                                              : "cannot connect to the instructor link" + where;
        return result;
    }
    // Our peer on the link: the one accepted since we looked.
    std::optional<platform::SessionPeerStats> me;
    for (const platform::SessionHostStats& h : platform::HostedSessions()) {
        if (h.port != port) continue;
        for (const platform::SessionPeerStats& p : h.peers) {
            if (others.count(p.player) == 0) me = p;
        }
    }
    if (!me) {
        result.unknown = "the instructor link" + where + " lost the connection";
        return result;
    }

    rizezo::NetLogic logic(&client);
    logic.SetConnected(true);
    const uint64_t asked = std::size(kGroups);
    for (const GroupTable& g : kGroups) {
        if (!logic.RequestGroup(g.page)) {
            result.unknown = "the instructor link" + where + " refused the requests";
            return result;
        }
    }

    // The link's thread hands the requests to the module; the next systems
    // tick answers them. On the lockstep clock that tick is ours to run, once
    // every request is in, so the answer comes at the same simulated time
    // whatever the machine's speed.
    // (At most twice the network bound for the requests and the replies.)
    LinkWait network(2 * kNetworkBound, stop_requested);
    std::optional<platform::SessionPeerStats> now = me;
    while (now && now->frames_received < me->frames_received + asked && !network.Over()) {
        std::this_thread::yield();
        now = Peer(port, me->player);
    }
    if (!now || now->frames_received < me->frames_received + asked) {
        result.unknown = network.stopped()
                             ? stopped + " took the requests in"
                             : "the instructor link" + where + " did not take the requests in";
        return result;
    }
    if (platform::GetClockMode() == platform::ClockMode::Lockstep) {
        auto answered = [&]() {
            return now && now->frames_sent + now->frames_dropped >=
                              me->frames_sent + me->frames_dropped + asked;
        };
        for (uint64_t ms = 0; !answered() && ms < kInstructorAskMaxMs; ++ms) {
            platform::LockstepAdvance(1);
            now = Peer(port, me->player);
        }
        if (!answered()) {
            result.unknown = "no answer from the instructor link" + where + " within " +
                             std::to_string(kInstructorAskMaxMs) + " ms of simulated time";
            return result;
        }
    }

    // The replies, as the panel stores them.
    std::set<uint16_t> replied;
    std::unique_lock<std::mutex> lock(inbox.mutex);
    while (replied.size() < asked) {
        // In slices, so that a stop request is seen.
        while (inbox.messages.empty() && !inbox.closed && !network.Over()) {
            inbox.arrived.wait_for(lock, std::min<std::chrono::milliseconds>(
                                             network.Left(), std::chrono::milliseconds(50)));
        }
        if (inbox.messages.empty() && !inbox.closed) break;
        std::vector<std::vector<uint8_t>> messages = std::move(inbox.messages);
        inbox.messages.clear();
        for (const std::vector<uint8_t>& m : messages) {
            if (logic.ReceivePayload(m.data(), m.size()) &&
                logic.Buffer().kind == kInstructorDataReply) {
                const uint16_t group = logic.Buffer().group;  // a packed record's field
                replied.insert(group);
            }
        }
        if (inbox.closed) break;
    }
    lock.unlock();
    client.Disconnect();
    if (replied.size() < asked) {
        const std::string counted =
            std::to_string(replied.size()) + " of " + std::to_string(asked) + " requests";
        result.unknown = network.stopped()
                             ? stopped + " had answered every request (" + counted + ")"
                             : "the instructor link" + where + " answered " + counted;
        return result;
    }

    std::vector<InstructorFailure> active;
    for (const GroupTable& g : kGroups) {
        const rizezo::GroupArrays arrays = logic.Arrays().ForGroup(g.group);
        for (int i = 0; i < g.states; ++i) {
            if (i == g.skip[0] || i == g.skip[1]) continue;
            const int32_t state = arrays.State(i);
            if (state == 0) continue;
            active.push_back({g.group, i, NameOf(g.group, i), state, FailuresOf(g.codes, state)});
        }
    }
    result.active = std::move(active);
    return result;
}

}  // namespace zu::simhost
