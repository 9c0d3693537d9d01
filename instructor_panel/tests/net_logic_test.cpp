// The panel's link protocol against a fake transport: poll cadence, the
// group each page polls, commands held until acknowledged, resends, and the
// storing of data replies. Messages are read and built at their wire
// offsets, so a layout fault shows up here too.
#include "net_logic.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr size_t kMessageBytes = 4103;

struct FakeTransport : rizezo::MessageTransport {
    std::vector<std::vector<uint8_t>> sent;
    int32_t result = 0;
    int32_t Send(const void* data, size_t size) override {
        const auto* bytes = static_cast<const uint8_t*>(data);
        sent.emplace_back(bytes, bytes + size);
        return result;
    }
};

uint16_t U16(const std::vector<uint8_t>& m, size_t at) {
    return static_cast<uint16_t>(m[at] | (m[at + 1] << 8));
}
float F32(const std::vector<uint8_t>& m, size_t at) {
    float f;
    std::memcpy(&f, m.data() + at, 4);
    return f;
}
void PutU16(std::vector<uint8_t>& m, size_t at, uint16_t v) {
    m[at] = static_cast<uint8_t>(v);
    m[at + 1] = static_cast<uint8_t>(v >> 8);
}
void PutF32(std::vector<uint8_t>& m, size_t at, float f) {
    std::memcpy(m.data() + at, &f, 4);
}

// A server message: kind, group, counts, and items value i / state i.
std::vector<uint8_t> ServerMessage(uint8_t kind, uint16_t group, uint16_t values = 0,
                                   uint16_t states = 0, size_t bytes = 3077) {
    std::vector<uint8_t> m(bytes, 0);
    m[0] = kind;
    PutU16(m, 1, group);
    PutU16(m, 3, values);
    PutU16(m, 5, states);
    for (size_t i = 0; 7 + 8 * i + 8 <= bytes; ++i) {
        PutF32(m, 7 + 8 * i, static_cast<float>(100 + i));
        PutF32(m, 11 + 8 * i, static_cast<float>(i + 1));
    }
    return m;
}

// Two commands are the same when kind, group, counts and item 0 agree (the
// rest of the buffer may hold an older message).
bool SameCommand(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), 15) == 0;
}

bool Deliver(rizezo::NetLogic& net, const std::vector<uint8_t>& m) {
    return net.ReceivePayload(m.data(), m.size());
}

}  // namespace

class NetLogicTest : public QObject {
    Q_OBJECT

