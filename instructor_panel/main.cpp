// Rizezo, the remote instructor panel.
//
//   Rizezo [--host ADDR] [--port N] [--screenshot FILE.png --page N]
//
// --host fills the host field. With --screenshot the program shows page N
// (0..5), connects when a host was given, waits for one reply (at most a few
// seconds; page 0 asks for none), writes the window to FILE.png and exits:
// 0 when it did all that, 1 when the picture could not be written, 2 for a
// bad command line, 3 when it could not connect, 4 when no reply came in
// time (the picture is written in every case but 2).
#include <QApplication>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "form.h"
#include "widgets.h"

namespace {

constexpr int kScreenshotWaitMs = 3000;
constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotConnected = 3;
constexpr int kExitNoReply = 4;
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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetUpApplication(app);

    QCommandLineParser parser;
    parser.setApplicationDescription("Remote instructor control panel");
    parser.addHelpOption();
    const QCommandLineOption host_option("host", "Fills the host field.", "ADDR");
    const QCommandLineOption screenshot_option(
        "screenshot", "Writes the window to FILE.png after one reply and exits.", "FILE.png");
    const QCommandLineOption page_option("page", "The page to show (0..5).", "N", "0");
    const QCommandLineOption port_option(
        "port", "Port of the instructor link (default 2660; for tests).", "N", "2660");
    parser.addOptions({host_option, screenshot_option, page_option, port_option});
    parser.process(app);

    bool page_ok = false;
    const int page = parser.value(page_option).toInt(&page_ok);
    if (!page_ok || page < 0 || page >= kPageCount) {
        return UsageError("--page needs a page number from 0 to 5, not '" +
                          parser.value(page_option) + "'");
    }
    bool port_ok = false;
    const uint port = parser.value(port_option).toUInt(&port_ok);
    if (!port_ok || port == 0 || port > 65535) {
        return UsageError("--port needs a port number from 1 to 65535, not '" +
                          parser.value(port_option) + "'");
    }

    rizezo::Tform1 form;
    form.SetPort(static_cast<uint16_t>(port));
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
            QObject::connect(&form, &rizezo::Tform1::messageHandled, &form, [finish] {
                QTimer::singleShot(50, [finish] { finish(0); });  // let the pages repaint first
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
