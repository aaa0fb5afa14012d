// A 65000-point, 8-quantity download in the program, offscreen:
//  - wall time from the PLAY written to the document window shown, against the
//    same bytes read raw from a socket (the program's share should stay under 0.5 s);
//  - time to paint one screen of the data table (goal under 5 ms);
//  - memory of the document window above the empty program (goal under 20 MB).
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "app/frmDocument.h"
#include "app/frmMain.h"
#include "base/SettingsStore.h"
#include "chart/ChartView.h"

namespace {

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

class QuietPresenter : public MessagePresenter {
public:
    bool Present(const MessageBoxSpec& box) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(box.key));
        return true;
    }
};

// The PLAY reply read straight from a socket: wake the line, ask, read to CTRL-Z.
double RawSeconds(const QString& host, quint16 port, qint64& bytes) {
    QTcpSocket socket;
    socket.connectToHost(host, port);
    socket.waitForConnected(5000);
    QByteArray burst("EXIT\r");
    for (int i = 0; i < 1152; ++i) burst += "\xFF\r";
    socket.write(burst);
    QByteArray seen;
    while (!seen.contains("operator commands") && socket.waitForReadyRead(3000))
        seen += socket.readAll();
    socket.write("ECHO OFF\r");
    seen.clear();
    while (!seen.contains('\x1A') && socket.waitForReadyRead(3000)) seen += socket.readAll();
    QElapsedTimer timer;
    timer.start();
    socket.write("PLAY 0\r");
    QByteArray reply;
    while (!reply.endsWith('\x1A') && socket.waitForReadyRead(10000)) reply += socket.readAll();
    const double seconds = timer.nsecsElapsed() / 1e9;
    bytes = reply.size();
    socket.write("EXIT\r");
    socket.waitForBytesWritten(1000);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QProcess sim;
    sim.start(QStringLiteral(TR58_BIN_DIR "/sim/tr58sim"),
              {"--tcp", "0", "--delay", "0", "--file", "Bench:65000:8"});
    QString address;
    while (address.isEmpty() && sim.waitForReadyRead(5000)) {
        const QByteArray line = sim.readLine().trimmed();
        if (line.startsWith("TCP ")) address = QString::fromLatin1(line.mid(4));
    }
    if (address.isEmpty()) return 1;
    const QString host = address.section(':', 0, 0);
    const quint16 tcpPort = static_cast<quint16>(address.section(':', 1).toUInt());

    qint64 bytes = 0;
    double raw = 1e9;
    for (int i = 0; i < 3; ++i) raw = std::min(raw, RawSeconds(host, tcpPort, bytes));

    QTemporaryDir dir;
    SettingsStore store = SettingsStore::AtFile(dir.filePath("TR58 Link.ini"));
    store.Write("LastIP", "1");
    store.Write("1IP", host);
    store.Write("1IPort", QString::number(tcpPort));
    QuietPresenter presenter;
    frmMain::Options options;
    options.store = &store;
    options.programFolder = dir.path();
    options.presenter = &presenter;
    frmMain main(options);
    main.resize(1200, 800);
    main.show();
    QApplication::processEvents();
    const double emptyMb = ResidentMegabytes();

    Link& link = main.GetLink();
    if (!link.OpenLink(17)) return 1;
    QElapsedTimer timer;
    timer.start();
    QString reply;
    link.State().LineCount = 0;
    if (!link.SendCommandAndReceive(QStringLiteral("PLAY 0\r"), Command::kPlay, reply, false))
        return 1;
    const double received = timer.nsecsElapsed() / 1e9;
    auto* document = new frmDocument(main, frmDocument::Mode::Downloaded);
    document->Doc().strBuf = reply;
    reply.clear();
    if (!document->PlayFile()) return 1;
    document->Chart()->DocumentFilled();
    main.AddDocumentWindow(document);
    main.grab();
    const double shown = timer.nsecsElapsed() / 1e9;
    link.CloseLink();
    QApplication::processEvents();
    const double documentMb = ResidentMegabytes() - emptyMb;

    // One screen of the table, in the middle of the 65000 rows.
    document->ShowPage(frmDocument::kTablePage);
    QTableView* table = document->Table();
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    QElapsedTimer paint;
    const int rounds = 50;
    paint.start();
    for (int i = 0; i < rounds; ++i) {
        table->verticalScrollBar()->setValue(table->verticalScrollBar()->value() + 37);
        table->viewport()->grab();
    }
    const double paintMs = paint.nsecsElapsed() / 1e6 / rounds;

    std::printf("download 65000x8 (%lld bytes), raw socket: %.3f s\n",
                static_cast<long long>(bytes), raw);
    std::printf(
        "download in the program, PLAY written to reply complete: %.3f s (0.2 s of it the pause "
        "after writing)\n",
        received);
    std::printf(
        "download in the program, PLAY written to document shown: %.3f s; added to raw: %.3f s "
        "(goal < 0.5 s)\n",
        shown, shown - raw);
    std::printf("data table, one screen painted while scrolling: %.2f ms (goal < 5 ms)\n", paintMs);
    std::printf(
        "document window of 65000x8, resident memory above the empty program: %.1f MB (goal < 20 "
        "MB)\n",
        documentMb);
    main.GetLink().State().CommandFailed = true;  // no save question on the way out
    sim.kill();
    sim.waitForFinished();
    return 0;
}
