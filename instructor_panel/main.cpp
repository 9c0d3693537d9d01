// Rizezo, the remote instructor panel.
//
//   Rizezo [--host ADDR] [--screenshot FILE.png --page N]
//
// --host fills the host field. With --screenshot the program shows page N,
// connects when a host was given, waits for one reply (at most a few
// seconds), writes the window to FILE.png and exits.
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
    parser.addOptions({host_option, screenshot_option, page_option});
    parser.process(app);

    rizezo::Tform1 form;
    if (parser.isSet(host_option)) form.IPEdit->setText(parser.value(host_option));
    form.show();

    int exit_code = 0;
    if (parser.isSet(screenshot_option)) {
        const QString file = parser.value(screenshot_option);
        const int page = parser.value(page_option).toInt();
        const bool connect = parser.isSet(host_option);
        form.SetMessageSink(
            [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
        auto finish = [&form, &exit_code, file] {
            static bool done = false;
            if (done) return;
            done = true;
            if (!form.grab().save(file, "PNG")) {
                std::fprintf(stderr, "Cannot write %s\n", qPrintable(file));
                exit_code = 1;
            }
            form.close();
            QApplication::quit();
        };
        QTimer::singleShot(0, &form, [&form, page, connect, finish] {
            form.PageControl1->setCurrentIndex(page);
            if (connect) form.Connect_ButtonClick();
            if (!form.Net().Connected() || rizezo::GroupForPage(page) == rizezo::kGroupNone) {
                QTimer::singleShot(50, &form, finish);
                return;
            }
            QObject::connect(&form, &rizezo::Tform1::messageHandled, &form, [finish] {
                QTimer::singleShot(50, finish);  // let the pages repaint first
            });
            QTimer::singleShot(kScreenshotWaitMs, &form, finish);
        });
    }

    const int result = app.exec();
    form.FormDestroy();
    return exit_code != 0 ? exit_code : result;
}
