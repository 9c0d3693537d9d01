// The panel over a real session: a small in-process server answers data
// requests and acknowledges commands. Covers connect, polling, commands,
// disconnect and reconnect, a connect to nothing, and a server that goes
// away. Waits are bounded waits for events, never fixed sleeps.
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "form.h"
#include "zu/platform/net_session.h"

using rizezo::Tform1;

namespace {

// Answers DataRequest with a DataReply whose value i is 1000 + i and whose
// state i is the last value set for it; acknowledges SetValue.
class StandInServer {
  public:
    bool Start() {
        host_ = zu::platform::CreateSessionHost();
        for (uint16_t port = 36600; port < 36700; ++port) {
            auto handler = [this](zu::platform::SessionEvent event, zu::platform::PlayerId player,
                                  const uint8_t* data, size_t size) {
                if (event == zu::platform::SessionEvent::Message) Handle(player, data, size);
            };
            if (host_->Host(port, zu::platform::kInstructorAppId, handler) ==
                zu::platform::kSessionOk) {
                port_ = port;
                return true;
            }
        }
        return false;
    }
    void Stop() { host_->Close(); }
    uint16_t Port() const { return port_; }
    size_t Players() const { return host_->PlayerCount(); }
    int Commands() const { return commands_.load(); }
    int LastIndex() const { return last_index_.load(); }
    int LastValue() const { return last_value_.load(); }

  private:
    void Handle(zu::platform::PlayerId player, const uint8_t* data, size_t size) {
        if (size < 15 || silent) return;
        std::vector<uint8_t> reply(3077, 0);
        if (data[0] == 2) {
            float index, value;
            std::memcpy(&index, data + 7, 4);
            std::memcpy(&value, data + 11, 4);
            last_index_ = static_cast<int>(index);
            last_value_ = static_cast<int>(value);
            ++commands_;
            reply[0] = 4;
        } else if (data[0] == 1) {
            reply[0] = 64;
            reply[1] = data[1];
            reply[2] = data[2];
            reply[3] = 12;  // value_count
            reply[5] = 22;  // state_count
            for (int i = 0; i < 22; ++i) {
                const float value = 1000.0f + i;
                const float state = i == last_index_.load() ? float(last_value_.load()) : 0.0f;
                std::memcpy(reply.data() + 7 + 8 * i, &value, 4);
                std::memcpy(reply.data() + 11 + 8 * i, &state, 4);
            }
        } else {
            return;
        }
        host_->SendTo(player, reply.data(), reply.size());
    }

  public:
    bool silent = false;  // accepts the connection, answers nothing

  private:
    std::unique_ptr<zu::platform::SessionHost> host_;
    uint16_t port_ = 0;
    std::atomic<int> commands_{0};
    std::atomic<int> last_index_{-1};
    std::atomic<int> last_value_{0};
};

// A port with nothing listening: taken by a host, then released.
uint16_t FreePort() {
    StandInServer server;
    if (!server.Start()) return 0;
    const uint16_t port = server.Port();
    server.Stop();
    return port;
}

// Runs the Rizezo program in screenshot mode; its exit code (-1: it did not
// exit by itself).
int RunScreenshot(const QStringList& args) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(RIZEZO_EXE, args);
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return -1;
    }
    return program.exitCode();
}

}  // namespace

class LinkTest : public QObject {
    Q_OBJECT

