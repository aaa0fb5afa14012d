// tr58 monitor and tr58 recover against tr58sim over real TCP and a real
// pseudo-terminal: readings printed as they come, kept in a .t58 file, and a
// run killed with SIGKILL whose journal gives back exactly what was read.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <csignal>

#include "document/Document.h"
#include "realtime/RecordingJournal.h"
#include "support/SimProcess.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The readings tr58 printed: the lines after the header.
QStringList Readings(const QString& out) {
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty()) lines.removeFirst();
    return lines;
}

// Starts tr58 monitor against the simulator, polling every seconds seconds into path.
void StartMonitor(QProcess& monitor, const SimProcess& sim, int seconds, const QString& path) {
    monitor.setProcessEnvironment(ToolEnvironment());
    monitor.start(QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"),
                  {"--host", sim.TcpAddress(), "monitor", "--interval", QString::number(seconds),
                   "-o", path});
}

// What the program's save writes for these readings of T (°C) and RH (%RH)
// polled every seconds seconds: the .t58 file, byte for byte, in the
// instrument's code page.
QByteArray ExpectedT58(const QStringList& readings, int seconds = 1) {
    QString text = QStringLiteral(
                       "#TR58\tBeginDataFile\r\n#TR58\tFileVersion\t1.0\r\n#TR58\tTitle\t\r\n"
                       "#TR58\tInterval\t02%1\r\n#TR58\tBeginNotes\r\n\r\n#TR58\tEndNotes\r\n"
                       "\tT\tRH\r\n\t\u00B0C\t%RH\r\n")
                       .arg(seconds, 2, 10, QLatin1Char('0'));
    for (const QString& reading : readings) {
        // "yyyy-mm-dd hh:mm:ss" on the screen, "yy-mm-dd hh:mm:ss" in the file.
        text += reading.mid(2) + QStringLiteral("\r\n");
    }
    text += QStringLiteral("#TR58\tEndDataFile\r\n");
    QStringEncoder latin1(QStringEncoder::Latin1);
    return latin1.encode(text);
}

void MonitorsThreeReadings(const QStringList& connection) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Klimatkammare.t58");
    const ToolRun run =
        RunTool(connection + QStringList{"monitor", "--interval", "1", "--count", "3", "-o", path});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << qPrintable(run.out);
    EXPECT_EQ(lines.first(), QStringLiteral("time\tT [\u00B0C]\tRH [%RH]"));
    // One line per reading: the time and one value per quantity shown, a
    // second apart.
    QDateTime previous;
    for (const QString& line : Readings(run.out)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        ASSERT_EQ(fields.size(), 3) << qPrintable(line);
        const QDateTime time = QDateTime::fromString(fields.at(0), "yyyy-MM-dd hh:mm:ss");
        ASSERT_TRUE(time.isValid()) << qPrintable(line);
        if (previous.isValid()) {
            EXPECT_GE(previous.secsTo(time), 1);
        }
        previous = time;
    }
    // The file holds exactly what was printed, and the journal is gone.
    EXPECT_EQ(ReadAll(path), ExpectedT58(Readings(run.out)));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("3 readings saved"))) << qPrintable(run.err);
}

TEST(MonitorCommand, ThreeReadingsIntoAFileOverTcp) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    MonitorsThreeReadings({"--host", sim.TcpAddress()});
}

TEST(MonitorCommand, ThreeReadingsIntoAFileOverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    MonitorsThreeReadings({"--device", sim.PtyPath()});
}

TEST(MonitorCommand, AKilledRunIsRecoveredWithExactlyItsReadings) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    QTemporaryDir dir;
    const QString path = dir.filePath("Frysrum.t58");
    const QString journal = path + QStringLiteral(".part");

    QProcess monitor;
    StartMonitor(monitor, sim, 2, path);
    // Killed right after its third reading was shown: the next poll is two
    // seconds away.
    constexpr int kReadings = 3;
    QByteArray out;
    while (Readings(QString::fromUtf8(out)).size() < kReadings && monitor.waitForReadyRead(30000))
        out += monitor.readAllStandardOutput();
    monitor.kill();  // SIGKILL: nothing of the tool runs any more
    monitor.waitForFinished();
    out += monitor.readAllStandardOutput();
    const QStringList shown = Readings(QString::fromUtf8(out));
    ASSERT_EQ(shown.size(), kReadings) << out.constData();
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(QFile::exists(journal));

    // "monitor" again refuses to start over the readings left behind.
    const ToolRun again = RunTool({"--host", sim.TcpAddress(), "monitor", "-o", path});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("recover"))) << qPrintable(again.err);
    EXPECT_TRUE(QFile::exists(journal));

    const ToolRun recover = RunTool({"recover", journal});
    ASSERT_EQ(recover.exitCode, 0) << qPrintable(recover.err);
    EXPECT_TRUE(recover.err.contains(QStringLiteral("3 readings recovered")))
        << qPrintable(recover.err);
    // Byte for byte what a normal save of the same readings writes.
    EXPECT_EQ(ReadAll(path), ExpectedT58(shown, 2));
    EXPECT_FALSE(QFile::exists(journal));
}