  private slots:
    void pollsFiveOfEverySixTicks() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        for (int tick = 0; tick < 12; ++tick) net.PollTick(rizezo::kPageHydraulics);
        QCOMPARE(transport.sent.size(), size_t{10});
        for (const auto& m : transport.sent) {
            QCOMPARE(m.size(), kMessageBytes);
            QCOMPARE(m[0], uint8_t{1});
            QCOMPARE(U16(m, 1), uint16_t{1});
        }
        // The silent tick is the sixth of each cycle.
        transport.sent.clear();
        for (int tick = 0; tick < 5; ++tick) net.PollTick(rizezo::kPageHydraulics);
        QCOMPARE(transport.sent.size(), size_t{5});
        net.PollTick(rizezo::kPageHydraulics);
        QCOMPARE(transport.sent.size(), size_t{5});
    }

    void eachPagePollsItsGroup_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("group");
        QTest::newRow("Hydraulics") << 1 << 1;
        QTest::newRow("Electrics") << 2 << 5;
        QTest::newRow("Propellers") << 3 << 4;
        QTest::newRow("Flight Surfaces") << 4 << 3;
        QTest::newRow("Avionics") << 5 << 10;
    }
    void eachPagePollsItsGroup() {
        QFETCH(int, page);
        QFETCH(int, group);
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        net.PollTick(page);
        QCOMPARE(transport.sent.size(), size_t{1});
        QCOMPARE(int(U16(transport.sent[0], 1)), group);
    }

    void generalPageAndDisconnectedPanelPollNothing() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        for (int tick = 0; tick < 12; ++tick) net.PollTick(rizezo::kPageGeneral);
        net.SetConnected(false);
        for (int tick = 0; tick < 12; ++tick) net.PollTick(rizezo::kPageHydraulics);
        QVERIFY(transport.sent.empty());
    }

    void commandHoldsPollsUntilAcknowledged() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        QVERIFY(net.SendCommand(4, 7, 1));
        QCOMPARE(transport.sent.size(), size_t{1});
        const auto& command = transport.sent[0];
        QCOMPARE(command.size(), kMessageBytes);
        QCOMPARE(command[0], uint8_t{2});
        QCOMPARE(U16(command, 1), uint16_t{4});
        QCOMPARE(U16(command, 3), uint16_t{0});
        QCOMPARE(U16(command, 5), uint16_t{0});
        QCOMPARE(F32(command, 7), 7.0f);
        QCOMPARE(F32(command, 11), 1.0f);
        QVERIFY(!net.Acknowledged());

        for (int tick = 0; tick < rizezo::kCommandResendTicks - 1; ++tick) {
            net.PollTick(rizezo::kPagePowerplants);
        }
        QCOMPARE(transport.sent.size(), size_t{1});  // no polls while pending

        QVERIFY(Deliver(net, ServerMessage(4, 4)));
        QVERIFY(net.Acknowledged());
        QCOMPARE(transport.sent.size(), size_t{1});  // the acknowledgement is not answered
        net.PollTick(rizezo::kPagePowerplants);
        net.PollTick(rizezo::kPagePowerplants);
        QVERIFY(transport.sent.size() >= 2);
        QCOMPARE(transport.sent.back()[0], uint8_t{1});
    }

    void replyBeforeAcknowledgementResendsCommandAndIsDropped() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        QVERIFY(net.SendCommand(4, 7, 1));
        QVERIFY(!Deliver(net, ServerMessage(64, 4, 52, 23)));  // no reply to the command
        QCOMPARE(transport.sent.size(), size_t{2});
        QVERIFY(SameCommand(transport.sent[1], transport.sent[0]));  // the same command again
        QVERIFY(!net.Acknowledged());
        QCOMPARE(net.Arrays().powerplants_states[0], 0);  // the reply was not stored
        QCOMPARE(net.Arrays().powerplants_values[0], 0.0f);
    }

    void unansweredCommandIsResentAfterBoundedTime() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        QVERIFY(net.SendCommand(3, 2, 4));
        for (int round = 1; round <= 2; ++round) {
            for (int tick = 1; tick < rizezo::kCommandResendTicks; ++tick) {
                net.PollTick(rizezo::kPageFlightSurfaces);
            }
            QCOMPARE(transport.sent.size(), size_t(round));
            net.PollTick(rizezo::kPageFlightSurfaces);
            QCOMPARE(transport.sent.size(), size_t(round + 1));
            QVERIFY(SameCommand(transport.sent.back(), transport.sent.front()));
        }
        QVERIFY(!net.Acknowledged());
    }

    void noCommandStaysPendingWithoutLink() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        QVERIFY(!net.SendCommand(5, 2, 255));  // disconnected
        QVERIFY(transport.sent.empty());
        QVERIFY(net.Acknowledged());

        net.SetConnected(true);
        net.PollTick(rizezo::kPageElectrics);
        QCOMPARE(transport.sent.size(), size_t{1});  // polls are not held

        transport.result = -4;  // the send fails: the link is down
        QVERIFY(!net.SendCommand(5, 2, 255));
        QVERIFY(!net.Connected());
        QVERIFY(net.Acknowledged());

        // A command pending when the link drops does not block the next link.
        transport.result = 0;
        net.SetConnected(true);
        QVERIFY(net.SendCommand(5, 2, 255));
        net.SetConnected(false);
        net.SetConnected(true);
        QVERIFY(net.Acknowledged());
        const size_t before = transport.sent.size();
        net.PollTick(rizezo::kPageElectrics);
        QCOMPARE(transport.sent.size(), before + 1);
    }

    void dataReplyFillsTheGroupArrays() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        QVERIFY(Deliver(net, ServerMessage(64, 1, 12, 22)));
        const auto& a = net.Arrays();
        QCOMPARE(a.hydraulics_values[0], 100.0f);
        QCOMPARE(a.hydraulics_values[11], 111.0f);
        QCOMPARE(a.hydraulics_values[12], 0.0f);  // beyond value_count
        QCOMPARE(a.hydraulics_states[21], 22);
        QCOMPARE(a.hydraulics_states[22], 0);
        QCOMPARE(a.electrics_values[0], 0.0f);  // other groups untouched

        // A fractional state is truncated.
        auto m = ServerMessage(64, 10, 1, 1);
        PutF32(m, 11, 254.9f);
        QVERIFY(Deliver(net, m));
        QCOMPARE(a.avionics_states[0], 254);
        QCOMPARE(a.avionics_values[0], 100.0f);
    }

    void damagedRepliesStayWithinTheArrays() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        const auto& a = net.Arrays();

        // Counts far beyond the arrays and the 512 items.
        QVERIFY(Deliver(net, ServerMessage(64, 10, 60000, 60000, kMessageBytes)));
        QCOMPARE(a.avionics_values[1], 101.0f);
        QCOMPARE(a.avionics_states[1], 2);
        QCOMPARE(a.electrics_states[0], 0);  // the next array is not overrun

        // Counts beyond what the payload carried: the rest is not taken from
        // an older message left in the buffer.
        QVERIFY(Deliver(net, ServerMessage(64, 3, 13, 13, 7 + 8 * 4)));
        QCOMPARE(a.flight_surfaces_values[3], 103.0f);
        QCOMPARE(a.flight_surfaces_values[4], 0.0f);

        // NaN and huge states.
        auto m = ServerMessage(64, 5, 0, 3);
        PutF32(m, 11, std::numeric_limits<float>::quiet_NaN());
        PutF32(m, 19, 1e30f);
        PutF32(m, 27, -1e30f);
        QVERIFY(Deliver(net, m));
        QCOMPARE(a.electrics_states[0], 0);
        QCOMPARE(a.electrics_states[1], std::numeric_limits<int32_t>::max());
        QCOMPARE(a.electrics_states[2], std::numeric_limits<int32_t>::min());

        // A payload longer than the message is cut; a short one is no message.
        QVERIFY(Deliver(net, ServerMessage(64, 1, 1, 1, 9000)));
        const std::vector<uint8_t> tiny = {64, 1, 0};
        QVERIFY(!Deliver(net, tiny));
        QCOMPARE(net.Buffer().kind, uint8_t{0});
        QVERIFY(transport.sent.empty());
    }

    // Only a data reply of one of the five groups, or the acknowledgement of
    // a pending command, is a reply; a message of another kind or group is
    // none, and stores nothing.
    void messagesOfUnknownKindsOrGroupsAreNoReplies() {
        FakeTransport transport;
        rizezo::NetLogic net(&transport);
        net.SetConnected(true);
        for (uint8_t kind : {0, 1, 2, 3, 8, 63, 65, 255}) {
            QVERIFY2(!Deliver(net, ServerMessage(kind, 1, 12, 22)),
                     qPrintable(QString::number(kind)));
        }
        QVERIFY(!Deliver(net, ServerMessage(4, 1)));  // no command waits for it
        for (uint16_t group : {0, 2, 6, 7, 15, 65535}) {
            QVERIFY2(!Deliver(net, ServerMessage(64, group, 57, 26)),
                     qPrintable(QString::number(group)));
        }
        QCOMPARE(net.Arrays().hydraulics_values[0], 0.0f);
        QCOMPARE(net.Arrays().hydraulics_states[0], 0);
        for (uint16_t group : {1, 3, 4, 5, 10}) {
            QVERIFY2(Deliver(net, ServerMessage(64, group, 1, 1)),
                     qPrintable(QString::number(group)));
        }
        QVERIFY(transport.sent.empty());
    }
};

QTEST_GUILESS_MAIN(NetLogicTest)
#include "net_logic_test.moc"
