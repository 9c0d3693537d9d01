// The panel over a real session: a small in-process server answers data
// requests and acknowledges commands. Covers connect, polling, commands,
// disconnect and reconnect, a connect to nothing, and a server that goes
// away. Waits are bounded waits for events, never fixed sleeps.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
#include <thread>
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
        if (strange) {  // answers a request with messages the panel does not know
            reply[0] = 99;
            reply[1] = 1;
            host_->SendTo(player, reply.data(), reply.size());
            reply[0] = 64;
            reply[1] = 7;
            reply[3] = 12;
            host_->SendTo(player, reply.data(), reply.size());
            return;
        }
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
    bool silent = false;   // accepts the connection, answers nothing
    bool strange = false;  // answers with an unknown kind and an unknown group

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

struct ProgramRun {
    int exit_code = -1;  // -1: it did not exit by itself
    QString stderr_text;
};

// Runs the Rizezo program in screenshot mode.
ProgramRun RunProgram(const QStringList& args) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(RIZEZO_EXE, args);
    ProgramRun run;
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.exit_code = program.exitCode();
    run.stderr_text = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

// Its exit code (-1: it did not exit by itself).
int RunScreenshot(const QStringList& args) {
    return RunProgram(args).exit_code;
}

// A server that accepts one panel as the session does, waits for its first
// request, then writes `bytes` where the reply should be and, when
// `close_after`, closes the connection.
class HostileServer {
  public:
    HostileServer(std::vector<uint8_t> bytes, bool close_after)
        : bytes_(std::move(bytes)), close_after_(close_after) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listener_, 4) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            return;
        }
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~HostileServer() {
        ::shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }
    uint16_t Port() const { return port_; }

  private:
    void Serve() {
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0) return;
        std::vector<uint8_t> request;
        const uint8_t answer[12] = {8, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};  // accepted, player 1
        if (ReadFrame(fd, &request) && request.size() == 16 &&
            ::send(fd, answer, sizeof answer, MSG_NOSIGNAL) == sizeof answer &&
            ReadFrame(fd, &request)) {
            if (!bytes_.empty()) ::send(fd, bytes_.data(), bytes_.size(), MSG_NOSIGNAL);
            if (close_after_) {
                ::close(fd);
                return;
            }
            uint8_t drain[4096];  // until the panel goes
            while (::read(fd, drain, sizeof drain) > 0) {
            }
        }
        ::close(fd);
    }
    static bool ReadAll(int fd, uint8_t* data, size_t size) {
        while (size > 0) {
            const ssize_t n = ::read(fd, data, size);
            if (n <= 0) return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    static bool ReadFrame(int fd, std::vector<uint8_t>* body) {
        uint8_t h[4];
        if (!ReadAll(fd, h, 4)) return false;
        body->resize(uint32_t(h[0]) | uint32_t(h[1]) << 8 | uint32_t(h[2]) << 16 |
                     uint32_t(h[3]) << 24);
        return body->empty() || ReadAll(fd, body->data(), body->size());
    }

    std::vector<uint8_t> bytes_;
    bool close_after_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

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

    // A host that breaks the link instead of replying: the panel says at
    // once what went wrong (not after its wait for a reply), with the exit
    // code of its kind, and still writes the picture.
    void screenshotModeSaysAtOnceHowTheHostFailed() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("page.png");
        struct Case {
            const char* what;
            std::vector<uint8_t> bytes;
            bool close_after;
            int exit_code;
            const char* says;
        };
        const std::vector<Case> cases = {
            {"a close mid-message",
             {0x05, 0x0C, 0, 0, 64, 1, 0, 12, 0, 22},
             true,
             5,
             "the host closed the connection in the middle of a message"},
            {"a close with no reply", {}, true, 5, "the host closed the connection"},
            {"garbage", {'<', 'h', 't', 'm', 'l', '>', '\n'}, false, 6, "bad frame"},
            {"a length of 0", {0, 0, 0, 0}, false, 6, "bad frame"},
            {"a length of 0xFFFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF}, false, 6, "bad frame"},
        };
        for (const Case& c : cases) {
            HostileServer server(c.bytes, c.close_after);
            QVERIFY(server.Port() != 0);
            const ProgramRun run =
                RunProgram({"--screenshot", file, "--page", "1", "--host", "127.0.0.1", "--port",
                            QString::number(server.Port())});
            QVERIFY2(run.exit_code == c.exit_code, qPrintable(QString("%1: exit %2, %3")
                                                                  .arg(c.what)
                                                                  .arg(run.exit_code)
                                                                  .arg(run.stderr_text)));
            QVERIFY2(run.stderr_text.contains(c.says), qPrintable(run.stderr_text));
            // Said before the wait ran out, however long the program took:
            // the first of the two to come decides the exit code and the
            // words, and the wait's are 4 and "no reply".
            QVERIFY2(!run.stderr_text.contains("no reply"), qPrintable(run.stderr_text));
            QVERIFY(QFile::remove(file));
        }

        // A host whose answers are of a kind or group the panel does not
        // know has not replied.
        StandInServer strange;
        strange.strange = true;
        QVERIFY(strange.Start());
        const ProgramRun run = RunProgram({"--screenshot", file, "--page", "1", "--host",
                                           "127.0.0.1", "--port", QString::number(strange.Port())});
        QCOMPARE(run.exit_code, 4);
        QVERIFY(QFile::exists(file));
        strange.Stop();
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
