// tr58 download's progress on standard error: on a terminal (a real
// pseudo-terminal here) a bar per file, redrawn in place and ended with a new
// line; into a pipe nothing of the kind, as scripts expect.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/SimProcess.h"

namespace {

constexpr int kColumns = 72;

// A pseudo-terminal of kColumns columns that passes bytes as they are (no CR
// added before a LF), for the tool's standard error.
class Terminal {
public:
    Terminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        path_ = QString::fromLocal8Bit(::ptsname(master_));
        // Held open here, so that what the tool wrote stays readable after it ends.
        slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
        if (slave_ < 0) return;
        termios mode{};
        ::tcgetattr(slave_, &mode);
        ::cfmakeraw(&mode);
        ::tcsetattr(slave_, TCSANOW, &mode);
        winsize size{};
        size.ws_col = kColumns;
        size.ws_row = 24;
        ::ioctl(master_, TIOCSWINSZ, &size);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Terminal() {
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    bool IsOpen() const { return slave_ >= 0; }
    QString Path() const { return path_; }

    // What arrived on the screen's side so far.
    void Drain(int waitMs) {
        pollfd ready{master_, POLLIN, 0};
        if (::poll(&ready, 1, waitMs) <= 0) return;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            screen_.append(buffer, static_cast<int>(n));
        }
    }
    QString Screen() const { return QString::fromUtf8(screen_); }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    QByteArray screen_;
};

struct TerminalRun {
    int exitCode = -1;
    QString out;
    QString err;  // what the terminal received
};

// tr58 with standard error on the terminal, standard output into a pipe.
TerminalRun RunToolOnTerminal(Terminal& terminal, const QStringList& args) {
    QProcess tool;
    QProcessEnvironment env = ToolEnvironment();
    env.remove(QStringLiteral("COLUMNS"));  // the terminal's own width counts
    tool.setProcessEnvironment(env);
    tool.setStandardErrorFile(terminal.Path());
    tool.start(QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"), args);
    TerminalRun run;
    if (!tool.waitForStarted()) return run;
    for (int waited = 0; !tool.waitForFinished(20) && waited < 120000; waited += 40)
        terminal.Drain(20);
    terminal.Drain(200);
    run.exitCode = tool.state() == QProcess::NotRunning && tool.exitStatus() == QProcess::NormalExit
                       ? tool.exitCode()
                       : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = terminal.Screen();
    return run;
}

// The lines of the terminal as the user sees them at the end: each line's
// last redraw (the text after its last CR and erase-line).
QStringList ShownLines(const QString& screen) {
    QStringList shown;
    for (const QString& line : screen.split(QLatin1Char('\n'))) {
        const qsizetype redraw = line.lastIndexOf(QLatin1Char('\r'));
        QString last = redraw < 0 ? line : line.mid(redraw + 1);
        if (last.startsWith(QStringLiteral("\033[K"))) last = last.mid(3);
        shown << last;
    }
    return shown;
}

// Every drawing of a bar on the screen, redraws included.
QStringList BarDrawings(const QString& screen) {
    static const QRegularExpression kBar(QStringLiteral("[^\r\n]*\\d+/\\d+ \\[[= >]+\\][^\r\n]*"));
    QStringList bars;
    for (auto it = kBar.globalMatch(screen); it.hasNext();) {
        QString bar = it.next().captured(0);
        if (bar.startsWith(QStringLiteral("\033[K"))) bar = bar.mid(3);
        bars << bar;
    }
    return bars;
}

}  // namespace

TEST(DownloadProgressLine, OnATerminalEachFileGetsABarThatEndsItsLine) {
    Terminal terminal;
    ASSERT_TRUE(terminal.IsOpen());
    SimProcess sim;
    // As slow as the serial line, so that the bars are redrawn on the way.
    ASSERT_TRUE(sim.Start({"--baud", "19200", "--file", "Small:150:2", "--file", "Lab 1:60:1"}));
    QTemporaryDir dir;
    const TerminalRun run = RunToolOnTerminal(
        terminal, {"--host", sim.TcpAddress(), "download", "--all", "-o", dir.path()});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 2) << qPrintable(run.out);

    // Each file's last drawing is complete and stays on a line of its own.
    const QStringList lines = ShownLines(run.err);
    const qsizetype small = lines.indexOf(
        QRegularExpression(QStringLiteral("^Small +150/150 \\[=+\\] 100% +in \\d+:\\d\\d$")));
    const qsizetype lab = lines.indexOf(
        QRegularExpression(QStringLiteral("^Lab 1 +60/60 \\[=+\\] 100% +in \\d+:\\d\\d$")));
    EXPECT_GE(small, 0) << qPrintable(lines.join(QStringLiteral("|\n")));
    EXPECT_GT(lab, small) << qPrintable(lines.join(QStringLiteral("|\n")));
    // Nothing is left half drawn when the tool ends.
    EXPECT_TRUE(run.err.endsWith(QLatin1Char('\n'))) << qPrintable(run.err.right(200));

    // On the way: redrawn in place, with the time left, never wider than the terminal.
    const QStringList bars = BarDrawings(run.err);
    EXPECT_GT(bars.size(), 2) << qPrintable(run.err);
    EXPECT_TRUE(bars.filter(QStringLiteral(" left")).size() > 0) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("\r\033[KSmall "))) << qPrintable(run.err);
    for (const QString& bar : bars) EXPECT_LT(bar.size(), kColumns) << qPrintable(bar);
}

// A message during a download starts on a line of its own: a bar that was
// running stays above it, the progress line is cleared for it.
TEST(DownloadProgressLine, AFailureIsSaidOnALineOfItsOwn) {
    // The line drops in the middle of the file; the file is gone when PLAY asks.
    for (const char* fault : {"drop=1500", "gone"}) {
        SCOPED_TRACE(fault);
        Terminal terminal;
        ASSERT_TRUE(terminal.IsOpen());
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--baud", "19200", "--file", "Small:150:2", "--fault", fault}));
        QTemporaryDir dir;
        const TerminalRun run = RunToolOnTerminal(
            terminal, {"--host", sim.TcpAddress(), "download", "0", "-o", dir.path()});
        EXPECT_EQ(run.exitCode, 1);
        const QStringList lines = ShownLines(run.err);
        ASSERT_FALSE(lines.filter(QRegularExpression(QStringLiteral("^tr58: "))).isEmpty())
            << qPrintable(run.err);
        for (const QString& line : lines) {
            if (line.contains(QStringLiteral("tr58: "))) {
                EXPECT_TRUE(line.startsWith(QStringLiteral("tr58: "))) << qPrintable(line);
            }
        }
        if (QLatin1String(fault) == QLatin1String("drop=1500")) {
            // The bar shows how far the file came.
            EXPECT_FALSE(
                lines.filter(QRegularExpression(QStringLiteral("^Small +\\d+/150 \\["))).isEmpty())
                << qPrintable(lines.join(QStringLiteral("|\n")));
        }
        EXPECT_TRUE(run.err.endsWith(QLatin1Char('\n'))) << qPrintable(run.err.right(200));
    }
}

TEST(DownloadProgressLine, IntoAPipeThereIsNoBar) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--file", "Small:150:2", "--file", "Lab 1:60:1"}));
    QTemporaryDir dir;
    const ToolRun run =
        RunTool({"--host", sim.TcpAddress(), "download", "--all", "-o", dir.path()});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QLatin1Char('\r'))) << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QLatin1Char('\033'))) << qPrintable(run.err);
    EXPECT_TRUE(BarDrawings(run.err).isEmpty()) << qPrintable(run.err);
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 2) << qPrintable(run.out);
}
