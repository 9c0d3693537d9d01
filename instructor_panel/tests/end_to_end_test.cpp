// The panel against the gauge module run by the simulator stand-in, in this
// process and on the lockstep clock: the module's instructor-link server
// answers the panel over a real session. The test drives both sides: each
// step runs simulator frames and lets the panel handle what arrived, until
// the expected state is reached (bounded by a frame count; the wall-clock
// limit is only a guard against a hang). The panel's 250 ms timer is
// stopped and ticked every 8 frames (267 simulated ms) instead.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "cabin_link/instructor_link_server.h"
#include "cabin_link/instructor_state_exchange.h"
#include "core/module_frame.h"
#include "form.h"
#include "widgets.h"
#include "zu/platform/net_session.h"
#include "zu/platform/session_clock.h"
#include "zu/simhost/simulator.h"

using rizezo::Tform1;

namespace {

constexpr int kFramesPerPanelTick = 8;

// A port nothing listens on: hosted once, then released.
uint16_t FreePort(uint16_t from) {
    auto host = zu::platform::CreateSessionHost();
    for (uint16_t port = from; port < from + 100; ++port) {
        auto ignore = [](zu::platform::SessionEvent, zu::platform::PlayerId, const uint8_t*,
                         size_t) {};
        if (host->Host(port, zu::platform::kInstructorAppId, ignore) == zu::platform::kSessionOk) {
            host->Close();
            return port;
        }
    }
    return 0;
}

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<zu::simhost::Simulator> sim_;
    std::unique_ptr<Tform1> form_;
    uint16_t port_ = 0;
    uint64_t frames_ = 0;

    // Runs frames, ticking the panel and handling what arrived, until `done`.
    bool RunUntil(const std::function<bool()>& done, int max_frames = 3000) {
        QElapsedTimer guard;
        guard.start();
        for (int i = 0; i < max_frames && guard.elapsed() < 60000; ++i) {
            sim_->RunFrame();
            if (++frames_ % kFramesPerPanelTick == 0) form_->DataRequestingTimerTimer();
            QCoreApplication::processEvents();
            if (done()) return true;
        }
        return false;
    }

    // Waits (bounded) until `done` holds for the module's link counters.
    bool WaitForLink(const std::function<bool(const zu::platform::SessionHostStats&)>& done) {
        QElapsedTimer guard;
        guard.start();
        while (guard.elapsed() < 10000) {
            for (const zu::platform::SessionHostStats& h : zu::platform::HostedSessions()) {
                if (h.port == port_ && done(h)) return true;
            }
            QThread::yieldCurrentThread();
        }
        return false;
    }
    bool WaitForConnections(size_t n) {
        return WaitForLink(
            [n](const zu::platform::SessionHostStats& h) { return h.connections == n; });
    }

    static int ConnectRaw(uint16_t port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // Waits (bounded) until the host closes `fd`, reading what comes first.
    static bool ClosedByHost(int fd) {
        QElapsedTimer guard;
        guard.start();
        while (guard.elapsed() < 10000) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            uint8_t buffer[256];
            if (::read(fd, buffer, sizeof buffer) <= 0) return true;
        }
        return false;
    }

    bool Acknowledged() {
        return RunUntil([this] { return form_->Net().Acknowledged(); });
    }

