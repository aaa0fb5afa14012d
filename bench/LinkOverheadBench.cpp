// Link overhead: the program's CPU time per received line while the
// unthrottled simulator (a separate process, on loopback TCP) plays a file of
// 65000 lines of 8 quantities. Beside it, the time the same bytes need on the
// wire at 19200 baud, which is what a real serial download costs.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <ctime>

#include "base/MessageCatalogue.h"
#include "link/Link.h"
#include "link/PortControl.h"
#include "link/QtPump.h"

namespace {

class QuietPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(box.key));
        return true;
    }
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    QProcess sim;
    sim.start(QStringLiteral(TR58_BIN_DIR "/sim/tr58sim"),
              {"--tcp", "0", "--delay", "0", "--file", "Bench:65000:8"});
    QString address;
    while (address.isEmpty() && sim.waitForReadyRead(5000)) {
        const QByteArray line = sim.readLine().trimmed();
        if (line.startsWith("TCP ")) address = QString::fromLatin1(line.mid(4));
    }
    if (address.isEmpty()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    QtPump pump;
    PortControl port;
    QuietPresenter presenter;
    Link link(port, pump, presenter);
    LinkState& s = link.State();
    s.LanHosts[8] = {address.section(':', 0, 0), address.section(':', 1).toInt(), 1};
    s.LanSelection = 9;
    s.ConnectionType = Connection::kLan;
    s.ConfiguredPort = 17;

    double bestCpuPerLine = 1e9;
    double bestWall = 1e9;
    qsizetype bytes = 0;
    qint32 lines = 0;
    for (int round = 0; round < rounds; ++round) {
        if (!link.OpenLink(17)) return 1;
        s.LineCount = 0;
        s.strMsgReady = false;
        QString reply;
        QElapsedTimer wall;
        wall.start();
        const double cpu0 = CpuSeconds();
        const bool ok =
            link.SendCommandAndReceive(QStringLiteral("PLAY 0\r"), Command::kPlay, reply, false);
        const double cpu = CpuSeconds() - cpu0;
        const double elapsed = wall.nsecsElapsed() / 1e9;
        if (!ok) return 1;
        lines = s.LineCount;
        bytes = reply.size();
        bestCpuPerLine = std::min(bestCpuPerLine, cpu / lines);
        bestWall = std::min(bestWall, elapsed);
    }
    link.CloseLink();
    sim.kill();
    sim.waitForFinished();

    const double wire = bytes * 10.0 / 19200.0;
    std::printf("link PLAY 65000x8: %d lines, %lld bytes\n", lines, static_cast<long long>(bytes));
    std::printf("link CPU per received line: %.3f us (goal <= 2 us)\n", bestCpuPerLine * 1e6);
    std::printf("link wall time, loopback TCP: %.3f s (includes the 0.2 s pause after writing)\n",
                bestWall);
    std::printf("same bytes on the wire at 19200 baud: %.1f s; ratio wire/CPU: %.0fx\n", wire,
                wire / (bestCpuPerLine * lines));
    return 0;
}
