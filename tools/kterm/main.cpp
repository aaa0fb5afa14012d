// kterm: a small terminal over the core serial library, to watch the terminal and KSMON
// libraries work against a serial device or the instrument simulator's pseudo-terminal.
//
//   kterm /dev/pts/5                          a window; type to the device
//   kterm /dev/pts/5 --wake --send VERS --batch 1500
//                                             no window: wake the instrument, send VERS, print
//                                             the screen after 1.5 s

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <cstdio>

#include "TerminalSession.h"
#include "TerminalView.h"

namespace {

constexpr int kPollMs = 10;
constexpr int kPort = 1;

// Batch mode: runs the session for the given time, sending each command (with CR) once the
// screen has been quiet for a moment, then prints the screen.
int RunBatch(TerminalSession& session, bool wake, QStringList commands, int ms) {
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer quiet;
    quiet.start();
    if (wake) session.Wake();
    const int settleMs = wake ? 400 : 100;
    while (clock.elapsed() < ms) {
        if (session.Poll()) quiet.restart();
        if (!commands.isEmpty() && quiet.elapsed() >= settleMs) {
            session.Send(commands.takeFirst().toLatin1() + "\r");
            quiet.restart();
        }
        QThread::msleep(kPollMs);
    }
    session.Poll();
    const std::string text = session.GetScreen().Text();
    std::fputs(QString::fromLatin1(text.data(), qsizetype(text.size())).toUtf8().constData(),
               stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Batch mode needs no display.
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith("--batch") &&
            !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kterm"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A terminal (ANSI emulation) on a serial device through kestrune, with a KSMON trace "
        "of the line.\nExample against the simulator: tr58sim --pty, then kterm /dev/pts/N "
        "--wake and type VERS Enter."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("device"),
                                 QStringLiteral("tty device, e.g. /dev/pts/5"));
    QCommandLineOption settings(QStringLiteral("settings"),
                                QStringLiteral("line settings (default 19200,N,8,1)"),
                                QStringLiteral("text"), QStringLiteral("19200,N,8,1"));
    QCommandLineOption trace(QStringLiteral("trace"),
                             QStringLiteral("KSMON trace file (default kterm-trace.txt)"),
                             QStringLiteral("file"), QStringLiteral("kterm-trace.txt"));
    QCommandLineOption mode(
        QStringLiteral("mode"),
        QStringLiteral("trace notation: 0 hex, 1 decimal, 2 raw, 3 printable (default 3)"),
        QStringLiteral("n"), QStringLiteral("3"));
    QCommandLineOption noTrace(QStringLiteral("no-trace"), QStringLiteral("no KSMON trace"));
    QCommandLineOption wake(QStringLiteral("wake"),
                            QStringLiteral("send the instrument's wake-up at start"));
    QCommandLineOption send(QStringLiteral("send"),
                            QStringLiteral("batch: a command line to send (repeatable)"),
                            QStringLiteral("text"));
    QCommandLineOption batch(QStringLiteral("batch"),
                             QStringLiteral("no window: run for <ms>, then print the screen"),
                             QStringLiteral("ms"));
    parser.addOptions({settings, trace, mode, noTrace, wake, send, batch});
    parser.process(app);
    if (parser.positionalArguments().size() != 1) parser.showHelp(2);

    TerminalSession session(kPort);
    if (!session.Open(parser.positionalArguments().first(), parser.value(settings))) {
        std::fprintf(stderr, "kterm: %s\n", qPrintable(session.Error()));
        return 1;
    }
    if (!parser.isSet(noTrace) &&
        !session.StartTrace(parser.value(trace), parser.value(mode).toInt())) {
        std::fprintf(stderr, "kterm: %s\n", qPrintable(session.Error()));
        return 1;
    }
    if (parser.isSet(batch))
        return RunBatch(session, parser.isSet(wake), parser.values(send),
                        parser.value(batch).toInt());

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("kterm - %1").arg(parser.positionalArguments().first()));
    auto* view = new TerminalView(session);
    window.setCentralWidget(view);
    QToolBar* tools = window.addToolBar(QStringLiteral("Line"));
    tools->addAction(QStringLiteral("Wake up"), [&] { session.Wake(); });
    window.statusBar()->showMessage(parser.isSet(noTrace)
                                        ? QStringLiteral("no trace")
                                        : QStringLiteral("trace: %1").arg(parser.value(trace)));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (session.Poll()) view->update();
        if (session.GetScreen().Bell()) QApplication::beep();
    });
    poll.start(kPollMs);
    if (parser.isSet(wake)) session.Wake();
    window.show();
    view->setFocus();
    return app.exec();
}