    void Click(const QString& name) {
        QWidget* widget = form_->findChild<QWidget*>(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        const QPoint at = qobject_cast<QAbstractButton*>(widget) != nullptr
                              ? QPoint(8, widget->height() / 2)
                              : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        const std::filesystem::path aircraft =
            std::filesystem::path(dir_.path().toStdString()) / "Zuvav";
        std::filesystem::copy(ZU_SAMPLE_AIRCRAFT_DIR, aircraft,
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all(aircraft / "ini");  // no settings left over
        std::filesystem::create_directories(aircraft / "ini");

        // Both programs agree on the port; the test moves the server to a free
        // one so it cannot collide with anything else on this machine.
        QCOMPARE(uint32_t(zu::NetServerPort), uint32_t(rizezo::kInstructorPort));
        port_ = FreePort(36800);
        QVERIFY(port_ != 0);
        zu::NetServerPort = port_;

        zu::simhost::SimulatorConfig config;
        config.aircraft_dir = aircraft;
        config.audio_silent = true;
        sim_ = std::make_unique<zu::simhost::Simulator>(config);
        std::string error;
        QVERIFY2(sim_->AttachModule(&Linkage, &ImportTable, &error), error.c_str());
        QVERIFY2(sim_->LoadAircraft(&error), error.c_str());
        QVERIFY2(sim_->Start(&error), error.c_str());

        form_ = std::make_unique<Tform1>();
        form_->DataRequestingTimer->stop();
        form_->SetPort(port_);
        form_->show();
        QVERIFY2(RunUntil([] { return zu::NetServerHosting.load() != 0; }),
                 "the module never hosted the instructor link");
    }

    void cleanupTestCase() {
        form_.reset();
        if (sim_) sim_->Stop();
        sim_.reset();
        zu::NetServerPort = rizezo::kInstructorPort;
    }

    void engineFailureSetFromThePropellersPage() {
        form_->PageControl1->setCurrentIndex(rizezo::kPagePowerplants);
        form_->IPEdit->setText("127.0.0.1");
        QStringList messages;
        form_->SetMessageSink([&messages](const QString& text) { messages << text; });
        QSignalSpy handled(form_.get(), &Tform1::messageHandled);

        form_->Connect_ButtonClick();
        QVERIFY(messages.isEmpty());
        QCOMPARE(form_->Connect_Button->text(), QString("Disconnect"));
        QVERIFY2(RunUntil([&handled] { return handled.count() > 0; }), "no data reply");
        QCOMPARE(form_->Arrays().powerplants_states[7], 0);

        // Select ENGINE #1 (its state goes out at once), then "Inoperative".
        Click("PowerplantShape207");
        QVERIFY(form_->Powerplants_failure_inoperative->isEnabled());
        QVERIFY(Acknowledged());
        Click("Powerplants_failure_inoperative");
        QVERIFY(!form_->Net().Acknowledged());
        QCOMPARE(form_->Net().PendingGroup(), 4);
        QCOMPARE(form_->Net().PendingIndex(), 7);
        QCOMPARE(form_->Net().PendingValue(), 1);
        QVERIFY2(Acknowledged(), "the command was never acknowledged");
        // An acknowledgement names no command: the one that came may belong
        // to a resend of the selection's command, so wait for the module.
        QVERIFY2(RunUntil([] { return zu::EngineFailureWord1 == 1; }),
                 "the module never applied the failure");

        // The next reply carries the failure back.
        form_->Arrays().powerplants_states[7] = 0;
        QVERIFY2(RunUntil([this] { return form_->Arrays().powerplants_states[7] == 1; }),
                 "no reply showed the failure");
        auto* engine = form_->findChild<rizezo::TagShape*>("PowerplantShape207");
        QVERIFY(engine != nullptr);
        QCOMPARE(engine->BrushColour(), rizezo::colours::kFailed);
    }

    void disconnectStopsTheTraffic() {
        form_->Connect_ButtonClick();
        QCOMPARE(form_->Connect_Button->text(), QString("Connect"));
        QVERIFY(!form_->Net().Connected());
        QSignalSpy handled(form_.get(), &Tform1::messageHandled);
        RunUntil([] { return false; }, 100);
        QCOMPARE(handled.count(), 0);
    }

    // Every place of the link held by peers that only completed their
    // handshake, or that sent a frame header and half a message: the
    // program, started later in screenshot mode, connects and gets its
    // reply. The bounds are the module's (a silent-peer time of 30 s, a
    // handshake and frame time of 10 s), reached by advancing the sessions'
    // clock, which is this process's: the link's.
    void aPanelGetsInWhenSilentOrHalfFinishedPeersHoldEveryPlace() {
        zu::NetServerStop();  // the counters start from 0
        zu::InstructorLinkStart();
        QVERIFY(zu::NetServerHosting.load() != 0);
        QTemporaryDir pictures;
        QVERIFY(pictures.isValid());
        const uint8_t request[20] = {16,   0,    0,    0,    0x3B, 0xCA, 0xD4, 0x1A, 0x68, 0xAC,
                                     0x9B, 0x4D, 0x95, 0x22, 0xBE, 0x59, 0xCD, 0x48, 0x52, 0x76};
        const uint8_t half[4 + 2051] = {0x07, 0x10, 0, 0, 1, 1};  // 4103 bytes announced
        for (const bool half_frame : {false, true}) {
            std::vector<int> peers;
            for (int i = 0; i < (half_frame ? 64 : 63); ++i) {
                peers.push_back(ConnectRaw(port_));
                QVERIFY(peers.back() >= 0);
                QVERIFY(::send(peers.back(), request, sizeof request, MSG_NOSIGNAL) ==
                        sizeof request);
            }
            if (half_frame) {
                QVERIFY(WaitForConnections(64));
                for (int fd : peers) QVERIFY(::send(fd, half, sizeof half, MSG_NOSIGNAL) > 0);
                QVERIFY(WaitForLink([](const zu::platform::SessionHostStats& h) {
                    return h.peers.size() == 64 &&
                           std::all_of(
                               h.peers.begin(), h.peers.end(),
                               [](const zu::platform::SessionPeerStats& p) { return p.mid_frame; });
                }));
                QVERIFY(zu::platform::AdvanceSessionClock(std::chrono::seconds(10)));
                for (int fd : peers) QVERIFY(ClosedByHost(fd));
            } else {
                QVERIFY(WaitForConnections(63));
                const int mute = ConnectRaw(port_);  // never sends its connect request
                QVERIFY(WaitForConnections(64));
                QVERIFY(zu::platform::AdvanceSessionClock(std::chrono::seconds(10)));
                QVERIFY(ClosedByHost(mute));
                ::close(mute);
                // The others have been silent since their handshake, for the
                // silent-peer time now.
                QVERIFY(zu::platform::AdvanceSessionClock(std::chrono::seconds(20)));
                peers.push_back(ConnectRaw(port_));
                QVERIFY(::send(peers.back(), request, sizeof request, MSG_NOSIGNAL) ==
                        sizeof request);
                QVERIFY(WaitForConnections(64));
            }

            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            program.setProcessEnvironment(env);
            const QString file = pictures.filePath(half_frame ? "half.png" : "silent.png");
            program.start(RIZEZO_EXE, {"--screenshot", file, "--page", "1", "--host", "127.0.0.1",
                                       "--port", QString::number(port_)});
            QVERIFY(program.waitForStarted());
            QVERIFY(
                RunUntil([&program] { return program.state() == QProcess::NotRunning; }, 100000));
            QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
            QVERIFY(QFile::exists(file));
            bool found = false;
            for (const zu::platform::SessionHostStats& h : zu::platform::HostedSessions()) {
                if (h.port != port_) continue;
                found = true;
                QCOMPARE(h.frame_timeouts, uint64_t{half_frame ? 64u : 0u});
                QCOMPARE(h.closed_silent, uint64_t{half_frame ? 0u : 1u});
            }
            QVERIFY(found);
            for (int fd : peers) ::close(fd);
            QVERIFY(WaitForConnections(0));
            zu::NetServerStop();  // the next round counts from 0
            zu::InstructorLinkStart();
        }
    }

    void connectingToNothingShowsTheError() {
        QStringList messages;
        form_->SetMessageSink([&messages](const QString& text) { messages << text; });
        form_->SetPort(FreePort(36900));
        form_->Connect_ButtonClick();
        QCOMPARE(messages, QStringList{"Error connecting the the Dirarov host"});
        QCOMPARE(form_->Connect_Button->text(), QString("Connect"));
        form_->SetPort(port_);
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