TEST(MonitorCommand, AJournalThatFailsForAMomentCatchesUpWithEveryReading) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    QTemporaryDir dir;
    const QString path = dir.filePath("Svalrum.t58");
    const QString journal = path + QStringLiteral(".part");
    // Inherited by the tool: a write over the size limit fails, as on a full
    // disk, instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);

    QProcess monitor;
    StartMonitor(monitor, sim, 1, path);
    QByteArray out, err;
    const auto readUntil = [&](qsizetype readings) {
        while (Readings(QString::fromUtf8(out)).size() < readings &&
               monitor.waitForReadyRead(30000)) {
            out += monitor.readAllStandardOutput();
            err += monitor.readAllStandardError();
        }
        return Readings(QString::fromUtf8(out)).size();
    };
    ASSERT_EQ(readUntil(1), 1) << err.constData();
    ASSERT_TRUE(QFile::exists(journal));

    // The disk is full for two readings: the journal takes no byte more.
    rlimit limit{};
    ASSERT_EQ(prlimit(monitor.processId(), RLIMIT_FSIZE, nullptr, &limit), 0);
    const rlim_t unlimited = limit.rlim_cur;
    limit.rlim_cur = static_cast<rlim_t>(QFileInfo(journal).size());
    ASSERT_EQ(prlimit(monitor.processId(), RLIMIT_FSIZE, &limit, nullptr), 0);
    ASSERT_EQ(readUntil(3), 3) << err.constData();
    limit.rlim_cur = unlimited;
    ASSERT_EQ(prlimit(monitor.processId(), RLIMIT_FSIZE, &limit, nullptr), 0);
    // Space again: the journal catches up at the next reading.
    ASSERT_EQ(readUntil(5), 5) << err.constData();
    monitor.kill();  // a power cut now
    monitor.waitForFinished();
    out += monitor.readAllStandardOutput();
    err += monitor.readAllStandardError();

    const QString said = QString::fromUtf8(err);
    EXPECT_EQ(said.count(QStringLiteral("cannot be kept")), 1) << qPrintable(said);
    EXPECT_EQ(said.count(QStringLiteral("again, all of them")), 1) << qPrintable(said);
    // Every reading shown is in the journal, those of the full disk too. The
    // journal used to stop at the first failed write for the rest of the run.
    Document kept;
    QString problem;
    ASSERT_TRUE(ReadJournal(journal, kept, problem)) << qPrintable(problem);
    EXPECT_EQ(kept.PointCount(), Readings(QString::fromUtf8(out)).size());
}

TEST(MonitorCommand, BadArgumentsAndFailuresSayWhy) {
    ToolRun run = RunTool({"--host", "127.0.0.1:1", "monitor", "--interval", "0"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--interval"))) << qPrintable(run.err);
    run = RunTool({"--host", "127.0.0.1:1", "monitor", "-o", "readings.csv"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral(".t58"))) << qPrintable(run.err);

    // The probe is pulled after two polls: the instrument answers "ERR".
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", "send-err-after=2"}));
    QTemporaryDir dir;
    const QString path = dir.filePath("Avbrott.t58");
    run = RunTool({"--host", sim.TcpAddress(), "monitor", "--interval", "1", "-o", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());
    // The readings that came are kept.
    const QStringList shown = Readings(run.out);
    ASSERT_EQ(shown.size(), 3) << qPrintable(run.out) << qPrintable(run.err);
    EXPECT_EQ(ReadAll(path), ExpectedT58(shown));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
}

// Regression: when neither the journal nor the file could be written, the
// tool said the readings were kept in the journal.
TEST(MonitorCommand, ReadingsThatNoFileCouldKeepAreNotSaidToBeKept) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("Lista");
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString path = notAFolder + QStringLiteral("/Kylrum.t58");
    const ToolRun run = RunTool(
        {"--host", sim.TcpAddress(), "monitor", "--interval", "1", "--count", "2", "-o", path});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Readings(run.out).size(), 2) << qPrintable(run.out);
    EXPECT_TRUE(run.err.contains(QStringLiteral("only in the lines printed above")))
        << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QStringLiteral("are kept in"))) << qPrintable(run.err);
}

}  // namespace
