// Rizezo, the remote instructor panel.
//
//   Rizezo [--host ADDR] [--port N] [--screenshot FILE.png --page N]
//
// --host fills the host field. With --screenshot the program shows page N
// (0..5), connects when a host was given, waits for one reply (at most a few
// seconds; page 0 asks for none), writes the window to FILE.png and exits:
// 0 when it did all that, 1 when the picture could not be written, 2 for a
// bad command line, 3 when it could not connect, 4 when no reply came in
// time, 5 when the host closed the connection before its reply, 6 when the
// host sent a bad frame (the picture is written in every case but 2). A
// command line it cannot read exits with 2 whatever the mode. Where no
// display is named and no Qt platform chosen, a screenshot is drawn
// offscreen.
#include <QApplication>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "form.h"
#include "widgets.h"

namespace {

constexpr int kScreenshotWaitMs = 3000;
constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotConnected = 3;
constexpr int kExitNoReply = 4;
constexpr int kExitClosed = 5;
constexpr int kExitBadFrame = 6;
constexpr int kPageCount = 6;

int UsageError(const QString& text) {
    std::fprintf(stderr, "Rizezo: %s (see --help)\n", qPrintable(text));
    return kExitUsage;
}

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName("Rizezo");
    QApplication::setStyle("Fusion");
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    QApplication::setFont(font);
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, rizezo::colours::kButtonFace);
    app.setPalette(palette);
}

// The command line: its options and, once read, their values.
struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption help;
    const QCommandLineOption host{"host", "Fills the host field.", "ADDR"};
    const QCommandLineOption screenshot{
        "screenshot", "Writes the window to FILE.png after one reply and exits.", "FILE.png"};
    const QCommandLineOption page{"page", "The page to show (0..5).", "N", "0"};
    const QCommandLineOption port{"port", "Port of the instructor link (default 2660; for tests).",
                                  "N", "2660"};
    int page_number = 0;
    uint16_t port_number = 0;
    QString error;  // why the command line is bad; empty when it is good

    CommandLine() : help(parser.addHelpOption()) {
        parser.setApplicationDescription("Remote instructor control panel");
        parser.addOptions({host, screenshot, page, port});
    }

    bool HelpAsked() const { return parser.isSet(help) || parser.isSet("help-all"); }

    // False when the command line is bad (`error` says why).
    bool Read(const QStringList& arguments) {
        if (!parser.parse(arguments)) {
            error = parser.errorText();
            return false;
        }
        bool ok = false;
        page_number = parser.value(page).toInt(&ok);
        if (!ok || page_number < 0 || page_number >= kPageCount) {
            error = "--page needs a page number from 0 to 5, not '" + parser.value(page) + "'";
            return false;
        }
        const uint value = parser.value(port).toUInt(&ok);
        if (!ok || value == 0 || value > 65535) {
            error = "--port needs a port number from 1 to 65535, not '" + parser.value(port) + "'";
            return false;
        }
        port_number = static_cast<uint16_t>(value);
        return true;
    }
};

// A run that shows no window (a screenshot, the help, a bad command line)
// needs no display: with none named and no platform chosen, it draws
// offscreen. Read before the application exists, so Qt's own options (which
// the application takes away later) may make the command line look bad here;
// that only picks the offscreen platform, which such an option can override.
void ChooseOffscreenWithoutDisplay(int argc, char** argv) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name)) return;
    }
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine command_line;
    if (!command_line.Read(arguments) || command_line.parser.isSet(command_line.screenshot) ||
        command_line.HelpAsked()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace

int main(int argc, char** argv) {
    ChooseOffscreenWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    SetUpApplication(app);

    CommandLine command_line;
    if (!command_line.Read(QApplication::arguments())) return UsageError(command_line.error);
    const QCommandLineParser& parser = command_line.parser;
    if (command_line.HelpAsked()) command_line.parser.showHelp(0);
    const QCommandLineOption& host_option = command_line.host;
    const QCommandLineOption& screenshot_option = command_line.screenshot;
    const int page = command_line.page_number;

    rizezo::Tform1 form;
    form.SetPort(command_line.port_number);
    if (parser.isSet(host_option)) form.IPEdit->setText(parser.value(host_option));
    form.show();

    int exit_code = 0;
    if (parser.isSet(screenshot_option)) {
        const QString file = parser.value(screenshot_option);
        const bool connect = parser.isSet(host_option);
        form.SetMessageSink(
            [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
        // `failure`: the exit code when nothing else fails (0: none).
        auto finish = [&form, &exit_code, file](int failure) {
            static bool done = false;
            if (done) return;
            done = true;
            exit_code = failure;
            if (!form.grab().save(file, "PNG")) {
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(file));
                exit_code = kExitWriteFailed;
            }
            form.close();
            QApplication::quit();
        };
        QTimer::singleShot(0, &form, [&form, page, connect, finish] {
            form.PageControl1->setCurrentIndex(page);
            if (connect) form.Connect_ButtonClick();
            if (connect && !form.Net().Connected()) {
                QTimer::singleShot(50, &form, [finish] { finish(kExitNotConnected); });
                return;
            }
            if (!connect || rizezo::GroupForPage(page) == rizezo::kGroupNone) {
                QTimer::singleShot(50, &form, [finish] { finish(0); });
                return;
            }
            auto replied = std::make_shared<bool>(false);
            QObject::connect(&form, &rizezo::Tform1::messageHandled, &form, [finish, replied] {
                *replied = true;
                QTimer::singleShot(50, [finish] { finish(0); });  // let the pages repaint first
            });
            // The server went away, or sent what is no frame: said at once,
            // not after the wait (a close after the reply changes nothing).
            QObject::connect(
                &form, &rizezo::Tform1::connectionEnded, &form, [finish, replied](int end) {
                    if (*replied) return;
                    std::fprintf(stderr, "Rizezo: %s\n",
                                 qPrintable(rizezo::ConnectionEndText(end)));
                    const bool bad = end == static_cast<int>(zu::platform::SessionEnd::BadFrame);
                    finish(bad ? kExitBadFrame : kExitClosed);
                });
            QTimer::singleShot(kScreenshotWaitMs, &form, [finish] {
                std::fprintf(stderr, "Rizezo: no reply from the host within %d ms\n",
                             kScreenshotWaitMs);
                finish(kExitNoReply);
            });
        });
    }

    const int result = app.exec();
    form.FormDestroy();
    return exit_code != 0 ? exit_code : result;
}