  private slots:
    // The screenshot mode's exit codes: a page outside 0..5 is a usage
    // error (2, nothing written); a connection that fails is 3, no reply
    // within the wait 4 (the picture is written all the same); a reply 0.
    void screenshotModeReportsWhatWentWrong() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("page.png");
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "9"}), 2);
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "-1"}), 2);
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "x"}), 2);
        QVERIFY(!QFile::exists(file));

        const QString nothing = QString::number(FreePort());
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "1", "--host", "127.0.0.1",
                                "--port", nothing}),
                 3);
        QVERIFY(QFile::remove(file));

        StandInServer silent;
        silent.silent = true;
        QVERIFY(silent.Start());
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "1", "--host", "127.0.0.1",
                                "--port", QString::number(silent.Port())}),
                 4);
        QVERIFY(QFile::remove(file));
        silent.Stop();

        StandInServer server;
        QVERIFY(server.Start());
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "1", "--host", "127.0.0.1",
                                "--port", QString::number(server.Port())}),
                 0);
        QVERIFY(QFile::exists(file));
        // Page 0 asks for nothing: connected is enough.
        QCOMPARE(RunScreenshot({"--screenshot", file, "--page", "0", "--host", "127.0.0.1",
                                "--port", QString::number(server.Port())}),
                 0);
        server.Stop();
    }

    void pollsAndCommandsOverTheLink() {
        StandInServer server;
        QVERIFY(server.Start());
        Tform1 form;
        QStringList messages;
        form.SetMessageSink([&messages](const QString& text) { messages << text; });
        form.SetPort(server.Port());
        form.PageControl1->setCurrentIndex(rizezo::kPageHydraulics);
        QSignalSpy handled(&form, &Tform1::messageHandled);

        form.Connect_ButtonClick();
        QVERIFY(messages.isEmpty());
        QCOMPARE(form.windowTitle(), QString("Dirarov control panel  (Connected)"));
        QCOMPARE(form.Connect_Button->text(), QString("Disconnect"));
        QTRY_VERIFY_WITH_TIMEOUT(form.Arrays().hydraulics_values[11] == 1011.0f, 5000);

        // A command: held polls, then the acknowledgement, then fresh data.
        QVERIFY(form.Net().SendCommand(rizezo::kGroupHydraulics, 3, 2));
        QTRY_VERIFY_WITH_TIMEOUT(form.Net().Acknowledged(), 5000);
        QVERIFY(server.Commands() >= 1);  // a reply already on its way triggers a resend
        QCOMPARE(server.LastIndex(), 3);
        QCOMPARE(server.LastValue(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(form.Arrays().hydraulics_states[3], 2, 5000);
        QVERIFY(handled.count() >= 2);

        form.Connect_ButtonClick();
        QCOMPARE(form.Connect_Button->text(), QString("Connect"));
        QVERIFY(!form.Net().Connected());
        QTRY_COMPARE_WITH_TIMEOUT(server.Players(), size_t{0}, 5000);
        form.Disconnect();  // twice is harmless
        form.Disconnect();
    }

    void reconnectingKeepsOneConnection() {
        StandInServer server;
        QVERIFY(server.Start());
        Tform1 form;
        form.SetPort(server.Port());
        for (int round = 0; round < 3; ++round) {
            QCOMPARE(form.ConnectToHost(), 0);  // over the previous connection
            form.Net().SetConnected(true);
        }
        QTRY_COMPARE_WITH_TIMEOUT(server.Players(), size_t{1}, 5000);
        form.FormDestroy();
        form.FormDestroy();
        QTRY_COMPARE_WITH_TIMEOUT(server.Players(), size_t{0}, 5000);
    }

    void connectingToNothingShowsTheError() {
        const uint16_t port = FreePort();
        QVERIFY(port != 0);
        Tform1 form;
        QStringList messages;
        form.SetMessageSink([&messages](const QString& text) { messages << text; });
        form.SetPort(port);
        form.Connect_ButtonClick();
        QCOMPARE(messages, QStringList{"Error connecting the the Dirarov host"});
        QCOMPARE(form.Connect_Button->text(), QString("Connect"));
        QVERIFY(!form.Net().Connected());
        QVERIFY(!form.Net().SendCommand(rizezo::kGroupElectrics, 2, 255));
        QVERIFY(form.Net().Acknowledged());
        form.Disconnect();  // after a failed connect
        form.Disconnect();
        form.DataRequestingTimerTimer();
        QCOMPARE(form.windowTitle(), QString("Dirarov control panel  (not Connected)"));
    }

    void serverGoingAwayShowsNotConnected() {
        StandInServer server;
        QVERIFY(server.Start());
        Tform1 form;
        form.SetPort(server.Port());
        form.Connect_ButtonClick();
        QCOMPARE(form.Connect_Button->text(), QString("Disconnect"));
        server.Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!form.Net().Connected(), 5000);
        form.DataRequestingTimerTimer();
        QCOMPARE(form.windowTitle(), QString("Dirarov control panel  (not Connected)"));
        QCOMPARE(form.Connect_Button->text(), QString("Connect"));
    }
};

QTEST_MAIN(LinkTest)
#include "link_test.moc"
