// The program as a user starts it: a command line it cannot read, and a
// screenshot taken where there is no display at all.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exit_code = -1;  // -1: it crashed or did not exit by itself
    QString stderr_text;
};

// Runs the program with neither a display nor a Qt platform named, unless
// `platform` names one.
Run RunProgram(const QStringList& args, const QString& platform = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    if (!platform.isEmpty()) env.insert("QT_QPA_PLATFORM", platform);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(RIZEZO_EXE, args);
    Run run;
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.exit_code = program.exitCode();
    run.stderr_text = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT

  private slots:
    // Anything the command line cannot carry is a bad command line (2), with
    // or without a display, and names what was wrong.
    void badCommandLineExitsTwo() {
        const Run unknown = RunProgram({"--bogus"});
        QCOMPARE(unknown.exit_code, 2);
        QVERIFY2(unknown.stderr_text.contains("bogus"), qPrintable(unknown.stderr_text));
        QCOMPARE(RunProgram({"--bogus"}, "offscreen").exit_code, 2);
        QCOMPARE(RunProgram({"--screenshot", "x.png", "--page"}).exit_code, 2);  // no value
        QCOMPARE(RunProgram({"--port", "0"}).exit_code, 2);
        QCOMPARE(RunProgram({"--help"}).exit_code, 0);
    }

    // Without a display the screenshot is drawn offscreen: the whole window.
    void screenshotWithoutADisplay() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath("page.png");
        const Run run = RunProgram({"--screenshot", file, "--page", "2"});
        QCOMPARE(run.exit_code, 0);
        const QImage image(file);
        QVERIFY2(!image.isNull(), qPrintable(run.stderr_text));
        QCOMPARE(image.size(), QSize(867, 611));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
